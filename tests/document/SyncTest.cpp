// Synchronisation through a shared event file: the merge of the document with the shared copy,
// the rotating backups, the cycle on a network path with its lock, the cycle on an FTP server
// (through an in-memory server) and the worker thread.

#include "core/CFileException.h"
#include "core/Clock.h"
#include "document/CDayvaultDoc.h"
#include "document/EventFile.h"
#include "document/RotatingBackup.h"
#include "document/SyncWorker.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>

namespace dv {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const CDateTime kNow(2024, 3, 10, 12, 0, 0);
const CDateTime kDropA(2024, 3, 11, 9, 0, 0);
const CDateTime kDropB(2024, 3, 12, 9, 0, 0);

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::unique_ptr<CDateEntry> SharedEvent(const std::string& description, int storage = 1) {
    auto entry = std::make_unique<CDateEntry>(kNow);
    DateData data = entry->GetData();
    data.Description = description;
    data.StorageType = storage;
    entry->AssignData(data);
    return entry;
}

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

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        m_dir = fs::temp_directory_path() / ("dayvault-sync-test-" + std::to_string(random()));
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    fs::path Path(const std::string& name) const { return m_dir / name; }

    std::shared_ptr<CFixedClock> m_clock = std::make_shared<CFixedClock>(kNow);
    CScopedClock m_scoped{m_clock};
    fs::path m_dir;
};

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
    WriteBytes(sharedPath, ReadBytes(sharedPath) + "tail");
    const std::string before = ReadBytes(sharedPath);

    doc.AddDateEntry(std::move(changed), 0);
    doc.AddDateEntry(std::move(gone), 0);
    doc.AddDateEntry(std::move(suspended), 0);
    doc.AddDateEntry(std::move(local), 0);
    doc.AddTodoEntry(std::move(goneTodo), 0);
    doc.AddTodoEntry(std::move(editedTodo), 0);
    doc.FindDateEntry(suspendedGuid)->SetSuspended(true);
    doc.FindTodoEntry(editedTodoGuid)->SetInEditor(true);

    ASSERT_TRUE(doc.SynchronizeWith(sharedPath, 1, 3));
    EXPECT_EQ(ReadBytes(sharedPath), before);
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
    const std::string bytes = ReadBytes(good);
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
            WriteBytes(path, row.content);
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
            EXPECT_EQ(ReadBytes(path), row.content);
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
    EXPECT_EQ(ReadChangeListBytes([&] {
                  const std::string bytes = ReadBytes(SyncSidePath(doc.GetPathName()));
                  return std::vector<uint8_t>(bytes.begin(), bytes.end());
              }()),
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
    WriteBytes(file, "first");

    // No backups yet: .b00 at once, stamped now.
    RotatingBackupResult result = MakeRotatingBackup(file, 3, 20, now);
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.secondsUntilNext, 20 * 3600);
    EXPECT_EQ(ReadBytes(Path("events.b00")), "first");
    EXPECT_EQ(fs::last_write_time(Path("events.b00")), now);

    // A young backup: no copy, and the rest of the 20 hours.
    WriteBytes(file, "second");
    result = MakeRotatingBackup(file, 3, 20, now + 5h);
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.secondsUntilNext, 15 * 3600);
    EXPECT_FALSE(fs::exists(Path("events.b01")));

    // Old enough: the next free slot.
    result = MakeRotatingBackup(file, 3, 20, now + 21h);
    EXPECT_EQ(ReadBytes(Path("events.b01")), "second");
    WriteBytes(file, "third");
    MakeRotatingBackup(file, 3, 20, now + 42h);
    EXPECT_EQ(ReadBytes(Path("events.b02")), "third");

    // All slots taken: the oldest (.b00) is overwritten.
    WriteBytes(file, "fourth");
    MakeRotatingBackup(file, 3, 20, now + 63h);
    EXPECT_EQ(ReadBytes(Path("events.b00")), "fourth");
    EXPECT_EQ(ReadBytes(Path("events.b01")), "second");
    EXPECT_EQ(ReadBytes(file), "fourth");

    // A copy from the future is set to now, so it no longer blocks the backups for days.
    fs::last_write_time(Path("events.b00"), now + 1000h);
    result = MakeRotatingBackup(file, 3, 20, now + 70h);
    EXPECT_EQ(fs::last_write_time(Path("events.b00")), now + 70h);
    EXPECT_EQ(result.secondsUntilNext, 20 * 3600);

    // A missing source is a failure that touches no copy.
    const std::string kept = ReadBytes(Path("events.b01"));
    EXPECT_FALSE(MakeRotatingBackup(Path("missing.dat"), 3, 20, now).succeeded);
    EXPECT_FALSE(fs::exists(Path("missing.b00")));
    EXPECT_EQ(ReadBytes(Path("events.b01")), kept);
}

