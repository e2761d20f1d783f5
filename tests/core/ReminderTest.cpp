// Reminder state of events: timelines of evaluations and user actions with the expected lists
// after every step.

#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/CDateEntry.h"
#include "core/ReminderTestSupport.h"
#include "core/TimeUnits.h"
#include "support/Occurrences.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dv {
namespace {

using namespace reminder_test;
using Snoozes = std::vector<std::pair<CDateTime, CDateTime>>;

// ---- timelines ----------------------------------------------------------------------------------

struct State {
    Dates due;
    Snoozes snoozed; ///< occurrence and snooze time
    Dates acknowledged;
    Dates dropped;
};

void ExpectState(const CDateEntry& entry, const State& expected) {
    Dates occurrences;
    Dates times;
    for (const auto& [occurrence, until] : expected.snoozed) {
        occurrences.push_back(occurrence);
        times.push_back(until);
    }
    EXPECT_EQ(Texts(entry.GetDueOccurrences()), Texts(expected.due)) << "due";
    EXPECT_EQ(Texts(entry.GetSnoozedOccurrences()), Texts(occurrences)) << "snoozed";
    EXPECT_EQ(Texts(entry.GetSnoozeTimes()), Texts(times)) << "snooze times";
    EXPECT_EQ(Texts(entry.GetAcknowledgedOccurrences()), Texts(expected.acknowledged))
        << "acknowledged";
    EXPECT_EQ(Texts(entry.GetDroppedOccurrences()), Texts(expected.dropped)) << "dropped";
}

enum class Act { Evaluate, SnoozeUntil, SnoozeDefault, Done, Reopen, Drop, Change };

struct Step {
    std::string name;
    CDateTime at; ///< the time of the step: "now"
    Act act = Act::Evaluate;
    CDateTime occurrence;
    CDateTime until;
    Edit edit;
    std::optional<bool> changed; ///< the result of an evaluation
    State expect;
};

Step Evaluate(std::string name, CDateTime at, bool changed, State expect) {
    return {std::move(name), at, Act::Evaluate, {}, {}, {}, changed, std::move(expect)};
}
Step SnoozeUntil(std::string name, CDateTime at, CDateTime occurrence, CDateTime until,
                 State expect) {
    return {std::move(name), at, Act::SnoozeUntil, occurrence, until, {}, {}, std::move(expect)};
}
Step SnoozeDefault(std::string name, CDateTime at, CDateTime occurrence, State expect) {
    return {std::move(name), at, Act::SnoozeDefault, occurrence, {}, {}, {}, std::move(expect)};
}
Step Done(std::string name, CDateTime at, CDateTime occurrence, State expect) {
    return {std::move(name), at, Act::Done, occurrence, {}, {}, {}, std::move(expect)};
}
Step Reopen(std::string name, CDateTime at, CDateTime occurrence, State expect) {
    return {std::move(name), at, Act::Reopen, occurrence, {}, {}, {}, std::move(expect)};
}
Step Drop(std::string name, CDateTime at, CDateTime occurrence, State expect) {
    return {std::move(name), at, Act::Drop, occurrence, {}, {}, {}, std::move(expect)};
}
Step Change(std::string name, CDateTime at, Edit edit, State expect) {
    return {std::move(name), at, Act::Change, {}, {}, std::move(edit), {}, std::move(expect)};
}

void Play(CDateEntry& entry, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name + " at " + Text(step.at));
        switch (step.act) {
        case Act::Evaluate: {
            const bool changed = entry.UpdateReminders(step.at);
            EXPECT_EQ(changed, step.changed.value()) << "result of the evaluation";
            EXPECT_EQ(entry.GetLastCheck(), step.at) << "watermark";
            break;
        }
        case Act::SnoozeUntil:
            entry.Snooze(step.occurrence, step.until);
            break;
        case Act::SnoozeDefault:
            entry.SnoozeDefault(step.occurrence, step.at);
            break;
        case Act::Done:
            entry.SetDone(step.occurrence, true);
            break;
        case Act::Reopen:
            entry.SetDone(step.occurrence, false);
            break;
        case Act::Drop:
            entry.DropOccurrence(step.occurrence);
            break;
        case Act::Change: {
            DateData data = entry.GetData();
            step.edit(data);
            entry.SetData(data, step.at);
            break;
        }
        }
        ExpectState(entry, step.expect);
    }
}

