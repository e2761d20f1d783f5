#include "document/Search.h"

#include "core/Clock.h"
#include "core/EventBuilder.h"
#include "document/CDayvaultDoc.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
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

const std::string kListFormat = "%d.%m.%Y";

SearchRange Pickers(const CDateTime& from, const CDateTime& to) {
    SearchRange range;
    range.kind = 1;
    range.from = from;
    range.to = to;
    return range;
}

void Add(CDayvaultDoc& doc, const EventBuilder& builder) {
    doc.AddDateEntry(std::make_unique<CDateEntry>(builder.Build()), 0);
}

std::vector<std::string> Texts(const SearchResult& result) {
    std::vector<std::string> texts;
    for (const SearchRow& row : result.rows) {
        texts.push_back(row.text);
    }
    return texts;
}

TEST(Search, Windows) {
    const CDateTime today(2007, 3, 15, 14, 20, 5);
    struct Row {
        const char* name;
        SearchRange range;
        CDateTime start, end;
    };
    auto relative = [](int32_t count, int32_t unit, int32_t direction) {
        SearchRange range;
        range.kind = 2;
        range.count = count;
        range.unit = unit;
        range.direction = direction;
        return range;
    };
    const Row rows[] = {
        {"3 weeks around today", relative(3, 2, 2), CDateTime(2007, 2, 22, 0, 0, 0),
         CDateTime(2007, 4, 5, 23, 59, 59)},
        {"1 day from today", relative(1, 1, 1), CDateTime(2007, 3, 15, 0, 0, 0),
         CDateTime(2007, 3, 16, 23, 59, 59)},
        {"10 days to today", relative(10, 1, 3), CDateTime(2007, 3, 5, 0, 0, 0),
         CDateTime(2007, 3, 15, 23, 59, 59)},
        {"pickers take whole days",
         Pickers(CDateTime(2007, 1, 2, 13, 0, 0), CDateTime(2007, 1, 3, 1, 0, 0)),
         CDateTime(2007, 1, 2, 0, 0, 0), CDateTime(2007, 1, 3, 23, 59, 59)},
        {"start raised to 1900",
         Pickers(CDateTime(1899, 12, 31, 0, 0, 0), CDateTime(1900, 1, 1, 0, 0, 0)),
         CDateTime(1900, 1, 1, 0, 0, 0), CDateTime(1900, 1, 1, 23, 59, 59)},
        {"end lowered to 2100",
         Pickers(CDateTime(2100, 12, 31, 0, 0, 0), CDateTime(2101, 1, 1, 0, 0, 0)),
         CDateTime(2100, 12, 31, 0, 0, 0), CDateTime(2100, 12, 31, 23, 59, 59)},
        {"the last day itself stays", Pickers(CDateTime(1900, 1, 1), CDateTime(2100, 12, 31)),
         CDateTime(1900, 1, 1, 0, 0, 0), CDateTime(2100, 12, 31, 23, 59, 59)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateTime start;
        CDateTime end;
        SearchWindow(row.range, today, start, end);
        EXPECT_EQ(start, row.start) << start.FormatFixed();
        EXPECT_EQ(end, row.end) << end.FormatFixed();
    }
    // A relative range near the bounds is clamped too.
    CDateTime start;
    CDateTime end;
    SearchWindow(relative(10, 2, 2), CDateTime(1900, 1, 20), start, end);
    EXPECT_EQ(start, CDateTime(1900, 1, 1, 0, 0, 0));
    SearchWindow(relative(10, 2, 2), CDateTime(2100, 12, 20), start, end);
    EXPECT_EQ(end, CDateTime(2100, 12, 31, 23, 59, 59));
}

TEST(Search, OneRowPerEventAtItsFirstPassingOccurrence) {
    const FormatSettings formats = IsoFormats();
    CDayvaultDoc doc;
    Add(doc, EventBuilder()
                 .Start(2007, 3, 1, 8, 0)
                 .Every(1, kRepeatDays)
                 .Description("Walk $THIS_DATE$"));
    Add(doc, EventBuilder().Start(2007, 2, 1, 8, 0).Description("Outside the range"));
    Add(doc, EventBuilder().Start(2007, 3, 12, 7, 0).Description("Dentist"));
    const SearchRange range = Pickers(CDateTime(2007, 3, 10), CDateTime(2007, 3, 20));

    SearchResult result = SearchEvents(doc, range, formats, kListFormat, 0);
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[0].text, "Walk 2007-03-10") << "expanded for the occurrence found";
    EXPECT_EQ(result.rows[0].dateText, "10.03.2007");
    EXPECT_EQ(result.rows[0].date, CDateTime(2007, 3, 10, 8, 0, 0));
    EXPECT_EQ(result.rows[0].event, doc.GetDateEntry(0));
    EXPECT_EQ(result.rows[0].todo, nullptr);
    EXPECT_TRUE(result.rows[0].hasDate);
    EXPECT_EQ(result.rows[1].text, "Dentist");
    EXPECT_EQ(result.message, "Search returned 2 results");

    // The filter picks the occurrence: the first one in the range that passes it.
    FilterState filter;
    filter.textSearchOn = true;
    filter.matchMode = kMatchAnyWord;
    filter.searchText = "2007-03-14 dentist";
    doc.SetEventFilter(filter);
    result = SearchEvents(doc, range, formats, kListFormat, 0);
    EXPECT_EQ(Texts(result), (std::vector<std::string>{"Walk 2007-03-14", "Dentist"}));
    filter.searchText = "walk";
    doc.SetEventFilter(filter);
    result = SearchEvents(doc, range, formats, kListFormat, 0);
    EXPECT_EQ(Texts(result), std::vector<std::string>{"Walk 2007-03-10"});
    doc.SetFilterSwitch(false);
    EXPECT_EQ(SearchEvents(doc, range, formats, kListFormat, 0).rows.size(), 2u);

    // Pickers the wrong way round find nothing.
    result = SearchEvents(doc, Pickers(CDateTime(2007, 3, 20), CDateTime(2007, 3, 10)), formats,
                          kListFormat, 0);
    EXPECT_TRUE(result.rows.empty());
    EXPECT_EQ(result.message, "Search returned 0 results");
}

