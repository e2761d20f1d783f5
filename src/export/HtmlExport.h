#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "export/DayListing.h"
#include "format/FormatSettings.h"
#include "settings/CSettings.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

class CHolidayModuleSet;
class CHolidaySettings;

/// The kinds of page the HTML export writes.
enum HtmlExportKind : int {
    kHtmlKindTodo = 0,
    kHtmlKindWeek = 1,
    kHtmlKindFortnight = 2,
    kHtmlKindMonth = 3,
    kHtmlKindList = 4,
};

/// What a page is made of. The lists and the module set are not owned and must outlive the
/// export; a null list counts as empty, a null module set or settings as no holidays.
struct HtmlExportSource {
    const std::vector<std::unique_ptr<CDateEntry>>* events = nullptr;
    const std::vector<std::unique_ptr<CTodoEntry>>* todos = nullptr;
    OccurrenceFilter eventFilter;
    TodoFilter todoFilter;
    /// Events whose Display is 1 (hidden) are shown too.
    bool showHidden = false;
    CHolidayModuleSet* holidays = nullptr;
    const CHolidaySettings* holidaySettings = nullptr;
};

/// The days a page covers: `first` (with the selected time for the to-do and list kinds, else at
/// 00:00:00) to `last` at 23:59:59, both inclusive; `dayCount` days.
struct HtmlExportRange {
    CDateTime first;
    CDateTime last;
    int dayCount = 0;
};

/// How generating a page ended. On failure `message` is the text for the user (the stop-icon
/// message naming the file) and `reason` what the system said; nothing was written.
struct HtmlPageResult {
    bool ok = true;
    std::string message;
    std::string reason;
};

/// Writes the to-do list or a stretch of the calendar as an HTML table and puts it into a
/// template in place of every "$TABLE$". Colours, header formats, the texts per event (format
/// sets 3 and 4) and the to-do columns come from the Html* settings.
///
/// Building a table scans the events' occurrences, so their scan state moves. The export keeps a
/// copy of the settings; the lists and modules of the source must outlive it.
class HtmlExport {
public:
    HtmlExport(const CSettings& settings, HtmlExportSource source);

    /// The range of a page for `selected` and `length` days (a length below 1 counts as 1; only
    /// the to-do and list kinds use it). Week, fortnight and month pages start on the first day of
    /// the week (Monday when `weekStart` is 1, else Sunday) on or before the selected date (the
    /// month page: before the 1st of its month, a whole week back when the 1st already starts a
    /// week) and cover 7, 14 or 42 days. An unknown kind gives the selected day alone.
    static HtmlExportRange Range(int kind, const CDateTime& selected, int length,
                                 int32_t weekStart);

    /// The table of `kind` (HtmlExportKind) for the range above; empty for an unknown kind.
    std::string BuildTable(int kind, const CDateTime& selected, int length);

    /// Reads the template (line by line, each line ended by LF), replaces every "$TABLE$" by the
    /// table, every "$TITLE$" by Title() and every "$LANGUAGE$" by the language's code for the
    /// page's lang attribute, and writes the result to `target` with every LF as CR LF. The target is replaced
    /// only when the whole text was written; on failure it keeps what it held.
    HtmlPageResult GeneratePage(const std::filesystem::path& templatePath,
                                const std::filesystem::path& target, int kind,
                                const CDateTime& selected, int length);

    /// The page's heading: the month and year of a month page, the first and last day of a week,
    /// fortnight or list page, the title of the to-do list.
    std::string Title(int kind, const CDateTime& selected, int length) const;

    /// The template setting of a kind (HtmlTemplateTodo ... HtmlTemplateList); empty for an
    /// unknown kind.
    static const std::string& TemplateSetting(const CSettings& settings, int kind);

    /// The first "dvtNNNN.html" in `folder` (NNNN from 0000 counting up) that cannot be opened
    /// for reading, so an earlier preview still open elsewhere is never overwritten. Empty when
    /// every number up to 999999 is taken.
    static std::filesystem::path NextPreviewPath(const std::filesystem::path& folder);

    /// Text from events and to-dos made safe for HTML: "&", the double quote, "<" and ">" as
    /// entities, the German umlauts and sharp s as named entities, and CR LF as "<br>".
    static std::string Escape(std::string_view text);
    /// "#RRGGBB" of a 0x00BBGGRR colour, upper-case digits.
    static std::string ColorText(uint32_t color);
    /// White (0xFFFFFF) for text on a dark `background` (luminance below 128), else black.
    static uint32_t ContrastColor(uint32_t background);

    /// The holidays of `day` as one cell text (names joined by "<br>", with the language
    /// abbreviation in brackets when HolidayShowLanguage is set); "&nbsp;" when it has none.
    std::string HolidayText(const CDateTime& day);
    /// The header background of `day`: the holiday colour on holidays, else the Saturday or
    /// Sunday colour, else the normal colour.
    uint32_t DayColor(const CDateTime& day);

private:
    struct DayLook;
    DayLook LookOf(const CDateTime& day);

    std::string TodoTable(const HtmlExportRange& range);
    std::string WeekTable(int kind, const HtmlExportRange& range);
    std::string MonthTable(const HtmlExportRange& range);
    std::string ListTable(const HtmlExportRange& range);
    std::vector<std::vector<DayEntry>> Listing(const HtmlExportRange& range);
    void AppendDayContent(std::string& out, int kind, const CDateTime& day,
                          const std::vector<DayEntry>& entries, const std::string& headerFormat);
    std::string RowStyle(const DayEntry& entry) const;
    std::string Header(const CDateTime& day, const std::string& format) const;

    CSettings m_settings;
    HtmlExportSource m_source;
    FormatSettings m_formats;
};

} // namespace dv
