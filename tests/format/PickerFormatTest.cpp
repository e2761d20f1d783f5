#include "format/PickerFormat.h"

#include "support/Random.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace dv {
namespace {

// Codes and literal text are decided by the random round trip below; these rows are what its
// generator does not make: unknown codes, which lose their "%" ("#" included), and a dangling "%".
const std::tuple<const char*, std::string_view, std::string_view, std::string_view> kRows[] = {
    {"percent", "%%", "%", "%"},
    {"short unknown", "%#W", "W", "'W'"},
    {"short percent", "%#%", "%", "%"},
    {"hash as code", "%##", "#", "#"},
    {"dangling percent", "%d.%", "dd.", "dd."},
    {"dangling short mark", "%d%#", "dd", "dd"},
};

TEST(PickerFormat, ConversionTable) {
    for (const auto& [name, format, picker, qt] : kRows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ToPickerFormat(format), picker);
        EXPECT_EQ(ToQtDisplayFormat(format), qt);
    }
}

// One piece of a display format: an expression ("dd", "AP") or literal text.
struct Piece {
    bool expression;
    std::string text;
    friend bool operator==(const Piece&, const Piece&) = default;
};

void AddLiteral(std::vector<Piece>& pieces, std::string_view text) {
    if (!pieces.empty() && !pieces.back().expression) {
        pieces.back().text += text;
    } else {
        pieces.push_back({false, std::string(text)});
    }
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Reads a format as Qt 6 does: two single quotes are one quote, inside quoted text and outside;
// one quote opens or closes quoted text; "AP" is the designator; any other run of one repeated
// letter is one expression.
std::vector<Piece> ReadQtFormat(std::string_view format) {
    std::vector<Piece> pieces;
    bool quoted = false;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c == '\'') {
            if (i + 1 < format.size() && format[i + 1] == '\'') {
                AddLiteral(pieces, "'");
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
        } else if (quoted || !IsLetter(c)) {
            AddLiteral(pieces, format.substr(i, 1));
            ++i;
        } else if (format.substr(i, 2) == "AP") {
            pieces.push_back({true, "AP"});
            i += 2;
        } else {
            std::size_t end = i;
            while (end < format.size() && format[end] == c) {
                ++end;
            }
            pieces.push_back({true, std::string(format.substr(i, end - i))});
            i = end;
        }
    }
    EXPECT_FALSE(quoted) << "unclosed quote in " << format;
    return pieces;
}

TEST(PickerFormat, RandomFormatsConvertCodeByCode) {
    struct Code {
        std::string_view source, picker, qt;
    };
    // Every code, and the short forms; codes without a short form keep their long one.
    const Code codes[] = {{"%A", "dddd", "dddd"},  {"%B", "MMMM", "MMMM"},  {"%H", "HH", "HH"},
                          {"%#H", "H", "H"},       {"%I", "hh", "hh"},      {"%#I", "h", "h"},
                          {"%M", "mm", "mm"},      {"%#M", "m", "m"},       {"%S", "ss", "ss"},
                          {"%#S", "s", "s"},       {"%Y", "yyyy", "yyyy"},  {"%a", "ddd", "ddd"},
                          {"%b", "MMM", "MMM"},    {"%d", "dd", "dd"},      {"%#d", "d", "d"},
                          {"%m", "MM", "MM"},      {"%#m", "M", "M"},       {"%p", "tt", "AP"},
                          {"%y", "yy", "yy"},      {"%#A", "dddd", "dddd"}, {"%#B", "MMMM", "MMMM"},
                          {"%#Y", "yyyy", "yyyy"}, {"%#a", "ddd", "ddd"},   {"%#b", "MMM", "MMM"},
                          {"%#p", "tt", "AP"},     {"%#y", "yy", "yy"}};
    // Literal characters that Qt could mistake for syntax, and harmless ones.
    const std::string_view literals = "dMyhHmsAPapWz' '.,:/-()#0";
    test::Random rng(20240521);
    for (int round = 0; round < 5000; ++round) {
        std::string format;
        std::vector<Piece> expected;
        std::string picker; // the picker copies literal text
        const int parts = rng.Int(1, 6);
        for (int part = 0; part < parts; ++part) {
            // A code directly after a code: Qt has no separator for two forms of one letter, so
            // the generator keeps a literal between codes.
            const bool afterCode = !expected.empty() && expected.back().expression;
            if (!afterCode && rng.OneIn(2)) {
                const Code& code = rng.Pick(codes);
                format += code.source;
                picker += code.picker;
                expected.push_back({true, std::string(code.qt)});
            } else {
                for (int k = rng.Int(1, 4); k > 0; --k) {
                    const char c = rng.Pick(literals);
                    format += c;
                    picker += c;
                    AddLiteral(expected, std::string_view(&c, 1));
                }
            }
        }
        ASSERT_EQ(ReadQtFormat(ToQtDisplayFormat(format)), expected) << format;
        ASSERT_EQ(ToPickerFormat(format), picker) << format;
    }
}

} // namespace
} // namespace dv
