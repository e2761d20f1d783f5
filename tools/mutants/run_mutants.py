#!/usr/bin/env python3
"""Applies each hand-made mutant of mutants.txt to a scratch copy of the tree and runs the tests
that matter; a mutant is killed when a test fails (or hangs), and survives when all pass.

The scratch copy and its one build folder live in --build-dir and are reused from run to run, so
that a mutant costs the compilation of its own file (ccache makes the way back free) and the links
of its test programs. Exit status: 0 when every mutant was killed, 1 otherwise, 2 for a list or
tree that cannot be used (a pattern that no longer matches, a baseline that fails).
"""
import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
LIST = Path(__file__).resolve().parent / "mutants.txt"
# What the build needs of the tree; build folders and the rest are left out of the copy.
COPIED = ["CMakeLists.txt", "src", "tests", "data", "packaging", "tools/translations", "scripts"]


class Mutant:
    def __init__(self, name, line):
        self.name = name
        self.line = line
        self.why = ""
        self.file = None
        self.edits = []  # (find, put)
        self.tests = []


def parse_list(path):
    mutants = []
    current = None
    pending_find = None
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        key, _, value = line.partition(" ")
        value = value.strip()
        if key == "mutant":
            current = Mutant(value, number)
            mutants.append(current)
            continue
        if current is None:
            sys.exit(f"{path}:{number}: '{key}' before the first 'mutant'")
        if key == "why":
            current.why = value
        elif key == "file":
            current.file = value
        elif key == "find":
            pending_find = value
        elif key == "put":
            if pending_find is None:
                sys.exit(f"{path}:{number}: 'put' without 'find'")
            current.edits.append((pending_find, value))
            pending_find = None
        elif key == "tests":
            current.tests = value.split()
        else:
            sys.exit(f"{path}:{number}: unknown key '{key}'")
    names = [m.name for m in mutants]
    for m in mutants:
        if not (m.file and m.edits and m.tests):
            sys.exit(f"{path}:{m.line}: mutant {m.name} needs file, find/put and tests")
        if names.count(m.name) > 1:
            sys.exit(f"{path}:{m.line}: mutant name {m.name} is used twice")
    return mutants


def mutate(text, mutant):
    """The mutated text, or an error naming the pattern that does not match exactly once. All
    patterns are looked up in the original text, so that two finds can swap two lines."""
    spans = []
    for find, put in mutant.edits:
        count = text.count(find)
        if count != 1:
            return None, f"'{find}' occurs {count} times in {mutant.file}"
        at = text.index(find)
        spans.append((at, at + len(find), put))
    spans.sort()
    for (_, end, _), (start, _, _) in zip(spans, spans[1:]):
        if start < end:
            return None, f"two patterns of {mutant.name} overlap"
    for start, end, put in reversed(spans):
        text = text[:start] + put + text[end:]
    return text, None


def tree_files():
    try:
        out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "--"] + COPIED,
                             cwd=ROOT, capture_output=True, text=True, check=True).stdout
        return [p for p in out.splitlines() if (ROOT / p).is_file()]
    except (OSError, subprocess.CalledProcessError):
        files = []
        for top in COPIED:
            base = ROOT / top
            if base.is_file():
                files.append(top)
            for dirpath, _, names in os.walk(base):
                files += [str(Path(dirpath, n).relative_to(ROOT)) for n in names]
        return files


def sync_tree(tree):
    """Copies the working tree into `tree`, writing only files whose bytes differ, so that an
    unchanged file keeps its time and is not rebuilt."""
    wanted = set(tree_files())
    for rel in wanted:
        src = ROOT / rel
        dst = tree / rel
        data = src.read_bytes()
        if dst.is_file() and dst.read_bytes() == data:
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        dst.write_bytes(data)
        shutil.copymode(src, dst)
    for top in COPIED:
        base = tree / top
        if base.is_dir():
            for dirpath, _, names in os.walk(base):
                for n in names:
                    rel = str(Path(dirpath, n).relative_to(tree))
                    if rel not in wanted:
                        os.remove(Path(dirpath, n))


def run(cmd, cwd, log, timeout=None, env=None):
    with open(log, "a", encoding="utf-8") as out:
        out.write(f"$ {' '.join(cmd)}\n")
        out.flush()
        try:
            return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout, env=env).returncode
        except subprocess.TimeoutExpired:
            out.write(f"timed out after {timeout} s\n")
            return "timeout"


def test_targets(checks):
    """The build targets that the test checks need."""
    targets = set()
    for check in checks:
        if check.startswith("ctest:"):
            targets.add("all")
        else:
            targets.add(check.removeprefix("qt:").split(":", 1)[0])
    return ["all"] if "all" in targets else sorted(targets)


