#include "export/CsvExport.h"

#include "core/ByteStream.h"
#include "core/TextCompare.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "holidays/CHolidayModuleSet.h"
#include "settings/CSettings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace dv {

namespace {

// The column settings shared by both kinds.
struct CsvLayout {
    char delimiter = ',';
    bool removeDelimiter = false;
    bool namesInFirstRow = false;
    std::vector<int> columns; // enabled field indices in column order
};

bool FieldEnabled(const FlagList& flags, int32_t field) {
    return static_cast<size_t>(field) < flags.size() && flags[static_cast<size_t>(field)];
}

CsvLayout MakeLayout(int32_t delimiter, bool removeDelimiter, bool namesInFirstRow,
                     const FlagList& flags, const NumberList& order, int fieldCount) {
    CsvLayout layout;
    layout.delimiter = CsvDelimiter(delimiter);
    layout.removeDelimiter = removeDelimiter;
    layout.namesInFirstRow = namesInFirstRow;
    for (int32_t field : order) {
        // Entries that name no field are skipped; a field listed twice is written twice.
        if (field >= 0 && field < fieldCount && FieldEnabled(flags, field)) {
            layout.columns.push_back(field);
        }
    }
    return layout;
}

void AppendHeader(std::string& out, const CsvLayout& layout, const NameList& names) {
    if (!layout.namesInFirstRow) {
        return;
    }
    for (size_t i = 0; i < layout.columns.size(); ++i) {
        if (i > 0) {
            out += layout.delimiter;
        }
        const auto field = static_cast<size_t>(layout.columns[i]);
        if (field < names.size()) {
            out += names[field];
        }
    }
    out += '\n';
}

// One column text as it goes into a row: without the delimiter when asked, and with every CR LF
// pair turned into a blank so that a multi-line note keeps its row on one line.
void AppendColumn(std::string& out, std::string_view text, const CsvLayout& layout) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (layout.removeDelimiter && c == layout.delimiter) {
            continue;
        }
        if (c == '\r') {
            // The pair may only form once the delimiter between its halves is gone.
            size_t next = i + 1;
            while (layout.removeDelimiter && next < text.size() && text[next] == layout.delimiter) {
                ++next;
            }
            if (next < text.size() && text[next] == '\n') {
                out += ' ';
                i = next;
                continue;
            }
        }
        out += c;
    }
}

template <class ColumnText>
void AppendRow(std::string& out, const CsvLayout& layout, ColumnText&& columnText) {
    for (size_t i = 0; i < layout.columns.size(); ++i) {
        if (i > 0) {
            out += layout.delimiter;
        }
        AppendColumn(out, columnText(layout.columns[i]), layout);
    }
    out += '\n';
}

void AppendCalendar(std::string& out, const CsvExportSource& source,
                    const CsvExportRequest& request, const CSettings& settings) {
    const CsvLayout layout =
        MakeLayout(settings.CsvCalendarFieldDelimiter, settings.CsvCalendarRemoveDelimiter,
                   settings.CsvCalendarFieldnamesInFirstRow, settings.CsvCalendarFields,
                   settings.CsvCalendarFieldorder, kCsvCalendarFieldCount);
    AppendHeader(out, layout, settings.CsvCalendarFieldnames);
    if (source.events == nullptr || request.dayCount <= 0) {
        return;
    }
    const FormatSettings formats = settings.GetFormatSettings();
    DayListingOptions options;
    options.showHidden = source.showHidden;
    options.formatSet = kFormatSetCsvTime;
    options.filter = source.eventFilter;
    const CDateTime first = request.start.GetDate();
    const auto listing = BuildDayListing(*source.events, first, request.dayCount, formats, options);
    const bool wantsHoliday =
        std::find(layout.columns.begin(), layout.columns.end(), 2) != layout.columns.end() &&
        source.holidayModules != nullptr && source.holidaySettings != nullptr;

    for (size_t dayIndex = 0; dayIndex < listing.size(); ++dayIndex) {
        const std::vector<DayEntry>& entries = listing[dayIndex];
        if (entries.empty()) {
            continue;
        }
        const CDateTime day =
            CDateTime::FromDayNumber(first.GetDayNumber() + static_cast<int32_t>(dayIndex));
        const std::string date = day.Format(settings.CsvCalendarDate);
        const std::string week = day.Format(settings.CsvCalendarWeeknumber);
        const std::string holiday =
            wantsHoliday ? source.holidayModules->ExportText(day, *source.holidaySettings,
                                                             settings.HolidayShowLanguage)
                         : std::string();
        for (const DayEntry& entry : entries) {
            CDateEntryFormatter formatter(*entry.event, formats, kFormatSetCsvTime);
            AppendRow(out, layout, [&](int field) -> std::string {
                switch (field) {
                case 0:
                    return date;
                case 1:
                    return week;
                case 2:
                    return holiday;
                case 3:
                    // A day without a time of day (the format's one blank) has an empty field.
                    return entry.text.find_first_not_of(' ') == std::string::npos ? std::string()
                                                                                    : entry.text;
                case 4:
                    return formatter.Expand(settings.CsvCalendarCategory, entry.occurrenceStart,
                                            day);
                case 5:
                    return formatter.Expand(settings.CsvCalendarDescription, entry.occurrenceStart,
                                            day);
                default:
                    return formatter.Expand(settings.CsvCalendarNotes, entry.occurrenceStart, day);
                }
            });
        }
    }
}