const CDateTime kMon10 = At(5, 10, 0);
const CDateTime kTue10 = At(6, 10, 0);
const CDateTime kWed10 = At(7, 10, 0);
const CDateTime kThu10 = At(8, 10, 0);

// ---- evaluation ---------------------------------------------------------------------------------

TEST(Reminders, ForewarningRaisesTheReminderAtStartMinusSpan) {
    CDateEntry entry = Create(At(5, 8, 0), [](DateData& d) {
        Meeting(d);
        Forewarn(d, 15, kUnitMinutes);
    });
    Play(entry,
         {
             Evaluate("a second before the forewarning", At(5, 9, 44, 59), false, {}),
             Evaluate("forewarning reached", At(5, 9, 45), true, {{kMon10}, {}, {}, {}}),
             Evaluate("no second entry", At(5, 9, 50), false, {{kMon10}, {}, {}, {}}),
             Done("acknowledged before the end", At(5, 9, 55), kMon10, {{}, {}, {kMon10}, {}}),
             Evaluate("acknowledged stays acknowledged", At(5, 10, 30), false,
                      {{}, {}, {kMon10}, {}}),
             Evaluate("watermark reaches the end", At(5, 11, 0), false, {{}, {}, {kMon10}, {}}),
             Evaluate("watermark past the end", At(5, 11, 0, 1), false, {}),
             Reopen("re-open done by watermark", At(5, 11, 5), kMon10, {{kMon10}, {}, {}, {}}),
             Evaluate("re-opened stays due once", At(5, 12, 0), false, {{kMon10}, {}, {}, {}}),
         });
}