def run_tests(checks, build, log, env, timeouts):
    """Runs the checks in order and stops at the first failure: (passed, what failed, seconds)."""
    for check in checks:
        started = time.monotonic()
        if check.startswith("ctest:"):
            cmd = ["ctest", "--output-on-failure", "-R", check[len("ctest:"):]]
            cwd = build
        elif check.startswith("qt:"):
            # A Qt Test program, optionally one test function of it.
            cmd = [str(build / "bin" / part) if i == 0 else part
                   for i, part in enumerate(check[len("qt:"):].split(":"))]
            cwd = build
        else:
            program, _, gfilter = check.partition(":")
            cmd = [str(build / "bin" / program), "--gtest_brief=1", "--gtest_fail_fast"]
            if gfilter:
                cmd.append("--gtest_filter=" + gfilter)
                # A filter that no longer names a test would pass every mutant.
                listed = subprocess.run(cmd[:1] + ["--gtest_list_tests", cmd[-1]], cwd=build,
                                        capture_output=True, text=True, env=env).stdout
                if not any(line.startswith("  ") for line in listed.splitlines()):
                    return False, f"{check} (the filter names no test)"
            cwd = build
        result = run(cmd, cwd, log, timeout=timeouts.get(check, 600), env=env)
        timeouts.setdefault("_seconds", {})[check] = time.monotonic() - started
        if result != 0:
            return False, f"{check} ({'timed out' if result == 'timeout' else 'failed'})"
    return True, None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", default="build-mutants")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--only", default="", help="comma-separated mutant names")
    parser.add_argument("--list", action="store_true", help="check the list and print it")
    args = parser.parse_args()

    mutants = parse_list(LIST)
    if args.only:
        chosen = set(args.only.split(","))
        unknown = chosen - {m.name for m in mutants}
        if unknown:
            sys.exit(f"unknown mutants: {', '.join(sorted(unknown))}")
        mutants = [m for m in mutants if m.name in chosen]

    # Every pattern must still match the current sources exactly once: code that moved on makes
    # the mutant stale, and a stale mutant must be rewritten, not silently skipped.
    stale = []
    for m in mutants:
        path = ROOT / m.file
        if not path.is_file():
            stale.append(f"{m.name}: {m.file} does not exist")
            continue
        _, error = mutate(path.read_text(encoding="utf-8"), m)
        if error:
            stale.append(f"{m.name}: {error}")
    if stale:
        print("Mutants that no longer apply:\n  " + "\n  ".join(stale))
        return 2
    if args.list:
        for m in mutants:
            print(f"{m.name:40} {m.file:40} {' '.join(m.tests)}")
        print(f"{len(mutants)} mutants")
        return 0

    work = (ROOT / args.build_dir).resolve()
    tree = work / "tree"
    build = tree / "build"
    logs = work / "logs"
    tree.mkdir(parents=True, exist_ok=True)
    if logs.exists():
        shutil.rmtree(logs)
    logs.mkdir()
    sync_tree(tree)

    env = dict(os.environ)
    env["DAYVAULT_TEST_DATA"] = str(tree / "tests" / "data")
    # Paths relative to the tree in ccache's keys: a fresh scratch folder, or a build of the
    # working tree laid out the same way, finds the objects of an earlier run.
    env["CCACHE_BASEDIR"] = str(tree)
    env["CCACHE_NOHASHDIR"] = "true"
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    configure = ["cmake", "-S", str(tree), "-B", str(build), "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DDAYVAULT_WERROR=ON"]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    print(f"Scratch tree: {tree}; logs: {logs}", flush=True)
    baseline_log = logs / "baseline.log"
    if run(configure, tree, baseline_log, env=env) != 0:
        print(f"The scratch tree does not configure; see {baseline_log}")
        return 2

    def build_targets(targets, log):
        return run(["cmake", "--build", str(build), "-j", str(args.jobs), "--target"] + targets,
                   tree, log, env=env)

    all_checks = []
    for m in mutants:
        all_checks += [s for s in m.tests if s not in all_checks]
    started = time.monotonic()
    if build_targets(test_targets(all_checks), baseline_log) != 0:
        print(f"The unmutated tree does not build; see {baseline_log}")
        return 2
    timing = {}
    # The baseline runs every check in full (no fail-fast stop matters: all must pass) and gives
    # each check a time limit: a mutant that makes a program hang counts as killed.
    for check in all_checks:
        ok, failed = run_tests([check], build, baseline_log, env, timing)
        if not ok:
            print(f"The unmutated tree fails {failed}; see {baseline_log}")
            return 2
    seconds = timing.pop("_seconds")
    limits = {check: max(60.0, 5 * s) for check, s in seconds.items()}
    print(f"Baseline built and passed in {time.monotonic() - started:.0f} s", flush=True)

    results = []
    for index, m in enumerate(mutants, 1):
        path = tree / m.file
        original = path.read_bytes()
        mutated, error = mutate(original.decode("utf-8"), m)
        log = logs / f"{m.name}.log"
        began = time.monotonic()
        try:
            path.write_text(mutated, encoding="utf-8")
            if build_targets(test_targets(m.tests), log) != 0:
                verdict, detail = "INVALID", "does not compile"
            else:
                ok, failed = run_tests(m.tests, build, log, env, dict(limits))
                verdict, detail = ("SURVIVED", "every test passed") if ok else ("killed", failed)
                if not ok and failed.endswith("(the filter names no test)"):
                    verdict = "INVALID"
        finally:
            path.write_bytes(original)
        results.append((m, verdict))
        print(f"[{index:2}/{len(mutants)}] {verdict:8} {m.name:38} {detail} "
              f"({time.monotonic() - began:.0f} s)", flush=True)

    killed = sum(1 for _, v in results if v == "killed")
    print(f"\n{killed} of {len(results)} mutants killed in {time.monotonic() - started:.0f} s")
    for m, verdict in results:
        if verdict != "killed":
            print(f"  {verdict}: {m.name} ({m.file}): {m.why}")
    return 0 if killed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
