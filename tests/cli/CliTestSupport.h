#pragma once

#include "support/Files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace dv::test {

/// The source of the Testland holiday module of the test data.
std::filesystem::path TestlandSource();

/// Base fixture of the dayvault-cli chain tests: each test gets a fresh folder of its own below
/// the system's temporary folder, runs the real program on files in it, and the folder goes
/// away at the end.
class CliTest : public ::testing::Test {
protected:
    using Json = nlohmann::json;

    /// What a run left behind: the exit code (-1 when the program did not exit normally) and
    /// everything it wrote to stdout and stderr.
    struct Result {
        int code = -1;
        std::string out;
        std::string err;
    };

    void SetUp() override;
    void TearDown() override;

    /// The names in the test's folder, sorted.
    std::vector<std::string> FileNames() const { return m_dir->FileNames(); }

    /// `name` inside the test's folder; nothing is created.
    std::filesystem::path Path(const std::string& name) const;

    /// Runs dayvault-cli with `args` (each passed as one word), stdin empty.
    Result Run(const std::vector<std::string>& args) const;

    /// Runs `command`, shell text that the caller quoted, followed by `args` (each quoted here).
    /// Output goes through the files "stdout" and "stderr" of the test's folder.
    Result RunCommand(const std::string& command, const std::vector<std::string>& args) const;

    /// The demo backup restored into `name` with the clock at `now`; a failed restore is a test
    /// failure. Returns the path of the event file.
    std::filesystem::path Demo(const std::string& name = "demo.dat",
                               const std::string& now = "2026-12-10 07:00:00") const;

    /// The parsed output of `dayvault-cli info FILE`; a failed run is a test failure.
    Json Info(const std::filesystem::path& file) const;

    /// The Testland module source compiled into holidays/ of a program folder "program" in the
    /// test's folder; a failed compile is a test failure. Returns the program folder.
    std::filesystem::path ProgramFolderWithTestland() const;

    // The shared file helpers, found from the tests' own scope.
    static std::string ReadFile(const std::filesystem::path& path) { return test::ReadFile(path); }
    static void WriteFile(const std::filesystem::path& path, std::string_view text) {
        test::WriteFile(path, text);
    }

    /// `arg` as one word for the POSIX shell.
    static std::string Quote(const std::string& arg);

private:
    std::unique_ptr<TemporaryFolder> m_dir;
};

/// CliTest with the demo backup restored into "demo.dat" (clock at 2026-12-10 07:00:00) before
/// each test; a failed restore stops the test.
class CliDemoTest : public CliTest {
protected:
    void SetUp() override;
};

} // namespace dv::test
