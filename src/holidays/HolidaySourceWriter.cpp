#include "holidays/HolidaySource.h"
#include "holidays/HolidaySourceSyntax.h"

#include <sstream>

namespace dv {

namespace {

using namespace holiday_source;
using Int64 = long long;

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            std::ostringstream hex;
            hex << std::hex << std::uppercase << static_cast<int>(c);
            out += "\\u{" + hex.str() + "}";
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // C1 control characters (where Windows-1252's undefined bytes land) stay visible.
            std::ostringstream hex;
            hex << std::hex << std::uppercase
                << static_cast<int>(static_cast<unsigned char>(text[++i]));
            out += "\\u{" + hex.str() + "}";
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string NameText(std::string_view name) {
    bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9') && !IsReserved(name);
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        plain = plain && c < 0x80 && IsWordByte(c);
    }
    return plain ? std::string(name) : Quote(name);
}

bool IsWeekday(Int64 value) {
    return value >= 0 && value <= 6;
}
std::string WeekdayText(Int64 value) {
    return kWeekdayNames[static_cast<size_t>(IsWeekday(value) ? value : 0)];
}

std::string ConditionReadable(const ShiftCondition& cond) {
    std::string text = "if ";
    text += cond.test == kTestNamedDate ? "on " + NameText(cond.testName)
                                        : WeekdayText(cond.testWeekday);
    text += " then ";
    if (cond.action == kActionNearestNamed) {
        text += "nearest " + NameText(cond.targetName);
    } else if (cond.action == kActionMoveToWeekday && cond.relation <= 3 && cond.count >= 1) {
        const std::string weekday = WeekdayText(cond.weekday);
        if (cond.count == 1 && cond.relation == kStrictlyAfter) {
            text += "next " + weekday;
        } else if (cond.count == 1 && cond.relation == kStrictlyBefore) {
            text += "previous " + weekday;
        } else {
            text += (cond.count == 1 ? "" : OrdinalText(cond.count) + " ") + weekday + " " +
                    kRelationWords[cond.relation];
        }
    } else {
        text += "drop";
    }
    return text;
}

std::string DateReadable(const DateRule& rule) {
    if (rule.kind == kRuleFixedDate) {
        const bool valid = rule.month >= 1 && rule.month <= 12 && rule.day >= 1 &&
                           rule.day <= DaysInMonth(rule.month);
        return valid ? std::to_string(rule.day) + " " +
                           kMonthNames[static_cast<size_t>(rule.month - 1)]
                     : "1 January";
    }
    if (rule.kind == kRuleWeekdayInMonth) {
        const int32_t ordinal = rule.ordinal >= 0 && rule.ordinal <= 5 ? rule.ordinal : 0;
        const int32_t month =
            rule.monthOfWeekday >= 1 && rule.monthOfWeekday <= 12 ? rule.monthOfWeekday : 1;
        return (ordinal == 5 ? std::string("last")
                             : OrdinalText(static_cast<uint64_t>(ordinal) + 1)) +
               " " + WeekdayText(rule.weekday) + " of " +
               kMonthNames[static_cast<size_t>(month - 1)];
    }
    if (rule.kind == kRuleRelative && rule.relativeMode == kRelativeDays) {
        const int32_t count = rule.count >= 0 ? rule.count : 0;
        return NameText(rule.offsetName) + (rule.direction == 0 ? " - " : " + ") +
               std::to_string(count) + (count == 1 ? " day" : " days");
    }
    if (rule.kind == kRuleRelative && rule.relativeMode == kRelativeWeekday) {
        const int32_t relation = rule.relation >= 0 && rule.relation <= 3 ? rule.relation : 0;
        return (rule.count > 1 ? OrdinalText(static_cast<uint64_t>(rule.count)) + " " : "") +
               WeekdayText(rule.nearWeekday) + " " + kRelationWords[static_cast<size_t>(relation)] +
               " " + NameText(rule.weekdayName);
    }
    return "kind " + std::to_string(rule.kind);
}

template <class T, class Field>
void AddIntDiff(std::string& with, const char* name, const T& actual, const T& base, Field field) {
    if (actual.*field != base.*field) {
        with += std::string(" ") + name + "=" + std::to_string(actual.*field);
    }
}

template <class T>
void AddNameDiff(std::string& with, const char* name, const std::string& actual,
                 const std::string& base) {
    if (actual != base) {
        with += std::string(" ") + name + "=" + NameText(actual);
    }
}

std::string ConditionText(const ShiftCondition& cond) {
    const std::string readable = ConditionReadable(cond);
    const ShiftCondition base = ParseRuleText("1 January; " + readable).conditions.at(0);
    std::string with;
    AddIntDiff(with, "test", cond, base, &ShiftCondition::test);
    AddIntDiff(with, "testWeekday", cond, base, &ShiftCondition::testWeekday);
    AddNameDiff<ShiftCondition>(with, "testName", cond.testName, base.testName);
    AddIntDiff(with, "action", cond, base, &ShiftCondition::action);
    AddIntDiff(with, "count", cond, base, &ShiftCondition::count);
    AddIntDiff(with, "weekday", cond, base, &ShiftCondition::weekday);
    AddIntDiff(with, "relation", cond, base, &ShiftCondition::relation);
    AddNameDiff<ShiftCondition>(with, "targetName", cond.targetName, base.targetName);
    return with.empty() ? readable : readable + " with" + with;
}

std::string RuleText(const DateRule& rule) {
    std::string text = DateReadable(rule);
    if (rule.firstYear == rule.lastYear) {
        text += "; in " + std::to_string(rule.firstYear);
    } else if (rule.firstYear < rule.lastYear) {
        const bool from = rule.firstYear != DateRule{}.firstYear;
        const bool until = rule.lastYear != DateRule{}.lastYear;
        if (from) {
            text += "; from " + std::to_string(rule.firstYear);
        }
        if (until) {
            text += (from ? " to " : "; until ") + std::to_string(rule.lastYear);
        }
    }
    if (rule.interval > 1) {
        text += "; every " + std::to_string(rule.interval) + " years";
    }
    for (const ShiftCondition& cond : rule.conditions) {
        text += "; " + ConditionText(cond);
    }
    const DateRule base = ParseRuleText(text);
    std::string with;
    AddIntDiff(with, "firstYear", rule, base, &DateRule::firstYear);
    AddIntDiff(with, "lastYear", rule, base, &DateRule::lastYear);
    AddIntDiff(with, "interval", rule, base, &DateRule::interval);
    AddIntDiff(with, "kind", rule, base, &DateRule::kind);
    AddIntDiff(with, "day", rule, base, &DateRule::day);
    AddIntDiff(with, "month", rule, base, &DateRule::month);
    AddIntDiff(with, "ordinal", rule, base, &DateRule::ordinal);
    AddIntDiff(with, "unused", rule, base, &DateRule::unused);
    AddIntDiff(with, "weekdayMonth", rule, base, &DateRule::monthOfWeekday);
    AddIntDiff(with, "mode", rule, base, &DateRule::relativeMode);
    AddIntDiff(with, "weekday", rule, base, &DateRule::weekday);
    AddIntDiff(with, "direction", rule, base, &DateRule::direction);
    AddNameDiff<DateRule>(with, "offsetName", rule.offsetName, base.offsetName);
    AddIntDiff(with, "count", rule, base, &DateRule::count);
    AddIntDiff(with, "nearWeekday", rule, base, &DateRule::nearWeekday);
    AddIntDiff(with, "relation", rule, base, &DateRule::relation);
    AddNameDiff<DateRule>(with, "weekdayName", rule.weekdayName, base.weekdayName);
    return with.empty() ? text : text + "; with" + with;
}

std::string HexLanguage(uint32_t language) {
    std::ostringstream out;
    out << "0x" << std::hex << std::uppercase;
    out.width(4);
    out.fill('0');
    out << language;
    return out.str();
}
} // namespace

