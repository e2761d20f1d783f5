#!/usr/bin/env python3
"""Checks the manual in doc/ so that it cannot rot unnoticed: every page is well-formed HTML, every
local link, anchor and picture exists, every page is in the table of contents, every menu command
of the command table is on the shortcuts page with its key, and the build's copy in the program
folder matches the sources.

    check_manual.py SOURCE_DIR [PROGRAM_FOLDER]
"""
import re
import subprocess
import sys
from html.parser import HTMLParser
from pathlib import Path

# libxml2's HTML parser predates these HTML5 elements; everything else it reports is an error.
HTML5_TAGS = {"nav", "main", "figure", "figcaption", "header", "footer", "section"}
KEY_NAMES = {"Return": "Enter"}


class Page(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.ids, self.links, self.rows = set(), [], []
        self._row = None
        self._kbd = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        for name in ("href", "src"):
            if attrs.get(name):
                self.links.append(attrs[name])
        if tag == "tr":
            self._row = {"cells": [], "keys": []}
        elif tag in ("td", "th") and self._row is not None:
            self._row["cells"].append("")
        elif tag == "kbd":
            self._kbd = ""

    def handle_endtag(self, tag):
        if tag == "tr" and self._row is not None:
            self.rows.append(self._row)
            self._row = None
        elif tag == "kbd" and self._kbd is not None:
            if self._row is not None:
                self._row["keys"].append(self._kbd)
            self._kbd = None

    def handle_data(self, data):
        if self._kbd is not None:
            self._kbd += data
        if self._row is not None and self._row["cells"]:
            self._row["cells"][-1] += data


def xmllint_errors(path):
    result = subprocess.run(["xmllint", "--html", "--noout", str(path)], capture_output=True,
                            text=True)
    errors = []
    for line in result.stderr.splitlines():
        match = re.search(r"HTML parser error : (.*)", line)
        if not match:
            continue
        tag = re.fullmatch(r"Tag (\w+) invalid", match.group(1))
        if tag and tag.group(1) in HTML5_TAGS:
            continue
        errors.append(f"{path.name}: {line.strip()}")
    return errors


def menu_commands(source):
    """(text, key or None) of every command of the main and the tray menu."""
    strings = dict(re.findall(r'\{(kIds\w+),\s*"((?:[^"\\]|\\.)*)"\}',
                              (source / "src/format/StringTable.cpp").read_text()))
    table = (source / "src/app/CommandTable.cpp").read_text()
    commands = []
    for text_id, key in re.findall(r'Item\(cmd::\w+,\s*(kIds\w+),\s*(nullptr|"[^"]*")', table):
        if text_id not in strings:
            raise SystemExit(f"CommandTable names {text_id}, which the string table lacks")
        text = strings[text_id].split("\\t")[0].replace("&", "")
        commands.append((text, None if key == "nullptr" else key.strip('"')))
    return commands


def main():
    source = Path(sys.argv[1])
    doc = source / "doc"
    pages = {path.name: path for path in sorted(doc.glob("*.html"))}
    problems = []
    parsed = {}
    for name, path in pages.items():
        problems += xmllint_errors(path)
        text = path.read_text(encoding="utf-8")
        if not text.startswith("<!DOCTYPE html>") or "<title>" not in text:
            problems.append(f"{name}: no HTML5 doctype or no title")
        parsed[name] = Page()
        parsed[name].feed(text)

    used_images = set()
    for name, page in parsed.items():
        for link in page.links:
            if re.match(r"[a-z]+:", link):
                continue
            target, _, anchor = link.partition("#")
            target_path = (pages[name].parent / target) if target else pages[name]
            if not target_path.is_file():
                problems.append(f"{name}: {link} does not exist")
                continue
            if target_path.suffix == ".png":
                used_images.add(target_path.resolve())
            if anchor and target_path.name in parsed and anchor not in parsed[target_path.name].ids:
                problems.append(f"{name}: {link} names an anchor that does not exist")
    for image in sorted((doc / "images").glob("*.png")):
        if image.resolve() not in used_images:
            problems.append(f"images/{image.name} is not shown on any page")

    contents = set(link.partition("#")[0] for link in parsed["index.html"].links)
    for name in pages:
        if name != "index.html" and name not in contents:
            problems.append(f"{name} is missing from the table of contents")

    rows = parsed["shortcuts.html"].rows
    for text, key in menu_commands(source):
        matching = [row for row in rows if row["cells"] and text in row["cells"][0]]
        if not matching:
            problems.append(f'shortcuts.html lacks the command "{text}"')
        elif key and not any(key in row["keys"] or KEY_NAMES.get(key) in row["keys"]
                             for row in matching):
            problems.append(f'shortcuts.html gives "{text}" without its key {key}')

    if len(sys.argv) > 2:
        copy = Path(sys.argv[2]) / "doc"
        for path in [*pages.values(), *doc.glob("*.css"), *doc.glob("images/*.png")]:
            copied = copy / path.relative_to(doc)
            if not copied.is_file() or copied.read_bytes() != path.read_bytes():
                problems.append(f"the program folder's doc/{path.relative_to(doc)} is missing or old")

    for problem in problems:
        print(problem)
    print(f"{len(pages)} pages checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
