#include "cli/CliTestSupport.h"

#include <cstdlib>
#include <sys/wait.h>

namespace dv::test {

namespace fs = std::filesystem;

void CliTest::SetUp() {
    // The suite's name tells whose folder a leftover is.
    m_dir = std::make_unique<TemporaryFolder>(
        ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name());
}

void CliTest::TearDown() {
    m_dir.reset();
}

fs::path CliTest::Path(const std::string& name) const {
    return *m_dir / name;
}

CliTest::Result CliTest::Run(const std::vector<std::string>& args) const {
    return RunCommand(Quote(DAYVAULT_CLI_PATH), args);
}

CliTest::Result CliTest::RunCommand(const std::string& command,
                                    const std::vector<std::string>& args) const {
    std::string line = command;
    for (const std::string& arg : args) {
        line += " " + Quote(arg);
    }
    const fs::path out = Path("stdout");
    const fs::path err = Path("stderr");
    line += " >" + Quote(out.string()) + " 2>" + Quote(err.string()) + " </dev/null";
    const int status = std::system(line.c_str());
    Result result;
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
}

fs::path CliTest::Demo(const std::string& name, const std::string& now) const {
    const Result r = Run({"restore", DAYVAULT_DEMO_BACKUP, Path(name).string(), "--now", now});
    EXPECT_EQ(r.code, 0) << r.err;
    return Path(name);
}

CliTest::Json CliTest::Info(const fs::path& file) const {
    const Result r = Run({"info", file.string()});
    EXPECT_EQ(r.code, 0) << r.err;
    return Json::parse(r.out);
}

fs::path CliTest::ProgramFolderWithTestland() const {
    const fs::path folder = Path("program");
    fs::create_directories(folder / "holidays");
    const Result r = Run({"holidays", "compile", TestlandSource().string(),
                          (folder / "holidays" / "Testland.hol").string()});
    EXPECT_EQ(r.code, 0) << r.err;
    return folder;
}

void CliDemoTest::SetUp() {
    CliTest::SetUp();
    Demo();
    ASSERT_FALSE(HasFailure()) << "the demo file could not be restored";
}

fs::path TestlandSource() {
    return fs::path(DAYVAULT_TEST_HOLIDAYS) / "Testland.txt";
}

std::string CliTest::Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace dv::test