TEST(Search, RelativeRangeCountsFromTheDocumentsToday) {
    const FormatSettings formats = IsoFormats();
    const CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 3, 15, 9, 0, 0)));
    CDayvaultDoc doc;
    Add(doc, EventBuilder().Start(2007, 2, 21, 23, 59).Description("too early"));
    Add(doc, EventBuilder().Start(2007, 2, 22, 0, 0).Description("first day"));
    Add(doc, EventBuilder().Start(2007, 4, 5, 23, 59, 59).Description("last second"));
    Add(doc, EventBuilder().Start(2007, 4, 6, 0, 0).Description("too late"));
    SearchRange range;
    range.kind = 2;
    range.count = 3;
    range.unit = 2;
    range.direction = 2;
    EXPECT_EQ(Texts(SearchEvents(doc, range, formats, kListFormat, 0)),
              (std::vector<std::string>{"first day", "last second"}));
}

TEST(Search, RowLimitAndCountLine) {
    const FormatSettings formats = IsoFormats();
    struct Row {
        const char* name;
        int events;
        size_t rows;
        const char* message;
    };
    const Row rows[] = {
        {"one below the limit", 999, 999, "Search returned 999 results"},
        {"the limit reached", 1000, 1000, "More than 1000 results, search terminated"},
        {"far beyond the limit", 1500, 1000, "More than 1000 results, search terminated"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDayvaultDoc doc;
        for (int i = 0; i < row.events; ++i) {
            Add(doc, EventBuilder().Start(2007, 3, 5, 9, 0).Description(std::to_string(i)));
        }
        const SearchResult result = SearchEvents(
            doc, Pickers(CDateTime(2007, 3, 5), CDateTime(2007, 3, 5)), formats, kListFormat, 0);
        EXPECT_EQ(result.rows.size(), row.rows);
        EXPECT_EQ(result.message, row.message);
        EXPECT_EQ(result.rows.back().text, std::to_string(row.rows - 1)) << "in list order";
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
    struct Case {
        const char* name;
        int32_t key;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {"unsorted", 0, {"beta", "zulu", "Alpha", "alpha", "Gamma", "ALPHA"}},
        {"unknown column", 3, {"beta", "zulu", "Alpha", "alpha", "Gamma", "ALPHA"}},
        {"date ascending: dated first, ties keep order, undated by text",
         kSortByDate,
         {"Alpha", "beta", "Gamma", "ALPHA", "alpha", "zulu"}},
        {"date descending", -kSortByDate, {"zulu", "alpha", "ALPHA", "beta", "Gamma", "Alpha"}},
        {"description ascending without case, ties keep order",
         kSortByDescription,
         {"Alpha", "alpha", "ALPHA", "beta", "Gamma", "zulu"}},
        {"description descending",
         -kSortByDescription,
         {"zulu", "Gamma", "beta", "Alpha", "alpha", "ALPHA"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<SearchRow> sorted = rows;
        SortSearchRows(sorted, c.key);
        std::vector<std::string> texts;
        for (const SearchRow& r : sorted) {
            texts.push_back(r.text);
        }
        EXPECT_EQ(texts, c.order);
    }
}

TEST(Search, SortKeyAppliesToEventResults) {
    const FormatSettings formats = IsoFormats();
    CDayvaultDoc doc;
    Add(doc, EventBuilder().Start(2007, 3, 7, 9, 0).Description("b"));
    Add(doc, EventBuilder().Start(2007, 3, 5, 9, 0).Description("c"));
    Add(doc, EventBuilder().Start(2007, 3, 6, 9, 0).Description("A"));
    const SearchRange range = Pickers(CDateTime(2007, 3, 1), CDateTime(2007, 3, 31));
    EXPECT_EQ(Texts(SearchEvents(doc, range, formats, kListFormat, kSortByDate)),
              (std::vector<std::string>{"c", "A", "b"}));
    EXPECT_EQ(Texts(SearchEvents(doc, range, formats, kListFormat, -kSortByDescription)),
              (std::vector<std::string>{"c", "b", "A"}));
}

void AddTodo(CDayvaultDoc& doc, const std::string& description, const CDateTime& deadline,
             bool showDeadline = true, bool done = false) {
    auto todo = std::make_unique<CTodoEntry>(deadline);
    TodoData data = todo->GetData();
    data.Description = description;
    data.Deadline = deadline;
    data.ShowDeadline = showDeadline ? 1 : 0;
    todo->SetData(data);
    todo->SetDone(done);
    doc.AddTodoEntry(std::move(todo), 0);
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
    const SearchRange range = Pickers(CDateTime(2007, 3, 10), CDateTime(2007, 3, 20));

    SearchResult result = SearchTodos(doc, range, {}, formats, kListFormat, 0);
    EXPECT_EQ(Texts(result), (std::vector<std::string>{"on the first day, late", "no deadline",
                                                       "done one", "on the last day"}));
    EXPECT_EQ(result.message, "Search returned 4 results");
    ASSERT_EQ(result.rows.size(), 4u);
    EXPECT_EQ(result.rows[0].dateText, "10.03.2007");
    EXPECT_EQ(result.rows[0].date, CDateTime(2007, 3, 10, 0, 0, 0)) << "the deadline's date";
    EXPECT_EQ(result.rows[0].todo, doc.GetTodoEntry(1));
    EXPECT_EQ(result.rows[0].event, nullptr);
    EXPECT_FALSE(result.rows[1].hasDate);
    EXPECT_EQ(result.rows[1].dateText, "");

    result = SearchTodos(doc, range, {}, formats, kListFormat, -kSortByDate);
    EXPECT_EQ(Texts(result), (std::vector<std::string>{"no deadline", "on the last day", "done one",
                                                       "on the first day, late"}));

    // The hide rules apply, with the document's now (15 March), also with the switch off.
    TodoHideRules hide;
    hide.hideDone = true;
    hide.hideUndone = true;
    hide.daysBeforeShow = 5;
    doc.SetFilterSwitch(false);
    EXPECT_EQ(
        Texts(SearchTodos(doc, range, hide, formats, kListFormat, 0)),
        (std::vector<std::string>{"on the first day, late", "no deadline", "on the last day"}));
    doc.SetFilterSwitch(true);
    FilterState filter;
    filter.conditionOn = true;
    filter.conditionFlags = kPassDone;
    doc.SetTodoFilter(filter);
    EXPECT_EQ(Texts(SearchTodos(doc, range, {}, formats, kListFormat, 0)),
              std::vector<std::string>{"done one"});
}

TEST(Search, TodoRowLimit) {
    const FormatSettings formats = IsoFormats();
    CDayvaultDoc doc;
    for (int i = 0; i < 1200; ++i) {
        AddTodo(doc, std::to_string(i), CDateTime(2007, 3, 10));
    }
    const SearchResult result = SearchTodos(
        doc, Pickers(CDateTime(2007, 3, 1), CDateTime(2007, 3, 31)), {}, formats, kListFormat, 0);
    EXPECT_EQ(result.rows.size(), 1000u);
    EXPECT_EQ(result.message, "More than 1000 results, search terminated");
}

} // namespace
} // namespace dv

namespace dv {
namespace {

// Every occurrence tested with the whole filter: the plain form of the event search.
std::vector<std::pair<const CDateEntry*, CDateTime>> SlowSearch(const CDayvaultDoc& doc,
                                                                const CDateTime& first,
                                                                const CDateTime& last,
                                                                const FormatSettings& formats) {
    std::vector<std::pair<const CDateEntry*, CDateTime>> found;
    for (const auto& owned : doc.GetDateEntries()) {
        CDateEntry& event = *owned;
        CDateTime start;
        CDateTime end;
        for (bool ok = event.FindFirstOccurrence(first, last, start, end); ok;
             ok = event.FindNextOccurrence(first, last, start, end)) {
            if (PassesEventFilter(doc, event, start, formats)) {
                found.emplace_back(&event, start);
                break;
            }
        }
    }
    return found;
}

TEST(Search, TextDecidedOncePerEventFindsWhatEveryOccurrenceFinds) {
    const FormatSettings formats = IsoFormats();
    std::mt19937 random(20070315);
    const char* words[] = {"dentist", "Call", "gym", "$THIS_DATE$", "review", "$DESCRIPTION$"};
    for (int round = 0; round < 40; ++round) {
        CDayvaultDoc doc;
        for (int i = 0; i < 30; ++i) {
            EventBuilder builder;
            builder
                .Start(2007, 1 + static_cast<int>(random() % 3),
                       1 + static_cast<int>(random() % 28), 9, 0)
                .Description(std::string(words[random() % 6]) + " " + words[random() % 6]);
            if (random() % 2 != 0) {
                builder.Every(1 + static_cast<int32_t>(random() % 3),
                              random() % 2 != 0 ? kRepeatDays : kRepeatWeeks);
            }
            CDateEntry event = builder.Build();
            DateData data = event.GetData();
            data.Category = random() % 2 != 0 ? "Work" : "Home";
            data.Notes = random() % 3 == 0 ? "call 2007-02-14" : "";
            event.AssignData(data);
            doc.AddDateEntry(std::make_unique<CDateEntry>(event), 0);
        }
        FilterState filter = FilterState::PassAll({"Home", "Work"});
        filter.selectionOn = random() % 3 == 0;
        filter.selection = {"Work"};
        filter.textSearchOn = true;
        filter.matchMode = 1 + static_cast<int32_t>(random() % 3);
        filter.searchFields = 1 + static_cast<int32_t>(random() % 3);
        filter.searchText = std::string(words[random() % 3]) + (random() % 2 ? " 2007-02-14" : "");
        doc.SetEventFilter(filter);
        const SearchRange range = Pickers(CDateTime(2007, 2, 1), CDateTime(2007, 3, 31));
        // In slices of 7 events, as the sidebar runs it.
        EventSearch search(doc, range, formats, kListFormat);
        while (!search.Step(7)) {
        }
        const SearchResult result = search.Result(0);
        const auto expected =
            SlowSearch(doc, CDateTime(2007, 2, 1), CDateTime(2007, 3, 31, 23, 59, 59), formats);
        ASSERT_EQ(result.rows.size(), expected.size()) << "round " << round;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(result.rows[i].event, expected[i].first);
            EXPECT_EQ(result.rows[i].date, expected[i].second);
        }
    }
}

} // namespace
} // namespace dv
