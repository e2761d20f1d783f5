#include "holidays/CHolidays.h"

#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/CArchiveException.h"
#include "core/LocaleNames.h"

#include <algorithm>
#include <utility>

namespace dv {

namespace {

// ---- Sizes of the smallest possible records, for checking counts before reserving ------------

// name and display text (one length byte each), reference only, rule count.
constexpr size_t kMinHolidayBytes = 1 + 1 + 4 + 4;
// twelve integers, offset name, three integers, weekday name, condition count.
constexpr size_t kMinRuleBytes = 12 * 4 + 1 + 3 * 4 + 1 + 4;
// two integers, test name, four values, target name.
constexpr size_t kMinConditionBytes = 2 * 4 + 1 + 4 * 4 + 1;

// ---- Reading and writing the records ------------------------------------------------------

void StoreCondition(CArchive& ar, const ShiftCondition& condition) {
    ar.WriteLong(condition.test);
    ar.WriteLong(condition.testWeekday);
    ar.WriteString(condition.testName);
    ar.WriteLong(condition.action);
    ar.WriteDWord(condition.count);
    ar.WriteDWord(condition.weekday);
    ar.WriteDWord(condition.relation);
    ar.WriteString(condition.targetName);
}

ShiftCondition LoadCondition(CArchive& ar) {
    ShiftCondition condition;
    condition.test = ar.ReadLong();
    condition.testWeekday = ar.ReadLong();
    condition.testName = ar.ReadString();
    condition.action = ar.ReadLong();
    condition.count = ar.ReadDWord();
    condition.weekday = ar.ReadDWord();
    condition.relation = ar.ReadDWord();
    condition.targetName = ar.ReadString();
    return condition;
}

void StoreRule(CArchive& ar, const DateRule& rule) {
    for (const int32_t value : {rule.firstYear, rule.lastYear, rule.interval, rule.kind, rule.day,
                                rule.month, rule.ordinal, rule.unused, rule.monthOfWeekday,
                                rule.relativeMode, rule.weekday, rule.direction}) {
        ar.WriteLong(value);
    }
    ar.WriteString(rule.offsetName);
    ar.WriteLong(rule.count);
    ar.WriteLong(rule.nearWeekday);
    ar.WriteLong(rule.relation);
    ar.WriteString(rule.weekdayName);
    ar.WriteDWord(static_cast<uint32_t>(rule.conditions.size()));
    for (const ShiftCondition& condition : rule.conditions) {
        StoreCondition(ar, condition);
    }
}

DateRule LoadRule(CArchive& ar) {
    DateRule rule;
    for (int32_t* field : {&rule.firstYear, &rule.lastYear, &rule.interval, &rule.kind, &rule.day,
                           &rule.month, &rule.ordinal, &rule.unused, &rule.monthOfWeekday,
                           &rule.relativeMode, &rule.weekday, &rule.direction}) {
        *field = ar.ReadLong();
    }
    rule.offsetName = ar.ReadString();
    rule.count = ar.ReadLong();
    rule.nearWeekday = ar.ReadLong();
    rule.relation = ar.ReadLong();
    rule.weekdayName = ar.ReadString();
    const uint32_t conditionCount = ar.ReadDWord();
    ar.CheckCount(conditionCount, kMinConditionBytes);
    rule.conditions.reserve(conditionCount);
    for (uint32_t i = 0; i < conditionCount; ++i) {
        rule.conditions.push_back(LoadCondition(ar));
    }
    return rule;
}

void CheckStorable(CArchive& ar, size_t count) {
    if (count > UINT32_MAX) {
        ar.ThrowFormatError("more than 4294967295 items in one list of a holiday module");
    }
}

// ---- Arithmetic -------------------------------------------------------------------------------

bool IsEvaluableYear(int year) {
    return year >= CHolidays::kMinYear && year <= CHolidays::kMaxYear;
}

// Day number of a date known to be valid in an evaluable year.
int64_t Day(int year, int month, int day) {
    return CDateTime::DayNumber(year, month, day);
}

int DaysInYear(int year) {
    return CDateTime::IsLeapYear(year) ? 366 : 365;
}

// Day number of Western Easter; the caller checks the year. Every division truncates.
int64_t WesternEasterDay(int year) {
    const int k = year / 100;
    const int q = k - k / 4;
    const int m = (q - (k - (k - 17) / 25) / 3 + 15) % 30;
    const int n = (q + 4) % 7;
    const int d = (19 * (year % 19) + m) % 30;
    const int e = (n + 2 * (2 * (year % 7) + 3 * d + (year % 4))) % 7;
    int64_t easter = Day(year, 3, 1) + 21 + d + e;
    const int64_t april25 = Day(year, 4, 25);
    // The two exceptions keep Easter from 26 April and, in the rare case, from 25 April.
    if (easter == april25 + 1 || (easter == april25 && d == 28 && (11 * m + 11) % 30 < 19)) {
        easter -= 7;
    }
    return easter;
}

int64_t OrthodoxEasterDay(int year) {
    const int d = (19 * (year % 19) + 15) % 30;
    const int e = (2 * (2 * (year % 7) + 3 * (d + 1) + (year % 4))) % 7;
    return Day(year, 3, 1) + 34 + d + e;
}

int64_t FirstAdventDay(int year) {
    const int64_t christmas = Day(year, 12, 25);
    return christmas - (22 + CHolidays::WeekdayOf(christmas));
}

CDateTime ToDate(int64_t day) {
    return CDateTime::FromDayNumber(static_cast<int32_t>(day));
}

} // namespace

// ---- Module content --------------------------------------------------------------------------

CHolidays::CHolidays() {
    SetLanguage(0);
}

void CHolidays::SetLanguage(uint32_t language) {
    m_language = language;
    m_languageAbbreviation = GetLocaleNames().LanguageAbbreviation(language);
}

void CHolidays::SetHolidays(std::vector<HolidayDefinition> holidays) {
    m_holidays = std::move(holidays);
    ClearEvaluation();
    m_evaluatedYear = kNotEvaluated;
}

void CHolidays::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        Store(ar);
        return;
    }
    // Everything is read into locals first so that a stream that ends early changes nothing.
    const uint32_t language = ar.ReadDWord();
    const int32_t moduleValue = ar.ReadLong();
    const uint32_t holidayCount = ar.ReadDWord();
    ar.CheckCount(holidayCount, kMinHolidayBytes);
    std::vector<HolidayDefinition> holidays;
    holidays.reserve(holidayCount);
    for (uint32_t i = 0; i < holidayCount; ++i) {
        HolidayDefinition holiday;
        holiday.name = ar.ReadString();
        holiday.displayText = ar.ReadString();
        holiday.referenceOnly = ar.ReadLong();
        const uint32_t ruleCount = ar.ReadDWord();
        ar.CheckCount(ruleCount, kMinRuleBytes);
        holiday.rules.reserve(ruleCount);
        for (uint32_t r = 0; r < ruleCount; ++r) {
            holiday.rules.push_back(LoadRule(ar));
        }
        holidays.push_back(std::move(holiday));
    }
    SetLanguage(language);
    m_moduleValue = moduleValue;
    SetHolidays(std::move(holidays));
}

