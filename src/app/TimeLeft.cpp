#include "app/TimeLeft.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

#include <array>
#include <cstdint>

namespace dv {

namespace {

std::string Amount(uint64_t value, uint32_t singular, uint32_t plural) {
    return std::to_string(value) + " " + LoadString(value == 1 ? singular : plural);
}

} // namespace

std::string FormatTimeLeft(const CDateTimeSpan& span) {
    const int64_t seconds = span.GetTotalSeconds();
    if (seconds <= 0 && seconds > -60) {
        return LoadString(kIdsTimeLeftNow);
    }
    const bool past = seconds < 0;
    // Unsigned, so that the most negative span has a magnitude too. What is still ahead counts
    // started minutes (50 s left is "1 Minute", never "0 Minutes"); what has passed, whole ones.
    const uint64_t magnitude =
        past ? 0u - static_cast<uint64_t>(seconds) : static_cast<uint64_t>(seconds);
    const uint64_t minutes = past ? magnitude / 60 : magnitude / 60 + (magnitude % 60 != 0 ? 1 : 0);
    constexpr uint64_t kMinutesPerDay = 24 * 60;
    const std::array<uint64_t, 4> values = {
        minutes / (7 * kMinutesPerDay),
        minutes % (7 * kMinutesPerDay) / kMinutesPerDay,
        minutes % kMinutesPerDay / 60,
        minutes % 60,
    };
    constexpr std::array<uint32_t, 4> singular = {kIdsUnitWeek, kIdsUnitDay, kIdsUnitHour,
                                                  kIdsUnitMinute};
    constexpr std::array<uint32_t, 4> plural = {kIdsUnitWeeksPlural, kIdsUnitDaysPlural,
                                                kIdsUnitHoursPlural, kIdsUnitMinutesPlural};
    std::size_t first = 0;
    while (values[first] == 0) {
        ++first; // minutes >= 1 here, so one of them is not zero
    }
    std::string text = Amount(values[first], singular[first], plural[first]);
    if (first + 1 < values.size()) {
        text += ", " + Amount(values[first + 1], singular[first + 1], plural[first + 1]);
    }
    return past ? FormatString(kIdsTimeLeftAgo, text) : text;
}

} // namespace dv
