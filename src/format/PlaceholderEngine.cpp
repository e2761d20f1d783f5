#include "format/PlaceholderEngine.h"

#include "core/CDateTimeSpan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>

namespace dv {

namespace {

// ---- Words of a token --------------------------------------------------------------------------

constexpr int kMaxWords = 7;

// The words of one token after the affixes are taken off. Reading past the last word gives an
// empty word, which matches no keyword.
class WordList {
public:
    // Cuts at the first "_" until six words are cut off; the rest, underscores and all, is the
    // seventh word.
    explicit WordList(std::string_view body) {
        while (m_count < kMaxWords - 1) {
            const std::size_t cut = body.find('_');
            if (cut == std::string_view::npos) {
                break;
            }
            m_words[m_count++] = body.substr(0, cut);
            body.remove_prefix(cut + 1);
        }
        m_words[m_count++] = body;
        m_end = m_count;
    }

    int Size() const { return m_end - m_begin; }
    std::string_view operator[](int index) const {
        return index >= 0 && index < Size() ? m_words[m_begin + index] : std::string_view();
    }
    std::string_view Front() const { return (*this)[0]; }
    std::string_view Back() const { return (*this)[Size() - 1]; }
    void DropFront() { ++m_begin; }
    void DropBack() { --m_end; }

private:
    std::array<std::string_view, kMaxWords> m_words;
    int m_count = 0;
    int m_begin = 0;
    int m_end = 0;
};

// ---- Calendar arithmetic for the year and month spans -----------------------------------------

// Month length for any year, 28..31 (CDateTime's own helper refuses negative years).
int MonthLength(int64_t year, int month) {
    static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2) {
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        return leap ? 29 : 28;
    }
    return kLengths[month - 1];
}

// Day number (1 January 0001 = 1) of a proleptic Gregorian date in any year, by Howard Hinnant's
// days-from-civil algorithm in 400-year eras.
int64_t DayNumberOf(int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400; // 0..399
    const int64_t dayOfYear =
        (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1; // 0..365
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 305; // day 0 of an era is 1 March; 1 March 0000 is day -305
}

// That date with `day` limited to the month's length, at `secondsOfDay`; saturated to the range
// of day numbers that a CDateTime holds.
CDateTime MakeClamped(int64_t year, int month, int day, int32_t secondsOfDay) {
    const int limitedDay = std::min(day, MonthLength(year, month));
    const int64_t dayNumber = std::clamp<int64_t>(DayNumberOf(year, month, limitedDay),
                                                  std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max());
    return CDateTime::FromDayNumber(static_cast<int32_t>(dayNumber), secondsOfDay);
}

// Floor division by 12 with a non-negative remainder, for month indexes before year 0.
std::pair<int64_t, int> SplitMonthIndex(int64_t monthIndex) {
    int64_t year = monthIndex / 12;
    int64_t month = monthIndex % 12;
    if (month < 0) {
        month += 12;
        --year;
    }
    return {year, static_cast<int>(month) + 1};
}

// ---- One expansion -----------------------------------------------------------------------------

constexpr std::string_view kDateFormatDirective = "$DATEFORMAT";
constexpr std::string_view kTimeFormatDirective = "$TIMEFORMAT";
constexpr std::string_view kDateTimeFormatDirective = "$DATETIMEFORMAT";
constexpr std::string_view kDescriptionToken = "$DESCRIPTION$";
constexpr std::string_view kNotesToken = "$NOTES$";

enum class Field { Description = 0, Notes = 1 };

// The state of one expansion; every expansion, nested ones too, starts a fresh one. The formats
// point into the settings or into the format string, both of which outlive the expansion.
struct ExpansionState {
    std::string_view dateFormat;
    std::string_view timeFormat;
    std::string_view dateTimeFormat;
    CDateTime d1;
    CDateTime e1;
    bool v1 = false;
    CDateTime d2;
    CDateTime e2;
    bool v2 = false;
};

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// One top-level expansion with its nested ones. Nested results are remembered per text and depth:
// a nested expansion depends on nothing but the record, so a format that names the description
// many times expands it once per depth.
class Expansion {
public:
    Expansion(IPlaceholderRecord& record, const FormatSettings& settings)
        : m_record(record), m_settings(settings),
          m_lineBreak(record.IsEvent() ? std::string_view("\r\n") : std::string_view("\n")) {}

    // Expands `format` at nesting depth `depth`; nullopt once the text grows beyond `limit`.
    std::optional<std::string> Run(std::string_view format, int depth, std::size_t limit);

private:
    // These append what a token produces to `out` and return true, or return false and leave
    // `out` as it was when the token is not recognised. Appending in place keeps the hot path of
    // the calendar cells free of temporary strings.
    bool Token(std::string_view token, ExpansionState& state, int depth, std::string& out);
    bool Value(const WordList& words, ExpansionState& state, int depth, std::string& out);
    bool DateValue(const WordList& words, ExpansionState& state, std::string& out);
    bool SingleDateValue(std::string_view type, const WordList& words, int next,
                         ExpansionState& state, std::string& out);
    bool RangeValue(std::string_view type, const ExpansionState& state, std::string& out) const;
    bool SpanValue(const WordList& words, ExpansionState& state, std::string& out) const;
    const std::string& Nested(Field field, int depth);

    IPlaceholderRecord& m_record;
    const FormatSettings& m_settings;
    std::string_view m_lineBreak;
    std::array<std::array<std::optional<std::string>, kMaxNestingDepth + 1>, 2> m_nested;
};

std::optional<std::string> Expansion::Run(std::string_view format, int depth, std::size_t limit) {
    if (format.find('$') == std::string_view::npos) {
        return std::string(format);
    }
    ExpansionState state;
    state.dateFormat = m_settings.DateFormat;
    state.timeFormat = m_settings.TimeFormat;
    state.dateTimeFormat = m_settings.DateTimeFormat;

    std::string out;
    out.reserve(format.size() + 32);
    std::size_t rest = 0; // the unscanned text starts here
    for (;;) {
        const std::size_t open = format.find('$', rest);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = format.find('$', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        out.append(format.substr(rest, open - rest));
        if (Token(format.substr(open, close - open + 1), state, depth, out)) {
            rest = close + 1;
        } else {
            // Not a placeholder: its text goes out as it is, and its closing "$" may open the
            // next token, so "costs $5 or $6" passes through unchanged.
            out.append(format.substr(open, close - open));
            rest = close;
        }
        if (out.size() > limit) {
            return std::nullopt;
        }
    }
    out.append(format.substr(rest));
    if (out.size() > limit) {
        return std::nullopt;
    }
    return out;
}

// Appends the text a token produces (affixes included); false when it is not recognised.
bool Expansion::Token(std::string_view token, ExpansionState& state, int depth, std::string& out) {
    // Directives take the rest of the token, without its closing "$", as the new format.
    if (token.starts_with(kDateFormatDirective)) {
        state.dateFormat = token.substr(kDateFormatDirective.size(),
                                        token.size() - kDateFormatDirective.size() - 1);
        return true;
    }
    if (token.starts_with(kTimeFormatDirective)) {
        state.timeFormat = token.substr(kTimeFormatDirective.size(),
                                        token.size() - kTimeFormatDirective.size() - 1);
        return true;
    }
    if (token.starts_with(kDateTimeFormatDirective)) {
        state.dateTimeFormat = token.substr(kDateTimeFormatDirective.size(),
                                            token.size() - kDateTimeFormatDirective.size() - 1);
        return true;
    }

    WordList words(token.substr(1, token.size() - 2));
    std::string_view prefix;
    std::string_view suffix;
    if (words.Front() == "R" || words.Front() == "S") {
        prefix = words.Front() == "R" ? m_lineBreak : std::string_view(" ");
        words.DropFront();
    }
    if (words.Size() > 0 && (words.Back() == "R" || words.Back() == "S")) {
        suffix = words.Back() == "R" ? m_lineBreak : std::string_view(" ");
        words.DropBack();
    }

    const std::size_t mark = out.size();
    out.append(prefix);
    const std::size_t valueStart = out.size();
    if (!Value(words, state, depth, out)) {
        out.resize(mark);
        return false;
    }
    // An empty value takes its affixes with it.
    if (out.size() == valueStart) {
        out.resize(mark);
        return true;
    }
    out.append(suffix);
    return true;
}

bool Expansion::Value(const WordList& words, ExpansionState& state, int depth, std::string& out) {
    const std::string_view field = words.Front();
    if (field == "SPAN") {
        return SpanValue(words, state, out);
    }
    if (field == "DESCRIPTION") {
        out += Nested(Field::Description, depth);
        return true;
    }
    if (field == "NOTES") {
        out += Nested(Field::Notes, depth);
        return true;
    }
    if (std::optional<std::string> value = m_record.FieldValue(field)) {
        out += *value;
        return true;
    }
    return DateValue(words, state, out);
}

// The description or the notes, expanded by an independent expansion unless the text names
// itself (directly or through the other text) with the exact token, or the nesting is too deep.
const std::string& Expansion::Nested(Field field, int depth) {
    const std::string& description = m_record.GetDescription();
    const std::string& notes = m_record.GetNotes();
    const std::string& text = field == Field::Description ? description : notes;
    // A text without placeholders expands to itself; most descriptions have none.
    if (text.find('$') == std::string::npos) {
        return text;
    }
    const bool crossReference =
        Contains(description, kNotesToken) && Contains(notes, kDescriptionToken);
    const bool selfReference = field == Field::Description
                                   ? Contains(description, kDescriptionToken)
                                   : Contains(notes, kNotesToken);
    const int nestedDepth = depth + 1;
    if (selfReference || crossReference || nestedDepth > kMaxNestingDepth) {
        return text;
    }
    std::optional<std::string>& memo =
        m_nested[static_cast<std::size_t>(field)][static_cast<std::size_t>(nestedDepth)];
    if (!memo) {
        std::optional<std::string> expanded = Run(text, nestedDepth, kMaxNestedLength);
        memo = expanded ? std::move(*expanded) : text;
    }
    return *memo;
}

// A date placeholder: selector, then for events START or END and STARTTOEND, then the type.
bool Expansion::DateValue(const WordList& words, ExpansionState& state, std::string& out) {
    const std::optional<DatePick> pick = m_record.PickDate(words[0]);
    if (!pick) {
        return false;
    }
    state.d1 = pick->start;
    state.e1 = pick->end;
    state.v1 = pick->valid;
    state.v2 = false;

    int next = 1;
    bool range = false;
    if (m_record.IsEvent()) {
        if (words[next] == "START") {
            ++next;
        } else if (words[next] == "END") {
            state.d1 = state.e1;
            ++next;
        }
        if (words[next] == "STARTTOEND") {
            range = true;
            ++next;
        }
    }
    const std::string_view type = words[next];
    return range ? RangeValue(type, state, out)
                 : SingleDateValue(type, words, next + 1, state, out);
}

bool Expansion::SingleDateValue(std::string_view type, const WordList& words, int next,
                                ExpansionState& state, std::string& out) {
    const bool timeShown = m_record.IsTimeOfDayShown();
    const auto shown = [&state, &out](std::string_view format) {
        out += state.v1 ? state.d1.Format(format) : std::string("-");
        return true;
    };
    if (type == "DATE") {
        return shown(state.dateFormat);
    }
    if (type == "TIME") {
        return shown(state.timeFormat);
    }
    if (type == "DATETIME") {
        return shown(state.dateTimeFormat);
    }
    if (type == "AUTO") {
        return shown(timeShown ? state.dateTimeFormat : state.dateFormat);
    }
    if (type == "AUTOTIME") {
        if (!state.v1) {
            out += '-';
        } else if (timeShown) {
            out += state.d1.Format(state.timeFormat);
        }
        return true;
    }
    if (type == "COUNT" && m_record.IsEvent()) {
        // Counted from D1 as it stands, valid or not.
        out += std::to_string(m_record.CountOccurrences(state.d1));
        return true;
    }
    if (type == "TO") {
        const std::optional<DatePick> second = m_record.PickDate(words[next]);
        if (!second) {
            return false;
        }
        state.d2 = second->start;
        state.e2 = second->end;
        state.v2 = second->valid;
        if (m_record.IsEvent() && state.v2 && words[next + 1] == "END") {
            state.d2 = state.e2;
        }
        return true;
    }
    return false;
}

// "D1 - E1" forms of the STARTTOEND types (events only).
bool Expansion::RangeValue(std::string_view type, const ExpansionState& state,
                           std::string& out) const {
    if (!state.v1) {
        out += '-';
        return true;
    }
    const auto pair = [&state, &out](std::string_view format) {
        out += state.d1.Format(format);
        out += " - ";
        out += state.e1.Format(format);
        return true;
    };
    if (type == "DATE") {
        return pair(state.dateFormat);
    }
    if (type == "TIME") {
        return pair(state.timeFormat);
    }
    if (type == "DATETIME") {
        return pair(state.dateTimeFormat);
    }
    const bool isAuto = type == "AUTO";
    if (!isAuto && type != "AUTOTIME") {
        return false;
    }
    const bool timeShown = m_record.IsTimeOfDayShown();
    const bool sameDate = state.d1.GetDayNumber() == state.e1.GetDayNumber();
    const bool differentTime = state.d1.GetSecondsOfDay() != state.e1.GetSecondsOfDay();
    if (isAuto) {
        out += state.d1.Format(timeShown ? state.dateTimeFormat : state.dateFormat);
    } else if (timeShown) {
        out += state.d1.Format(state.timeFormat);
    }
    if (sameDate) {
        if (timeShown && differentTime) {
            out += " - ";
            out += state.e1.Format(state.timeFormat);
        }
    } else if (isAuto) {
        out += " - ";
        out += state.e1.Format(timeShown ? state.dateTimeFormat : state.dateFormat);
    } else if (timeShown) {
        out += " - ";
        out += state.e1.Format(state.timeFormat);
    }
    return true;
}

// ---- Spans -------------------------------------------------------------------------------------

enum class SpanUnit { None, Years, Months, Weeks, Days, Hours, Minutes, Seconds };

SpanUnit UnitOf(std::string_view word) {
    if (word == "YEARS") {
        return SpanUnit::Years;
    }
    if (word == "MONTH") {
        return SpanUnit::Months;
    }
    if (word == "WEEKS") {
        return SpanUnit::Weeks;
    }
    if (word == "DAYS") {
        return SpanUnit::Days;
    }
    if (word == "HOURS") {
        return SpanUnit::Hours;
    }
    if (word == "MINUTES") {
        return SpanUnit::Minutes;
    }
    if (word == "SECONDS") {
        return SpanUnit::Seconds;
    }
    return SpanUnit::None;
}

// Whole units between D1 and D2 (D1 not later than D2 when the span was ordered); D2 is moved back
// by what was counted, so the next unit measures the remainder. `span` is the working span in
// seconds, reduced by the units that count in seconds.
int64_t CountUnits(SpanUnit unit, const CDateTime& d1, CDateTime& d2, int64_t& span) {
    const int64_t y1 = d1.GetYear();
    const int64_t y2 = d2.GetYear();
    switch (unit) {
    case SpanUnit::Years: {
        int64_t n = y2 - y1;
        const CDateTime anniversary =
            MakeClamped(y2, d1.GetMonth(), d1.GetDay(), d1.GetSecondsOfDay());
        if (d2 < anniversary) {
            --n;
        }
        d2 = MakeClamped(y2 - n, d2.GetMonth(), d1.GetDay(), d2.GetSecondsOfDay());
        return n;
    }
    case SpanUnit::Months: {
        int64_t n = 12 * (y2 - y1) + d2.GetMonth() - d1.GetMonth();
        const CDateTime monthDay =
            MakeClamped(y2, d2.GetMonth(), d1.GetDay(), d1.GetSecondsOfDay());
        if (d2 < monthDay) {
            --n;
        }
        const auto [year, month] = SplitMonthIndex(y2 * 12 + d2.GetMonth() - 1 - n);
        d2 = MakeClamped(year, month, d1.GetDay(), d2.GetSecondsOfDay());
        return n;
    }
    case SpanUnit::Weeks:
    case SpanUnit::Days:
    case SpanUnit::Hours:
    case SpanUnit::Minutes:
    case SpanUnit::Seconds: {
        int64_t unitSeconds = 1;
        switch (unit) {
        case SpanUnit::Weeks:
            unitSeconds = 7 * 86400;
            break;
        case SpanUnit::Days:
            unitSeconds = 86400;
            break;
        case SpanUnit::Hours:
            unitSeconds = 3600;
            break;
        case SpanUnit::Minutes:
            unitSeconds = 60;
            break;
        default:
            break;
        }
        // Weeks are whole days divided by seven; with a whole-second unit that is the same.
        const int64_t n = span / unitSeconds;
        span = n * unitSeconds;
        d2 -= CDateTimeSpan(span);
        return n;
    }
    case SpanUnit::None:
        break;
    }
    return 0;
}

bool Expansion::SpanValue(const WordList& words, ExpansionState& state, std::string& out) const {
    bool negative = false;
    if (state.v1 && state.v2 && state.d1 > state.d2) {
        // The exchange stays: a following span token measures the ordered pair.
        std::swap(state.d1, state.d2);
        negative = true;
    }
    int64_t span = (state.d2 - state.d1).GetTotalSeconds();

    // Positive prefix, negative prefix, positive suffix, negative suffix.
    std::array<std::string_view, 4> slots = {"", "-", "", ""};
    std::size_t slot = 0;
    bool sawUnit = false;
    std::string value;
    for (int index = 1; index < words.Size(); ++index) {
        const std::string_view word = words[index];
        const SpanUnit unit = UnitOf(word);
        if (unit != SpanUnit::None) {
            slot = 2;
            sawUnit = true;
            value = state.v1 && state.v2
                        ? std::to_string(CountUnits(unit, state.d1, state.d2, span))
                        : std::string("-");
        } else if (sawUnit ? (slot == 2 || slot == 3) : slot < 2) {
            slots[slot++] = word;
        }
    }
    if (!sawUnit) {
        return false;
    }
    out += negative ? slots[1] : slots[0];
    out += value;
    out += negative ? slots[3] : slots[2];
    return true;
}

} // namespace

std::string ExpandPlaceholders(std::string_view format, IPlaceholderRecord& record,
                               const FormatSettings& settings) {
    Expansion expansion(record, settings);
    // The top level has no length limit: its size is that of the format and its values.
    return *expansion.Run(format, 0, std::numeric_limits<std::size_t>::max());
}

} // namespace dv
