// The CSV and HTML exports on the raw text they produce, and the filters that the exports take
// from the document.

#include "core/CFileException.h"
#include "core/EventBuilder.h"
#include "document/CDayvaultDoc.h"
#include "export/CsvExport.h"
#include "export/ExportFilters.h"
#include "export/HtmlExport.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "holidays/HolidaySource.h"
#include "settings/CSettings.h"
#include "support/Files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
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

size_t Count(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

// The texts between "<b>" and "</b>" (the day headers) in order of appearance.
std::vector<std::string> Headers(const std::string& html) {
    std::vector<std::string> headers;
    for (size_t at = html.find("<b>"); at != std::string::npos; at = html.find("<b>", at + 1)) {
        headers.push_back(html.substr(at + 3, html.find("</b>", at) - at - 3));
    }
    return headers;
}

// Settings with plain texts, so that expected tables can be written out by hand.
CSettings PlainSettings() {
    CSettings settings;
    for (std::string* format :
         {&settings.HtmlCalendarTimeNormal, &settings.HtmlCalendarTimeSingleday,
          &settings.HtmlCalendarTimeMultidayFirst, &settings.HtmlCalendarTimeMultidayMid,
          &settings.HtmlCalendarTimeMultidayLast}) {
        *format = "T";
    }
    for (std::string* format :
         {&settings.HtmlCalendarDescNormal, &settings.HtmlCalendarDescSingleday,
          &settings.HtmlCalendarDescMultidayFirst, &settings.HtmlCalendarDescMultidayMid,
          &settings.HtmlCalendarDescMultidayLast}) {
        *format = "$DESCRIPTION$";
    }
    for (std::string* format : {&settings.HtmlWeekViewHeader, &settings.HtmlFortnightViewHeader,
                                &settings.HtmlFirstMonthViewHeader, &settings.HtmlMonthViewHeader,
                                &settings.HtmlListViewHeader}) {
        *format = "%Y-%m-%d";
    }
    settings.ShowWeekNumbers = false;
    settings.WeekStart = 1;
    settings.StateValueUndone = "Undone";
    return settings;
}

class ExportTest : public ::testing::Test {
protected:
    CDateEntry& AddEvent(const EventBuilder& builder) {
        m_events.push_back(std::make_unique<CDateEntry>(builder.Build()));
        return *m_events.back();
    }
    CTodoEntry& AddTodo(const std::string& description, const CDateTime& deadline,
                        int showDeadline = 1, int showDeadlineTime = 0) {
        auto todo = std::make_unique<CTodoEntry>(CDateTime(2007, 3, 1));
        TodoData data = todo->GetData();
        data.GUID = "{T" + std::to_string(m_todos.size()) + "}";
        data.Description = description;
        data.Deadline = deadline;
        data.ShowDeadline = showDeadline;
        data.ShowDeadlineTime = showDeadlineTime;
        todo->SetData(data);
        m_todos.push_back(std::move(todo));
        return *m_todos.back();
    }
    // A module "Testland" in <dir>/holidays, loaded into m_modules.
    void LoadHolidays(const std::string& source) {
        fs::create_directories(m_dir / "holidays");
        CompileHolidaySource(source, "Testland.txt")
            .WriteModuleFile(m_dir / "holidays/Testland.hol");
        m_modules.SetBaseFolder(m_dir);
        m_modules.LoadModule("Testland");
    }
    std::string Calendar(const CDateTime& start, int days) {
        return BuildCsvExport(&m_source, {kCsvKindCalendar, start, days}, m_settings);
    }
    std::string Todos(const CDateTime& start, int days) {
        return BuildCsvExport(&m_source, {kCsvKindTodo, start, days}, m_settings);
    }
    HtmlExportSource Source() {
        HtmlExportSource source;
        source.events = &m_events;
        source.todos = &m_todos;
        return source;
    }
    std::string Table(const CSettings& settings, int kind, const CDateTime& date, int length = 1) {
        return HtmlExport(settings, Source()).BuildTable(kind, date, length);
    }

    TemporaryFolder m_folder;
    const fs::path& m_dir = m_folder.Path();
    CSettings m_settings;
    std::vector<std::unique_ptr<CDateEntry>> m_events;
    std::vector<std::unique_ptr<CTodoEntry>> m_todos;
    CHolidayModuleSet m_modules;
    CHolidaySettings m_holidaySettings;
    CsvExportSource m_source = [this] {
        CsvExportSource source;
        source.events = &m_events;
        source.todos = &m_todos;
        return source;
    }();
};

TEST_F(ExportTest, CsvFieldsOrderNamesAndHeaderRow) {
    EventBuilder event = EventBuilder().Start(2007, 3, 5, 14, 0).Description("Review, final");
    event.MutableData().Category = "Work";
    event.MutableData().Notes = "room 4";
    AddEvent(event);
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

    // An all-day event has an empty time, not the format's blank.
    m_settings.CsvCalendarFields = {false, false, false, true, false, true};
    m_settings.CsvCalendarFieldorder = {3, 5};
    AddEvent(EventBuilder().Start(2007, 3, 6).AllDay().Description("Holiday"));
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 6), 1), ",\"Holiday\"\n");

    // Nothing enabled: an empty header and one empty line per occurrence.
    m_settings.CsvCalendarFields = {};
    m_settings.CsvCalendarFieldnamesInFirstRow = true;
    EXPECT_EQ(Calendar(CDateTime(2007, 3, 5), 1), "\n\n");
}

