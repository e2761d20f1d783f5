// Synchronisation through a shared event file: the merge of the document with the shared copy,
// the rotating backups, the cycle on a network path with its lock and the worker thread. The
// cycle on an FTP server has its own file.

#include "core/CFileException.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/EventFile.h"
#include "document/RotatingBackup.h"
#include "document/SyncTestSupport.h"
#include "document/SyncWorker.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
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

CDateEntry* Event(DocumentContents& contents, const std::string& guid) {
    for (auto& entry : contents.events) {
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
    struct Row {
        const char* name;
        int access;
    };
    for (const Row row : {Row{"read only", 0}, Row{"changes", 1}, Row{"deletions", 2},
                          Row{"changes and deletions", 3}}) {
        SCOPED_TRACE(row.name);
        const bool changes = (row.access & 1) != 0;
        const bool deletions = (row.access & 2) != 0;
        const fs::path sharedPath = Path("shared.dat");

        DocumentContents shared;
        auto changed = SharedEvent("old text");
        changed->DropOccurrence(kDropA);
        const std::string changedGuid = changed->GetGUID();
        auto deleted = SharedEvent("deleted here");
        const std::string deletedGuid = deleted->GetGUID();
        auto todo = SharedTodo("todo old");
        const std::string todoGuid = todo->GetGUID();
        shared.events.push_back(std::make_unique<CDateEntry>(*changed));
        shared.events.push_back(std::make_unique<CDateEntry>(*deleted));
        shared.todos.push_back(std::make_unique<CTodoEntry>(*todo));
        WriteEventFile(sharedPath, shared);

        CDayvaultDoc doc;
        doc.AddDateEntry(std::move(changed), 0);
        doc.AddDateEntry(std::move(deleted), 0);
        doc.AddTodoEntry(std::move(todo), 0);
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
        CTodoEntry* localTodo = doc.FindTodoEntry(todoGuid);
        TodoData todoData = localTodo->GetData();
        todoData.Description = "todo new";
        doc.ChangeTodoEntry(localTodo, todoData, kEditInteractive);
        ASSERT_EQ(doc.GetChangeList().size(), 4u);

        ASSERT_TRUE(doc.SynchronizeWith(sharedPath, 1, row.access));
        DocumentContents result = ReadEventFile(sharedPath, EventFileParts::entriesOnly);

        CDateEntry* pushed = Event(result, changedGuid);
        ASSERT_NE(pushed, nullptr);
        EXPECT_EQ(pushed->GetData().Description, changes ? "new text" : "old text");
        EXPECT_EQ(pushed->IsDropped(kDropA), !changes);
        EXPECT_EQ(pushed->IsDropped(kDropB), deletions);
        EXPECT_EQ(Event(result, addedGuid) != nullptr, changes);
        EXPECT_EQ(Event(result, deletedGuid) == nullptr, deletions);
        ASSERT_EQ(result.todos.size(), 1u);
        EXPECT_EQ(result.todos[0]->GetData().Description, changes ? "todo new" : "todo old");

        // The pull leaves the document with exactly the shared file's view.
        const CDateEntry* after = doc.FindDateEntry(changedGuid);
        ASSERT_NE(after, nullptr);
        EXPECT_EQ(after->GetData().Description, pushed->GetData().Description);
        EXPECT_EQ(after->GetDroppedOccurrences(), pushed->GetDroppedOccurrences());
        EXPECT_EQ(doc.FindDateEntry(addedGuid) != nullptr, changes);
        EXPECT_EQ(doc.FindDateEntry(deletedGuid) == nullptr, deletions);
        EXPECT_EQ(doc.FindTodoEntry(todoGuid)->GetData().Description,
                  changes ? "todo new" : "todo old");
        // The change list stays until the upload is confirmed.
        EXPECT_EQ(doc.GetChangeList().size(), 4u);
    }
}

// Making a shared entry local takes it out of the shared file (with deletion rights).
TEST_F(SynchronizeWithTest, UnsharingRemovesFromTheSharedFile) {
    const fs::path sharedPath = Path("shared.dat");
    auto entry = SharedEvent("was shared");
    const std::string guid = entry->GetGUID();
    DocumentContents shared;
    shared.events.push_back(std::make_unique<CDateEntry>(*entry));
    WriteEventFile(sharedPath, shared);
    CDayvaultDoc doc;
    doc.AddDateEntry(std::move(entry), 0);
    DateData data = doc.FindDateEntry(guid)->GetData();
    data.StorageType = 0;
    doc.ChangeDateEntry(doc.FindDateEntry(guid), data, kEditInteractive);
    ASSERT_TRUE(doc.SynchronizeWith(sharedPath, 1, 3));
    EXPECT_TRUE(ReadEventFile(sharedPath, EventFileParts::entriesOnly).events.empty());
    ASSERT_NE(doc.FindDateEntry(guid), nullptr);
    EXPECT_EQ(doc.FindDateEntry(guid)->GetStorageType(), 0);
}

// What other users did arrives: additions, changed values, dropped and restored occurrences,
// deletions, except for entries the user is working on. Nothing is written back without local
// changes.
TEST_F(SynchronizeWithTest, PullTakesOverOtherUsersChanges) {
    const fs::path sharedPath = Path("shared.dat");
    auto changed = SharedEvent("mine");
    changed->DropOccurrence(kDropA);
    auto gone = SharedEvent("gone");
    auto suspended = SharedEvent("suspended");
    auto goneTodo = SharedTodo("gone todo");
    auto editedTodo = SharedTodo("in editor");
    auto local = SharedEvent("local only", 0);
    CDayvaultDoc doc;
    const std::string changedGuid = changed->GetGUID();
    const std::string goneGuid = gone->GetGUID();
    const std::string suspendedGuid = suspended->GetGUID();
    const std::string goneTodoGuid = goneTodo->GetGUID();
    const std::string editedTodoGuid = editedTodo->GetGUID();
    const std::string localGuid = local->GetGUID();

    DocumentContents shared;
    auto theirs = std::make_unique<CDateEntry>(*changed);
    DateData data = theirs->GetData();
    data.Description = "theirs";
    data.Category = "NewCategory";
    theirs->AssignData(data);
    theirs->RestoreOccurrence(kDropA);
    theirs->DropOccurrence(kDropB);
    shared.events.push_back(std::move(theirs));
    auto fresh = SharedEvent("fresh");
    const std::string freshGuid = fresh->GetGUID();
    shared.events.push_back(std::move(fresh));
    auto freshTodo = SharedTodo("fresh todo");
    const std::string freshTodoGuid = freshTodo->GetGUID();
    shared.todos.push_back(std::move(freshTodo));
    WriteEventFile(sharedPath, shared);
    // Bytes after the to-dos are ignored by readers: a rewrite would drop them.
    WriteFile(sharedPath, ReadFile(sharedPath) + "tail");
    const std::string before = ReadFile(sharedPath);

    doc.AddDateEntry(std::move(changed), 0);
    doc.AddDateEntry(std::move(gone), 0);
    doc.AddDateEntry(std::move(suspended), 0);
    doc.AddDateEntry(std::move(local), 0);
    doc.AddTodoEntry(std::move(goneTodo), 0);
    doc.AddTodoEntry(std::move(editedTodo), 0);
    doc.FindDateEntry(suspendedGuid)->SetSuspended(true);
    doc.FindTodoEntry(editedTodoGuid)->SetInEditor(true);

    ASSERT_TRUE(doc.SynchronizeWith(sharedPath, 1, 3));
    EXPECT_EQ(ReadFile(sharedPath), before);
    EXPECT_TRUE(doc.GetChangeList().empty());
    EXPECT_TRUE(doc.IsModified());

    const CDateEntry* updated = doc.FindDateEntry(changedGuid);
    ASSERT_NE(updated, nullptr);
    EXPECT_EQ(updated->GetData().Description, "theirs");
    EXPECT_FALSE(updated->IsDropped(kDropA));
    EXPECT_TRUE(updated->IsDropped(kDropB));
    EXPECT_NE(doc.FindDateEntry(freshGuid), nullptr);
    EXPECT_NE(doc.FindTodoEntry(freshTodoGuid), nullptr);
    EXPECT_EQ(doc.FindDateEntry(goneGuid), nullptr);
    EXPECT_NE(doc.FindDateEntry(suspendedGuid), nullptr);
    EXPECT_NE(doc.FindDateEntry(localGuid), nullptr);
    EXPECT_EQ(doc.FindTodoEntry(goneTodoGuid), nullptr);
    EXPECT_NE(doc.FindTodoEntry(editedTodoGuid), nullptr);
    EXPECT_TRUE(doc.GetCategories().contains("NewCategory"));
    EXPECT_FALSE(doc.CanUndoDateEntry());
}

// A shared file that cannot be read, or synchronisation switched off, changes nothing at all.
TEST_F(SynchronizeWithTest, UnreadableSharedFileLeavesTheDocumentAlone) {
    DocumentContents valid;
    valid.events.push_back(SharedEvent("x"));
    valid.events.push_back(SharedEvent("y"));
    const fs::path good = Path("good.dat");
    WriteEventFile(good, valid);
    const std::string bytes = ReadFile(good);
    struct Row {
        const char* name;
        std::string content; // empty: the file is missing
        int networkFunction;
    };
    for (const Row& row :
         {Row{"missing", "", 1}, Row{"cut short", bytes.substr(0, 40), 1},
          Row{"garbage", std::string(64, '\x7f'), 2}, Row{"switched off", bytes, 0}}) {
        SCOPED_TRACE(row.name);
        const fs::path path = Path("shared.dat");
        fs::remove(path);
        if (!row.content.empty()) {
            WriteFile(path, row.content);
        }
        CDayvaultDoc doc;
        auto mine = SharedEvent("mine");
        const std::string guid = mine->GetGUID();
        doc.AddDateEntry(std::move(mine), kEditListChange);
        const CDateEntry before(*doc.FindDateEntry(guid));
        EXPECT_FALSE(doc.SynchronizeWith(path, row.networkFunction, 3));
        ASSERT_EQ(doc.GetDateEntryCount(), 1);
        EXPECT_EQ(doc.GetDateEntry(0)->GetData(), before.GetData());
        EXPECT_EQ(doc.GetChangeList(), std::vector<std::string>{guid});
        if (!row.content.empty()) {
            EXPECT_EQ(ReadFile(path), row.content);
        }
    }
}

// Upload done clears only what the merge pushed: an edit made while the upload ran is not in
// the uploaded file, so it must stay in the change list (and its side file) for the next cycle.
TEST_F(SynchronizeWithTest, EditsAfterTheMergeSurviveUploadDone) {
    const fs::path shared = Path("shared.dat");
    WriteEventFile(shared, DocumentContents{});
    CDayvaultDoc doc;
    ASSERT_TRUE(doc.SaveAs(Path("mine.dat")));
    auto first = SharedEvent("first");
    auto second = SharedEvent("second");
    const std::string a = first->GetGUID();
    const std::string b = second->GetGUID();
    doc.AddDateEntry(std::move(first), kEditInteractive);
    doc.AddDateEntry(std::move(second), kEditInteractive);
    ASSERT_TRUE(doc.SynchronizeWith(shared, 1, 3));

    // After the merge: b changes again and a third entry appears.
    DateData data = doc.FindDateEntry(b)->GetData();
    data.Description = "second, edited during the upload";
    doc.ChangeDateEntry(doc.FindDateEntry(b), data, kEditInteractive);
    const int third = doc.AddDateEntry(SharedEvent("third"), kEditInteractive);
    const std::string c = doc.GetDateEntry(third)->GetGUID();
    ASSERT_TRUE(doc.SaveCommand());
    ASSERT_TRUE(fs::exists(SyncSidePath(doc.GetPathName())));

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
    DocumentContents result = ReadEventFile(shared, EventFileParts::entriesOnly);
    ASSERT_NE(Event(result, b), nullptr);
    EXPECT_EQ(Event(result, b)->GetData().Description, "second, edited during the upload");
    EXPECT_NE(Event(result, c), nullptr);
    // A second upload done without a merge in between clears nothing.
    doc.AddDateEntry(SharedEvent("fourth"), kEditInteractive);
    doc.ClearPushedChanges();
    EXPECT_EQ(doc.GetChangeList().size(), 1u);
}

// ---- MakeRotatingBackup -------------------------------------------------------------------------

using RotatingBackupTest = TempFolder;

TEST_F(RotatingBackupTest, SlotsAgesAndFutureTimes) {
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

    // Old enough: the next free slot.
    result = MakeRotatingBackup(file, 3, 20, now + 21h);
    EXPECT_EQ(ReadFile(Path("events.b01")), "second");
    WriteFile(file, "third");
    MakeRotatingBackup(file, 3, 20, now + 42h);
    EXPECT_EQ(ReadFile(Path("events.b02")), "third");

    // All slots taken: the oldest (.b00) is overwritten.
    WriteFile(file, "fourth");
    MakeRotatingBackup(file, 3, 20, now + 63h);
    EXPECT_EQ(ReadFile(Path("events.b00")), "fourth");
    EXPECT_EQ(ReadFile(Path("events.b01")), "second");
    EXPECT_EQ(ReadFile(file), "fourth");

    // A copy from the future is set to now, so it no longer blocks the backups for days.
    fs::last_write_time(Path("events.b00"), now + 1000h);
    result = MakeRotatingBackup(file, 3, 20, now + 70h);
    EXPECT_EQ(fs::last_write_time(Path("events.b00")), now + 70h);
    EXPECT_EQ(result.secondsUntilNext, 20 * 3600);

    // A missing source is a failure that touches no copy.
    const std::string kept = ReadFile(Path("events.b01"));
    EXPECT_FALSE(MakeRotatingBackup(Path("missing.dat"), 3, 20, now).succeeded);
    EXPECT_FALSE(fs::exists(Path("missing.b00")));
    EXPECT_EQ(ReadFile(Path("events.b01")), kept);
}

// ---- the cycle ----------------------------------------------------------------------------------

using NetworkCycleTest = TempFolder;

SyncConfig PathConfig(const fs::path& shared) {
    SyncConfig config;
    config.NetworkFunction = 1;
    config.SharedFile = shared;
    config.NetworkSyncType = 1;
    return config;
}

// Both temporary files of a cycle are gone afterwards, whatever the outcome. The cycles use a
// temporary folder of their own here, so that other processes' files do not count.
TEST_F(NetworkCycleTest, TemporaryFilesAreRemoved) {
    const fs::path temporary = Path("tmp");
    fs::create_directories(temporary);
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    ::setenv("TMPDIR", temporary.c_str(), 1);
    ASSERT_EQ(fs::temp_directory_path(), temporary);
    {
        User user(PathConfig(Path("shared.dat")));
        user.AddShared("one");
        fs::path seen;
        user.host.beforeMerge = [&] { seen = user.worker.GetMergePath(); };
        EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
        EXPECT_EQ(seen.parent_path(), temporary);
        EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::success);
        user.host.answer = false;
        user.worker.SetPollTimes(1ms, 1ms, 2);
        EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::mergeFailed);
    }
    if (previous != nullptr) {
        ::setenv("TMPDIR", saved.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
    EXPECT_TRUE(fs::is_empty(temporary));
}

// Failures: a lock held by someone else, a shared file that cannot be copied, a busy owner.
TEST_F(NetworkCycleTest, BusyAndFailedCyclesUploadNothing) {
    const fs::path shared = Path("shared.dat");
    User user(PathConfig(shared));
    user.AddShared("pending");

    WriteFile(Path("shared.lock"), "held by another user");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::busy);
    EXPECT_EQ(ReadFile(Path("shared.lock")), "held by another user");
    EXPECT_EQ(user.host.mergeCalls, 0);
    fs::remove(Path("shared.lock"));

    user.host.busyState = 1; // an alarm check is running
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::mergeFailed);
    EXPECT_EQ(user.host.busyState, 1);
    user.host.busyState = 0;
    EXPECT_FALSE(fs::exists(shared));

    fs::create_directory(shared); // not a file: the copy fails
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::transferFailed);
    EXPECT_FALSE(user.worker.GetLastError().empty());
    EXPECT_FALSE(fs::exists(Path("shared.lock")));
    EXPECT_EQ(user.doc.GetChangeList().size(), 1u);
    EXPECT_EQ(user.host.uploadsDone, 0);
}

