// The event and to-do filters, and the sidebar's search that applies them.

#include "core/Clock.h"
#include "core/EventBuilder.h"
#include "document/CDayvaultDoc.h"
#include "document/EntryFilter.h"
#include "document/Search.h"
#include "support/Occurrences.h"
#include "support/Random.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;
using Strings = std::vector<std::string>;

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

CDateEntry Event(const std::string& description, const std::string& category) {
    EventBuilder builder = EventBuilder().Start(2007, 3, 5, 9, 0).Description(description);
    builder.MutableData().Category = category;
    return builder.Build();
}

TEST(EntryFilter, CategoriesStatesAndAllConditionsTogether) {
    const FormatSettings formats = IsoFormats();
    const CDateTime at(2007, 3, 5, 9, 0, 0);
    FilterState categories;
    categories.selectionOn = true;
    categories.selection = {"Work", "Family"};
    for (const auto& [category, passes] :
         {std::pair{"wORK", true}, std::pair{"", false}, std::pair{"Wor", false}}) {
        CDateEntry event = Event("x", category);
        EXPECT_EQ(PassesEventFilter(categories, true, event, at, formats), passes) << category;
    }
    // The rule ticked before any category is chosen hides nothing, and says it restricts none.
    EXPECT_TRUE(FilterRestricts(categories, true));
    EXPECT_FALSE(FilterRestricts(categories, false));
    categories.selection.clear();
    CDateEntry uncategorised = Event("x", "");
    EXPECT_TRUE(PassesEventFilter(categories, true, uncategorised, at, formats));
    EXPECT_FALSE(FilterRestricts(categories, true));
    FilterState states;
    states.conditionOn = true;
    EXPECT_FALSE(FilterRestricts(states, true)) << "all three states pass";
    states.conditionFlags = kPassDone;
    EXPECT_TRUE(FilterRestricts(states, true));

    EventBuilder builder = EventBuilder().Start(2007, 3, 5, 9, 0).Every(1, kRepeatDays);
    builder.MutableData().Forewarn = 1;
    CDateEntry event = builder.Build();
    const CDateTime snoozed(2007, 3, 6, 9, 0, 0);
    const CDateTime due(2007, 3, 7, 9, 0, 0);
    const CDateTime pending(2007, 3, 9, 9, 0, 0);
    event.UpdateReminders(CDateTime(2007, 3, 7, 9, 30, 0));
    event.SetDone(at, true);
    event.Snooze(snoozed, CDateTime(2007, 3, 7, 12, 0, 0));
    struct Row {
        int32_t flags;
        bool done, snoozed, due, pending;
    };
    for (const Row& row :
         {Row{kPassPending, false, false, true, true}, Row{kPassDone, true, false, false, false},
          Row{kPassSnoozed, false, true, false, false},
          Row{kPassDone | kPassSnoozed, true, true, false, false}, Row{7, true, true, true, true},
          Row{0, false, false, false, false}}) {
        SCOPED_TRACE(row.flags);
        FilterState filter;
        filter.conditionOn = true;
        filter.conditionFlags = row.flags;
        EXPECT_EQ(PassesEventFilter(filter, true, event, at, formats), row.done);
        EXPECT_EQ(PassesEventFilter(filter, true, event, snoozed, formats), row.snoozed);
        EXPECT_EQ(PassesEventFilter(filter, true, event, due, formats), row.due);
        EXPECT_EQ(PassesEventFilter(filter, true, event, pending, formats), row.pending);
    }
}

