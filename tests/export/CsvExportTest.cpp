// The CSV export: rows and columns as the settings ask, checked on the raw text; the filters
// that the exports take from the document.

#include "export/CsvExport.h"

#include "core/CFileException.h"
#include "core/EventBuilder.h"
#include "document/CDayvaultDoc.h"
#include "export/ExportFilters.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "holidays/HolidaySource.h"
#include "settings/CSettings.h"
#include "support/Files.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::EventBuilder;
using test::ReadFile;
using test::TemporaryFolder;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CsvExportTest : public ::testing::Test {
protected:
    void Add(const EventBuilder& builder) {
        m_events.push_back(std::make_unique<CDateEntry>(builder.Build()));
    }
    CTodoEntry& AddTodo(const std::string& description, const CDateTime& deadline,
                        int showDeadline = 1, int showDeadlineTime = 0) {
        TodoData data;
        data.GUID = "{T" + std::to_string(m_todos.size()) + "}";
        data.Description = description;
        data.Deadline = deadline;
        data.ShowDeadline = showDeadline;
        data.ShowDeadlineTime = showDeadlineTime;
        auto todo = std::make_unique<CTodoEntry>(CDateTime(2007, 3, 1));
        todo->SetData(data);
        m_todos.push_back(std::move(todo));
        return *m_todos.back();
    }
    std::string Calendar(const CDateTime& start, int days) {
        return BuildCsvExport(&m_source, {kCsvKindCalendar, start, days}, m_settings);
    }
    std::string Todos(const CDateTime& start, int days) {
        return BuildCsvExport(&m_source, {kCsvKindTodo, start, days}, m_settings);
    }

    CSettings m_settings;
    std::vector<std::unique_ptr<CDateEntry>> m_events;
    std::vector<std::unique_ptr<CTodoEntry>> m_todos;
    CsvExportSource m_source = [this] {
        CsvExportSource source;
        source.events = &m_events;
        source.todos = &m_todos;
        return source;
    }();
};

TEST_F(CsvExportTest, FieldsOrderNamesAndHeaderRow) {
    EventBuilder event = EventBuilder().Start(2007, 3, 5, 14, 0).Description("Review, final");
    event.MutableData().Category = "Work";
    event.MutableData().Notes = "room 4";
    Add(event);
    m_settings.CsvCalendarFieldDelimiter = -1; // below the known settings: a comma
    m_settings.CsvCalendarFields = {true, true, true, true, true, true, true};
    m_settings.CsvCalendarFieldorder = {6, 5, 99, -1, 0, 3, 7, 0};
    m_settings.CsvCalendarFieldnames = {"When", "Week", "Holiday", "At", "Cat", "What"};
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 5), 1),
              ",What,When,At,When\n\"room 4\",\"Review, final\",03/05/2007,02:00 PM,03/05/2007\n")
        << "invalid indices skipped, a repeated field written twice, a missing name empty";

    // A flag list shorter than the fields leaves the rest out; no header row when switched off.
    m_settings.CsvCalendarFields = {false, true, false, false, true};
    m_settings.CsvCalendarFieldorder = {0, 1, 2, 3, 4, 5, 6};
    m_settings.CsvCalendarFieldnamesInFirstRow = false;
    m_settings.CsvCalendarWeeknumber = "week %W";
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 5), 1), "week 10,\"Work\"\n");

    // Nothing enabled: an empty header and one empty line per occurrence.
    m_settings.CsvCalendarFields = {};
    m_settings.CsvCalendarFieldnamesInFirstRow = true;
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 5), 1), "\n\n");
}

TEST_F(CsvExportTest, HiddenEventsTheFilterAndEmptyRanges) {
    // The order within a day is the day listing's; the export passes its options on.
    m_settings.CsvCalendarFields = {true, false, false, false, false, true, false};
    m_settings.CsvCalendarFieldnamesInFirstRow = false;
    m_settings.CsvCalendarDescription = "$DESCRIPTION$";
    Add(EventBuilder().Start(2007, 3, 7, 12, 0).Description("kept"));
    EventBuilder hidden = EventBuilder().Start(2007, 3, 5, 12, 0).Description("Hidden");
    hidden.MutableData().Display = 1;
    Add(hidden);
    Add(EventBuilder().Start(2007, 3, 9, 12, 0).Description("filtered out"));
    m_source.eventFilter = [](const CDateEntry& event, const CDateTime& start) {
        EXPECT_EQ(start.GetYear(), 2007);
        return event.GetData().Description != "filtered out";
    };
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 4), 7), "03/07/2007,kept\n");
    m_source.showHidden = true;
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 4), 7), "03/05/2007,Hidden\n03/07/2007,kept\n");
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 4), 0), "") << "no days: the header row only (off)";
    m_settings.CsvCalendarFieldnamesInFirstRow = true;
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 4), -3), "Date,Description\n");
}

