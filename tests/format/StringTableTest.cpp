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

TEST_F(StringTableTest, FixedNumbersKeepTheirTexts) {
    // Language packs and stored settings refer to these numbers: the first and last entries,
    // the ends of each group and texts with line breaks, quotes or a "%s".
    const struct {
        uint32_t id;
        std::string_view text;
    } rows[] = {
        {32771, "Create and edit categories"},
        {40000, "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
        {40014, ">> $THIS_END_AUTOTIME_S$$DESCRIPTION$"},
        {40022, " "},
        {40029, ">> $DESCRIPTION$"},
        {40055, "Urgent!"},
        {40123, "%A, %B %d, %Y, %#I:%M %p"},
        {40309, "\"$CATEGORY$\""},
        {40357, "\"$DOCUMENT$\""},
        {57344, "Dayvault"},
        {57487, "Do you want to open the document\n%s\nnow?"},
        {61029, "%s: the shared file is empty; it may be being uploaded"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(EnglishString(row.id), row.text) << row.id;
    }
    EXPECT_EQ(kIdsSyncSharedFileEmpty, 61029U);
    EXPECT_EQ(kIdsCsvTodoDocument, 40357U);
}

TEST_F(StringTableTest, NumbersOutsideTheTableGiveEmptyText) {
    const struct {
        const char* name;
        uint32_t id;
    } rows[] = {
        {"just below the first", kIdsCategoriesPrompt - 1},
        {"just above the first", kIdsCategoriesPrompt + 1},
        {"after the calendar group", kIdsCalendarDateMultidayLast + 1},
        {"between the tables", kIdsAskResetEventStates + 1},
        {"just above the last", kIdsCannotSaveEventFile + 1},
        {"beyond 16 bits", 0x10000 + kIdsDateFormat},
        {"largest number", std::numeric_limits<uint32_t>::max()},
    };
    SetTranslationHook([](uint32_t, std::string_view) { return std::optional<std::string>("x"); });
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(HasString(row.id));
        EXPECT_TRUE(EnglishString(row.id).empty());
        EXPECT_TRUE(LoadString(row.id).empty()); // the hook is not asked for a missing string
    }
}

TEST_F(StringTableTest, FormatStringFillsTheFirstPlaceholderOfTheActiveText) {
    EXPECT_EQ(FormatString(kIdsCannotReadImport, "C:\\a%s.txt"),
              "Unable to read from import-file\nC:\\a%s.txt");
    EXPECT_EQ(FormatString(kIdsUntitled, "x"), LoadString(kIdsUntitled)) << "no placeholder";
    SetTranslationHook([](uint32_t, std::string_view) {
        return std::optional<std::string>("Datei %s nicht lesbar");
    });
    EXPECT_EQ(FormatString(kIdsCannotReadImport, "a.txt"), "Datei a.txt nicht lesbar");
}

TEST_F(StringTableTest, HookReplacesTextOrKeepsEnglish) {
    std::vector<std::pair<uint32_t, std::string>> calls;
    SetTranslationHook([&calls](uint32_t id, std::string_view english) {
        calls.emplace_back(id, std::string(english));
        if (id == kIdsStateValueDone) {
            return std::optional<std::string>("Erledigt:");
        }
        if (id == kIdsStateValueUrgent) {
            return std::optional<std::string>(""); // a translation may be empty on purpose
        }
        return std::optional<std::string>();
    });
    EXPECT_EQ(LoadString(kIdsStateValueDone), "Erledigt:");
    EXPECT_EQ(LoadString(kIdsStateValueOverdue), "!!!Overdue!!!");
    EXPECT_EQ(LoadString(kIdsStateValueUrgent), "");
    EXPECT_EQ(EnglishString(kIdsStateValueDone), "Done:"); // the English text stays reachable

    const std::vector<std::pair<uint32_t, std::string>> expected = {
        {kIdsStateValueDone, "Done:"},
        {kIdsStateValueOverdue, "!!!Overdue!!!"},
        {kIdsStateValueUrgent, "Urgent!"},
    };
    EXPECT_EQ(calls, expected);

    SetTranslationHook({});
    EXPECT_EQ(LoadString(kIdsStateValueDone), "Done:");
    EXPECT_EQ(calls.size(), expected.size());
}

TEST_F(StringTableTest, HookMayLoadOtherStrings) {
    // A hook that builds its text from other strings must not deadlock on the hook's lock.
    SetTranslationHook([](uint32_t id, std::string_view) -> std::optional<std::string> {
        if (id == kIdsStateValueDone) {
            return "[" + LoadString(kIdsStateValueUndone) + "]";
        }
        return std::nullopt;
    });
    EXPECT_EQ(LoadString(kIdsStateValueDone), "[To Do:]");
}

TEST_F(StringTableTest, HookCanBeReplacedWhileOtherThreadsLoad) {
    std::atomic<bool> stop{false};
    std::atomic<int> unexpected{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const std::string text = LoadString(kIdsStateValueDone);
                if (text != "Done:" && text != "first language" && text != "second language") {
                    ++unexpected;
                }
            }
        });
    }
    for (int i = 0; i < 3000; ++i) {
        // Each hook owns its text, so a reader still using a replaced hook would read freed memory
        // under the sanitizers.
        std::string text = (i % 3 == 0) ? "first language" : "second language";
        if (i % 3 == 2) {
            SetTranslationHook({});
        } else {
            SetTranslationHook(
                [text](uint32_t, std::string_view) { return std::optional<std::string>(text); });
        }
    }
    stop = true;
    for (std::thread& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(unexpected.load(), 0);
}