// A slow, obviously correct reference for the word rules, against the real one on random texts.
bool ReferenceMatch(std::string text, std::string filterText, int32_t mode) {
    for (std::string* s : {&text, &filterText}) {
        for (char& c : *s) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    Strings words;
    if (mode == kMatchExact) {
        if (!filterText.empty()) {
            words.push_back(filterText);
        }
    } else {
        std::string word;
        for (char c : filterText + " ") {
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
    size_t found = 0;
    for (const std::string& word : words) {
        found += text.find(word) != std::string::npos ? 1 : 0;
    }
    return mode == kMatchAllWords ? !words.empty() && found == words.size() : found > 0;
}

TEST(EntryFilter, WordRulesAgainstReference) {
    test::Random rng(7);
    const std::string alphabet = "abAB \t\r\n";
    auto randomText = [&](int maxLength) {
        std::string text;
        for (int length = rng.Int(0, maxLength); length > 0; --length) {
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

CTodoEntry Todo(const CDateTime& deadline, bool done, bool showDeadline, const std::string& group,
                const std::string& description) {
    CTodoEntry todo(deadline);
    TodoData data = todo.GetData();
    data.Deadline = deadline;
    data.ShowDeadline = showDeadline ? 1 : 0;
    data.Group = group;
    data.Description = description;
    todo.SetData(data);
    todo.SetDone(done);
    return todo;
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
    groups.selection.clear();
    EXPECT_TRUE(PassesTodoFilter(groups, true, {}, now, undone, formats)) << "none chosen";

    FilterState content =
        ContentFilter("quarterly report", kMatchAllWords, kScopeDescription | kScopeNotes);
    EXPECT_TRUE(PassesTodoFilter(content, true, {}, now, done, formats));
    EXPECT_FALSE(PassesTodoFilter(content, true, {}, now, undone, formats));
    content.searchFields = kScopeDescription;
    EXPECT_FALSE(PassesTodoFilter(content, true, {}, now, done, formats)) << "notes not searched";

    FilterState state;
    state.conditionOn = true;
    for (const int32_t flags : {kPassDone, kPassPending, kPassSnoozed}) {
        state.conditionFlags = flags;
        EXPECT_EQ(PassesTodoFilter(state, true, {}, now, done, formats), flags == kPassDone);
        EXPECT_EQ(PassesTodoFilter(state, true, {}, now, undone, formats), flags == kPassPending);
    }
}

const std::string kListFormat = "%d.%m.%Y";

SearchRange Range(const CDateTime& from, const CDateTime& to) {
    SearchRange range;
    range.from = from;
    range.to = to;
    return range;
}

SearchRange Relative(int32_t count, int32_t unit, int32_t direction) {
    SearchRange range;
    range.kind = 2;
    range.count = count;
    range.unit = unit;
    range.direction = direction;
    return range;
}

void Add(CDayvaultDoc& doc, const EventBuilder& builder) {
    doc.AddDateEntry(std::make_unique<CDateEntry>(builder.Build()), 0);
}

void AddTodo(CDayvaultDoc& doc, const std::string& description, const CDateTime& deadline,
             bool showDeadline = true, bool done = false) {
    doc.AddTodoEntry(
        std::make_unique<CTodoEntry>(Todo(deadline, done, showDeadline, "Home", description)), 0);
}

Strings Texts(const SearchResult& result) {
    Strings texts;
    for (const SearchRow& row : result.rows) {
        texts.push_back(row.text);
    }
    return texts;
}

TEST(Search, OneRowPerEventAtItsFirstPassingOccurrence) {
    const FormatSettings formats = IsoFormats();
    const CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 3, 15, 9, 0, 0)));
    CDayvaultDoc doc;
    Add(doc, EventBuilder()
                 .Start(2007, 3, 1, 8, 0)
                 .Every(1, kRepeatDays)
                 .Description("Walk $THIS_DATE$ #$THIS_COUNT$"));
    Add(doc, EventBuilder().Start(2007, 2, 21, 23, 59).Description("too early"));
    Add(doc, EventBuilder().Start(2007, 3, 12, 7, 0).Description("Dentist"));
    Add(doc, EventBuilder().Start(2007, 4, 5, 23, 59, 59).Description("a last second"));
    Add(doc, EventBuilder().Start(2007, 4, 6, 0, 0).Description("too late"));
    // Three weeks around the document's today: 22 February to 5 April.
    const SearchRange range = Relative(3, 2, 2);
    SearchResult result = SearchEvents(doc, range, formats, kListFormat, 0);
    ASSERT_EQ(result.rows.size(), 3u);
    EXPECT_EQ(result.rows[0].text, "Walk 2007-03-01 #1") << "expanded for the occurrence found";
    EXPECT_EQ(result.rows[0].dateText, "01.03.2007");
    EXPECT_EQ(result.rows[0].date, CDateTime(2007, 3, 1, 8, 0, 0));
    EXPECT_EQ(result.rows[0].event, doc.GetDateEntry(0));
    EXPECT_EQ(result.message, "Search returned 3 results");
    EXPECT_EQ(Texts(SearchEvents(doc, range, formats, kListFormat, -kSortByDescription)),
              (Strings{"Walk 2007-03-01 #1", "Dentist", "a last second"}));

    // The filter picks the occurrence: the first one in the range that passes it. Its expansion
    // (the count too) must leave the running scan where it was.
    FilterState filter = ContentFilter("2007-03-14 dentist", kMatchAnyWord);
    doc.SetEventFilter(filter);
    result = SearchEvents(doc, range, formats, kListFormat, 0);
    EXPECT_EQ(Texts(result), (Strings{"Walk 2007-03-14 #14", "Dentist"}));
    doc.SetFilterSwitch(false);
    EXPECT_EQ(SearchEvents(doc, range, formats, kListFormat, 0).rows.size(), 3u);
    // Pickers the wrong way round find nothing.
    result = SearchEvents(doc, Range(CDateTime(2007, 3, 20), CDateTime(2007, 3, 10)), formats,
                          kListFormat, 0);
    EXPECT_EQ(result.message, "Search returned 0 results");
    EXPECT_EQ(SearchCountLine(1), "Search returned 1 result");
    EXPECT_EQ(SearchCountLine(2), "Search returned 2 results");
}

TEST(Search, RowLimitOfEventsAndTodos) {
    const FormatSettings formats = IsoFormats();
    const SearchRange range = Range(CDateTime(2007, 3, 5), CDateTime(2007, 3, 10));
    for (const int count : {999, 1001}) {
        SCOPED_TRACE(count);
        CDayvaultDoc doc;
        for (int i = 0; i < count; ++i) {
            Add(doc, EventBuilder().Start(2007, 3, 5, 9, 0).Description(std::to_string(i)));
            AddTodo(doc, std::to_string(i), CDateTime(2007, 3, 10));
        }
        const std::string message = count < 1000 ? "Search returned 999 results"
                                                 : "More than 1000 results, search terminated";
        const SearchResult events = SearchEvents(doc, range, formats, kListFormat, 0);
        EXPECT_EQ(events.rows.size(), std::min<size_t>(count, 1000));
        EXPECT_EQ(events.message, message);
        EXPECT_EQ(events.rows.back().text, std::to_string(std::min(count, 1000) - 1));
        const SearchResult todos = SearchTodos(doc, range, {}, formats, kListFormat, 0);
        EXPECT_EQ(todos.rows.size(), std::min<size_t>(count, 1000));
        EXPECT_EQ(todos.message, message);
    }
}

TEST(Search, Sorting) {
    auto row = [](const char* text, bool hasDate, const CDateTime& date = CDateTime()) {
        SearchRow r;
        r.text = text;
        r.hasDate = hasDate;
        r.date = date;
        return r;
    };
    const std::vector<SearchRow> rows = {
        row("beta", true, CDateTime(2007, 3, 5, 10, 0, 0)),
        row("zulu", false),
        row("Alpha", true, CDateTime(2007, 3, 5, 9, 0, 0)),
        row("alpha", false),
        row("Gamma", true, CDateTime(2007, 3, 5, 10, 0, 0)),
        row("ALPHA", true, CDateTime(2007, 3, 6, 0, 0, 0)),
    };
    const std::tuple<int32_t, Strings> cases[] = {
        {0, {"beta", "zulu", "Alpha", "alpha", "Gamma", "ALPHA"}},
        {3, {"beta", "zulu", "Alpha", "alpha", "Gamma", "ALPHA"}}, // an unknown column
        // Dated rows first, ties keep their order, undated ones by text.
        {kSortByDate, {"Alpha", "beta", "Gamma", "ALPHA", "alpha", "zulu"}},
        {-kSortByDate, {"zulu", "alpha", "ALPHA", "beta", "Gamma", "Alpha"}},
        {kSortByDescription, {"Alpha", "alpha", "ALPHA", "beta", "Gamma", "zulu"}},
        {-kSortByDescription, {"zulu", "Gamma", "beta", "Alpha", "alpha", "ALPHA"}},
    };
    for (const auto& [key, order] : cases) {
        std::vector<SearchRow> sorted = rows;
        SortSearchRows(sorted, key);
        EXPECT_EQ(Texts({sorted, ""}), order) << key;
    }
}

TEST(Search, TodosByDeadline) {
    const FormatSettings formats = IsoFormats();
    const CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 3, 15, 9, 0, 0)));
    CDayvaultDoc doc;
    AddTodo(doc, "before", CDateTime(2007, 3, 9, 23, 0, 0));
    AddTodo(doc, "on the first day, late", CDateTime(2007, 3, 10, 23, 0, 0));
    AddTodo(doc, "no deadline", CDateTime(1990, 1, 1), false);
    AddTodo(doc, "done one", CDateTime(2007, 3, 12), true, true);
    AddTodo(doc, "on the last day", CDateTime(2007, 3, 20));
    AddTodo(doc, "after", CDateTime(2007, 3, 21));
    AddTodo(doc, "done, no deadline", CDateTime(1990, 1, 1), false, true);
    const SearchRange range = Range(CDateTime(2007, 3, 10), CDateTime(2007, 3, 20));
    SearchResult result = SearchTodos(doc, range, {}, formats, kListFormat, 0);
    EXPECT_EQ(Texts(result), (Strings{"on the first day, late", "no deadline", "done one",
                                      "on the last day", "done, no deadline"}));
    EXPECT_EQ(result.rows[0].dateText, "10.03.2007");
    EXPECT_EQ(result.rows[0].date, CDateTime(2007, 3, 10, 0, 0, 0)) << "the deadline's date";
    EXPECT_EQ(result.rows[0].todo, doc.GetTodoEntry(1));
    EXPECT_FALSE(result.rows[1].hasDate);
    EXPECT_EQ(result.rows[1].dateText, "");

    // The hide rules apply, with the document's now (15 March), also with the switch off: the
    // done one shows until 16 March, the last one only from 16 March, and without a deadline a
    // done one never.
    TodoHideRules hide;
    hide.hideDone = true;
    hide.daysBeforeHide = 4;
    hide.hideUndone = true;
    hide.daysBeforeShow = 4;
    doc.SetFilterSwitch(false);
    EXPECT_EQ(Texts(SearchTodos(doc, range, hide, formats, kListFormat, 0)),
              (Strings{"on the first day, late", "no deadline", "done one"}));
    doc.SetFilterSwitch(true);
    FilterState filter;
    filter.conditionOn = true;
    filter.conditionFlags = kPassDone;
    doc.SetTodoFilter(filter);
    EXPECT_EQ(Texts(SearchTodos(doc, range, {}, formats, kListFormat, 0)),
              (Strings{"done one", "done, no deadline"}));
}

} // namespace
} // namespace dv
