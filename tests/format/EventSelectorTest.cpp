// Date selectors of the event expander: the part of an occurrence on a day, the occurrence
// counter around expansions, and the searches against a plain first/next walk.

#include "core/EventBuilder.h"
#include "format/CDateEntryFormatter.h"
#include "format/FormatTestSupport.h"
#include "support/Occurrences.h"
#include "support/Random.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;
using test::TestSettings;

// Mondays in January 2007 from 10:00 to 12:00, every week.
EventBuilder Weekly() {
    EventBuilder builder;
    builder.Start(2007, 1, 1, 10, 0).End(2007, 1, 1, 12, 0).Every(1, kRepeatWeeks);
    return builder;
}

CDateTime Jan(int day, int hour = 10) {
    return CDateTime(2007, 1, day, hour, 0, 0);
}

TEST(EventSelectors, ThisSelectedIsThePartOnTheDay) {
    const CDateTime start(2007, 1, 10, 22, 0, 0);
    CDateEntry overnight =
        EventBuilder().StartAt(start).End(2007, 1, 13, 2, 0).Build(); // Wednesday to Saturday
    CDateEntry sameDay = Weekly().Start(2007, 1, 10, 10, 0).End(2007, 1, 10, 12, 0).Build();
    const std::string format = "$DATETIMEFORMAT%d %H:%M:%S$$THISSELECTED_STARTTOEND_DATETIME$";
    const std::tuple<const char*, CDateEntry*, CDateTime, CDateTime, std::string> rows[] = {
        {"starts on the day", &overnight, start, CDateTime(2007, 1, 10),
         "10 22:00:00 - 10 23:59:59"},
        {"day strictly between", &overnight, start, CDateTime(2007, 1, 11),
         "11 00:00:00 - 11 23:59:59"},
        {"ends on the day", &overnight, start, CDateTime(2007, 1, 13), "13 00:00:00 - 13 02:00:00"},
        {"day before", &overnight, start, CDateTime(2007, 1, 9), "-"},
        {"another occurrence's day", &sameDay, Jan(10), CDateTime(2007, 1, 17), "-"},
    };
    for (const auto& [name, entry, occurrence, day, expected] : rows) {
        CDateEntryFormatter formatter(*entry, TestSettings());
        EXPECT_EQ(formatter.Expand(format, occurrence, day), expected) << name;
    }
}

TEST(EventSelectors, OccurrenceCounterSurvivesExpansion) {
    // A caller formats an occurrence in the middle of its own scan of a count-limited event.
    CDateEntry entry =
        Weekly().EndAfter(5).Description("next $NEXT_DATE$, counted $LAST_COUNT$").Build();
    const CDateTime a = Jan(14);
    const CDateTime b = CDateTime(2007, 2, 28);
    CDateTime start;
    CDateTime end;
    ASSERT_TRUE(entry.FindFirstOccurrence(a, b, start, end));
    ASSERT_EQ(start, Jan(15));
    const int number = entry.GetOccurrenceNumber();

    CDateEntryFormatter formatter(entry, TestSettings());
    EXPECT_EQ(formatter.Expand("$FIRST_DATE$ $PREVIOUS_DATE$ $LAST_DATE$ $LASTUNDONE_DATE$ "
                               "$NEXTUNDONE_DATE$ $THIS_COUNT$ $DESCRIPTION$ $NOTES$",
                               start, start),
              "2007-01-01 2007-01-08 2007-01-29 2007-01-29 2007-01-22 3 next 2007-01-22, "
              "counted 5 ");
    formatter.FormatForDay(start, start);
    EXPECT_EQ(entry.GetOccurrenceNumber(), number);

    // The caller's scan goes on as if nothing had happened.
    ASSERT_TRUE(entry.FindNextOccurrence(a, b, start, end));
    EXPECT_EQ(start, Jan(22));
    ASSERT_TRUE(entry.FindNextOccurrence(a, b, start, end));
    EXPECT_EQ(start, Jan(29));
    EXPECT_FALSE(entry.FindNextOccurrence(a, b, start, end));
}

// The first/next scan over [a, b] on a copy, so that the event under test is not touched; stops
// when `visit` returns false.
template <typename Visit>
void Walk(CDateEntry entry, const CDateTime& a, const CDateTime& b, Visit visit) {
    test::ForEachOccurrence(entry, a, b,
                            [&](const CDateTime& start, const CDateTime&) { return visit(start); });
}

std::string Show(const std::optional<CDateTime>& date) {
    return date ? date->Format("%Y-%m-%d %H:%M:%S") : std::string("-");
}

