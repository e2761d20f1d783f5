#pragma once

#include "core/CDateTime.h"
#include "holidays/HolidayRules.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace dv {

class CArchive;

/// One holiday on one day, as the look-ups answer it.
struct HolidayText {
    std::string displayText;
    std::string name;

    bool operator==(const HolidayText&) const = default;
};

/// One listed holiday of a year (see CHolidays::ListYear).
struct HolidayOfYear {
    CDateTime date;
    std::string displayText;
    std::string name;

    bool operator==(const HolidayOfYear&) const = default;
};

/// One holiday module: a language, a carried module value and an ordered list of holiday
/// definitions, evaluated for one year at a time into two day tables (display texts and names).
///
/// Evaluation computes the built-in references (kEasterRef, kOrthodoxEasterRef, kAdventRef), then
/// makes passes over the holidays in list order; a holiday whose rules or conditions need a name
/// that has no dates yet waits for a later pass. Holidays left waiting when a pass stores nothing
/// (cycles, unknown names) have no dates. The look-ups evaluate again whenever they are asked
/// about a year other than the evaluated one.
///
/// Dates are handled as day numbers (1 January 0001 = 1) in 64 bits, so no rule can overflow;
/// only years kMinYear..kMaxYear (inclusive) have holidays.
class CHolidays {
public:
    /// The years that can have holidays (inclusive): those whose every day CDateTime can hold.
    static constexpr int kMinYear = 0;
    static constexpr int kMaxYear = 5879610;
    /// The evaluated year before any evaluation, and after a change of the holidays.
    static constexpr int kNotEvaluated = -1;

    CHolidays();

    /// The module's locale identifier. Setting it also sets the abbreviation from the installed
    /// locale names (empty when they do not know the identifier).
    uint32_t GetLanguage() const noexcept { return m_language; }
    void SetLanguage(uint32_t language);
    const std::string& GetLanguageAbbreviation() const noexcept { return m_languageAbbreviation; }

    /// The module value: stored after the language and carried unchanged.
    int32_t GetModuleValue() const noexcept { return m_moduleValue; }
    void SetModuleValue(int32_t value) noexcept { m_moduleValue = value; }

    /// The holiday definitions in module order.
    const std::vector<HolidayDefinition>& GetHolidays() const noexcept { return m_holidays; }
    /// Replaces the definitions; the next look-up evaluates again.
    void SetHolidays(std::vector<HolidayDefinition> holidays);

    // ---- Module files ----

    /// Stores or loads the module body (no class header): language, module value, the holidays
    /// with their rules and conditions, every integer 32 bits. Loading replaces the whole content
    /// only when the stream was read completely; on any error (CArchiveException) this object is
    /// unchanged. Every count is checked against the rest of the input before memory is reserved.
    void Serialize(CArchive& ar);
    /// Storing half of Serialize.
    void Store(CArchive& ar) const;

    /// Reads a ".hol" file. Throws CFileException (cannot open or read, naming the path) or
    /// CArchiveException (ends early; the message names the path and the offset). On an error
    /// this object is unchanged. Bytes after the module body are ignored.
    void ReadModuleFile(const std::filesystem::path& path);
    /// Writes a ".hol" file whole or not at all; throws CFileException naming the path.
    void WriteModuleFile(const std::filesystem::path& path) const;
    /// ReadModuleFile over bytes in memory; throws CArchiveException.
    void ReadModuleBytes(std::span<const uint8_t> bytes);
    /// The bytes that WriteModuleFile writes.
    std::vector<uint8_t> WriteModuleBytes() const;

    // ---- Evaluation and look-ups ----

    /// Evaluates the module for `year`. A year outside kMinYear..kMaxYear leaves both tables
    /// empty and no computed dates (not even the references).
    void Evaluate(int year);
    /// The year the tables hold, or kNotEvaluated.
    int GetEvaluatedYear() const noexcept { return m_evaluatedYear; }

    /// Number of listed holidays on the date (0 when none); evaluates the date's year first when
    /// it is not the evaluated one.
    int GetHolidayCount(const CDateTime& date);
    /// Holiday `index` (0 <= index < GetHolidayCount(date)) of the date: (display text, name).
    /// An index outside that range gives std::nullopt.
    std::optional<HolidayText> GetHoliday(const CDateTime& date, int index);
    /// Every listed holiday of `year` (reference-only ones left out), in day order and, within
    /// a day, in table order. Empty for years outside kMinYear..kMaxYear.
    std::vector<HolidayOfYear> ListYear(int year);

    /// The day numbers computed for `name` in the evaluated year, in rule order; nullptr when the
    /// name has no computed list (unknown, never reached, or left waiting).
    const std::vector<int64_t>* GetComputedDays(const std::string& name) const;

    // ---- The arithmetic, for the compiler, tests and previews ----

    /// Western Easter Sunday by Gauss's rule with its two exceptions; year kMinYear..kMaxYear
    /// (else the default CDateTime).
    static CDateTime WesternEaster(int year);
    /// Orthodox Easter Sunday (Julian computus, given as Gregorian date 13 days on); same years.
    static CDateTime OrthodoxEaster(int year);
    /// First Sunday of Advent; same years.
    static CDateTime FirstAdvent(int year);
    /// The weekday relation from day number `day`: the count-th (1 the nearest) `weekday`
    /// (0 Monday .. 6 Sunday) strictly before, on or before, on or after, or strictly after it
    /// (relation 0..3). A count of 1 or less means the nearest. Weekdays outside 0..6 follow the
    /// same step formulas; a relation outside 0..3 gives std::nullopt.
    static std::optional<int64_t> WeekdayRelation(int64_t day, int64_t weekday, int64_t relation,
                                                  int64_t count);
    /// Weekday of a day number, 0 Monday .. 6 Sunday.
    static int WeekdayOf(int64_t day) noexcept;

private:
    using DayList = std::vector<int64_t>;

    // Dates of one holiday for the evaluated year; nullopt when it must wait for a later pass.
    std::optional<DayList> EvaluateHoliday(const HolidayDefinition& holiday) const;
    // Dates of one rule (before its conditions); nullopt when its named date is not computed yet.
    std::optional<DayList> EvaluateRule(const DateRule& rule) const;
    // Applies the conditions to one date; false when a named list is not computed yet.
    bool ApplyConditions(const std::vector<ShiftCondition>& conditions, int64_t day,
                         DayList& out) const;
    void EnsureEvaluated(int year);
    void ClearEvaluation();

    uint32_t m_language = 0;
    std::string m_languageAbbreviation;
    int32_t m_moduleValue = 0;
    std::vector<HolidayDefinition> m_holidays;

    int m_evaluatedYear = kNotEvaluated;
    int64_t m_yearStart = 0; // day number of 1 January of the evaluated year
    std::unordered_map<std::string, DayList> m_computed;
    // Slot d - 1 holds day d of the year (1..366); texts in the order the holidays were entered.
    std::array<std::vector<std::string>, 366> m_displayTable;
    std::array<std::vector<std::string>, 366> m_nameTable;
};

} // namespace dv
