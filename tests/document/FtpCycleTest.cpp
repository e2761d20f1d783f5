// The synchronisation cycle on an FTP server, through an in-memory server: the time-stamp check,
// the read-back, the upload lock and its stale rule, and the backups on the server.

#include "document/EventFile.h"
#include "document/SyncTestSupport.h"
#include "document/SyncWorker.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>

namespace dv {
namespace {

namespace fs = std::filesystem;
using namespace test;
using namespace std::chrono_literals;

// ---- the FTP cycle ------------------------------------------------------------------------------

/// An FTP server in memory, with hooks that fail or change things at chosen moments.
class FakeServer : public IFtpConnector {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    bool foldersAllowed = true; // false: the server refuses to create folders (permissions)
    bool renamesAllowed = true; // false: the server refuses to rename files
    int failAfter = -1;         // transfers left before every further one fails; -1 never
    // Fails the one operation it answers true for, as a lost transfer would.
    std::function<bool(const std::string& op, const std::string& path)> failWhen;
    std::function<void(const std::string& op, const std::string& path)> afterTransfer;
    std::string password = "s3cret-pw"; // the one FtpConfig gives

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
        WriteFile(local, found->second);
        Done("download", remote);
        return FtpResult::ok;
    }
    FtpResult Upload(const fs::path& local, const std::string& remote) override {
        if (Failing("upload", remote)) {
            return FtpResult::failed;
        }
        m_server.files[remote] = ReadFile(local);
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
    FtpResult Rename(const std::string& from, const std::string& to) override {
        if (Failing("rename", from)) {
            return FtpResult::failed;
        }
        if (!m_server.renamesAllowed || !m_server.files.contains(from)) {
            m_error = from + ": 550 rename refused";
            return FtpResult::refused;
        }
        m_server.files[to] = m_server.files[from];
        m_server.files.erase(from);
        Done("rename", to);
        return FtpResult::ok;
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

// The stamp beside the shared file: the upload's time, then a mark of the uploader, so that two
// uploads within one second still differ.
TEST_F(FtpCycleTest, TimeStampNamesTimeAndUploader) {
    FakeServer server;
    User alice(FtpConfig(), &server);
    User bob(FtpConfig(), &server);
    alice.AddShared("from alice");
    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::uploaded);
    const std::string stamp = server.files["share/events.dts"];
    EXPECT_EQ(stamp.substr(0, stamp.find("\r\n")), kNow.FormatFixed());
    bob.AddShared("from bob");
    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_NE(server.files["share/events.dts"], stamp);
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
                 if (op == "rename" && path == "share/events.dat") {
                     server.files[path] = "someone else's merge";
                 }
             };
         },
         SyncOutcome::uploadSkipped},
        {"upload of the shared file fails",
         [](FakeServer& server, TestHost&) {
             server.failWhen = [](const std::string& op, const std::string& path) {
                 return op == "upload" && path.ends_with(".tmp");
             };
         },
         SyncOutcome::transferFailed},
        {"the connection drops at the rename",
         [](FakeServer& server, TestHost&) {
             server.failWhen = [](const std::string& op, const std::string&) {
                 return op == "rename";
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
        DocumentContents original;
        original.events.push_back(SharedEvent("on the server"));
        server.files["share/events.dat"] = [&] {
            WriteEventFile(Path("orig.dat"), original);
            return ReadFile(Path("orig.dat"));
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
        // Whatever happened, the upload lock and the temporary upload went with the cycle.
        for (const auto& file : server.files) {
            EXPECT_FALSE(file.first.ends_with(".tmp")) << file.first;
        }
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
    std::vector<std::string> ownersSeen;
    server.afterTransfer = [&](const std::string& op, const std::string& path) {
        if ((op == "rename" && path == "share/events.dat") ||
            (op == "upload" && path == "share/events.dts")) {
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
        if (op == "rename" && path == "share/events.dat") {
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

// An empty shared file that nobody has uploaded to yet (no time stamp) is the first day of the
// share, which the first cycle creates; later an empty file is never merged.
TEST_F(FtpCycleTest, EmptySharedFileCountsOnlyBeforeTheFirstUpload) {
    FakeServer server;
    server.files["share/events.dat"] = "";
    User user(FtpConfig(), &server);
    user.AddShared("first");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_FALSE(server.files["share/events.dat"].empty());
    server.files["share/events.dat"] = "";
    user.AddShared("second");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::mergeFailed);
    EXPECT_NE(user.worker.GetLastError().find("empty"), std::string::npos);
    EXPECT_EQ(user.doc.GetDateEntryCount(), 2) << "nothing deleted by the empty file";
    EXPECT_TRUE(server.files["share/events.dat"].empty());
}

// The server keeps ".b%02d" copies with their times in ".t%02d", one per 20 hours at most,
// overwriting the oldest when all are taken.
TEST_F(FtpCycleTest, BackupRotationOnTheServer) {
    FakeServer server;
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

} // namespace
} // namespace dv