// ---- the cycle ----------------------------------------------------------------------------------

/// The owner of one document, running the merge at once on the worker's thread.
class TestHost : public ISyncHost {
public:
    explicit TestHost(CDayvaultDoc& doc) : m_doc(doc) {}
    void PostMergeNow() override {
        ++mergeCalls;
        if (beforeMerge) {
            beforeMerge();
        }
        if (answer) {
            RunMergeStep(*worker, &m_doc, busyState, writeAccess);
        }
    }
    void PostUploadDone() override {
        ++uploadsDone;
        OnUploadDone(&m_doc);
    }

    CSyncWorker* worker = nullptr;
    std::function<void()> beforeMerge;
    bool answer = true;
    int busyState = 0;
    int writeAccess = 3;
    std::atomic<int> mergeCalls{0};
    std::atomic<int> uploadsDone{0};

private:
    CDayvaultDoc& m_doc;
};

/// A user: a private document, its host and its worker.
struct User {
    explicit User(const SyncConfig& config, IFtpConnector* connector = nullptr)
        : host(doc), worker(host, connector) {
        host.worker = &worker;
        worker.SetConfig(config);
    }
    std::string AddShared(const std::string& description) {
        auto entry = SharedEvent(description);
        const std::string guid = entry->GetGUID();
        doc.AddDateEntry(std::move(entry), kEditInteractive);
        return guid;
    }
    CDayvaultDoc doc;
    TestHost host;
    CSyncWorker worker;
};

using NetworkCycleTest = TempFolder;

SyncConfig PathConfig(const fs::path& shared) {
    SyncConfig config;
    config.NetworkFunction = 1;
    config.SharedFile = shared;
    config.NetworkSyncType = 1;
    return config;
}

// Two users through one folder: the first creates the shared file, each sees the other's
// additions and deletions, and the lock never outlives a cycle.
TEST_F(NetworkCycleTest, TwoUsersConvergeAndTheLockGoes) {
    const fs::path shared = Path("shared.dat");
    User alice(PathConfig(shared));
    User bob(PathConfig(shared));
    const std::string a = alice.AddShared("from alice");
    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_TRUE(alice.doc.GetChangeList().empty());
    EXPECT_EQ(alice.host.uploadsDone, 1);
    const std::string b = bob.AddShared("from bob");
    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_NE(bob.doc.FindDateEntry(a), nullptr);
    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::success);
    EXPECT_NE(alice.doc.FindDateEntry(b), nullptr);

    bob.doc.DeleteDateEntry(bob.doc.FindDateEntry(a), kEditInteractive);
    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::success);
    EXPECT_EQ(alice.doc.FindDateEntry(a), nullptr);
    EXPECT_FALSE(fs::exists(Path("shared.lock")));
    EXPECT_EQ(alice.worker.GetStepState(), kSyncStepIdle);
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

    WriteBytes(Path("shared.lock"), "held by another user");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::busy);
    EXPECT_EQ(ReadBytes(Path("shared.lock")), "held by another user");
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

// ---- the FTP cycle ------------------------------------------------------------------------------