// The to-dos of the export in the exports' order.
std::vector<CTodoEntry*> CollectTodos(const CsvExportSource& source,
                                      const CsvExportRequest& request) {
    if (source.todos == nullptr) {
        return {};
    }
    const CDateTime first = request.start.GetDate();
    const CDateTime last = first + CDateTimeSpan(request.dayCount - 1, 23, 59, 59);
    return CollectExportTodos(*source.todos, first, last, source.todoFilter);
}

void AppendTodos(std::string& out, const CsvExportSource& source, const CsvExportRequest& request,
                 const CSettings& settings) {
    const CsvLayout layout =
        MakeLayout(settings.CsvTodoFieldDelimiter, settings.CsvTodoRemoveDelimiter,
                   settings.CsvTodoFieldnamesInFirstRow, settings.CsvTodoFields,
                   settings.CsvTodoFieldorder, kCsvTodoFieldCount);
    AppendHeader(out, layout, settings.CsvTodoFieldnames);
    const FormatSettings formats = settings.GetFormatSettings();
    for (CTodoEntry* todo : CollectTodos(source, request)) {
        const TodoData& data = todo->GetData();
        CTodoEntryFormatter formatter(*todo, formats);
        AppendRow(out, layout, [&](int field) -> std::string {
            switch (field) {
            case 0:
                return data.ShowDeadline != 0 ? data.Deadline.Format(settings.CsvTodoDate)
                                              : std::string();
            case 1:
                return data.ShowDeadline != 0 && data.ShowDeadlineTime != 0
                           ? data.Deadline.Format(settings.CsvTodoTime)
                           : std::string();
            case 2:
                return formatter.Expand(settings.CsvTodoState);
            case 3:
                return formatter.Expand(settings.CsvTodoPriority);
            case 4:
                return formatter.Expand(settings.CsvTodoGroup);
            case 5:
                return formatter.Expand(settings.CsvTodoDescription);
            case 6:
                return formatter.Expand(settings.CsvTodoNotes);
            default:
                return formatter.Expand(settings.CsvTodoDocument);
            }
        });
    }
}

} // namespace

std::string BuildCsvExport(const CsvExportSource* source, const CsvExportRequest& request,
                           const CSettings& settings) {
    std::string out;
    if (source == nullptr) {
        return out;
    }
    if (request.kind == kCsvKindCalendar) {
        AppendCalendar(out, *source, request, settings);
    } else if (request.kind == kCsvKindTodo) {
        AppendTodos(out, *source, request, settings);
    }
    return out;
}

char CsvDelimiter(int32_t setting) {
    switch (setting) {
    case 1:
        return ';';
    case 2:
        return '\t';
    default:
        return ',';
    }
}

std::string ToTextModeLineEnds(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

void WriteCsvExportFile(const std::filesystem::path& path, std::string_view text) {
    const std::string bytes = ToTextModeLineEnds(text);
    CAtomicFileSink sink(path);
    sink.Write(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    sink.Commit();
}

std::string CsvWriteErrorMessage(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return FormatString(kIdsCannotWriteExport, (error ? path : full).string());
}

} // namespace dv
