// The document's edits, option bits, hints, name sets, view state, undo and alarm tick, and the
// merge of another file's entries.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentTestSupport.h"
#include "document/EventFile.h"
#include "document/Merge.h"
#include "support/Files.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace dv {
namespace {

using test::MakeEvent;
using test::MakeTodo;
using test::RecordingObserver;
using test::WithData;
using Strings = std::vector<std::string>;

Strings Names(const NameSet& set) {
    return {set.begin(), set.end()};
}

// Each bit alone and none: every effect of an edit follows its own bit and no other. Events and
// to-dos share this code, so events stand for both.
TEST(DocumentTest, AddChangeAndDeleteFollowEachOptionBit) {
    for (const uint32_t o : {0U, 1U, 2U, 4U, 8U}) {
        SCOPED_TRACE(o);
        const int steps = (o & kEditRecordUndo) != 0 ? 1 : 0;
        const size_t listed = (o & kEditListChange) != 0 ? 1U : 0U;
        const int hints = (o & kEditSendHint) != 0 ? 1 : 0;
        const bool rebuild = (o & kEditRebuildSet) != 0;
        CDayvaultDoc doc;
        int saves = 0;
        doc.SetSaveRequestHook([&] { ++saves; });
        RecordingObserver views(doc);
        const auto expect = [&](int done, UpdateHint hint) {
            EXPECT_EQ(saves, done) << "whatever the bits, every change asks for a save";
            EXPECT_EQ(doc.GetEventHistory().GetCount(), steps * done);
            EXPECT_EQ(doc.GetChangeList().size(), listed);
            EXPECT_EQ(views.Count(hint), hints);
            doc.ClearChangeList();
        };
        doc.AddDateEntry(MakeEvent("Work", "shared", 1), o);
        CDateEntry* entry = doc.GetDateEntry(0);
        expect(1, UpdateHint::EventAdded);
        EXPECT_EQ(Names(doc.GetCategories()), rebuild ? Strings{"Work"} : Strings{});
        doc.ChangeDateEntry(entry, WithData(*entry, [](DateData& d) { d.Category = "New"; }), o);
        expect(2, UpdateHint::EventChanged);
        EXPECT_EQ(Names(doc.GetCategories()), rebuild ? Strings{"New"} : Strings{});
        doc.DeleteDateEntry(entry, o);
        expect(3, UpdateHint::EventDeleted);
        EXPECT_EQ(views.Count(UpdateHint::CategoriesChanged), rebuild ? 3 : 0);
    }
}

TEST(DocumentTest, ChangeListTakesSharedEntriesOnceInOrderOfFirstChange) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("A", "local"), kEditInteractive);
    doc.AddDateEntry(MakeEvent("A", "shared", 1), kEditInteractive);
    doc.AddTodoEntry(MakeTodo("G", "local todo"), kEditInteractive);
    CDateEntry* local = doc.GetDateEntry(0);
    CDateEntry* shared = doc.GetDateEntry(1);
    CTodoEntry* todo = doc.GetTodoEntry(0);
    const std::string sharedGuid = shared->GetGUID();
    // A local entry changed stays off the list; a shared one changed again is listed once.
    doc.ChangeDateEntry(local, WithData(*local, [](DateData& d) { d.Notes = "x"; }),
                        kEditInteractive);
    doc.ChangeDateEntry(shared, WithData(*shared, [](DateData& d) { d.Notes = "1"; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), Strings{sharedGuid});
    // Local to shared joins the list; shared to local too: the others must learn that it left.
    doc.ChangeDateEntry(local, WithData(*local, [](DateData& d) { d.StorageType = 1; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), (Strings{sharedGuid, local->GetGUID()}));
    doc.ChangeTodoEntry(todo, WithData(*todo, [](TodoData& d) { d.StorageType = 1; }), 0);
    doc.ChangeTodoEntry(todo, WithData(*todo, [](TodoData& d) { d.StorageType = 0; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList().back(), todo->GetGUID());
    doc.ClearChangeList();
    doc.DeleteDateEntry(shared, kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), Strings{sharedGuid}) << "shared deletion";
}

TEST(DocumentTest, FindByGuidIsExactAndTheFirstMatchWins) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("A", "first"), 0);
    auto twin = MakeEvent("A", "second");
    const std::string guid = doc.GetDateEntry(0)->GetGUID();
    twin->SetGUID(guid);
    doc.AddDateEntry(std::move(twin), 0);
    doc.AddTodoEntry(MakeTodo("G"), 0);
    const std::string todoGuid = doc.GetTodoEntry(0)->GetGUID();
    EXPECT_EQ(doc.FindDateEntry(guid), doc.GetDateEntry(0));
    EXPECT_EQ(doc.FindDateEntry(todoGuid), nullptr) << "events only";
    EXPECT_EQ(doc.FindTodoEntry(todoGuid), doc.GetTodoEntry(0));
    EXPECT_EQ(doc.FindTodoEntry(guid), nullptr);
    EXPECT_EQ(doc.GetDateEntry(2), nullptr);
    EXPECT_EQ(doc.GetDateEntry(-1), nullptr);
    EXPECT_EQ(doc.GetTodoEntry(1), nullptr);
}

