// Random events and random sequences of evaluations and user actions: after every step the
// reminder lists stay consistent and each action keeps its promise.

#include "core/CDateEntry.h"
#include "core/ReminderTestSupport.h"
#include "core/TimeUnits.h"
#include "support/Occurrences.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace dv {
namespace {

using namespace reminder_test;

// ---- random sequences of actions ----------------------------------------------------------------

class Random {
public:
    explicit Random(uint32_t seed) : m_engine(seed) {}
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_engine); }
    bool Chance(int percent) { return Pick(1, 100) <= percent; }
    template <class T>
    const T& From(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1))];
    }

private:
    std::mt19937 m_engine;
};

CDateTimeSpan Minutes(int minutes) {
    return CDateTimeSpan(int64_t{minutes} * 60);
}

/// Every kind of rule near the week of 5 March 2007, with durations shorter than the period.
void RandomRule(Random& random, DateData& d) {
    d.StartDate = At(5, 0, 0) + Minutes(random.Pick(-3 * 288, 3 * 288) * 5);
    d.ShowStartTime = random.Chance(85) ? 1 : 0;
    d.ShowEnd = random.Chance(70) ? 1 : 0;
    d.Repeat = 1;
    switch (random.Pick(0, 6)) {
    case 0:
        d.Repeat = 0;
        break;
    case 1:
        d.RepeatUnit = 1;
        d.RepeatRate = random.Pick(1, 6);
        d.ShowStartTime = 1; // an all-day occurrence would outlast the period
        break;
    case 2:
        d.RepeatUnit = 2;
        d.RepeatRate = random.Pick(1, 3);
        break;
    case 3:
        d.RepeatUnit = 3;
        d.RepeatRate = random.Pick(1, 2);
        break;
    case 4:
        d.RepeatUnit = 4;
        d.RepeatRate = random.Pick(1, 2);
        break;
    case 5:
        d.RepeatUnit = 5;
        d.RepeatRate = 1;
        break;
    default:
        d.Repeat = 2;
        d.RepeatWeekdayCount = random.Pick(0, 5);
        d.RepeatWeekday = random.Pick(0, 6);
        break;
    }
    d.EndDate = d.StartDate + Minutes(random.Pick(0, 50));
    d.CondWeekdays = random.Chance(70) ? 0x7F : random.Pick(1, 0x7F);
    d.RepeatEnd = random.Pick(0, 2);
    d.RepeatEndCount = random.Pick(1, 8);
    d.RepeatEndDate = d.StartDate + Minutes(random.Pick(0, 10 * 1440));
    d.Forewarn = random.Chance(60) ? 1 : 0;
    d.ForewarnSpan = random.Pick(0, 90);
    d.ForewarnUnit = random.Chance(80) ? kUnitMinutes : random.Pick(1, 2);
    d.OverdueAction = random.Pick(0, 3);
    d.ExecuteSpan = random.Pick(0, 3);
    d.ExecuteUnit = random.Pick(0, 2);
    d.SnoozeType = random.Pick(0, 1);
    d.SnoozeSpan = random.Pick(1, 30);
    d.SnoozeUnit = kUnitMinutes;
}

void RandomEdit(Random& random, DateData& d) {
    switch (random.Pick(0, 9)) {
    case 0:
        d.Description += "x";
        break;
    case 1:
        d.Forewarn = d.Forewarn != 0 ? 0 : 1;
        break;
    case 2:
        d.ForewarnSpan = random.Pick(0, 120);
        break;
    case 3:
        d.StartDate += Minutes(random.Pick(-1, 1) * 5);
        break;
    case 4:
        if (d.Repeat != 1 || d.RepeatUnit != 1) {
            d.ShowStartTime = d.ShowStartTime != 0 ? 0 : 1;
        }
        break;
    case 5:
        d.CondWeekdays = random.Pick(1, 0x7F);
        break;
    case 6:
        d.RepeatRate = random.Pick(1, 3);
        break;
    case 7:
        d.RepeatEnd = random.Pick(0, 2);
        d.RepeatEndCount = random.Pick(1, 8);
        break;
    case 8:
        d.OverdueAction = random.Pick(0, 3);
        break;
    default:
        d.EndDate = d.StartDate + Minutes(random.Pick(0, 50));
        break;
    }
}