TEST_F(StringTableTest, FormatDefaultsLoadEachValueFromItsString) {
    // A hook that names the string shows which number each value was loaded from, and that the
    // defaults follow the active language.
    SetTranslationHook([](uint32_t id, std::string_view) {
        return std::optional<std::string>("T" + std::to_string(id));
    });
    const FormatSettings defaults = FormatSettings::Defaults();
    const std::pair<std::string, uint32_t> single[] = {
        {defaults.DateFormat, 40070},        {defaults.TimeFormat, 40071},
        {defaults.DateTimeFormat, 40072},    {defaults.StateValueDone, 40052},
        {defaults.StateValueOverdue, 40053}, {defaults.StateValueUndone, 40054},
        {defaults.StateValueUrgent, 40055},
    };
    for (const auto& [value, id] : single) {
        EXPECT_EQ(value, "T" + std::to_string(id));
    }
    // The string numbers of each set in variant order; the HTML sets interleave.
    const struct {
        const char* name;
        int set;
        uint32_t ids[5];
    } sets[] = {
        {"clipboard", kFormatSetClipboard, {40000, 40001, 40002, 40003, 40004}},
        {"tooltip", kFormatSetTooltip, {40005, 40006, 40007, 40008, 40009}},
        {"calendar", kFormatSetCalendar, {40010, 40011, 40012, 40013, 40014}},
        {"HTML time", kFormatSetHtmlTime, {40020, 40022, 40024, 40026, 40028}},
        {"HTML description", kFormatSetHtmlDesc, {40021, 40023, 40025, 40027, 40029}},
        {"CSV time", kFormatSetCsvTime, {40304, 40305, 40306, 40307, 40308}},
    };
    for (const auto& row : sets) {
        for (int variant = 0; variant < 5; ++variant) {
            EXPECT_EQ(defaults.EventSets[row.set][variant], "T" + std::to_string(row.ids[variant]))
                << row.name << ", variant " << variant;
        }
    }

    SetTranslationHook({});
    EXPECT_EQ(FormatSettings::Defaults().EventSets[kFormatSetCalendar][kVariantMiddleDay],
              ">> $DESCRIPTION$ >>");
}

} // namespace
} // namespace dv
