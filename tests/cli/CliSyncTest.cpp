// dayvault-cli sync: two private event files kept in step through one shared folder or through a
// real FTP server on loopback.

#include "cli/CliTestSupport.h"
#include "core/CDateEntry.h"
#include "document/EventFile.h"
#include "support/FtpTestServer.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class CliSync : public dv::test::CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        fs::create_directories(Path("share"));
    }

    Result Sync(const fs::path& file, const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> args{"sync",     file.string(),
                                      "--shared", Path("share/shared.dat").string(),
                                      "--now",    "2024-05-01 10:00:00"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }

    // A private event file with `count` shared events, all of them pending.
    static void WriteShared(const fs::path& file, int count) {
        std::vector<std::string> descriptions;
        for (int i = 0; i < count; ++i) {
            descriptions.push_back("shared " + std::to_string(i));
        }
        WriteUser(file, descriptions, 1);
    }

    std::vector<std::string> Descriptions(const fs::path& file) const {
        std::vector<std::string> descriptions;
        const Json info = Info(file);
        for (const Json& event : info["events"]) {
            descriptions.push_back(event["Description"].get<std::string>());
        }
        return descriptions;
    }

    // A private event file with these events, shared (and then pending) or local.
    static void WriteUser(const fs::path& file, const std::vector<std::string>& descriptions,
                          int storage) {
        dv::DocumentContents contents;
        for (const std::string& description : descriptions) {
            auto entry = std::make_unique<dv::CDateEntry>(dv::CDateTime(2024, 5, 1, 9, 0, 0));
            dv::DateData data = entry->GetData();
            data.Description = description;
            data.StorageType = storage;
            entry->AssignData(data);
            if (storage == 1) {
                contents.changeList.push_back(entry->GetGUID());
            }
            contents.events.push_back(std::move(entry));
        }
        dv::WriteEventFile(file, contents);
    }
};

TEST_F(CliSync, AdditionsAndDeletionsTravelBetweenTwoFiles) {
    const fs::path alice = Path("alice.dat");
    const fs::path bob = Path("bob.dat");
    WriteUser(alice, {"Alice shared"}, 1);
    WriteUser(bob, {"Bob private"}, 0);

    Result r = Sync(alice);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised, changes uploaded\n");
    EXPECT_TRUE(fs::exists(Path("share/shared.dat")));
    EXPECT_FALSE(fs::exists(Path("share/shared.lock")));
    EXPECT_TRUE(Info(alice)["changeList"].empty());

    r = Sync(bob);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised\n");
    EXPECT_EQ(Descriptions(bob), (std::vector<std::string>{"Bob private", "Alice shared"}));

    // Bob deletes the shared event (the file is written as the program would: the deletion is
    // a pending change); the next two cycles carry the deletion to Alice.
    dv::DocumentContents contents = dv::ReadEventFile(bob);
    const std::string guid = contents.events[1]->GetGUID();
    contents.events.pop_back();
    contents.changeList.push_back(guid);
    dv::WriteEventFile(bob, contents);
    r = Sync(bob);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised, changes uploaded\n");
    r = Sync(alice);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Descriptions(alice).empty());
    EXPECT_EQ(Descriptions(bob), std::vector<std::string>{"Bob private"});
}

TEST_F(CliSync, HeldLockAndUsageErrors) {
    const fs::path alice = Path("alice.dat");
    WriteUser(alice, {"Alice shared"}, 1);
    const std::string before = ReadFile(alice);
    WriteFile(Path("share/shared.lock"), "other");
    Result r = Sync(alice);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "The shared file is in use by another user\n");
    EXPECT_NE(r.err.find("shared.dat"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(alice), before);
    EXPECT_TRUE(fs::exists(dv::SyncSidePath(alice)));
    EXPECT_EQ(ReadFile(Path("share/shared.lock")), "other");

    ExpectUsageError({"sync", alice.string()});
    EXPECT_EQ(Run({"sync", Path("missing.dat").string(), "--shared", "x.dat"}).code, 1);
}