void CHolidays::Store(CArchive& ar) const {
    CheckStorable(ar, m_holidays.size());
    ar.WriteDWord(m_language);
    ar.WriteLong(m_moduleValue);
    ar.WriteDWord(static_cast<uint32_t>(m_holidays.size()));
    for (const HolidayDefinition& holiday : m_holidays) {
        ar.WriteString(holiday.name);
        ar.WriteString(holiday.displayText);
        ar.WriteLong(holiday.referenceOnly);
        CheckStorable(ar, holiday.rules.size());
        ar.WriteDWord(static_cast<uint32_t>(holiday.rules.size()));
        for (const DateRule& rule : holiday.rules) {
            CheckStorable(ar, rule.conditions.size());
            StoreRule(ar, rule);
        }
    }
}

void CHolidays::ReadModuleFile(const std::filesystem::path& path) {
    CFileSource source(path);
    try {
        CArchive ar(source);
        Serialize(ar);
        ar.Close();
    } catch (const CArchiveException& error) {
        // Name the file, so that a message about a broken module says which one.
        throw CArchiveException(error.GetCause(), error.GetOffset(),
                                path.string() + ": " + error.what());
    }
}

void CHolidays::WriteModuleFile(const std::filesystem::path& path) const {
    CAtomicFileSink sink(path);
    CArchive ar(sink);
    Store(ar);
    ar.Close();
    sink.Commit();
}

void CHolidays::ReadModuleBytes(std::span<const uint8_t> bytes) {
    CMemorySource source(bytes);
    CArchive ar(source);
    Serialize(ar);
    ar.Close();
}

std::vector<uint8_t> CHolidays::WriteModuleBytes() const {
    CMemorySink sink;
    CArchive ar(sink);
    Store(ar);
    ar.Close();
    return sink.TakeData();
}

// ---- The arithmetic ----------------------------------------------------------------------------

int CHolidays::WeekdayOf(int64_t day) noexcept {
    // Day 1 (1 January 0001) was a Monday.
    return static_cast<int>(((day - 1) % 7 + 7) % 7);
}