// The selectors as written: each one a walk over its whole window.
std::string Reference(const CDateEntry& entry, const CDateTime& occurrence) {
    const DateData& data = entry.GetData();
    const CDateTime base = data.ShowStartTime != 0 ? data.StartDate : data.StartDate.GetDate();
    const CDateTime endOfTime(9999, 12, 31, 23, 59, 59);

    std::optional<CDateTime> first;
    Walk(entry, base, endOfTime, [&](const CDateTime& start) {
        first = start;
        return false;
    });
    std::optional<CDateTime> previous;
    Walk(entry, base, occurrence - CDateTimeSpan(1), [&](const CDateTime& start) {
        previous = start;
        return true;
    });
    std::optional<CDateTime> next;
    std::optional<CDateTime> nextUndone;
    int hits = 0;
    Walk(entry, occurrence + entry.GetDuration(), endOfTime, [&](const CDateTime& start) {
        if (++hits == 1) {
            return true;
        }
        if (hits == 2) {
            next = start;
        }
        if (!entry.IsDone(start)) {
            nextUndone = start;
            return false;
        }
        return true;
    });
    std::optional<CDateTime> last;
    std::optional<CDateTime> lastUndone;
    if (data.RepeatEnd != 0) {
        Walk(entry, base, endOfTime, [&](const CDateTime& start) {
            last = start;
            if (!entry.IsDone(start)) {
                lastUndone = start;
            }
            return true;
        });
    }
    return Show(first) + "|" + Show(previous) + "|" + Show(next) + "|" + Show(nextUndone) + "|" +
           Show(last) + "|" + Show(lastUndone);
}

// A random event whose occurrences up to the end of its repetition stay in the tens of thousands,
// so that the reference walks stay quick.
EventBuilder RandomEvent(test::Random& rng) {
    const auto pick = [&rng](int low, int high) { return rng.Int(low, high); };
    EventBuilder builder;
    const CDateTime start = CDateTime(2007, 1, 1, pick(0, 23), pick(0, 3) * 15, 0) +
                            CDateTimeSpan(pick(0, 60), 0, 0, 0);
    builder.StartAt(start);
    if (pick(0, 3) == 0) {
        builder.AllDay();
    }
    if (pick(0, 1) == 0) {
        builder.EndAt(start + CDateTimeSpan(pick(0, 3), pick(0, 23), 0, 0));
    } else {
        builder.NoEnd();
    }
    const int kind = pick(0, 5);
    int unit = kRepeatDays;
    if (kind >= 1 && kind <= 4) {
        unit = pick(kRepeatHours, kRepeatYears);
        builder.Every(pick(1, 5), unit);
    } else if (kind == 5) {
        builder.NthWeekday(pick(0, 5), pick(0, 6));
    }
    switch (pick(0, 3)) {
    case 0:
        break;
    case 1:
        builder.EndAfter(pick(1, 40));
        break;
    case 2:
        builder.Until(start + CDateTimeSpan(pick(0, unit == kRepeatHours ? 300 : 3000), 0, 0, 0));
        break;
    default:
        // An unknown end code ends nothing, so the reference walks to the year 9999: only for
        // yearly rules, which have few occurrences until then.
        if (kind >= 1 && kind <= 4 && unit == kRepeatYears) {
            builder.MutableData().RepeatEnd = 3;
        }
        break;
    }
    if (pick(0, 3) == 0) {
        builder.Weekdays(pick(1, 0x7F));
    }
    if (pick(0, 3) == 0) {
        builder.Months(pick(1, 0xFFF));
    }
    return builder;
}

TEST(EventSelectors, SearchesAgreeWithAPlainWalk) {
    test::Random rng(4101);
    const std::string format =
        "$DATETIMEFORMAT%Y-%m-%d %H:%M:%S$$FIRST_DATETIME$|$PREVIOUS_DATETIME$|$NEXT_DATETIME$|"
        "$NEXTUNDONE_DATETIME$|$LAST_DATETIME$|$LASTUNDONE_DATETIME$";
    for (int round = 0; round < 600; ++round) {
        const EventBuilder builder = RandomEvent(rng);
        CDateEntry entry = builder.Build();
        std::vector<CDateTime> early;
        Walk(entry, entry.GetFirstStart(), CDateTime(2009, 12, 31),
             [&early](const CDateTime& start) {
                 early.push_back(start);
                 return early.size() < 300;
             });
        // Some occurrences dropped, some acknowledged, sometimes a watermark.
        for (const CDateTime& start : early) {
            const int dice = rng.Int(0, 9);
            if (dice == 0) {
                entry.DropOccurrence(start);
            } else if (dice == 1) {
                entry.SetDone(start, true);
            }
        }
        if (rng.OneIn(3)) {
            entry.UpdateReminders(CDateTime(2007, 1, 1) + CDateTimeSpan(rng.Int(0, 900), 0, 0, 0));
        }
        // This: an occurrence, or any moment.
        CDateTime occurrence = CDateTime(2007, 1, 1) + CDateTimeSpan(rng.Int(0, 3000), 0, 0, 0);
        if (!early.empty() && rng.OneIn(2)) {
            occurrence = rng.Pick(early);
        }
        const std::string expected = Reference(entry, occurrence);
        CDateEntryFormatter formatter(entry, TestSettings());
        EXPECT_EQ(formatter.Expand(format, occurrence, occurrence), expected)
            << "round " << round << ", this " << occurrence.FormatFixed() << "\n  "
            << test::DescribeRepetition(builder.Data());
    }
}

} // namespace
} // namespace dv
