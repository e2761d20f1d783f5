#!/usr/bin/python3
"""Compares every shipped holiday module with Debian's python3-holidays package.

For each module and year, the dates dayvault-cli lists are compared with the package's national
calendar for that country. Every date that only one side has must be covered by a named, justified
entry of the differences file, and every entry must still cover a difference.

Differences file, one entry a line: module | side | what | years | reason
  side   "ours" (only the module has the date) or "package" (only the package has it)
  what   a date YYYY-MM-DD (years empty), or "name:TEXT" matching that side's holiday on the date
         (ours: its name or display text; package: one of its names) in years YYYY or YYYY-YYYY
Blank lines and lines starting with "#" are ignored.
"""

import argparse
import datetime
import json
import os
import subprocess
import sys

MODULES = ("Germany", "Austria", "Switzerland", "United Kingdom", "Ireland", "France",
           "Netherlands", "Belgium", "Italy", "Spain", "Sweden", "Norway", "Denmark", "Poland",
           "United States", "Canada", "Australia", "New Zealand")


class Entry:
    def __init__(self, where, module, side, what, years, reason):
        if module not in MODULES or side not in ("ours", "package") or not reason:
            raise ValueError("needs a known module, side 'ours' or 'package' and a reason")
        self.where, self.module, self.side, self.used = where, module, side, False
        self.date = self.name = None
        if what.startswith("name:"):
            self.name = what[len("name:"):].strip()
            first, _, last = years.partition("-")
            self.first, self.last = int(first), int(last or first)
        elif years:
            raise ValueError("a date entry takes no years")
        else:
            self.date = datetime.date.fromisoformat(what)

    def matches(self, module, side, date, names):
        if (module, side) != (self.module, self.side):
            return False
        if self.date is not None:
            return date == self.date
        return self.first <= date.year <= self.last and self.name in names


def read_entries(path):
    entries = []
    with open(path, encoding="utf-8") as f:
        for line_no, raw in enumerate(f, 1):
            line = raw.strip()
            if line and not line.startswith("#"):
                fields = [field.strip() for field in line.split("|", 4)]
                try:
                    if len(fields) != 5:
                        raise ValueError("expected 5 fields separated by '|'")
                    entries.append(Entry("%s:%d" % (path, line_no), *fields))
                except ValueError as error:
                    raise SystemExit("%s:%d: %s" % (path, line_no, error))
    return entries


def our_dates(args, module, year):
    """Date -> set of names and display texts dayvault-cli lists for the module and year."""
    command = [args.cli, "holidays", "--module", module, "--year", str(year),
               "--program-folder", args.program_folder]
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit("'%s' failed: %s" % (" ".join(command), result.stderr.strip()))
    dates = {}
    for item in json.loads(result.stdout):
        date = datetime.date.fromisoformat(item["date"])
        dates.setdefault(date, set()).update((item["name"], item["text"]))
    return dates


def package_dates(module, year):
    import holidays
    # Sweden and Norway would add every Sunday; no region is ever selected.
    options = {"include_sundays": False} if module in ("Sweden", "Norway") else {}
    calendar = getattr(holidays, module.replace(" ", ""))(years=year, **options)
    return {date: set(name.strip() for name in names.split(", ")) | {names}
            for date, names in calendar.items() if date.year == year}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("--cli", "--program-folder", "--sources", "--differences"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()

    sources = sorted(os.path.splitext(name)[0] for name in os.listdir(args.sources)
                     if not name.startswith("."))
    problems = ["%s: shipped module without a calendar to compare with" % module
                for module in sources if module not in MODULES]
    entries = read_entries(args.differences)
    compared = 0
    for module in (m for m in sources if m in MODULES):
        for year in range(2000, 2036):
            ours, theirs = our_dates(args, module, year), package_dates(module, year)
            if any(date.year != year for date in ours):
                problems.append("%s %d: a date outside the year" % (module, year))
            for side, have, other in (("ours", ours, theirs), ("package", theirs, ours)):
                for date in sorted(set(have) - set(other)):
                    compared += 1
                    hits = [e for e in entries if e.matches(module, side, date, have[date])]
                    for entry in hits:
                        entry.used = True
                    if not hits:
                        problems.append("%s: %s (%s) only in %s, not listed as a difference"
                                        % (module, date, sorted(have[date], key=len)[-1], side))
    problems += ["%s: listed difference no longer occurs" % e.where for e in entries if not e.used]
    for problem in problems:
        print(problem)
    print("%d modules: %d differing dates, %d named differences, %d problems"
          % (len(sources), compared, len(entries), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
