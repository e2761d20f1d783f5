#include "export/HtmlExport.h"

#include "core/EventBuilder.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "holidays/HolidaySource.h"
#include "settings/CSettings.h"
#include "support/Files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::EventBuilder;

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

class HtmlExportTest : public ::testing::Test {
protected:
    CDateEntry& AddEvent(const EventBuilder& builder) {
        m_events.push_back(std::make_unique<CDateEntry>(builder.Build()));
        return *m_events.back();
    }

    CTodoEntry& AddTodo(const std::string& description, const CDateTime& deadline,
                        bool hasDeadline = true, bool withTime = false) {
        auto todo = std::make_unique<CTodoEntry>(CDateTime(2007, 1, 1));
        TodoData data = todo->GetData();
        data.Description = description;
        data.Deadline = deadline;
        data.ShowDeadline = hasDeadline ? 1 : 0;
        data.ShowDeadlineTime = withTime ? 1 : 0;
        todo->SetData(data);
        m_todos.push_back(std::move(todo));
        return *m_todos.back();
    }

    HtmlExportSource Source() {
        HtmlExportSource source;
        source.events = &m_events;
        source.todos = &m_todos;
        return source;
    }

    // A module "Testland" in <dir>/holidays, loaded into m_modules.
    void LoadHolidays(const std::string& source) {
        fs::create_directories(m_dir / "holidays");
        CompileHolidaySource(source, "Testland.txt")
            .WriteModuleFile(m_dir / "holidays/Testland.hol");
        m_modules.SetBaseFolder(m_dir);
        m_modules.LoadModule("Testland");
    }

    std::string Table(const CSettings& settings, int kind, const CDateTime& date, int length = 1) {
        HtmlExport exporter(settings, Source());
        return exporter.BuildTable(kind, date, length);
    }

    test::TemporaryFolder m_folder;
    const fs::path& m_dir = m_folder.Path();
    std::vector<std::unique_ptr<CDateEntry>> m_events;
    std::vector<std::unique_ptr<CTodoEntry>> m_todos;
    CHolidayModuleSet m_modules;
    CHolidaySettings m_holidaySettings;
};

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

TEST_F(HtmlExportTest, PreviewTakesTheFirstNumberThatCannotBeRead) {
    EXPECT_EQ(HtmlExport::NextPreviewPath(m_dir), m_dir / "dvt0000.html");
    test::WriteFile(m_dir / "dvt0000.html", "first preview, still open");
    test::WriteFile(m_dir / "dvt0001.html", "second");
    EXPECT_EQ(HtmlExport::NextPreviewPath(m_dir), m_dir / "dvt0002.html");
    fs::remove(m_dir / "dvt0000.html");
    EXPECT_EQ(HtmlExport::NextPreviewPath(m_dir), m_dir / "dvt0000.html");
}

TEST_F(HtmlExportTest, TodoTableWithDefaultsPiecesAndOrder) {
    CSettings settings = PlainSettings();
    settings.DateFormatList = "%Y-%m-%d";
    settings.TimeFormatList = "%H:%M";
    CTodoEntry& timed = AddTodo("Call <Bob>", CDateTime(2007, 3, 6, 14, 30, 0), true, true);
    TodoData data = timed.GetData();
    data.Notes = "line one\r\nline two";
    data.Priority = 7;
    timed.SetData(data);
    AddTodo("Undated", CDateTime(2007, 1, 1), false);
    AddTodo("Early", CDateTime(2007, 3, 5, 8, 0, 0));

    const std::string table = Table(settings, kHtmlKindTodo, CDateTime(2007, 3, 5), 7);
    // Default fields "11110110": Date, Time, State, Priority, Description, Notes.
    const std::string expected =
        "<table style=\"font-size:100%\" width=\"100%\" border=\"2\" rules=\"all\" "
        "cellspacing=\"0\" "
        "cellpadding=\"3\">\n"
        " <tr style=\"color:#FFFFFF;background-color:#000000\">\n"
        "  <th>Date</th>\n  <th>Time</th>\n  <th>State</th>\n  <th>Priority</th>\n"
        "  <th>Description</th>\n  <th>Notes</th>\n"
        " </tr>\n"
        " <tr align=\"left\" valign=\"top\">\n"
        "  <td nowrap>2007-03-05</td>\n  <td nowrap>-</td>\n  <td>Undone</td>\n  <td>1</td>\n"
        "  <td>Early</td>\n  <td></td>\n"
        " </tr>\n"
        " <tr align=\"left\" valign=\"top\">\n"
        "  <td nowrap>2007-03-06</td>\n  <td nowrap>14:30</td>\n  <td>Undone</td>\n  <td>7</td>\n"
        "  <td>Call &lt;Bob&gt;</td>\n  <td>line one<br>line two</td>\n"
        " </tr>\n"
        " <tr align=\"left\" valign=\"top\">\n"
        "  <td nowrap>-</td>\n  <td nowrap>-</td>\n  <td>Undone</td>\n  <td>1</td>\n"
        "  <td>Undated</td>\n  <td></td>\n"
        " </tr>\n"
        "</table>\n";
    EXPECT_EQ(table, expected);
}