// A merge that never answers: after the five-second wait nothing is uploaded, and a merge
// arriving late finds nothing to do.
TEST_F(NetworkCycleTest, UnansweredMergeUploadsNothing) {
    const fs::path shared = Path("shared.dat");
    User user(PathConfig(shared));
    user.AddShared("pending");
    user.host.answer = false;
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::mergeFailed);
    EXPECT_FALSE(fs::exists(shared));
    EXPECT_FALSE(fs::exists(Path("shared.lock")));
    RunMergeStep(user.worker, &user.doc, user.host.busyState, 3);
    EXPECT_EQ(user.worker.GetStepState(), kSyncStepIdle);
    EXPECT_EQ(user.doc.GetChangeList().size(), 1u);
}

// The first cycle against a place creates the shared file from the user's shared entries. Later
// a shared file that is missing, empty or cut short changes nothing and is never taken for a
// share whose entries were all deleted; a new user does not create one where backups show it
// existed; creating it again is the user's decision.
TEST_F(NetworkCycleTest, MissingEmptyOrDamagedSharedFileChangesNothing) {
    const fs::path shared = Path("shared.dat");
    User user(PathConfig(shared));
    for (int i = 0; i < 5; ++i) {
        user.AddShared("shared " + std::to_string(i));
    }
    ASSERT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_EQ(ReadEventFile(shared, EventFileParts::entriesOnly).events.size(), 5u);
    EXPECT_EQ(user.doc.GetSharedPlace(), SharePlaceName(PathConfig(shared)));
    const std::string good = ReadFile(shared);
    user.AddShared("pending");

    struct Row {
        const char* name;
        std::optional<std::string> content; // nullopt: no file
        SyncOutcome expected;
        const char* message;
    };
    for (const Row& row :
         {Row{"missing", std::nullopt, SyncOutcome::sharedFileMissing, "backup"},
          Row{"empty", "", SyncOutcome::mergeFailed, "empty"},
          Row{"cut short", good.substr(0, good.size() / 2), SyncOutcome::mergeFailed, "damaged"}}) {
        SCOPED_TRACE(row.name);
        fs::remove(shared);
        if (row.content) {
            WriteFile(shared, *row.content);
        }
        EXPECT_EQ(user.worker.RunCycleNow(), row.expected);
        EXPECT_NE(user.worker.GetLastError().find(row.message), std::string::npos)
            << user.worker.GetLastError();
        EXPECT_NE(user.worker.GetLastError().find(shared.string()), std::string::npos);
        EXPECT_EQ(user.doc.GetDateEntryCount(), 6);
        EXPECT_EQ(user.doc.GetChangeList().size(), 1u);
        EXPECT_EQ(fs::exists(shared), row.content.has_value());
        if (row.content) {
            EXPECT_EQ(ReadFile(shared), *row.content);
        }
    }

    // Backups beside the missing file: a user who never synchronised does not create it.
    fs::remove(shared);
    WriteFile(Path("shared.b00"), good);
    User newcomer(PathConfig(shared));
    newcomer.AddShared("newcomer's");
    EXPECT_EQ(newcomer.worker.RunCycleNow(), SyncOutcome::sharedFileMissing);
    EXPECT_FALSE(fs::exists(shared));

    // Sharing again on purpose creates it from the user's entries.
    SyncConfig create = PathConfig(shared);
    create.CreateShare = true;
    user.worker.SetConfig(create);
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_EQ(ReadEventFile(shared, EventFileParts::entriesOnly).events.size(), 6u);
    EXPECT_TRUE(user.doc.GetChangeList().empty());
}

