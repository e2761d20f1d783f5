// The merge of a document with the shared copy, the rotating backups, and the cycle on a network
// path with its lock and the worker thread: what the model-checked convergence runs do not reach.

#include "document/EventFile.h"
#include "document/RotatingBackup.h"
#include "sync/SyncUser.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace dv {
namespace {

namespace fs = std::filesystem;
using namespace test;
using namespace std::chrono_literals;

const CDateTime kDropA(2024, 3, 11, 9, 0, 0);
const CDateTime kDropB(2024, 3, 12, 9, 0, 0);

std::unique_ptr<CTodoEntry> SharedTodo(const std::string& description) {
    auto todo = std::make_unique<CTodoEntry>(kNow);
    TodoData data = todo->GetData();
    data.Description = description;
    data.StorageType = 1;
    todo->SetData(data);
    return todo;
}

const CDateEntry* Event(const DocumentContents& contents, const std::string& guid) {
    for (const auto& entry : contents.events) {
        if (entry->GetGUID() == guid) {
            return entry.get();
        }
    }
    return nullptr;
}

// ---- SynchronizeWith ----------------------------------------------------------------------------

using SynchronizeWithTest = TempFolder;

// Each access combination against the same situation: a changed event with one occurrence
// restored and another dropped locally, a new shared event, a deleted one, a changed to-do.
TEST_F(SynchronizeWithTest, PushFollowsTheWriteAccessBits) {
    for (const int access : {0, 1, 2, 3}) {
        SCOPED_TRACE(access);
        const bool changes = (access & 1) != 0;
        const bool deletions = (access & 2) != 0;
        const fs::path sharedPath = Path("shared.dat");

        DocumentContents shared;
        auto changed = SharedEvent("old text");
        changed->DropOccurrence(kDropA);
        const std::string changedGuid = changed->GetGUID();
        auto deleted = SharedEvent("deleted here");
        const std::string deletedGuid = deleted->GetGUID();
        auto todo = SharedTodo("todo old");
        shared.events.push_back(std::make_unique<CDateEntry>(*changed));
        shared.events.push_back(std::make_unique<CDateEntry>(*deleted));
        shared.todos.push_back(std::make_unique<CTodoEntry>(*todo));
        WriteEventFile(sharedPath, shared);

        CDayvaultDoc doc;
        doc.AddDateEntry(std::move(changed), 0);
        doc.AddDateEntry(std::move(deleted), 0);
        doc.AddTodoEntry(std::move(todo), 0);
        CTodoEntry* localTodo = doc.GetTodoEntry(0);
        CDateEntry* local = doc.FindDateEntry(changedGuid);
        DateData data = local->GetData();
        data.Description = "new text";
        doc.ChangeDateEntry(local, data, kEditInteractive);
        doc.RestoreDateOccurrence(local, kDropA, kEditInteractive);
        doc.DropDateOccurrence(local, kDropB, kEditInteractive);
        auto added = SharedEvent("added here");
        const std::string addedGuid = added->GetGUID();
        doc.AddDateEntry(std::move(added), kEditInteractive);
        doc.DeleteDateEntry(doc.FindDateEntry(deletedGuid), kEditInteractive);
        TodoData todoData = localTodo->GetData();
        todoData.Description = "todo new";
        doc.ChangeTodoEntry(localTodo, todoData, kEditInteractive);
        ASSERT_EQ(doc.GetChangeList().size(), 4u);

        ASSERT_TRUE(doc.SynchronizeWith(sharedPath, 1, access));
        const DocumentContents result = ReadEventFile(sharedPath, EventFileParts::entriesOnly);
        const CDateEntry* pushed = Event(result, changedGuid);
        ASSERT_NE(pushed, nullptr);
        EXPECT_EQ(pushed->GetData().Description, changes ? "new text" : "old text");
        EXPECT_EQ(pushed->IsDropped(kDropA), !changes);
        EXPECT_EQ(pushed->IsDropped(kDropB), deletions);
        EXPECT_EQ(Event(result, addedGuid) != nullptr, changes);
        EXPECT_EQ(Event(result, deletedGuid) == nullptr, deletions);
        ASSERT_EQ(result.todos.size(), 1u);
        EXPECT_EQ(result.todos[0]->GetData().Description, changes ? "todo new" : "todo old");
        // The pull leaves the document with the shared file's view; the change list stays until
        // the upload is confirmed.
        EXPECT_EQ(doc.FindDateEntry(changedGuid)->GetData().Description,
                  pushed->GetData().Description);
        EXPECT_EQ(doc.FindDateEntry(deletedGuid) == nullptr, deletions);
        EXPECT_EQ(doc.GetChangeList().size(), 4u);
    }
}

// What others did arrives, except for entries the user is working on; nothing is written back
// without local changes; a shared file that cannot be read, or sharing switched off, changes
// nothing at all.
TEST_F(SynchronizeWithTest, PullSparesEntriesInUseAndUnreadableFilesChangeNothing) {
    const fs::path sharedPath = Path("shared.dat");
    auto suspended = SharedEvent("suspended");
    auto editedTodo = SharedTodo("in editor");
    auto local = SharedEvent("local only", 0);
    DocumentContents shared;
    auto fresh = SharedEvent("fresh");
    DateData data = fresh->GetData();
    data.Category = "NewCategory";
    fresh->AssignData(data);
    shared.events.push_back(std::move(fresh));
    WriteEventFile(sharedPath, shared);
    // Bytes after the to-dos are ignored by readers: a rewrite would drop them.
    WriteFile(sharedPath, ReadFile(sharedPath) + "tail");
    const std::string before = ReadFile(sharedPath);
    CDayvaultDoc doc;
    const std::string suspendedGuid = suspended->GetGUID();
    const std::string editedTodoGuid = editedTodo->GetGUID();
    doc.AddDateEntry(std::move(suspended), 0);
    doc.AddDateEntry(std::move(local), 0);
    doc.AddTodoEntry(std::move(editedTodo), 0);
    doc.FindDateEntry(suspendedGuid)->SetSuspended(true);
    doc.FindTodoEntry(editedTodoGuid)->SetInEditor(true);

    ASSERT_TRUE(doc.SynchronizeWith(sharedPath, 1, 3));
    EXPECT_EQ(ReadFile(sharedPath), before);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetDateEntryCount(), 3);
    EXPECT_NE(doc.FindDateEntry(suspendedGuid), nullptr);
    EXPECT_NE(doc.FindTodoEntry(editedTodoGuid), nullptr);
    EXPECT_TRUE(doc.GetCategories().contains("NewCategory"));
    EXPECT_FALSE(doc.CanUndoDateEntry());

