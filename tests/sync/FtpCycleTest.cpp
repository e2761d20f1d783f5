// The synchronisation cycle against a real FTP server on loopback through the libcurl transport,
// where only a real server shows the fault: a server that stops or freezes in the middle of a
// cycle, a worker thread that must let go of a frozen server at once, an upload cut off halfway.

#include "document/EventFile.h"
#include "net/CCurlFtpConnector.h"
#include "support/FtpTestServer.h"
#include "sync/SyncUser.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <thread>

namespace dv {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test::FtpConfig;
using test::FtpTestServer;
using test::SyncUser;
using test::TemporaryFolder;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

CurlFtpOptions ShortTimeouts() {
    CurlFtpOptions options;
    options.connectTimeout = std::chrono::milliseconds(1500);
    options.responseTimeout = std::chrono::seconds(1);
    options.stallTime = std::chrono::seconds(1);
    return options;
}

// Adds a shared event and a shared to-do as the user would; returns the event's GUID.
std::string AddShared(CDayvaultDoc& doc, const std::string& description) {
    auto event = std::make_unique<CDateEntry>(CDateTime(2024, 6, 3, 9, 0, 0));
    DateData data = event->GetData();
    data.Description = description;
    data.StorageType = 1;
    data.Repeat = 1;
    data.RepeatRate = 1;
    data.RepeatUnit = 2;
    event->AssignData(data);
    const std::string guid = event->GetGUID();
    doc.AddDateEntry(std::move(event), kEditInteractive);
    auto todo = std::make_unique<CTodoEntry>(CDateTime(2024, 6, 3, 9, 0, 0));
    TodoData todoData = todo->GetData();
    todoData.Description = description + " to-do";
    todoData.StorageType = 1;
    todo->SetData(todoData);
    doc.AddTodoEntry(std::move(todo), kEditInteractive);
    return guid;
}

std::vector<std::string> SharedDescriptions(const fs::path& file) {
    std::vector<std::string> descriptions;
    for (const auto& event : ReadEventFile(file, EventFileParts::entriesOnly).events) {
        descriptions.push_back(event->GetData().Description);
    }
    return descriptions;
}

class FtpCycle : public ::testing::Test {
protected:
    void SetUp() override { m_server = std::make_unique<FtpTestServer>(); }
    fs::path OnServer(const std::string& name) const { return m_server->Root() / name; }

    TemporaryFolder m_dir{"ftp-cycle"};
    std::unique_ptr<FtpTestServer> m_server;
    CCurlFtpConnector m_connector{ShortTimeouts()};
};

TEST_F(FtpCycle, ServerLostInTheMiddleOfTheCycle) {
    struct Row {
        const char* name;
        bool freeze; // Pause instead of Stop
    };
    for (const Row row : {Row{"stopped", false}, Row{"frozen", true}}) {
        SCOPED_TRACE(row.name);
        auto server = std::make_unique<FtpTestServer>();
        SyncUser alice(m_dir.Path() / (std::string(row.name) + ".dat"), &m_connector);
        alice.Worker().SetConfig(FtpConfig(*server));
        AddShared(alice.Doc(), "kept");
        bool lose = true;
        alice.SetBeforeMerge([&] {
            if (lose) {
                row.freeze ? server->Pause() : server->Stop();
            }
        });
        const auto start = Clock::now();
        EXPECT_EQ(alice.Cycle(), SyncOutcome::transferFailed);
        EXPECT_LT(SecondsSince(start), 8.0);
        EXPECT_FALSE(alice.Worker().GetLastError().empty());
        EXPECT_EQ(alice.Worker().GetLastError().find("Secret-pw-42"), std::string::npos);
        EXPECT_EQ(alice.Doc().GetChangeList().size(), 2u);
        EXPECT_EQ(alice.Merges(), 1);

        lose = false;
        server = std::make_unique<FtpTestServer>(); // the old one (stopped or frozen) goes
        alice.Worker().SetConfig(FtpConfig(*server));
        ASSERT_EQ(alice.Cycle(), SyncOutcome::uploaded) << alice.Worker().GetLastError();
        EXPECT_TRUE(alice.Doc().GetChangeList().empty());
        EXPECT_EQ(SharedDescriptions(server->Root() / "shared.dat"),
                  std::vector<std::string>{"kept"});
    }
}

// The worker thread against a server that freezes once the merge was handed over: the merge
// itself runs on the test's thread (as the user-interface thread would) and does not wait for
// the network; Stop() returns at once although the server's waits are long, and the changes
// stay for the next cycle.
TEST_F(FtpCycle, WorkerLetsGoOfAFrozenServer) {
    CCurlFtpConnector patient; // the default waits of 15 s: only the cancel flag can end them
    struct QueuedUser : ISyncHost {
        std::mutex mutex;
        std::condition_variable posted;
        bool mergeWaiting = false;
        int uploadsDone = 0;
        void PostMergeNow() override {
            const std::lock_guard<std::mutex> lock(mutex);
            mergeWaiting = true;
            posted.notify_all();
        }
        void PostUploadDone() override {
            const std::lock_guard<std::mutex> lock(mutex);
            ++uploadsDone;
        }
    } host;
    CDayvaultDoc doc;
    AddShared(doc, "mine");
    CSyncWorker worker(host, &patient);
    worker.SetConfig(FtpConfig(*m_server));
    worker.SetPollTimes(std::chrono::milliseconds(20), std::chrono::milliseconds(200), 25);
    worker.Start();
    worker.RequestSync();
    {
        std::unique_lock<std::mutex> lock(host.mutex);
        ASSERT_TRUE(host.posted.wait_for(lock, std::chrono::seconds(10),
                                         [&] { return host.mergeWaiting; }));
    }
    m_server->Pause();
    int busyState = 0;
    auto start = Clock::now();
    RunMergeStep(worker, &doc, busyState, 3);
    EXPECT_LT(SecondsSince(start), 1.0) << "the merge must not touch the network";
    EXPECT_EQ(worker.GetStepState(), kSyncStepMergedUpload);
    // The worker now hangs in the time-stamp check on the frozen server.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    start = Clock::now();
    worker.Stop();
    EXPECT_LT(SecondsSince(start), 3.0) << "Stop() must cancel the transfer";
    EXPECT_EQ(worker.GetOutcome(), SyncOutcome::transferFailed);
    EXPECT_EQ(host.uploadsDone, 0);
    EXPECT_EQ(doc.GetChangeList().size(), 2u);
    m_server->Resume();
}

// The upload goes to a temporary name that is renamed over the shared file. Cut off halfway, it
// leaves the shared file as it was; the next cycle removes the leftover and uploads. A server
// that refuses renames gets the file directly. No temporary name stays behind.
TEST_F(FtpCycle, UploadCutOffOrRenameRefusedLeavesAWholeSharedFile) {
    FtpTestServer::Options options;
    options.uploadThrottleBytesPerSecond = 4000;
    m_server = std::make_unique<FtpTestServer>(options);
    const auto temporaryNames = [&] {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(m_server->Root())) {
            count += entry.path().extension() == ".tmp" ? 1 : 0;
        }
        return count;
    };
    SyncUser alice(m_dir.Path() / "alice.dat", &m_connector);
    alice.Worker().SetConfig(FtpConfig(*m_server));
    AddShared(alice.Doc(), "first");
    ASSERT_EQ(alice.Cycle(), SyncOutcome::uploaded) << alice.Worker().GetLastError();
    const std::string good = test::ReadFile(OnServer("shared.dat"));
    for (int i = 0; i < 30; ++i) {
        AddShared(alice.Doc(), "bulk " + std::to_string(i));
    }

