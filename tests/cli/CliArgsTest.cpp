#include "cli/CliArgs.h"

#include <gtest/gtest.h>

namespace dv::cli {
namespace {

TEST(CliArgs, OptionsAnywhereAndOnlyKnownOnes) {
    const CliArgs args({"file.dat", "--from=2026-01-01", "--now", "2026-01-02", "--save", "x"},
                       {"--from"}, {"--save"});
    EXPECT_EQ(args.Positional(), (std::vector<std::string>{"file.dat", "x"}));
    EXPECT_EQ(args.Value("--from"), "2026-01-01");
    EXPECT_EQ(args.Value("--now"), "2026-01-02");
    EXPECT_TRUE(args.Has("--save"));
    EXPECT_FALSE(args.Has("--to"));
    EXPECT_THROW(args.RequirePositional(1, "FILE"), UsageError);

    EXPECT_THROW(CliArgs({"--to", "x"}, {"--from"}, {}), UsageError);
    EXPECT_THROW(CliArgs({"--from"}, {"--from"}, {}), UsageError) << "value missing";
    EXPECT_THROW(CliArgs({"--from", "a", "--from", "b"}, {"--from"}, {}), UsageError);
    EXPECT_THROW(CliArgs({"--save=1"}, {}, {"--save"}), UsageError) << "a flag takes no value";
    EXPECT_EQ(CliArgs::ParseInt("--days", "3660", 1, 3660), 3660);
    EXPECT_THROW(CliArgs::ParseInt("--days", "3661", 1, 3660), UsageError);
    EXPECT_THROW(CliArgs::ParseInt("--days", "0", 1, 3660), UsageError);
    EXPECT_THROW(CliArgs::ParseInt("--days", "14x", 1, 3660), UsageError);
    EXPECT_THROW(CliArgs::ParseInt("--days", "99999999999", 1, 3660), UsageError);
}

} // namespace
} // namespace dv::cli