    struct Row {
        const char* name;
        std::string content; // empty: the file is missing
        int networkFunction;
    };
    for (const Row& row :
         {Row{"missing", "", 1}, Row{"cut short", before.substr(0, 40), 1},
          Row{"garbage", std::string(64, '\x7f'), 2}, Row{"switched off", before, 0}}) {
        SCOPED_TRACE(row.name);
        fs::remove(sharedPath);
        if (!row.content.empty()) {
            WriteFile(sharedPath, row.content);
        }
        CDayvaultDoc mine;
        mine.AddDateEntry(SharedEvent("mine"), kEditListChange);
        const DateData kept = mine.GetDateEntry(0)->GetData();
        EXPECT_FALSE(mine.SynchronizeWith(sharedPath, row.networkFunction, 3));
        ASSERT_EQ(mine.GetDateEntryCount(), 1);
        EXPECT_EQ(mine.GetDateEntry(0)->GetData(), kept);
        EXPECT_EQ(mine.GetChangeList().size(), 1u);
    }
}

// Upload done clears only what the merge pushed: an edit made while the upload ran is not in
// the uploaded file, so it must stay in the change list (and its side file) for the next cycle.
TEST_F(SynchronizeWithTest, EditsAfterTheMergeSurviveUploadDone) {
    const fs::path shared = Path("shared.dat");
    WriteEventFile(shared, DocumentContents{});
    CDayvaultDoc doc;
    ASSERT_TRUE(doc.SaveAs(Path("mine.dat")));
    doc.AddDateEntry(SharedEvent("first"), kEditInteractive);
    doc.AddDateEntry(SharedEvent("second"), kEditInteractive);
    const std::string b = doc.GetDateEntry(1)->GetGUID();
    ASSERT_TRUE(doc.SynchronizeWith(shared, 1, 3));

    // After the merge: b changes again and a third entry appears.
    DateData data = doc.FindDateEntry(b)->GetData();
    data.Description = "second, edited during the upload";
    doc.ChangeDateEntry(doc.FindDateEntry(b), data, kEditInteractive);
    const int third = doc.AddDateEntry(SharedEvent("third"), kEditInteractive);
    const std::string c = doc.GetDateEntry(third)->GetGUID();
    doc.ClearPushedChanges();
    EXPECT_EQ(doc.GetChangeList(), (std::vector<std::string>{b, c}));
    ASSERT_TRUE(doc.SaveCommand());
    EXPECT_EQ(ReadChangeListBytes(ReadFileBytes(SyncSidePath(doc.GetPathName()))),
              (std::vector<std::string>{b, c}));

    // The next cycle pushes the rest; its upload done empties the list and removes the side file.
    ASSERT_TRUE(doc.SynchronizeWith(shared, 1, 3));
    doc.ClearPushedChanges();
    EXPECT_TRUE(doc.GetChangeList().empty());
    EXPECT_FALSE(fs::exists(SyncSidePath(doc.GetPathName())));
    const DocumentContents result = ReadEventFile(shared, EventFileParts::entriesOnly);
    EXPECT_EQ(Event(result, b)->GetData().Description, "second, edited during the upload");
    // A second upload done without a merge in between clears nothing.
    doc.AddDateEntry(SharedEvent("fourth"), kEditInteractive);
    doc.ClearPushedChanges();
    EXPECT_EQ(doc.GetChangeList().size(), 1u);
}