    // The server goes down once the first bytes of the upload have arrived.
    SyncOutcome outcome = SyncOutcome::idle;
    std::thread cycle([&] { outcome = alice.Cycle(); });
    const Clock::time_point start = Clock::now();
    bool cut = false;
    while (!cut && SecondsSince(start) < 20) {
        for (const auto& entry : fs::directory_iterator(m_server->Root())) {
            std::error_code error;
            if (entry.path().extension() == ".tmp" && fs::file_size(entry.path(), error) > 0) {
                m_server->Stop();
                cut = true;
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    cycle.join();
    ASSERT_TRUE(cut) << "the upload was never seen";
    EXPECT_EQ(outcome, SyncOutcome::transferFailed);
    EXPECT_EQ(test::ReadFile(OnServer("shared.dat")), good);
    EXPECT_EQ(alice.Doc().GetChangeList().size(), 60u);
    EXPECT_EQ(temporaryNames(), 1);
    m_server->Restart(FtpTestServer::Options{});
    alice.Worker().SetConfig(FtpConfig(*m_server));

    ASSERT_EQ(alice.Cycle(), SyncOutcome::uploaded) << alice.Worker().GetLastError();
    EXPECT_EQ(SharedDescriptions(OnServer("shared.dat")).size(), 31u);
    EXPECT_EQ(temporaryNames(), 0);

    test::WriteFile(OnServer(".refuse-rename"), "");
    AddShared(alice.Doc(), "after");
    ASSERT_EQ(alice.Cycle(), SyncOutcome::uploaded) << alice.Worker().GetLastError();
    EXPECT_EQ(SharedDescriptions(OnServer("shared.dat")).back(), "after");
    EXPECT_EQ(temporaryNames(), 0);
}

// Once the thread has stopped, a cycle on the caller's thread must not inherit its cancellation.
TEST_F(FtpCycle, CycleOnTheCallersThreadAfterTheWorkerStopped) {
    SyncUser alice(m_dir.Path() / "alice.dat", &m_connector);
    alice.Worker().SetConfig(FtpConfig(*m_server));
    alice.Worker().Start();
    alice.Worker().Stop();
    AddShared(alice.Doc(), "after stop");
    EXPECT_EQ(alice.Cycle(), SyncOutcome::uploaded) << alice.Worker().GetLastError();
    EXPECT_TRUE(alice.Doc().GetChangeList().empty());
}

} // namespace
} // namespace dv
