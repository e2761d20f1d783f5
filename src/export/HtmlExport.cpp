#include "export/HtmlExport.h"

#include "core/ByteStream.h"
#include "core/CDateTimeSpan.h"
#include "core/CFileException.h"
#include "core/LocaleNames.h"
#include "core/TextCompare.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "settings/CSettings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <span>
#include <system_error>
#include <unordered_map>

namespace dv {

namespace {

// ---- Markup pieces ---------------------------------------------------------------------------
// Browsers and the users' own style sheets rely on these exact attributes, so they are written
// byte for byte, the odd blank in kRowList included.

constexpr std::string_view kTableTodo =
    "<table style=\"font-size:100%\" width=\"100%\" border=\"2\" "
    "rules=\"all\" cellspacing=\"0\" cellpadding=\"3\">\n";
constexpr std::string_view kTableWeek =
    "<table width=\"100%\" border=\"2\" rules=\"all\" cellspacing=\"0\" cellpadding=\"0\">\n";
constexpr std::string_view kTableDays =
    "<table style=\"font-size:100%\" width=\"100%\" border=\"2\" "
    "rules=\"all\" cellspacing=\"0\" cellpadding=\"0\">\n";
constexpr std::string_view kTableEnd = "</table>\n";
constexpr std::string_view kRowEnd = " </tr>\n";
constexpr std::string_view kRowTop = " <tr align=\"left\" valign=\"top\">\n";
constexpr std::string_view kRowList = " <tr align= \"left\" valign=\"top\">\n";
constexpr std::string_view kCellNoWrap = "  <td nowrap>";
constexpr std::string_view kCell = "  <td>";
constexpr std::string_view kCellEnd = "</td>\n";
constexpr std::string_view kDayCell = "  <td>\n";
constexpr std::string_view kDayCellEnd = "  </td>\n";
constexpr std::string_view kDayCellEmpty = "   &nbsp;\n";
constexpr std::string_view kInnerWeek = "   <table width=\"100%\" frame=\"void\" rules=\"rows\" "
                                        "cellspacing=\"0\" cellpadding=\"5\">\n";
constexpr std::string_view kInnerDays = "   <table style=\"font-size:100%\" width=\"100%\" "
                                        "frame=\"void\" rules=\"rows\" cellspacing=\"0\" "
                                        "cellpadding=\"5\">\n";
constexpr std::string_view kInnerRow = "    <tr>\n";
constexpr std::string_view kCaptionWeek =
    "      <table width=\"100%\" frame=\"void\" cellspacing=\"0\" cellpadding=\"0\">\n";
constexpr std::string_view kCaptionDays = "      <table style=\"font-size:100%\" width=\"100%\" "
                                          "frame=\"void\" cellspacing=\"0\" cellpadding=\"0\">\n";
constexpr std::string_view kCaptionRow = "       <tr>\n";
constexpr std::string_view kCaptionRowEnd = "       </tr>\n";
constexpr std::string_view kCaptionEnd = "      </table>\n";
constexpr std::string_view kCaptionCellEnd = "     </td>\n";
constexpr std::string_view kInnerRowEnd = "    </tr>\n";
constexpr std::string_view kTimeCell = "     <td width=\"33%\" align=\"left\" valign=\"top\">";
// A month cell is narrow: its time wraps between the words, never inside a number, whatever
// the page's style sheet allows elsewhere.
constexpr std::string_view kTimeCellMonth =
    "     <td align=\"left\" valign=\"top\" style=\"overflow-wrap:normal;word-wrap:normal\">";
constexpr std::string_view kTimeCellList =
    "     <td align=\"left\" valign=\"top\" width=\"33%\" nowrap>";
constexpr std::string_view kTextCell = "     <td>";
constexpr std::string_view kNoEventCell = "     <td>&nbsp;</td>\n";
constexpr std::string_view kInnerEnd = "   </table>\n";

constexpr std::string_view kTableMarker = "$TABLE$";
constexpr std::string_view kTitleMarker = "$TITLE$";
constexpr std::string_view kLanguageMarker = "$LANGUAGE$";
constexpr int kTodoFieldCount = 8;

enum TodoField : int32_t {
    kFieldDate = 0,
    kFieldTime,
    kFieldState,
    kFieldPriority,
    kFieldGroup,
    kFieldDescription,
    kFieldNotes,
    kFieldDocument,
};

std::string HeaderRow(uint32_t background) {
    return std::string(" <tr style=\"color:") +
           HtmlExport::ColorText(HtmlExport::ContrastColor(background)) +
           ";background-color:" + HtmlExport::ColorText(background) + "\">\n";
}

bool IsFirstDayOfWeek(const CDateTime& day, int32_t weekStart) {
    return day.GetDayOfWeek() == (weekStart == 1 ? 0 : 6);
}

std::string ToCrLf(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

void ReplaceAll(std::string& text, std::string_view marker, std::string_view replacement) {
    for (size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + replacement.size())) {
        text.replace(at, marker.size(), replacement);
    }
}

} // namespace

// What the caption of a day shows besides its date.
struct HtmlExport::DayLook {
    uint32_t color = 0;
    std::string holidays;
};

HtmlExport::HtmlExport(const CSettings& settings, HtmlExportSource source)
    : m_settings(settings), m_source(std::move(source)), m_formats(settings.GetFormatSettings()) {}

// ---- Shared helpers ----------------------------------------------------------------------------

std::string HtmlExport::Escape(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '&':
            result += "&amp;";
            continue;
        case '"':
            result += "&quot;";
            continue;
        case '<':
            result += "&lt;";
            continue;
        case '>':
            result += "&gt;";
            continue;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                result += "<br>";
                ++i;
                continue;
            }
            break;
        case '\xC3':
            // The German letters in UTF-8: C3 followed by the Latin-1 code minus 0x40.
            if (i + 1 < text.size()) {
                const char* entity = nullptr;
                switch (text[i + 1]) {
                case '\xA4':
                    entity = "&auml;";
                    break;
                case '\xB6':
                    entity = "&ouml;";
                    break;
                case '\xBC':
                    entity = "&uuml;";
                    break;
                case '\x84':
                    entity = "&Auml;";
                    break;
                case '\x96':
                    entity = "&Ouml;";
                    break;
                case '\x9C':
                    entity = "&Uuml;";
                    break;
                case '\x9F':
                    entity = "&szlig;";
                    break;
                default:
                    break;
                }
                if (entity != nullptr) {
                    result += entity;
                    ++i;
                    continue;
                }
            }
            break;
        default:
            break;
        }
        result += c;
    }
    return result;
}