TEST_F(SynchronizeWithTest, RotatingBackupSlotsAgesAndFutureTimes) {
    const fs::path file = Path("events.dat");
    const auto now = fs::file_time_type::clock::now();
    WriteFile(file, "first");

    // No backups yet: .b00 at once, stamped now.
    RotatingBackupResult result = MakeRotatingBackup(file, 3, 20, now);
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.secondsUntilNext, 20 * 3600);
    EXPECT_EQ(ReadFile(Path("events.b00")), "first");
    EXPECT_EQ(fs::last_write_time(Path("events.b00")), now);

    // A young backup, three quarters of its age: no copy, and the rest of the 20 hours.
    WriteFile(file, "second");
    result = MakeRotatingBackup(file, 3, 20, now + 15h);
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.secondsUntilNext, 5 * 3600);
    EXPECT_FALSE(fs::exists(Path("events.b01")));

    // Old enough: the next free slot; all slots taken: the oldest (.b00) is overwritten.
    MakeRotatingBackup(file, 3, 20, now + 21h);
    EXPECT_EQ(ReadFile(Path("events.b01")), "second");
    WriteFile(file, "third");
    MakeRotatingBackup(file, 3, 20, now + 42h);
    EXPECT_EQ(ReadFile(Path("events.b02")), "third");
    WriteFile(file, "fourth");
    MakeRotatingBackup(file, 3, 20, now + 63h);
    EXPECT_EQ(ReadFile(Path("events.b00")), "fourth");
    EXPECT_EQ(ReadFile(Path("events.b01")), "second");

    // A copy from the future is set to now, so it no longer blocks the backups for days.
    fs::last_write_time(Path("events.b00"), now + 1000h);
    result = MakeRotatingBackup(file, 3, 20, now + 70h);
    EXPECT_EQ(fs::last_write_time(Path("events.b00")), now + 70h);
    EXPECT_EQ(result.secondsUntilNext, 20 * 3600);

    // A missing source is a failure that touches no copy.
    EXPECT_FALSE(MakeRotatingBackup(Path("missing.dat"), 3, 20, now).succeeded);
    EXPECT_FALSE(fs::exists(Path("missing.b00")));
}

// ---- the cycle on a network path ----------------------------------------------------------------

using NetworkCycleTest = TempFolder;

// A lock held by someone else, a busy owner, a shared file that cannot be copied and a merge
// that never answers upload nothing. A ".lock" left by a program that died is broken once this
// worker has seen it unchanged for the stale age; a lock that changes hands meanwhile is not.
TEST_F(NetworkCycleTest, BusyFailedAndUnansweredCyclesUploadNothing) {
    const fs::path shared = Path("shared.dat");
    const fs::path lock = Path("shared.lock");
    SyncUser user(PathConfig(shared));
    user.AddShared("pending");
    user.worker.SetStaleLockAge(0s);
    WriteFile(lock, "holder 1");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::busy); // first sighting
    WriteFile(lock, "holder 2");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::busy); // another holder: seen afresh
    EXPECT_EQ(ReadFile(lock), "holder 2");
    EXPECT_EQ(user.merges, 0);
    fs::remove(lock);

    user.busyState = 1; // an alarm check is running
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::mergeFailed);
    EXPECT_EQ(user.busyState, 1);
    user.busyState = 0;
    EXPECT_FALSE(fs::exists(shared));
    fs::create_directory(shared); // not a file: the copy fails
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::transferFailed);
    EXPECT_FALSE(user.worker.GetLastError().empty());
    EXPECT_FALSE(fs::exists(lock));
    EXPECT_EQ(user.doc.GetChangeList().size(), 1u);
    EXPECT_EQ(user.uploadsDone, 0);
    fs::remove(shared);

    WriteFile(lock, "holder 3");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::busy);
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_FALSE(fs::exists(lock));
    EXPECT_TRUE(user.doc.GetChangeList().empty());
    EXPECT_EQ(user.uploadsDone, 1);

    user.answer = false;
    user.worker.SetPollTimes(1ms, 1ms, 2);
    user.AddShared("pending");
    const std::string uploaded = ReadFile(shared);
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::mergeFailed);
    EXPECT_EQ(ReadFile(shared), uploaded);
    EXPECT_FALSE(fs::exists(lock));
    RunMergeStep(user.worker, &user.doc, user.busyState, 3); // arriving late: nothing to do
    EXPECT_EQ(user.worker.GetStepState(), kSyncStepIdle);
    EXPECT_EQ(user.doc.GetChangeList().size(), 1u);
}