TEST(DocumentTest, OperationsOnEntriesOutsideTheDocumentDoNothing) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("A", "mine", 1), kEditRebuildSet);
    doc.AddTodoEntry(MakeTodo("G", "mine", 1), kEditRebuildSet);
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    auto event = MakeEvent("Stray", "not in the document", 1);
    auto todo = MakeTodo("Stray", "not in the document", 1);
    const CDateTime at(2007, 3, 5, 10, 0, 0);
    doc.ChangeDateEntry(event.get(), *event, kEditInteractive);
    doc.ChangeDateEntry(event.get(), event->GetData(), kEditInteractive);
    doc.DropDateOccurrence(event.get(), at, kEditInteractive);
    doc.RestoreDateOccurrence(event.get(), at, kEditInteractive);
    doc.DeleteDateEntry(event.get(), kEditInteractive);
    doc.DeleteDateEntry(nullptr, kEditInteractive);
    doc.ChangeTodoEntry(todo.get(), *todo, kEditInteractive);
    doc.DeleteTodoEntry(todo.get(), kEditInteractive);
    doc.SetTodoDone(todo.get(), true);
    EXPECT_EQ(doc.AddDateEntry(nullptr, kEditInteractive), -1);
    EXPECT_EQ(doc.AddTodoEntry(nullptr, kEditInteractive), -1);
    EXPECT_TRUE(views.Hints().empty());
    EXPECT_EQ(saveRequests, 0);
    EXPECT_FALSE(doc.CanUndoDateEntry() || doc.CanUndoTodoEntry());
    EXPECT_TRUE(doc.GetChangeList().empty());
    EXPECT_EQ(doc.GetDateEntryCount() + doc.GetTodoCount(), 2);
    EXPECT_FALSE(todo->IsDone());
}

TEST(DocumentTest, OccurrencesAndEditorDataKeepTheReminderStateAndTheWorkMark) {
    const CDateTime occurrence(2007, 3, 5, 10, 0, 0);
    CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 3, 5, 8, 0, 0)));
    CDayvaultDoc doc;
    // Added without a rebuild, so a rebuild would show up as the category appearing.
    doc.AddDateEntry(MakeEvent("Unlisted"), 0);
    CDateEntry* entry = doc.GetDateEntry(0);
    RecordingObserver views(doc);
    int saves = 0;
    doc.SetSaveRequestHook([&] { ++saves; });
    doc.DropDateOccurrence(entry, occurrence, kEditInteractive);
    EXPECT_TRUE(entry->IsDropped(occurrence));
    EXPECT_EQ(views.Hints(), std::vector<int>{6});
    EXPECT_TRUE(doc.GetCategories().empty());
    doc.RestoreDateOccurrence(entry, occurrence, kEditInteractive);
    EXPECT_FALSE(entry->IsDropped(occurrence));
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_TRUE(entry->IsDropped(occurrence));
    EXPECT_EQ(saves, 3);

    // Editor data keeps the dropped occurrence and the mark of whoever works on the event.
    entry->SetSuspended(true);
    DateData data = entry->GetData();
    data.Description = "Edited";
    doc.ChangeDateEntry(entry, data, kEditInteractive);
    EXPECT_EQ(entry->GetDroppedCount(), 1);
    EXPECT_TRUE(entry->IsSuspended());
    // A whole new value brings its own state but not its own mark.
    doc.ChangeDateEntry(entry, CDateEntry(occurrence), kEditInteractive);
    EXPECT_EQ(entry->GetDroppedCount(), 0);
    EXPECT_TRUE(entry->IsSuspended());
}