// More than half of at least ten shared entries gone at once: the rest of the merge applies, the
// deletions wait for the user's Yes; without a prompt, or with No, the entries stay.
TEST_F(NetworkCycleTest, MassDeletionWaitsForTheUser) {
    const fs::path shared = Path("shared.dat");
    User user(PathConfig(shared));
    std::vector<std::string> guids;
    for (int i = 0; i < 12; ++i) {
        guids.push_back(user.AddShared("shared " + std::to_string(i)));
    }
    ASSERT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    // Another user keeps five of them and adds one.
    DocumentContents theirs = ReadEventFile(shared, EventFileParts::entriesOnly);
    theirs.events.resize(5);
    theirs.events.push_back(SharedEvent("theirs"));
    WriteEventFile(shared, theirs);

    CQueuedPrompt prompt;
    for (const int answer : {-1, 0, 1}) { // no prompt, No, Yes
        SCOPED_TRACE(answer);
        user.host.prompt = answer < 0 ? nullptr : &prompt;
        if (answer >= 0) {
            prompt.QueueAnswer(answer == 1);
        }
        EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::success);
        EXPECT_EQ(user.doc.GetDateEntryCount(), answer == 1 ? 6 : 13);
        EXPECT_EQ(user.doc.GetHeldDeletionCount(), answer == 1 ? 0 : 7);
        EXPECT_EQ(user.host.busyState, 0);
    }
    ASSERT_EQ(prompt.GetQuestionCount(), 2u);
    EXPECT_EQ(prompt.GetShown()[0].text,
              "7 shared entries were removed by another user. Remove them here too?");
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

