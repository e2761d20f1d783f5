#!/usr/bin/env python3
"""The Debian package as a user gets it: built with CPack, unpacked into a throw-away root with
dpkg -x, its desktop entry, metadata and package checked by the Debian tools, the program started
from there the way the desktop entry starts it (offscreen, in a private home), and dayvault-cli
run from there.

    package_test.py BUILD_DIR SOURCE_DIR VERSION
"""
import glob
import gzip
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

# Bounds for a slow machine, not expectations: every wait ends as soon as its condition holds.
# A sanitizer build stretches them (its CMake sets the factor).
TIME_FACTOR = float(os.environ.get("DAYVAULT_TIME_FACTOR", "1"))
START_LIMIT_S = 60 * TIME_FACTOR
HANDOVER_LIMIT_S = 30 * TIME_FACTOR
COMMAND_LIMIT_S = 120 * TIME_FACTOR

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)
    return condition


def run(args, **kwargs):
    kwargs.setdefault("capture_output", True)
    kwargs.setdefault("text", True)
    kwargs.setdefault("timeout", COMMAND_LIMIT_S)
    return subprocess.run(args, **kwargs)


def need_tools():
    tools = {"cpack": "cmake", "dpkg-deb": "dpkg", "desktop-file-validate": "desktop-file-utils",
             "appstreamcli": "appstream", "lintian": "lintian"}
    missing = [f"{tool} (Debian package {package})" for tool, package in tools.items()
               if shutil.which(tool) is None]
    if missing:
        sys.exit("package_test: missing " + ", ".join(missing) + "; 'make test' installs them")


def build_package(build, work):
    out = os.path.join(work, "out")
    result = run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
                  "-B", out], cwd=build)
    if result.returncode != 0:
        sys.exit("cpack failed:\n" + result.stdout + result.stderr)
    debs = glob.glob(os.path.join(out, "*.deb"))
    if len(debs) != 1:
        sys.exit(f"cpack made {debs}, not one package")
    return debs[0]


def files_below(top):
    return sorted(os.path.relpath(os.path.join(folder, name), top)
                  for folder, _, names in os.walk(top) for name in names)


def check_contents(deb, root, build, source, version):
    control = run(["dpkg-deb", "--field", deb, "Package", "Version", "Depends"]).stdout
    check("Package: dayvault" in control, "package name")
    check(f"Version: {version}" in control, "package version")
    check(re.search(r"libqt6widgets6", control) is not None, "Qt found by the library dependencies")

    usr = os.path.join(root, "usr")
    for path in ["bin/dayvault", "bin/dayvault-cli", "share/applications/dayvault.desktop",
                 "share/icons/hicolor/scalable/apps/dayvault.svg",
                 "share/man/man1/dayvault-cli.1.gz", "share/man/man1/dayvault.1.gz",
                 "share/doc/dayvault/copyright", "share/doc/dayvault/changelog.gz"]:
        check(os.path.isfile(os.path.join(usr, path)), f"the package holds /usr/{path}")

    # The program folder holds what the build's program folder holds, whatever joined it.
    share = os.path.join(usr, "share/dayvault")
    program = os.path.join(build, "bin")
    for folder in ["holidays", "templates", "sounds", "lang", "doc"]:
        built = os.path.join(program, folder)
        if not os.path.isdir(built):
            check(folder not in ("holidays", "templates", "sounds"), f"the build made {folder}/")
            continue
        expected = files_below(built)
        check(expected and expected == files_below(os.path.join(share, folder)),
              f"/usr/share/dayvault/{folder} holds the build's {folder}/")
    sources = glob.glob(os.path.join(source, "data/holidays/*.txt"))
    check(len(glob.glob(os.path.join(share, "holidays/*.hol"))) == len(sources),
          "a holiday module for every source")


def validate(deb, root):
    desktop = os.path.join(root, "usr/share/applications/dayvault.desktop")
    result = run(["desktop-file-validate", desktop])
    check(result.returncode == 0 and not result.stdout.strip(),
          "desktop-file-validate: " + result.stdout + result.stderr)
    metainfo = glob.glob(os.path.join(root, "usr/share/metainfo/*.metainfo.xml"))
    check(len(metainfo) == 1, "one metainfo file")
    for path in metainfo:
        result = run(["appstreamcli", "validate", "--no-net", "--pedantic", path])
        check(result.returncode == 0, "appstreamcli validate: " + result.stdout + result.stderr)
        with open(path, encoding="utf-8") as file:
            check("<launchable type=\"desktop-id\">dayvault.desktop</launchable>" in file.read(),
                  "the metadata names the desktop entry")
    result = run(["lintian", "--fail-on", "error", "--tag-display-limit", "0", deb])
    print(result.stdout, end="")
    check(result.returncode == 0, "lintian finds no error: " + result.stdout + result.stderr)


def desktop_command(root, event_file):
    """The desktop entry's Exec line with its field codes filled in as a menu does."""
    with open(os.path.join(root, "usr/share/applications/dayvault.desktop"), encoding="utf-8") as f:
        exec_line = next(line.split("=", 1)[1].strip() for line in f if line.startswith("Exec="))
    args = []
    for word in shlex.split(exec_line):
        if word in ("%f", "%F", "%u", "%U"):
            args.append(event_file)
        elif not re.fullmatch(r"%[a-zA-Z]", word):
            args.append(word)
    check(args and args[0] == "dayvault", "the desktop entry starts dayvault from the PATH")
    return args


