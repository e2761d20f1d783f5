#include "format/StringTable.h"

#include "format/FormatSettings.h"
#include "format/StringIds.h"

#include <atomic>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace dv {
namespace {

// Removes any hook a test installed, also when the test fails half-way.
class StringTableTest : public ::testing::Test {
protected:
    void TearDown() override { SetTranslationHook({}); }
};

TEST_F(StringTableTest, EveryNumberAnswersConsistently) {
    // String numbers are 16-bit: each one either has an English text, which it loads, or has none.
    int count = 0;
    for (uint32_t id = 0; id <= 0xFFFF; ++id) {
        const std::string_view english = EnglishString(id);
        ASSERT_EQ(HasString(id), !english.empty()) << id;
        ASSERT_EQ(LoadString(id), english) << id;
        // Line breaks are real control characters, never written-out escapes.
        ASSERT_EQ(english.find('\\'), std::string_view::npos) << id;
        count += HasString(id) ? 1 : 0;
    }
    EXPECT_GT(count, 100);
}

TEST_F(StringTableTest, HookReplacesTextOrKeepsEnglish) {
    std::vector<std::pair<uint32_t, std::string>> calls;
    SetTranslationHook([&calls](uint32_t id, std::string_view english) {
        calls.emplace_back(id, std::string(english));
        if (id == kIdsStateValueDone) {
            // A hook may build its text from other strings without a deadlock on its lock.
            return std::optional<std::string>("[" + LoadString(kIdsStateValueUndone) + "]");
        }
        if (id == kIdsStateValueUrgent) {
            return std::optional<std::string>(""); // a translation may be empty on purpose
        }
        if (id == kIdsCannotReadImport) {
            return std::optional<std::string>("Datei %s nicht lesbar");
        }
        return std::optional<std::string>();
    });
    EXPECT_EQ(LoadString(kIdsStateValueDone), "[To Do:]");
    EXPECT_EQ(LoadString(kIdsStateValueOverdue), "!!!Overdue!!!");
    EXPECT_EQ(LoadString(kIdsStateValueUrgent), "");
    EXPECT_EQ(EnglishString(kIdsStateValueDone), "Done:"); // the English text stays reachable
    const std::vector<std::pair<uint32_t, std::string>> expected = {
        {kIdsStateValueDone, "Done:"},
        {kIdsStateValueUndone, "To Do:"},
        {kIdsStateValueOverdue, "!!!Overdue!!!"},
        {kIdsStateValueUrgent, "Urgent!"},
    };
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(FormatString(kIdsCannotReadImport, "a.txt"), "Datei a.txt nicht lesbar");
    // The hook is not asked for a number outside the table.
    EXPECT_EQ(LoadString(0x10000 + kIdsDateFormat), "");
    EXPECT_EQ(LoadString(std::numeric_limits<uint32_t>::max()), "");
    EXPECT_EQ(calls.size(), expected.size() + 1);

    SetTranslationHook({});
    EXPECT_EQ(LoadString(kIdsStateValueDone), "Done:");
    EXPECT_EQ(FormatString(kIdsCannotReadImport, "C:\\a%s.txt"),
              "Unable to read from import-file\nC:\\a%s.txt");
    EXPECT_EQ(FormatString(kIdsUntitled, "x"), LoadString(kIdsUntitled)) << "no placeholder";
    // Several arguments fill the "%s" in order; one that holds "%s" is not filled again.
    EXPECT_EQ(FormatString(kIdsOptRangeMessage, {"a%s", "1", "9"}),
              "a%s: please enter a whole number from 1 to 9.");
    EXPECT_EQ(FormatString(kIdsOptRangeMessage, {"Port"}),
              "Port: please enter a whole number from %s to %s.");
}

} // namespace
} // namespace dv
