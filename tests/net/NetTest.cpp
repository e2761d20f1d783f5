#include "net/CCurlFtpConnector.h"
#include "support/Files.h"
#include "support/FtpTestServer.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace dv {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test::FtpTestServer;

using test::ReadFile;
using test::WriteFile;

std::string EveryByteValue(int repeats) {
    std::string bytes;
    for (int r = 0; r < repeats; ++r) {
        for (int b = 0; b < 256; ++b) {
            bytes += static_cast<char>(b);
        }
    }
    return bytes;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

// Short waits so that the dead-server cases finish within seconds.
CurlFtpOptions ShortTimeouts() {
    CurlFtpOptions options;
    options.connectTimeout = std::chrono::milliseconds(2000);
    options.responseTimeout = std::chrono::seconds(2);
    options.stallTime = std::chrono::seconds(2);
    return options;
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class NetTest : public ::testing::Test {
protected:
    void SetUp() override {
        FtpTestServer::Options options;
        options.password = kPassword;
        options.startFolder = "home";
        m_server = std::make_unique<FtpTestServer>(options);
    }

    std::unique_ptr<IFtpSession> Open(bool passive = true, CurlFtpOptions options = ShortTimeouts(),
                                      const std::atomic<bool>* cancel = nullptr) {
        CCurlFtpConnector connector(options);
        std::string error;
        auto session = connector.Connect(m_server->Endpoint(passive), cancel, error);
        EXPECT_TRUE(session) << error;
        EXPECT_EQ(error.find(kPassword), std::string::npos) << error;
        return session;
    }

    // Every message a session or connector gives may reach a log, so none may hold the password.
    static void ExpectNoPassword(const std::string& message) {
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(message.find(kPassword), std::string::npos) << message;
    }

    // The local folder holds exactly these names: no temporary file was left behind.
    void ExpectLocalFiles(std::vector<std::string> names) const {
        std::sort(names.begin(), names.end());
        EXPECT_EQ(m_folder.FileNames(), names);
    }

    // True once a temporary download file beside the target holds data (within 5 s).
    bool DownloadIsUnderWay() const {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            for (const auto& entry : fs::directory_iterator(m_local)) {
                std::error_code ec;
                if (entry.path().filename().string().rfind("events.dat.", 0) == 0 &&
                    fs::file_size(entry.path(), ec) > 0 && !ec) {
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    static constexpr const char* kPassword = "pw-Zq8#x";
    test::TemporaryFolder m_folder{"net"};
    const fs::path& m_local = m_folder.Path();
    std::unique_ptr<FtpTestServer> m_server;
};

TEST_F(NetTest, BinaryRoundTripsInPassiveAndActiveModeOnOneConnection) {
    const std::string large = RandomBytes(3 * 1024 * 1024 + 13, 7);
    int logins = 0;
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        auto session = Open(passive);
        ASSERT_TRUE(session);
        ++logins;
        const struct {
            const char* name;
            std::string bytes;
        } files[] = {{"every-byte.dat", EveryByteValue(3)},
                     {"empty.dat", ""},
                     {"line-ends.dat", "a\r\nb\nc\r\r\n\x1a\n"},
                     {"large.dat", large}};
        for (const auto& file : files) {
            SCOPED_TRACE(file.name);
            const fs::path source = m_local / "source";
            const fs::path target = m_local / "target";
            WriteFile(source, file.bytes);
            WriteFile(target, "previous contents that are longer than some of the files");
            ASSERT_EQ(session->Upload(source, file.name), FtpResult::ok) << session->LastError();
            EXPECT_TRUE(session->LastError().empty());
            EXPECT_EQ(ReadFile(m_server->LoginFolder() / file.name), file.bytes);
            ASSERT_EQ(session->Download(file.name, target), FtpResult::ok) << session->LastError();
            EXPECT_EQ(ReadFile(target), file.bytes);
            ExpectLocalFiles({"source", "target"});
        }
        // Eight transfers, one login: the session keeps its control connection.
        EXPECT_EQ(m_server->LoginCount(), logins);
    }
}

TEST_F(NetTest, MissingServerFileKeepsTheLocalTarget) {
    auto session = Open();
    ASSERT_TRUE(session);
    const fs::path target = m_local / "events.dat";
    WriteFile(target, "local copy");
    EXPECT_EQ(session->Download("events.dts", target), FtpResult::missing);
    EXPECT_NE(session->LastError().find("\"events.dts\""), std::string::npos)
        << session->LastError();
    ExpectNoPassword(session->LastError());
    EXPECT_EQ(ReadFile(target), "local copy");
    ExpectLocalFiles({"events.dat"});

    // A missing file into a missing local folder is still "missing"; nothing is created.
    EXPECT_EQ(session->Download("nothing/here.dat", m_local / "new.dat"), FtpResult::missing);
    ExpectLocalFiles({"events.dat"});

    // The session is still usable after the refusal.
    WriteFile(m_server->LoginFolder() / "events.dts", "stamp");
    EXPECT_EQ(session->Download("events.dts", target), FtpResult::ok) << session->LastError();
    EXPECT_EQ(ReadFile(target), "stamp");
}

TEST_F(NetTest, DeletesExistingFilesAndReportsMissingOnes) {
    auto session = Open();
    ASSERT_TRUE(session);
    WriteFile(m_server->LoginFolder() / "events.dat.lock", "x");
    WriteFile(m_server->Root() / "top level.dat", "y");
    EXPECT_EQ(session->Delete("events.dat.lock"), FtpResult::ok) << session->LastError();
    EXPECT_FALSE(fs::exists(m_server->LoginFolder() / "events.dat.lock"));
    EXPECT_EQ(session->Delete("events.dat.lock"), FtpResult::missing);
    ExpectNoPassword(session->LastError());
    EXPECT_EQ(session->Delete("/top level.dat"), FtpResult::ok) << session->LastError();
    EXPECT_FALSE(fs::exists(m_server->Root() / "top level.dat"));
    EXPECT_EQ(session->Delete("a\r\nDELE other"), FtpResult::failed);
    EXPECT_EQ(session->Delete(""), FtpResult::failed);
}

// A rename replaces the target whole; a refusal (550) is told apart from a lost server.
TEST_F(NetTest, RenameReplacesTheTargetOrIsRefused) {
    auto session = Open();
    ASSERT_TRUE(session);
    WriteFile(m_server->LoginFolder() / "shared.tmp", "new");
    WriteFile(m_server->LoginFolder() / "shared.dat", "old");
    EXPECT_EQ(session->Rename("shared.tmp", "shared.dat"), FtpResult::ok) << session->LastError();
    EXPECT_EQ(ReadFile(m_server->LoginFolder() / "shared.dat"), "new");
    EXPECT_FALSE(fs::exists(m_server->LoginFolder() / "shared.tmp"));
    EXPECT_EQ(session->Rename("shared.tmp", "shared.dat"), FtpResult::refused);
    ExpectNoPassword(session->LastError());
    WriteFile(m_server->LoginFolder() / "shared.tmp", "newer");
    WriteFile(m_server->Root() / ".refuse-rename", "");
    EXPECT_EQ(session->Rename("shared.tmp", "shared.dat"), FtpResult::refused);
    EXPECT_EQ(ReadFile(m_server->LoginFolder() / "shared.dat"), "new");
    EXPECT_EQ(session->Rename("a\r\nDELE b", "shared.dat"), FtpResult::failed);
}

// Folder creation is what the upload lock rests on: a second creation of the same folder must
// be refused, never reported as success, and a refusal must not be mistaken for a lost server.
TEST_F(NetTest, FoldersAreCreatedOnceAndRemovedOnlyWhenEmpty) {
    auto session = Open();
    ASSERT_TRUE(session);
    const fs::path lock = m_server->LoginFolder() / "events.dat.lock";
    EXPECT_EQ(session->MakeDirectory("events.dat.lock"), FtpResult::ok) << session->LastError();
    EXPECT_TRUE(fs::is_directory(lock));
    EXPECT_TRUE(session->LastError().empty());
    EXPECT_EQ(session->MakeDirectory("events.dat.lock"), FtpResult::refused);
    EXPECT_NE(session->LastError().find("\"events.dat.lock\""), std::string::npos)
        << session->LastError();
    ExpectNoPassword(session->LastError());

    // Not empty: refused, and the holder's file stays.
    WriteFile(lock / "owner", "holder");
    EXPECT_EQ(session->RemoveDirectory("events.dat.lock"), FtpResult::refused);
    EXPECT_EQ(ReadFile(lock / "owner"), "holder");
    EXPECT_EQ(session->Delete("events.dat.lock/owner"), FtpResult::ok) << session->LastError();
    EXPECT_EQ(session->RemoveDirectory("events.dat.lock"), FtpResult::ok) << session->LastError();
    EXPECT_FALSE(fs::exists(lock));
    EXPECT_EQ(session->RemoveDirectory("events.dat.lock"), FtpResult::refused);
    ExpectNoPassword(session->LastError());
    // Free again after the removal.
    EXPECT_EQ(session->MakeDirectory("events.dat.lock"), FtpResult::ok) << session->LastError();

    // A file of that name, a missing parent: refused as well.
    WriteFile(m_server->LoginFolder() / "plain.dat", "x");
    EXPECT_EQ(session->MakeDirectory("plain.dat"), FtpResult::refused);
    EXPECT_EQ(session->MakeDirectory("no-parent/events.dat.lock"), FtpResult::refused);
    EXPECT_FALSE(fs::exists(m_server->LoginFolder() / "no-parent"));
    // Absolute paths and names with spaces go to the right place.
    EXPECT_EQ(session->MakeDirectory("/team cal.lock"), FtpResult::ok) << session->LastError();
    EXPECT_TRUE(fs::is_directory(m_server->Root() / "team cal.lock"));
    EXPECT_EQ(session->RemoveDirectory("/team cal.lock"), FtpResult::ok) << session->LastError();
    EXPECT_FALSE(fs::exists(m_server->Root() / "team cal.lock"));
    // A path that would smuggle in a second command is not sent at all.
    EXPECT_EQ(session->MakeDirectory("a\r\nRMD events.dat.lock"), FtpResult::failed);
    EXPECT_EQ(session->RemoveDirectory(""), FtpResult::failed);
    EXPECT_TRUE(fs::is_directory(lock));
}

TEST_F(NetTest, RelativePathsStartAtTheLoginFolderAndAbsoluteOnesAtTheRoot) {
    auto session = Open();
    ASSERT_TRUE(session);
    fs::create_directories(m_server->LoginFolder() / "team cal");
    fs::create_directories(m_server->Root() / "srv");
    const fs::path source = m_local / "source";
    const struct {
        const char* remote;
        fs::path onDisk;
    } rows[] = {
        {"plain.dat", m_server->LoginFolder() / "plain.dat"},
        {"team cal/my events.dat", m_server->LoginFolder() / "team cal" / "my events.dat"},
        {"odd %41+#&;name.dat", m_server->LoginFolder() / "odd %41+#&;name.dat"},
        {"/srv/events.dat", m_server->Root() / "srv" / "events.dat"},
        {"/root level.dat", m_server->Root() / "root level.dat"},
        {"../srv/up.dat", m_server->Root() / "srv" / "up.dat"},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.remote);
        const std::string bytes = "file " + std::to_string(++n);
        WriteFile(source, bytes);
        ASSERT_EQ(session->Upload(source, row.remote), FtpResult::ok) << session->LastError();
        EXPECT_EQ(ReadFile(row.onDisk), bytes);
        const fs::path target = m_local / "target";
        ASSERT_EQ(session->Download(row.remote, target), FtpResult::ok) << session->LastError();
        EXPECT_EQ(ReadFile(target), bytes);
    }
    EXPECT_EQ(m_server->LoginCount(), 1);
}

TEST_F(NetTest, LocalProblemsFailAndNameTheFile) {
    auto session = Open();
    ASSERT_TRUE(session);
    WriteFile(m_server->LoginFolder() / "a.dat", "a");

    EXPECT_EQ(session->Upload(m_local / "absent.dat", "a.dat"), FtpResult::failed);
    EXPECT_NE(session->LastError().find("absent.dat"), std::string::npos) << session->LastError();
    EXPECT_EQ(ReadFile(m_server->LoginFolder() / "a.dat"), "a");

    EXPECT_EQ(session->Download("a.dat", m_local / "no-folder" / "a.dat"), FtpResult::failed);
    EXPECT_NE(session->LastError().find("no-folder"), std::string::npos) << session->LastError();

    // A store into a folder the server lacks is a failure, not "missing".
    WriteFile(m_local / "b.dat", "b");
    EXPECT_EQ(session->Upload(m_local / "b.dat", "no-folder/b.dat"), FtpResult::failed);
    EXPECT_NE(session->LastError().find("Upload of \"no-folder/b.dat\""), std::string::npos)
        << session->LastError();
    ExpectNoPassword(session->LastError());
    EXPECT_EQ(session->Upload(m_local / "b.dat", "shared/"), FtpResult::failed);
    EXPECT_NE(session->LastError().find("folder"), std::string::npos) << session->LastError();
}

TEST_F(NetTest, RefusedLoginFailsInConnectWithoutThePassword) {
    const struct {
        const char* name;
        const char* login;
        const char* password;
    } rows[] = {{"wrong password", "dayvault", "Wrong-Pass-991"},
                {"unknown user", "mallory", "Wrong-Pass-991"},
                {"anonymous", "", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FtpEndpoint endpoint = m_server->Endpoint();
        endpoint.login = row.login;
        endpoint.password = row.password;
        CCurlFtpConnector connector(ShortTimeouts());
        std::string error;
        const auto start = Clock::now();
        EXPECT_EQ(connector.Connect(endpoint, nullptr, error), nullptr);
        EXPECT_LT(SecondsSince(start), 5.0);
        ExpectNoPassword(error);
        EXPECT_EQ(error.find("Wrong-Pass-991"), std::string::npos) << error;
        EXPECT_NE(error.find("Login"), std::string::npos) << error;
        EXPECT_NE(error.find("127.0.0.1:" + std::to_string(m_server->Port())), std::string::npos)
            << error;
    }
    EXPECT_EQ(m_server->LoginCount(), 0);
}

TEST_F(NetTest, UnreachableOrMalformedServersFailInConnect) {
    CCurlFtpConnector connector(ShortTimeouts());
    FtpEndpoint endpoint = m_server->Endpoint();
    endpoint.port = FtpTestServer::UnusedPort();
    std::string error;
    const auto start = Clock::now();
    EXPECT_EQ(connector.Connect(endpoint, nullptr, error), nullptr);
    EXPECT_LT(SecondsSince(start), 3.0);
    ExpectNoPassword(error);
    EXPECT_NE(error.find(":" + std::to_string(endpoint.port)), std::string::npos) << error;

    const struct {
        const char* name;
        const char* server;
        int port;
    } rows[] = {{"empty server", "", 21},
                {"server with slash", "a/b", 21},
                {"server with at", "u@h", 21},
                {"port zero", "127.0.0.1", 0},
                {"port too big", "127.0.0.1", 65536}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        endpoint.server = row.server;
        endpoint.port = row.port;
        error.clear();
        EXPECT_EQ(connector.Connect(endpoint, nullptr, error), nullptr);
        ExpectNoPassword(error);
    }
}

TEST_F(NetTest, HungServerEndsTheTransferWithinTheTimeoutAndTheSessionRecovers) {
    auto session = Open();
    ASSERT_TRUE(session);
    WriteFile(m_server->LoginFolder() / "events.dat", "shared");
    const fs::path target = m_local / "events.dat";
    WriteFile(target, "mine");

    m_server->Pause();
    auto start = Clock::now();
    EXPECT_EQ(session->Download("events.dat", target), FtpResult::failed);
    EXPECT_LT(SecondsSince(start), 8.0);
    ExpectNoPassword(session->LastError());
    EXPECT_EQ(ReadFile(target), "mine");
    ExpectLocalFiles({"events.dat"});

    start = Clock::now();
    EXPECT_EQ(session->Upload(target, "events.dat"), FtpResult::failed);
    EXPECT_LT(SecondsSince(start), 8.0);
    EXPECT_EQ(ReadFile(m_server->LoginFolder() / "events.dat"), "shared");

    m_server->Resume();
    EXPECT_EQ(session->Download("events.dat", target), FtpResult::ok) << session->LastError();
    EXPECT_EQ(ReadFile(target), "shared");
}

// Downloads of a file that a throttled server sends for several seconds: a freeze in the middle
// ends the transfer by the stall rule, and the cancel flag ends it at once.
TEST_F(NetTest, SlowTransfersEndOnAStallOrOnCancel) {
    FtpTestServer::Options slow;
    slow.password = kPassword;
    slow.throttleBytesPerSecond = 256 * 1024;
    FtpTestServer server(slow);
    const std::string bytes = RandomBytes(2 * 1024 * 1024, 11);
    WriteFile(server.LoginFolder() / "events.dat", bytes);
    const fs::path target = m_local / "events.dat";
    WriteFile(target, "mine");

    CurlFtpOptions options = ShortTimeouts();
    options.responseTimeout = std::chrono::seconds(60); // only the stall rule may end it
    options.stallTime = std::chrono::seconds(1);
    std::atomic<bool> cancel{false};
    CCurlFtpConnector connector(options);
    std::string error;
    auto session = connector.Connect(server.Endpoint(), &cancel, error);
    ASSERT_TRUE(session) << error;

    for (const bool byCancel : {false, true}) {
        SCOPED_TRACE(byCancel ? "cancel" : "stall");
        auto transfer =
            std::async(std::launch::async, [&] { return session->Download("events.dat", target); });
        ASSERT_TRUE(DownloadIsUnderWay()) << "no data arrived";
        ASSERT_EQ(transfer.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout)
            << "the throttled transfer ended too early to test";
        const auto start = Clock::now();
        if (byCancel) {
            cancel = true;
        } else {
            server.Pause();
        }
        // The stall rule looks at the speed over libcurl's last five seconds, so a freeze shows
        // after that window plus the stall time.
        ASSERT_EQ(transfer.wait_for(std::chrono::seconds(15)), std::future_status::ready);
        EXPECT_LT(SecondsSince(start), byCancel ? 2.5 : 10.0);
        EXPECT_EQ(transfer.get(), FtpResult::failed);
        ExpectNoPassword(session->LastError());
        EXPECT_EQ(byCancel, session->LastError().find("cancelled") != std::string::npos)
            << session->LastError();
        EXPECT_EQ(ReadFile(target), "mine");
        ExpectLocalFiles({"events.dat"});
        server.Resume();
    }
}

TEST_F(NetTest, CancelEndsAWaitingTransferPromptly) {
    CurlFtpOptions patient;
    patient.responseTimeout = std::chrono::seconds(60);
    patient.stallTime = std::chrono::seconds(60);
    std::atomic<bool> cancel{false};
    auto session = Open(true, patient, &cancel);
    ASSERT_TRUE(session);
    WriteFile(m_server->LoginFolder() / "events.dat", "shared");
    const fs::path target = m_local / "events.dat";
    WriteFile(target, "mine");

    // Without the flag this would wait a minute for the frozen server.
    m_server->Pause();
    auto transfer =
        std::async(std::launch::async, [&] { return session->Download("events.dat", target); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto start = Clock::now();
    cancel = true;
    ASSERT_EQ(transfer.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_LT(SecondsSince(start), 3.0);
    EXPECT_EQ(transfer.get(), FtpResult::failed);
    EXPECT_NE(session->LastError().find("cancelled"), std::string::npos) << session->LastError();
    EXPECT_EQ(ReadFile(target), "mine");
    m_server->Resume();

    // With the flag still set nothing starts at all.
    EXPECT_EQ(session->Upload(target, "events.dat"), FtpResult::failed);
    EXPECT_EQ(ReadFile(m_server->LoginFolder() / "events.dat"), "shared");
    std::string error;
    EXPECT_EQ(CCurlFtpConnector().Connect(m_server->Endpoint(), &cancel, error), nullptr);
    EXPECT_NE(error.find("cancelled"), std::string::npos) << error;
}

TEST_F(NetTest, ServerStoppedBetweenTransfersFails) {
    auto session = Open();
    ASSERT_TRUE(session);
    const fs::path local = m_local / "events.dat";
    WriteFile(local, "mine");
    ASSERT_EQ(session->Upload(local, "events.dat"), FtpResult::ok) << session->LastError();

    m_server->Stop();
    const auto start = Clock::now();
    EXPECT_EQ(session->Download("events.dat", local), FtpResult::failed);
    EXPECT_EQ(session->Upload(local, "events.dat"), FtpResult::failed);
    EXPECT_EQ(session->Delete("events.dat"), FtpResult::failed);
    // A lost server is a failure, never a refusal that would read as "someone holds the lock".
    EXPECT_EQ(session->MakeDirectory("events.dat.lock"), FtpResult::failed);
    EXPECT_EQ(session->RemoveDirectory("events.dat.lock"), FtpResult::failed);
    EXPECT_LT(SecondsSince(start), 8.0);
    ExpectNoPassword(session->LastError());
    EXPECT_EQ(ReadFile(local), "mine");
    ExpectLocalFiles({"events.dat"});
}

} // namespace
} // namespace dv