def private_environment(root, work):
    home = os.path.join(work, "home")
    runtime = os.path.join(work, "runtime")
    os.makedirs(home)
    os.makedirs(runtime, mode=0o700)
    env = {key: value for key, value in os.environ.items()
           if not key.startswith(("XDG_", "QT_", "DBUS_", "DISPLAY", "WAYLAND_"))}
    env.update({
        "PATH": os.path.join(root, "usr/bin") + os.pathsep + env.get("PATH", "/usr/bin:/bin"),
        "HOME": home,
        "XDG_CONFIG_HOME": os.path.join(home, ".config"),
        "XDG_DATA_HOME": os.path.join(home, ".local/share"),
        "XDG_CACHE_HOME": os.path.join(home, ".cache"),
        "XDG_RUNTIME_DIR": runtime,
        "TMPDIR": runtime,
        "QT_QPA_PLATFORM": "offscreen",
        # No session bus: the program must start without one, and reaches no one else's.
        "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(runtime, "no-bus"),
        "LC_ALL": "C.UTF-8",
    })
    return env


def wait_for(condition, limit, process):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if condition():
            return True
        if process.poll() is not None:
            return condition()
        time.sleep(0.1)
    return condition()


def start_program(root, work, env, source):
    cli = os.path.join(root, "usr/bin/dayvault-cli")
    events = os.path.join(work, "events.dat")
    demo = os.path.join(source, "data/examples/demo.txt")
    result = run([cli, "restore", demo, events], env=env)
    check(result.returncode == 0, "the unpacked dayvault-cli restores the demo: " + result.stderr)

    # A settings file in the program folder is the store of every user (start-up's first
    # choice); the program writing its language there proves that it found its folder below
    # /usr/share of the unpacked root, where its holidays and templates lie.
    ini = os.path.join(root, "usr/share/dayvault/Dayvault.ini")
    with open(ini, "w", encoding="ascii") as f:
        f.write("[Settings]\r\nUseRegistry=0\r\nWarnOnExit=0\r\n"
                "[HolidaySettings]\r\nActiveModules=Germany\r\n")
    command = desktop_command(root, events)
    log = open(os.path.join(work, "dayvault.log"), "w+")
    first = subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT)
    try:
        def started():
            with open(ini, encoding="ascii") as f:
                text = f.read()
            # The start-up backup of the event file comes after the holiday modules are loaded.
            return re.search(r"^Language=\d+", text, re.M) and os.path.exists(
                os.path.join(work, "events.b00"))
        came_up = wait_for(started, START_LIMIT_S, first)
        check(came_up, "the program starts from the unpacked root and uses its program folder")
        check(first.poll() is None, "the program keeps running after start-up")
        if came_up and first.poll() is None:
            # A second start from the menu hands over to the running program and ends.
            second = run(command, env=env, timeout=HANDOVER_LIMIT_S)
            check(second.returncode == 0, f"a second start hands over (exit {second.returncode})")
            check(first.poll() is None, "the first program still runs after the hand-over")
    finally:
        if first.poll() is None:
            first.terminate()
        first.wait(timeout=HANDOVER_LIMIT_S)
        log.seek(0)
        output = log.read()
        if output.strip():
            print("program output:\n" + output)
        log.close()


def run_cli(root, work, env, version):
    cli = os.path.join(root, "usr/bin/dayvault-cli")
    result = run([cli, "--version"], env=env)
    check(result.returncode == 0 and result.stdout == f"dayvault-cli {version}\n",
          "dayvault-cli --version: " + result.stdout + result.stderr)
    result = run([cli, "--help"], env=env)
    check(result.returncode == 0 and result.stdout.startswith("Usage: dayvault-cli"),
          "dayvault-cli --help")
    # The man page keeps up with the program: every subcommand of the overview is described.
    subcommands = re.findall(r"^  ([a-z]+) ", result.stdout, re.M)
    with gzip.open(os.path.join(root, "usr/share/man/man1/dayvault-cli.1.gz"), "rt") as page:
        text = page.read()
    check(len(subcommands) >= 10, "the overview lists the subcommands")
    for subcommand in subcommands:
        check(f"\\fB{subcommand}" in text, f"the man page describes {subcommand}")
    # Without --program-folder the unpacked cli finds the modules and templates of its package.
    result = run([cli, "holidays", "--module", "Germany", "--year", "2027"], env=env)
    check(result.returncode == 0 and "2027-12-25" in result.stdout,
          "dayvault-cli finds the packaged holiday modules: " + result.stderr)
    page = os.path.join(work, "month.html")
    result = run([cli, "export", "html", os.path.join(work, "events.dat"), "--kind", "month",
                  "--date", "2027-01-01", "--out", page], env=env)
    check(result.returncode == 0 and os.path.getsize(page) > 0,
          "dayvault-cli finds the packaged templates: " + result.stderr)


def main():
    build, source, version = (os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]),
                              sys.argv[3])
    need_tools()
    work = tempfile.mkdtemp(prefix="dayvault-package-")
    try:
        deb = build_package(build, work)
        root = os.path.join(work, "root")
        run(["dpkg", "-x", deb, root], check=True)
        check_contents(deb, root, build, source, version)
        validate(deb, root)
        env = private_environment(root, work)
        start_program(root, work, env, source)
        run_cli(root, work, env, version)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        sys.exit(f"{len(failures)} check(s) failed")
    print("package checks passed")


if __name__ == "__main__":
    main()