TEST_F(CsvExportTest, HolidayColumnFromTheActiveModules) {
    TemporaryFolder folder;
    fs::create_directories(folder.Path() / "holidays");
    CompileHolidaySource("language 0x0407\nholiday MAY \"Maifeiertag\" = 1 May\n"
                         "holiday WORK \"Tag der Arbeit\" = 1 May\n",
                         "Germany.txt")
        .WriteModuleFile(folder.Path() / "holidays" / "Germany.hol");
    CHolidayModuleSet modules;
    modules.SetBaseFolder(folder.Path());
    ASSERT_TRUE(modules.LoadModules({"Germany"}).empty());
    CHolidaySettings holidays;
    holidays.SetActive("Germany", "WORK", false);
    m_source.holidayModules = &modules;
    m_source.holidaySettings = &holidays;

    Add(EventBuilder().Start(2007, 4, 30).AllDay().Every(1, kRepeatDays).Description("Daily"));
    m_settings.CsvCalendarFields = {true, false, true, false, false, false, false};
    EXPECT_EQ(Calendar(CDateTime(2007, 4, 30), 3),
              "Date,Holiday\n04/30/2007,\n05/01/2007,Maifeiertag\n05/02/2007,\n");
    m_settings.HolidayShowLanguage = true;
    holidays.SetActive("Germany", "WORK", true);
    EXPECT_EQ(Calendar(CDateTime(2007, 5, 1), 1),
              "Date,Holiday\n05/01/2007,Maifeiertag (DEU) / Tag der Arbeit (DEU)\n");
    m_source.holidayModules = nullptr;
    EXPECT_EQ(Calendar(CDateTime(2007, 5, 1), 1), "Date,Holiday\n05/01/2007,\n")
        << "without modules the column stays, empty";
}

TEST_F(CsvExportTest, TodoRangeAndOrder) {
    m_settings.CsvTodoFields = {true, true, false, false, false, true, false, false};
    m_settings.CsvTodoDescription = "$DESCRIPTION$";
    m_settings.CsvTodoFieldnamesInFirstRow = false;
    AddTodo("before", CDateTime(2007, 3, 4, 23, 59, 59));
    AddTodo("late", CDateTime(2007, 3, 5, 23, 59, 59), 1, 1);
    AddTodo("undated b", CDateTime(2007, 1, 1), 0);
    AddTodo("midnight", CDateTime(2007, 3, 5, 0, 0, 0));
    AddTodo("Undated A", CDateTime(2020, 1, 1), 0);
    AddTodo("noon", CDateTime(2007, 3, 5, 12, 0, 0)); // time not shown, still ordered by it
    AddTodo("after", CDateTime(2007, 3, 6, 0, 0, 0));
    AddTodo("undated a", CDateTime(2007, 1, 1), 0);
    AddTodo("midnight twin", CDateTime(2007, 3, 5, 0, 0, 0));

    // A range of one day takes every deadline of that day, whatever its time.
    EXPECT_EQ(Todos(CDateTime(2007, 3, 5, 18, 0, 0), 1), "03/05/2007,,midnight twin\n"
                                                         "03/05/2007,,midnight\n"
                                                         "03/05/2007,,noon\n"
                                                         "03/05/2007,11:59 PM,late\n"
                                                         ",,undated a\n"
                                                         ",,Undated A\n"
                                                         ",,undated b\n")
        << "equal keys in reverse list order";

    EXPECT_EQ(Todos(CDateTime(2007, 3, 4), 3),
              "03/04/2007,,before\n03/05/2007,,midnight twin\n03/05/2007,,midnight\n"
              "03/05/2007,,noon\n03/05/2007,11:59 PM,late\n03/06/2007,,after\n"
              ",,undated a\n,,Undated A\n,,undated b\n");

    m_source.todoFilter = [](CTodoEntry& todo) { return todo.GetData().ShowDeadline != 0; };
    EXPECT_EQ(Todos(CDateTime(2007, 3, 6), 1), "03/06/2007,,after\n");
    m_source.todos = nullptr;
    EXPECT_EQ(Todos(CDateTime(2007, 3, 6), 1), "");
}