std::string HtmlExport::ColorText(uint32_t color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<unsigned>(color & 0xFF),
                  static_cast<unsigned>((color >> 8) & 0xFF),
                  static_cast<unsigned>((color >> 16) & 0xFF));
    return text;
}

uint32_t HtmlExport::ContrastColor(uint32_t background) {
    const double luminance = 0.2125 * static_cast<double>(background & 0xFF) +
                             0.7154 * static_cast<double>((background >> 8) & 0xFF) +
                             0.0721 * static_cast<double>((background >> 16) & 0xFF);
    return luminance < 128.0 ? 0xFFFFFFu : 0x000000u;
}

HtmlExport::DayLook HtmlExport::LookOf(const CDateTime& day) {
    DayLook look;
    if (m_source.holidays != nullptr && m_source.holidaySettings != nullptr) {
        for (const HolidayDayRecord& record : m_source.holidays->HolidaysOn(day)) {
            if (!m_source.holidaySettings->IsActive(record.module, record.name)) {
                continue;
            }
            if (!look.holidays.empty()) {
                look.holidays += "<br>";
            }
            look.holidays += record.displayText;
            if (m_settings.HolidayShowLanguage) {
                look.holidays +=
                    " (" + GetLocaleNames().LanguageAbbreviation(record.language) + ")";
            }
        }
    }
    const int weekday = day.GetDayOfWeek();
    if (!look.holidays.empty()) {
        look.color = m_settings.HtmlHolidayColor;
    } else if (weekday == 5) {
        look.color = m_settings.HtmlSaturdayColor;
    } else if (weekday == 6) {
        look.color = m_settings.HtmlSundayColor;
    } else {
        look.color = m_settings.HtmlNormalColor;
    }
    if (look.holidays.empty()) {
        look.holidays = "&nbsp;";
    }
    return look;
}