// A ".lock" left by a program that died is broken once this worker has seen it unchanged for the
// stale age; a lock that changes hands meanwhile is not.
TEST_F(NetworkCycleTest, StaleLockFileIsBroken) {
    const fs::path shared = Path("shared.dat");
    User user(PathConfig(shared));
    user.AddShared("pending");
    user.worker.SetStaleLockAge(0s);
    WriteFile(Path("shared.lock"), "holder 1");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::busy); // first sighting
    WriteFile(Path("shared.lock"), "holder 2");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::busy); // another holder: seen afresh
    EXPECT_EQ(ReadFile(Path("shared.lock")), "holder 2");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_FALSE(fs::exists(Path("shared.lock")));
    EXPECT_TRUE(user.doc.GetChangeList().empty());
    EXPECT_EQ(user.host.uploadsDone, 1);
    EXPECT_EQ(user.worker.GetStepState(), kSyncStepIdle);
}

// A shared file created again (by a newcomer's first cycle after it went missing, or by another
// user's --create) is a new share: a user's first cycle against it adds that user's shared
// entries and deletes none of those the creator lacked. Afterwards deletions travel as usual.
TEST_F(NetworkCycleTest, ASharedFileCreatedAgainLosesNoEntry) {
    const fs::path shared = Path("shared.dat");
    User bob(PathConfig(shared));
    const std::string first = bob.AddShared("bob 1");
    bob.AddShared("bob 2");
    ASSERT_EQ(bob.worker.RunCycleNow(), SyncOutcome::uploaded);
    fs::remove(shared);
    User carol(PathConfig(shared));
    carol.AddShared("carol's");
    ASSERT_EQ(carol.worker.RunCycleNow(), SyncOutcome::uploaded); // no backups: she creates it
    EXPECT_EQ(ReadEventFile(shared, EventFileParts::entriesOnly).events.size(), 1u);

    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_EQ(bob.doc.GetDateEntryCount(), 3);
    EXPECT_EQ(ReadEventFile(shared, EventFileParts::entriesOnly).events.size(), 3u);
    EXPECT_EQ(carol.worker.RunCycleNow(), SyncOutcome::success);
    EXPECT_EQ(carol.doc.GetDateEntryCount(), 3);

    carol.doc.DeleteDateEntry(carol.doc.FindDateEntry(first), kEditInteractive);
    EXPECT_EQ(carol.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::success);
    EXPECT_EQ(bob.doc.FindDateEntry(first), nullptr);
}

