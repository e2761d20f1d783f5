// Reminder state of events: timelines of evaluations and user actions with the lists after each
// step, and random action sequences after which every action must have kept its promise.

#include "core/CDateEntry.h"
#include "core/TimeUnits.h"
#include "support/Occurrences.h"
#include "support/Random.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace dv {
namespace {

using Dates = std::vector<CDateTime>;
using Edit = std::function<void(DateData&)>;

/// A time in the week of Monday 5 March 2007 (Sunday is the 4th, Tuesday the 6th ...).
CDateTime At(int day, int hour, int minute, int second = 0) {
    return CDateTime(2007, 3, day, hour, minute, second);
}

std::string Text(const CDateTime& t) {
    return t.Format("%#d %H:%M:%S");
}

/// Every entry of the reminder lists with its list's name, e.g. "due 5 10:00:00 ack 6 10:00:00".
std::string Lists(const CDateEntry& e) {
    const std::pair<const char*, const Dates*> lists[] = {{"due", &e.GetDueOccurrences()},
                                                          {"snoozed", &e.GetSnoozedOccurrences()},
                                                          {"ack", &e.GetAcknowledgedOccurrences()},
                                                          {"dropped", &e.GetDroppedOccurrences()}};
    std::string out;
    for (const auto& [name, dates] : lists) {
        for (const CDateTime& t : *dates) {
            out += (out.empty() ? "" : " ") + std::string(name) + " " + Text(t);
        }
    }
    return out;
}

/// Monday 10:00 to 11:00, no repetition.
void Meeting(DateData& d) {
    d.StartDate = At(5, 10, 0);
    d.EndDate = At(5, 11, 0);
    d.ShowStartTime = 1;
    d.ShowEnd = 1;
}

/// Every day from Monday, 10:00 to 11:00.
void Daily(DateData& d) {
    Meeting(d);
    d.Repeat = 1;
    d.RepeatRate = 1;
    d.RepeatUnit = 2;
}

void Forewarn(DateData& d, int32_t span, int32_t unit) {
    d.Forewarn = 1;
    d.ForewarnSpan = span;
    d.ForewarnUnit = unit;
}

/// Creates an event the way the program does: default data, one evaluation at the creation time
/// (which sets the watermark), then the real data.
CDateEntry Create(const CDateTime& created, const Edit& edit) {
    CDateEntry entry(created);
    entry.UpdateReminders(created);
    DateData data = entry.GetData();
    edit(data);
    entry.SetData(data, created);
    return entry;
}

const CDateTime kMon10 = At(5, 10, 0);

TEST(Reminders, EvaluationCatchesUpFromTheWatermark) {
    // The program was closed from 09:00 (the watermark) to 12:00.
    const std::tuple<CDateTime, CDateTime, int, bool> rows[] = {
        {At(5, 7, 30), At(5, 8, 30), 0, false},  {At(5, 8, 0), At(5, 9, 0), 0, false},
        {At(5, 8, 0), At(5, 9, 0, 1), 0, true},  {At(5, 10, 0), At(5, 11, 0), 0, true},
        {At(5, 12, 0), At(5, 13, 0), 0, true},   {At(5, 12, 0, 1), At(5, 13, 0), 0, false},
        {At(5, 12, 15), At(5, 13, 0), 15, true}, {At(5, 12, 15, 1), At(5, 13, 0), 15, false},
    };
    for (const auto& [start, end, forewarnMinutes, due] : rows) {
        SCOPED_TRACE(Text(start) + " to " + Text(end));
        CDateEntry e = Create(At(5, 9, 0), [&](DateData& d) {
            d.StartDate = start;
            d.EndDate = end;
            if (forewarnMinutes > 0) {
                Forewarn(d, forewarnMinutes, kUnitMinutes);
            }
        });
        EXPECT_EQ(e.UpdateReminders(At(5, 12, 0)), due);
        EXPECT_EQ(Lists(e), due ? "due " + Text(start) : "");
    }
}

TEST(Reminders, StillExecutableBoundaries) {
    const auto action = [](int32_t overdue, const Edit& more = {}) {
        return [=](DateData& d) {
            Meeting(d);
            d.OverdueAction = overdue;
            d.ExecuteSpan = 2;
            d.ExecuteUnit = kUnitHours;
            if (more) {
                more(d);
            }
        };
    };
    const auto beforeNext = [](const Edit& more) {
        return [=](DateData& d) {
            Daily(d);
            Forewarn(d, 1, kUnitHours);
            d.OverdueAction = 2;
            more(d);
        };
    };
    const Edit keep = [](DateData&) {};
    const CDateTime century = CDateTime(2107, 1, 1);
    const std::tuple<const char*, Edit, CDateTime, bool> rows[] = {
        {"normal: a century later", action(0), century, true},
        {"within: at end + span", action(1), At(5, 13, 0), true},
        {"within: a second later", action(1), At(5, 13, 0, 1), false},
        {"within: unknown unit is no span", action(1, [](DateData& d) { d.ExecuteUnit = 9; }),
         At(5, 11, 0, 1), false},
        {"within: before the occurrence", action(1), At(5, 9, 0), true},
        {"never: end + 30 s", action(3), At(5, 11, 0, 30), true},
        {"never: end + 31 s", action(3), At(5, 11, 0, 31), false},
        {"never: zero-length occurrence", action(3, [](DateData& d) { d.ShowEnd = 0; }),
         At(5, 10, 0, 31), false},
        {"before next: one-off has no next", action(2), century, true},
        {"before next: next reminder not reached", beforeNext(keep), At(6, 8, 59, 59), true},
        {"before next: next reminder reached", beforeNext(keep), At(6, 9, 0), false},
        {"before next: without forewarn", beforeNext([](DateData& d) { d.Forewarn = 0; }),
         At(6, 9, 59, 59), true},
        {"before next: next one excluded by the weekday mask",
         beforeNext([](DateData& d) { d.CondWeekdays = 0x7F & ~0x02; }), At(6, 12, 0), true},
        {"unknown action executes", action(7), century, true},
    };
    for (const auto& [name, edit, at, expected] : rows) {
        CDateEntry entry = Create(At(4, 8, 0), edit);
        EXPECT_EQ(entry.IsStillExecutable(kMon10, at), expected) << name;
    }
}

TEST(Reminders, SnoozeTimes) {
    const CDateTime now = At(5, 9, 55);
    const std::optional<CDateTime> none;
    const std::optional<CDateTime> six = CDateTime(2000, 1, 1, 18, 0, 0); // only its time counts
    const std::tuple<int32_t, int32_t, int32_t, std::optional<CDateTime>, CDateTime> rows[] = {
        {1, kUnitWeeks, 0, none, At(12, 9, 55)}, // from the reminder
        {5, 4, 0, none, now},                    // unknown unit
        {1, kUnitDays, 1, none, At(4, 10, 0)},   // before the event
        {1, kUnitHours, 2, none, At(5, 9, 0)},   // any other type counts as before the event
        // A fixed time of day replaces the time of a snooze in days or weeks only.
        {1, kUnitDays, 0, six, At(6, 18, 0)},
        {1, kUnitWeeks, 1, six, CDateTime(2007, 2, 26, 18, 0, 0)},
        {0, kUnitDays, 0, six, At(5, 18, 0)}, // today, after the meeting: past its limit
        {2, kUnitHours, 0, six, At(5, 11, 55)},
        {3, kUnitMinutes, 0, six, At(5, 9, 58)},
    };
    CDateEntry entry = Create(At(4, 8, 0), Meeting);
    for (const auto& [count, unit, type, fixed, expected] : rows) {
        EXPECT_EQ(Text(entry.ComputeSnoozeTime(kMon10, count, unit, type, now, fixed)),
                  Text(expected))
            << count << " " << unit << " " << type << " " << fixed.has_value();
    }
    EXPECT_EQ(Text(entry.ComputeDefaultSnoozeTime(kMon10, now)), Text(At(5, 14, 55)));
}

using test::Random;

CDateTimeSpan Minutes(int minutes) {
    return CDateTimeSpan(int64_t{minutes} * 60);
}

/// Every kind of rule near the week of 5 March 2007, with durations shorter than the period.
void RandomRule(Random& random, DateData& d) {
    d.StartDate = At(5, 0, 0) + Minutes(random.Int(-3 * 288, 3 * 288) * 5);
    d.ShowStartTime = random.Chance(85) ? 1 : 0;
    d.ShowEnd = random.Chance(70) ? 1 : 0;
    d.Repeat = 1;
    const int kind = random.Int(0, 6);
    if (kind == 0) {
        d.Repeat = 0;
    } else if (kind <= 5) {
        const int maxRate[] = {0, 6, 3, 2, 2, 1};
        d.RepeatUnit = kind;
        d.RepeatRate = random.Int(1, maxRate[kind]);
        d.ShowStartTime = kind == 1 ? 1 : d.ShowStartTime; // all-day would outlast an hour
    } else {
        d.Repeat = 2;
        d.RepeatWeekdayCount = random.Int(0, 5);
        d.RepeatWeekday = random.Int(0, 6);
    }
    d.EndDate = d.StartDate + Minutes(random.Int(0, 50));
    d.CondWeekdays = random.Chance(70) ? 0x7F : random.Int(1, 0x7F);
    d.RepeatEnd = random.Int(0, 2);
    d.RepeatEndCount = random.Int(1, 8);
    d.RepeatEndDate = d.StartDate + Minutes(random.Int(0, 10 * 1440));
    d.Forewarn = random.Chance(60) ? 1 : 0;
    d.ForewarnSpan = random.Int(0, 90);
    d.ForewarnUnit = random.Chance(80) ? kUnitMinutes : random.Int(1, 2);
    d.OverdueAction = random.Int(0, 3);
    d.ExecuteSpan = random.Int(0, 3);
    d.ExecuteUnit = random.Int(0, 2);
    d.SnoozeType = random.Int(0, 1);
    d.SnoozeSpan = random.Int(1, 30);
    d.SnoozeUnit = kUnitMinutes;
}

void RandomEdit(Random& r, DateData& d) {
    const std::function<void()> edits[] = {
        [&] { d.Description += "x"; },
        [&] { d.Forewarn = 1 - d.Forewarn; },
        [&] { d.ForewarnSpan = r.Int(0, 120); },
        [&] { d.StartDate += Minutes(r.Int(-1, 1) * 5); },
        // An all-day occurrence would outlast an hour.
        [&] { d.ShowStartTime = d.Repeat == 1 && d.RepeatUnit == 1 ? 1 : 1 - d.ShowStartTime; },
        [&] { d.CondWeekdays = r.Int(1, 0x7F); },
        [&] { d.RepeatRate = r.Int(1, 3); },
        [&] {
            d.RepeatEnd = r.Int(0, 2);
            d.RepeatEndCount = r.Int(1, 8);
        },
        [&] { d.OverdueAction = r.Int(0, 3); },
        [&] {
            d.RepeatWeekdayCount = r.Int(0, 5);
            d.RepeatWeekday = r.Int(0, 6);
        },
        [&] { d.RepeatUnit = r.Int(2, 5); }, // hours could be shorter than an occurrence
        [&] { d.EndDate = d.StartDate + Minutes(r.Int(0, 50)); },
    };
    edits[r.Int(0, static_cast<int>(std::size(edits)) - 1)]();
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

void ExpectInvariants(const CDateEntry& e) {
    const Dates* lists[] = {&e.GetDueOccurrences(), &e.GetSnoozedOccurrences(),
                            &e.GetAcknowledgedOccurrences(), &e.GetDroppedOccurrences()};
    ASSERT_EQ(lists[1]->size(), e.GetSnoozeTimes().size()) << "parallel snooze lists";
    // No occurrence twice in a list, nor in two lists.
    Dates all;
    for (const Dates* list : lists) {
        all.insert(all.end(), list->begin(), list->end());
    }
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << Lists(e);
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
    const CDateTime limit =
        now + (d.Forewarn != 0 ? MakeSpan(d.ForewarnSpan, d.ForewarnUnit) : CDateTimeSpan());
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
        EXPECT_EQ(Lists(after), "");
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
        CDateTime now = At(2, 0, 0) + Minutes(random.Int(0, 6 * 1440));
        CDateEntry entry = Create(now, [&](DateData& d) { RandomRule(random, d); });
        for (int step = 0; step < 120; ++step) {
            now += random.Chance(4)
                       ? Minutes(-random.Int(1, 120))
                       : Minutes(random.Int(0, 240)) + CDateTimeSpan(random.Int(0, 59));
            Dates targets = Scan(entry, now - Minutes(1440), now + Minutes(2880));
            for (const Dates* list :
                 {&entry.GetDueOccurrences(), &entry.GetSnoozedOccurrences(),
                  &entry.GetAcknowledgedOccurrences(), &entry.GetDroppedOccurrences()}) {
                targets.insert(targets.end(), list->begin(), list->end());
            }
            targets.push_back(now + Minutes(random.Int(-600, 600)));
            const CDateTime target = random.Pick(targets);
            const bool dropped = entry.IsDropped(target);
            const CDateEntry before = entry;
            const int action = random.Int(0, 99);
            SCOPED_TRACE("event " + std::to_string(event) + " step " + std::to_string(step) +
                         " action " + std::to_string(action) + " on " + Text(target) + " at " +
                         Text(now));
            if (action < 40) {
                const bool changed = entry.UpdateReminders(now);
                ExpectEvaluated(before, entry, now, changed);
            } else if (action < 55) {
                const CDateTime until = action < 50 ? now + Minutes(random.Int(-30, 600))
                                                    : entry.ComputeDefaultSnoozeTime(target, now);
                if (action < 50) {
                    entry.Snooze(target, until);
                } else {
                    entry.SnoozeDefault(target, now);
                }
                CDateTime time;
                EXPECT_TRUE(dropped || (entry.GetSnoozeTime(target, time) && time == until) ||
                            entry.IsDone(target));
                EXPECT_EQ(entry.IsSnoozed(target), !dropped && !entry.IsDone(target));
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
