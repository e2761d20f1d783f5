#!/usr/bin/python3
"""A seeded random monkey for the desktop program's sanitizer build: on a private desktop (Xvfb,
openbox, trayer, a private home, no network but loopback) it presses keys and shortcuts, clicks,
scrolls and types text (with `$`, non-ASCII, right-to-left and long strings) while reminders of a
prepared event file fall due. A second thread pings the program's window (_NET_WM_PING, answered
by its event loop) and counts every answer slower than the freeze limit as a freeze.

    monkey.py --build BUILD_DIR [--minutes 30] [--seed 1] [--out DIR]

The report (OUT/report.txt) lists the sanitizer logs and the freezes; the exit status is 1 when
there is any, 0 otherwise, 2 when the monkey could not run. The same seed replays the same
actions (what the program does in between depends on timing).
"""
import argparse
import datetime
import glob
import os
import random
import shutil
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(SOURCE, "scripts"))
sys.path.insert(0, HERE)
from xsession import XSession, missing_tools, stop_process  # noqa: E402
import eventfile  # noqa: E402

OPENBOX_CONFIG = os.path.join(HERE, "openbox-rc.xml")
FREEZE_LIMIT_S = 1.0
PING_EVERY_S = 0.25

TEXTS = [
    "Team meeting", "Lunch with $NAME", "$ $$ $D $T $(date) ${HOME}", "100$ or 100 €",
    "Grüße aus Köln – Änderung für Straße", "Café crème à la française", "日本語の予定",
    "Встреча с командой", "مرحبا بالعالم", "\u202eevil.exe\u202c reversed", "emoji 🎉🗓️ party",
    "a\u0301 combining e\u0308", "<b>bold</b> & \"quoted\" 'single'", "%s %d %n %%", "tab\there",
    "C:\\path\\file.txt", "line;with,csv\"chars", "    spaces around    ", "x",
]

# Keys and shortcuts a user presses; the program's commands first.
SHORTCUTS = [
    "ctrl+e", "ctrl+shift+t", "ctrl+z", "ctrl+y", "ctrl+x", "ctrl+c", "ctrl+v", "ctrl+d",
    "ctrl+u", "ctrl+1", "ctrl+2", "ctrl+3", "ctrl+4", "ctrl+5", "ctrl+p", "ctrl+n", "ctrl+t",
    "ctrl+f", "ctrl+h", "ctrl+b", "ctrl+s", "ctrl+w", "ctrl+o", "ctrl+shift+n", "ctrl+shift+s",
    "ctrl+q", "ctrl+a", "F1", "F2", "F5", "Delete", "Insert",
]
KEYS = [
    "Return", "Escape", "Tab", "shift+Tab", "Up", "Down", "Left", "Right", "Page_Up",
    "Page_Down", "Home", "End", "BackSpace", "space", "ctrl+Tab", "ctrl+Page_Down",
    "shift+Down", "shift+Right", "alt+Down", "Menu", "plus", "minus",
]
MNEMONICS = [f"alt+{c}" for c in "abcdefghilmnoprstuvwxy"]


# xdotool types a character the keyboard map lacks by changing the map for it, which every client
# then reloads: a long text of those would measure the tool, so long texts keep to the map's.
ASCII_TEXTS = [text for text in TEXTS if text.isascii()]


def long_text(rng):
    return "".join(rng.choice(ASCII_TEXTS) + " " for _ in range(rng.randrange(20, 120)))