/// An FTP server in memory, with hooks that fail or change things at chosen moments.
class FakeServer : public IFtpConnector {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    bool foldersAllowed = true; // false: the server refuses to create folders (permissions)
    int failAfter = -1;         // transfers left before every further one fails; -1 never
    // Fails the one operation it answers true for, as a lost transfer would.
    std::function<bool(const std::string& op, const std::string& path)> failWhen;
    std::function<void(const std::string& op, const std::string& path)> afterTransfer;
    std::string password;

    std::unique_ptr<IFtpSession> Connect(const FtpEndpoint& endpoint, const std::atomic<bool>*,
                                         std::string& error) override;
};

class FakeSession : public IFtpSession {
public:
    explicit FakeSession(FakeServer& server) : m_server(server) {}
    FtpResult Download(const std::string& remote, const fs::path& local) override {
        if (Failing("download", remote)) {
            return FtpResult::failed;
        }
        const auto found = m_server.files.find(remote);
        if (found == m_server.files.end()) {
            m_error = remote + ": 550 not found";
            return FtpResult::missing;
        }
        WriteBytes(local, found->second);
        Done("download", remote);
        return FtpResult::ok;
    }
    FtpResult Upload(const fs::path& local, const std::string& remote) override {
        if (Failing("upload", remote)) {
            return FtpResult::failed;
        }
        m_server.files[remote] = ReadBytes(local);
        Done("upload", remote);
        return FtpResult::ok;
    }
    FtpResult Delete(const std::string& remote) override {
        if (Failing("delete", remote)) {
            return FtpResult::failed;
        }
        const bool had = m_server.files.erase(remote) > 0;
        Done("delete", remote);
        return had ? FtpResult::ok : FtpResult::missing;
    }
    FtpResult MakeDirectory(const std::string& remote) override {
        if (Failing("mkd", remote)) {
            return FtpResult::failed;
        }
        if (!m_server.foldersAllowed) {
            m_error = remote + ": 550 permission denied";
            return FtpResult::refused;
        }
        if (m_server.files.contains(remote) || !m_server.folders.insert(remote).second) {
            m_error = remote + ": 550 exists";
            return FtpResult::refused;
        }
        Done("mkd", remote);
        return FtpResult::ok;
    }
    FtpResult RemoveDirectory(const std::string& remote) override {
        if (Failing("rmd", remote)) {
            return FtpResult::failed;
        }
        const auto inside = m_server.files.lower_bound(remote + "/");
        if (!m_server.folders.contains(remote) ||
            (inside != m_server.files.end() && inside->first.rfind(remote + "/", 0) == 0)) {
            m_error = remote + ": 550 not there or not empty";
            return FtpResult::refused;
        }
        m_server.folders.erase(remote);
        Done("rmd", remote);
        return FtpResult::ok;
    }
    std::string LastError() const override { return m_error; }

private:
    bool Failing(const std::string& op, const std::string& remote) {
        m_error.clear();
        if (m_server.failAfter == 0 || (m_server.failWhen && m_server.failWhen(op, remote))) {
            m_error = op + " " + remote + ": connection lost";
            return true;
        }
        if (m_server.failAfter > 0) {
            --m_server.failAfter;
        }
        return false;
    }
    void Done(const std::string& op, const std::string& remote) {
        if (m_server.afterTransfer) {
            m_server.afterTransfer(op, remote);
        }
    }
    FakeServer& m_server;
    std::string m_error;
};

std::unique_ptr<IFtpSession> FakeServer::Connect(const FtpEndpoint& endpoint,
                                                 const std::atomic<bool>*, std::string& error) {
    if (endpoint.password != password) {
        error = endpoint.server + ": 530 login incorrect";
        return nullptr;
    }
    return std::make_unique<FakeSession>(*this);
}

SyncConfig FtpConfig(int backupDepth = 0) {
    SyncConfig config;
    config.NetworkFunction = 2;
    config.FtpServer.server = "127.0.0.1";
    config.FtpServer.password = "s3cret-pw";
    config.FtpSharedFile = "share/events.dat";
    config.NetworkSyncType = 1;
    config.NetworkBackupDepth = backupDepth;
    return config;
}