TEST(Reminders, EvaluationCatchesUpFromTheWatermark) {
    // The program was closed from 09:00 (the watermark) to 12:00.
    struct Row {
        const char* name;
        CDateTime start, end;
        bool due;
    };
    const Row rows[] = {
        {"ended before the watermark", At(5, 7, 30), At(5, 8, 30), false},
        {"ends exactly at the watermark", At(5, 8, 0), At(5, 9, 0), false},
        {"ends a second after the watermark", At(5, 8, 0), At(5, 9, 0, 1), true},
        {"wholly inside the closed time", At(5, 10, 0), At(5, 11, 0), true},
        {"starts at the evaluation", At(5, 12, 0), At(5, 13, 0), true},
        {"starts a second after the evaluation", At(5, 12, 0, 1), At(5, 13, 0), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateEntry entry = Create(At(5, 9, 0), [&](DateData& d) {
            d.StartDate = row.start;
            d.EndDate = row.end;
        });
        EXPECT_EQ(entry.GetLastCheck(), At(5, 9, 0));
        EXPECT_EQ(entry.UpdateReminders(At(5, 12, 0)), row.due);
        EXPECT_EQ(Texts(entry.GetDueOccurrences()), Texts(row.due ? Dates{row.start} : Dates{}));
    }
}

TEST(Reminders, OverdueActions) {
    {
        SCOPED_TRACE("do not execute: 30 seconds of grace after the end");
        CDateEntry entry = Create(At(5, 8, 0), [](DateData& d) {
            Meeting(d);
            d.OverdueAction = 3;
        });
        Play(entry, {
                        Evaluate("due", At(5, 10, 0), true, {{kMon10}, {}, {}, {}}),
                        Evaluate("end plus 30 s", At(5, 11, 0, 30), false, {{kMon10}, {}, {}, {}}),
                        Evaluate("end plus 31 s: done by watermark", At(5, 11, 0, 31), true, {}),
                    });
        EXPECT_TRUE(entry.IsDone(kMon10));
    }
    {
        SCOPED_TRACE("do not execute, first evaluation long after the end");
        CDateEntry entry = Create(At(5, 8, 0), [](DateData& d) {
            Meeting(d);
            d.OverdueAction = 3;
        });
        Play(entry,
             {
                 Evaluate("due", At(5, 10, 0), true, {{kMon10}, {}, {}, {}}),
                 Evaluate("end after the old watermark: acknowledged", At(5, 11, 30), true,
                          {{}, {}, {kMon10}, {}}),
                 Evaluate("watermark passed: acknowledgement dropped", At(5, 11, 31), false, {}),
             });
        EXPECT_TRUE(entry.IsDone(kMon10));
    }
    {
        SCOPED_TRACE("snoozing beyond the execute limit acknowledges");
        CDateEntry entry = Create(At(5, 8, 0), [](DateData& d) {
            Meeting(d);
            d.OverdueAction = 1;
            d.ExecuteSpan = 2;
            d.ExecuteUnit = kUnitHours;
        });
        EXPECT_TRUE(entry.IsStillExecutable(kMon10, At(5, 13, 0)));
        EXPECT_FALSE(entry.IsStillExecutable(kMon10, At(5, 13, 30)));
        Play(entry, {
                        Evaluate("due", At(5, 10, 0), true, {{kMon10}, {}, {}, {}}),
                        SnoozeUntil("to the limit", At(5, 10, 20), kMon10, At(5, 13, 0),
                                    {{}, {{kMon10, At(5, 13, 0)}}, {}, {}}),
                        SnoozeUntil("beyond the limit", At(5, 10, 30), kMon10, At(5, 13, 30),
                                    {{}, {}, {kMon10}, {}}),
                        Evaluate("acknowledgement kept until the watermark passes", At(5, 14, 0),
                                 false, {{}, {}, {kMon10}, {}}),
                        Evaluate("nothing comes back", At(5, 14, 1), false, {}),
                    });
    }
    {
        SCOPED_TRACE("a stricter overdue rule also ends snoozed reminders");
        CDateEntry entry = Create(At(5, 8, 0), Meeting);
        const CDateTime tomorrow = At(6, 12, 0);
        Play(entry,
             {
                 Evaluate("due", At(5, 10, 0), true, {{kMon10}, {}, {}, {}}),
                 SnoozeUntil("until tomorrow", At(5, 10, 1), kMon10, tomorrow,
                             {{}, {{kMon10, tomorrow}}, {}, {}}),
                 Change("do not execute", At(5, 10, 2), [](DateData& d) { d.OverdueAction = 3; },
                        {{}, {{kMon10, tomorrow}}, {}, {}}),
                 Evaluate("end plus 30 s", At(5, 11, 0, 30), false,
                          {{}, {{kMon10, tomorrow}}, {}, {}}),
                 Evaluate("end plus 31 s: done by watermark", At(5, 11, 0, 31), true, {}),
             });
    }
}

TEST(Reminders, StillExecutableBoundaries) {
    struct Row {
        const char* name;
        Edit edit;
        CDateTime occurrence, at;
        bool expected;
    };
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
    const Edit dailyBeforeNext = [](DateData& d) {
        Daily(d);
        Forewarn(d, 1, kUnitHours);
        d.OverdueAction = 2;
    };
    const Row rows[] = {
        {"normal: a century later", action(0), kMon10, CDateTime(2107, 1, 1), true},
        {"within: at end + span", action(1), kMon10, At(5, 13, 0), true},
        {"within: a second later", action(1), kMon10, At(5, 13, 0, 1), false},
        {"within: unknown unit is no span, a second after the end",
         action(1, [](DateData& d) { d.ExecuteUnit = 9; }), kMon10, At(5, 11, 0, 1), false},
        {"within: time before the occurrence", action(1), kMon10, At(5, 9, 0), true},
        {"never: end + 30 s", action(3), kMon10, At(5, 11, 0, 30), true},
        {"never: end + 31 s", action(3), kMon10, At(5, 11, 0, 31), false},
        {"never: zero-length occurrence", action(3, [](DateData& d) { d.ShowEnd = 0; }), kMon10,
         At(5, 10, 0, 31), false},
        {"before next: one-off has no next", action(2), kMon10, CDateTime(2107, 1, 1), true},
        {"before next: next reminder not reached", dailyBeforeNext, kMon10, At(6, 8, 59, 59), true},
        {"before next: next reminder reached", dailyBeforeNext, kMon10, At(6, 9, 0), false},
        {"before next: without forewarn, a second before",
         [](DateData& d) {
             Daily(d);
             Forewarn(d, 1, kUnitHours);
             d.Forewarn = 0;
             d.OverdueAction = 2;
         },
         kMon10, At(6, 9, 59, 59), true},
        {"before next: next one excluded by the weekday mask",
         [](DateData& d) {
             Daily(d);
             d.OverdueAction = 2;
             d.CondWeekdays = 0x7F & ~0x02; // no Tuesdays
         },
         kMon10, At(6, 12, 0), true},
        {"unknown action executes", action(7), kMon10, CDateTime(2107, 1, 1), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateEntry entry = Create(At(4, 8, 0), row.edit);
        EXPECT_EQ(entry.IsStillExecutable(row.occurrence, row.at), row.expected);
    }
}

// ---- snoozing -----------------------------------------------------------------------------------

TEST(Reminders, SnoozeTimes) {
    struct Row {
        const char* name;
        int32_t count, unit, type;
        CDateTime expected;
    };
    const CDateTime now = At(5, 9, 55);
    const Row rows[] = {
        {"from reminder, weeks", 1, kUnitWeeks, 0, At(12, 9, 55)},
        {"from reminder, unknown unit", 5, 4, 0, now},
        {"before event, days", 1, kUnitDays, 1, At(4, 10, 0)},
        {"any other type counts as before event", 1, kUnitHours, 2, At(5, 9, 0)},
    };
    CDateEntry entry = Create(At(4, 8, 0), Meeting);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Text(entry.ComputeSnoozeTime(kMon10, row.count, row.unit, row.type, now)),
                  Text(row.expected));
    }
    // The event's own settings: 5 hours from the reminder by default.
    EXPECT_EQ(Text(entry.ComputeDefaultSnoozeTime(kMon10, now)), Text(At(5, 14, 55)));
}

