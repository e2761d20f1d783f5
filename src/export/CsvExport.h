#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "export/DayListing.h"

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
class CSettings;

/// What a CSV export covers (the numbers are those of the export dialog's choice).
enum CsvExportKind : int {
    kCsvKindTodo = 0,
    kCsvKindCalendar = 1,
};

/// Calendar columns: 0 Date, 1 Weeknumber, 2 Holiday, 3 Time, 4 Category, 5 Description, 6 Notes.
constexpr int kCsvCalendarFieldCount = 7;
/// To-do columns: 0 Date, 1 Time, 2 State, 3 Priority, 4 Group, 5 Description, 6 Notes,
/// 7 Document.
constexpr int kCsvTodoFieldCount = 8;

/// The document side of an export: its lists, its current filters and the holidays of the
/// Holiday column. The lists must outlive the call; their events' scan state moves.
struct CsvExportSource {
    const std::vector<std::unique_ptr<CDateEntry>>* events = nullptr;
    const std::vector<std::unique_ptr<CTodoEntry>>* todos = nullptr;
    OccurrenceFilter eventFilter;
    TodoFilter todoFilter;
    /// Events whose Display is 1 (hidden) are exported too, as when the pages show them.
    bool showHidden = false;
    /// Without modules or settings the Holiday column is empty.
    CHolidayModuleSet* holidayModules = nullptr;
    const CHolidaySettings* holidaySettings = nullptr;
};

/// What the export dialog hands over.
struct CsvExportRequest {
    int kind = kCsvKindCalendar; ///< kCsvKindTodo or kCsvKindCalendar; any other gives no text
    CDateTime start;             ///< only its date counts
    int dayCount = 14;           ///< days from `start`, inclusive of it; 0 or less: no day
};

/// The whole export text, rows ending in LF, with the Csv* settings of `settings`. The calendar
/// kind writes one row per occurrence per day shown, in the calendar's entry order; the to-do
/// kind one row per to-do without deadline or with its deadline from the start date 00:00:00 to
/// the last day 23:59:59. Columns are not quoted or escaped beyond what the formats write. A null
/// `source` (no document) gives an empty text.
std::string BuildCsvExport(const CsvExportSource* source, const CsvExportRequest& request,
                           const CSettings& settings);

/// The delimiter of a FieldDelimiter setting: 0 ",", 1 ";", 2 tab, any other value ",".
char CsvDelimiter(int32_t setting);

/// `text` as a file opened in text mode stores it: every LF becomes CR LF.
std::string ToTextModeLineEnds(std::string_view text);

/// Writes `text` with text-mode line ends to `path`, creating or replacing it atomically: on any
/// failure the file keeps its old content (or stays absent) and CFileException naming `path` is
/// thrown.
void WriteCsvExportFile(const std::filesystem::path& path, std::string_view text);

/// The message shown when the export file cannot be written, naming its full path.
std::string CsvWriteErrorMessage(const std::filesystem::path& path);

} // namespace dv
