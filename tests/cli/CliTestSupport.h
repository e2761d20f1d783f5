#pragma once

#include "support/Files.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace dv::test {

/// The source of the Testland holiday module of the test data.
inline std::filesystem::path TestlandSource() {
    return std::filesystem::path(DAYVAULT_TEST_HOLIDAYS) / "Testland.txt";
}

/// Base fixture of the dayvault-cli chain tests: the real program on files in a fresh folder of
/// the test's own, which goes away at the end.
class CliTest : public ::testing::Test {
protected:
    using Json = nlohmann::json;

    /// The exit code (-1 when the program did not exit normally) and what it wrote.
    struct Result {
        int code = -1;
        std::string out;
        std::string err;
    };

    std::vector<std::string> FileNames() const { return m_dir.FileNames(); }
    std::filesystem::path Path(const std::string& name) const { return m_dir / name; }

    /// Runs dayvault-cli with `args`, each passed as one word, stdin empty; the output goes
    /// through the files "stdout" and "stderr" of the test's folder.
    Result Run(const std::vector<std::string>& args) const {
        std::string line = Quote(DAYVAULT_CLI_PATH);
        for (const std::string& arg : args) {
            line += " " + Quote(arg);
        }
        line += " >" + Quote(Path("stdout")) + " 2>" + Quote(Path("stderr")) + " </dev/null";
        const int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(Path("stdout")),
                ReadFile(Path("stderr"))};
    }

    /// The parsed output of `dayvault-cli info FILE`; a failed run is a test failure.
    Json Info(const std::filesystem::path& file) const {
        const Result r = Run({"info", file.string()});
        EXPECT_EQ(r.code, 0) << r.err;
        return Json::parse(r.out);
    }

    /// The Testland module compiled into holidays/ of a program folder "program" in the test's
    /// folder; a failed compile is a test failure. Returns the program folder.
    std::filesystem::path ProgramFolderWithTestland() const {
        const std::filesystem::path folder = Path("program");
        std::filesystem::create_directories(folder / "holidays");
        const Result r = Run({"holidays", "compile", TestlandSource().string(),
                              (folder / "holidays" / "Testland.hol").string()});
        EXPECT_EQ(r.code, 0) << r.err;
        return folder;
    }

    static std::string ReadFile(const std::filesystem::path& path) { return test::ReadFile(path); }
    static void WriteFile(const std::filesystem::path& path, std::string_view text) {
        test::WriteFile(path, text);
    }

private:
    /// `arg` as one word for the POSIX shell.
    static std::string Quote(const std::filesystem::path& arg) {
        std::string quoted = "'";
        for (char c : arg.string()) {
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return quoted + "'";
    }

    // The suite's name tells whose folder a leftover is.
    TemporaryFolder m_dir{
        ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()};
};

} // namespace dv::test