TEST(Reminders, SnoozeBeforeEventAndSnoozeTimeInThePast) {
    CDateEntry entry = Create(At(5, 8, 0), [](DateData& d) {
        Meeting(d);
        Forewarn(d, 30, kUnitMinutes);
        d.SnoozeType = 1;
        d.SnoozeSpan = 10;
        d.SnoozeUnit = kUnitMinutes;
    });
    const CDateTime until = At(5, 9, 50);
    Play(entry,
         {
             Evaluate("due", At(5, 9, 30), true, {{kMon10}, {}, {}, {}}),
             SnoozeDefault("until 10 minutes before", At(5, 9, 35), kMon10,
                           {{}, {{kMon10, until}}, {}, {}}),
             Evaluate("a second before", At(5, 9, 49, 59), false, {{}, {{kMon10, until}}, {}, {}}),
             Evaluate("snooze time reached", At(5, 9, 50), true, {{kMon10}, {}, {}, {}}),
             SnoozeDefault("snooze time already past", At(5, 9, 55), kMon10,
                           {{}, {{kMon10, until}}, {}, {}}),
             Evaluate("due again at once", At(5, 9, 55, 1), true, {{kMon10}, {}, {}, {}}),
             Done("acknowledged", At(5, 9, 56), kMon10, {{}, {}, {kMon10}, {}}),
             SnoozeUntil("snoozing an acknowledged one", At(5, 9, 57), kMon10, At(5, 10, 30),
                         {{}, {{kMon10, At(5, 10, 30)}}, {}, {}}),
             SnoozeUntil("snoozing again replaces the time", At(5, 9, 58), kMon10, At(5, 10, 40),
                         {{}, {{kMon10, At(5, 10, 40)}}, {}, {}}),
             Done("acknowledging a snoozed one", At(5, 9, 59), kMon10, {{}, {}, {kMon10}, {}}),
         });
    CDateTime time;
    EXPECT_FALSE(entry.GetSnoozeTime(kMon10, time));
}