class Pinger(threading.Thread):
    """Pings a window of the program with _NET_WM_PING and records each answer's delay."""

    def __init__(self, display, log):
        super().__init__(daemon=True)
        from Xlib import X, display as xdisplay, protocol
        self.X, self.protocol = X, protocol
        self.conn = xdisplay.Display(display)
        # A window that closed between the search and the ping is no finding.
        self.conn.set_error_handler(lambda *error: None)
        self.root = self.conn.screen().root
        # The window answers to the root with StructureNotify (and SubstructureRedirect, the
        # window manager's) as its mask.
        self.root.change_attributes(event_mask=X.StructureNotifyMask)
        self.wm_protocols = self.conn.intern_atom("WM_PROTOCOLS")
        self.ping_atom = self.conn.intern_atom("_NET_WM_PING")
        self.window = None
        self.log = log
        self.freezes = []
        self.worst = 0.0
        self.answers = 0
        self.stopping = threading.Event()
        self.lock = threading.Lock()
        self.on_freeze = None

    def watch(self, window_id):
        with self.lock:
            self.window = window_id

    def run(self):
        stamp = 0
        while not self.stopping.is_set():
            with self.lock:
                window = self.window
            if window is None:
                time.sleep(PING_EVERY_S)
                continue
            stamp = (stamp + 1) & 0x7FFFFFFF or 1
            target = self.conn.create_resource_object("window", window)
            event = self.protocol.event.ClientMessage(
                window=target, client_type=self.wm_protocols,
                data=(32, [self.ping_atom, stamp, window, 0, 0]))
            sent = time.monotonic()
            try:
                target.send_event(event, event_mask=0)
                self.conn.flush()
            except Exception:  # the window went away meanwhile
                time.sleep(PING_EVERY_S)
                continue
            answered = self.wait_pong(stamp, sent)
            delay = time.monotonic() - sent
            if answered is None:
                continue  # the window is gone (the program ended or restarts)
            self.answers += 1
            self.worst = max(self.worst, delay)
            if delay > FREEZE_LIMIT_S:
                self.freezes.append((datetime.datetime.now(), delay))
                self.log(f"FREEZE: the window answered after {delay:.2f} s")
                if self.on_freeze:
                    self.on_freeze(delay)
            time.sleep(max(0.0, PING_EVERY_S - delay))

    def wait_pong(self, stamp, sent):
        """True when the answer came; None when the window vanished before answering. Waits
        as long as the program needs: a freeze is measured, not cut off."""
        announced = False
        while not self.stopping.is_set():
            while self.conn.pending_events():
                event = self.conn.next_event()
                if (event.type == self.X.ClientMessage and event.client_type == self.wm_protocols
                        and event.data[1][0] == self.ping_atom and event.data[1][1] == stamp):
                    return True
            waited = time.monotonic() - sent
            if waited > FREEZE_LIMIT_S and not announced:
                announced = True
                self.log(f"the window has not answered for {FREEZE_LIMIT_S:.0f} s")
            with self.lock:
                if self.window is None:
                    return None
            if waited > 120:
                self.freezes.append((datetime.datetime.now(), waited))
                self.log("FREEZE: no answer for 120 s")
                return None
            time.sleep(0.01)
        return None

    def stop(self):
        self.stopping.set()


