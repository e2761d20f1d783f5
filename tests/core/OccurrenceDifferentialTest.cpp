// The occurrence scan against a slow reference that walks every candidate from the first start
// (the k-th interval or month step computed from the start, the n-th weekday found by looking at
// every day of the month) and applies drops, masks, the count and the end date. Several windows
// per event exercise the cached state too.

#include "EventBuilder.h"
#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/RepetitionRule.h"
#include "support/Occurrences.h"
#include "support/Random.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::DescribeRepetition;
using test::EventBuilder;

struct Occurrence {
    CDateTime start, end;
    int ordinal = 0; // only compared for count-limited repetitions
    bool operator==(const Occurrence&) const = default;
};

void PrintTo(const Occurrence& o, std::ostream* out) {
    *out << o.start.FormatFixed() << " .. " << o.end.FormatFixed() << " #" << o.ordinal;
}

CDateTime ReferenceStart(const DateData& d) {
    return d.ShowStartTime != 0 ? d.StartDate : d.StartDate.GetDate();
}

CDateTimeSpan ReferenceDuration(const DateData& d) {
    const CDateTime s = ReferenceStart(d);
    CDateTime e = d.ShowEnd != 0 ? d.EndDate : s;
    if (d.ShowStartTime == 0) {
        e = e.GetDate() + CDateTimeSpan(0, 23, 59, 59);
    }
    return std::max(e - s, CDateTimeSpan());
}

bool HasPeriod(const DateData& d) {
    return d.RepeatRate >= 1 && d.RepeatUnit >= kRepeatHours && d.RepeatUnit <= kRepeatYears;
}

// Every candidate start of the rule, in order, up to `limit` inclusive.
std::vector<CDateTime> ReferenceCandidates(const DateData& d, const CDateTime& limit) {
    std::vector<CDateTime> out;
    const CDateTime s = ReferenceStart(d);
    if (d.Repeat == kRepeatNone || (d.Repeat == kRepeatInterval && !HasPeriod(d))) {
        if (s <= limit) {
            out.push_back(s);
        }
        return out;
    }
    if (d.Repeat == kRepeatInterval && d.RepeatUnit <= kRepeatWeeks) {
        const int hoursPerStep[] = {0, 1, 24, 168};
        for (int64_t k = 0;; ++k) {
            const CDateTime c =
                s + CDateTimeSpan(k * d.RepeatRate * hoursPerStep[d.RepeatUnit] * 3600);
            if (c > limit) {
                break;
            }
            out.push_back(c);
        }
        return out;
    }
    if (d.Repeat == kRepeatInterval) {
        const int64_t monthsPerStep =
            d.RepeatUnit == kRepeatMonths ? d.RepeatRate : 12 * d.RepeatRate;
        for (int64_t k = 0;; ++k) {
            const int64_t month = (s.GetYear() * 12 + s.GetMonth() - 1) + k * monthsPerStep;
            const int year = static_cast<int>(month / 12);
            const int monthOfYear = static_cast<int>(month % 12) + 1;
            const int day = std::min(s.GetDay(), CDateTime::DaysInMonth(year, monthOfYear));
            const CDateTime c(year, monthOfYear, day, s.GetHour(), s.GetMinute(), s.GetSecond());
            if (c > limit) {
                break;
            }
            out.push_back(c);
        }
        return out;
    }
    if (d.Repeat == kRepeatNthWeekday) {
        if (d.RepeatWeekday < 0 || d.RepeatWeekday > 6 || d.RepeatWeekdayCount < 0 ||
            d.RepeatWeekdayCount > kOrdinalLast) {
            return out;
        }
        int year = s.GetYear();
        int month = s.GetMonth();
        while (CDateTime(year, month, 1) <= limit) {
            std::vector<int> days;
            for (int day = 1; day <= CDateTime::DaysInMonth(year, month); ++day) {
                if (CDateTime::DayOfWeek(year, month, day) == d.RepeatWeekday) {
                    days.push_back(day);
                }
            }
            const int index = d.RepeatWeekdayCount == kOrdinalLast
                                  ? static_cast<int>(days.size()) - 1
                                  : d.RepeatWeekdayCount;
            if (index < static_cast<int>(days.size())) {
                const CDateTime c(year, month, days[index], s.GetHour(), s.GetMinute(),
                                  s.GetSecond());
                if (c >= s && c <= limit) {
                    out.push_back(c);
                }
            }
            if (++month == 13) {
                month = 1;
                ++year;
            }
        }
    }
    return out;
}

bool ReferenceOverlaps(const CDateTime& t1, const CDateTime& t2, const CDateTime& a,
                       const CDateTime& b) {
    if (b < a) {
        return false;
    }
    return (a <= t1 && t1 <= b) || (a <= t2 && t2 <= b) || (t1 < a && t2 > b);
}