std::string HtmlExport::HolidayText(const CDateTime& day) {
    return LookOf(day).holidays;
}

uint32_t HtmlExport::DayColor(const CDateTime& day) {
    return LookOf(day).color;
}

const std::string& HtmlExport::TemplateSetting(const CSettings& settings, int kind) {
    static const std::string none;
    switch (kind) {
    case kHtmlKindTodo:
        return settings.HtmlTemplateTodo;
    case kHtmlKindWeek:
        return settings.HtmlTemplateWeek;
    case kHtmlKindFortnight:
        return settings.HtmlTemplateFortnight;
    case kHtmlKindMonth:
        return settings.HtmlTemplateMonth;
    case kHtmlKindList:
        return settings.HtmlTemplateList;
    default:
        return none;
    }
}

std::filesystem::path HtmlExport::NextPreviewPath(const std::filesystem::path& folder) {
    for (int number = 0; number <= 999999; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "dvt%04d.html", number);
        const std::filesystem::path path = folder / name;
        if (!std::ifstream(path).is_open()) {
            return path;
        }
    }
    return {};
}

// ---- Ranges ------------------------------------------------------------------------------------

HtmlExportRange HtmlExport::Range(int kind, const CDateTime& selected, int length,
                                  int32_t weekStart) {
    HtmlExportRange range;
    if (kind == kHtmlKindTodo || kind == kHtmlKindList || kind < 0 || kind > kHtmlKindList) {
        const int days = (kind == kHtmlKindTodo || kind == kHtmlKindList) ? std::max(length, 1) : 1;
        range.first = selected;
        range.dayCount = days;
        range.last = selected.GetDate() + CDateTimeSpan(days - 1, 23, 59, 59);
        return range;
    }
    CDateTime start = selected.GetDate();
    if (kind == kHtmlKindMonth) {
        start = CDateTime(start.GetYear(), start.GetMonth(), 1);
    }
    // Weekdays count 0 = Monday .. 6 = Sunday; with weeks from Sunday the distance shifts by one.
    int back = weekStart == 1 ? start.GetDayOfWeek() : (start.GetDayOfWeek() + 1) % 7;
    if (kind == kHtmlKindMonth && back == 0) {
        back = 7;
    }
    range.first = start - CDateTimeSpan(back, 0, 0, 0);
    range.dayCount = kind == kHtmlKindWeek ? 7 : kind == kHtmlKindFortnight ? 14 : 42;
    range.last = range.first + CDateTimeSpan(range.dayCount - 1, 23, 59, 59);
    return range;
}

std::string HtmlExport::Title(int kind, const CDateTime& selected, int length) const {
    if (kind == kHtmlKindTodo) {
        return LoadString(kIdsHtmlTitleTodo);
    }
    if (kind == kHtmlKindMonth) {
        return selected.Format(LoadString(kIdsHtmlTitleMonth));
    }
    const HtmlExportRange range = Range(kind, selected, length, m_settings.WeekStart);
    const std::string first = range.first.Format(m_settings.DateFormat);
    const std::string last = range.last.Format(m_settings.DateFormat);
    return first == last ? first : FormatString(kIdsHtmlTitleRange, {first, last});
}

// ---- Tables
// --------------------------------------------------------------------------------------

std::string HtmlExport::BuildTable(int kind, const CDateTime& selected, int length) {
    const HtmlExportRange range = Range(kind, selected, length, m_settings.WeekStart);
    switch (kind) {
    case kHtmlKindTodo:
        return TodoTable(range);
    case kHtmlKindWeek:
    case kHtmlKindFortnight:
        return WeekTable(kind, range);
    case kHtmlKindMonth:
        return MonthTable(range);
    case kHtmlKindList:
        return ListTable(range);
    default:
        return {};
    }
}