TEST(DocumentTest, TodoDoneStateAndTheDueFlag) {
    CDayvaultDoc doc;
    auto urgent = MakeTodo("G");
    urgent->SetCurrentTime(CDateTime(2007, 3, 9, 0, 0, 0)); // within the 3 days' forewarning
    CTodoEntry* todo = urgent.get();
    doc.AddTodoEntry(std::move(urgent), kEditInteractive);
    EXPECT_TRUE(doc.HasDueTodo());
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    const int steps = doc.GetTodoHistory().GetCount();
    doc.SetTodoDone(todo, true);
    EXPECT_FALSE(doc.HasDueTodo());
    EXPECT_EQ(views.Hints(), std::vector<int>{12});
    EXPECT_EQ(std::get<CTodoEntry*>(views.FirstObject(UpdateHint::TodoChanged)), todo);
    EXPECT_EQ(saveRequests, 1);
    EXPECT_EQ(doc.GetTodoHistory().GetCount(), steps + 1) << "the tick is an undo step";
    doc.SetTodoDone(todo, false);
    EXPECT_TRUE(doc.HasDueTodo());
    EXPECT_TRUE(doc.GetChangeList().empty()) << "a local to-do is nobody else's business";
    // A shared to-do's tick is shared: it joins the change list, but only when it changes.
    doc.ChangeTodoEntry(todo, WithData(*todo, [](TodoData& d) { d.StorageType = 1; }), 0);
    doc.SetTodoDone(todo, false);
    EXPECT_TRUE(doc.GetChangeList().empty());
    doc.SetTodoDone(todo, true);
    EXPECT_EQ(doc.GetChangeList(), Strings{todo->GetGUID()});
}

TEST(DocumentTest, ViewStateNotifiesOnlyWhenItChangesAndAsksForNoSave) {
    CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 3, 5, 14, 30, 0)));
    CDayvaultDoc doc;
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    doc.SetSelectedDate(CDateTime(2007, 4, 1, 17, 45, 12), false);
    EXPECT_EQ(doc.GetSelectedDate(), CDateTime(2007, 4, 1));
    doc.SetSelectedDate(CDateTime(2007, 4, 2, 9, 0, 0), true);
    EXPECT_EQ(std::get<CDateTime>(views.FirstObject(UpdateHint::SelectedDateChanged)),
              CDateTime(2007, 4, 1));
    doc.SetEventFilter(doc.GetEventFilter());
    doc.SetTodoFilter(doc.GetTodoFilter());
    doc.SetFilterSwitch(true);
    EXPECT_EQ(views.Hints(), std::vector<int>{1}) << "nothing else differs";

    FilterState filter;
    filter.searchText = "dentist";
    doc.SetEventFilter(filter);
    doc.SetEventFilter(filter);
    EXPECT_EQ(doc.GetEventFilter().searchText, "dentist");
    filter.selection.insert("Office");
    doc.SetTodoFilter(filter);
    // A selected name that only changes its letters is a different state.
    filter.selection = NameSet{"OFFICE"};
    doc.SetTodoFilter(filter);
    doc.SetFilterSwitch(false);
    doc.SetFilterSwitch(false);
    EXPECT_FALSE(doc.GetFilterSwitch());
    EXPECT_EQ(views.Hints(), (std::vector<int>{1, 8, 13, 13, 8, 13}));
    doc.CheckDates(CDateTime(2008, 1, 2, 0, 0, 0), true, 0);
    EXPECT_EQ(saveRequests, 0);
}