// ---- the worker thread --------------------------------------------------------------------------

using WorkerThreadTest = TempFolder;

TEST_F(WorkerThreadTest, RequestRunsACycleAndStopEndsTheThread) {
    const fs::path shared = Path("shared.dat");
    User user(PathConfig(shared));
    user.AddShared("pending");
    user.worker.SetPollTimes(60s, 200ms, 25); // only a wake-up can make it act in time
    user.worker.Start();
    user.worker.RequestSync();
    for (int i = 0; i < 500 && user.worker.GetOutcome() == SyncOutcome::idle; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(user.worker.GetOutcome(), SyncOutcome::uploaded);
    EXPECT_FALSE(user.worker.IsSyncRequested());
    EXPECT_EQ(user.worker.GetLastCycleTime(), kNow);
    const auto start = std::chrono::steady_clock::now();
    user.worker.Stop();
    // Stop must wake the sleeping thread, not wait out its minute.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    EXPECT_TRUE(fs::exists(shared));
}

// Automatic cycles come after the interval; a clock set back does not stall them.
TEST_F(WorkerThreadTest, AutomaticIntervalAndClockSetBack) {
    User user(PathConfig(Path("shared.dat")));
    SyncConfig config = PathConfig(Path("shared.dat"));
    config.NetworkSyncType = 0;
    config.AutoSyncInterval = 60;
    user.worker.SetConfig(config);
    user.worker.SetPollTimes(5ms, 5ms, 25);
    user.worker.Start();
    auto waitFor = [&](int calls) {
        for (int i = 0; i < 1000 && user.host.mergeCalls < calls; ++i) {
            std::this_thread::sleep_for(5ms);
        }
    };
    waitFor(1); // the first cycle comes at once
    EXPECT_EQ(user.host.mergeCalls, 1);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(user.host.mergeCalls, 1); // the clock stands: no second cycle
    m_clock->Advance(CDateTimeSpan(0, 0, 1, 0));
    waitFor(2);
    EXPECT_EQ(user.host.mergeCalls, 2);
    m_clock->Advance(CDateTimeSpan(-1, 0, 0, 0)); // set back a day
    std::this_thread::sleep_for(30ms);
    m_clock->Advance(CDateTimeSpan(0, 0, 1, 0));
    waitFor(3);
    EXPECT_EQ(user.host.mergeCalls, 3);
    user.worker.Stop();
}

} // namespace
} // namespace dv