std::string HtmlExport::TodoTable(const HtmlExportRange& range) {
    const FlagList& flags = m_settings.HtmlTodoFields;
    const NameList& names = m_settings.HtmlTodoFieldnames;
    std::vector<int32_t> columns;
    for (const int32_t field : m_settings.HtmlTodoFieldorder) {
        if (field >= 0 && static_cast<size_t>(field) < flags.size() &&
            flags[static_cast<size_t>(field)]) {
            columns.push_back(field);
        }
    }

    std::string out(kTableTodo);
    out += HeaderRow(m_settings.HtmlTableHeaderColor);
    for (const int32_t field : columns) {
        const std::string name =
            static_cast<size_t>(field) < names.size() ? names[static_cast<size_t>(field)] : "";
        out += "  <th>" + Escape(name) + "</th>\n";
    }
    out += kRowEnd;

    static const std::vector<std::unique_ptr<CTodoEntry>> noTodos;
    const auto& todos = m_source.todos != nullptr ? *m_source.todos : noTodos;
    for (CTodoEntry* todo :
         CollectExportTodos(todos, range.first, range.last, m_source.todoFilter)) {
        const TodoData& data = todo->GetData();
        CTodoEntryFormatter formatter(*todo, m_formats);
        out += kRowTop;
        for (const int32_t field : columns) {
            switch (field) {
            case kFieldDate:
                out += kCellNoWrap;
                out += data.ShowDeadline != 0 ? data.Deadline.Format(m_settings.DateFormatList)
                                              : std::string("-");
                break;
            case kFieldTime:
                out += kCellNoWrap;
                out += data.ShowDeadline != 0 && data.ShowDeadlineTime != 0
                           ? data.Deadline.Format(m_settings.TimeFormatList)
                           : std::string("-");
                break;
            case kFieldState:
                out += std::string(kCell) + Escape(formatter.Expand("$STATE$"));
                break;
            case kFieldPriority:
                out += std::string(kCell) + std::to_string(data.Priority);
                break;
            case kFieldGroup:
                out += std::string(kCell) + Escape(data.Group);
                break;
            case kFieldDescription:
                out += std::string(kCell) + Escape(formatter.Expand("$DESCRIPTION$"));
                break;
            case kFieldNotes:
                out += std::string(kCell) + Escape(formatter.Expand("$NOTES$"));
                break;
            case kFieldDocument:
                out += std::string(kCell) + Escape(data.DocumentFile);
                break;
            default:
                out += kCell;
                break;
            }
            out += kCellEnd;
        }
        out += kRowEnd;
    }
    out += kTableEnd;
    return out;
}

std::vector<std::vector<DayEntry>> HtmlExport::Listing(const HtmlExportRange& range) {
    static const std::vector<std::unique_ptr<CDateEntry>> noEvents;
    DayListingOptions options;
    options.showHidden = m_source.showHidden;
    options.formatSet = kFormatSetHtmlTime;
    options.filter = m_source.eventFilter;
    return BuildDayListing(m_source.events != nullptr ? *m_source.events : noEvents,
                           range.first.GetDate(), range.dayCount, m_formats, options);
}

std::string HtmlExport::Header(const CDateTime& day, const std::string& format) const {
    std::string header = day.Format(format);
    if (m_settings.ShowWeekNumbers && IsFirstDayOfWeek(day, m_settings.WeekStart)) {
        header += ' ';
        // The week of the row's Monday, as the program's pages number it: a row from Sunday
        // belongs to the week that starts the next day.
        const CDateTime monday =
            m_settings.WeekStart == 1 ? day : day + CDateTimeSpan(1, 0, 0, 0);
        header += monday.Format(m_settings.HtmlWeekDisplayHeader);
    }
    return header;
}