bool PatternChanged(const DateData& a, const DateData& b) {
    return a.StartDate != b.StartDate || a.ShowStartTime != b.ShowStartTime ||
           a.Repeat != b.Repeat ||
           (b.Repeat == 1 && (a.RepeatRate != b.RepeatRate || a.RepeatUnit != b.RepeatUnit)) ||
           (b.Repeat == 2 &&
            (a.RepeatWeekdayCount != b.RepeatWeekdayCount || a.RepeatWeekday != b.RepeatWeekday));
}

bool In(const Dates& list, const CDateTime& t) {
    return std::find(list.begin(), list.end(), t) != list.end();
}

bool HasDuplicates(Dates list) {
    std::sort(list.begin(), list.end());
    return std::adjacent_find(list.begin(), list.end()) != list.end();
}

void ExpectInvariants(const CDateEntry& e) {
    const Dates& due = e.GetDueOccurrences();
    const Dates& snoozed = e.GetSnoozedOccurrences();
    const Dates& acknowledged = e.GetAcknowledgedOccurrences();
    const Dates& dropped = e.GetDroppedOccurrences();
    ASSERT_EQ(snoozed.size(), e.GetSnoozeTimes().size()) << "parallel snooze lists";
    for (const Dates* list : {&due, &snoozed, &acknowledged, &dropped}) {
        EXPECT_FALSE(HasDuplicates(*list))
            << "duplicate in " << ::testing::PrintToString(Texts(*list));
    }
    for (const CDateTime& t : due) {
        EXPECT_FALSE(In(snoozed, t) || In(acknowledged, t) || In(dropped, t)) << Text(t);
    }
    for (const CDateTime& t : snoozed) {
        EXPECT_FALSE(In(acknowledged, t) || In(dropped, t)) << Text(t);
    }
    for (const CDateTime& t : acknowledged) {
        EXPECT_FALSE(In(dropped, t)) << Text(t);
    }
}

// On a copy: a scan moves the entry's cached occurrence number.
Dates Scan(CDateEntry entry, const CDateTime& a, const CDateTime& b) {
    return test::OccurrenceStarts(entry, a, b);
}

/// What an evaluation promises: every occurrence of the evaluated window that ended after the old
/// watermark is handled or waiting, nothing waits past its overdue limit, the watermark moved.
void ExpectEvaluated(const CDateEntry& before, const CDateEntry& after, const CDateTime& now,
                     bool changed) {
    EXPECT_EQ(after.GetLastCheck(), now);
    if (before.GetDueOccurrences() != after.GetDueOccurrences() ||
        before.GetSnoozedOccurrences() != after.GetSnoozedOccurrences()) {
        EXPECT_TRUE(changed) << "the due or snoozed list changed unreported";
    }
    const DateData& d = after.GetData();
    CDateTime limit = now;
    if (d.Forewarn != 0) {
        limit += MakeSpan(d.ForewarnSpan, d.ForewarnUnit);
    }
    const CDateTime old = before.GetLastCheck();
    if (!(old <= limit)) {
        return; // the clock went back before the watermark: nothing to promise
    }
    for (const CDateTime& t : Scan(after, old, limit)) {
        if (t + after.GetDuration() > old) {
            EXPECT_TRUE(In(after.GetDueOccurrences(), t) || In(after.GetSnoozedOccurrences(), t) ||
                        In(after.GetAcknowledgedOccurrences(), t))
                << "occurrence " << Text(t) << " neither waiting nor handled";
        }
    }
    CDateEntry probe = after;
    for (const Dates* list : {&after.GetDueOccurrences(), &after.GetSnoozedOccurrences()}) {
        for (const CDateTime& t : *list) {
            EXPECT_TRUE(probe.IsStillExecutable(t, now)) << "overdue " << Text(t) << " still waits";
        }
    }
}