using FtpCycleTest = TempFolder;

TEST_F(FtpCycleTest, UploadWithTimeStampAndTwoUsers) {
    FakeServer server;
    server.password = "s3cret-pw";
    User alice(FtpConfig(), &server);
    User bob(FtpConfig(), &server);
    const std::string a = alice.AddShared("from alice");
    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_TRUE(alice.doc.GetChangeList().empty());
    ASSERT_TRUE(server.files.contains("share/events.dts"));
    const std::string stamp = server.files["share/events.dts"];
    EXPECT_EQ(stamp.substr(0, stamp.find("\r\n")), kNow.FormatFixed());
    CDateTime parsed;
    EXPECT_TRUE(parsed.Parse(stamp.substr(0, stamp.find("\r\n"))));

    bob.AddShared("from bob");
    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_NE(bob.doc.FindDateEntry(a), nullptr);
    // Same second, different uploader: the stamps still differ.
    EXPECT_NE(server.files["share/events.dts"], stamp);
    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::success);
    EXPECT_EQ(alice.doc.GetDateEntryCount(), 2);
}

// Every way the upload can be lost keeps the change list for the next cycle.
TEST_F(FtpCycleTest, ChangesStayWhenTheUploadIsNotOurs) {
    struct Row {
        const char* name;
        std::function<void(FakeServer&, TestHost&)> arrange;
        SyncOutcome expected;
    };
    const std::vector<Row> rows = {
        {"time stamp changed during the merge",
         [](FakeServer& server, TestHost& host) {
             host.beforeMerge = [&server] {
                 server.files["share/events.dts"] = "2024 03 10 12 00 00\r\n{OTHER}\r\n";
             };
         },
         SyncOutcome::uploadSkipped},
        {"time stamp replaced right after our upload",
         [](FakeServer& server, TestHost&) {
             server.afterTransfer = [&server](const std::string& op, const std::string& path) {
                 if (op == "upload" && path == "share/events.dts") {
                     server.files[path] = "2024 03 10 12 00 00\r\n{OTHER}\r\n";
                 }
             };
         },
         SyncOutcome::uploadSkipped},
        {"another user's file lands between our two uploads",
         [](FakeServer& server, TestHost&) {
             server.afterTransfer = [&server](const std::string& op, const std::string& path) {
                 if (op == "upload" && path == "share/events.dat") {
                     server.files[path] = "someone else's merge";
                 }
             };
         },
         SyncOutcome::uploadSkipped},
        {"upload of the shared file fails",
         [](FakeServer& server, TestHost&) {
             server.failWhen = [](const std::string& op, const std::string& path) {
                 return op == "upload" && path == "share/events.dat";
             };
         },
         SyncOutcome::transferFailed},
        {"upload of the time stamp fails",
         [](FakeServer& server, TestHost&) {
             server.failWhen = [](const std::string& op, const std::string& path) {
                 return op == "upload" && path == "share/events.dts";
             };
         },
         SyncOutcome::transferFailed},
        {"the lock's owner file cannot be written",
         [](FakeServer& server, TestHost&) {
             server.failWhen = [](const std::string& op, const std::string& path) {
                 return op == "upload" && path == "share/events.lock/owner";
             };
         },
         SyncOutcome::transferFailed},
        {"server stops before the time stamp is read",
         [](FakeServer& server, TestHost&) { server.failAfter = 1; }, SyncOutcome::transferFailed},
        {"wrong password", [](FakeServer& server, TestHost&) { server.password = "other"; },
         SyncOutcome::transferFailed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeServer server;
        server.password = "s3cret-pw";
        DocumentContents original;
        original.events.push_back(SharedEvent("on the server"));
        server.files["share/events.dat"] = [&] {
            WriteEventFile(Path("orig.dat"), original);
            return ReadBytes(Path("orig.dat"));
        }();
        User user(FtpConfig(), &server);
        user.AddShared("pending");
        row.arrange(server, user.host);
        const SyncOutcome outcome = user.worker.RunCycleNow();
        EXPECT_EQ(outcome, row.expected);
        EXPECT_EQ(user.doc.GetChangeList().size(), 1u);
        EXPECT_EQ(user.host.uploadsDone, 0);
        EXPECT_EQ(user.worker.GetLastError().find("s3cret-pw"), std::string::npos);
        if (row.expected == SyncOutcome::transferFailed) {
            EXPECT_FALSE(user.worker.GetLastError().empty());
        }
        // Whatever happened, the upload lock went with the cycle.
        EXPECT_FALSE(server.folders.contains("share/events.lock"));
        EXPECT_FALSE(server.files.contains("share/events.lock/owner"));
    }
}

// ---- the upload lock on the server --------------------------------------------------------------

constexpr const char* kLockFolder = "share/events.lock";
constexpr const char* kLockOwner = "share/events.lock/owner";
constexpr const char* kOtherOwner = "{OTHER-HOLDER}\r\n2024 03 10 11 59 00\r\n";

// The lock is held exactly around the uploads and names its holder while held.
TEST_F(FtpCycleTest, UploadsHappenOnlyUnderTheLock) {
    FakeServer server;
    server.password = "s3cret-pw";
    std::vector<std::string> ownersSeen;
    server.afterTransfer = [&](const std::string& op, const std::string& path) {
        if (op == "upload" && (path == "share/events.dat" || path == "share/events.dts")) {
            const bool held = server.folders.contains(kLockFolder);
            ownersSeen.push_back(held && server.files.contains(kLockOwner)
                                     ? server.files[kLockOwner]
                                     : std::string("not held"));
        }
    };
    User user(FtpConfig(), &server);
    user.AddShared("one");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    ASSERT_EQ(ownersSeen.size(), 2u);
    EXPECT_EQ(ownersSeen[0], ownersSeen[1]);
    // The holder's mark on the first line, the time on the second.
    const std::string owner = ownersSeen[0];
    ASSERT_NE(owner.find("\r\n"), std::string::npos) << owner;
    EXPECT_EQ(owner.front(), '{');
    EXPECT_EQ(owner.substr(owner.find("\r\n") + 2), kNow.FormatFixed() + "\r\n");
    EXPECT_FALSE(server.folders.contains(kLockFolder));
    EXPECT_FALSE(server.files.contains(kLockOwner));

    // Each cycle holds the lock under a mark of its own.
    ownersSeen.clear();
    user.AddShared("two");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    ASSERT_EQ(ownersSeen.size(), 2u);
    EXPECT_NE(ownersSeen[0], owner);
    // Nothing to upload: the lock is not even taken.
    ownersSeen.clear();
    server.failWhen = [](const std::string& op, const std::string&) { return op == "mkd"; };
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::success);
}