TEST(DocumentTest, DefaultTemplateAndTemplateReplacement) {
    CDayvaultDoc doc;
    EXPECT_TRUE(doc.EnsureDefaultTemplate());
    EXPECT_FALSE(doc.EnsureDefaultTemplate());
    ASSERT_EQ(doc.GetTemplateCount(), 1);
    EXPECT_EQ(doc.GetTemplate(0)->GetData().Category, "Event");
    // An hour from nine, on the day the file was made, not at the moment it was made.
    const DateData& made = doc.GetTemplate(0)->GetData();
    EXPECT_EQ(made.StartDate, CDateTime::Now().GetDate() + CDateTimeSpan(0, 9, 0, 0));
    EXPECT_EQ(made.EndDate - made.StartDate, CDateTimeSpan(0, 1, 0, 0));
    EXPECT_EQ(made.ShowStartTime, 1);
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    std::vector<std::unique_ptr<CDateEntry>> replacement;
    replacement.push_back(MakeEvent("Birthday"));
    replacement.push_back(nullptr);
    replacement.push_back(MakeEvent("Appointment"));
    doc.ReplaceTemplates(std::move(replacement));
    ASSERT_EQ(doc.GetTemplateCount(), 2);
    EXPECT_EQ(doc.GetTemplate(1)->GetData().Category, "Appointment");
    EXPECT_EQ(doc.GetTemplate(2), nullptr);
    EXPECT_EQ(views.Hints(), std::vector<int>{8});
    EXPECT_EQ(saveRequests, 1);
}

TEST(DocumentTest, OpenGivesRecordsThatShareAGuidOneOfTheirOwnAndSaysSoOnce) {
    test::TemporaryFolder folder;
    DocumentContents contents;
    contents.templates.push_back(MakeEvent("Event"));
    contents.templates.push_back(MakeEvent("Work"));
    contents.events.push_back(MakeEvent("Work", "first"));
    contents.events.push_back(MakeEvent("Work", "shared copy", 1));
    contents.todos.push_back(MakeTodo("Home"));
    const std::string first = contents.templates[0]->GetGUID();
    contents.templates[1]->SetGUID(first); // the new-category fault
    contents.events[1]->SetGUID(contents.events[0]->GetGUID());
    const std::string kept = contents.events[0]->GetGUID();
    const std::string todoGuid = contents.todos[0]->GetGUID();
    WriteEventFile(folder / "twins.dat", contents);

    CDayvaultDoc doc;
    CQueuedPrompt prompt;
    doc.SetPrompt(&prompt);
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    ASSERT_TRUE(doc.Open(folder / "twins.dat"));
    EXPECT_EQ(doc.GetTemplate(0)->GetGUID(), first) << "the earlier record keeps its GUID";
    EXPECT_EQ(doc.GetDateEntry(0)->GetGUID(), kept);
    EXPECT_EQ(doc.GetTodoEntry(0)->GetGUID(), todoGuid);
    const Strings guids = {first, doc.GetTemplate(1)->GetGUID(), kept,
                           doc.GetDateEntry(1)->GetGUID(), todoGuid};
    EXPECT_EQ(std::set<std::string>(guids.begin(), guids.end()).size(), guids.size());
    EXPECT_EQ(doc.GetChangeList(), Strings{doc.GetDateEntry(1)->GetGUID()})
        << "a shared record passes its new GUID on";
    ASSERT_EQ(prompt.GetShown().size(), 1U);
    EXPECT_NE(prompt.GetShown()[0].text.find("twins.dat' held entries"), std::string::npos);
    EXPECT_EQ(prompt.GetShown()[0].text.back(), '2');
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(saveRequests, 1);

    // A file without twins opens without a word.
    ASSERT_TRUE(doc.SaveAs(folder / "repaired.dat"));
    ASSERT_TRUE(doc.Open(folder / "repaired.dat"));
    EXPECT_EQ(prompt.GetShown().size(), 1U);
    EXPECT_FALSE(doc.IsModified());
}

