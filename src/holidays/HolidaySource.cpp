#include "holidays/HolidaySource.h"

#include "core/CFileException.h"
#include "core/TextEncoding.h"
#include "holidays/HolidaySourceSyntax.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <vector>

namespace dv {

HolidaySourceError::HolidaySourceError(std::string file, int line, std::string message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message),
      m_file(std::move(file)), m_line(line), m_message(std::move(message)) {}

namespace {

using namespace holiday_source;

// ---- Tokens -----------------------------------------------------------------------------------

enum class TokenType { Word, Number, String, Symbol };

struct Token {
    TokenType type;
    std::string text; // a string's decoded content; a number's digits as written
    int line;
};

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class Tokenizer {
public:
    Tokenizer(const std::string& file, int line) : m_file(file), m_line(line) {}

    void Run(std::string_view text, std::vector<Token>& out) {
        size_t i = 0;
        while (i < text.size()) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i;
            } else if (c == '#') {
                return;
            } else if (c == '"') {
                i = ReadString(text, i + 1, out);
            } else if (c == ';' || c == '=' || c == '+' || c == '-') {
                out.push_back({TokenType::Symbol, std::string(1, static_cast<char>(c)), m_line});
                ++i;
            } else if (IsWordByte(c)) {
                size_t end = i;
                while (end < text.size() && IsWordByte(static_cast<unsigned char>(text[end]))) {
                    ++end;
                }
                std::string word(text.substr(i, end - i));
                out.push_back({Classify(word), word, m_line});
                i = end;
            } else {
                Fail("unexpected character '" + std::string(1, static_cast<char>(c)) + "'");
            }
        }
    }

private:
    [[noreturn]] void Fail(const std::string& message) const {
        throw HolidaySourceError(m_file, m_line, message);
    }

    TokenType Classify(const std::string& word) const {
        if (word[0] < '0' || word[0] > '9') {
            return TokenType::Word;
        }
        const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
        bool digitsOnly = true;
        for (size_t k = hex ? 2 : 0; k < word.size(); ++k) {
            const char c = word[k];
            const bool digit = (c >= '0' && c <= '9') ||
                               (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
            digitsOnly = digitsOnly && digit;
        }
        if (digitsOnly) {
            return TokenType::Number;
        }
        // Ordinals such as "2nd" are the only words that start with a digit.
        const size_t digits = word.find_first_not_of("0123456789");
        const std::string suffix = Lower(word.substr(digits));
        if (!hex && (suffix == "st" || suffix == "nd" || suffix == "rd" || suffix == "th")) {
            return TokenType::Word;
        }
        Fail("'" + word + "' is neither a number nor an ordinal such as 2nd");
    }

    size_t ReadString(std::string_view text, size_t i, std::vector<Token>& out) {
        std::string value;
        while (true) {
            if (i >= text.size()) {
                Fail("a quoted text without its closing '\"'");
            }
            const char c = text[i++];
            if (c == '"') {
                break;
            }
            if (c != '\\') {
                value += c;
                continue;
            }
            if (i >= text.size()) {
                Fail("a '\\' at the end of the line");
            }
            const char e = text[i++];
            switch (e) {
            case '"':
                value += '"';
                break;
            case '\\':
                value += '\\';
                break;
            case 'n':
                value += '\n';
                break;
            case 'r':
                value += '\r';
                break;
            case 't':
                value += '\t';
                break;
            case 'u':
                i = ReadCodePoint(text, i, value);
                break;
            default:
                Fail(std::string("unknown escape '\\") + e +
                     "' (use \\\" \\\\ \\n \\r \\t \\u{HEX})");
            }
        }
        out.push_back({TokenType::String, std::move(value), m_line});
        return i;
    }

    size_t ReadCodePoint(std::string_view text, size_t i, std::string& value) {
        const size_t close = text.find('}', i);
        if (i >= text.size() || text[i] != '{' || close == std::string_view::npos) {
            Fail("expected '\\u{HEX}' with a hexadecimal character number");
        }
        const std::string_view hex = text.substr(i + 1, close - i - 1);
        uint32_t cp = 0;
        const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), cp, 16);
        if (hex.empty() || ec != std::errc() || end != hex.data() + hex.size() || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            Fail("'\\u{" + std::string(hex) + "}' is not a Unicode character number");
        }
        AppendUtf8(value, cp);
        return close + 1;
    }

    const std::string& m_file;
    int m_line;
};

