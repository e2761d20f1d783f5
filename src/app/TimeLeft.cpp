#include "app/TimeLeft.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

#include <array>
#include <cstdint>

namespace dv {

std::string FormatTimeLeft(const CDateTimeSpan& span) {
    const int64_t seconds = span.GetTotalSeconds();
    const bool negative = seconds < 0;
    // Unsigned, so that the most negative span has a magnitude too.
    const uint64_t minutes =
        (negative ? 0u - static_cast<uint64_t>(seconds) : static_cast<uint64_t>(seconds)) / 60;
    constexpr uint64_t kMinutesPerDay = 24 * 60;
    const std::array<uint64_t, 4> values = {
        minutes / (7 * kMinutesPerDay),
        minutes % (7 * kMinutesPerDay) / kMinutesPerDay,
        minutes % kMinutesPerDay / 60,
        minutes % 60,
    };
    constexpr std::array<uint32_t, 4> names = {kIdsUnitWeeks, kIdsUnitDays, kIdsUnitHours,
                                               kIdsUnitMinutes};
    std::size_t first = 0;
    while (first < values.size() && values[first] == 0) {
        ++first;
    }
    if (first == values.size()) {
        return "0 " + LoadString(kIdsUnitMinutes);
    }
    std::string text = (negative ? "-" : "") + std::to_string(values[first]) + " " +
                       LoadString(names[first]);
    if (first + 1 < values.size()) {
        text += ", " + std::to_string(values[first + 1]) + " " + LoadString(names[first + 1]);
    }
    return text;
}

} // namespace dv