TEST(DocumentTest, ObserversMayLeaveWhileBeingNotified) {
    CDayvaultDoc doc;
    auto first = std::make_unique<RecordingObserver>(doc);
    RecordingObserver second(doc);
    // The first view closes itself on its first hint; the second still hears every hint.
    first->onUpdate = [&] { doc.RemoveObserver(*first); };
    doc.AddDateEntry(MakeEvent("A"), kEditInteractive);
    EXPECT_EQ(first->Hints(), std::vector<int>{4});
    EXPECT_EQ(second.Hints(), (std::vector<int>{4, 9}));
}

/// A document whose clock started at `start`.
std::unique_ptr<CDayvaultDoc> MakeDoc(const CDateTime& start) {
    CScopedClock clock(std::make_shared<CFixedClock>(start));
    return std::make_unique<CDayvaultDoc>();
}

TEST(CheckDatesTest, TheTickEvaluatesFreeEventsAndCountsTheirPendingReminders) {
    const CDateTime created(2007, 3, 4, 12, 0, 0);
    const CDateTime start(2007, 3, 5, 10, 0, 0);
    auto doc = MakeDoc(created);
    // Forewarn and silent: a loud, a silent, one without a reminder and one someone works on.
    const int kinds[][2] = {{1, 0}, {1, 1}, {0, 0}, {1, 0}};
    for (const auto& kind : kinds) {
        auto entry = std::make_unique<CDateEntry>(created);
        entry->UpdateReminders(created);
        DateData data = entry->GetData();
        data.StartDate = data.EndDate = start;
        data.Forewarn = kind[0];
        data.ForewarnSilent = kind[1];
        entry->SetData(data, created);
        doc->AddDateEntry(std::move(entry), 0);
    }
    CDateEntry* suspended = doc->GetDateEntry(3);
    suspended->SetSuspended(true);
    RecordingObserver views(*doc);
    doc->CheckDates(start, false, 0);
    EXPECT_EQ(doc->GetPendingReminderCount(), 1);
    EXPECT_EQ(doc->GetPendingSilentReminderCount(), 1);
    EXPECT_EQ(doc->GetDateEntry(2)->GetDueCount(), 1) << "due for its action, but not counted";
    EXPECT_EQ(suspended->GetDueCount(), 0);
    // Three changed: one batch for the views, not a hint per event.
    EXPECT_EQ(views.Count(UpdateHint::EventsChanged), 1);
    EXPECT_EQ(views.Count(UpdateHint::EventChanged), 0);
    suspended->SetSuspended(false);
    doc->CheckDates(start + CDateTimeSpan(60), false, 0);
    EXPECT_EQ(doc->GetPendingReminderCount(), 2) << "the counters start from 0 at every tick";
    EXPECT_EQ(views.Count(UpdateHint::EventChanged), 1) << "only the event that changed";
    EXPECT_EQ(views.Count(UpdateHint::EventsChanged), 1);
}