// ---- Parser -----------------------------------------------------------------------------------

using Int64 = long long;
constexpr Int64 kInt32Min = std::numeric_limits<int32_t>::min();
constexpr Int64 kInt32Max = std::numeric_limits<int32_t>::max();
constexpr Int64 kUInt32Max = std::numeric_limits<uint32_t>::max();

// A cursor over the tokens of one statement (a line and its ';' continuation lines).
class Cursor {
public:
    Cursor(const std::string& file, const std::vector<Token>& tokens, int lastLine)
        : m_file(file), m_tokens(tokens), m_lastLine(lastLine) {}

    bool AtEnd() const { return m_pos >= m_tokens.size(); }
    const Token* Peek(size_t ahead = 0) const {
        return m_pos + ahead < m_tokens.size() ? &m_tokens[m_pos + ahead] : nullptr;
    }
    const Token& Next() { return m_tokens[m_pos++]; }

    bool PeekWord(std::string_view lowerWord, size_t ahead = 0) const {
        const Token* t = Peek(ahead);
        return t && t->type == TokenType::Word && Lower(t->text) == lowerWord;
    }
    bool PeekSymbol(char symbol) const {
        const Token* t = Peek();
        return t && t->type == TokenType::Symbol && t->text[0] == symbol;
    }
    bool AcceptWord(std::string_view lowerWord) {
        if (PeekWord(lowerWord)) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool AcceptSymbol(char symbol) {
        if (PeekSymbol(symbol)) {
            ++m_pos;
            return true;
        }
        return false;
    }

    [[noreturn]] void Fail(const std::string& message) const {
        const int line =
            AtEnd() ? (m_tokens.empty() ? m_lastLine : m_tokens.back().line) : m_tokens[m_pos].line;
        throw HolidaySourceError(m_file, line, message);
    }
    [[noreturn]] void Expected(const std::string& what) const {
        Fail("expected " + what + ", found " + Describe());
    }
    void ExpectWord(std::string_view lowerWord) {
        if (!AcceptWord(lowerWord)) {
            Expected("'" + std::string(lowerWord) + "'");
        }
    }

    std::string Describe() const {
        if (AtEnd()) {
            return "the end of the line";
        }
        const Token& t = m_tokens[m_pos];
        return t.type == TokenType::String ? "the text \"" + t.text + "\"" : "'" + t.text + "'";
    }

    // An optionally negative decimal or 0x hexadecimal number within [min, max].
    Int64 Integer(const std::string& what, Int64 min, Int64 max) {
        const bool negative = AcceptSymbol('-');
        const Token* t = Peek();
        if (!t || t->type != TokenType::Number) {
            Expected(what);
        }
        const bool hex = t->text.size() > 2 && t->text[0] == '0' && (t->text[1] | 0x20) == 'x';
        const char* begin = t->text.data() + (hex ? 2 : 0);
        unsigned long long magnitude = 0;
        const auto [end, ec] =
            std::from_chars(begin, t->text.data() + t->text.size(), magnitude, hex ? 16 : 10);
        const Int64 value =
            negative ? -static_cast<Int64>(magnitude) : static_cast<Int64>(magnitude);
        if (ec != std::errc() || magnitude > static_cast<unsigned long long>(kUInt32Max) + 1 ||
            value < min || value > max) {
            Fail(what + " must lie in " + std::to_string(min) + ".." + std::to_string(max) +
                 ", found " + (negative ? "-" : "") + t->text);
        }
        ++m_pos;
        return value;
    }

    // A holiday name: a bare word that does not start with a digit, or quoted text.
    std::string Name(const std::string& what) {
        const Token* t = Peek();
        if (!t || t->type == TokenType::Number || t->type == TokenType::Symbol ||
            (t->type == TokenType::Word && t->text[0] >= '0' && t->text[0] <= '9')) {
            Expected(what);
        }
        return Next().text;
    }

    int Weekday() {
        const Token* t = Peek();
        const auto day = t && t->type == TokenType::Word ? FindWeekday(t->text) : std::nullopt;
        if (!day) {
            Expected("a weekday (Monday .. Sunday)");
        }
        ++m_pos;
        return *day;
    }
    bool PeekWeekday() const {
        const Token* t = Peek();
        return t && t->type == TokenType::Word && FindWeekday(t->text);
    }

    int Month() {
        const Token* t = Peek();
        const auto month = t && t->type == TokenType::Word ? FindMonth(t->text) : std::nullopt;
        if (!month) {
            Expected("a month name (January .. December)");
        }
        ++m_pos;
        return *month + 1;
    }

    // "1st", "first" ... as a count (1 the first); -1 for "last"; nullopt when no ordinal.
    std::optional<Int64> PeekOrdinal() const {
        const Token* t = Peek();
        if (!t || t->type != TokenType::Word) {
            return std::nullopt;
        }
        const std::string lower = Lower(t->text);
        if (lower == "last") {
            return -1;
        }
        for (size_t i = 0; i < kOrdinalWords.size(); ++i) {
            if (lower == kOrdinalWords[i]) {
                return static_cast<Int64>(i) + 1;
            }
        }
        if (lower[0] >= '0' && lower[0] <= '9') {
            unsigned long long n = 0;
            const auto [end, ec] = std::from_chars(lower.data(), lower.data() + lower.size(), n);
            if (ec != std::errc() || n > static_cast<unsigned long long>(kUInt32Max)) {
                Fail("the ordinal '" + t->text + "' is too large");
            }
            return static_cast<Int64>(n);
        }
        return std::nullopt;
    }

    // before / on or before / on or after / after, as the relation number.
    std::optional<int> AcceptRelation() {
        if (AcceptWord("before")) {
            return 0;
        }
        if (AcceptWord("after")) {
            return 3;
        }
        if (PeekWord("on") && PeekWord("or", 1)) {
            m_pos += 2;
            if (AcceptWord("before")) {
                return 1;
            }
            ExpectWord("after");
            return 2;
        }
        return std::nullopt;
    }

private:
    const std::string& m_file;
    const std::vector<Token>& m_tokens;
    size_t m_pos = 0;
    int m_lastLine;
};

// ---- Rules and conditions ----------------------------------------------------------------------

void ParseConditionWith(Cursor& c, ShiftCondition& cond) {
    do {
        const Token* key = c.Peek();
        if (!key || key->type != TokenType::Word) {
            c.Expected("a condition field name");
        }
        const std::string field = Lower(c.Next().text);
        if (!c.AcceptSymbol('=')) {
            c.Expected("'=' after the field '" + key->text + "'");
        }
        if (field == "test") {
            cond.test = static_cast<int32_t>(c.Integer("test", kInt32Min, kInt32Max));
        } else if (field == "testweekday") {
            cond.testWeekday = static_cast<int32_t>(c.Integer("testWeekday", kInt32Min, kInt32Max));
        } else if (field == "testname") {
            cond.testName = c.Name("a name for testName");
        } else if (field == "action") {
            cond.action = static_cast<int32_t>(c.Integer("action", kInt32Min, kInt32Max));
        } else if (field == "count") {
            cond.count = static_cast<uint32_t>(c.Integer("count", 0, kUInt32Max));
        } else if (field == "weekday") {
            cond.weekday = static_cast<uint32_t>(c.Integer("weekday", 0, kUInt32Max));
        } else if (field == "relation") {
            cond.relation = static_cast<uint32_t>(c.Integer("relation", 0, kUInt32Max));
        } else if (field == "targetname") {
            cond.targetName = c.Name("a name for targetName");
        } else {
            c.Fail("unknown condition field '" + key->text +
                   "' (test, testWeekday, testName, action, count, weekday, relation, targetName)");
        }
    } while (!c.AtEnd() && !c.PeekSymbol(';'));
}

// "if TEST then ACTION [with ...]", after the "if".
ShiftCondition ParseCondition(Cursor& c) {
    ShiftCondition cond;
    if (c.AcceptWord("on")) {
        cond.test = kTestNamedDate;
        cond.testName = c.Name("a holiday name after 'if on'");
    } else if (c.PeekWeekday()) {
        cond.testWeekday = c.Weekday();
    } else {
        c.Expected("a weekday or 'on NAME' after 'if'");
    }
    c.ExpectWord("then");
    if (c.AcceptWord("drop")) {
        cond.action = kActionDrop;
    } else if (c.AcceptWord("nearest")) {
        cond.action = kActionNearestNamed;
        cond.targetName = c.Name("a holiday name after 'nearest'");
    } else if (c.PeekWord("next") || c.PeekWord("previous")) {
        cond.relation = c.AcceptWord("next") ? kStrictlyAfter : kStrictlyBefore;
        if (cond.relation == kStrictlyBefore) {
            c.Next();
        }
        cond.weekday = static_cast<uint32_t>(c.Weekday());
    } else {
        const std::optional<Int64> ordinal = c.PeekOrdinal();
        if (ordinal) {
            if (*ordinal < 1) {
                c.Fail("a shift counts weeks from the date: use 1st, 2nd, ... not 'last' or 0th");
            }
            c.Next();
            cond.count = static_cast<uint32_t>(*ordinal);
        }
        if (!c.PeekWeekday()) {
            c.Expected("'next', 'previous', a weekday, 'nearest' or 'drop' after 'then'");
        }
        cond.weekday = static_cast<uint32_t>(c.Weekday());
        const std::optional<int> relation = c.AcceptRelation();
        if (!relation) {
            c.Expected("'before', 'on or before', 'on or after' or 'after'");
        }
        cond.relation = static_cast<uint32_t>(*relation);
    }
    if (c.AcceptWord("with")) {
        ParseConditionWith(c, cond);
    }
    return cond;
}

void ParseRuleWith(Cursor& c, DateRule& rule) {
    do {
        const Token* key = c.Peek();
        if (!key || key->type != TokenType::Word) {
            c.Expected("a rule field name");
        }
        const std::string field = Lower(c.Next().text);
        if (!c.AcceptSymbol('=')) {
            c.Expected("'=' after the field '" + key->text + "'");
        }
        struct IntField {
            const char* name;
            int32_t DateRule::*member;
        };
        static constexpr std::array<IntField, 14> kIntFields = {{
            {"firstyear", &DateRule::firstYear},
            {"lastyear", &DateRule::lastYear},
            {"interval", &DateRule::interval},
            {"kind", &DateRule::kind},
            {"day", &DateRule::day},
            {"month", &DateRule::month},
            {"ordinal", &DateRule::ordinal},
            {"unused", &DateRule::unused},
            {"weekdaymonth", &DateRule::monthOfWeekday},
            {"mode", &DateRule::relativeMode},
            {"weekday", &DateRule::weekday},
            {"direction", &DateRule::direction},
            {"count", &DateRule::count},
            {"nearweekday", &DateRule::nearWeekday},
        }};
        bool known = false;
        for (const IntField& f : kIntFields) {
            if (field == f.name) {
                rule.*f.member = static_cast<int32_t>(c.Integer(key->text, kInt32Min, kInt32Max));
                known = true;
            }
        }
        if (field == "relation") {
            rule.relation = static_cast<int32_t>(c.Integer("relation", kInt32Min, kInt32Max));
        } else if (field == "offsetname") {
            rule.offsetName = c.Name("a name for offsetName");
        } else if (field == "weekdayname") {
            rule.weekdayName = c.Name("a name for weekdayName");
        } else if (!known) {
            c.Fail("unknown rule field '" + key->text +
                   "' (firstYear, lastYear, interval, kind, day, month, ordinal, unused, "
                   "weekdayMonth, mode, weekday, direction, offsetName, count, nearWeekday, "
                   "relation, weekdayName)");
        }
    } while (!c.AtEnd() && !c.PeekSymbol(';'));
}

// The date part of a rule: the readable forms, or "kind N".
void ParseDate(Cursor& c, DateRule& rule) {
    const Token* first = c.Peek();
    if (!first) {
        c.Expected("a date");
    }
    if (c.AcceptWord("kind")) {
        rule.kind = static_cast<int32_t>(c.Integer("the kind", kInt32Min, kInt32Max));
        return;
    }
    const std::optional<Int64> ordinal = c.PeekOrdinal();
    if (ordinal || c.PeekWeekday()) {
        if (ordinal) {
            c.Next();
        }
        const int weekday = c.Weekday();
        if (c.AcceptWord("of") || c.AcceptWord("in")) {
            if (ordinal && (*ordinal == 0 || *ordinal > 5)) {
                c.Fail("a weekday in a month takes 1st .. 5th or last");
            }
            rule.kind = kRuleWeekdayInMonth;
            rule.ordinal = ordinal ? (*ordinal < 0 ? 5 : static_cast<int32_t>(*ordinal - 1)) : 0;
            rule.weekday = weekday;
            rule.monthOfWeekday = c.Month();
            return;
        }
        const std::optional<int> relation = c.AcceptRelation();
        if (!relation) {
            c.Expected("'of MONTH', 'before', 'on or before', 'on or after' or 'after'");
        }
        if (ordinal && (*ordinal < 1 || *ordinal > kInt32Max)) {
            c.Fail("a weekday near a date counts 1st, 2nd, ... (not 'last' or 0th)");
        }
        rule.kind = kRuleRelative;
        rule.relativeMode = kRelativeWeekday;
        rule.count = ordinal ? static_cast<int32_t>(*ordinal) : 1;
        rule.nearWeekday = weekday;
        rule.relation = *relation;
        rule.weekdayName = c.Name("a holiday name after the relation");
        return;
    }
    if (first->type == TokenType::Number) {
        const Int64 n = c.Integer("a number", 0, kInt32Max);
        if (c.AcceptWord("day") || c.AcceptWord("days")) {
            rule.kind = kRuleRelative;
            rule.relativeMode = kRelativeDays;
            rule.count = static_cast<int32_t>(n);
            if (c.AcceptWord("before")) {
                rule.direction = 0;
            } else if (c.AcceptWord("after")) {
                rule.direction = 1;
            } else {
                c.Expected("'before' or 'after'");
            }
            rule.offsetName = c.Name("a holiday name");
            return;
        }
        const int month = c.Month();
        if (n < 1 || n > DaysInMonth(month)) {
            const std::string name = kMonthNames[static_cast<size_t>(month - 1)];
            c.Fail(std::to_string(n) + " " + name + " is not a date (" + name + " has days 1 to " +
                   std::to_string(DaysInMonth(month)) + ")");
        }
        rule.kind = kRuleFixedDate;
        rule.day = static_cast<int32_t>(n);
        rule.month = month;
        return;
    }
    // NAME + N days, NAME - N days
    rule.offsetName = c.Name("a date (e.g. '1 January', '4th Thursday of November', "
                             "'EASTER_REF + 1 day', 'Monday after NAME')");
    if (c.AcceptSymbol('+')) {
        rule.direction = 1;
    } else if (c.AcceptSymbol('-')) {
        rule.direction = 0;
    } else {
        c.Expected("'+' or '-' after the name");
    }
    rule.kind = kRuleRelative;
    rule.relativeMode = kRelativeDays;
    rule.count = static_cast<int32_t>(c.Integer("a number of days", 0, kInt32Max));
    if (!c.AcceptWord("day") && !c.AcceptWord("days")) {
        c.Expected("'days'");
    }
}

Int64 Year(Cursor& c) {
    return c.Integer("a year", kInt32Min, kInt32Max);
}

DateRule ParseRule(Cursor& c) {
    DateRule rule;
    ParseDate(c, rule);
    bool yearsGiven = false;
    bool intervalGiven = false;
    while (!c.AtEnd()) {
        if (!c.AcceptSymbol(';')) {
            c.Expected("';' before the next clause");
        }
        const auto years = [&] {
            if (yearsGiven) {
                c.Fail("the rule's years are given twice");
            }
            yearsGiven = true;
        };
        if (c.AcceptWord("from")) {
            years();
            rule.firstYear = static_cast<int32_t>(Year(c));
            if (c.AcceptWord("to") || c.AcceptWord("until")) {
                rule.lastYear = static_cast<int32_t>(Year(c));
            }
        } else if (c.AcceptWord("until") || c.AcceptWord("to")) {
            years();
            rule.lastYear = static_cast<int32_t>(Year(c));
        } else if (c.AcceptWord("in")) {
            years();
            rule.firstYear = rule.lastYear = static_cast<int32_t>(Year(c));
        } else if (c.AcceptWord("every")) {
            if (intervalGiven) {
                c.Fail("the rule's interval is given twice");
            }
            intervalGiven = true;
            rule.interval = static_cast<int32_t>(c.Integer("a number of years", 1, kInt32Max));
            if (!c.AcceptWord("years") && !c.AcceptWord("year")) {
                c.Expected("'years'");
            }
        } else if (c.AcceptWord("if")) {
            rule.conditions.push_back(ParseCondition(c));
        } else if (c.AcceptWord("with")) {
            if (rule.firstYear > rule.lastYear) {
                c.Fail("the rule's first year " + std::to_string(rule.firstYear) +
                       " is after its last year " + std::to_string(rule.lastYear));
            }
            ParseRuleWith(c, rule);
            if (!c.AtEnd()) {
                c.Expected("the end of the line after the 'with' clause");
            }
            return rule;
        } else {
            c.Expected("'from', 'until', 'in', 'every', 'if' or 'with'");
        }
    }
    if (rule.firstYear > rule.lastYear) {
        c.Fail("the rule's first year " + std::to_string(rule.firstYear) +
               " is after its last year " + std::to_string(rule.lastYear));
    }
    return rule;
}

// ---- Statements -------------------------------------------------------------------------------

struct Statement {
    std::vector<Token> tokens;
    int line; // of its first line
};

// Splits the source into statements: lines with tokens, a line starting with ';' joining the one
// before it.
std::vector<Statement> SplitStatements(std::string_view source, const std::string& file) {
    if (source.substr(0, 3) == "\xEF\xBB\xBF") {
        source.remove_prefix(3);
    }
    std::vector<Statement> statements;
    int line = 0;
    size_t start = 0;
    while (start <= source.size()) {
        size_t end = source.find('\n', start);
        if (end == std::string_view::npos) {
            end = source.size();
        }
        ++line;
        const std::string_view text = source.substr(start, end - start);
        if (!IsValidUtf8(text)) {
            throw HolidaySourceError(file, line, "the line is not valid UTF-8");
        }
        std::vector<Token> tokens;
        Tokenizer(file, line).Run(text, tokens);
        if (!tokens.empty()) {
            const bool continues = tokens[0].type == TokenType::Symbol && tokens[0].text == ";";
            if (continues) {
                if (statements.empty()) {
                    throw HolidaySourceError(file, line, "a ';' line continues no rule");
                }
                auto& previous = statements.back().tokens;
                previous.insert(previous.end(), tokens.begin(), tokens.end());
            } else {
                statements.push_back({std::move(tokens), line});
            }
        }
        start = end + 1;
    }
    return statements;
}

class ModuleParser {
public:
    ModuleParser(const std::string& file, int lastLine) : m_file(file), m_lastLine(lastLine) {}