std::optional<int64_t> CHolidays::WeekdayRelation(int64_t day, int64_t weekday, int64_t relation,
                                                  int64_t count) {
    const int64_t w = WeekdayOf(day);
    int64_t step = 0; // signed: negative steps back
    switch (relation) {
    case kStrictlyBefore:
        step = -(w == weekday ? 7 : (w + 7 - weekday) % 7);
        break;
    case kOnOrBefore:
        step = -((w + 7 - weekday) % 7);
        break;
    case kOnOrAfter:
        step = (weekday - w + 7) % 7;
        break;
    case kStrictlyAfter:
        step = w == weekday ? 7 : (weekday - w + 7) % 7;
        break;
    default:
        return std::nullopt;
    }
    if (count > 1) {
        const int64_t more = 7 * count - 7;
        step += relation <= kOnOrBefore ? -more : more;
    }
    return day + step;
}

CDateTime CHolidays::WesternEaster(int year) {
    return IsEvaluableYear(year) ? ToDate(WesternEasterDay(year)) : CDateTime();
}

CDateTime CHolidays::OrthodoxEaster(int year) {
    return IsEvaluableYear(year) ? ToDate(OrthodoxEasterDay(year)) : CDateTime();
}

CDateTime CHolidays::FirstAdvent(int year) {
    return IsEvaluableYear(year) ? ToDate(FirstAdventDay(year)) : CDateTime();
}

// ---- Evaluation --------------------------------------------------------------------------------

void CHolidays::ClearEvaluation() {
    m_computed.clear();
    for (auto& slot : m_displayTable) {
        slot.clear();
    }
    for (auto& slot : m_nameTable) {
        slot.clear();
    }
}

void CHolidays::Evaluate(int year) {
    ClearEvaluation();
    m_evaluatedYear = year;
    if (!IsEvaluableYear(year)) {
        return;
    }
    m_yearStart = Day(year, 1, 1);
    const int64_t yearEnd = m_yearStart + DaysInYear(year); // exclusive
    m_computed[kEasterRef] = {WesternEasterDay(year)};
    m_computed[kOrthodoxEasterRef] = {OrthodoxEasterDay(year)};
    m_computed[kAdventRef] = {FirstAdventDay(year)};

    // Each pass stores at least one more holiday or ends the evaluation, so at most
    // (number of holidays + 1) passes run.
    bool storedAny = true;
    while (storedAny) {
        storedAny = false;
        for (const HolidayDefinition& holiday : m_holidays) {
            if (m_computed.contains(holiday.name)) {
                continue;
            }
            std::optional<DayList> days = EvaluateHoliday(holiday);
            if (!days) {
                continue; // waits for a later pass
            }
            if (holiday.referenceOnly == 0) {
                for (const int64_t day : *days) {
                    if (day >= m_yearStart && day < yearEnd) {
                        const auto slot = static_cast<size_t>(day - m_yearStart);
                        m_displayTable[slot].push_back(holiday.displayText);
                        m_nameTable[slot].push_back(holiday.name);
                    }
                }
            }
            m_computed[holiday.name] = std::move(*days);
            storedAny = true;
        }
    }
}

std::optional<CHolidays::DayList>
CHolidays::EvaluateHoliday(const HolidayDefinition& holiday) const {
    const int64_t year = m_evaluatedYear;
    DayList days;
    for (const DateRule& rule : holiday.rules) {
        if (year < rule.firstYear || year > rule.lastYear) {
            continue;
        }
        // "A multiple of 0" is only 0 itself, so interval 0 applies in the first year alone.
        const int64_t since = year - rule.firstYear;
        if (rule.interval == 0 ? since != 0 : since % rule.interval != 0) {
            continue;
        }
        std::optional<DayList> produced = EvaluateRule(rule);
        if (!produced) {
            return std::nullopt;
        }
        for (const int64_t day : *produced) {
            if (!ApplyConditions(rule.conditions, day, days)) {
                return std::nullopt;
            }
        }
    }
    return days;
}

