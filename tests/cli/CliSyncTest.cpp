// dayvault-cli sync: two private event files kept in step through one shared folder and through
// a real FTP server on loopback, and how a cycle that cannot finish ends. What the cycle merges
// is checked against a model in the sharing tests; here the command's chain counts.

#include "cli/CliTestSupport.h"
#include "core/CDateEntry.h"
#include "document/EventFile.h"
#include "support/FtpTestServer.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class CliSync : public dv::test::CliTest {
protected:
    Result Sync(const fs::path& file, Strings args) const {
        args.insert(args.begin(), {"sync", file.string(), "--now", "2024-05-01 10:00:00"});
        return Run(args);
    }
    Strings Shared(const std::string& flag = "") const {
        Strings args = {"--shared", Path("shared.dat").string()};
        if (!flag.empty()) {
            args.push_back(flag);
        }
        return args;
    }

    // A private event file with these shared events, all of them pending.
    static void WriteUser(const fs::path& file, const Strings& descriptions) {
        dv::DocumentContents contents;
        for (const std::string& description : descriptions) {
            auto entry = std::make_unique<dv::CDateEntry>(dv::CDateTime(2024, 5, 1, 9, 0, 0));
            dv::DateData data = entry->GetData();
            data.Description = description;
            data.StorageType = 1;
            entry->AssignData(data);
            contents.changeList.push_back(entry->GetGUID());
            contents.events.push_back(std::move(entry));
        }
        dv::WriteEventFile(file, contents);
    }

    Strings Descriptions(const fs::path& file) const {
        Strings descriptions;
        for (const auto& event : dv::ReadEventFile(file).events) {
            descriptions.push_back(event->GetData().Description);
        }
        return descriptions;
    }

    // A run that failed with `code` and left FILE and its change list as they were.
    Result ExpectFailure(const fs::path& file, const Strings& args, int code,
                         const std::string& out, const std::string& named) const {
        SCOPED_TRACE(::testing::PrintToString(args));
        const std::string before = ReadFile(file);
        const std::string side = ReadFile(dv::SyncSidePath(file));
        const Result r = Sync(file, args);
        EXPECT_EQ(r.code, code);
        EXPECT_EQ(r.out, out);
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(file), before);
        EXPECT_EQ(ReadFile(dv::SyncSidePath(file)), side);
        return r;
    }
};

TEST_F(CliSync, AdditionsAndDeletionsTravelThroughAFolder) {
    const fs::path alice = Path("alice.dat");
    const fs::path bob = Path("bob.dat");
    WriteUser(alice, {"Alice shared"});
    WriteUser(bob, {});

    Result r = Sync(alice, Shared());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised, changes uploaded\n");
    EXPECT_FALSE(fs::exists(Path("shared.lock")));
    EXPECT_TRUE(Info(alice)["changeList"].empty());
    r = Sync(bob, Shared());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised\n");
    EXPECT_EQ(Descriptions(bob), Strings{"Alice shared"});

    // Bob deletes the shared event as the program would (the deletion is a pending change); the
    // next two cycles carry the deletion to Alice.
    dv::DocumentContents contents = dv::ReadEventFile(bob);
    contents.changeList.push_back(contents.events[0]->GetGUID());
    contents.events.pop_back();
    dv::WriteEventFile(bob, contents);
    ASSERT_EQ(Sync(bob, Shared()).code, 0);
    ASSERT_EQ(Sync(alice, Shared()).code, 0);
    EXPECT_TRUE(Descriptions(alice).empty());
}

