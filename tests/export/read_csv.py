"""Reads a CSV file with Python's csv module (strict quoting) for the export tests.

Usage: read_csv.py FILE comma|semicolon|tab
Prints the rows with fields separated by 0x1F and each row ended by 0x1E. The bytes pass through
as Latin-1, so they come out as they were written. A malformed file exits with status 1.
"""
import csv
import sys

DELIMITERS = {"comma": ",", "semicolon": ";", "tab": "\t"}

path, delimiter = sys.argv[1], DELIMITERS[sys.argv[2]]
try:
    with open(path, newline="", encoding="latin-1") as f:
        rows = list(csv.reader(f, delimiter=delimiter, strict=True))
except csv.Error as error:
    sys.stderr.write(f"{path}: {error}\n")
    sys.exit(1)
sys.stdout.buffer.write("".join("\x1f".join(row) + "\x1e" for row in rows).encode("latin-1"))