    void Add(const std::vector<Token>& tokens) {
        Cursor c(m_file, tokens, m_lastLine);
        if (c.AcceptWord("language")) {
            if (!m_holidays.empty()) {
                c.Fail("the 'language' line must come before the first holiday");
            }
            if (m_language) {
                c.Fail("the module's language is given twice");
            }
            m_language = static_cast<uint32_t>(c.Integer("the language", kInt32Min, kUInt32Max));
        } else if (c.AcceptWord("value")) {
            if (!m_holidays.empty()) {
                c.Fail("the 'value' line must come before the first holiday");
            }
            if (m_valueGiven) {
                c.Fail("the module value is given twice");
            }
            m_valueGiven = true;
            m_value = static_cast<int32_t>(c.Integer("the module value", kInt32Min, kUInt32Max));
        } else if (c.PeekWord("holiday") || c.PeekWord("reference")) {
            if (!m_language) {
                c.Fail("expected a 'language' line before the first holiday");
            }
            Header(c);
            return;
        } else {
            if (m_holidays.empty()) {
                c.Fail("a rule before the first 'holiday' line (found " + c.Describe() + ")");
            }
            m_holidays.back().rules.push_back(ParseRule(c));
        }
        if (!c.AtEnd()) {
            c.Expected("the end of the line");
        }
    }