std::string HtmlExport::RowStyle(const DayEntry& entry) const {
    const DateData& data = entry.event->GetData();
    std::string style;
    if (m_settings.HtmlDoneDates == 1 && entry.event->IsDone(entry.occurrenceStart)) {
        style += "text-decoration:line-through;";
    }
    if (data.Display == 2 || data.Display == 3) {
        if (m_settings.HtmlMarkedDates == 1) {
            style += data.Display == 2 ? "background-color:" + ColorText(data.DisplayColor) + ";"
                                       : "color:" + ColorText(data.FontColor) + ";";
        } else if (m_settings.HtmlMarkedDates == 2) {
            style += "font-weight:bold;";
        }
    }
    return style.empty() ? style : " style=\"" + style + "\"";
}

void HtmlExport::AppendDayContent(std::string& out, int kind, const CDateTime& day,
                                  const std::vector<DayEntry>& entries,
                                  const std::string& headerFormat) {
    const bool week = kind == kHtmlKindWeek;
    const DayLook look = LookOf(day);
    const std::string textColor = ColorText(ContrastColor(look.color));

    out += week ? kInnerWeek : kInnerDays;
    out += kInnerRow;
    out += "     <td colspan=\"2\" bgcolor=\"" + ColorText(look.color) + "\">\n";
    out += week ? kCaptionWeek : kCaptionDays;
    out += kCaptionRow;
    out += "        <td align=\"left\" style=\"color:" + textColor + "\" nowrap><b>" +
           Header(day, headerFormat) + "</b></td>\n";
    out += "        <td align=\"right\" style=\"color:" + textColor +
           (kind == kHtmlKindList ? ";font-size:100%\" nowrap>" : ";font-size:66%\" nowrap>") +
           look.holidays + "</td>\n";
    out += kCaptionRowEnd;
    out += kCaptionEnd;
    out += kCaptionCellEnd;
    out += kInnerRowEnd;

    const std::string_view timeCell = kind == kHtmlKindMonth  ? kTimeCellMonth
                                      : kind == kHtmlKindList ? kTimeCellList
                                                              : kTimeCell;
    // One description formatter per event: the time texts came with the listing.
    std::unordered_map<const CDateEntry*, CDateEntryFormatter> descriptions;
    for (const DayEntry& entry : entries) {
        auto found = descriptions.find(entry.event);
        if (found == descriptions.end()) {
            found =
                descriptions.try_emplace(entry.event, *entry.event, m_formats, kFormatSetHtmlDesc)
                    .first;
        }
        out += "    <tr" + RowStyle(entry) + ">\n";
        out += timeCell;
        out += Escape(entry.text);
        out += kCellEnd;
        out += kTextCell;
        out += Escape(found->second.FormatForDay(entry.occurrenceStart, day));
        out += kCellEnd;
        out += kInnerRowEnd;
    }
    if (entries.empty()) {
        out += kInnerRow;
        out += kNoEventCell;
        out += kInnerRowEnd;
    }
    out += kInnerEnd;
}

std::string HtmlExport::WeekTable(int kind, const HtmlExportRange& range) {
    const bool week = kind == kHtmlKindWeek;
    const bool columns = (week ? m_settings.WeekViewLayout : m_settings.FortnightViewLayout) == 0;
    const int perColumn = week ? 4 : 7;
    const int rows = columns ? perColumn : 2;
    const int cells = columns ? 2 : perColumn;
    const std::string width = std::to_string(100 / cells);
    const std::string& format =
        week ? m_settings.HtmlWeekViewHeader : m_settings.HtmlFortnightViewHeader;
    const auto listing = Listing(range);

    std::string out(week ? kTableWeek : kTableDays);
    for (int row = 0; row < rows; ++row) {
        out += kRowTop;
        for (int cell = 0; cell < cells; ++cell) {
            const int index = columns ? row + perColumn * cell : perColumn * row + cell;
            out += "  <td width=\"" + width + "%\">\n";
            if (index < range.dayCount) {
                const CDateTime day = range.first + CDateTimeSpan(index, 0, 0, 0);
                AppendDayContent(out, kind, day, listing[static_cast<size_t>(index)], format);
            } else {
                // The week grid has room for an eighth day.
                out += kDayCellEmpty;
            }
            out += kDayCellEnd;
        }
        out += kRowEnd;
    }
    out += kTableEnd;
    return out;
}

