// The synchronisation cycle on an FTP server: through an in-memory server that fails or changes
// things at chosen moments (the time-stamp check, the read-back, the upload lock and its stale
// rule, the backups), and on a real server on loopback where only the transport shows the fault.

#include "document/EventFile.h"
#include "net/CCurlFtpConnector.h"
#include "sync/SyncUser.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>

namespace dv {
namespace {

namespace fs = std::filesystem;
using namespace test;
using namespace std::chrono_literals;

/// An FTP server in memory, with hooks that fail or change things at chosen moments.
class FakeServer : public IFtpConnector {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    bool foldersAllowed = true; // false: the server refuses to create folders (permissions)
    bool renamesAllowed = true; // false: the server refuses to rename files
    int failAfter = -1;         // operations left before every further one fails; -1 never
    // Fails the one operation it answers true for, as a lost connection would.
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
        return Do("download", remote, [&] {
            const auto found = m_server.files.find(remote);
            if (found == m_server.files.end()) {
                return FtpResult::missing;
            }
            WriteFile(local, found->second);
            return FtpResult::ok;
        });
    }
    FtpResult Upload(const fs::path& local, const std::string& remote) override {
        return Do("upload", remote, [&] {
            m_server.files[remote] = ReadFile(local);
            return FtpResult::ok;
        });
    }
    FtpResult Delete(const std::string& remote) override {
        return Do("delete", remote, [&] {
            return m_server.files.erase(remote) > 0 ? FtpResult::ok : FtpResult::missing;
        });
    }
    FtpResult Rename(const std::string& from, const std::string& to) override {
        return Do("rename", to, [&] {
            if (!m_server.renamesAllowed || !m_server.files.contains(from)) {
                return FtpResult::refused;
            }
            m_server.files[to] = m_server.files[from];
            m_server.files.erase(from);
            return FtpResult::ok;
        });
    }
    FtpResult MakeDirectory(const std::string& remote) override {
        return Do("mkd", remote, [&] {
            return m_server.foldersAllowed && !m_server.files.contains(remote) &&
                           m_server.folders.insert(remote).second
                       ? FtpResult::ok
                       : FtpResult::refused;
        });
    }
    FtpResult RemoveDirectory(const std::string& remote) override {
        return Do("rmd", remote, [&] {
            const auto inside = m_server.files.lower_bound(remote + "/");
            if (!m_server.folders.contains(remote) ||
                (inside != m_server.files.end() && inside->first.starts_with(remote + "/"))) {
                return FtpResult::refused;
            }
            m_server.folders.erase(remote);
            return FtpResult::ok;
        });
    }
    std::string LastError() const override { return m_error; }

private:
    template <class Operation>
    FtpResult Do(const std::string& op, const std::string& remote, Operation operation) {
        m_error.clear();
        if (m_server.failAfter == 0 || (m_server.failWhen && m_server.failWhen(op, remote))) {
            m_error = op + " " + remote + ": connection lost";
            return FtpResult::failed;
        }
        if (m_server.failAfter > 0) {
            --m_server.failAfter;
        }
        const FtpResult result = operation();
        if (result == FtpResult::ok && m_server.afterTransfer) {
            m_server.afterTransfer(op, remote);
        } else if (result != FtpResult::ok) {
            m_error = op + " " + remote + ": 550 refused";
        }
        return result;
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

bool HasTemporary(const FakeServer& server) {
    return std::ranges::any_of(server.files,
                               [](const auto& file) { return file.first.ends_with(".tmp"); });
}

SyncConfig FakeConfig(int backupDepth = 0) {
    SyncConfig config = PathConfig({}, backupDepth);
    config.NetworkFunction = 2;
    config.FtpServer.server = "127.0.0.1";
    config.FtpServer.password = "s3cret-pw";
    config.FtpSharedFile = "share/events.dat";
    return config;
}

constexpr const char* kShared = "share/events.dat";
constexpr const char* kStamp = "share/events.dts";
constexpr const char* kLockFolder = "share/events.lock";
constexpr const char* kLockOwner = "share/events.lock/owner";

using FtpCycleTest = TempFolder;

// Every way the upload can be lost keeps the change list for the next cycle and takes the lock
// and the temporary upload with it.
TEST_F(FtpCycleTest, ChangesStayWhenTheUploadIsNotOurs) {
    const auto failOn = [](std::string op, std::string path) {
        return [op, path](FakeServer& server, SyncUser&) {
            server.failWhen = [op, path](const std::string& o, const std::string& p) {
                return o == op && (path.empty() || p.ends_with(path));
            };
        };
    };
    const auto replaceAfter = [](std::string op, std::string path, std::string bytes) {
        return [op, path, bytes](FakeServer& server, SyncUser&) {
            server.afterTransfer = [&server, op, path, bytes](const std::string& o,
                                                              const std::string& p) {
                if (o == op && p == path) {
                    server.files[path] = bytes;
                }
            };
        };
    };
    const std::string otherStamp = "2024 03 10 12 00 00\r\n{OTHER}\r\n";
    struct Row {
        const char* name;
        std::function<void(FakeServer&, SyncUser&)> arrange;
        SyncOutcome expected;
    };
    const std::vector<Row> rows = {
        {"time stamp changed during the merge",
         [&](FakeServer& server, SyncUser& user) {
             user.beforeMerge = [&server, otherStamp] { server.files[kStamp] = otherStamp; };
         },
         SyncOutcome::uploadSkipped},
        {"time stamp replaced right after our upload", replaceAfter("upload", kStamp, otherStamp),
         SyncOutcome::uploadSkipped},
        {"another user's file lands between our two uploads",
         replaceAfter("rename", kShared, "someone else's merge"), SyncOutcome::uploadSkipped},
        {"upload of the shared file fails", failOn("upload", ".tmp"), SyncOutcome::transferFailed},
        {"the connection drops at the rename", failOn("rename", ""), SyncOutcome::transferFailed},
        {"upload of the time stamp fails", failOn("upload", kStamp), SyncOutcome::transferFailed},
        {"the lock's owner file cannot be written", failOn("upload", kLockOwner),
         SyncOutcome::transferFailed},
        {"server stops before the time stamp is read",
         [](FakeServer& server, SyncUser&) { server.failAfter = 1; }, SyncOutcome::transferFailed},
        {"wrong password", [](FakeServer& server, SyncUser&) { server.password = "other"; },
         SyncOutcome::transferFailed},
    };
    DocumentContents original;
    original.events.push_back(SharedEvent("on the server"));
    WriteEventFile(Path("orig.dat"), original);
    const std::string originalBytes = ReadFile(Path("orig.dat"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeServer server;
        server.files[kShared] = originalBytes;
        SyncUser user(FakeConfig(), &server);
        user.AddShared("pending");
        row.arrange(server, user);
        EXPECT_EQ(user.worker.RunCycleNow(), row.expected);
        EXPECT_EQ(user.doc.GetChangeList().size(), 1u);
        EXPECT_EQ(user.uploadsDone, 0);
        EXPECT_EQ(user.worker.GetLastError().find("s3cret-pw"), std::string::npos);
        if (row.expected == SyncOutcome::transferFailed) {
            EXPECT_FALSE(user.worker.GetLastError().empty());
        }
        EXPECT_FALSE(HasTemporary(server));
        EXPECT_FALSE(server.folders.contains(kLockFolder));
        EXPECT_FALSE(server.files.contains(kLockOwner));
    }
}

// A cycle that loses the server in the middle of the upload leaves the lock and a partial
// temporary upload behind. The same worker knows its own mark and breaks the lock at its next
// cycle, and removes the leftover; any other user waits for the stale rule. A server that
// refuses renames gets the file directly.
TEST_F(FtpCycleTest, LeftoversOfALostConnection) {
    FakeServer server;
    SyncUser alice(FakeConfig(), &server);
    SyncUser bob(FakeConfig(), &server);
    alice.AddShared("from alice");
    server.failWhen = [&server](const std::string& op, const std::string& path) {
        if (op == "upload" && path.ends_with(".tmp")) {
            server.files[path] = "the first half";
            server.failAfter = 0; // the connection stays lost
            return true;
        }
        return false;
    };
    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::transferFailed);
    ASSERT_TRUE(server.folders.contains(kLockFolder));
    const std::string leftover = server.files[kLockOwner];
    EXPECT_FALSE(server.files.contains(kShared));
    server.failAfter = -1;
    server.failWhen = nullptr;

    bob.AddShared("from bob");
    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::busy);
    EXPECT_EQ(server.files[kLockOwner], leftover);

    EXPECT_EQ(alice.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_TRUE(alice.doc.GetChangeList().empty());
    EXPECT_FALSE(server.folders.contains(kLockFolder));
    EXPECT_FALSE(HasTemporary(server));
    server.renamesAllowed = false;
    EXPECT_EQ(bob.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_EQ(bob.doc.GetDateEntryCount(), 2);
    EXPECT_FALSE(HasTemporary(server));

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
    SyncUser user(FakeConfig(), &server);
    user.worker.SetStaleLockAge(0s);
    user.AddShared("one");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::busy); // first sighting: wait
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_TRUE(user.doc.GetChangeList().empty());
    user.AddShared("two");
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded) << "no second wait";

    server.foldersAllowed = true;
    user.AddShared("three");
    bool lockedUpload = false;
    server.afterTransfer = [&](const std::string& op, const std::string& path) {
        if (op == "rename" && path == kShared) {
            lockedUpload = server.folders.contains(kLockFolder);
        }
    };
    EXPECT_EQ(user.worker.RunCycleNow(), SyncOutcome::uploaded);
    EXPECT_TRUE(lockedUpload);
    EXPECT_FALSE(server.folders.contains(kLockFolder));
}

// The server keeps ".b%02d" copies with their times in ".t%02d", one per 20 hours at most,
// overwriting the oldest when all are taken.
TEST_F(FtpCycleTest, BackupRotationOnTheServer) {
    FakeServer server;
    SyncUser user(FakeConfig(2), &server);
    user.AddShared("one");
    user.worker.RunCycleNow(); // creates the shared file; nothing to back up yet
    EXPECT_FALSE(server.files.contains("share/events.b00"));
    const std::string first = server.files[kShared];

    user.AddShared("two");
    user.worker.RunCycleNow();
    EXPECT_EQ(server.files["share/events.b00"], first);
    EXPECT_EQ(server.files["share/events.t00"], kNow.FormatFixed() + "\r\n");
    EXPECT_EQ(user.worker.GetNextBackupTime(), kNow + CDateTimeSpan(0, 20, 0, 0));
    const std::string second = server.files[kShared];

    // Another user's worker, due at once, still respects the 20 hours of the stored times.
    SyncUser other(FakeConfig(2), &server);
    m_clock->Advance(CDateTimeSpan(0, 1, 0, 0));
    other.worker.RunCycleNow();
    EXPECT_FALSE(server.files.contains("share/events.b01"));

    m_clock->Advance(CDateTimeSpan(0, 21, 0, 0));
    user.worker.RunCycleNow();
    EXPECT_EQ(server.files["share/events.b01"], second);
    const std::string third = server.files[kShared];
    m_clock->Advance(CDateTimeSpan(0, 21, 0, 0));
    user.worker.RunCycleNow();
    EXPECT_EQ(server.files["share/events.b00"], third);
    EXPECT_EQ(server.files["share/events.t00"], m_clock->Now().FormatFixed() + "\r\n");
}

// The worker thread against a real server that freezes once the merge was handed over: the
// merge itself runs on the test's thread (as the user-interface thread would) and does not wait
// for the network; Stop() returns at once although the server's waits are long, and the changes
// stay. A cycle on the caller's thread afterwards does not inherit the cancellation.
TEST(FtpCycleOnARealServer, WorkerLetsGoOfAFrozenServer) {
    TemporaryFolder dir("ftp-cycle");
    FtpTestServer server;
    CCurlFtpConnector patient; // the default waits of 15 s: only the cancel flag can end them
    SyncUser user(FtpConfig(server), &patient, dir / "user.dat");
    user.AddShared("mine");
    user.answer = false; // the test thread runs the merge
    user.worker.SetPollTimes(20ms, 200ms, 25);
    user.worker.Start();
    user.worker.RequestSync();
    for (int i = 0; i < 1000 && user.merges == 0; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(user.merges, 1);
    server.Pause();
    auto start = std::chrono::steady_clock::now();
    RunMergeStep(user.worker, &user.doc, user.busyState, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "the merge must not wait";
    EXPECT_EQ(user.worker.GetStepState(), kSyncStepMergedUpload);
    std::this_thread::sleep_for(300ms); // the worker now hangs on the frozen server
    start = std::chrono::steady_clock::now();
    user.worker.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << "Stop() must cancel the transfer";
    EXPECT_EQ(user.worker.GetOutcome(), SyncOutcome::transferFailed);
    EXPECT_EQ(user.uploadsDone, 0);
    EXPECT_EQ(user.doc.GetChangeList().size(), 1u);

    server.Resume();
    FtpTestServer fresh; // the frozen server may still act on what it was sent
    user.worker.SetConfig(FtpConfig(fresh));
    user.answer = true;
    EXPECT_EQ(user.Cycle(), SyncOutcome::uploaded) << user.worker.GetLastError();
    EXPECT_TRUE(user.doc.GetChangeList().empty());
}

} // namespace
} // namespace dv