TEST_F(CliSync, TwoFilesConvergeThroughAServerInBothModesWithoutShowingThePassword) {
    dv::test::FtpTestServer::Options options;
    options.password = "S3cret:pw@42";
    options.startFolder = "home";
    dv::test::FtpTestServer server(options);
    fs::create_directories(server.LoginFolder() / "team");
    const auto url = [&](const std::string& password, int port) {
        return Strings{"--ftp", "ftp://dayvault:" + password +
                                    "@127.0.0.1:" + std::to_string(port) + "/team/shared.dat"};
    };
    // The password comes from the environment or a private file, not from the command line,
    // which every user of the computer can read.
    ::setenv("DAYVAULT_TEST_FTP_PASSWORD", options.password.c_str(), 1);
    const std::string address =
        "ftp://dayvault@127.0.0.1:" + std::to_string(server.Port()) + "/team/shared.dat";
    const Strings ftp = {"--ftp", address, "--password-env", "DAYVAULT_TEST_FTP_PASSWORD"};
    WriteFile(Path("password"), options.password + "\n");
    fs::permissions(Path("password"), fs::perms::owner_read | fs::perms::owner_write);
    const fs::path alice = Path("alice.dat");
    const fs::path bob = Path("bob.dat");
    WriteUser(alice, {"Alice shared"});
    WriteUser(bob, {"Bob shared"});
    // Bob's settings ask for active mode; Alice runs with the passive default.
    WriteFile(Path("active.ini"), "[Settings]\r\nFtpPassiveConnection=0\r\n");
    Strings active = ftp;
    active.insert(active.end(), {"--settings", Path("active.ini").string()});

    Result r = Sync(alice, ftp);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised, changes uploaded\n");
    EXPECT_TRUE(fs::exists(server.LoginFolder() / "team/shared.dts"));
    r = Sync(bob, active);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Descriptions(bob), (Strings{"Bob shared", "Alice shared"}));
    EXPECT_TRUE(Info(bob)["changeList"].empty());
    EXPECT_EQ(r.err, "");
    r = Sync(alice, {"--ftp", address, "--password-file", Path("password").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Synchronised\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Descriptions(alice), (Strings{"Alice shared", "Bob shared"}));
    // A password in the address still works, with a warning that does not repeat it.
    r = Sync(alice, url(options.password, server.Port()));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("warning: the password in the --ftp address"), std::string::npos);
    EXPECT_EQ(r.err.find(":pw@"), std::string::npos) << r.err;
    ::unsetenv("DAYVAULT_TEST_FTP_PASSWORD");
    ExpectFailure(alice, ftp, 2, "", "DAYVAULT_TEST_FTP_PASSWORD");
    EXPECT_EQ(dv::ReadEventFile(server.LoginFolder() / "team/shared.dat").events.size(), 2u);

    // A refused login, and an address that cannot be parsed (a usage error), name the server but
    // never the password.
    WriteUser(alice, {"pending"});
    for (const Result& failed :
         {ExpectFailure(alice, url("Wrong:pw@99", server.Port()), 1,
                        "Transfer of the shared file failed\n", "127.0.0.1"),
          ExpectFailure(alice, url(options.password, 99999), 2, "", "127.0.0.1:99999")}) {
        EXPECT_EQ(failed.err.find(":pw@"), std::string::npos) << failed.err;
    }
}

// Each failure exits with 1 (2 for a usage error), says why and leaves FILE as it was.
TEST_F(CliSync, FailuresLeaveTheFile) {
    const fs::path mine = Path("mine.dat");
    const fs::path shared = Path("shared.dat");
    Strings twelve;
    for (int i = 0; i < 12; ++i) {
        twelve.push_back("shared " + std::to_string(i));
    }
    WriteUser(mine, twelve);
    WriteFile(Path("shared.lock"), "other");
    ExpectFailure(mine, Shared(), 1, "The shared file is in use by another user\n", "shared.dat");
    EXPECT_EQ(ReadFile(Path("shared.lock")), "other");
    fs::remove(Path("shared.lock"));
    ExpectFailure(mine, {}, 2, "", "--shared");
    ExpectFailure(mine, {"--shared", "x.dat", "--ftp", "ftp://h/x.dat"}, 2, "", "--ftp");
    EXPECT_EQ(Sync(Path("missing.dat"), Shared()).code, 1);
    ASSERT_EQ(Sync(mine, Shared()).code, 0);

    // A shared file that went missing or was cut short is never taken for a share whose entries
    // were all deleted; sharing again is the user's decision.
    const std::string good = ReadFile(shared);
    fs::remove(shared);
    ExpectFailure(mine, Shared(), 1,
                  "The shared file is missing; nothing was changed. Restore its newest backup or "
                  "share again\n",
                  "backup");
    WriteFile(shared, good.substr(0, good.size() / 2));
    ExpectFailure(mine, Shared(), 1, "Merging the shared file failed\n", "damaged");
    ASSERT_EQ(Sync(mine, Shared("--create")).code, 0);
    EXPECT_EQ(dv::ReadEventFile(shared).events.size(), 12u);

    // Another user removed 8 of the 12: they stay until --allow-deletions.
    dv::DocumentContents theirs = dv::ReadEventFile(shared);
    theirs.events.resize(4);
    dv::WriteEventFile(shared, theirs);
    Result r = Sync(mine, Shared());
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("8 shared entries were removed"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--allow-deletions"), std::string::npos) << r.err;
    EXPECT_EQ(Descriptions(mine).size(), 12u);
    ASSERT_EQ(Sync(mine, Shared("--allow-deletions")).code, 0);
    EXPECT_EQ(Descriptions(mine).size(), 4u);

    // FILE cannot be written after the merge: the error names it and the reason.
    theirs.events.resize(3);
    dv::WriteEventFile(shared, theirs);
    fs::remove(dv::SyncSidePath(mine));
    fs::create_directory(dv::SyncSidePath(mine)); // the side file cannot be replaced
    const std::string before = ReadFile(mine);
    r = Sync(mine, Shared());
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("mine.sync"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(mine), before);
}

} // namespace
