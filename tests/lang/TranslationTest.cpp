// The translation files against the string table: every string translated and its placeholders,
// list entries, accelerator and shortcut kept; and the file tool's update and round trip.
#include "TsFile.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace dv {
namespace {

using ts::TsMessage;

std::vector<std::string> Matches(const std::string& text, const std::regex& pattern) {
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
        found.push_back(it->str());
    }
    return found;
}

std::multiset<std::string> Variables(const std::string& text) {
    static const std::regex variable(R"(\$[A-Z_]+\$?)");
    const auto found = Matches(text, variable);
    return {found.begin(), found.end()};
}

// The arguments that code fills in (%s, %d), in order.
std::vector<std::string> Arguments(const std::string& text) {
    static const std::regex argument("%[sd]");
    return Matches(text, argument);
}

// The accelerator letters: "&x" but not "&&".
size_t Accelerators(const std::string& text) {
    size_t count = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            count += text[i + 1] != '&';
            ++i;
        }
    }
    return count;
}

std::string ShortcutSuffix(const std::string& text) {
    const size_t tab = text.find('\t');
    return tab == std::string::npos ? std::string() : text.substr(tab);
}

// Date-time formats: a language may reorder and change their codes, so only their validity is
// checked, not their arguments.
const std::set<uint32_t> kDateFormats = {kIdsDateFormat,
                                         kIdsTimeFormat,
                                         kIdsDateTimeFormat,
                                         kIdsDateFormatList,
                                         kIdsTimeFormatList,
                                         kIdsDateTimeFormatList,
                                         kIdsWeekViewFormat,
                                         kIdsFortnightViewFormat,
                                         kIdsFirstMonthViewFormat,
                                         kIdsMonthViewFormat,
                                         kIdsYearViewFormat,
                                         kIdsWeekDisplayFormat,
                                         kIdsHtmlWeekViewHeader,
                                         kIdsHtmlFortnightViewHeader,
                                         kIdsHtmlFirstMonthViewHeader,
                                         kIdsHtmlMonthViewHeader,
                                         kIdsHtmlListViewHeader,
                                         kIdsHtmlWeekDisplayHeader,
                                         kIdsTooltipTrayIcon,
                                         kIdsReminderHeadlineDate,
                                         kIdsReminderHeadlineDateTime,
                                         kIdsCurrentTimeDisplay,
                                         kIdsCsvCalendarDate,
                                         kIdsCsvCalendarWeeknumber,
                                         kIdsCsvTodoDate,
                                         kIdsCsvTodoTime};

// Field selections and orders are data that the export reads, not text.
const std::set<uint32_t> kUntranslatable = {kIdsCsvCalendarFields, kIdsCsvCalendarFieldorder,
                                            kIdsCsvTodoFields,     kIdsCsvTodoFieldorder,
                                            kIdsHtmlTodoFields,    kIdsHtmlTodoFieldorder};

bool ValidDateFormat(const std::string& format) {
    static const std::regex code("%#?[AaBbdHIMmpSWYy%]");
    const std::string rest = std::regex_replace(format, code, "");
    return rest.find('%') == std::string::npos;
}

std::string Numbers(const std::vector<uint32_t>& ids) {
    std::string text;
    for (const uint32_t id : ids) {
        text += " " + std::to_string(id);
    }
    return text;
}