class Monkey:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.build = os.path.abspath(args.build)
        self.program = os.path.join(self.build, "bin", "dayvault")
        self.cli = os.path.join(self.build, "bin", "dayvault-cli")
        self.out = os.path.abspath(args.out)
        self.sanitizer = os.path.join(self.out, "sanitizer")
        self.session = None
        self.process = None
        self.pinger = None
        self.started = time.monotonic()
        self.actions = 0
        self.starts = 0
        self.ended = []  # (status, seconds since the start of the run)
        self.reminders_seen = 0
        self.history = []
        self.shots = 0
        os.makedirs(self.sanitizer, exist_ok=True)
        self.log_file = open(os.path.join(self.out, "monkey.log"), "w", encoding="utf-8")

    def log(self, text):
        line = f"[{time.monotonic() - self.started:8.1f} s] {text}"
        self.log_file.write(line + "\n")
        self.log_file.flush()
        if text.startswith(("FREEZE", "the program", "start", "seed", "done")):
            print(line, flush=True)

    def shot(self, name):
        self.shots += 1
        if self.shots <= 40:
            self.session.screenshot(os.path.join(self.out, f"{self.shots:02d}-{name}.png"))

    # --- the program ---------------------------------------------------------------------------

    def environment(self):
        env = dict(self.session.env)
        suppressions = os.path.join(SOURCE, "tools", "sanitizers", "lsan.supp")
        env["ASAN_OPTIONS"] = (f"log_path={self.sanitizer}/asan:detect_leaks=1:"
                               "abort_on_error=0:halt_on_error=1")
        env["LSAN_OPTIONS"] = f"suppressions={suppressions}:print_suppressions=0"
        env["UBSAN_OPTIONS"] = (f"log_path={self.sanitizer}/ubsan:print_stacktrace=1:"
                                "halt_on_error=1")
        return env

    def isolate(self):
        """The prefix that gives the program a network of its own with loopback only, when the
        system lets us make one."""
        probe = subprocess.run(["unshare", "--net", "true"], capture_output=True)
        if probe.returncode == 0:
            return ["unshare", "--net", "sh", "-c",
                    "ip link set lo up 2>/dev/null; exec \"$0\" \"$@\""]
        probe = subprocess.run(["unshare", "--map-root-user", "--net", "true"],
                               capture_output=True)
        if probe.returncode == 0:
            return ["unshare", "--map-root-user", "--net", "sh", "-c",
                    "ip link set lo up 2>/dev/null; exec \"$0\" \"$@\""]
        self.log("no network namespace: the program runs with the machine's network")
        return []

    def start_program(self):
        self.starts += 1
        self.log(f"start {self.starts} of the program")
        output = open(os.path.join(self.out, "dayvault.log"), "a", encoding="utf-8")
        output.write(f"--- start {self.starts}\n")
        output.flush()
        self.process = subprocess.Popen(
            self.prefix + [self.program, self.event_file], cwd=self.session.home,
            env=self.environment(), stdout=output, stderr=subprocess.STDOUT,
            start_new_session=True)
        main = self.session.wait_window(r" - Dayvault$", 180)
        if main is None:
            self.log("the program showed no window within 180 s")
            return None
        self.main = main
        self.pinger.watch(main)
        return main

    def program_ended(self):
        status = self.process.poll()
        if status is None:
            return False
        self.pinger.watch(None)
        elapsed = time.monotonic() - self.started
        self.ended.append((status, elapsed))
        self.log(f"the program ended with status {status}")
        return True

    # --- actions -------------------------------------------------------------------------------

    def program_windows(self):
        return [w for w in self.session.windows(".", pid=self.process.pid)
                if min(self.session.geometry(w)[2:]) > 64]

    def is_modal(self, window):
        state = self.session.run(["xprop", "-id", str(window), "_NET_WM_STATE"]).stdout
        return "_NET_WM_STATE_MODAL" in state

    def focus_app(self):
        """Keeps the keyboard with the program: the active window, unless a modal dialog of the
        program blocks it (the always-on-top reminder window can cover one), then the dialog;
        with no window of the program active, its newest window."""
        windows = self.program_windows()
        if not windows:
            return None
        modal = [w for w in windows if self.is_modal(w)]
        active = self.session.active_window()
        if modal and active not in modal:
            self.session.activate(modal[-1], limit=2)
            return modal[-1]
        if active is not None and active in windows:
            return active
        self.session.activate(windows[-1], limit=2)
        return windows[-1]

    def act(self):
        s, rng = self.session, self.rng
        window = self.focus_app()
        if window is None:
            time.sleep(0.5)
            return
        kind = rng.choices(["shortcut", "key", "mnemonic", "text", "long", "click", "double",
                            "right", "wheel"],
                           weights=[14, 30, 10, 14, 2, 18, 5, 4, 3])[0]
        began = time.monotonic()
        if kind == "shortcut":
            key = rng.choice(SHORTCUTS)
            self.record(f"key {key}")
            s.key(key)
        elif kind == "key":
            keys = [rng.choice(KEYS) for _ in range(rng.randrange(1, 4))]
            self.record("keys " + " ".join(keys))
            s.key(*keys)
        elif kind == "mnemonic":
            key = rng.choice(MNEMONICS)
            self.record(f"key {key}")
            s.key(key)
        elif kind in ("text", "long"):
            text = long_text(rng) if kind == "long" else rng.choice(TEXTS)
            self.record(f"type {text[:60]!r}{'…' if len(text) > 60 else ''} ({len(text)})")
            s.type(text, delay=4 if kind == "long" else 25)
        else:
            x, y, width, height = s.geometry(window)
            if width <= 0 or height <= 0:
                return
            px, py = x + rng.randrange(2, max(3, width - 2)), y + rng.randrange(2, max(3, height - 2))
            self.record(f"{kind} at {px},{py} in '{s.window_name(window)}'")
            if kind == "click":
                s.click(px, py)
            elif kind == "double":
                s.run(["xdotool", "mousemove", str(px), str(py), "click", "--repeat", "2",
                       "--delay", "80", "1"])
            elif kind == "right":
                s.click(px, py, button=3)
            else:
                s.run(["xdotool", "mousemove", str(px), str(py), "click", "--repeat",
                       str(rng.randrange(1, 6)), rng.choice(["4", "5"])])
        self.actions += 1
        took = time.monotonic() - began
        if took > 5 and kind != "long":
            self.log(f"the action took {took:.1f} s")
        time.sleep(rng.choice([0.02, 0.05, 0.1, 0.2, 0.4]))

    def record(self, action):
        self.history.append(action)
        del self.history[:-20]
        self.log(action)

    def count_reminders(self):
        if self.session.windows(r"^Reminder$"):
            if not getattr(self, "_reminder_up", False):
                self.reminders_seen += 1
                self.log("a reminder window is up")
                if self.reminders_seen <= 3:
                    self.shot("reminder")
            self._reminder_up = True
        else:
            self._reminder_up = False

    # --- the run -------------------------------------------------------------------------------

    def prepare(self):
        now = datetime.datetime.now().replace(microsecond=0)
        minutes = self.args.minutes
        # Reminders fall due all through the run: one every minute or two, a few at once now
        # and then, the first one soon after the start.
        due, moment = [], now + datetime.timedelta(seconds=45)
        end = now + datetime.timedelta(minutes=minutes)
        while moment < end:
            due.extend([moment] * (3 if self.rng.random() < 0.15 else 1))
            moment += datetime.timedelta(seconds=self.rng.randrange(50, 150))
        self.event_file = os.path.join(self.session.home, "monkey.dat")
        eventfile.write_event_file(self.cli, self.event_file, self.rng, due, TEXTS, now)
        self.log(f"event file with {len(due)} reminders due during the run")

    def run(self):
        self.log(f"seed {self.args.seed}, {self.args.minutes} minutes, build {self.build}")
        self.prefix = self.isolate()
        self.prepare()
        self.pinger = Pinger(self.session.display, self.log)
        self.pinger.on_freeze = lambda delay: self.shot("freeze")
        self.pinger.start()
        if self.start_program() is None:
            return
        self.shot("start")
        deadline = time.monotonic() + self.args.minutes * 60
        last_check = 0
        while time.monotonic() < deadline:
            if self.program_ended():
                if self.sanitizer_logs() or self.ended[-1][0] != 0:
                    self.shot("ended")
                if sum(1 for status, _ in self.ended if status != 0) >= 10:
                    self.log("done: the program failed ten times; the run ends early")
                    return
                if self.start_program() is None:
                    return
                continue
            try:
                self.act()
            except subprocess.TimeoutExpired as error:
                self.log(f"an input tool hung: {error}")
            if time.monotonic() - last_check > 2:
                last_check = time.monotonic()
                self.count_reminders()
        self.log("done: the time is up, the program is asked to exit")
        self.shot("end")
        self.exit_program()

    def exit_program(self):
        """Ends the program as a user does (Exit, answering what it asks), so that the leak
        check runs; a program that does not end within a minute is stopped."""
        s = self.session
        if self.process is None or self.process.poll() is not None:
            return
        for _ in range(8):
            windows = [w for w in self.program_windows() if w != self.main]
            if not windows:
                break
            # A modal dialog first: the windows below it take no keys.
            modal = [w for w in windows if self.is_modal(w)]
            s.activate((modal or windows)[-1], limit=2)
            s.key("Escape")
            time.sleep(0.5)
        s.activate(self.main, limit=5)
        s.key("Escape", "Escape", "ctrl+q")
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and self.process.poll() is None:
            time.sleep(1)
            for window in self.program_windows():
                if window != self.main:
                    title = s.window_name(window).lower()
                    s.activate(window, limit=2)
                    # "Yes" to leaving; a file dialog (the monkey's File New left a file
                    # without a name) is cancelled.
                    s.key("Escape" if "save" in title or "open" in title else "alt+y")
        self.pinger.watch(None)
        if self.process.poll() is None:
            self.log("the program did not exit within a minute; stopped")
            stop_process(self.process)
        else:
            self.program_ended()

    def sanitizer_logs(self):
        return sorted(p for p in glob.glob(os.path.join(self.sanitizer, "*"))
                      if os.path.getsize(p) > 0)

    def report(self):
        logs = self.sanitizer_logs()
        freezes = self.pinger.freezes if self.pinger else []
        crashes = [(status, at) for status, at in self.ended if status not in (0, None)]
        lines = [
            f"Monkey run: seed {self.args.seed}, {self.args.minutes} minutes, "
            f"{self.actions} actions, {self.starts} start(s) of the program, "
            f"{self.reminders_seen} reminder window(s) seen",
            f"Window answers: {self.pinger.answers if self.pinger else 0}, slowest "
            f"{self.pinger.worst if self.pinger else 0:.2f} s (freeze limit {FREEZE_LIMIT_S} s)",
        ]
        for status, at in crashes:
            lines.append(f"The program ended with status {status} after {at:.0f} s")
        for when, delay in freezes:
            lines.append(f"Freeze at {when:%H:%M:%S}: {delay:.2f} s without an answer")
        for path in logs:
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            summary = [line for line in text.splitlines() if "SUMMARY" in line or "ERROR" in line]
            lines.append(f"Sanitizer log {path}:")
            lines.extend("    " + line for line in (summary or text.splitlines()[:5])[:6])
        found = bool(logs or freezes or crashes)
        lines.append("Findings: " + ("yes" if found else "none"))
        text = "\n".join(lines) + "\n"
        with open(os.path.join(self.out, "report.txt"), "w", encoding="utf-8") as f:
            f.write(text)
        print(text, end="")
        return 1 if found else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True, help="build folder of the sanitizer build")
    parser.add_argument("--minutes", type=float, default=30)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--out", help="report folder (default BUILD/monkey-SEED)")
    args = parser.parse_args()
    args.out = args.out or os.path.join(args.build, f"monkey-{args.seed}")
    missing = missing_tools()
    try:
        import Xlib  # noqa: F401
    except ImportError:
        missing.append("python Xlib (Debian package python3-xlib)")
    if missing:
        print("monkey: missing " + ", ".join(missing), file=sys.stderr)
        return 2
    for tool in ("dayvault", "dayvault-cli"):
        if not os.access(os.path.join(args.build, "bin", tool), os.X_OK):
            print(f"monkey: no {args.build}/bin/{tool}; build it first", file=sys.stderr)
            return 2
    shutil.rmtree(args.out, ignore_errors=True)
    os.makedirs(args.out)
    monkey = Monkey(args)
    # The window manager without menus and keys of its own: the monkey's clicks and keys are
    # for the program, and nothing of its may end the desktop.
    monkey.session = XSession(size="1280x800", window_manager_config=OPENBOX_CONFIG)
    status = 2
    try:
        monkey.session.start()
        monkey.run()
        status = monkey.report()
    except KeyboardInterrupt:
        monkey.log("interrupted")
        status = monkey.report() or 130
    finally:
        if monkey.pinger:
            monkey.pinger.stop()
        if monkey.process is not None:
            stop_process(monkey.process)
        monkey.session.stop()
        monkey.log_file.close()
    return status


if __name__ == "__main__":
    sys.exit(main())