TEST(Reminders, SnoozeListsExpireInTheirOwnOrder) {
    CDateEntry entry = Create(At(4, 9, 0), [](DateData& d) {
        Daily(d);
        Forewarn(d, 2, kUnitDays);
    });
    Play(entry,
         {
             Evaluate("three due", At(5, 10, 0), true, {{kMon10, kTue10, kWed10}, {}, {}, {}}),
             SnoozeUntil("Monday late", At(5, 10, 1), kMon10, At(5, 12, 0),
                         {{kTue10, kWed10}, {{kMon10, At(5, 12, 0)}}, {}, {}}),
             SnoozeUntil("Tuesday early", At(5, 10, 2), kTue10, At(5, 11, 0),
                         {{kWed10}, {{kMon10, At(5, 12, 0)}, {kTue10, At(5, 11, 0)}}, {}, {}}),
             SnoozeUntil("Wednesday late", At(5, 10, 3), kWed10, At(5, 12, 0),
                         {{},
                          {{kMon10, At(5, 12, 0)}, {kTue10, At(5, 11, 0)}, {kWed10, At(5, 12, 0)}},
                          {},
                          {}}),
             Evaluate("only Tuesday expires", At(5, 11, 0), true,
                      {{kTue10}, {{kMon10, At(5, 12, 0)}, {kWed10, At(5, 12, 0)}}, {}, {}}),
             Evaluate("the rest in list order", At(5, 12, 0), true,
                      {{kTue10, kMon10, kWed10}, {}, {}, {}}),
         });
    CDateTime time;
    EXPECT_FALSE(entry.IsSnoozed(kMon10));
    EXPECT_FALSE(entry.GetSnoozeTime(kMon10, time));
}

// ---- editing ------------------------------------------------------------------------------------