TEST_F(ExportTest, CsvHiddenEventsTheFilterAndEmptyRanges) {
    // The order within a day is the day listing's; the export passes its options on.
    m_settings.CsvCalendarFields = {true, false, false, false, false, true, false};
    m_settings.CsvCalendarFieldnamesInFirstRow = false;
    m_settings.CsvCalendarDescription = "$DESCRIPTION$";
    AddEvent(EventBuilder().Start(2007, 3, 7, 12, 0).Description("kept"));
    EventBuilder hidden = EventBuilder().Start(2007, 3, 5, 12, 0).Description("Hidden");
    hidden.MutableData().Display = 1;
    AddEvent(hidden);
    AddEvent(EventBuilder().Start(2007, 3, 9, 12, 0).Description("filtered out"));
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

TEST_F(ExportTest, CsvHolidayColumnFromTheActiveModules) {
    LoadHolidays("language 0x0407\nholiday MAY \"Maifeiertag\" = 1 May\n"
                 "holiday WORK \"Tag der Arbeit\" = 1 May\n");
    m_holidaySettings.SetActive("Testland", "WORK", false);
    m_source.holidayModules = &m_modules;
    m_source.holidaySettings = &m_holidaySettings;

    AddEvent(EventBuilder().Start(2007, 4, 30).AllDay().Every(1, kRepeatDays).Description("Daily"));
    m_settings.CsvCalendarFields = {true, false, true, false, false, false, false};
    EXPECT_EQ(Calendar(CDateTime(2007, 4, 30), 3),
              "Date,Holiday\n04/30/2007,\n05/01/2007,Maifeiertag\n05/02/2007,\n");
    m_settings.HolidayShowLanguage = true;
    m_holidaySettings.SetActive("Testland", "WORK", true);
    EXPECT_EQ(Calendar(CDateTime(2007, 5, 1), 1),
              "Date,Holiday\n05/01/2007,Maifeiertag (DEU) / Tag der Arbeit (DEU)\n");
    m_source.holidayModules = nullptr;
    EXPECT_EQ(Calendar(CDateTime(2007, 5, 1), 1), "Date,Holiday\n05/01/2007,\n")
        << "without modules the column stays, empty";
}

TEST_F(ExportTest, CsvTodoRangeAndOrder) {
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

TEST_F(ExportTest, CsvTodoColumnsEveryField) {
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

TEST_F(ExportTest, CsvDelimiterRemovedAndLineBreaksJoined) {
    m_settings.CsvCalendarFields = {false, false, false, false, false, true, false};
    m_settings.CsvCalendarFieldnamesInFirstRow = false;
    m_settings.CsvCalendarDescription = "$DESCRIPTION$";
    AddEvent(EventBuilder().Start(2007, 3, 5, 10, 0).Description("a;b\r;\nc\rd\ne\r\n\t,"));
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

// The filters keep what they are given of the formats, so the settings' temporary is safe to pass
// (the test below does so); a temporary document, which they must read at every call, is refused.
template <class Doc>
constexpr bool kFiltersTake = requires(Doc&& doc, const FormatSettings& formats,
                                       const TodoHideRules& hide) {
    DocumentEventFilter(std::forward<Doc>(doc), formats);
    DocumentTodoFilter(std::forward<Doc>(doc), hide, formats);
};
static_assert(kFiltersTake<const CDayvaultDoc&>);
static_assert(!kFiltersTake<CDayvaultDoc>);

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

TEST(HtmlExportHelpers, EscapeReplacesMarkupUmlautsAndLineBreaks) {
    struct Row {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Row rows[] = {
        {"quote", "say \"hi\"", "say &quot;hi&quot;"},
        {"umlauts and sharp s", "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F",
         "&auml;&ouml;&uuml;&Auml;&Ouml;&Uuml;&szlig;"},
        {"other Latin letters stay", "caf\xC3\xA9", "caf\xC3\xA9"},
        {"CR LF", "one\r\ntwo", "one<br>two"},
        {"lone LF and CR stay", "one\ntwo\rthree", "one\ntwo\rthree"},
        {"lead byte at the end", "a\xC3", "a\xC3"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HtmlExport::Escape(row.text), row.expected) << row.name;
    }
}

TEST_F(ExportTest, HtmlPreviewTakesTheFirstNumberThatCannotBeRead) {
    EXPECT_EQ(HtmlExport::NextPreviewPath(m_dir), m_dir / "dvt0000.html");
    test::WriteFile(m_dir / "dvt0000.html", "first preview, still open");
    test::WriteFile(m_dir / "dvt0001.html", "second");
    EXPECT_EQ(HtmlExport::NextPreviewPath(m_dir), m_dir / "dvt0002.html");
    fs::remove(m_dir / "dvt0000.html");
    EXPECT_EQ(HtmlExport::NextPreviewPath(m_dir), m_dir / "dvt0000.html");
}

TEST_F(ExportTest, HtmlTodoColumnsFollowFlagsNamesAndOrder) {
    CSettings settings = PlainSettings();
    CTodoEntry& todo = AddTodo("Report", CDateTime(2007, 3, 5));
    TodoData data = todo.GetData();
    data.Group = "Work & Home";
    data.DocumentFile = "C:\\docs\\r\xC3\xBC.txt";
    todo.SetData(data);

    // Document first, then Group, an index beyond the fields (enabled by a ninth flag), a
    // disabled Date and an index with no flag at all.
    settings.HtmlTodoFields = {false, false, false, false, true, false, false, true, true};
    settings.HtmlTodoFieldnames = {"D", "T", "S", "P", "<Group>", "De", "N", "Doc", "Extra"};
    settings.HtmlTodoFieldorder = {7, 4, 8, 0, 12, -1};
    const std::string table = Table(settings, kHtmlKindTodo, CDateTime(2007, 3, 5), 1);
    EXPECT_NE(table.find("  <th>Doc</th>\n  <th>&lt;Group&gt;</th>\n  <th>Extra</th>\n </tr>\n"),
              std::string::npos)
        << table;
    EXPECT_NE(table.find(" <tr align=\"left\" valign=\"top\">\n"
                         "  <td>C:\\docs\\r&uuml;.txt</td>\n"
                         "  <td>Work &amp; Home</td>\n"
                         "  <td></td>\n"
                         " </tr>\n"),
              std::string::npos)
        << table;
    EXPECT_EQ(Count(table, "<th>"), 3u);
}

TEST_F(ExportTest, HtmlRowStylesForDoneAndMarkedEvents) {
    struct Row {
        const char* name;
        int32_t display;
        bool done;
        int32_t doneDates;
        int32_t markedDates;
        std::string row;
    };
    const Row rows[] = {
        {"plain", 0, false, 0, 1, "    <tr>\n"},
        {"done struck through", 0, true, 1, 1,
         "    <tr style=\"text-decoration:line-through;\">\n"},
        {"coloured field", 2, false, 0, 1, "    <tr style=\"background-color:#563412;\">\n"},
        {"coloured text", 3, false, 0, 1, "    <tr style=\"color:#ABCDEF;\">\n"},
        {"marked bold", 2, false, 0, 2, "    <tr style=\"font-weight:bold;\">\n"},
        {"marked plain", 3, false, 0, 0, "    <tr>\n"},
        {"done and bold", 3, true, 1, 2,
         "    <tr style=\"text-decoration:line-through;font-weight:bold;\">\n"},
    };
    for (const Row& row : rows) {
        m_events.clear();
        EventBuilder builder = EventBuilder().Start(2007, 3, 5, 10, 0).Description("E");
        builder.MutableData().Display = row.display;
        builder.MutableData().DisplayColor = 0x123456;
        builder.MutableData().FontColor = 0xEFCDAB;
        CDateEntry& event = AddEvent(builder);
        if (row.done) {
            event.SetDone(CDateTime(2007, 3, 5, 10, 0, 0), true);
        }
        CSettings settings = PlainSettings();
        settings.HtmlDoneDates = row.doneDates;
        settings.HtmlMarkedDates = row.markedDates;
        const std::string table = Table(settings, kHtmlKindList, CDateTime(2007, 3, 5), 1);
        EXPECT_NE(table.find(row.row + "     <td align=\"left\""), std::string::npos)
            << row.name << "\n"
            << table;
    }
}

TEST_F(ExportTest, HtmlDayColoursAndHolidayTexts) {
    LoadHolidays("language 0x0407\n"
                 "holiday MAY_DAY \"Maifeiertag\" = 1 May\n"
                 "holiday LABOUR \"Tag der <Arbeit>\" = 1 May\n"
                 "holiday OFF \"Switched off\" = 3 May\n"
                 "holiday THANKS \"Erntedank\" = 1st Sunday of October\n");
    m_holidaySettings.Deactivated["Testland"] = {"OFF"};
    CSettings settings = PlainSettings();
    settings.HtmlNormalColor = 0x010101;
    settings.HtmlSaturdayColor = 0x020202;
    settings.HtmlSundayColor = 0x030303;
    settings.HtmlHolidayColor = 0x040404;
    HtmlExportSource source = Source();
    source.holidays = &m_modules;
    source.holidaySettings = &m_holidaySettings;
    HtmlExport exporter(settings, source);

    struct Row {
        const char* name;
        CDateTime day;
        uint32_t color;
        std::string text;
    };
    const Row rows[] = {
        {"weekday", CDateTime(2007, 5, 2), 0x010101, "&nbsp;"},
        {"Saturday", CDateTime(2007, 5, 5), 0x020202, "&nbsp;"},
        {"Sunday", CDateTime(2007, 5, 6), 0x030303, "&nbsp;"},
        {"two holidays, joined, not escaped", CDateTime(2007, 5, 1), 0x040404,
         "Maifeiertag<br>Tag der <Arbeit>"},
        {"switched-off holiday colours nothing", CDateTime(2007, 5, 3), 0x010101, "&nbsp;"},
        {"Sunday that is a holiday", CDateTime(2007, 10, 7), 0x040404, "Erntedank"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(exporter.DayColor(row.day), row.color) << row.name;
        EXPECT_EQ(exporter.HolidayText(row.day), row.text) << row.name;
    }

    settings.HolidayShowLanguage = true;
    HtmlExport withLanguage(settings, source);
    EXPECT_EQ(withLanguage.HolidayText(CDateTime(2007, 5, 1)),
              "Maifeiertag (DEU)<br>Tag der <Arbeit> (DEU)");
    const std::string table = withLanguage.BuildTable(kHtmlKindWeek, CDateTime(2007, 5, 1), 0);
    EXPECT_NE(table.find("     <td colspan=\"2\" bgcolor=\"#040404\">\n"), std::string::npos);
    EXPECT_NE(table.find("style=\"color:#FFFFFF;font-size:66%\" nowrap>Maifeiertag (DEU)<br>Tag "
                         "der <Arbeit> (DEU)</td>\n"),
              std::string::npos)
        << table;
}

TEST_F(ExportTest, HtmlWeekNumbersAndEmptyDaysInLists) {
    CSettings settings = PlainSettings();
    settings.HtmlListViewHeader = "%d";
    settings.HtmlWeekDisplayHeader = "(Week %W)";
    settings.ShowWeekNumbers = true;
    settings.HtmlEmptyDates = 1;
    const CDateTime saturday(2007, 3, 10);
    EXPECT_EQ(Headers(Table(settings, kHtmlKindList, saturday, 3)),
              (std::vector<std::string>{"10", "11", "12 (Week 11)"}))
        << "weeks from Monday";
    settings.WeekStart = 0;
    EXPECT_EQ(Headers(Table(settings, kHtmlKindList, saturday, 3)),
              (std::vector<std::string>{"10", "11 (Week 11)", "12"}))
        << "weeks from Sunday: the row's Monday's week, as the pages number it";
    // A fortnight in two rows runs day by day.
    settings.HtmlFortnightViewHeader = "%d";
    settings.FortnightViewLayout = 1;
    const std::vector<std::string> fortnight =
        Headers(Table(settings, kHtmlKindFortnight, saturday));
    ASSERT_EQ(fortnight.size(), 14u);
    EXPECT_EQ(fortnight[1].substr(0, 2), "05");
    settings.ShowWeekNumbers = false;
    EXPECT_EQ(Headers(Table(settings, kHtmlKindList, saturday, 3)),
              (std::vector<std::string>{"10", "11", "12"}));

    // Empty days are left out of a list unless asked for.
    for (int day : {6, 9, 15}) {
        AddEvent(EventBuilder().Start(2007, 3, day, 10, 0).Description("E"));
    }
    settings = PlainSettings();
    const std::string sparse = Table(settings, kHtmlKindList, CDateTime(2007, 3, 5), 14);
    EXPECT_EQ(Count(sparse, " <tr align= \"left\" valign=\"top\">\n"), 3u);
    EXPECT_EQ(Headers(sparse),
              (std::vector<std::string>{"2007-03-06", "2007-03-09", "2007-03-15"}));

    settings.HtmlEmptyDates = 1;
    const std::string full = Table(settings, kHtmlKindList, CDateTime(2007, 3, 5), 14);
    EXPECT_EQ(Count(full, " <tr align= \"left\" valign=\"top\">\n"), 14u);
    EXPECT_EQ(Count(full, "     <td>&nbsp;</td>\n"), 11u);
    EXPECT_EQ(Table(settings, 5, CDateTime(2007, 3, 5), 3), "") << "unknown kind";
    EXPECT_EQ(Table(settings, -1, CDateTime(2007, 3, 5), 3), "") << "unknown kind";
}

TEST_F(ExportTest, HtmlMonthGridHeaderAndFirstDayFormat) {
    CSettings settings = PlainSettings();
    settings.HtmlFirstMonthViewHeader = "%b %d";
    settings.HtmlMonthViewHeader = "%d";
    settings.HtmlTableHeaderColor = 0xFFFFFF;
    AddEvent(EventBuilder().Start(2007, 3, 15, 10, 0).Description("Mid-month"));
    const std::string table = Table(settings, kHtmlKindMonth, CDateTime(2007, 3, 20));
    // Black on the white header row, seven columns from Monday.
    EXPECT_NE(table.find(" <tr style=\"color:#000000;background-color:#FFFFFF\">\n"
                         "  <th width=\"14%\">Monday</th>\n"),
              std::string::npos);
    EXPECT_EQ(Count(table, "<th width=\"14%\">"), 7u);
    const std::vector<std::string> headers = Headers(table);
    ASSERT_EQ(headers.size(), 42u);
    EXPECT_EQ(headers[0], "26");
    EXPECT_EQ(headers[3], "Mar 01");
    EXPECT_EQ(headers[34], "Apr 01");
    EXPECT_EQ(headers[41], "08");
    EXPECT_EQ(Count(table, " <tr align=\"left\" valign=\"top\">\n"), 6u);
    // The time never breaks inside its numbers, whatever the template's sheet allows.
    EXPECT_EQ(Count(table, "<td align=\"left\" valign=\"top\" "
                           "style=\"overflow-wrap:normal;word-wrap:normal\">T</td>\n"
                           "     <td>Mid-month</td>"),
              1u);

    settings.WeekStart = 0;
    const std::string fromSunday = Table(settings, kHtmlKindMonth, CDateTime(2007, 7, 4));
    EXPECT_LT(fromSunday.find(">Sunday</th>"), fromSunday.find(">Monday</th>"));
}

// A template that cannot be opened is named with the system's reason.
TEST_F(ExportTest, HtmlTemplateFailuresNameTheSystemsReason) {
    fs::create_directory(m_dir / "folder.html");
    for (const auto& [name, reason] :
         {std::pair<std::string, std::string>{"missing.html", "No such file or directory"},
          {"folder.html", "Is a directory"}}) {
        const HtmlPageResult result = HtmlExport(PlainSettings(), Source())
                                          .GeneratePage(m_dir / name, m_dir / "out.html",
                                                        kHtmlKindList, CDateTime(2007, 3, 5), 1);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason, (m_dir / name).string() +
                                     ": cannot open the template for reading: " + reason);
        EXPECT_FALSE(fs::exists(m_dir / "out.html"));
    }
}

TEST_F(ExportTest, HtmlPagesNameTheirMonthAndLanguage) {
    CSettings settings = PlainSettings();
    settings.DateFormat = "%Y-%m-%d";
    const fs::path page = m_dir / "page.html";
    const auto generate = [&](int kind, const CDateTime& selected, int length = 1) {
        const fs::path shipped = fs::path(DAYVAULT_TEMPLATE_DIR) /
                                 HtmlExport::TemplateSetting(CSettings(), kind).substr(10);
        EXPECT_TRUE(HtmlExport(settings, Source())
                        .GeneratePage(shipped, page, kind, selected, length)
                        .ok);
        return ReadFile(page);
    };
    const std::string month = generate(kHtmlKindMonth, CDateTime(2026, 12, 10));
    EXPECT_TRUE(Contains(month, "<html lang=\"en\">"));
    EXPECT_TRUE(Contains(month, "<title>Dayvault – December 2026</title>"));
    EXPECT_TRUE(Contains(month, "<h1>December 2026</h1>"));
    EXPECT_FALSE(Contains(month, "$")) << "no marker left";
    EXPECT_TRUE(Contains(generate(kHtmlKindWeek, CDateTime(2026, 12, 10)),
                         "<h1>2026-12-07 – 2026-12-13</h1>"));
    EXPECT_TRUE(Contains(generate(kHtmlKindList, CDateTime(2026, 12, 10)),
                         "<h1>2026-12-10</h1>"));
    EXPECT_TRUE(Contains(generate(kHtmlKindTodo, CDateTime(2026, 12, 10)),
                         "<h1>To-do list</h1>"));

    SetTranslationHook([](uint32_t id, std::string_view) -> std::optional<std::string> {
        return id == kIdsHtmlLanguage ? std::optional<std::string>("de") : std::nullopt;
    });
    const std::string german = generate(kHtmlKindMonth, CDateTime(2026, 12, 10));
    SetTranslationHook({});
    EXPECT_TRUE(Contains(german, "<html lang=\"de\">"));
}

} // namespace
} // namespace dv
