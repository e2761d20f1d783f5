// The two undo histories: recording, undo and redo of each kind of step, identities that follow
// re-created records, and a random walk against a model that keeps whole document states.

#include "core/CDateTime.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentFixtures.h"
#include "support/Random.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace dv {
namespace {

using test::MakeEvent;
using test::MakeTodo;
using test::RecordingObserver;
using test::WithData;

void Describe(CDayvaultDoc& doc, CDateEntry* entry, const std::string& description) {
    doc.ChangeDateEntry(entry, WithData(*entry, [&](DateData& d) { d.Description = description; }),
                        kEditInteractive);
}

TEST(DocumentUndoTest, UndoRedoUndoOfAnAdditionDeletesTheRecreatedRecord) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work", "Added"), kEditInteractive);
    CDateEntry* original = doc.GetDateEntry(0);
    const std::string guid = original->GetGUID();
    RecordingObserver views(doc);

    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_EQ(doc.GetDateEntryCount(), 0);
    EXPECT_EQ(views.Hints(), (std::vector<int>{5, 9}));
    EXPECT_EQ(std::get<EntryIdentity>(views.FirstObject(UpdateHint::EventDeleted)),
              EntryIdentity::Of(original));
    EXPECT_FALSE(doc.CanUndoDateEntry());
    EXPECT_TRUE(doc.CanRedoDateEntry());

    views.Clear();
    ASSERT_TRUE(doc.RedoDateEntry());
    ASSERT_EQ(doc.GetDateEntryCount(), 1);
    CDateEntry* recreated = doc.GetDateEntry(0);
    EXPECT_EQ(recreated->GetGUID(), guid);
    EXPECT_EQ(recreated->GetData().Description, "Added");
    EXPECT_EQ(views.Hints(), (std::vector<int>{4, 9}));
    EXPECT_EQ(std::get<CDateEntry*>(views.FirstObject(UpdateHint::EventAdded)), recreated);
    EXPECT_EQ(doc.GetEventHistory().FindLive(doc.GetEventHistory().GetStep(0).identity), recreated);
    EXPECT_FALSE(doc.CanRedoDateEntry());

    views.Clear();
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_EQ(doc.GetDateEntryCount(), 0);
    EXPECT_EQ(std::get<EntryIdentity>(views.FirstObject(UpdateHint::EventDeleted)),
              EntryIdentity::Of(recreated));
    EXPECT_FALSE(doc.UndoDateEntry()) << "nothing left to undo";
    EXPECT_EQ(doc.GetEventHistory().GetCount(), 1) << "undo and redo record nothing";
}

TEST(DocumentUndoTest, UndoingADeletionThenAnEarlierChangeAppliesToTheRecreatedRecord) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work", "v1"), kEditInteractive); // step 0
    doc.AddDateEntry(MakeEvent("Work", "bystander"), kEditInteractive);
    CDateEntry* entry = doc.GetDateEntry(0);
    Describe(doc, entry, "v2");                   // step 2
    doc.DeleteDateEntry(entry, kEditInteractive); // step 3
    ASSERT_EQ(doc.GetDateEntryCount(), 1);

    ASSERT_TRUE(doc.UndoDateEntry()); // the deletion
    ASSERT_EQ(doc.GetDateEntryCount(), 2);
    CDateEntry* recreated = doc.GetDateEntry(1); // re-created records are appended
    EXPECT_EQ(recreated->GetData().Description, "v2");

    ASSERT_TRUE(doc.UndoDateEntry()); // the change, on the re-created record
    EXPECT_EQ(recreated->GetData().Description, "v1");
    EXPECT_EQ(doc.GetDateEntry(0)->GetData().Description, "bystander");

    ASSERT_TRUE(doc.UndoDateEntry()); // the bystander's addition
    ASSERT_TRUE(doc.UndoDateEntry()); // the addition, again of the re-created record
    EXPECT_EQ(doc.GetDateEntryCount(), 0);

    // Forwards again: each redo finds the record the step before it made.
    ASSERT_TRUE(doc.RedoDateEntry());
    ASSERT_TRUE(doc.RedoDateEntry());
    ASSERT_TRUE(doc.RedoDateEntry());
    ASSERT_EQ(doc.GetDateEntryCount(), 2);
    EXPECT_EQ(doc.GetDateEntry(0)->GetData().Description, "v2");
    ASSERT_TRUE(doc.RedoDateEntry());
    ASSERT_EQ(doc.GetDateEntryCount(), 1);
    EXPECT_EQ(doc.GetDateEntry(0)->GetData().Description, "bystander");
    EXPECT_FALSE(doc.RedoDateEntry());
}