TEST(CheckDatesTest, OldDoneLocalTodosAreDeletedOnlyWhenEveryConditionHolds) {
    // Now Tuesday 20 March 12:00, 7 days: the limit is Tuesday 13 March 12:00.
    const CDateTime now(2007, 3, 20, 12, 0, 0);
    const CDateTime limit(2007, 3, 13, 12, 0, 0);
    const CDateTime before = limit - CDateTimeSpan(1, 0, 0, 0);
    const CDateTime late(2007, 3, 13, 23, 0, 0);
    struct Row {
        bool switchOn, shared, done, showDeadline, inEditor;
        CDateTime deadline;
        bool withTime, deleted;
    };
    const Row rows[] = {
        {true, false, true, true, false, before, true, true},   // every condition holds
        {false, false, true, true, false, before, true, false}, // switched off
        {true, true, true, true, false, before, true, false},   // shared
        {true, false, false, true, false, before, true, false}, // not done
        {true, false, true, false, false, before, true, false}, // no deadline
        {true, false, true, true, true, before, true, false},   // open in the editor
        {true, false, true, true, false, limit, true, false},
        {true, false, true, true, false, limit - CDateTimeSpan(1), true, true},
        {true, false, true, true, false, late, true, false},
        {true, false, true, true, false, late, false, true}, // a date counts from midnight
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        auto doc = MakeDoc(now - CDateTimeSpan(60));
        doc->AddTodoEntry(MakeTodo("Keep", "kept"), kEditInteractive);
        auto candidate = MakeTodo("Old", "candidate", row.shared ? 1 : 0);
        *candidate = WithData(*candidate, [&](TodoData& d) {
            d.Deadline = row.deadline;
            d.ShowDeadline = row.showDeadline ? 1 : 0;
            d.ShowDeadlineTime = row.withTime ? 1 : 0;
        });
        candidate->SetDone(row.done);
        candidate->SetInEditor(row.inEditor);
        CTodoEntry* raw = candidate.get();
        doc->AddTodoEntry(std::move(candidate), kEditInteractive);
        const int historyCount = doc->GetTodoHistory().GetCount();
        RecordingObserver views(*doc);

        doc->CheckDates(now, row.switchOn, 7);
        EXPECT_EQ(doc->GetTodoCount(), row.deleted ? 1 : 2);
        EXPECT_EQ(views.Count(UpdateHint::TodoDeleted), row.deleted ? 1 : 0);
        EXPECT_EQ(views.Count(UpdateHint::GroupsChanged), row.deleted ? 1 : 0);
        if (row.deleted) {
            EXPECT_EQ(std::get<EntryIdentity>(views.FirstObject(UpdateHint::TodoDeleted)),
                      EntryIdentity::Of(raw));
            EXPECT_EQ(doc->GetTodoHistory().GetCount(), historyCount) << "no undo step";
            EXPECT_TRUE(doc->GetChangeList().empty());
        }
    }
}

TEST(DocumentUndoTest, StepsOfARecordRemovedWithoutUndoTouchNoOtherRecord) {
    // A record removed without an undo step (synchronisation, the periodic clean-up) leaves
    // steps behind that name it. A record added later, which may well get the same address,
    // must not be taken for it.
    CDayvaultDoc doc;
    doc.AddTodoEntry(MakeTodo("G", "v1"), kEditInteractive);
    CTodoEntry* first = doc.GetTodoEntry(0);
    doc.ChangeTodoEntry(first, WithData(*first, [](TodoData& d) { d.Description = "v2"; }),
                        kEditInteractive);
    doc.DeleteTodoEntry(first, kEditSync);
    doc.AddTodoEntry(MakeTodo("G", "newcomer"), kEditSync);
    CTodoEntry* newcomer = doc.GetTodoEntry(0);
    ASSERT_TRUE(doc.UndoTodoEntry()); // the change of the removed record: nothing to do
    ASSERT_TRUE(doc.UndoTodoEntry()); // its addition: nothing to delete
    ASSERT_EQ(doc.GetTodoCount(), 1);
    EXPECT_EQ(newcomer->GetData().Description, "newcomer");
    ASSERT_TRUE(doc.RedoTodoEntry()); // re-creates the first record as it was added
    ASSERT_EQ(doc.GetTodoCount(), 2);
    EXPECT_EQ(doc.GetTodoEntry(1)->GetData().Description, "v1");
    ASSERT_TRUE(doc.RedoTodoEntry()); // the change now finds the re-created record
    EXPECT_EQ(doc.GetTodoHistory().FindLive(doc.GetTodoHistory().GetStep(1).identity),
              doc.GetTodoEntry(1));
    EXPECT_EQ(newcomer->GetData().Description, "newcomer");
    // Undone down to the re-created record's addition, its redo points the later steps at the
    // new record up to its deletion.
    doc.DeleteTodoEntry(doc.GetTodoEntry(1), kEditInteractive);
    ASSERT_TRUE(doc.UndoTodoEntry() && doc.UndoTodoEntry() && doc.UndoTodoEntry());
    EXPECT_FALSE(doc.UndoTodoEntry());
    ASSERT_TRUE(doc.RedoTodoEntry() && doc.RedoTodoEntry() && doc.RedoTodoEntry());
    EXPECT_EQ(doc.GetTodoCount(), 1);
}

