"""A private desktop for driving the program as a person would: Xvfb on a free display, reachable
only through its local socket, with the openbox window manager and trayer as the notification area,
and a private home. Used by the user replay script and the monkey; needs the Debian packages xvfb,
openbox, trayer, xdotool and imagemagick."""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

TOOLS = {"Xvfb": "xvfb", "openbox": "openbox", "trayer": "trayer", "xdotool": "xdotool",
         "import": "imagemagick"}


def missing_tools():
    return [f"{tool} (Debian package {package})" for tool, package in TOOLS.items()
            if shutil.which(tool) is None]


class XSession:
    """Start with start(), end with stop(); every process it started is stopped there."""

    def __init__(self, size="1280x800", work=None, window_manager_config=None):
        """`window_manager_config`: an openbox rc.xml instead of the system's."""
        self.size = size
        self.wm_config = window_manager_config
        self.work = work or tempfile.mkdtemp(prefix="dayvault-x-")
        self.home = os.path.join(self.work, "home")
        self.display = None
        self.processes = []
        self.env = None

    def start(self, attempts=3):
        """Starts the desktop; another X server that comes up at the same moment can take the
        display number, so a failed start is tried again."""
        for attempt in range(attempts):
            try:
                return self.start_once()
            except (RuntimeError, TimeoutError):
                self.stop()
                if attempt == attempts - 1:
                    raise
        return self

    def start_once(self):
        runtime = os.path.join(self.work, "runtime")
        os.makedirs(self.home, exist_ok=True)
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0",
             self.size + "x24"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_end)
        self.processes.append(xvfb)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("XDG_", "QT_", "DBUS_", "WAYLAND_", "SESSION_MANAGER"))}
        env.update({
            "DISPLAY": self.display,
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local/share"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_RUNTIME_DIR": runtime,
            "TMPDIR": runtime,
            "QT_QPA_PLATFORM": "xcb",
            # No session bus: the tray icon goes to trayer through the X protocol, and nothing
            # reaches a bus of the machine's user.
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(runtime, "no-bus"),
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
        })
        self.env = env
        log = open(os.path.join(self.work, "desktop.log"), "w")
        wm = ["openbox", "--sm-disable"]
        if self.wm_config:
            wm += ["--config-file", self.wm_config]
        self.processes.append(subprocess.Popen(wm, env=env, stdout=log, stderr=log,
                                               start_new_session=True))
        self.wait_for(lambda: self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])
                      .stdout.find("window id") >= 0, 15, "the window manager")
        self.processes.append(subprocess.Popen(
            ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
             "--height", "24", "--SetDockType", "true", "--transparent", "false", "--tint",
             "0x404040"], env=env, stdout=log, stderr=log, start_new_session=True))
        self.wait_for(lambda: self.run(["xdotool", "search", "--class", "trayer"]).stdout.strip(),
                      15, "the notification area")
        return self

    def stop(self):
        for process in reversed(self.processes):
            stop_process(process)
        self.processes.clear()

    def run(self, args, **kwargs):
        kwargs.setdefault("capture_output", True)
        kwargs.setdefault("text", True)
        kwargs.setdefault("timeout", 30)
        return subprocess.run(args, env=self.env, **kwargs)

    def popen(self, args, **kwargs):
        kwargs.setdefault("start_new_session", True)
        process = subprocess.Popen(args, env=self.env, **kwargs)
        self.processes.append(process)
        return process

    @staticmethod
    def wait_for(condition, limit, what=None, step=0.1):
        deadline = time.monotonic() + limit
        while True:
            result = condition()
            if result:
                return result
            if time.monotonic() >= deadline:
                if what:
                    raise TimeoutError(f"waited {limit} s for {what}")
                return result
            time.sleep(step)

    # --- windows and input -------------------------------------------------------------------

    def windows(self, name, visible=True, pid=None):
        args = ["xdotool", "search"]
        if visible:
            args.append("--onlyvisible")
        if pid is not None:
            args += ["--pid", str(pid)]
        args += ["--name", name]
        return [int(w) for w in self.run(args).stdout.split()]

    def window_name(self, window):
        return self.run(["xdotool", "getwindowname", str(window)]).stdout.strip()

    def active_window(self):
        result = self.run(["xdotool", "getactivewindow"])
        return int(result.stdout) if result.returncode == 0 and result.stdout.strip() else None

    def wait_window(self, name, limit, visible=True):
        """The first window whose title matches the regular expression `name`, or None."""
        found = self.wait_for(lambda: self.windows(name, visible), limit)
        return found[0] if found else None

    def activate(self, window, limit=5):
        """Brings `window` to the front with the keyboard focus; False when it did not come."""
        self.run(["xdotool", "windowactivate", str(window)])
        return self.wait_for(lambda: self.active_window() == window, limit, step=0.05)

    def key(self, *keys, window=None, delay=60):
        args = ["xdotool", "key", "--clearmodifiers", "--delay", str(delay)]
        if window is not None:
            args += ["--window", str(window)]
        self.run(args + list(keys))

    def type(self, text, delay=40):
        self.run(["xdotool", "type", "--clearmodifiers", "--delay", str(delay), "--", text],
                 timeout=60 + len(text) * delay / 1000)

    def click(self, x, y, button=1):
        self.run(["xdotool", "mousemove", str(x), str(y), "click", str(button)])

    def geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        # xwininfo's absolute position is the client's own, without the frame of the window
        # manager (xdotool's differs by the frame under a reparenting one).
        out = self.run(["xwininfo", "-id", str(window)]).stdout
        values = {}
        for key, label in (("x", "Absolute upper-left X"), ("y", "Absolute upper-left Y"),
                           ("w", "Width"), ("h", "Height")):
            found = re.search(r"^\s*" + label + r":\s*(-?\d+)", out, re.M)
            values[key] = int(found.group(1)) if found else 0
        return values["x"], values["y"], values["w"], values["h"]

    def screenshot(self, path):
        return self.run(["import", "-window", "root", path], timeout=60).returncode == 0


def stop_process(process, grace=10):
    """Asks a process (and the session it leads) to end, and kills it after `grace` seconds."""
    if process.poll() is not None:
        return process.returncode
    try:
        os.killpg(process.pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    try:
        return process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        return process.wait(timeout=grace)