TEST_F(CsvExportTest, TodoColumnsEveryField) {
    CTodoEntry& todo = AddTodo("Report", CDateTime(2007, 3, 9, 16, 45, 0), 1, 1);
    TodoData data = todo.GetData();
    data.Group = "Office";
    data.Priority = 7;
    data.Notes = "two\r\nlines";
    data.AssociateDocumentFile = 1;
    data.DocumentFile = "C:\\docs\\report;v2.doc";
    todo.SetData(data);
    todo.SetDone(true);
    m_settings.CsvTodoFields = {true, true, true, true, true, true, true, true};
    m_settings.CsvTodoFieldorder = {7, 6, 5, 4, 3, 2, 1, 0};
    m_settings.CsvTodoFieldDelimiter = 1;
    m_settings.CsvTodoRemoveDelimiter = true;
    m_settings.CsvTodoDate = "%d.%m.%Y";
    m_settings.CsvTodoTime = "%H:%M";
    EXPECT_EQ(Todos(CDateTime(2007, 3, 9), 1),
              "Document;Notes;Description;Group;Priority;State;Time;Date\n"
              "\"C:\\docs\\reportv2.doc\";\"two lines\";\"Report\";\"Office\";7;\"Done:\";"
              "16:45;09.03.2007\n");
}

TEST_F(CsvExportTest, NoDocumentUnknownKindAndQuotesAsTheyAre) {
    Add(EventBuilder().Start(2007, 3, 5, 10, 0).Description("say \"hi\""));
    EXPECT_EQ(BuildCsvExport(nullptr, {kCsvKindCalendar, CDateTime(2007, 3, 5), 1}, m_settings),
              "");
    EXPECT_EQ(BuildCsvExport(&m_source, {2, CDateTime(2007, 3, 5), 1}, m_settings), "");
    // No escaping beyond the formats: the inner quotes go out as they are.
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 5), 1),
              "Date,Time,Description,Notes\n03/05/2007,10:00 AM,\"say \"hi\"\",\"\"\n");
}

TEST_F(CsvExportTest, DelimiterRemovedAndLineBreaksJoined) {
    m_settings.CsvCalendarFields = {false, false, false, false, false, true, false};
    m_settings.CsvCalendarFieldnamesInFirstRow = false;
    m_settings.CsvCalendarDescription = "$DESCRIPTION$";
    Add(EventBuilder().Start(2007, 3, 5, 10, 0).Description("a;b\r;\nc\rd\ne\r\n\t,"));
    struct Row {
        int32_t delimiter;
        bool remove;
        std::string row;
    };
    const Row rows[] = {
        {1, true, "ab c\rd\ne \t,\n"}, // a CR LF pair forms once the ';' between is gone
        {2, true, "a;b\r;\nc\rd\ne ,\n"},
        {1, false, "a;b\r;\nc\rd\ne \t,\n"},
    };
    for (const Row& row : rows) {
        m_settings.CsvCalendarFieldDelimiter = row.delimiter;
        m_settings.CsvCalendarRemoveDelimiter = row.remove;
        EXPECT_EQ(Calendar(CDateTime(2007, 3, 5), 1), row.row) << row.delimiter << row.remove;
    }
}

