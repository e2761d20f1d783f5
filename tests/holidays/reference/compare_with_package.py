#!/usr/bin/python3
"""Compares every shipped holiday module with Debian's python3-holidays package.

For each module and each year of the range, the dates dayvault-cli lists are compared with the
dates of the package's national calendar for that country (no subdivision arguments). Every date
that only one side has must be covered by a named, justified entry of the differences file; an
entry that covers no difference any more fails the check as well, so the file cannot go stale.

Differences file: one entry a line, five fields separated by "|" (the reason may hold more):
    module | side | what | years | reason
  side   "ours" (only the module has the date) or "package" (only the package has it)
  what   a date YYYY-MM-DD, or "name:TEXT" matching that side's holiday on the date (ours: the
         holiday's name or display text; package: one of its names for the date)
  years  empty for a date; "YYYY" or "YYYY-YYYY" (inclusive) for a name
  reason why the two differ (the law, the package's version, a regional holiday ...)
Blank lines and lines starting with "#" are ignored.
"""

import argparse
import datetime
import json
import os
import subprocess
import sys

# The package's class for each module; the keyword arguments only switch off what the package
# adds beyond holidays (every Sunday), never select a region.
PACKAGE_CALENDARS = {
    module: (module.replace(" ", ""),
             {"include_sundays": False} if module in ("Sweden", "Norway") else {})
    for module in ("Germany", "Austria", "Switzerland", "United Kingdom", "Ireland", "France",
                   "Netherlands", "Belgium", "Italy", "Spain", "Sweden", "Norway", "Denmark",
                   "Poland", "United States", "Canada", "Australia", "New Zealand")
}


class Entry:
    """One named difference: a date, or a holiday's name over a range of years."""

    def __init__(self, where, module, side, what, years, reason):
        if module not in PACKAGE_CALENDARS or side not in ("ours", "package") or not reason:
            raise ValueError("needs a known module, side 'ours' or 'package' and a reason")
        self.where, self.module, self.side, self.used = where, module, side, False
        self.date = self.name = None
        if what.startswith("name:"):
            self.name = what[len("name:"):].strip()
            first, _, last = years.partition("-")
            self.first, self.last = int(first), int(last or first)
            if not self.name or self.first > self.last:
                raise ValueError("a name entry needs a name and years YYYY or YYYY-YYYY")
        else:
            self.date = datetime.date.fromisoformat(what)
            if years:
                raise ValueError("a date entry takes no years")

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


def our_dates(cli, program_folder, module, year):
    """Date -> set of names and display texts dayvault-cli lists for the module and year."""
    command = [cli, "holidays", "--module", module, "--year", str(year),
               "--program-folder", program_folder]
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit("'%s' failed (%d): %s" % (" ".join(command), result.returncode,
                                                  result.stderr.strip()))
    dates = {}
    for item in json.loads(result.stdout):
        date = datetime.date.fromisoformat(item["date"])
        if date.year != year:
            raise SystemExit("%s %d: dayvault-cli listed %s, outside the year" % (module, year, date))
        dates.setdefault(date, set()).update((item["name"], item["text"]))
    return dates


def package_dates(module, year):
    import holidays
    class_name, options = PACKAGE_CALENDARS[module]
    calendar = getattr(holidays, class_name)(years=year, **options)
    return {date: set(name.strip() for name in names.split(", ")) | {names}
            for date, names in calendar.items() if date.year == year}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True, help="the dayvault-cli program")
    parser.add_argument("--program-folder", required=True, help="folder holding holidays/*.hol")
    parser.add_argument("--sources", required=True, help="folder of the module sources")
    parser.add_argument("--differences", required=True, help="the named differences file")
    parser.add_argument("--first-year", type=int, default=2000)
    parser.add_argument("--last-year", type=int, default=2035)
    args = parser.parse_args()

    sources = sorted(os.path.splitext(name)[0] for name in os.listdir(args.sources)
                     if not name.startswith("."))
    compiled = sorted(os.path.splitext(name)[0]
                      for name in os.listdir(os.path.join(args.program_folder, "holidays"))
                      if name.endswith(".hol"))
    problems = []
    for module in sources:
        if module not in compiled:
            problems.append("%s: source without a module file in %s/holidays"
                            % (module, args.program_folder))
        if module not in PACKAGE_CALENDARS:
            problems.append("%s: shipped module without a calendar of the package to compare with"
                            % module)
    entries = read_entries(args.differences)

    compared = 0
    for module in (m for m in sources if m in compiled and m in PACKAGE_CALENDARS):
        for year in range(args.first_year, args.last_year + 1):
            ours = our_dates(args.cli, args.program_folder, module, year)
            theirs = package_dates(module, year)
            for side, have, other in (("ours", ours, theirs), ("package", theirs, ours)):
                for date in sorted(set(have) - set(other)):
                    compared += 1
                    hits = [e for e in entries if e.matches(module, side, date, have[date])]
                    for entry in hits:
                        entry.used = True
                    if not hits:
                        problems.append("%s %d: %s (%s) only in %s, not listed as a difference"
                                        % (module, year, date, sorted(have[date], key=len)[-1],
                                           "Dayvault" if side == "ours" else "python3-holidays"))
    problems += ["%s: listed difference no longer occurs: %s, %s only in %s"
                 % (e.where, e.module, e.date or "name:%s %d-%d" % (e.name, e.first, e.last),
                    e.side) for e in entries if not e.used]

    for problem in problems:
        print(problem)
    print("%d modules, years %d-%d: %d differing dates, %d named differences, %d problems"
          % (len(sources), args.first_year, args.last_year, compared, len(entries), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