// Another user's lock, fresh or of unknown age, holds everyone off and is never touched; a lock
// that stays unchanged for the stale age is broken; one that changes in between is not.
TEST_F(FtpCycleTest, LockOfAnotherUserMeansBusyUntilItIsStale) {
    struct Row {
        const char* name;
        std::optional<std::string> owner; // nullopt: a lock folder without an owner file
        std::chrono::steady_clock::duration age;
        int busyCycles; // cycles that end busy before one uploads; -1 none uploads
        std::function<void(FakeServer&, int cycle)> between;
    };
    const std::vector<Row> rows = {
        {"fresh lock under the default age", kOtherOwner, std::chrono::minutes(5), -1, {}},
        {"stale lock: the second sighting after an age of 0", kOtherOwner, {}, 1, {}},
        {"stale empty lock folder", std::nullopt, {}, 1, {}},
        {"a lock that changes hands is seen afresh",
         kOtherOwner,
         {},
         -1,
         [](FakeServer& server, int cycle) {
             server.files[kLockOwner] = "{HOLDER-" + std::to_string(cycle) + "}\r\n";
         }},
        {"the holder renews between the sighting and the break",
         kOtherOwner,
         {},
         -1,
         [](FakeServer& server, int cycle) {
             if (cycle > 0) {
                 return; // installed once
             }
             // Right after each first read of a cycle the holder renews, so the read just
             // before the break finds a new holder.
             int reads = 0;
             server.afterTransfer = [&server, reads](const std::string& op,
                                                     const std::string& path) mutable {
                 if (op == "download" && path == kLockOwner && ++reads % 2 == 1) {
                     server.files[kLockOwner] = "{RENEWED-" + std::to_string(reads) + "}\r\n";
                 }
             };
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeServer server;
        server.password = "s3cret-pw";
        server.folders.insert(kLockFolder);
        if (row.owner) {
            server.files[kLockOwner] = *row.owner;
        }
        User user(FtpConfig(), &server);
        user.worker.SetStaleLockAge(row.age);
        user.AddShared("pending");
        const int cycles = row.busyCycles < 0 ? 4 : row.busyCycles + 1;
        for (int cycle = 0; cycle < cycles; ++cycle) {
            SCOPED_TRACE("cycle " + std::to_string(cycle));
            const bool hadOwner = server.files.contains(kLockOwner);
            const SyncOutcome outcome = user.worker.RunCycleNow();
            if (cycle < row.busyCycles || row.busyCycles < 0) {
                EXPECT_EQ(outcome, SyncOutcome::busy);
                EXPECT_EQ(user.doc.GetChangeList().size(), 1u);
                EXPECT_EQ(user.host.uploadsDone, 0);
                // The other's lock stands and nothing was uploaded.
                EXPECT_TRUE(server.folders.contains(kLockFolder));
                EXPECT_EQ(server.files.contains(kLockOwner), hadOwner);
                EXPECT_FALSE(server.files.contains("share/events.dat"));
                EXPECT_FALSE(server.files.contains("share/events.dts"));
                if (row.between) {
                    row.between(server, cycle);
                }
            } else {
                EXPECT_EQ(outcome, SyncOutcome::uploaded);
                EXPECT_TRUE(user.doc.GetChangeList().empty());
                EXPECT_TRUE(server.files.contains("share/events.dat"));
                EXPECT_FALSE(server.folders.contains(kLockFolder));
                EXPECT_FALSE(server.files.contains(kLockOwner));
            }
        }
    }
}

// A cycle that loses the server while it holds the lock leaves the lock behind. The same worker
// knows its own mark and breaks it at its next cycle; any other user waits for the stale rule.
TEST_F(FtpCycleTest, OwnLeftoverLockIsBrokenAtOnce) {
    FakeServer server;
    server.password = "s3cret-pw";
    User alice(FtpConfig(), &server);
    User bob(FtpConfig(), &server);
    alice.AddShared("from alice");
    server.afterTransfer = [&server](const std::string& op, const std::string& path) {
        if (op == "upload" && path == kLockOwner) {
            server.failAfter = 0; // the connection drops right after the lock was taken
        }
    };
    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::transferFailed);
    ASSERT_TRUE(server.folders.contains(kLockFolder));
    const std::string leftover = server.files[kLockOwner];
    server.failAfter = -1;
    server.afterTransfer = nullptr;

    bob.AddShared("from bob");
    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::busy);
    EXPECT_EQ(server.files[kLockOwner], leftover);
    EXPECT_EQ(bob.doc.GetChangeList().size(), 1u);

    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_TRUE(alice.doc.GetChangeList().empty());
    EXPECT_FALSE(server.folders.contains(kLockFolder));
    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_EQ(bob.doc.GetDateEntryCount(), 2);

    // A lock of alice's own is one she could not release; one she released and someone else
    // now holds under the same text is not hers to break.
    alice.AddShared("again");
    server.folders.insert(kLockFolder);
    server.files[kLockOwner] = leftover;
    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::busy);
    EXPECT_EQ(server.files[kLockOwner], leftover);
}

