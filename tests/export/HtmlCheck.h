#pragma once

// Checks that a page is well-formed HTML with two independent real parsers: libxml2's HTML
// parser (xmllint) must have nothing to say, and Python's html.parser must see every element
// closed in the right order, nothing stray, and valid UTF-8.

#include "support/Files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace dv::test {

inline const char* kStrictHtmlScript = R"PY(
import sys
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}

class Strict(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack = []
        self.problems = []

    def handle_starttag(self, tag, attrs):
        if tag not in VOID:
            self.stack.append((tag, self.getpos()))

    def handle_startendtag(self, tag, attrs):
        if tag not in VOID:
            self.problems.append("self-closed <%s> at %s" % (tag, self.getpos()))

    def handle_endtag(self, tag):
        if tag in VOID:
            self.problems.append("end tag of void <%s> at %s" % (tag, self.getpos()))
        elif not self.stack or self.stack[-1][0] != tag:
            open_tag = self.stack[-1] if self.stack else None
            self.problems.append("</%s> at %s closes %s" % (tag, self.getpos(), open_tag))
        else:
            self.stack.pop()

with open(sys.argv[1], "rb") as f:
    data = f.read()
try:
    text = data.decode("utf-8")
except UnicodeDecodeError as e:
    print("not UTF-8:", e)
    sys.exit(0)
parser = Strict()
parser.feed(text)
parser.close()
for problem in parser.problems:
    print(problem)
for tag, pos in parser.stack:
    print("<%s> at %s never closed" % (tag, pos))
)PY";

/// Empty when both parsers accept the page; otherwise what they reported.
inline std::string HtmlProblems(const std::filesystem::path& page) {
    const std::filesystem::path report = page.string() + ".report";
    const std::filesystem::path script = page.string() + ".check.py";
    std::ofstream(script) << kStrictHtmlScript;
    std::string problems;
    const std::string xmllint =
        "xmllint --html --noout '" + page.string() + "' >'" + report.string() + "' 2>&1";
    if (std::system(xmllint.c_str()) != 0) {
        problems += "xmllint failed\n";
    }
    problems += ReadFile(report);
    const std::string python =
        "python3 '" + script.string() + "' '" + page.string() + "' >'" + report.string() + "' 2>&1";
    if (std::system(python.c_str()) != 0) {
        problems += "html.parser check failed\n";
    }
    problems += ReadFile(report);
    std::filesystem::remove(report);
    std::filesystem::remove(script);
    return problems;
}

} // namespace dv::test