// The first day of a share: the folder holds no shared file yet, and the first cycle creates it
// from FILE's shared entries. Later a shared file that is missing, empty or cut short ends the
// cycle with exit 1 and leaves FILE as it was; --create shares the entries again.
TEST_F(CliSync, MissingOrDamagedSharedFileNeverDeletes) {
    const fs::path mine = Path("mine.dat");
    const fs::path shared = Path("share/shared.dat");
    WriteShared(mine, 5);
    Result r = Sync(mine);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised, changes uploaded\n");
    ASSERT_EQ(dv::ReadEventFile(shared).events.size(), 5u);
    const std::string good = ReadFile(shared);
    const std::string before = ReadFile(mine);
    const std::string beforeSide = ReadFile(dv::SyncSidePath(mine));
    struct Row {
        const char* name;
        const char* content; // nullptr: no file
        const char* out;
        const char* reason;
    };
    const std::string cut = good.substr(0, good.size() / 2);
    for (const Row& row :
         {Row{"missing", nullptr,
              "The shared file is missing; nothing was changed. Restore its newest backup or "
              "share again\n",
              "backup"},
          Row{"empty", "", "Merging the shared file failed\n", "empty"},
          Row{"cut short", cut.c_str(), "Merging the shared file failed\n", "damaged"}}) {
        SCOPED_TRACE(row.name);
        fs::remove(shared);
        if (row.content != nullptr) {
            WriteFile(shared, row.content);
        }
        r = Sync(mine);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, row.out);
        EXPECT_NE(r.err.find(row.reason), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(mine), before);
        EXPECT_EQ(ReadFile(dv::SyncSidePath(mine)), beforeSide);
    }
    r = Sync(mine, {"--create"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(dv::ReadEventFile(shared).events.size(), 5u);
}

// A cycle that would delete 8 of 12 shared entries keeps them, saves the rest of the merge and
// exits with 1; --allow-deletions lets them go.
TEST_F(CliSync, MassDeletionNeedsAllowDeletions) {
    const fs::path mine = Path("mine.dat");
    const fs::path shared = Path("share/shared.dat");
    WriteShared(mine, 12);
    ASSERT_EQ(Sync(mine).code, 0);
    dv::DocumentContents theirs = dv::ReadEventFile(shared);
    theirs.events.resize(4);
    WriteUser(Path("theirs.dat"), {"theirs"}, 1);
    theirs.events.push_back(std::move(dv::ReadEventFile(Path("theirs.dat")).events[0]));
    dv::WriteEventFile(shared, theirs);

    Result r = Sync(mine);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("8 shared entries were removed"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--allow-deletions"), std::string::npos) << r.err;
    EXPECT_EQ(Descriptions(mine).size(), 13u);
    EXPECT_EQ(Descriptions(mine).back(), "theirs");
    r = Sync(mine, {"--allow-deletions"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Descriptions(mine).size(), 5u);
}

// FILE cannot be written after the merge: exit 1 naming the file and the reason, FILE as it was.
TEST_F(CliSync, FailedSaveLeavesTheFile) {
    const fs::path mine = Path("mine.dat");
    WriteShared(mine, 1);
    ASSERT_EQ(Sync(mine).code, 0);
    WriteUser(Path("bob.dat"), {"from bob"}, 1);
    ASSERT_EQ(Sync(Path("bob.dat")).code, 0);
    const std::string before = ReadFile(mine);
    fs::remove(dv::SyncSidePath(mine));
    fs::create_directory(dv::SyncSidePath(mine)); // the side file cannot be replaced
    const Result r = Sync(mine);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(mine.string()), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("mine.sync"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(mine), before);
}

// ---- --ftp ------------------------------------------------------------------------------------

// Every byte as %XX, the letters too.
std::string PercentEncoded(const std::string& text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        encoded += {'%', kDigits[byte >> 4], kDigits[byte & 15]};
    }
    return encoded;
}

class CliSyncFtp : public CliSync {
protected:
    void SetUp() override {
        CliSync::SetUp();
        dv::test::FtpTestServer::Options options;
        options.password = kPassword;
        options.startFolder = "home";
        m_server = std::make_unique<dv::test::FtpTestServer>(options);
    }
    void TearDown() override {
        m_server.reset();
        CliSync::TearDown();
    }

    // The password written fully percent-encoded, so that neither form may show up in output.
    std::string Url(const std::string& password) const {
        return "ftp://dayvault:" + PercentEncoded(password) +
               "@127.0.0.1:" + std::to_string(m_server->Port()) + "/team/shared.dat";
    }

    Result SyncFtp(const fs::path& file, const std::string& url,
                   const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> args{"sync", file.string(), "--ftp",
                                      url,    "--now",       "2024-05-01 10:00:00"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }

    static void ExpectNoPassword(const Result& r, const std::string& password) {
        for (const std::string& text : {r.out, r.err}) {
            EXPECT_EQ(text.find(password), std::string::npos) << text;
            EXPECT_EQ(text.find(PercentEncoded(password)), std::string::npos) << text;
        }
    }

    static constexpr const char* kPassword = "S3cret:pw@42";
    std::unique_ptr<dv::test::FtpTestServer> m_server;
};

TEST_F(CliSyncFtp, TwoFilesConvergeThroughTheServerInBothModes) {
    const fs::path alice = Path("alice.dat");
    const fs::path bob = Path("bob.dat");
    WriteUser(alice, {"Alice shared"}, 1);
    WriteUser(bob, {"Bob shared"}, 1);
    fs::create_directories(m_server->LoginFolder() / "team");
    // Bob's settings ask for active mode; Alice runs with the passive default.
    const fs::path activeIni = Path("active.ini");
    WriteFile(activeIni, "[Settings]\r\nFtpPassiveConnection=0\r\n");
    const std::vector<std::string> active{"--settings", activeIni.string()};

    Result r = SyncFtp(alice, Url(kPassword));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised, changes uploaded\n");
    EXPECT_TRUE(fs::exists(m_server->LoginFolder() / "team/shared.dat"));
    EXPECT_TRUE(fs::exists(m_server->LoginFolder() / "team/shared.dts"));
    EXPECT_TRUE(Info(alice)["changeList"].empty());

    r = SyncFtp(bob, Url(kPassword), active);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised, changes uploaded\n");
    EXPECT_EQ(Descriptions(bob), (std::vector<std::string>{"Bob shared", "Alice shared"}));
    EXPECT_TRUE(Info(bob)["changeList"].empty());

    r = SyncFtp(alice, Url(kPassword));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised\n");
    EXPECT_EQ(Descriptions(alice), (std::vector<std::string>{"Alice shared", "Bob shared"}));
    // What both hold is what the server holds.
    const dv::DocumentContents shared =
        dv::ReadEventFile(m_server->LoginFolder() / "team/shared.dat");
    ASSERT_EQ(shared.events.size(), 2u);
    EXPECT_EQ(shared.events[0]->GetData().Description, "Alice shared");
    EXPECT_EQ(shared.events[1]->GetData().Description, "Bob shared");
    ExpectNoPassword(r, kPassword);
}

// Each failure leaves FILE and its change list untouched, exits with 1 (2 for a bad address)
// and names the server without the password.
TEST_F(CliSyncFtp, FailuresKeepTheFileAndHideThePassword) {
    const fs::path alice = Path("alice.dat");
    WriteUser(alice, {"Alice shared"}, 1);
    const std::string before = ReadFile(alice);
    const std::string beforeSide = ReadFile(dv::SyncSidePath(alice));
    const auto unchanged = [&] {
        EXPECT_EQ(ReadFile(alice), before);
        EXPECT_EQ(ReadFile(dv::SyncSidePath(alice)), beforeSide);
    };

    {
        SCOPED_TRACE("wrong password");
        const Result r = SyncFtp(alice, Url("Wrong:pw@99"));
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "Transfer of the shared file failed\n");
        EXPECT_NE(r.err.find("127.0.0.1"), std::string::npos) << r.err;
        ExpectNoPassword(r, "Wrong:pw@99");
        unchanged();
        EXPECT_FALSE(fs::exists(m_server->LoginFolder() / "team/shared.dat"));
    }
    {
        SCOPED_TRACE("malformed address");
        const std::string url =
            "ftp://dayvault:" + std::string(kPassword) + "@127.0.0.1:99999/team/shared.dat";
        const Result r = SyncFtp(alice, url);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("--ftp"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("127.0.0.1:99999"), std::string::npos) << r.err;
        ExpectNoPassword(r, "pw@42");
        unchanged();
    }
    {
        SCOPED_TRACE("both places at once");
        ExpectUsageError({"sync", alice.string(), "--shared", Path("share/x.dat").string(), "--ftp",
                          Url(kPassword)});
        unchanged();
    }
    {
        SCOPED_TRACE("stopped server");
        m_server->Stop();
        const Result r = SyncFtp(alice, Url(kPassword));
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "Transfer of the shared file failed\n");
        EXPECT_NE(r.err.find("127.0.0.1"), std::string::npos) << r.err;
        ExpectNoPassword(r, kPassword);
        unchanged();
    }
}

} // namespace
