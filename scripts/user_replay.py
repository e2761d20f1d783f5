#!/usr/bin/env python3
"""A new user's first session, replayed with the keyboard on a private desktop (Xvfb, openbox,
trayer as the notification area, a private home): start without a file name, type a meeting whose
reminder falls due in about a minute, wait for the reminder, snooze it one minute, wait again, Done,
close the window to the tray, start a second time (the window must come back), exit through the
menu, start again without a file name and look for the meeting.

    user_replay.py BUILD_DIR OUT_DIR

OUT_DIR receives a screenshot after each step (NN-step.png), replay.log with the timings and the
checks, and the program's output. Exit status 0 when every check held, 1 otherwise, 2 when the
replay could not run. Typed times are 12-hour, the program's default clock.
"""
import datetime
import json
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XSession, missing_tools, stop_process  # noqa: E402

MAIN_TITLE = r" - Dayvault$"
EDITOR_TITLE = r"^Enter New Event$"
REMINDER_TITLE = r"^Reminder$"
MEETING = "Team meeting"
# A reminder a person would call on time; the program promises to show it within a second.
ON_TIME_S = 1.0


class Replay:
    def __init__(self, build, out):
        self.program = os.path.join(build, "bin", "dayvault")
        self.cli = os.path.join(build, "bin", "dayvault-cli")
        self.out = out
        self.session = None
        self.started = time.monotonic()
        self.log_file = open(os.path.join(out, "replay.log"), "w", encoding="utf-8")
        self.shots = 0
        self.checks = []
        self.instances = []
        self.program_log = open(os.path.join(out, "dayvault.log"), "w", encoding="utf-8")

    # --- reporting ---------------------------------------------------------------------------

    def log(self, text):
        line = f"[{time.monotonic() - self.started:7.1f} s  {datetime.datetime.now():%H:%M:%S}] {text}"
        print(line, flush=True)
        self.log_file.write(line + "\n")
        self.log_file.flush()

    def shot(self, name):
        self.shots += 1
        path = os.path.join(self.out, f"{self.shots:02d}-{name}.png")
        self.session.screenshot(path)
        self.log(f"screenshot {os.path.basename(path)}")

    def check(self, condition, what):
        self.checks.append((bool(condition), what))
        self.log(("PASS " if condition else "FAIL ") + what)
        return bool(condition)

    # --- the program -------------------------------------------------------------------------

    def start_program(self):
        self.program_log.write(f"--- start at {datetime.datetime.now():%H:%M:%S}\n")
        self.program_log.flush()
        process = self.session.popen([self.program], cwd=self.session.home,
                                     stdout=self.program_log, stderr=subprocess.STDOUT)
        self.instances.append(process)
        return process

    def main_window(self, limit):
        return self.session.wait_window(MAIN_TITLE, limit)

    def dialogs_of(self, process, known):
        """Visible top-level windows of `process` that are not in `known`."""
        found = self.session.windows(".", pid=process.pid)
        # The tray icon is a small window of the program's own; a question is larger.
        return [w for w in found if w not in known and min(self.session.geometry(w)[2:]) > 64]

    def answer_questions(self, process, known, limit, save_to):
        """Answers what the program asks within `limit` seconds as a new user would: Yes to a
        question, and a file name in a save dialog. Returns the titles answered."""
        answered = []
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline and process.poll() is None:
            windows = self.dialogs_of(process, known)
            if not windows:
                time.sleep(0.2)
                continue
            window = windows[0]
            title = self.session.window_name(window)
            self.session.activate(window)
            time.sleep(0.3)
            self.shot("question")
            if re.search(r"save|speichern", title, re.I):
                self.log(f"file dialog '{title}': saving as {save_to}")
                self.session.key("ctrl+a")
                self.session.type(save_to)
                self.session.key("Return")
            else:
                self.log(f"question '{title}': Yes")
                self.session.key("alt+y")
            answered.append(title)
            self.session.wait_for(lambda: window not in self.session.windows(".", pid=process.pid),
                                  10)
            deadline = max(deadline, time.monotonic() + 3)
        return answered

    # --- the steps ---------------------------------------------------------------------------

    def run(self):
        s = self.session
        first = self.start_program()
        t0 = time.monotonic()
        main = self.main_window(90)
        if not self.check(main, "the program opens its window at the first start"):
            return
        self.log(f"window after {time.monotonic() - t0:.1f} s: '{s.window_name(main)}'")
        time.sleep(1)
        self.shot("first-start")

        due = self.type_meeting(first, main)
        if due is None:
            return

        # The reminder, then a snooze of one minute and the reminder again.
        reminder = self.wait_reminder(due, "the reminder")
        if reminder is None:
            return
        s.activate(reminder)
        self.set_snooze_span(reminder, "1")
        self.shot("snooze-span")
        self.log("snooze: Minutes")
        snoozed_at = datetime.datetime.now()
        s.key("alt+m")
        gone = s.wait_for(lambda: reminder not in s.windows(REMINDER_TITLE), 10)
        self.check(gone, "the reminder window goes away when snoozed")
        self.shot("snoozed")
        again = self.wait_reminder(snoozed_at + datetime.timedelta(minutes=1),
                                   "the snoozed reminder")
        if again is None:
            return
        s.activate(again)
        s.key("alt+d")
        gone = s.wait_for(lambda: not s.windows(REMINDER_TITLE), 10)
        self.check(gone, "Done closes the reminder window")
        time.sleep(0.5)
        self.shot("done")

        # Closing the window keeps the program in the notification area.
        s.activate(main)
        s.key("alt+F4")
        hidden = s.wait_for(lambda: main not in s.windows(MAIN_TITLE), 10)
        self.check(hidden, "closing the window leaves the desktop")
        self.check(first.poll() is None, "the program goes on running in the notification area")
        time.sleep(0.5)
        self.shot("closed-to-tray")

        # A second start brings the running program's window back and ends.
        self.log("second start")
        t0 = time.monotonic()
        second = self.start_program()
        try:
            code = second.wait(timeout=60)
        except subprocess.TimeoutExpired:
            code = None
        restored = s.wait_for(lambda: main in s.windows(MAIN_TITLE), 10)
        self.log(f"window back after {time.monotonic() - t0:.1f} s; second program ended with "
                 f"{code}")
        self.check(code == 0, "the second start hands over and ends")
        self.check(restored, "the second start brings the window back")
        time.sleep(0.5)
        self.shot("second-start")
        if not restored:
            s.run(["xdotool", "windowmap", str(main)])

        # Exit through the menu.
        s.activate(main)
        s.key("alt+f")
        time.sleep(0.5)
        self.shot("file-menu")
        s.key("x")
        self.answer_questions(first, {main}, 15, os.path.join(s.home, "cal.dat"))
        try:
            code = first.wait(timeout=60)
        except subprocess.TimeoutExpired:
            code = None
        self.check(code == 0, f"Exit in the File menu ends the program (status {code})")
        self.shot("exited")

        # A start without a file name shows the meeting again.
        third = self.start_program()
        main = self.main_window(90)
        if not self.check(main, "the program opens its window at the third start"):
            return
        time.sleep(1.5)
        title = s.window_name(main)
        self.log(f"third start: '{title}'")
        self.shot("third-start")
        self.check(self.meeting_in(title), f"the meeting is in the calendar shown ('{title}')")
        s.activate(main)
        s.key("alt+f")
        time.sleep(0.3)
        s.key("x")
        self.answer_questions(third, {main}, 10, os.path.join(s.home, "cal.dat"))
        try:
            third.wait(timeout=30)
        except subprocess.TimeoutExpired:
            pass

    def type_meeting(self, process, main):
        """Types the meeting in the editor; returns its reminder's due time, or None."""
        s = self.session
        s.activate(main)
        s.key("ctrl+e")
        editor = s.wait_window(EDITOR_TITLE, 30)
        if not self.check(editor, "Ctrl+E opens the editor of a new event"):
            return None
        s.activate(editor)
        # The reminder falls due at the first full minute that leaves time to type; the meeting
        # starts a minute later and reminds a minute ahead.
        now = datetime.datetime.now()
        due = (now + datetime.timedelta(seconds=75)).replace(second=0, microsecond=0) + \
            datetime.timedelta(minutes=1)
        start = due + datetime.timedelta(minutes=1)
        if start.date() != now.date():
            self.log("too close to midnight for a meeting today")
            return None
        self.log(f"meeting today at {start:%H:%M}, reminder due at {due:%H:%M:%S}")
        s.type(MEETING)
        # "at" with its mnemonic and back with the space bar: the box keeps its state and has the
        # focus, the next field is the start time.
        s.key("alt+a")
        time.sleep(0.4)
        s.key("space", "Tab")
        s.type(start.strftime("%I%M") + start.strftime("%p").lower())
        s.key("alt+r")  # the reminder, off in a new event
        time.sleep(0.4)
        s.key("Tab", "ctrl+a")
        s.type("1")
        time.sleep(0.3)
        self.shot("editor")
        s.key("Return")
        closed = s.wait_for(lambda: editor not in s.windows(EDITOR_TITLE), 10)
        self.check(closed, "Return in the editor keeps the new event")
        answered = self.answer_questions(process, {main}, 4, os.path.join(s.home, "cal.dat"))
        self.check(not answered, "keeping the first event needs no question or file dialog"
                   + (f" (asked: {answered})" if answered else ""))
        s.activate(main)
        time.sleep(0.5)
        self.shot("meeting-typed")
        return due

    def set_snooze_span(self, reminder, span):
        """Types `span` into "Snooze for" as a person does: a click into the box, the old
        text selected and replaced. The box has no key of its own; it sits at the left of the
        snooze group, the window's bottom row."""
        s = self.session
        x, y, width, height = s.geometry(reminder)
        s.click(x + 115, y + height - 65)
        s.key("ctrl+a")
        s.type(span)
        time.sleep(0.2)

    def wait_reminder(self, due, what):
        s = self.session
        limit = max(0.0, (due - datetime.datetime.now()).total_seconds()) + 90
        self.log(f"waiting for {what}, due at {due:%H:%M:%S}")
        window = s.wait_window(REMINDER_TITLE, limit)
        appeared = datetime.datetime.now()
        if not self.check(window, f"{what} appears"):
            self.shot("no-reminder")
            return None
        late = (appeared - due).total_seconds()
        self.log(f"{what} appeared {late:+.1f} s after its due time")
        self.check(late <= ON_TIME_S, f"{what} appears within {ON_TIME_S:.0f} s of its time "
                   f"({late:+.1f} s)")
        time.sleep(0.5)
        self.shot("reminder")
        return window

    def meeting_in(self, title):
        """Whether the file the window shows holds the meeting (read with dayvault-cli)."""
        name = title[:-len(" - Dayvault")].lstrip("*").strip()
        if not name or name.startswith("Untitled"):
            return False
        for folder, _, files in os.walk(self.session.home):
            if name in files:
                path = os.path.join(folder, name)
                result = subprocess.run([self.cli, "info", path], capture_output=True, text=True,
                                        timeout=60)
                if result.returncode != 0:
                    self.log(f"dayvault-cli info {path}: {result.stderr.strip()}")
                    continue
                events = json.loads(result.stdout).get("events", [])
                self.log(f"{path}: {len(events)} event(s)")
                if any(e.get("Description") == MEETING for e in events):
                    return True
        return False

    def finish(self):
        for process in self.instances:
            stop_process(process)
        failed = [what for ok, what in self.checks if not ok]
        self.log(f"{len(self.checks) - len(failed)} of {len(self.checks)} checks held")
        for what in failed:
            self.log("  failed: " + what)
        self.log_file.close()
        self.program_log.close()
        return 1 if failed or not self.checks else 0


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    build, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    missing = missing_tools()
    if missing:
        print("user-replay: missing " + ", ".join(missing), file=sys.stderr)
        return 2
    if not os.access(os.path.join(build, "bin", "dayvault"), os.X_OK):
        print(f"user-replay: no program {build}/bin/dayvault; build it first", file=sys.stderr)
        return 2
    os.makedirs(out, exist_ok=True)
    replay = Replay(build, out)
    replay.session = XSession(size="1280x800").start()
    try:
        replay.run()
    except Exception as error:  # a step that broke still leaves its log and screenshots
        replay.log(f"the replay broke off: {error!r}")
        replay.checks.append((False, f"the replay ran to its end ({error})"))
    finally:
        status = replay.finish()
        replay.session.stop()
    return status


if __name__ == "__main__":
    sys.exit(main())