std::optional<CHolidays::DayList> CHolidays::EvaluateRule(const DateRule& rule) const {
    const int year = m_evaluatedYear;
    DayList days;
    switch (rule.kind) {
    case kRuleFixedDate:
        if (rule.day >= 1 && rule.day <= CDateTime::DaysInMonth(year, rule.month)) {
            days.push_back(Day(year, rule.month, rule.day));
        }
        return days;
    case kRuleWeekdayInMonth: {
        const int month = rule.monthOfWeekday;
        if (month < 1 || month > 12) {
            return days;
        }
        const int64_t lastOfMonth = Day(year, month, CDateTime::DaysInMonth(year, month));
        int64_t from = 0;
        if (rule.ordinal >= 0 && rule.ordinal <= 3) {
            from = Day(year, month, 7 * (rule.ordinal + 1));
        } else if (rule.ordinal == 4) {
            from = Day(year, month, 28) + 7;
        } else if (rule.ordinal == 5) {
            from = lastOfMonth;
        } else {
            return days;
        }
        const std::optional<int64_t> day = WeekdayRelation(from, rule.weekday, kOnOrBefore, 1);
        if (day && (rule.ordinal != 4 || *day <= lastOfMonth)) {
            days.push_back(*day);
        }
        return days;
    }
    case kRuleRelative:
        if (rule.relativeMode == kRelativeDays) {
            const auto found = m_computed.find(rule.offsetName);
            if (found == m_computed.end()) {
                return std::nullopt;
            }
            for (const int64_t day : found->second) {
                days.push_back(rule.direction == 0 ? day - rule.count : day + rule.count);
            }
        } else if (rule.relativeMode == kRelativeWeekday) {
            const auto found = m_computed.find(rule.weekdayName);
            if (found == m_computed.end()) {
                return std::nullopt;
            }
            for (const int64_t day : found->second) {
                if (const auto moved =
                        WeekdayRelation(day, rule.nearWeekday, rule.relation, rule.count)) {
                    days.push_back(*moved);
                }
            }
        }
        return days;
    default:
        return days;
    }
}

bool CHolidays::ApplyConditions(const std::vector<ShiftCondition>& conditions, int64_t day,
                                DayList& out) const {
    for (const ShiftCondition& condition : conditions) {
        bool holds = false;
        if (condition.test == kTestWeekday) {
            holds = WeekdayOf(day) == condition.testWeekday;
        } else if (condition.test == kTestNamedDate) {
            const auto found = m_computed.find(condition.testName);
            if (found == m_computed.end()) {
                return false;
            }
            holds =
                std::find(found->second.begin(), found->second.end(), day) != found->second.end();
        }
        if (!holds) {
            continue;
        }
        // The first condition that holds decides; its result is not tested again.
        switch (condition.action) {
        case kActionMoveToWeekday:
            if (const auto moved =
                    WeekdayRelation(day, condition.weekday, condition.relation, condition.count)) {
                out.push_back(*moved);
            }
            return true;
        case kActionNearestNamed: {
            const auto found = m_computed.find(condition.targetName);
            if (found == m_computed.end()) {
                return false;
            }
            // A target without dates leaves the date where it is.
            int64_t nearest = day;
            int64_t bestDistance = -1;
            for (const int64_t candidate : found->second) {
                const int64_t distance = candidate > day ? candidate - day : day - candidate;
                if (bestDistance < 0 || distance < bestDistance) {
                    bestDistance = distance;
                    nearest = candidate;
                }
            }
            out.push_back(nearest);
            return true;
        }
        case kActionDrop:
            return true;
        default:
            out.push_back(day); // an unknown action leaves the date as it is
            return true;
        }
    }
    out.push_back(day);
    return true;
}

// ---- Look-ups --------------------------------------------------------------------------------

void CHolidays::EnsureEvaluated(int year) {
    if (year != m_evaluatedYear) {
        Evaluate(year);
    }
}

int CHolidays::GetHolidayCount(const CDateTime& date) {
    const int year = date.GetYear();
    if (!IsEvaluableYear(year)) {
        return 0;
    }
    EnsureEvaluated(year);
    return static_cast<int>(m_displayTable[static_cast<size_t>(date.GetDayOfYear() - 1)].size());
}

std::optional<HolidayText> CHolidays::GetHoliday(const CDateTime& date, int index) {
    if (index < 0 || index >= GetHolidayCount(date)) {
        return std::nullopt;
    }
    const auto slot = static_cast<size_t>(date.GetDayOfYear() - 1);
    const auto position = static_cast<size_t>(index);
    return HolidayText{m_displayTable[slot][position], m_nameTable[slot][position]};
}

std::vector<HolidayOfYear> CHolidays::ListYear(int year) {
    std::vector<HolidayOfYear> list;
    if (!IsEvaluableYear(year)) {
        return list;
    }
    EnsureEvaluated(year);
    const int days = DaysInYear(year);
    for (int i = 0; i < days; ++i) {
        const auto slot = static_cast<size_t>(i);
        for (size_t k = 0; k < m_displayTable[slot].size(); ++k) {
            list.push_back(
                {ToDate(m_yearStart + i), m_displayTable[slot][k], m_nameTable[slot][k]});
        }
    }
    return list;
}

const std::vector<int64_t>* CHolidays::GetComputedDays(const std::string& name) const {
    const auto found = m_computed.find(name);
    return found == m_computed.end() ? nullptr : &found->second;
}

} // namespace dv
