// The document's part of the alarm tick: current time and day change, reminder evaluation and the
// pending counters, the clean-up of old done to-dos, the to-dos' reference time and due flag.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/Clock.h"
#include "core/TimeUnits.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentTestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace dv {
namespace {

using test::MakeTodo;
using test::RecordingObserver;

/// A time in the week of Monday 5 March 2007.
CDateTime At(int day, int hour, int minute, int second = 0) {
    return CDateTime(2007, 3, day, hour, minute, second);
}

/// An event made the way the program makes one at `created` (its reminders evaluated then), on
/// Monday 10:00 to 11:00, edited by `edit`.
std::unique_ptr<CDateEntry> MakeReminderEvent(const CDateTime& created,
                                              const std::function<void(DateData&)>& edit) {
    auto entry = std::make_unique<CDateEntry>(created);
    entry->UpdateReminders(created);
    DateData data = entry->GetData();
    data.StartDate = At(5, 10, 0);
    data.EndDate = At(5, 11, 0);
    data.ShowStartTime = 1;
    data.ShowEnd = 1;
    edit(data);
    entry->SetData(data, created);
    return entry;
}

void Forewarn(DateData& d, bool silent) {
    d.Forewarn = 1;
    d.ForewarnSpan = 15;
    d.ForewarnUnit = kUnitMinutes;
    d.ForewarnSilent = silent ? 1 : 0;
}

/// A document whose clock started at `start`.
std::unique_ptr<CDayvaultDoc> MakeDoc(const CDateTime& start) {
    CScopedClock clock(std::make_shared<CFixedClock>(start));
    return std::make_unique<CDayvaultDoc>();
}

TEST(CheckDatesTest, DayChangeIsToldWithTheOldTimeAndEveryTickEndsWithTheNewTime) {
    auto doc = MakeDoc(At(5, 23, 59, 0));
    RecordingObserver views(*doc);

    doc->CheckDates(At(5, 23, 59, 30), false, 0);
    EXPECT_EQ(doc->GetNow(), At(5, 23, 59, 30));
    EXPECT_EQ(std::get<CDateTime>(views.FirstObject(UpdateHint::TimeUpdated)), At(5, 23, 59, 30));
    doc->CheckDates(At(6, 0, 0, 10), false, 0);
    EXPECT_EQ(std::get<CDateTime>(views.FirstObject(UpdateHint::DayChanged)), At(5, 23, 59, 30));
    views.Clear();
    doc->CheckDates(At(5, 12, 0, 0), false, 0); // the clock went back a day
    EXPECT_EQ(std::get<CDateTime>(views.FirstObject(UpdateHint::DayChanged)), At(6, 0, 0, 10));
    doc->CheckDates(At(5, 0, 0, 0), false, 0); // same day, earlier time
    EXPECT_EQ(views.Hints(), (std::vector<int>{2, 3, 3}));
}

TEST(CheckDatesTest, PendingCountersSeparateSilentRemindersAndSkipEventsWithoutForewarn) {
    const CDateTime created = At(4, 12, 0);
    auto doc = MakeDoc(created);
    doc->AddDateEntry(MakeReminderEvent(created, [](DateData& d) { Forewarn(d, false); }), 0);
    doc->AddDateEntry(MakeReminderEvent(created, [](DateData& d) { Forewarn(d, true); }), 0);
    // Daily, silent: by Wednesday three occurrences wait.
    doc->AddDateEntry(MakeReminderEvent(created,
                                        [](DateData& d) {
                                            Forewarn(d, true);
                                            d.Repeat = 1;
                                            d.RepeatRate = 1;
                                            d.RepeatUnit = 2;
                                        }),
                      0);
    // No reminder message: due for its action, but no reminder is pending.
    doc->AddDateEntry(MakeReminderEvent(created, [](DateData&) {}), 0);
    // Suspended (someone works on it): neither evaluated nor counted.
    doc->AddDateEntry(MakeReminderEvent(created, [](DateData& d) { Forewarn(d, false); }), 0);
    CDateEntry* suspended = doc->GetDateEntry(4);
    suspended->SetSuspended(true);
    RecordingObserver views(*doc);

    doc->CheckDates(At(5, 9, 40), false, 0);
    EXPECT_EQ(doc->GetPendingReminderCount() + doc->GetPendingSilentReminderCount(), 0);
    EXPECT_EQ(views.Count(UpdateHint::EventChanged), 0);
    doc->CheckDates(At(5, 9, 50), false, 0);
    EXPECT_EQ(doc->GetPendingReminderCount(), 1);
    EXPECT_EQ(doc->GetPendingSilentReminderCount(), 2);
    EXPECT_EQ(views.Count(UpdateHint::EventChanged), 3);
    EXPECT_EQ(doc->GetDateEntry(3)->GetDueCount() + suspended->GetDueCount(), 0);

    // Once free again, the next tick catches up from the event's own last evaluation.
    suspended->SetSuspended(false);
    doc->CheckDates(At(5, 10, 0), false, 0);
    EXPECT_EQ(doc->GetDateEntry(3)->GetDueCount(), 1);
    EXPECT_EQ(suspended->GetDueCount(), 1);
    EXPECT_EQ(doc->GetPendingReminderCount(), 2) << "the event without Forewarn is not counted";
    EXPECT_EQ(views.Count(UpdateHint::EventChanged), 5) << "only the events that changed";
    doc->CheckDates(At(7, 9, 50), false, 0);
    EXPECT_EQ(doc->GetPendingSilentReminderCount(), 4) << "1 + the daily event's 3";

    // The counters start from 0 at every tick; a suspended event with due reminders is left out.
    suspended->SetSuspended(true);
    doc->GetDateEntry(0)->SetDone(At(5, 10, 0), true);
    doc->GetDateEntry(2)->SetDone(At(5, 10, 0), true);
    doc->CheckDates(At(7, 9, 51), false, 0);
    EXPECT_EQ(doc->GetPendingReminderCount(), 0);
    EXPECT_EQ(doc->GetPendingSilentReminderCount(), 3);
}

struct CleanupRow {
    const char* name;
    std::function<void(CTodoEntry&)> edit;
    bool deleteDoneTodo;
    bool deleted;
};

TEST(CheckDatesTest, OldDoneLocalTodosAreDeletedOnlyWhenEveryConditionHolds) {
    // Now Tuesday 20 March 12:00, 7 days: the limit is Tuesday 13 March 12:00.
    const CDateTime now(2007, 3, 20, 12, 0, 0);
    const CDateTime limit(2007, 3, 13, 12, 0, 0);
    const auto deadline = [](CTodoEntry& t, const CDateTime& when, bool withTime) {
        TodoData d = t.GetData();
        d.Deadline = when;
        d.ShowDeadlineTime = withTime ? 1 : 0;
        t.SetData(d);
    };
    const auto storage = [](CTodoEntry& t, int32_t type) {
        TodoData d = t.GetData();
        d.StorageType = type;
        t.SetData(d);
    };
    const CleanupRow rows[] = {
        {"allConditionsHold", [](CTodoEntry&) {}, true, true},
        {"switchedOff", [](CTodoEntry&) {}, false, false},
        {"shared", [&](CTodoEntry& t) { storage(t, 1); }, true, false},
        {"notDone", [](CTodoEntry& t) { t.SetDone(false); }, true, false},
        {"noDeadline",
         [](CTodoEntry& t) { t = test::WithData(t, [](TodoData& d) { d.ShowDeadline = 0; }); },
         true, false},
        {"inEditor", [](CTodoEntry& t) { t.SetInEditor(true); }, true, false},
        {"deadlineAtTheLimit", [&](CTodoEntry& t) { deadline(t, limit, true); }, true, false},
        {"deadlineOneSecondBeforeTheLimit",
         [&](CTodoEntry& t) { deadline(t, limit - CDateTimeSpan(1), true); }, true, true},
        {"timedDeadlineAfterTheLimit",
         [&](CTodoEntry& t) { deadline(t, CDateTime(2007, 3, 13, 23, 0, 0), true); }, true, false},
        {"dateOnlyDeadlineCountsFromMidnight",
         [&](CTodoEntry& t) { deadline(t, CDateTime(2007, 3, 13, 23, 0, 0), false); }, true, true},
    };
    for (const CleanupRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto doc = MakeDoc(now - CDateTimeSpan(60));
        doc->AddTodoEntry(MakeTodo("Keep", "kept"), kEditInteractive);
        auto candidate = MakeTodo("Old", "candidate");
        deadline(*candidate, limit - CDateTimeSpan(1, 0, 0, 0), true);
        candidate->SetDone(true);
        row.edit(*candidate);
        CTodoEntry* raw = candidate.get();
        doc->AddTodoEntry(std::move(candidate), kEditInteractive);
        const int historyCount = doc->GetTodoHistory().GetCount();
        RecordingObserver views(*doc);

        doc->CheckDates(now, row.deleteDoneTodo, 7);
        if (row.deleted) {
            ASSERT_EQ(doc->GetTodoCount(), 1);
            EXPECT_EQ(doc->GetTodoEntry(0)->GetData().Description, "kept");
            EXPECT_EQ(views.Count(UpdateHint::TodoDeleted), 1);
            EXPECT_EQ(std::get<EntryIdentity>(views.FirstObject(UpdateHint::TodoDeleted)),
                      EntryIdentity::Of(raw));
            EXPECT_EQ(views.Count(UpdateHint::GroupsChanged), 1);
            EXPECT_EQ(doc->GetGroups().count("Old"), 0U);
            EXPECT_EQ(doc->GetTodoHistory().GetCount(), historyCount) << "no undo step";
            EXPECT_TRUE(doc->GetChangeList().empty());
        } else {
            EXPECT_EQ(doc->GetTodoCount(), 2);
            EXPECT_EQ(views.Count(UpdateHint::TodoDeleted), 0);
            EXPECT_EQ(views.Count(UpdateHint::GroupsChanged), 0);
        }
    }
}

TEST(CheckDatesTest, TodosGetTheTimeAndRaiseTheDueFlag) {
    // Deadline Saturday 10 March, forewarned 3 days: urgent from Wednesday 7 March 00:00,
    // overdue from Saturday 00:00.
    auto doc = MakeDoc(At(5, 12, 0));
    doc->AddTodoEntry(MakeTodo("G", "open"), 0);
    auto done = MakeTodo("G", "done");
    done->SetDone(true);
    doc->AddTodoEntry(std::move(done), 0);
    CTodoEntry* open = doc->GetTodoEntry(0);
    RecordingObserver views(*doc);

    doc->CheckDates(At(6, 23, 59, 59), false, 0);
    EXPECT_FALSE(doc->HasDueTodo());
    EXPECT_EQ(views.Count(UpdateHint::TodoChanged), 0);
    EXPECT_EQ(open->GetCurrentTime(), At(6, 23, 59, 59));
    EXPECT_EQ(doc->GetTodoEntry(1)->GetCurrentTime(), At(6, 23, 59, 59)) << "done ones too";

    doc->CheckDates(At(7, 0, 0, 0), false, 0);
    EXPECT_TRUE(doc->HasDueTodo());
    EXPECT_EQ(views.Count(UpdateHint::TodoChanged), 1);
    EXPECT_EQ(std::get<CTodoEntry*>(views.FirstObject(UpdateHint::TodoChanged)), open);

    doc->CheckDates(At(8, 12, 0, 0), false, 0);
    EXPECT_EQ(views.Count(UpdateHint::TodoChanged), 1) << "still urgent: no change";

    doc->CheckDates(At(10, 0, 0, 0), false, 0);
    EXPECT_EQ(views.Count(UpdateHint::TodoChanged), 2) << "now overdue";
    EXPECT_TRUE(doc->HasDueTodo());

    // The tick itself only raises the flag; a clean-up that deletes a to-do recomputes it (with
    // -10 days the limit is 15 March, after the done to-do's deadline).
    doc->CheckDates(At(5, 0, 0, 0), false, 0);
    EXPECT_FALSE(open->IsUrgent());
    EXPECT_EQ(views.Count(UpdateHint::TodoChanged), 3);
    EXPECT_TRUE(doc->HasDueTodo());
    doc->CheckDates(At(5, 0, 0, 0), true, -10);
    EXPECT_EQ(doc->GetTodoCount(), 1);
    EXPECT_FALSE(doc->HasDueTodo());
}

TEST(CheckDatesTest, OneTickSendsItsHintsInOrder) {
    const CDateTime created = At(4, 12, 0);
    auto doc = MakeDoc(created);
    doc->AddDateEntry(MakeReminderEvent(created, [](DateData& d) { Forewarn(d, false); }),
                      kEditInteractive);
    auto old = MakeTodo("Old", "old");
    old->SetDone(true);
    doc->AddTodoEntry(std::move(old), kEditInteractive);
    doc->AddTodoEntry(MakeTodo("Open", "open"), kEditInteractive);
    RecordingObserver views(*doc);

    // Wednesday 7 March 9:50: a new day; Monday's reminder is due; with -5 days the limit is
    // 12 March, after the done to-do's deadline (10 March); the open to-do turns urgent.
    doc->CheckDates(At(7, 9, 50), true, -5);
    EXPECT_EQ(views.Hints(), (std::vector<int>{2, 6, 11, 14, 12, 3}));
}

} // namespace
} // namespace dv