/// The visible state of the events: for each GUID its description, category, storage type and
/// dropped occurrences. Re-created records keep their GUID, so undo and redo must bring back
/// exactly an earlier state, whatever the list order.
std::map<std::string, std::string> StateOf(const CDayvaultDoc& doc) {
    std::map<std::string, std::string> state;
    for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
        const CDateEntry& e = *doc.GetDateEntry(i);
        std::string text = e.GetData().Description + "|" + e.GetData().Category + "|" +
                           std::to_string(e.GetStorageType());
        for (const CDateTime& dropped : e.GetDroppedOccurrences()) {
            text += "|" + dropped.FormatFixed();
        }
        EXPECT_TRUE(state.emplace(e.GetGUID(), text).second) << "GUID twice: " << e.GetGUID();
    }
    return state;
}

TEST(DocumentUndoTest, RandomEditsUndosAndRedosMatchAModelOfWholeStates) {
    test::Random random(20070305);
    CDayvaultDoc doc;
    std::vector<std::map<std::string, std::string>> states{{}};
    size_t position = 0; // index into states of the current one
    int counter = 0;
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE(step);
        const int count = doc.GetDateEntryCount();
        const int action = random.Int(0, 9);
        CDateEntry* target = count > 0 ? doc.GetDateEntry(random.Int(0, count - 1)) : nullptr;
        const std::string name = std::to_string(++counter);
        if (action <= 1 || target == nullptr) {
            doc.AddDateEntry(
                MakeEvent("C" + std::to_string(random.Int(0, 3)), name, random.Int(0, 1)),
                kEditInteractive);
        } else if (action == 2) {
            const auto edit = [&](DateData& d) {
                d.Description = name;
                d.Category = "C" + std::to_string(random.Int(0, 3));
                d.StorageType = random.Int(0, 1);
            };
            doc.ChangeDateEntry(target, WithData(*target, edit), kEditInteractive);
        } else if (action == 3) {
            doc.DropDateOccurrence(target, CDateTime(2007, 3, random.Int(1, 28), 10, 0, 0),
                                   kEditInteractive);
        } else if (action == 4) {
            doc.DeleteDateEntry(target, kEditInteractive);
        } else if (action <= 6) {
            ASSERT_EQ(doc.UndoDateEntry(), position > 0);
            position = position > 0 ? position - 1 : 0;
        } else {
            const bool canRedo = position + 1 < states.size();
            ASSERT_EQ(doc.RedoDateEntry(), canRedo);
            position += canRedo ? 1 : 0;
        }
        if (action <= 4 || target == nullptr) {
            states.resize(position + 1);
            states.push_back(StateOf(doc));
            ++position;
        }
        ASSERT_EQ(StateOf(doc), states[position]);
        ASSERT_EQ(doc.CanUndoDateEntry(), position > 0);
        ASSERT_EQ(doc.CanRedoDateEntry(), position + 1 < states.size());
        // The category set always follows the events, through every undo and redo.
        NameSet expected;
        for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
            expected.insert(doc.GetDateEntry(i)->GetData().Category);
        }
        ASSERT_TRUE(SameNames(doc.GetCategories(), expected));
    }
}