TEST(Reminders, EditsAndTheState) {
    // Before every edit: Monday acknowledged, Tuesday snoozed, Wednesday due, Thursday deleted.
    const CDateTime late = At(5, 23, 0);
    const State full{{kWed10}, {{kTue10, late}}, {kMon10}, {kThu10}};
    const State empty{};
    struct Row {
        const char* name;
        Edit edit;
        State expect;
    };
    const Row rows[] = {
        {"notes, category, sound and action",
         [](DateData& d) {
             d.Notes = "x";
             d.Category = "Work";
             d.Sound = 1;
             d.Action = 2;
             d.CmdLine = "run";
         },
         full},
        {"longer duration", [](DateData& d) { d.EndDate = At(5, 12, 0); }, full},
        {"weekday ordinal of an interval rule", [](DateData& d) { d.RepeatWeekdayCount = 3; },
         full},
        {"start time by a minute", [](DateData& d) { d.StartDate = At(5, 10, 1); }, empty},
        {"becomes all-day", [](DateData& d) { d.ShowStartTime = 0; }, empty},
        {"repetition kind", [](DateData& d) { d.Repeat = 2; }, empty},
        {"repetition unit", [](DateData& d) { d.RepeatUnit = 3; }, empty},
        {"no Tuesdays any more",
         [](DateData& d) { d.CondWeekdays = 0x7F & ~0x02; },
         {{kWed10}, {}, {kMon10}, {kThu10}}},
        {"no Thursdays: the deletion names nothing",
         [](DateData& d) { d.CondWeekdays = 0x7F & ~0x08; },
         {{kWed10}, {{kTue10, late}}, {kMon10}, {}}},
        {"ends on Tuesday",
         [](DateData& d) {
             d.RepeatEnd = 2;
             d.RepeatEndDate = kTue10;
         },
         {{}, {{kTue10, late}}, {kMon10}, {}}},
        {"two occurrences",
         [](DateData& d) {
             d.RepeatEnd = 1;
             d.RepeatEndCount = 2;
         },
         {{}, {{kTue10, late}}, {kMon10}, {}}},
        {"forewarn off: the future snooze is forgotten",
         [](DateData& d) { d.Forewarn = 0; },
         {{kWed10}, {}, {kMon10}, {kThu10}}},
        {"forewarn 1 hour",
         [](DateData& d) { Forewarn(d, 1, kUnitHours); },
         {{}, {}, {kMon10}, {kThu10}}},
        {"the same forewarning in other words", [](DateData& d) { Forewarn(d, 48, kUnitHours); },
         full},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateEntry entry = Create(At(4, 9, 0), [](DateData& d) {
            Daily(d);
            Forewarn(d, 2, kUnitDays);
        });
        Play(entry,
             {
                 Evaluate("due", At(5, 10, 30), true, {{kMon10, kTue10, kWed10}, {}, {}, {}}),
                 Done("ack", At(5, 10, 31), kMon10, {{kTue10, kWed10}, {}, {kMon10}, {}}),
                 SnoozeUntil("snooze", At(5, 10, 32), kTue10, late,
                             {{kWed10}, {{kTue10, late}}, {kMon10}, {}}),
                 Drop("drop", At(5, 10, 33), kThu10, full),
                 Change("edit", At(5, 10, 40), row.edit, row.expect),
             });
    }
}