bool ReferenceValid(const DateData& d, const std::vector<CDateTime>& dropped, const CDateTime& c) {
    if (std::find(dropped.begin(), dropped.end(), c) != dropped.end()) {
        return false;
    }
    if (d.Repeat == kRepeatNone) {
        return true;
    }
    return ((d.CondMonth >> (c.GetMonth() - 1)) & 1) != 0 &&
           ((d.CondWeekdays >> c.GetDayOfWeek()) & 1) != 0;
}

// The occurrences overlapping [a, b], from candidates listed at least up to b.
std::vector<Occurrence> ReferenceScan(const DateData& d, const std::vector<CDateTime>& dropped,
                                      const std::vector<CDateTime>& candidates, const CDateTime& a,
                                      const CDateTime& b) {
    std::vector<Occurrence> out;
    const CDateTimeSpan duration = ReferenceDuration(d);
    const bool firstOnly = d.Repeat == kRepeatInterval && !HasPeriod(d);
    int ordinal = 0;
    for (const CDateTime& c : candidates) {
        if (c > b) {
            break;
        }
        if (!ReferenceValid(d, dropped, c)) {
            continue;
        }
        ++ordinal;
        if (d.Repeat != kRepeatNone && d.RepeatEnd == kRepeatEndAfterCount &&
            ordinal > d.RepeatEndCount) {
            break;
        }
        if (d.Repeat != kRepeatNone && d.RepeatEnd == kRepeatEndAtDate && c > d.RepeatEndDate) {
            break;
        }
        const CDateTime end = c + duration;
        const bool hit = firstOnly ? (b >= a && ((a <= c && c <= b) || (a <= end && end <= b)))
                                   : ReferenceOverlaps(c, end, a, b);
        if (hit) {
            const bool counted = d.Repeat != kRepeatNone && d.RepeatEnd == kRepeatEndAfterCount;
            out.push_back({c, end, counted ? ordinal : 0});
        }
    }
    return out;
}

std::vector<Occurrence> EngineScan(CDateEntry& entry, const CDateTime& a, const CDateTime& b) {
    std::vector<Occurrence> out;
    const DateData& d = entry.GetData();
    const bool counted = d.Repeat != kRepeatNone && d.RepeatEnd == kRepeatEndAfterCount;
    test::ForEachOccurrence(entry, a, b, [&](const CDateTime& start, const CDateTime& end) {
        out.push_back({start, end, counted ? entry.GetOccurrenceNumber() : 0});
    });
    return out;
}

using test::Random;

// Typical seconds between candidates, to place windows within a bounded number of them.
int64_t TypicalPeriod(const DateData& d) {
    if (d.Repeat == kRepeatNthWeekday) {
        return 31 * 86400;
    }
    if (d.Repeat != kRepeatInterval || !HasPeriod(d)) {
        return 86400;
    }
    const int64_t unitSeconds[] = {0, 3600, 86400, 7 * 86400, 31 * 86400, 366 * 86400};
    return d.RepeatRate * unitSeconds[d.RepeatUnit];
}

