#!/usr/bin/python3
"""Checks that every element of an HTML page is closed in the right order, nothing is stray and the
page is valid UTF-8; prints what is wrong, nothing when the page is well-formed."""
import sys
from html.parser import HTMLParser
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}
class Strict(HTMLParser):
    stack, problems = [], []
    def handle_starttag(self, tag, attrs):
        if tag not in VOID:
            self.stack.append((tag, self.getpos()))
    def handle_startendtag(self, tag, attrs):
        if tag not in VOID:
            self.problems.append("self-closed <%s> at %s" % (tag, self.getpos()))
    def handle_endtag(self, tag):
        if tag in VOID or not self.stack or self.stack[-1][0] != tag:
            self.problems.append("</%s> at %s closes %s" % (tag, self.getpos(), self.stack[-1:]))
        else:
            self.stack.pop()
try:
    text = open(sys.argv[1], "rb").read().decode("utf-8")
except UnicodeDecodeError as e:
    sys.exit("not UTF-8: %s" % e)
parser = Strict()
parser.feed(text)
parser.close()
print("\n".join(parser.problems + ["<%s> at %s never closed" % t for t in parser.stack]), end="")