TEST(Reminders, WeekdayRuleEditsAndTheState) {
    // First Monday of the month: 5 March 2007, 10:00 to 11:00.
    const CDateTime april = CDateTime(2007, 4, 2, 10, 0, 0);
    struct Row {
        const char* name;
        Edit edit;
        bool cleared;
    };
    const Row rows[] = {
        {"ordinal", [](DateData& d) { d.RepeatWeekdayCount = 5; }, true},
        {"weekday", [](DateData& d) { d.RepeatWeekday = 1; }, true},
        {"interval rate of a weekday rule", [](DateData& d) { d.RepeatRate = 3; }, false},
        {"interval unit of a weekday rule", [](DateData& d) { d.RepeatUnit = 4; }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateEntry entry = Create(At(4, 9, 0), [](DateData& d) {
            Meeting(d);
            d.Repeat = 2;
            d.RepeatWeekdayCount = 0;
            d.RepeatWeekday = 0;
        });
        entry.UpdateReminders(At(5, 10, 0));
        entry.DropOccurrence(april);
        ASSERT_EQ(entry.GetDueCount(), 1);
        DateData data = entry.GetData();
        row.edit(data);
        entry.SetData(data, At(5, 10, 1));
        EXPECT_EQ(entry.GetDueCount(), row.cleared ? 0 : 1);
        EXPECT_EQ(entry.GetDroppedCount(), row.cleared ? 0 : 1);
    }
}

TEST(Reminders, PurgeKeepsDeletionsWithinACountLimit) {
    // Five days, the second and fourth deleted: the occurrences are the 1st, 3rd, 5th, 6th, 7th.
    CDateEntry entry = Create(At(4, 9, 0), [](DateData& d) {
        Daily(d);
        d.RepeatEnd = 1;
        d.RepeatEndCount = 5;
    });
    entry.DropOccurrence(kThu10);
    entry.DropOccurrence(kTue10);
    DateData data = entry.GetData();
    data.Description = "renamed";
    entry.SetData(data, At(4, 9, 1));
    EXPECT_EQ(Texts(entry.GetDroppedOccurrences()), Texts({kThu10, kTue10}));

    EXPECT_EQ(Texts(test::OccurrenceStarts(entry, At(1, 0, 0), At(31, 0, 0))),
              Texts({kMon10, kWed10, At(9, 10, 0), At(10, 10, 0), At(11, 10, 0)}));

    // With only three occurrences, Thursday would be the fourth: that deletion names nothing.
    data.RepeatEndCount = 3;
    entry.SetData(data, At(4, 9, 2));
    EXPECT_EQ(Texts(entry.GetDroppedOccurrences()), Texts({kThu10, kTue10}));
    data.RepeatEndCount = 2;
    entry.SetData(data, At(4, 9, 3));
    EXPECT_EQ(Texts(entry.GetDroppedOccurrences()), Texts({kTue10}));
}

// ---- re-open, reset, drop -----------------------------------------------------------------------

TEST(Reminders, ReopenDependsOnHowTheOccurrenceIsDone) {
    CDateEntry entry = Create(At(5, 8, 0), Meeting);
    Play(entry,
         {
             Reopen("pending: nothing to re-open", At(5, 9, 0), kMon10, {}),
             Evaluate("due", At(5, 10, 0), true, {{kMon10}, {}, {}, {}}),
             Reopen("due: nothing to re-open", At(5, 10, 1), kMon10, {{kMon10}, {}, {}, {}}),
             Done("acknowledged", At(5, 10, 5), kMon10, {{}, {}, {kMon10}, {}}),
             Reopen("acknowledged before the watermark: pending", At(5, 10, 6), kMon10, {}),
             Evaluate("raised again", At(5, 10, 10), true, {{kMon10}, {}, {}, {}}),
             Done("acknowledged again", At(5, 10, 15), kMon10, {{}, {}, {kMon10}, {}}),
             Evaluate("watermark passes the end", At(5, 11, 30), false, {{}, {}, {kMon10}, {}}),
             Reopen("acknowledged and past the watermark: due", At(5, 11, 31), kMon10,
                    {{kMon10}, {}, {}, {}}),
             Done("after the end: done by watermark", At(5, 11, 32), kMon10, {}),
             Reopen("done by watermark: due", At(5, 11, 33), kMon10, {{kMon10}, {}, {}, {}}),
         });
    EXPECT_FALSE(entry.IsDone(kMon10));
}

TEST(Reminders, DropAndRestoreForgetTheCachedLastOccurrence) {
    CDateEntry entry = Create(At(4, 9, 0), [](DateData& d) {
        Daily(d);
        d.RepeatEnd = 1;
        d.RepeatEndCount = 3;
    });
    const auto scanToTheEnd = [&] {
        return Texts(test::OccurrenceStarts(entry, At(1, 0, 0), At(20, 0, 0)));
    };
    EXPECT_EQ(scanToTheEnd(), Texts({kMon10, kTue10, kWed10}));
    ASSERT_TRUE(entry.IsLastOccurrenceKnown());
    entry.DropOccurrence(kTue10);
    EXPECT_FALSE(entry.IsLastOccurrenceKnown());
    EXPECT_EQ(scanToTheEnd(), Texts({kMon10, kWed10, kThu10}));
    ASSERT_TRUE(entry.IsLastOccurrenceKnown());
    entry.RestoreOccurrence(At(20, 10, 0)); // never deleted: only the cache goes
    EXPECT_FALSE(entry.IsLastOccurrenceKnown());
    EXPECT_EQ(Texts(entry.GetDroppedOccurrences()), Texts({kTue10}));
}

// ---- creation and duplicates --------------------------------------------------------------------

TEST(Reminders, CreationSetsTheWatermarkBeforeTheData) {
    const CDateTime created = At(5, 10, 30);
    CDateEntry entry = Create(created, [](DateData& d) {
        Daily(d);
        d.StartDate = At(1, 10, 0); // began last Thursday
        d.EndDate = At(1, 11, 0);
        Forewarn(d, 1, kUnitHours);
    });
    ExpectState(entry, {});
    EXPECT_EQ(entry.GetLastCheck(), created);
    // Today's occurrence has not ended at the creation, the earlier ones never become due.
    EXPECT_TRUE(entry.UpdateReminders(At(5, 10, 31)));
    ExpectState(entry, {{kMon10}, {}, {}, {}});
    EXPECT_TRUE(entry.UpdateReminders(At(6, 9, 0)));
    ExpectState(entry, {{kMon10, kTue10}, {}, {}, {}});

    // Without the first evaluation the watermark is unset and the whole past becomes due.
    CDateEntry skipped(created);
    DateData data = entry.GetData();
    skipped.SetData(data, created);
    EXPECT_TRUE(skipped.UpdateReminders(At(5, 10, 31)));
    EXPECT_EQ(skipped.GetDueCount(), 5);

    // An event that starts at the creation minute keeps the reminder of its first evaluation.
    CDateEntry startsNow = Create(created, [&](DateData& d) {
        d.StartDate = created;
        d.EndDate = At(5, 11, 0);
        d.Description = "now";
    });
    ExpectState(startsNow, {{created}, {}, {}, {}});
}

TEST(Reminders, DueListNeverHoldsAnOccurrenceTwice) {
    // A damaged file may list an occurrence as both due and snoozed; neither the snooze expiry nor
    // switching the forewarning off may then list it twice.
    const CDateTime spare = At(9, 10, 0);
    CDateEntry original = Create(At(4, 9, 0), [](DateData& d) {
        Daily(d);
        Forewarn(d, 5, kUnitDays);
    });
    original.UpdateReminders(At(5, 9, 0));
    for (const CDateTime& d : {kTue10, kWed10, kThu10, At(9, 10, 0)}) {
        original.DropOccurrence(d); // leaves Monday due
    }
    original.RestoreOccurrence(spare);
    original.Snooze(spare, At(5, 12, 0));
    ASSERT_EQ(Texts(original.GetDueOccurrences()), Texts({kMon10}));

    CMemorySink sink;
    {
        CArchive ar(sink);
        ar.WriteObject(&original);
        ar.Close();
    }
    std::vector<uint8_t> bytes = sink.TakeData();
    const auto pack = [](const CDateTime& t) {
        std::vector<uint8_t> out;
        for (int32_t v : {t.GetDayNumber(), t.GetSecondsOfDay()}) {
            for (int shift = 0; shift < 32; shift += 8) {
                out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> shift));
            }
        }
        return out;
    };
    const std::vector<uint8_t> from = pack(spare);
    const std::vector<uint8_t> to = pack(kMon10);
    const auto at = std::find_end(bytes.begin(), bytes.end(), from.begin(), from.end());
    ASSERT_NE(at, bytes.end());
    std::copy(to.begin(), to.end(), at);

    const auto load = [&] {
        CMemorySource source(bytes);
        CArchive ar(source);
        return ar.ReadObject<CDateEntry>();
    };
    {
        std::unique_ptr<CDateEntry> damaged = load();
        ASSERT_EQ(Texts(damaged->GetSnoozedOccurrences()), Texts({kMon10}));
        ASSERT_EQ(Texts(damaged->GetDueOccurrences()), Texts({kMon10}));
        EXPECT_TRUE(damaged->UpdateReminders(At(5, 12, 0)));
        // Monday once; Friday, no longer snoozed, and Saturday are raised by the same evaluation.
        EXPECT_EQ(Texts(damaged->GetDueOccurrences()), Texts({kMon10, spare, At(10, 10, 0)}));
        EXPECT_EQ(damaged->GetSnoozedOccurrences().size(), 0u);
    }
    {
        std::unique_ptr<CDateEntry> damaged = load();
        DateData data = damaged->GetData();
        data.Forewarn = 0;
        damaged->SetData(data, At(5, 11, 0));
        EXPECT_EQ(Texts(damaged->GetDueOccurrences()), Texts({kMon10}));
    }
}

} // namespace
} // namespace dv