TEST_F(HtmlExportTest, TodoColumnsFollowFlagsNamesAndOrder) {
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

TEST_F(HtmlExportTest, RowStylesForDoneAndMarkedEvents) {
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

TEST_F(HtmlExportTest, DayColoursAndHolidayTexts) {
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

TEST_F(HtmlExportTest, WeekNumbersAndEmptyDaysInLists) {
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
              (std::vector<std::string>{"10", "11 (Week 10)", "12"}))
        << "weeks from Sunday";
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

TEST_F(HtmlExportTest, MonthGridHeaderAndFirstDayFormat) {
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
    EXPECT_EQ(Count(table, "<td align=\"left\" valign=\"top\">T</td>\n     <td>Mid-month</td>"),
              1u);

    settings.WeekStart = 0;
    const std::string fromSunday = Table(settings, kHtmlKindMonth, CDateTime(2007, 7, 4));
    EXPECT_LT(fromSunday.find(">Sunday</th>"), fromSunday.find(">Monday</th>"));
}

// The marker is replaced everywhere and line ends become CR LF; a failed page leaves nothing.
TEST_F(HtmlExportTest, PagesFromTemplates) {
    AddEvent(EventBuilder().Start(2007, 3, 5, 10, 0).Description("$TABLE$ in a text"));
    HtmlExport exporter(PlainSettings(), Source());
    const fs::path target = m_dir / "out.html";
    const std::string table = exporter.BuildTable(kHtmlKindList, CDateTime(2007, 3, 5), 1);

    struct Row {
        const char* name;
        std::string templ;
        std::string page; // before LF becomes CR LF
    };
    const Row rows[] = {
        {"no marker", "<p>a</p>\r\n<p>b</p>", "<p>a</p>\n<p>b</p>\n"},
        {"marker once", "<body>\n\n$TABLE$\n</body>\n", "<body>\n\n" + table + "\n</body>\n"},
        {"marker twice on one line", "$TABLE$|$TABLE$", table + "|" + table + "\n"},
    };
    for (const Row& row : rows) {
        test::WriteFile(m_dir / "template.html", row.templ);
        const HtmlPageResult result = exporter.GeneratePage(
            m_dir / "template.html", target, kHtmlKindList, CDateTime(2007, 3, 5), 1);
        ASSERT_TRUE(result.ok) << row.name << ": " << result.reason;
        std::string expected;
        for (char c : row.page) {
            expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        EXPECT_EQ(test::ReadFile(target), expected) << row.name;
    }
    fs::remove(target);

    // A missing template, a missing folder and a folder in the target's place leave nothing.
    HtmlPageResult result = exporter.GeneratePage(m_dir / "missing.html", target, kHtmlKindTodo,
                                                  CDateTime(2007, 3, 5), 1);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Unable to open the document\n" + (m_dir / "missing.html").string());
    EXPECT_FALSE(fs::exists(target));

    test::WriteFile(m_dir / "template.html", "$TABLE$\n");
    const fs::path noFolder = m_dir / "no-such-folder" / "out.html";
    result = exporter.GeneratePage(m_dir / "template.html", noFolder, kHtmlKindTodo,
                                   CDateTime(2007, 3, 5), 1);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Can't write to export-file\n" + noFolder.string());
    EXPECT_NE(result.reason.find(noFolder.string()), std::string::npos) << result.reason;
    EXPECT_FALSE(fs::exists(m_dir / "no-such-folder"));

    fs::create_directories(m_dir / "taken.html");
    test::WriteFile(m_dir / "taken.html" / "inside", "keep");
    result = exporter.GeneratePage(m_dir / "template.html", m_dir / "taken.html", kHtmlKindTodo,
                                   CDateTime(2007, 3, 5), 1);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(test::ReadFile(m_dir / "taken.html" / "inside"), "keep");
    EXPECT_EQ(m_folder.FileNames(), (std::vector<std::string>{"taken.html", "template.html"}));
}

} // namespace
} // namespace dv