TEST(DocumentUndoTest, ANewEditAfterTwoUndosDropsBothRedoSteps) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work", "v1"), kEditInteractive);
    CDateEntry* entry = doc.GetDateEntry(0);
    Describe(doc, entry, "v2");
    Describe(doc, entry, "v3");
    ASSERT_TRUE(doc.UndoDateEntry());
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_EQ(entry->GetData().Description, "v1");
    EXPECT_EQ(doc.GetEventHistory().GetPosition(), 0);
    EXPECT_TRUE(doc.CanRedoDateEntry());

    Describe(doc, entry, "other");
    EXPECT_FALSE(doc.CanRedoDateEntry());
    EXPECT_EQ(doc.GetEventHistory().GetCount(), 2);
    EXPECT_EQ(doc.GetEventHistory().GetPosition(), 1);
    EXPECT_EQ(doc.GetEventHistory().GetStep(1).snapshot->GetData().Description, "v1");
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_EQ(entry->GetData().Description, "v1");
}

TEST(DocumentUndoTest, UndoOfAChangeExchangesTheValuesAndListsTheEntry) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work", "local"), kEditInteractive);
    CDateEntry* entry = doc.GetDateEntry(0);
    doc.ChangeDateEntry(entry,
                        WithData(*entry,
                                 [](DateData& d) {
                                     d.Category = "Home";
                                     d.StorageType = 1;
                                 }),
                        kEditInteractive);
    doc.ClearChangeList();
    RecordingObserver views(doc);

    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_EQ(entry->GetData().Category, "Work");
    EXPECT_EQ(entry->GetStorageType(), 0);
    EXPECT_EQ(doc.GetChangeList(), std::vector<std::string>{entry->GetGUID()})
        << "the storage type differs from the snapshot";
    EXPECT_EQ(views.Hints(), (std::vector<int>{6, 9}));
    // The step now holds the value that was undone, ready for the redo.
    EXPECT_EQ(doc.GetEventHistory().GetStep(1).snapshot->GetData().Category, "Home");

    views.Clear();
    doc.ClearChangeList();
    ASSERT_TRUE(doc.RedoDateEntry());
    EXPECT_EQ(entry->GetData().Category, "Home");
    EXPECT_EQ(entry->GetStorageType(), 1);
    EXPECT_EQ(doc.GetChangeList().size(), 1U);
    EXPECT_EQ(views.Hints(), (std::vector<int>{6, 9}));
    EXPECT_EQ(doc.GetEventHistory().GetCount(), 2);
}

TEST(DocumentUndoTest, UndoOfLocalEntriesLeavesTheChangeListAlone) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work", "v1"), kEditInteractive);
    Describe(doc, doc.GetDateEntry(0), "v2");
    doc.DeleteDateEntry(doc.GetDateEntry(0), kEditInteractive);
    while (doc.UndoDateEntry()) {
    }
    while (doc.RedoDateEntry()) {
    }
    EXPECT_TRUE(doc.GetChangeList().empty());
}

TEST(DocumentUndoTest, SnapshotsCarryNoWorkMarkAndTheLiveMarkStays) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work", "v1"), kEditInteractive);
    CDateEntry* entry = doc.GetDateEntry(0);
    entry->SetSuspended(true);
    Describe(doc, entry, "v2");
    EXPECT_FALSE(doc.GetEventHistory().GetStep(1).snapshot->IsSuspended());
    EXPECT_TRUE(entry->IsSuspended());

    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_EQ(entry->GetData().Description, "v1");
    EXPECT_TRUE(entry->IsSuspended()) << "whoever suspended it still works on it";
    EXPECT_FALSE(doc.GetEventHistory().GetStep(1).snapshot->IsSuspended());
    ASSERT_TRUE(doc.RedoDateEntry());

    doc.DeleteDateEntry(entry, kEditInteractive);
    ASSERT_TRUE(doc.UndoDateEntry());
    ASSERT_EQ(doc.GetDateEntryCount(), 1);
    EXPECT_FALSE(doc.GetDateEntry(0)->IsSuspended()) << "a re-created event is free";

    // The same for a to-do open in the editor.
    doc.AddTodoEntry(MakeTodo("G"), kEditInteractive);
    CTodoEntry* todo = doc.GetTodoEntry(0);
    todo->SetInEditor(true);
    doc.DeleteTodoEntry(todo, kEditInteractive);
    EXPECT_FALSE(doc.GetTodoHistory().GetStep(1).snapshot->IsInEditor());
    ASSERT_TRUE(doc.UndoTodoEntry());
    EXPECT_FALSE(doc.GetTodoEntry(0)->IsInEditor());
}