DateData RandomEvent(Random& rnd) {
    EventBuilder b;
    const int kind = static_cast<int>(rnd.Between(1, 100));
    if (kind <= 10) {
        // not repeating
    } else if (kind <= 70) {
        int32_t unit = static_cast<int32_t>(rnd.Between(kRepeatHours, kRepeatYears));
        const int32_t maxRate[] = {0, 48, 20, 8, 18, 4};
        // Rate 1 is the common case and the one where every month or year is a candidate.
        int32_t rate = static_cast<int32_t>(rnd.Chance(40) ? 1 : rnd.Between(2, maxRate[unit]));
        if (rnd.Chance(3)) {
            rate = static_cast<int32_t>(rnd.Between(-3, 0)); // only the first occurrence
        } else if (rnd.Chance(3)) {
            unit = rnd.Chance(50) ? 0 : 6; // a unit that repeats nothing
        }
        b.Every(rate, unit);
    } else if (kind <= 96) {
        const int32_t ordinal = static_cast<int32_t>(
            rnd.Chance(50) ? rnd.Between(kOrdinalFifth, kOrdinalLast) : rnd.Between(0, 5));
        b.NthWeekday(ordinal, static_cast<int32_t>(rnd.Between(0, 6)));
    } else {
        b.RepeatCode(rnd.Chance(50) ? 3 : -1);
    }
    const bool calendarSteps =
        b.Data().Repeat == kRepeatInterval &&
        (b.Data().RepeatUnit == kRepeatMonths || b.Data().RepeatUnit == kRepeatYears);

    const int year =
        static_cast<int>(rnd.Chance(90) ? rnd.Between(1990, 2030) : rnd.Between(1, 9000));
    const int month = static_cast<int>(rnd.Between(1, 12));
    const int dim = CDateTime::DaysInMonth(year, month);
    // Month ends are where the calendar rules bite: clamped days, and occurrences that begin in
    // one month and end in the next (in some months only).
    const int day = static_cast<int>(rnd.Chance(calendarSteps ? 60 : 35) ? rnd.Between(25, dim)
                                                                         : rnd.Between(1, dim));
    int hour = static_cast<int>(rnd.Between(0, 23));
    int minute = static_cast<int>(rnd.Between(0, 59));
    int second = static_cast<int>(rnd.Chance(70) ? 0 : rnd.Between(0, 59));
    if (rnd.Chance(10)) {
        hour = minute = second = 0;
    } else if (rnd.Chance(5)) {
        hour = 23;
        minute = second = 59;
    }
    b.Start(year, month, day, hour, minute, second);
    if (rnd.Chance(30)) {
        b.AllDay();
    }

    // Durations up to a few days, mostly shorter than the period; one in ten may reach past it,
    // where consecutive occurrences overlap.
    const DateData& d = b.Data();
    const int64_t limit =
        rnd.Chance(90) ? std::min<int64_t>(TypicalPeriod(d) - 1, 4 * 86400) : 4 * 86400;
    if (rnd.Chance(calendarSteps ? 80 : 60)) {
        if (d.ShowStartTime == 0) {
            const int64_t days = rnd.Between(0, std::max<int64_t>(0, (limit - 86399) / 86400));
            if (days * 86400 + 86399 <= limit || rnd.Chance(10)) {
                b.EndAt(d.StartDate.GetDate() + CDateTimeSpan(days * 86400));
            }
        } else {
            b.EndAt(d.StartDate + CDateTimeSpan(rnd.Between(0, std::max<int64_t>(0, limit))));
        }
    }

    // Conditions: each weekday and month allowed with a chance of three in four, or sparse masks
    // (where a rule can often never pass them and the scan gives up at once); now and then an
    // empty mask.
    if (rnd.Chance(50)) {
        const int chance = rnd.Chance(30) ? 15 : 75;
        int32_t weekdays = 0;
        int32_t months = 0;
        for (int bit = 0; bit < 12; ++bit) {
            weekdays |= (bit < 7 && rnd.Chance(chance)) ? 1 << bit : 0;
            months |= rnd.Chance(chance) ? 1 << bit : 0;
        }
        b.Weekdays(rnd.Chance(2) ? 0 : weekdays);
        b.Months(rnd.Chance(2) ? 0 : months);
    }

    const int end = static_cast<int>(rnd.Between(0, 2));
    if (end == 1) {
        b.EndAfter(static_cast<int32_t>(rnd.Chance(5) ? rnd.Between(-1, 0) : rnd.Between(1, 15)));
    } else if (end == 2) {
        const int64_t span = TypicalPeriod(d) * rnd.Between(0, 20) + rnd.Between(-86400, 86400);
        b.Until(d.StartDate + CDateTimeSpan(span));
    }
    return b.Data();
}

// Windows around a candidate: on its start or end, a second before or after them, its day, or
// a stretch holding it; the candidates near the start are favoured, where counts and drops act.
// Occurrences that run into the next month are picked often and seen from that month, where
// period counting from the window's month goes wrong most easily.
std::pair<CDateTime, CDateTime> WindowNear(Random& rnd, const std::vector<CDateTime>& candidates,
                                           const std::vector<CDateTime>& crossing,
                                           const CDateTimeSpan& duration) {
    const std::vector<CDateTime>& pool =
        !crossing.empty() && rnd.Chance(30) ? crossing : candidates;
    const int64_t last = static_cast<int64_t>(pool.size()) - 1;
    const CDateTime c = pool[static_cast<size_t>(
        rnd.Between(0, rnd.Chance(50) ? std::min<int64_t>(last, 20) : last))];
    const CDateTime e = c + duration;
    const CDateTimeSpan second(1);
    switch (rnd.Between(0, 9)) {
    case 0:
        return {c, c};
    case 1:
        return {e, e};
    case 2:
        return {c - second, c - second};
    case 3:
        return {e + second, e + CDateTimeSpan(rnd.Between(1, 86400))};
    case 4:
        return {c.GetDate(), c.GetDate() + CDateTimeSpan(86399)};
    case 5:
        return {e.GetDate(), e.GetDate() + CDateTimeSpan(86399)};
    case 6: {
        const CDateTime inside = c + CDateTimeSpan(rnd.Between(0, duration.GetTotalSeconds()));
        return {inside, inside};
    }
    case 7:
        return {c - CDateTimeSpan(rnd.Between(0, 40 * 86400)),
                c + CDateTimeSpan(rnd.Between(0, 40 * 86400))};
    case 8: {
        // From the first second of e's month, which may lie inside the occurrence.
        const CDateTime monthStart(e.GetYear(), e.GetMonth(), 1);
        return {monthStart, monthStart + CDateTimeSpan(rnd.Between(0, 86400))};
    }
    default:
        return {c - CDateTimeSpan(rnd.Between(0, 3600)), c - second};
    }
}

