#include "app/FormatProblems.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

namespace dv {

namespace {

// A quoted piece of a format is cut so that a message stays one readable line.
constexpr std::size_t kQuoteLength = 24;

std::string Quoted(std::string_view text) {
    if (text.size() <= kQuoteLength) {
        return std::string(text);
    }
    std::size_t cut = kQuoteLength;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut; // not inside a UTF-8 sequence
    }
    return std::string(text.substr(0, cut)) + "...";
}

bool IsDateCode(char code) {
    constexpr std::string_view kCodes = "AaBbdHIjmMpSwWyY%";
    return kCodes.find(code) != std::string_view::npos;
}

} // namespace

std::vector<std::string> DateCodeProblems(std::string_view format) {
    std::vector<std::string> problems;
    std::size_t pos = 0;
    while ((pos = format.find('%', pos)) != std::string_view::npos) {
        std::size_t code = pos + 1;
        if (code < format.size() && format[code] == '#') {
            ++code;
        }
        if (code >= format.size()) {
            problems.push_back(LoadString(kIdsFmtDanglingPercent));
            break;
        }
        if (!IsDateCode(format[code])) {
            problems.push_back(
                FormatString(kIdsFmtUnknownDateCode, format.substr(pos, code - pos + 1)));
        }
        pos = code + 1;
    }
    return problems;
}

std::vector<std::string>
PlaceholderProblems(std::string_view format,
                    const std::function<std::string(std::string_view)>& expand) {
    std::vector<std::string> problems;
    std::size_t rest = 0;
    // The "$" at `rest` closed a token that was not recognised. The token it opens is that
    // token's echo ("$X$ text $Y$" also tries "$ text $"), which is not the user's mistake; the
    // echo's own closing "$" opens a real token again.
    bool echo = false;
    for (;;) {
        const std::size_t open = format.find('$', rest);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = format.find('$', open + 1);
        if (close == std::string_view::npos) {
            if (!echo) {
                problems.push_back(FormatString(kIdsFmtUnclosedToken, Quoted(format.substr(open))));
            }
            break;
        }
        const std::string_view token = format.substr(open, close - open + 1);
        if (expand(token) == token) {
            if (!echo) {
                problems.push_back(FormatString(kIdsFmtNotPlaceholder, Quoted(token)));
            }
            rest = close;
            echo = !echo;
        } else {
            rest = close + 1;
            echo = false;
        }
    }
    return problems;
}

} // namespace dv