// More than half of at least ten shared entries gone at once: the rest of the merge applies, the
// deletions wait for the user's Yes; without a prompt, or with No, the entries stay.
TEST_F(NetworkCycleTest, MassDeletionWaitsForTheUser) {
    const fs::path shared = Path("shared.dat");
    SyncUser user(PathConfig(shared));
    std::vector<std::string> guids;
    for (int i = 0; i < 12; ++i) {
        guids.push_back(user.AddShared("shared " + std::to_string(i)));
    }
    user.doc.AddTodoEntry(SharedTodo("shared to-do"), kEditInteractive);
    ASSERT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    // Another user keeps five of the events, none of the to-dos, and adds one event.
    DocumentContents theirs = ReadEventFile(shared, EventFileParts::entriesOnly);
    theirs.events.resize(5);
    theirs.todos.clear();
    theirs.events.push_back(SharedEvent("theirs"));
    WriteEventFile(shared, theirs);

    CQueuedPrompt prompt;
    for (const int answer : {-1, 0, 1}) { // no prompt, No, Yes
        SCOPED_TRACE(answer);
        user.prompt = answer < 0 ? nullptr : &prompt;
        if (answer >= 0) {
            prompt.QueueAnswer(answer == 1);
        }
        EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::success);
        EXPECT_EQ(user.doc.GetDateEntryCount(), answer == 1 ? 6 : 13);
        EXPECT_EQ(user.doc.GetTodoCount(), answer == 1 ? 0 : 1);
        EXPECT_EQ(user.doc.GetHeldDeletionCount(), answer == 1 ? 0 : 8);
        EXPECT_EQ(user.busyState, 0);
    }
    ASSERT_EQ(prompt.GetQuestionCount(), 2u);
    EXPECT_EQ(prompt.GetShown()[0].text,
              "8 shared entries were removed by another user. Remove them here too?");
    EXPECT_EQ(prompt.GetShown()[0].icon, PromptIcon::Question);
    EXPECT_EQ(user.doc.FindDateEntry(guids[6]), nullptr);
    // Half of them is not more than half: gone without a question.
    for (int i = 0; i < 6; ++i) {
        user.AddShared("more " + std::to_string(i));
    }
    ASSERT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    theirs = ReadEventFile(shared, EventFileParts::entriesOnly);
    theirs.events.resize(6);
    WriteEventFile(shared, theirs);
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::success);
    EXPECT_EQ(user.doc.GetDateEntryCount(), 6);
    EXPECT_EQ(prompt.GetQuestionCount(), 2u);
}

// ---- the worker thread --------------------------------------------------------------------------

// Automatic cycles come after the interval; a clock set back does not stall them.
TEST_F(NetworkCycleTest, AutomaticIntervalAndClockSetBack) {
    SyncConfig config = PathConfig(Path("shared.dat"));
    config.NetworkSyncType = 0;
    config.AutoSyncInterval = 60;
    SyncUser user(config);
    user.worker.SetPollTimes(5ms, 5ms, 25);
    user.worker.Start();
    auto waitFor = [&](int calls) {
        // Until the cycle has also ended: its end stamps the last cycle time.
        for (int i = 0;
             i < 1000 && (user.merges < calls || user.worker.GetLastCycleTime() != m_clock->Now());
             ++i) {
            std::this_thread::sleep_for(5ms);
        }
    };
    waitFor(1); // the first cycle comes at once
    EXPECT_EQ(user.merges, 1);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(user.merges, 1); // the clock stands: no second cycle
    m_clock->Advance(CDateTimeSpan(0, 0, 1, 0));
    waitFor(2);
    EXPECT_EQ(user.merges, 2);
    m_clock->Advance(CDateTimeSpan(-1, 0, 0, 0)); // set back a day: the worker takes it over
    waitFor(2);
    EXPECT_EQ(user.worker.GetLastCycleTime(), m_clock->Now());
    m_clock->Advance(CDateTimeSpan(0, 0, 1, 0));
    waitFor(3);
    EXPECT_EQ(user.merges, 3);
}

} // namespace
} // namespace dv