std::string HtmlExport::MonthTable(const HtmlExportRange& range) {
    const auto listing = Listing(range);
    std::string out(kTableDays);
    out += HeaderRow(m_settings.HtmlTableHeaderColor);
    const int firstWeekday = m_settings.WeekStart == 1 ? 0 : 6;
    for (int i = 0; i < 7; ++i) {
        out += "  <th width=\"14%\">" + CDateTime::GetDayName((firstWeekday + i) % 7) + "</th>\n";
    }
    out += kRowEnd;
    for (int week = 0; week < 6; ++week) {
        out += kRowTop;
        for (int weekday = 0; weekday < 7; ++weekday) {
            const int index = week * 7 + weekday;
            const CDateTime day = range.first + CDateTimeSpan(index, 0, 0, 0);
            out += kDayCell;
            AppendDayContent(out, kHtmlKindMonth, day, listing[static_cast<size_t>(index)],
                             day.GetDay() == 1 ? m_settings.HtmlFirstMonthViewHeader
                                               : m_settings.HtmlMonthViewHeader);
            out += kDayCellEnd;
        }
        out += kRowEnd;
    }
    out += kTableEnd;
    return out;
}

std::string HtmlExport::ListTable(const HtmlExportRange& range) {
    const auto listing = Listing(range);
    std::string out(kTableDays);
    for (int index = 0; index < range.dayCount; ++index) {
        const auto& entries = listing[static_cast<size_t>(index)];
        if (entries.empty() && m_settings.HtmlEmptyDates != 1) {
            continue;
        }
        const CDateTime day = range.first.GetDate() + CDateTimeSpan(index, 0, 0, 0);
        out += kRowList;
        out += kDayCell;
        AppendDayContent(out, kHtmlKindList, day, entries, m_settings.HtmlListViewHeader);
        out += kDayCellEnd;
        out += kRowEnd;
    }
    out += kTableEnd;
    return out;
}

// ---- Pages
// ---------------------------------------------------------------------------------------

HtmlPageResult HtmlExport::GeneratePage(const std::filesystem::path& templatePath,
                                        const std::filesystem::path& target, int kind,
                                        const CDateTime& selected, int length) {
    HtmlPageResult result;
    errno = 0;
    std::ifstream in(templatePath, std::ios::binary);
    const int openError = errno;
    std::error_code folderError;
    const bool folder = std::filesystem::is_directory(templatePath, folderError);
    if (!in.is_open() || folder) {
        // The system's reason tells a missing file from one the user may not read.
        const std::string why = folder          ? std::make_error_code(std::errc::is_a_directory).message()
                                : openError != 0 ? std::generic_category().message(openError)
                                                 : std::string("unknown error");
        result.ok = false;
        result.message = FormatString(kIdsCannotOpenDocument, templatePath.string());
        result.reason = templatePath.string() + ": cannot open the template for reading: " + why;
        return result;
    }
    // Read as text: every line ends with LF, whatever ended it in the file.
    std::string text;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        text += line;
        text += '\n';
    }
    if (in.bad()) {
        result.ok = false;
        result.message = FormatString(kIdsCannotOpenDocument, templatePath.string());
        result.reason = templatePath.string() + ": the template could not be read";
        return result;
    }

    ReplaceAll(text, kTableMarker, BuildTable(kind, selected, length));
    ReplaceAll(text, kTitleMarker, Escape(Title(kind, selected, length)));
    ReplaceAll(text, kLanguageMarker, LoadString(kIdsHtmlLanguage));

    try {
        const std::string bytes = ToCrLf(text);
        CAtomicFileSink sink(target);
        sink.Write(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        sink.Commit();
    } catch (const CFileException& e) {
        result.ok = false;
        result.message = FormatString(kIdsCannotWriteExport, target.string());
        result.reason = e.what();
    }
    return result;
}

} // namespace dv