TEST(CsvExportFile, TextModeLineEndsAndAtomicWrites) {
    TemporaryFolder folder;
    const fs::path file = folder.Path() / "out.csv";
    WriteCsvExportFile(file, "x,y\n1,2\r\n\n");
    WriteCsvExportFile(file, "z\n1,2\r\n\n");
    EXPECT_EQ(ReadFile(file), "z\r\n1,2\r\r\n\r\n") << "replaced, not appended to";

    // A missing folder is not created; a folder in the way stays, and no temporary file is left.
    const fs::path missing = folder.Path() / "nowhere" / "out.csv";
    EXPECT_THROW(WriteCsvExportFile(missing, "a\n"), CFileException);
    EXPECT_FALSE(fs::exists(missing.parent_path()));
    const fs::path blocked = folder.Path() / "blocked.csv";
    fs::create_directories(blocked / "inner");
    try {
        WriteCsvExportFile(blocked, "a\n");
        ADD_FAILURE() << "writing over a folder succeeded";
    } catch (const CFileException& e) {
        EXPECT_NE(std::string(e.what()).find("blocked.csv"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_directory(blocked / "inner"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2)
        << "out.csv and the folder, nothing else";

    const fs::path relative = "some/out.csv";
    EXPECT_EQ(CsvWriteErrorMessage(relative),
              "Can't write to export-file\n" + fs::absolute(relative).string())
        << "the full path";
}

// The exports take the document's filter state as the pages do: the category selection and the
// content words hold only while the switch is on, and a change after the filter was made reaches
// the next export.
TEST(ExportFilters, CalendarExportFollowsTheDocumentsEventFilterAndSwitch) {
    std::vector<std::unique_ptr<CDateEntry>> events;
    const auto add = [&events](EventBuilder builder, const std::string& category) {
        builder.MutableData().Category = category;
        events.push_back(std::make_unique<CDateEntry>(builder.Build()));
    };
    add(EventBuilder().Start(2007, 3, 5, 9, 0).Description("Budget meeting"), "Work");
    add(EventBuilder().Start(2007, 3, 6, 18, 0).Description("Piano lesson"), "Home");
    const CSettings settings;
    CDayvaultDoc doc;
    CsvExportSource source;
    source.events = &events;
    source.eventFilter = DocumentEventFilter(doc, settings.GetFormatSettings());
    const auto exported = [&] {
        return BuildCsvExport(&source, {kCsvKindCalendar, CDateTime(2007, 3, 1), 14}, settings);
    };
    FilterState work;
    work.selectionOn = true;
    work.selection.insert("work"); // names match without regard to case
    doc.SetEventFilter(work);
    doc.SetFilterSwitch(true);
    EXPECT_TRUE(Contains(exported(), "Budget meeting"));
    EXPECT_FALSE(Contains(exported(), "Piano lesson")) << "another category, switch on";
    doc.SetFilterSwitch(false);
    EXPECT_TRUE(Contains(exported(), "Piano lesson")) << "switch off: everything passes";

    FilterState words;
    words.textSearchOn = true;
    words.searchText = "PIANO";
    doc.SetEventFilter(words);
    doc.SetFilterSwitch(true);
    EXPECT_FALSE(Contains(exported(), "Budget meeting")) << "content filter set after the source";
    EXPECT_TRUE(Contains(exported(), "Piano lesson"));
}

TEST(ExportFilters, TodoExportFollowsTheDocumentsTodoFilterAndAlwaysTheHideRules) {
    std::vector<std::unique_ptr<CTodoEntry>> todos;
    const auto add = [&todos](const std::string& description, const std::string& group, bool done) {
        TodoData d;
        d.Description = description;
        d.Group = group;
        d.ShowDeadline = 0;
        auto todo = std::make_unique<CTodoEntry>(CDateTime(2007, 3, 1));
        todo->SetData(d);
        todo->SetDone(done);
        todos.push_back(std::move(todo));
    };
    add("File taxes", "Office", false);
    add("Paint fence", "Garden", false);
    add("Old chore", "Garden", true);
    const FormatSettings formats = CSettings().GetFormatSettings();
    CDayvaultDoc doc;
    TodoHideRules hide;
    hide.hideDone = true;
    const TodoFilter filter = DocumentTodoFilter(doc, hide, formats);
    const auto listed = [&] {
        std::vector<std::string> names;
        for (CTodoEntry* todo :
             CollectExportTodos(todos, CDateTime(2007, 1, 1), CDateTime(2007, 12, 31), filter)) {
            names.push_back(todo->GetData().Description);
        }
        return names;
    };

    FilterState garden;
    garden.selectionOn = true;
    garden.selection.insert("Garden");
    doc.SetTodoFilter(garden);
    doc.SetFilterSwitch(true);
    EXPECT_EQ(listed(), std::vector<std::string>{"Paint fence"}) << "group filter and hide rule";
    doc.SetFilterSwitch(false);
    EXPECT_EQ(listed(), (std::vector<std::string>{"File taxes", "Paint fence"}))
        << "switch off: the hide rule still holds";
}

} // namespace
} // namespace dv
