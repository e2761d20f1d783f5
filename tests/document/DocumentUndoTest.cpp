// The two undo histories: a random walk against a model that keeps whole states of the events,
// and what it does not see: hints, the change list, to-dos, work marks and records removed
// without a step.

#include "core/CDateTime.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentTestSupport.h"

#include <algorithm>
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

TEST(DocumentUndoTest, UndoAndRedoSendHintsAndListSharedEntries) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work", "Added"), kEditInteractive);
    CDateEntry* original = doc.GetDateEntry(0);
    RecordingObserver views(doc);
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_EQ(std::get<EntryIdentity>(views.FirstObject(UpdateHint::EventDeleted)),
              EntryIdentity::Of(original));
    ASSERT_TRUE(doc.RedoDateEntry());
    CDateEntry* recreated = doc.GetDateEntry(0);
    EXPECT_EQ(std::get<CDateEntry*>(views.FirstObject(UpdateHint::EventAdded)), recreated);
    EXPECT_EQ(doc.GetEventHistory().FindLive(doc.GetEventHistory().GetStep(0).identity), recreated);
    EXPECT_TRUE(doc.GetChangeList().empty()) << "a local entry";

    const auto edit = [](DateData& d) {
        d.Category = "Home";
        d.StorageType = 1;
    };
    doc.ChangeDateEntry(recreated, WithData(*recreated, edit), kEditInteractive);
    doc.ClearChangeList();
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_EQ(doc.GetChangeList(), std::vector<std::string>{recreated->GetGUID()})
        << "the storage type differs from the snapshot";
    EXPECT_EQ(views.Hints(), (std::vector<int>{5, 9, 4, 9, 6, 9, 6, 9}));
    EXPECT_EQ(doc.GetEventHistory().GetCount(), 2) << "undo and redo record nothing";
}

TEST(DocumentUndoTest, SnapshotsCarryNoWorkMarkAndTheLiveMarkStays) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work", "v1"), kEditInteractive);
    CDateEntry* entry = doc.GetDateEntry(0);
    entry->SetSuspended(true);
    doc.ChangeDateEntry(entry, WithData(*entry, [](DateData& d) { d.Description = "v2"; }),
                        kEditInteractive);
    EXPECT_FALSE(doc.GetEventHistory().GetStep(1).snapshot->IsSuspended());
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_TRUE(entry->IsSuspended()) << "whoever suspended it still works on it";
    doc.DeleteDateEntry(entry, kEditInteractive);
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_FALSE(doc.GetDateEntry(0)->IsSuspended()) << "a re-created event is free";

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
    const auto edit = [](TodoData& d) {
        d.Description = "v2";
        d.Group = "Garden";
    };
    doc.ChangeTodoEntry(todo, WithData(*todo, edit), kEditInteractive);
    doc.DeleteTodoEntry(todo, kEditInteractive);
    EXPECT_FALSE(doc.CanUndoDateEntry()) << "the event history is separate";
    RecordingObserver views(doc);
    ASSERT_TRUE(doc.UndoTodoEntry());
    CTodoEntry* recreated = doc.GetTodoEntry(0);
    ASSERT_TRUE(doc.UndoTodoEntry());
    EXPECT_EQ(recreated->GetData().Group, "Office");
    ASSERT_TRUE(doc.UndoTodoEntry());
    EXPECT_EQ(doc.GetTodoCount(), 0);
    EXPECT_FALSE(doc.UndoTodoEntry());
    EXPECT_EQ(views.Hints(), (std::vector<int>{10, 14, 12, 14, 11, 14}));
    ASSERT_TRUE(doc.RedoTodoEntry());
    ASSERT_TRUE(doc.RedoTodoEntry());
    EXPECT_EQ(doc.GetTodoEntry(0)->GetData().Group, "Garden");
    ASSERT_TRUE(doc.RedoTodoEntry());
    EXPECT_FALSE(doc.RedoTodoEntry());
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

} // namespace
} // namespace dv
