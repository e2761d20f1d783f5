#!/usr/bin/env python3
"""Line and branch coverage per module (src/<module>/) from a gcovr JSON summary.

Usage: coverage_summary.py SUMMARY.json [--markdown]
The per-file figures are in the gcovr text and HTML reports beside the summary; this adds the module
totals that docs/testing.md compares before and after a change to the tests.
"""
import json
import sys
from collections import defaultdict


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: coverage_summary.py SUMMARY.json [--markdown]")
    with open(sys.argv[1], encoding="utf-8") as f:
        summary = json.load(f)
    totals = defaultdict(lambda: [0, 0, 0, 0])  # lines covered, lines, branches covered, branches
    for entry in summary["files"]:
        parts = entry["filename"].split("/")
        if len(parts) < 3 or parts[0] != "src":
            continue
        # The sharing code is its own row: it is the part of the document module that changes most.
        module = parts[1]
        if module == "document" and ("Sync" in parts[2] or "Ftp" in parts[2]):
            module = "document (sync)"
        t = totals[module]
        t[0] += entry["line_covered"]
        t[1] += entry["line_total"]
        t[2] += entry["branch_covered"]
        t[3] += entry["branch_total"]
    all_t = [sum(t[i] for t in totals.values()) for i in range(4)]

    def pct(a, b):
        return 100.0 * a / b if b else 100.0

    markdown = "--markdown" in sys.argv
    if markdown:
        print("| module | lines | line coverage | branches | branch coverage |")
        print("|---|---:|---:|---:|---:|")
    else:
        print(f"{'module':18} {'lines':>7} {'line %':>7} {'branches':>9} {'branch %':>9}")
    for module in sorted(totals) + ["all"]:
        t = all_t if module == "all" else totals[module]
        if markdown:
            print(f"| {module} | {t[1]} | {pct(t[0], t[1]):.1f} % | {t[3]} | {pct(t[2], t[3]):.1f} % |")
        else:
            print(f"{module:18} {t[1]:7} {pct(t[0], t[1]):7.1f} {t[3]:9} {pct(t[2], t[3]):9.1f}")


if __name__ == "__main__":
    main()
