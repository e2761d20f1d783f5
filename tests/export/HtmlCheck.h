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
)PY";

/// Empty when both parsers accept the page; otherwise what they reported.
inline std::string HtmlProblems(const std::filesystem::path& page) {
    const std::string report = page.string() + ".report";
    const std::string script = page.string() + ".check.py";
    std::ofstream(script) << kStrictHtmlScript;
    std::string problems;
    for (const std::string& command : {"xmllint --html --noout '" + page.string() + "'",
                                       "python3 '" + script + "' '" + page.string() + "'"}) {
        if (std::system((command + " >'" + report + "' 2>&1").c_str()) != 0) {
            problems += "failed: " + command + "\n";
        }
        problems += ReadFile(report);
    }
    std::filesystem::remove(report);
    std::filesystem::remove(script);
    return problems;
}

} // namespace dv::test