    CHolidays Finish() {
        if (!m_language) {
            throw HolidaySourceError(m_file, m_lastLine, "expected a 'language' line");
        }
        CHolidays module;
        module.SetLanguage(*m_language);
        module.SetModuleValue(m_value);
        module.SetHolidays(std::move(m_holidays));
        return module;
    }

private:
    void Header(Cursor& c) {
        HolidayDefinition holiday;
        holiday.referenceOnly = c.AcceptWord("reference") ? 1 : 0;
        if (holiday.referenceOnly == 0) {
            c.ExpectWord("holiday");
        }
        holiday.name = c.Name("the holiday's name");
        if (c.Peek() && c.Peek()->type == TokenType::String) {
            holiday.displayText = c.Next().text;
        }
        if (c.AcceptWord("with")) {
            do {
                const Token* key = c.Peek();
                if (!key || key->type != TokenType::Word || Lower(key->text) != "reference") {
                    c.Expected("the holiday field 'reference'");
                }
                c.Next();
                if (!c.AcceptSymbol('=')) {
                    c.Expected("'=' after 'reference'");
                }
                holiday.referenceOnly =
                    static_cast<int32_t>(c.Integer("reference", kInt32Min, kInt32Max));
            } while (c.PeekWord("reference"));
        }
        if (c.AcceptSymbol('=')) {
            holiday.rules.push_back(ParseRule(c));
        } else if (!c.AtEnd()) {
            c.Expected("the display text in quotes, 'with' or '= RULE'");
        }
        m_holidays.push_back(std::move(holiday));
    }

    const std::string& m_file;
    int m_lastLine;
    std::optional<uint32_t> m_language;
    int32_t m_value = 0;
    bool m_valueGiven = false;
    std::vector<HolidayDefinition> m_holidays;
};

} // namespace

// Parses one rule or condition written by the decompiler, to see which fields its readable form
// leaves to a "with" clause.
DateRule holiday_source::ParseRuleText(const std::string& text) {
    std::vector<Token> tokens;
    const std::string file = "(rule)";
    Tokenizer(file, 1).Run(text, tokens);
    Cursor c(file, tokens, 1);
    return ParseRule(c);
}

CHolidays CompileHolidaySource(std::string_view source, const std::string& fileName) {
    const std::vector<Statement> statements = SplitStatements(source, fileName);
    const int lastLine = statements.empty() ? 1 : statements.back().tokens.back().line;
    ModuleParser parser(fileName, lastLine);
    for (const Statement& statement : statements) {
        parser.Add(statement.tokens);
    }
    return parser.Finish();
}

CHolidays CompileHolidaySourceFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw CFileException::FromErrno(path, "cannot open for reading", errno);
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        throw CFileException::FromErrno(path, "cannot read", errno);
    }
    return CompileHolidaySource(text.str(), path.string());
}

} // namespace dv