TEST(DocumentUndoTest, TodoHistoryFollowsTheSameRulesWithItsOwnHints) {
    CDayvaultDoc doc;
    doc.AddTodoEntry(MakeTodo("Office", "v1"), kEditInteractive);
    CTodoEntry* todo = doc.GetTodoEntry(0);
    doc.ChangeTodoEntry(todo,
                        WithData(*todo,
                                 [](TodoData& d) {
                                     d.Description = "v2";
                                     d.Group = "Garden";
                                 }),
                        kEditInteractive);
    doc.DeleteTodoEntry(todo, kEditInteractive);
    EXPECT_FALSE(doc.CanUndoDateEntry()) << "the event history is separate";
    RecordingObserver views(doc);

    ASSERT_TRUE(doc.UndoTodoEntry());
    ASSERT_EQ(doc.GetTodoCount(), 1);
    CTodoEntry* recreated = doc.GetTodoEntry(0);
    EXPECT_EQ(recreated->GetData().Description, "v2");
    ASSERT_TRUE(doc.UndoTodoEntry());
    EXPECT_EQ(recreated->GetData().Description, "v1");
    EXPECT_EQ(recreated->GetData().Group, "Office");
    ASSERT_TRUE(doc.UndoTodoEntry());
    EXPECT_EQ(doc.GetTodoCount(), 0);
    EXPECT_EQ(views.Hints(), (std::vector<int>{10, 14, 12, 14, 11, 14}));
    EXPECT_FALSE(doc.UndoTodoEntry());

    ASSERT_TRUE(doc.RedoTodoEntry());
    ASSERT_TRUE(doc.RedoTodoEntry());
    EXPECT_EQ(doc.GetTodoEntry(0)->GetData().Group, "Garden");
    ASSERT_TRUE(doc.RedoTodoEntry());
    EXPECT_EQ(doc.GetTodoCount(), 0);
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
    EXPECT_EQ(newcomer->GetData().Description, "newcomer");
    ASSERT_TRUE(doc.UndoTodoEntry()); // its addition: nothing to delete
    ASSERT_EQ(doc.GetTodoCount(), 1);
    EXPECT_EQ(doc.GetTodoEntry(0), newcomer);
    ASSERT_TRUE(doc.RedoTodoEntry()); // re-creates the first record as it was added
    ASSERT_EQ(doc.GetTodoCount(), 2);
    EXPECT_EQ(doc.GetTodoEntry(1)->GetData().Description, "v1");
    ASSERT_TRUE(doc.RedoTodoEntry()); // the change now finds the re-created record
    EXPECT_EQ(doc.GetTodoHistory().FindLive(doc.GetTodoHistory().GetStep(1).identity),
              doc.GetTodoEntry(1));
    EXPECT_EQ(newcomer->GetData().Description, "newcomer");
}

TEST(DocumentUndoTest, EmptyingTheDocumentEmptiesBothHistories) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work"), kEditInteractive);
    doc.AddTodoEntry(MakeTodo("G"), kEditInteractive);
    doc.NewDocument();
    EXPECT_FALSE(doc.CanUndoDateEntry());
    EXPECT_FALSE(doc.CanUndoTodoEntry());
    EXPECT_EQ(doc.GetEventHistory().GetCount(), 0);

    doc.AddDateEntry(MakeEvent("Work"), kEditInteractive);
    doc.UndoDateEntry();
    doc.Close();
    EXPECT_FALSE(doc.CanRedoDateEntry());
    EXPECT_EQ(doc.GetEventHistory().GetCount(), 0);
}