void ExpectEdited(const CDateEntry& before, const CDateEntry& after, const CDateTime& now) {
    if (PatternChanged(before.GetData(), after.GetData())) {
        EXPECT_EQ(after.GetDueCount() + after.GetDroppedCount(), 0);
        EXPECT_TRUE(after.GetSnoozedOccurrences().empty());
        EXPECT_TRUE(after.GetAcknowledgedOccurrences().empty());
        return;
    }
    CDateEntry probe = after;
    CDateTime start;
    CDateTime end;
    for (const Dates* list : {&after.GetDueOccurrences(), &after.GetSnoozedOccurrences(),
                              &after.GetAcknowledgedOccurrences()}) {
        for (const CDateTime& t : *list) {
            EXPECT_TRUE(probe.FindFirstOccurrence(t, t, start, end)) << "stale " << Text(t);
        }
    }
    for (const CDateTime& t : after.GetDroppedOccurrences()) {
        EXPECT_TRUE(In(before.GetDroppedOccurrences(), t));
        CDateEntry restored = after;
        restored.RestoreOccurrence(t);
        EXPECT_TRUE(restored.FindFirstOccurrence(t, t, start, end)) << "stale drop " << Text(t);
    }
    for (const CDateTime& t : after.GetDueOccurrences()) {
        EXPECT_TRUE(In(before.GetDueOccurrences(), t) ||
                    (In(before.GetSnoozedOccurrences(), t) && t < now))
            << "new due entry " << Text(t);
    }
}

TEST(ReminderProperty, RandomActionsKeepTheListsConsistent) {
    Random random(20070305);
    for (int event = 0; event < 300; ++event) {
        CDateTime now = At(2, 0, 0) + Minutes(random.Pick(0, 6 * 1440));
        CDateEntry entry = Create(now, [&](DateData& d) { RandomRule(random, d); });
        for (int step = 0; step < 120; ++step) {
            now += random.Chance(4)
                       ? Minutes(-random.Pick(1, 120))
                       : Minutes(random.Pick(0, 240)) + CDateTimeSpan(random.Pick(0, 59));
            Dates targets = Scan(entry, now - Minutes(1440), now + Minutes(2880));
            for (const Dates* list :
                 {&entry.GetDueOccurrences(), &entry.GetSnoozedOccurrences(),
                  &entry.GetAcknowledgedOccurrences(), &entry.GetDroppedOccurrences()}) {
                targets.insert(targets.end(), list->begin(), list->end());
            }
            targets.push_back(now + Minutes(random.Pick(-600, 600)));
            const CDateTime target = random.From(targets);
            const bool dropped = entry.IsDropped(target);
            const CDateEntry before = entry;
            const int action = random.Pick(0, 99);
            SCOPED_TRACE("event " + std::to_string(event) + " step " + std::to_string(step) +
                         " action " + std::to_string(action) + " on " + Text(target) + " at " +
                         Text(now));
            if (action < 40) {
                const bool changed = entry.UpdateReminders(now);
                ExpectEvaluated(before, entry, now, changed);
            } else if (action < 55) {
                const CDateTime until = action < 50 ? now + Minutes(random.Pick(-30, 600))
                                                    : entry.ComputeDefaultSnoozeTime(target, now);
                entry.Snooze(target, until);
                CDateTime time;
                if (!dropped) {
                    EXPECT_TRUE((entry.GetSnoozeTime(target, time) && time == until) ||
                                entry.IsDone(target));
                }
            } else if (action < 65) {
                entry.SetDone(target, true);
                EXPECT_TRUE(dropped || entry.IsDone(target));
            } else if (action < 73) {
                const bool wasDone = entry.IsDone(target);
                entry.SetDone(target, false);
                EXPECT_TRUE(dropped || !wasDone || !entry.IsDone(target));
            } else if (action < 80) {
                entry.DropOccurrence(target);
                EXPECT_TRUE(entry.IsDropped(target));
                EXPECT_FALSE(entry.IsLastOccurrenceKnown());
            } else if (action < 85) {
                entry.RestoreOccurrence(target);
                EXPECT_FALSE(entry.IsDropped(target));
            } else if (action < 88) {
                entry.ResetReminderState();
                EXPECT_EQ(entry.GetDroppedOccurrences(), before.GetDroppedOccurrences());
                EXPECT_EQ(entry.GetLastCheck(), before.GetLastCheck());
                EXPECT_EQ(entry.GetDueCount(), 0);
            } else {
                DateData data = entry.GetData();
                RandomEdit(random, data);
                entry.SetData(data, now);
                ExpectEdited(before, entry, now);
            }
            ExpectInvariants(entry);
            if (::testing::Test::HasFailure()) {
                return; // one failing sequence is enough to read
            }
        }
    }
}

} // namespace
} // namespace dv