// A server that lets nobody create the lock folder: after the stale age shows that there is no
// lock to wait for, uploads go on under the time-stamp guard alone, and use the lock again as
// soon as the server allows folders.
TEST_F(FtpCycleTest, ServerWithoutFoldersStillReceivesTheChanges) {
    FakeServer server;
    server.password = "s3cret-pw";
    server.foldersAllowed = false;
    User user(FtpConfig(), &server);
    user.worker.SetStaleLockAge(0s);
    user.AddShared("one");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::busy); // first sighting: wait
    EXPECT_EQ(user.doc.GetChangeList().size(), 1u);
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_TRUE(user.doc.GetChangeList().empty());
    user.AddShared("two");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded) << "no second wait";

    server.foldersAllowed = true;
    user.AddShared("three");
    bool lockedUpload = false;
    server.afterTransfer = [&](const std::string& op, const std::string& path) {
        if (op == "upload" && path == "share/events.dat") {
            lockedUpload = server.folders.contains(kLockFolder);
        }
    };
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_TRUE(lockedUpload);
    EXPECT_FALSE(server.folders.contains(kLockFolder));

    // A real lock is still respected afterwards.
    server.afterTransfer = nullptr;
    User other(FtpConfig(), &server);
    server.folders.insert(kLockFolder);
    server.files[kLockOwner] = "{SOMEONE}\r\n2024 03 10 12 00 00\r\n";
    other.AddShared("four");
    EXPECT_EQ(other.worker.RunCycleNow(), SyncOutcome::busy);
}

