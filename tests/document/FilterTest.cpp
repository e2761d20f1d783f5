#include "core/Clock.h"
#include "core/EventBuilder.h"
#include "document/CDayvaultDoc.h"
#include "document/EntryFilter.h"
#include "support/Random.h"

#include <cctype>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;

FormatSettings IsoFormats() {
    FormatSettings formats = FormatSettings::Defaults();
    formats.DateFormat = "%Y-%m-%d";
    return formats;
}

FilterState ContentFilter(std::string text, int32_t mode, int32_t scope = kScopeDescription) {
    FilterState filter;
    filter.textSearchOn = true;
    filter.searchText = std::move(text);
    filter.matchMode = mode;
    filter.searchFields = scope;
    return filter;
}

CDateEntry Event(const std::string& description, const std::string& notes = "",
                 const std::string& category = "") {
    EventBuilder builder = EventBuilder().Start(2007, 3, 5, 9, 0).Description(description);
    builder.MutableData().Notes = notes;
    builder.MutableData().Category = category;
    return builder.Build();
}

TEST(EntryFilter, ContentModesScopesAndEmptyTexts) {
    const FormatSettings formats = IsoFormats();
    const CDateTime occurrence(2007, 3, 5, 9, 0, 0);
    struct Row {
        const char* name;
        std::string description;
        std::string notes;
        std::string filterText;
        int32_t mode;
        int32_t scope;
        bool passes;
    };
    const Row rows[] = {
        {"AND: both words in another order and case", "Call the dentist", "", "Dentist call",
         kMatchAllWords, kScopeDescription, true},
        {"AND: one word missing", "Dentist", "", "Dentist call", kMatchAllWords, kScopeDescription,
         false},
        {"OR: any word, reordered", "Call the dentist", "", "Dentist call", kMatchAnyWord,
         kScopeDescription, true},
        {"OR: one word is enough", "Dentist", "", "Dentist call", kMatchAnyWord, kScopeDescription,
         true},
        {"Exact: the phrase is not there", "Call the dentist", "", "Dentist call", kMatchExact,
         kScopeDescription, false},
        {"Exact: one word only is not the phrase", "Dentist", "", "Dentist call", kMatchExact,
         kScopeDescription, false},
        {"Exact: the phrase is there", "Ring: Dentist Call now", "", "dentist call", kMatchExact,
         kScopeDescription, true},
        {"substring inside a word counts", "Dentistry", "", "dentist", kMatchAllWords,
         kScopeDescription, true},
        {"words split at tabs and line ends", "alpha beta gamma", "", "gamma\talpha\r\nbeta",
         kMatchAllWords, kScopeDescription, true},
        {"empty text, AND", "anything", "", "", kMatchAllWords, kScopeDescription, false},
        {"empty text, OR", "anything", "", "", kMatchAnyWord, kScopeDescription, false},
        {"empty text, Exact", "anything", "", "", kMatchExact, kScopeDescription, false},
        {"blanks only, AND", "a b", "", "  \t ", kMatchAllWords, kScopeDescription, false},
        {"blanks only, OR", "a b", "", "  ", kMatchAnyWord, kScopeDescription, false},
        {"notes only, empty notes", "dentist", "", "dentist", kMatchAnyWord, kScopeNotes, false},
        {"notes only, words in the notes", "x", "bring the X-ray", "x-ray", kMatchAllWords,
         kScopeNotes, true},
        {"notes only, description not searched", "dentist", "bring", "dentist", kMatchAnyWord,
         kScopeNotes, false},
        {"description only, notes not searched", "x", "dentist", "dentist", kMatchAnyWord,
         kScopeDescription, false},
        {"both scopes, words spread over both", "dentist", "bring x-ray", "dentist x-ray",
         kMatchAllWords, kScopeDescription | kScopeNotes, true},
        {"a blank joins description and notes", "end", "start", "end start", kMatchExact,
         kScopeDescription | kScopeNotes, true},
        {"no blank added before empty notes", "end", "", "end ", kMatchExact,
         kScopeDescription | kScopeNotes, false},
        {"notes only begin with the joining blank", "x", "start", " start", kMatchExact,
         kScopeNotes, true},
        {"no scope searches nothing", "dentist", "dentist", "dentist", kMatchAnyWord, 0, false},
        {"accented capitals lower-cased", "Bürgeramt ÉTÉ Ÿ Œuvre", "", "bÜrgeramt été ÿ œUVRE",
         kMatchAllWords, kScopeDescription, true},
        {"Greek and Cyrillic lower-cased", "ΩMEGA Москва", "", "ωmega москва", kMatchAllWords,
         kScopeDescription, true},
        {"placeholders expanded for the occurrence", "Trip $THIS_DATE$", "", "2007-03-05",
         kMatchAllWords, kScopeDescription, true},
        {"the placeholder itself is not searched", "Trip $THIS_DATE$", "", "this_date",
         kMatchAnyWord, kScopeDescription, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateEntry event = Event(row.description, row.notes);
        const FilterState filter = ContentFilter(row.filterText, row.mode, row.scope);
        EXPECT_EQ(PassesEventFilter(filter, true, event, occurrence, formats), row.passes);
        EXPECT_TRUE(PassesEventFilter(filter, false, event, occurrence, formats))
            << "the switch turns every condition off";
    }
}

TEST(EntryFilter, ContentIsMatchedPerOccurrence) {
    const FormatSettings formats = IsoFormats();
    CDateEntry event = EventBuilder()
                           .Start(2007, 3, 5, 9, 0)
                           .Every(1, kRepeatDays)
                           .Description("Stand-up $THIS_DATE$ #$THIS_COUNT$")
                           .Build();
    const FilterState filter = ContentFilter("2007-03-06", kMatchExact);
    EXPECT_FALSE(PassesEventFilter(filter, true, event, CDateTime(2007, 3, 5, 9, 0, 0), formats));
    EXPECT_TRUE(PassesEventFilter(filter, true, event, CDateTime(2007, 3, 6, 9, 0, 0), formats));
    // Expansion must leave a running scan where it was.
    CDateTime start;
    CDateTime end;
    const CDateTime a(2007, 3, 5, 0, 0, 0);
    const CDateTime b(2007, 3, 9, 23, 59, 59);
    ASSERT_TRUE(event.FindFirstOccurrence(a, b, start, end));
    EXPECT_TRUE(PassesEventFilter(ContentFilter("#3", kMatchExact), true, event,
                                  CDateTime(2007, 3, 7, 9, 0, 0), formats));
    ASSERT_TRUE(event.FindNextOccurrence(a, b, start, end));
    EXPECT_EQ(start, CDateTime(2007, 3, 6, 9, 0, 0));
}

TEST(EntryFilter, CategoriesCompareWithoutCase) {
    const FormatSettings formats = IsoFormats();
    const CDateTime occurrence(2007, 3, 5, 9, 0, 0);
    FilterState filter;
    filter.selectionOn = true;
    filter.selection = {"Work", "Family"};
    struct Row {
        const char* name;
        std::string category;
        bool passes;
    };
    const Row rows[] = {
        {"same spelling", "Work", true},    {"other letter case", "wORK", true},
        {"not in the set", "Sport", false}, {"empty category", "", false},
        {"prefix of a name", "Wor", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateEntry event = Event("x", "", row.category);
        EXPECT_EQ(PassesEventFilter(filter, true, event, occurrence, formats), row.passes);
        filter.selectionOn = false;
        EXPECT_TRUE(PassesEventFilter(filter, true, event, occurrence, formats));
        filter.selectionOn = true;
    }
}

TEST(EntryFilter, StateFlagsByOccurrenceState) {
    const FormatSettings formats = IsoFormats();
    EventBuilder builder = EventBuilder().Start(2007, 3, 5, 9, 0).Every(1, kRepeatDays);
    builder.MutableData().Forewarn = 1;
    CDateEntry event = builder.Build();
    const CDateTime acknowledged(2007, 3, 5, 9, 0, 0);
    const CDateTime snoozed(2007, 3, 6, 9, 0, 0);
    const CDateTime due(2007, 3, 7, 9, 0, 0);
    const CDateTime pending(2007, 3, 9, 9, 0, 0);
    event.UpdateReminders(CDateTime(2007, 3, 7, 9, 30, 0));
    event.SetDone(acknowledged, true);
    event.Snooze(snoozed, CDateTime(2007, 3, 7, 12, 0, 0));
    ASSERT_TRUE(event.IsDone(acknowledged));
    ASSERT_TRUE(event.IsSnoozed(snoozed));
    ASSERT_FALSE(event.IsDone(due));
    ASSERT_FALSE(event.IsDone(pending));

    struct Row {
        const char* name;
        int32_t flags;
        bool acknowledged, snoozed, due, pending;
    };
    const Row rows[] = {
        {"only undone: pending and due", kPassPending, false, false, true, true},
        {"only done", kPassDone, true, false, false, false},
        {"only snoozed", kPassSnoozed, false, true, false, false},
        {"done and snoozed", kPassDone | kPassSnoozed, true, true, false, false},
        {"all three", 7, true, true, true, true},
        {"none", 0, false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FilterState filter;
        filter.conditionOn = true;
        filter.conditionFlags = row.flags;
        EXPECT_EQ(PassesEventFilter(filter, true, event, acknowledged, formats), row.acknowledged);
        EXPECT_EQ(PassesEventFilter(filter, true, event, snoozed, formats), row.snoozed);
        EXPECT_EQ(PassesEventFilter(filter, true, event, due, formats), row.due);
        EXPECT_EQ(PassesEventFilter(filter, true, event, pending, formats), row.pending);
        filter.conditionOn = false;
        EXPECT_TRUE(PassesEventFilter(filter, true, event, acknowledged, formats));
    }
}

TEST(EntryFilter, AllConditionsMustHold) {
    const FormatSettings formats = IsoFormats();
    const CDateTime occurrence(2007, 3, 5, 9, 0, 0);
    CDateEntry event = Event("Dentist", "", "Health");
    FilterState filter = ContentFilter("dentist", kMatchAnyWord);
    filter.selectionOn = true;
    filter.selection = {"health"};
    filter.conditionOn = true;
    filter.conditionFlags = kPassPending;
    EXPECT_TRUE(PassesEventFilter(filter, true, event, occurrence, formats));
    FilterState wrongCategory = filter;
    wrongCategory.selection = {"Work"};
    EXPECT_FALSE(PassesEventFilter(wrongCategory, true, event, occurrence, formats));
    FilterState wrongText = filter;
    wrongText.searchText = "doctor";
    EXPECT_FALSE(PassesEventFilter(wrongText, true, event, occurrence, formats));
    FilterState wrongState = filter;
    wrongState.conditionFlags = kPassDone;
    EXPECT_FALSE(PassesEventFilter(wrongState, true, event, occurrence, formats));
}

TEST(EntryFilter, DocumentFilterAndSwitch) {
    const FormatSettings formats = IsoFormats();
    CDayvaultDoc doc;
    CDateEntry event = Event("Dentist");
    const CDateTime occurrence(2007, 3, 5, 9, 0, 0);
    EXPECT_TRUE(PassesEventFilter(doc, event, occurrence, formats));
    doc.SetEventFilter(ContentFilter("gym", kMatchAnyWord));
    EXPECT_FALSE(PassesEventFilter(doc, event, occurrence, formats));
    doc.SetFilterSwitch(false);
    EXPECT_TRUE(PassesEventFilter(doc, event, occurrence, formats));
    doc.SetFilterSwitch(true);
    doc.SetTodoFilter(ContentFilter("dentist", kMatchAnyWord));
    EXPECT_FALSE(PassesEventFilter(doc, event, occurrence, formats))
        << "the to-do filter does not apply to events";
}

// A slow, obviously correct reference for the word rules, against the real one on random texts.
bool ReferenceMatch(const std::string& text, const std::string& filterText, int32_t mode) {
    std::string lowerText;
    std::string lowerFilter;
    for (char c : text) {
        lowerText += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (char c : filterText) {
        lowerFilter += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::vector<std::string> words;
    if (mode == kMatchExact) {
        if (!lowerFilter.empty()) {
            words.push_back(lowerFilter);
        }
    } else {
        std::string word;
        for (char c : lowerFilter + " ") {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                if (!word.empty()) {
                    words.push_back(word);
                }
                word.clear();
            } else {
                word += c;
            }
        }
    }
    int found = 0;
    for (const std::string& word : words) {
        found += lowerText.find(word) != std::string::npos ? 1 : 0;
    }
    return mode == kMatchAllWords ? !words.empty() && found == static_cast<int>(words.size())
                                  : found > 0;
}

TEST(EntryFilter, WordRulesAgainstReference) {
    test::Random rng(7);
    const std::string alphabet = "abAB \t\r\n";
    auto randomText = [&](int maxLength) {
        std::string text;
        const int length = rng.Int(0, maxLength);
        for (int i = 0; i < length; ++i) {
            text += rng.Pick(alphabet);
        }
        return text;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string text = randomText(12);
        const std::string filterText = randomText(6);
        const int32_t mode = rng.Int(1, 3);
        ASSERT_EQ(MatchesContent(text, filterText, mode), ReferenceMatch(text, filterText, mode))
            << "text '" << text << "' filter '" << filterText << "' mode " << mode;
    }
}

// ---- to-dos ---------------------------------------------------------------------------------

CTodoEntry Todo(const CDateTime& deadline, bool done, bool showDeadline = true,
                const std::string& group = "Home", const std::string& description = "Taxes") {
    CTodoEntry todo(deadline);
    TodoData data = todo.GetData();
    data.Deadline = deadline;
    data.ShowDeadline = showDeadline ? 1 : 0;
    data.ShowDeadlineTime = 0;
    data.Group = group;
    data.Description = description;
    todo.SetData(data);
    todo.SetDone(done);
    return todo;
}

TEST(TodoFilter, HideRulesWorkEvenWithTheSwitchOff) {
    const FormatSettings formats = IsoFormats();
    // The deadline's time of day does not count without ShowDeadlineTime: D = 10 March 00:00.
    const CDateTime deadline(2007, 3, 10, 18, 30, 0);
    TodoHideRules hide;
    hide.hideDone = true;
    hide.daysBeforeHide = 2;
    hide.hideUndone = true;
    hide.daysBeforeShow = 3;
    struct Row {
        const char* name;
        bool done;
        bool showDeadline;
        CDateTime now;
        bool passes;
    };
    const Row rows[] = {
        {"done, one second before D + 2 days", true, true, CDateTime(2007, 3, 11, 23, 59, 59),
         true},
        {"done, at D + 2 days", true, true, CDateTime(2007, 3, 12, 0, 0, 0), false},
        {"done without deadline", true, false, CDateTime(2000, 1, 1, 0, 0, 0), false},
        {"undone, one second before D - 3 days", false, true, CDateTime(2007, 3, 6, 23, 59, 59),
         false},
        {"undone, at D - 3 days", false, true, CDateTime(2007, 3, 7, 0, 0, 0), true},
        {"undone, long overdue", false, true, CDateTime(2008, 1, 1, 0, 0, 0), true},
        {"undone without deadline", false, false, CDateTime(2000, 1, 1, 0, 0, 0), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CTodoEntry todo = Todo(deadline, row.done, row.showDeadline);
        const FilterState filter;
        EXPECT_EQ(PassesTodoFilter(filter, false, hide, row.now, todo, formats), row.passes);
        EXPECT_EQ(PassesTodoFilter(filter, true, hide, row.now, todo, formats), row.passes);
        EXPECT_TRUE(PassesTodoFilter(filter, false, TodoHideRules{}, row.now, todo, formats))
            << "without the hide settings";
    }
}

TEST(TodoFilter, DeadlineTimeCountsWithShowDeadlineTime) {
    const FormatSettings formats = IsoFormats();
    CTodoEntry todo = Todo(CDateTime(2007, 3, 10, 18, 30, 0), true);
    TodoData data = todo.GetData();
    data.ShowDeadlineTime = 1;
    todo.SetData(data);
    TodoHideRules hide;
    hide.hideDone = true;
    EXPECT_TRUE(
        PassesTodoFilter({}, true, hide, CDateTime(2007, 3, 10, 18, 29, 59), todo, formats));
    EXPECT_FALSE(
        PassesTodoFilter({}, true, hide, CDateTime(2007, 3, 10, 18, 30, 0), todo, formats));
}

TEST(TodoFilter, GroupContentAndState) {
    const FormatSettings formats = IsoFormats();
    const CDateTime now(2007, 3, 1, 12, 0, 0);
    CTodoEntry undone = Todo(CDateTime(2007, 3, 10), false, true, "Home", "Pay taxes");
    CTodoEntry done = Todo(CDateTime(2007, 3, 10), true, true, "office", "File report");
    TodoData notes = done.GetData();
    notes.Notes = "Quarterly numbers";
    done.SetData(notes);

    FilterState groups;
    groups.selectionOn = true;
    groups.selection = {"Office"};
    EXPECT_FALSE(PassesTodoFilter(groups, true, {}, now, undone, formats));
    EXPECT_TRUE(PassesTodoFilter(groups, true, {}, now, done, formats)) << "group without case";
    EXPECT_TRUE(PassesTodoFilter(groups, false, {}, now, undone, formats)) << "switch off";

    FilterState content =
        ContentFilter("quarterly report", kMatchAllWords, kScopeDescription | kScopeNotes);
    EXPECT_TRUE(PassesTodoFilter(content, true, {}, now, done, formats));
    EXPECT_FALSE(PassesTodoFilter(content, true, {}, now, undone, formats));
    content.searchFields = kScopeDescription;
    EXPECT_FALSE(PassesTodoFilter(content, true, {}, now, done, formats)) << "notes not searched";
    content.searchText = "";
    EXPECT_FALSE(PassesTodoFilter(content, true, {}, now, done, formats)) << "empty text";

    FilterState state;
    state.conditionOn = true;
    state.conditionFlags = kPassDone;
    EXPECT_TRUE(PassesTodoFilter(state, true, {}, now, done, formats));
    EXPECT_FALSE(PassesTodoFilter(state, true, {}, now, undone, formats));
    state.conditionFlags = kPassPending;
    EXPECT_FALSE(PassesTodoFilter(state, true, {}, now, done, formats));
    EXPECT_TRUE(PassesTodoFilter(state, true, {}, now, undone, formats));
    state.conditionFlags = kPassSnoozed;
    EXPECT_FALSE(PassesTodoFilter(state, true, {}, now, done, formats)) << "to-dos never snooze";
    EXPECT_FALSE(PassesTodoFilter(state, true, {}, now, undone, formats));
}

TEST(TodoFilter, DocumentFilterSwitchAndNow) {
    const FormatSettings formats = IsoFormats();
    const CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 3, 1, 12, 0, 0)));
    CDayvaultDoc doc;
    CTodoEntry todo = Todo(CDateTime(2007, 3, 10), false, true, "Home", "Pay taxes");
    TodoHideRules hide;
    hide.hideUndone = true;
    hide.daysBeforeShow = 5;
    EXPECT_FALSE(PassesTodoFilter(doc, hide, todo, formats)) << "now is the document's: 1 March";
    hide.daysBeforeShow = 9;
    EXPECT_TRUE(PassesTodoFilter(doc, hide, todo, formats));
    doc.SetTodoFilter(ContentFilter("rent", kMatchAnyWord));
    EXPECT_FALSE(PassesTodoFilter(doc, hide, todo, formats));
    doc.SetFilterSwitch(false);
    EXPECT_TRUE(PassesTodoFilter(doc, hide, todo, formats));
}

} // namespace
} // namespace dv