std::string DecompileHolidays(const CHolidays& module) {
    std::string out = "language " + HexLanguage(module.GetLanguage()) + "\n";
    if (module.GetModuleValue() != 0) {
        out += "value " + std::to_string(module.GetModuleValue()) + "\n";
    }
    // Holidays of one rule take one line each; a holiday with its rules below the header stands
    // apart by blank lines.
    bool previousWasBlock = true;
    for (const HolidayDefinition& holiday : module.GetHolidays()) {
        const bool block = holiday.rules.size() > 1;
        if (block || previousWasBlock) {
            out += "\n";
        }
        previousWasBlock = block;
        out += holiday.referenceOnly == 1 ? "reference " : "holiday ";
        out += NameText(holiday.name);
        if (!holiday.displayText.empty() || holiday.referenceOnly != 1) {
            out += " " + Quote(holiday.displayText);
        }
        if (holiday.referenceOnly != 0 && holiday.referenceOnly != 1) {
            out += " with reference=" + std::to_string(holiday.referenceOnly);
        }
        if (holiday.rules.size() == 1) {
            out += " = " + RuleText(holiday.rules[0]) + "\n";
            continue;
        }
        out += "\n";
        for (const DateRule& rule : holiday.rules) {
            out += "    " + RuleText(rule) + "\n";
        }
    }
    return out;
}

} // namespace dv