// An empty shared file that nobody has uploaded to yet (no time stamp) starts an empty share; one
// with a time stamp is an upload in progress and is not merged.
TEST_F(FtpCycleTest, EmptySharedFileCountsOnlyBeforeTheFirstUpload) {
    FakeServer server;
    server.password = "s3cret-pw";
    server.files["share/events.dat"] = "";
    User user(FtpConfig(), &server);
    user.AddShared("first");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_FALSE(server.files["share/events.dat"].empty());
    server.files["share/events.dat"] = "";
    user.AddShared("second");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::transferFailed);
    EXPECT_EQ(user.doc.GetDateEntryCount(), 2) << "nothing deleted by the empty file";
}

// The server keeps ".b%02d" copies with their times in ".t%02d", one per 20 hours at most,
// overwriting the oldest when all are taken.
TEST_F(FtpCycleTest, BackupRotationOnTheServer) {
    FakeServer server;
    server.password = "s3cret-pw";
    User user(FtpConfig(2), &server);
    user.AddShared("one");
    user.worker.RunCycleNow(); // creates the shared file; nothing to back up yet
    EXPECT_FALSE(server.files.contains("share/events.b00"));
    const std::string first = server.files["share/events.dat"];

    user.AddShared("two");
    user.worker.RunCycleNow();
    EXPECT_EQ(server.files["share/events.b00"], first);
    EXPECT_EQ(server.files["share/events.t00"], kNow.FormatFixed() + "\r\n");
    EXPECT_EQ(user.worker.GetNextBackupTime(), kNow + CDateTimeSpan(0, 20, 0, 0));
    const std::string second = server.files["share/events.dat"];

    // Another user's worker, due at once, still respects the 20 hours of the stored times.
    User other(FtpConfig(2), &server);
    m_clock->Advance(CDateTimeSpan(0, 1, 0, 0));
    other.worker.RunCycleNow();
    EXPECT_FALSE(server.files.contains("share/events.b01"));

    m_clock->Advance(CDateTimeSpan(0, 21, 0, 0));
    user.worker.RunCycleNow();
    EXPECT_EQ(server.files["share/events.b01"], second);
    const std::string third = server.files["share/events.dat"];
    m_clock->Advance(CDateTimeSpan(0, 21, 0, 0));
    user.worker.RunCycleNow();
    EXPECT_EQ(server.files["share/events.b00"], third);
    EXPECT_EQ(server.files["share/events.t00"], m_clock->Now().FormatFixed() + "\r\n");
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
