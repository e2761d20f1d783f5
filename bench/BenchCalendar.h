#pragma once

// The dense calendar that the export, listing and page benchmarks share.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/DateData.h"
#include "core/RepetitionRule.h"

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace dv::bench {

constexpr int kEventCount = 10000;
inline const CDateTime kYearStart(2007, 1, 1);

inline int PickIn(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

/// Mostly one-off appointments spread over 2007, then weekly, monthly and a few daily series
/// that began before it; some all-day, some over several days, a third with notes.
inline std::vector<std::unique_ptr<CDateEntry>> MakeCalendar() {
    std::mt19937 random(2007);
    std::vector<std::unique_ptr<CDateEntry>> events;
    events.reserve(kEventCount);
    for (int i = 0; i < kEventCount; ++i) {
        DateData d;
        const int kind = PickIn(random, 0, 99);
        const int dayOffset = kind < 80 ? PickIn(random, 0, 364) : PickIn(random, -400, 0);
        d.Description = "Appointment " + std::to_string(i);
        d.Category = "Category " + std::to_string(PickIn(random, 0, 11));
        if (PickIn(random, 0, 2) == 0) {
            d.Notes = "Room " + std::to_string(PickIn(random, 1, 40)) + ", bring the papers";
        }
        d.StartDate = kYearStart +
                      CDateTimeSpan(dayOffset, PickIn(random, 7, 19), PickIn(random, 0, 3) * 15, 0);
        const int days = PickIn(random, 0, 19) == 0 ? PickIn(random, 1, 4) : 0;
        d.EndDate = d.StartDate + CDateTimeSpan(days, PickIn(random, 0, 2), 30, 0);
        d.ShowEnd = 1;
        d.ShowStartTime = PickIn(random, 0, 9) < 8 ? 1 : 0;
        if (kind >= 80) {
            d.Repeat = kRepeatInterval;
            d.RepeatRate = 1;
            d.RepeatUnit = kind < 92 ? kRepeatWeeks : (kind < 97 ? kRepeatMonths : kRepeatDays);
        }
        auto event = std::make_unique<CDateEntry>(kYearStart);
        event->AssignData(d);
        events.push_back(std::move(event));
    }
    return events;
}

} // namespace dv::bench