// The rules written as plainly as possible: each entry against every entry already in the list.
MergeResult ReferenceMerge(DocumentContents& target, DocumentContents&& other) {
    MergeResult result;
    const auto listShared = [&](const std::string& guid) {
        if (std::find(target.changeList.begin(), target.changeList.end(), guid) ==
            target.changeList.end()) {
            target.changeList.push_back(guid);
        }
    };
    for (auto& entry : other.templates) {
        bool known = false;
        for (const auto& existing : target.templates) {
            known = known || existing->GetData().Category == entry->GetData().Category;
        }
        if (!known) {
            target.templates.push_back(std::move(entry));
            ++result.templatesAdded;
        }
    }
    // Events and to-dos: known by GUID, or by description and start (deadline).
    const auto mergeList = [&](auto& into, auto& from, auto when, int& added) {
        for (auto& entry : from) {
            bool known = false;
            for (const auto& existing : into) {
                known = known || existing->GetGUID() == entry->GetGUID() ||
                        (existing->GetData().Description == entry->GetData().Description &&
                         when(*existing) == when(*entry));
            }
            if (!known) {
                if (entry->GetStorageType() == 1) {
                    listShared(entry->GetGUID());
                }
                into.push_back(std::move(entry));
                ++added;
            }
        }
    };
    const auto start = [](const CDateEntry& e) { return e.GetData().StartDate; };
    const auto deadline = [](const CTodoEntry& t) { return t.GetData().Deadline; };
    mergeList(target.events, other.events, start, result.eventsAdded);
    const size_t oldTodos = target.todos.size();
    mergeList(target.todos, other.todos, deadline, result.todosAdded);
    for (size_t i = oldTodos; i < target.todos.size(); ++i) {
        result.urgentTodoAdded = result.urgentTodoAdded || target.todos[i]->IsUrgent();
    }
    return result;
}

TEST(MergeTest, AgreesWithAPlainReferenceOnRandomDocuments) {
    test::Random rng(4242);
    // Few distinct values, so that GUIDs, descriptions and dates collide often.
    const std::vector<std::string> guids = {"{G1}", "{G2}", "{G3}", "{G4}", "{G5}", "{G6}"};
    const std::vector<std::string> texts = {"a", "b", "c", "A"};
    const std::vector<CDateTime> dates = {CDateTime(2024, 1, 1), CDateTime(2024, 1, 1, 0, 0, 1),
                                          CDateTime(2024, 1, 2)};
    const auto pick = [&](const auto& values) { return rng.Pick(values); };
    const auto makeDocument = [&] {
        DocumentContents contents;
        const int size = rng.Int(0, 8);
        for (int i = 0; i < size; ++i) {
            contents.templates.push_back(test::MakeEvent(pick(texts)));
            auto event = test::MakeEvent("", pick(texts), rng.Int(0, 1));
            *event =
                test::WithData(*event, [&](DateData& d) { d.StartDate = d.EndDate = pick(dates); });
            event->SetGUID(pick(guids));
            contents.events.push_back(std::move(event));
            auto todo = test::MakeTodo("", pick(texts), rng.Int(0, 1));
            *todo = test::WithData(*todo, [&](TodoData& d) { d.Deadline = pick(dates); });
            todo->SetGUID(pick(guids));
            todo->SetCurrentTime(pick(dates) - CDateTimeSpan(3 * 86400));
            contents.todos.push_back(std::move(todo));
        }
        if (rng.Int(0, 1) == 1) {
            contents.changeList.push_back(pick(guids));
        }
        return contents;
    };
    for (int round = 0; round < 2000; ++round) {
        SCOPED_TRACE(round);
        DocumentContents target = makeDocument();
        DocumentContents other = makeDocument();
        DocumentContents expected = test::CopyContents(target);
        const MergeResult expectedResult = ReferenceMerge(expected, test::CopyContents(other));
        const MergeResult result = MergeContents(target, std::move(other));
        test::ExpectSameContents(target, expected);
        ASSERT_EQ(result.templatesAdded, expectedResult.templatesAdded);
        ASSERT_EQ(result.eventsAdded, expectedResult.eventsAdded);
        ASSERT_EQ(result.todosAdded, expectedResult.todosAdded);
        ASSERT_EQ(result.urgentTodoAdded, expectedResult.urgentTodoAdded);
    }
}

} // namespace
} // namespace dv
