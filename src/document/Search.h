#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "document/EntryFilter.h"
#include "format/FormatSettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dv {

class CDayvaultDoc;

/// The search stops collecting rows at this count.
constexpr int kSearchRowLimit = 1000;

/// The sidebar's search range: kind 1 uses the two picker dates, kind 2 a span of `count` days
/// (unit 1) or weeks (unit 2) from today (direction 1), around today (2) or up to today (3).
struct SearchRange {
    int32_t kind = 1;
    CDateTime from;
    CDateTime to;
    int32_t count = 1;     ///< 1..10
    int32_t unit = 1;      ///< 1 days, 2 weeks
    int32_t direction = 1; ///< 1 from, 2 around, 3 to today
};

/// The window the search scans, both ends inclusive: the start at 00:00:00, the end at 23:59:59,
/// kept within 1 January 1900 00:00:00 .. 31 December 2100 23:59:59. `today` counts by its date.
/// An unknown kind counts as kind 1; an unknown unit or direction as days and "from".
void SearchWindow(const SearchRange& range, const CDateTime& today, CDateTime& start,
                  CDateTime& end);

/// One row of the result list. Event rows always have a date; a to-do row has one when the to-do
/// has a deadline.
struct SearchRow {
    CDateEntry* event = nullptr; ///< the event the row names (null for a to-do row)
    CTodoEntry* todo = nullptr;  ///< the to-do the row names (null for an event row)
    std::string dateText;        ///< the "Date" column: the date in DateFormatList; empty without
    std::string text;            ///< the "Description" column, placeholders expanded
    CDateTime date;              ///< the occurrence start, or the effective deadline
    bool hasDate = true;
};

/// The rows and the count line of one search.
struct SearchResult {
    std::vector<SearchRow> rows;
    /// "Search returned %d results" with the row count, or, once the limit was reached, "More
    /// than %d results, search terminated" with the limit.
    std::string message;
};

/// Sort keys: the column number, negative for descending order; 0 keeps the search order.
enum SearchSortColumn : int32_t {
    kSortByDate = 1,
    kSortByDescription = 2,
};

/// Sorts rows by `sortKey`: by date (dated rows before undated ones, dated rows by date-time,
/// undated ones by their text without regard to case) or by text without regard to case; a
/// negative key reverses the order. Equal rows keep their order; other keys change nothing.
void SortSearchRows(std::vector<SearchRow>& rows, int32_t sortKey);

/// The event search: for each event of the document in list order, until kSearchRowLimit rows
/// are collected, the first occurrence in the window that passes the document's event filter
/// gives one row (its start in `dateFormatList`, the description expanded for it). The rows are
/// then sorted by `sortKey`. Event scan states move.
SearchResult SearchEvents(const CDayvaultDoc& doc, const SearchRange& range,
                          const FormatSettings& formats, const std::string& dateFormatList,
                          int32_t sortKey);

/// The count line of a search that collected `rowCount` rows.
std::string SearchCountLine(size_t rowCount);

/// The event search in slices, so that a caller can give way between them and drop a search
/// that the user has overtaken by changing what is searched. Each event is tested in list order
/// as SearchEvents does; an event whose searched text names no placeholder has its text and
/// category tested once instead of for each occurrence. The document must not change between
/// steps (start a new search when it does).
class EventSearch {
public:
    EventSearch(const CDayvaultDoc& doc, const SearchRange& range, const FormatSettings& formats,
                std::string dateFormatList);
    /// Looks at up to `count` more events; true once the search is complete.
    bool Step(int count);
    bool IsComplete() const;
    /// The rows found so far sorted by `sortKey`, with the count line.
    SearchResult Result(int32_t sortKey) const;

private:
    const CDayvaultDoc* m_doc;
    FormatSettings m_formats;
    std::string m_dateFormatList;
    CDateTime m_first;
    CDateTime m_last;
    int m_next = 0;
    std::vector<SearchRow> m_rows;
};

/// The to-do search: the document's to-dos in list order that pass the to-do filter (with the
/// hide rules) and whose effective deadline lies in the window give one row each; to-dos without
/// a deadline are not bound by the window and give undated rows. Same limit, messages and sorting.
SearchResult SearchTodos(const CDayvaultDoc& doc, const SearchRange& range,
                         const TodoHideRules& hide, const FormatSettings& formats,
                         const std::string& dateFormatList, int32_t sortKey);

} // namespace dv