TEST(GermanTranslation, EveryStringIsTranslatedWithItsPlaceholdersKept) {
    const auto path = std::filesystem::path(DAYVAULT_LANG_SOURCES) / "dayvault_0407.ts";
    const ts::TsFile file = ts::ReadTs(path);
    EXPECT_EQ(file.language, "de_DE");
    std::vector<uint32_t> untranslated;
    std::vector<uint32_t> outdated;
    for (const uint32_t id : StringTableIds()) {
        const std::string english(EnglishString(id));
        const TsMessage* message = file.Find(id);
        if (!message || message->state != TsMessage::State::Finished ||
            message->translation.empty()) {
            untranslated.push_back(id);
            continue;
        }
        if (message->source != english) {
            outdated.push_back(id);
            continue;
        }
        const std::string& german = message->translation;
        SCOPED_TRACE("string " + std::to_string(id) + ": " + german);
        EXPECT_EQ(Variables(german), Variables(english));
        EXPECT_EQ(std::count(german.begin(), german.end(), '|'),
                  std::count(english.begin(), english.end(), '|'));
        EXPECT_EQ(ShortcutSuffix(german), ShortcutSuffix(english));
        EXPECT_EQ(Accelerators(german), Accelerators(english));
        if (kDateFormats.contains(id)) {
            EXPECT_TRUE(ValidDateFormat(german));
        } else {
            EXPECT_EQ(Arguments(german), Arguments(english));
        }
        if (kUntranslatable.contains(id)) {
            EXPECT_EQ(german, english);
        }
    }
    for (const uint32_t id :
         {kIdsCsvCalendarFieldnames, kIdsCsvTodoFieldnames, kIdsHtmlTodoFieldnames}) {
        const std::string german = file.Find(id) ? file.Find(id)->translation : "";
        const std::string_view english = EnglishString(id);
        EXPECT_EQ(std::count(german.begin(), german.end(), ','),
                  std::count(english.begin(), english.end(), ','))
            << id;
    }
    EXPECT_TRUE(untranslated.empty())
        << "German translation missing for the strings" << Numbers(untranslated)
        << "; run 'make translations-update' and translate them in " << path;
    EXPECT_TRUE(outdated.empty()) << "English text changed since translated:" << Numbers(outdated)
                                  << "; run 'make translations-update' and review them in " << path;
}

TEST(TranslationFile, UpdateKeepsTranslationsAndSurvivesTheRoundTrip) {
    ts::TsFile old;
    old.language = "de_DE";
    old.messages = {
        {1, "Same", "", "Gleich", TsMessage::State::Finished},
        {2, "Old text", "", "Alter Text", TsMessage::State::Finished},
        {3, "Gone", "", "Weg", TsMessage::State::Finished},
        {5, "Back", "", "Zurück", TsMessage::State::Obsolete},
    };
    const std::vector<ts::TableString> table = {
        {1, "Same"}, {2, "New text"}, {4, "Fresh & <new>\r\n\"quoted\"\t'x'"}, {5, "Back"}};
    const ts::TsFile updated = ts::UpdateTs(old, table);
    ASSERT_EQ(updated.messages.size(), 5u);
    const auto state = [&](uint32_t id) { return updated.Find(id)->state; };
    EXPECT_EQ(state(1), TsMessage::State::Finished);
    EXPECT_EQ(updated.Find(1)->translation, "Gleich");
    EXPECT_EQ(state(2), TsMessage::State::Unfinished);
    EXPECT_EQ(updated.Find(2)->translation, "Alter Text");
    EXPECT_EQ(updated.Find(2)->oldSource, "Old text");
    EXPECT_EQ(state(3), TsMessage::State::Obsolete);
    EXPECT_EQ(state(4), TsMessage::State::Unfinished);
    EXPECT_TRUE(updated.Find(4)->translation.empty());
    EXPECT_EQ(state(5), TsMessage::State::Finished);

    QTemporaryDir folder;
    const std::filesystem::path path = folder.path().toStdString() + "/dayvault_0407.ts";
    ts::WriteTs(path, updated);
    const ts::TsFile read = ts::ReadTs(path);
    EXPECT_EQ(read.language, "de_DE");
    ASSERT_EQ(read.messages.size(), updated.messages.size());
    for (size_t i = 0; i < read.messages.size(); ++i) {
        EXPECT_EQ(read.messages[i].id, updated.messages[i].id);
        EXPECT_EQ(read.messages[i].source, updated.messages[i].source);
        EXPECT_EQ(read.messages[i].oldSource, updated.messages[i].oldSource);
        EXPECT_EQ(read.messages[i].translation, updated.messages[i].translation);
        EXPECT_EQ(read.messages[i].state, updated.messages[i].state);
    }
    // A broken file is refused with its name, and a failed write keeps the old file.
    std::filesystem::path broken = path;
    broken.replace_filename("broken.ts");
    { std::ofstream(broken) << "<TS><context><name>Dayvault</name><message><source>x"; }
    EXPECT_THROW(ts::ReadTs(broken), std::runtime_error);
    std::filesystem::create_directory(std::filesystem::path(path).concat(".new"));
    EXPECT_THROW(ts::WriteTs(path, old), std::runtime_error);
    EXPECT_EQ(ts::ReadTs(path).messages.size(), updated.messages.size());
}

} // namespace
} // namespace dv