TEST(UndoHistoryTest, RepointingWalksStopAfterTheEntrysAdditionOrDeletion) {
    // One record in several lives: added, changed, deleted, added again. Re-pointing from the
    // end downwards reaches back to its latest addition only; upwards from the start it reaches
    // forward to its first deletion only.
    const auto build = [](UndoHistory<CDateEntry>& history, const CDateEntry& live) {
        history.Record(live, live, UndoAction::Added);
        history.Record(live, live, UndoAction::Changed);
        history.Record(live, live, UndoAction::Deleted);
        history.Record(live, live, UndoAction::Added);
        history.Record(live, live, UndoAction::Changed);
        return history.GetStep(0).identity;
    };
    const auto identities = [](const UndoHistory<CDateEntry>& history) {
        std::vector<uint64_t> result;
        for (int i = 0; i < history.GetCount(); ++i) {
            result.push_back(history.GetStep(i).identity);
        }
        return result;
    };
    const CDateEntry live(CDateTime(2007, 3, 5, 10, 0, 0));
    {
        UndoHistory<CDateEntry> history;
        const uint64_t id = build(history, live);
        history.RepointDown(4, id, 99);
        EXPECT_EQ(identities(history), (std::vector<uint64_t>{id, id, id, 99, 99}));
    }
    {
        UndoHistory<CDateEntry> history;
        const uint64_t id = build(history, live);
        history.RepointUp(0, id, 99);
        EXPECT_EQ(identities(history), (std::vector<uint64_t>{99, 99, 99, id, id}));
    }
    {
        UndoHistory<CDateEntry> history;
        const uint64_t id = build(history, live);
        EXPECT_EQ(history.FindLive(id), &live);
        history.Forget(live);
        EXPECT_EQ(history.FindLive(id), nullptr);
        EXPECT_NE(history.IdentityOf(live), id) << "a record met again is a new one";
        EXPECT_EQ(history.GetPosition(), 4);
        history.Clear();
        EXPECT_EQ(history.GetCount(), 0);
        EXPECT_EQ(history.GetPosition(), -1);
        EXPECT_FALSE(history.CanUndo());
        EXPECT_FALSE(history.CanRedo());
    }
}

// ---- Random walk against a model of whole states ---------------------------------------------

/// The visible state of the events: for each GUID its description, category, storage type and
/// dropped occurrences. Re-created records keep their GUID, so undo and redo must bring back
/// exactly an earlier state, whatever the list order.
using EventState = std::map<std::string, std::string>;

EventState StateOf(const CDayvaultDoc& doc) {
    EventState state;
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
    const auto pick = [&](int low, int high) { return random.Int(low, high); };
    CDayvaultDoc doc;
    std::vector<EventState> states{EventState{}};
    int position = 0; // index into states of the current one
    int counter = 0;

    const auto recorded = [&] {
        states.resize(static_cast<std::size_t>(position) + 1);
        states.push_back(StateOf(doc));
        ++position;
    };

    for (int step = 0; step < 3000; ++step) {
        const int count = doc.GetDateEntryCount();
        const int action = pick(0, 9);
        CDateEntry* target = count > 0 ? doc.GetDateEntry(pick(0, count - 1)) : nullptr;
        if (action <= 1 || target == nullptr) {
            doc.AddDateEntry(MakeEvent("C" + std::to_string(pick(0, 3)),
                                       "e" + std::to_string(++counter), pick(0, 1)),
                             kEditInteractive);
            recorded();
        } else if (action == 2) {
            Describe(doc, target, "d" + std::to_string(++counter));
            recorded();
        } else if (action == 3) {
            doc.ChangeDateEntry(target,
                                WithData(*target,
                                         [&](DateData& d) {
                                             d.Category = "C" + std::to_string(pick(0, 3));
                                             d.StorageType = pick(0, 1);
                                         }),
                                kEditInteractive);
            recorded();
        } else if (action == 4) {
            doc.DropDateOccurrence(target, CDateTime(2007, 3, pick(1, 28), 10, 0, 0),
                                   kEditInteractive);
            recorded();
        } else if (action == 5) {
            doc.DeleteDateEntry(target, kEditInteractive);
            recorded();
        } else if (action <= 7) {
            ASSERT_EQ(doc.UndoDateEntry(), position > 0) << "step " << step;
            position = std::max(position - 1, 0);
        } else {
            const bool canRedo = position + 1 < static_cast<int>(states.size());
            ASSERT_EQ(doc.RedoDateEntry(), canRedo) << "step " << step;
            position += canRedo ? 1 : 0;
        }
        ASSERT_EQ(StateOf(doc), states[static_cast<std::size_t>(position)]) << "step " << step;
        ASSERT_EQ(doc.CanUndoDateEntry(), position > 0);
        ASSERT_EQ(doc.CanRedoDateEntry(), position + 1 < static_cast<int>(states.size()));
    }
    // The category set always follows the events, through every undo and redo.
    NameSet expected;
    for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
        expected.insert(doc.GetDateEntry(i)->GetData().Category);
    }
    EXPECT_TRUE(SameNames(doc.GetCategories(), expected));
}

} // namespace
} // namespace dv