TEST(OccurrenceDifferential, ScanEqualsCandidateWalk) {
    Random rnd(20070105);
    constexpr int kEvents = 2000;
    constexpr int kWindowsPerEvent = 6;
    for (int i = 0; i < kEvents; ++i) {
        const DateData data = RandomEvent(rnd);
        const CDateTime s = ReferenceStart(data);
        const CDateTimeSpan duration = ReferenceDuration(data);

        // Windows lie at most this far after the start: about 300 candidates for most events,
        // decades for one in ten (fewer candidates for short periods, to bound the walk).
        const int64_t period = TypicalPeriod(data);
        const int64_t reach =
            rnd.Chance(10) ? std::min<int64_t>(40LL * 366 * 86400, period * 6000) : period * 300;
        const CDateTime horizon = s + CDateTimeSpan(reach);
        const std::vector<CDateTime> candidates = ReferenceCandidates(data, horizon);

        std::vector<CDateTime> crossing; // candidates whose occurrence ends in a later month
        for (const CDateTime& c : candidates) {
            if ((c + duration).GetMonth() != c.GetMonth()) {
                crossing.push_back(c);
            }
        }

        std::vector<std::pair<CDateTime, CDateTime>> windows;
        for (int w = 0; w < kWindowsPerEvent; ++w) {
            if (!candidates.empty() && rnd.Chance(70)) {
                windows.push_back(WindowNear(rnd, candidates, crossing, duration));
                continue;
            }
            if (data.RepeatEnd == kRepeatEndAtDate && rnd.Chance(30)) {
                const CDateTime until = data.RepeatEndDate;
                windows.emplace_back(until - CDateTimeSpan(rnd.Between(0, 2 * period)),
                                     until + CDateTimeSpan(rnd.Between(0, 2 * period)));
                continue;
            }
            // An instant, a whole day, or a stretch of up to 60 days or three periods.
            const CDateTime a = s + CDateTimeSpan(rnd.Between(-3 * 86400, reach));
            const int64_t kind = rnd.Between(0, 3);
            if (kind == 1) {
                windows.emplace_back(a.GetDate(), a.GetDate() + CDateTimeSpan(86399));
            } else {
                const int64_t most = kind == 0 ? 0 : (kind == 2 ? 60 * 86400 : 3 * period);
                windows.emplace_back(a, a + CDateTimeSpan(kind == 0 ? 0 : rnd.Between(0, most)));
            }
        }
        // Windows stop at the horizon, so the candidate list covers them.
        for (auto& [a, b] : windows) {
            b = std::min(b, horizon);
        }

        // Drop some real candidates, and now and then a time that is no candidate at all.
        std::vector<CDateTime> dropped;
        if (!candidates.empty() && rnd.Chance(30)) {
            for (int k = static_cast<int>(rnd.Between(1, 3)); k > 0; --k) {
                const auto bound =
                    std::min<int64_t>(static_cast<int64_t>(candidates.size()) - 1, 20);
                dropped.push_back(candidates[static_cast<size_t>(rnd.Between(0, bound))]);
            }
            if (rnd.Chance(20)) {
                dropped.push_back(s + CDateTimeSpan(1800));
            }
        }
        EventBuilder builder;
        builder.MutableData() = data;
        for (const CDateTime& t : dropped) {
            builder.Drop(t);
        }
        CDateEntry entry = builder.Build();
        ASSERT_EQ(entry.GetDuration(), duration) << DescribeRepetition(data);
        ASSERT_EQ(entry.GetFirstStart(), s) << DescribeRepetition(data);

        for (const auto& [a, b] : windows) {
            const std::vector<Occurrence> expected = ReferenceScan(data, dropped, candidates, a, b);
            const std::vector<Occurrence> actual = EngineScan(entry, a, b);
            ASSERT_EQ(actual, expected) << "event #" << i << ": " << DescribeRepetition(data)
                                        << "\n  window " << a.FormatFixed() << " .. "
                                        << b.FormatFixed() << ", " << dropped.size() << " dropped";
        }
    }
}

} // namespace
} // namespace dv
