#include "document/Search.h"

#include "core/CDateTimeSpan.h"
#include "core/TextCompare.h"
#include "document/CDayvaultDoc.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <algorithm>

namespace dv {

namespace {

const CDateTime kEarliest(1900, 1, 1, 0, 0, 0);
const CDateTime kLatest(2100, 12, 31, 23, 59, 59);

CDateTime AtTime(const CDateTime& date, int hour, int minute, int second) {
    return date.GetDate() + CDateTimeSpan(0, hour, minute, second);
}

} // namespace

// The count line, with the number in place of "%d".
std::string SearchCountLine(size_t rowCount) {
    const bool cut = rowCount >= static_cast<size_t>(kSearchRowLimit);
    if (rowCount == 1) {
        return LoadString(kIdsSearchReturnedOne);
    }
    std::string text = LoadString(cut ? kIdsSearchTerminated : kIdsSearchReturned);
    const std::string number = std::to_string(cut ? kSearchRowLimit : rowCount);
    if (const size_t at = text.find("%d"); at != std::string::npos) {
        text.replace(at, 2, number);
    }
    return text;
}

namespace {

bool RowLess(const SearchRow& a, const SearchRow& b, int32_t column) {
    if (column == kSortByDate) {
        if (a.hasDate != b.hasDate) {
            return a.hasDate;
        }
        if (a.hasDate) {
            return a.date < b.date;
        }
    }
    return CompareNoCase(a.text, b.text) < 0;
}

} // namespace

void SearchWindow(const SearchRange& range, const CDateTime& today, CDateTime& start,
                  CDateTime& end) {
    if (range.kind == 2) {
        const int32_t days = range.unit == 2 ? range.count * 7 : range.count;
        const CDateTimeSpan span(days, 0, 0, 0);
        const CDateTime day = today.GetDate();
        start = range.direction == 1 ? day : day - span;
        end = range.direction == 3 ? day : day + span;
    } else {
        start = range.from;
        end = range.to;
    }
    start = std::max(AtTime(start, 0, 0, 0), kEarliest);
    end = std::min(AtTime(end, 23, 59, 59), kLatest);
}

void SortSearchRows(std::vector<SearchRow>& rows, int32_t sortKey) {
    const int32_t column = sortKey < 0 ? -sortKey : sortKey;
    if (column != kSortByDate && column != kSortByDescription) {
        return;
    }
    if (sortKey > 0) {
        std::stable_sort(
            rows.begin(), rows.end(),
            [column](const SearchRow& a, const SearchRow& b) { return RowLess(a, b, column); });
    } else {
        std::stable_sort(
            rows.begin(), rows.end(),
            [column](const SearchRow& a, const SearchRow& b) { return RowLess(b, a, column); });
    }
}

EventSearch::EventSearch(const CDayvaultDoc& doc, const SearchRange& range,
                         const FormatSettings& formats, std::string dateFormatList)
    : m_doc(&doc), m_formats(formats), m_dateFormatList(std::move(dateFormatList)) {
    SearchWindow(range, doc.GetNow(), m_first, m_last);
}

bool EventSearch::IsComplete() const {
    return m_next >= m_doc->GetDateEntryCount() || m_first > m_last ||
           m_rows.size() >= static_cast<size_t>(kSearchRowLimit);
}

bool EventSearch::Step(int count) {
    const FilterState& filter = m_doc->GetEventFilter();
    const bool filterOn = m_doc->GetFilterSwitch();
    // The filter without its text rule, for events whose text was decided once.
    FilterState withoutText = filter;
    withoutText.textSearchOn = false;
    for (const int stop = m_next + count; m_next < stop && !IsComplete(); ++m_next) {
        CDateEntry& event = *m_doc->GetDateEntry(m_next);
        const DateData& data = event.GetData();
        const FilterState* perOccurrence = &filter;
        if (filterOn) {
            if (filter.selectionOn &&
                filter.selection.find(data.Category) == filter.selection.end()) {
                continue;
            }
            if (filter.textSearchOn) {
                const std::string searched =
                    FilterSearchedText(data.Description, data.Notes, filter.searchFields);
                // Without a placeholder the text is the same for every occurrence.
                if (searched.find('$') == std::string::npos) {
                    if (!MatchesContent(searched, filter.searchText, filter.matchMode)) {
                        continue;
                    }
                    perOccurrence = &withoutText;
                }
            }
        }
        CDateTime start;
        CDateTime end;
        for (bool found = event.FindFirstOccurrence(m_first, m_last, start, end); found;
             found = event.FindNextOccurrence(m_first, m_last, start, end)) {
            if (!PassesEventFilter(*perOccurrence, filterOn, event, start, m_formats)) {
                continue;
            }
            CDateEntryFormatter formatter(event, m_formats);
            m_rows.push_back({&event, nullptr, start.Format(m_dateFormatList),
                              formatter.Expand(data.Description, start, start), start, true});
            break;
        }
    }
    return IsComplete();
}

SearchResult EventSearch::Result(int32_t sortKey) const {
    SearchResult result;
    result.rows = m_rows;
    result.message = SearchCountLine(result.rows.size());
    SortSearchRows(result.rows, sortKey);
    return result;
}

SearchResult SearchEvents(const CDayvaultDoc& doc, const SearchRange& range,
                          const FormatSettings& formats, const std::string& dateFormatList,
                          int32_t sortKey) {
    EventSearch search(doc, range, formats, dateFormatList);
    while (!search.Step(doc.GetDateEntryCount())) {
    }
    return search.Result(sortKey);
}

SearchResult SearchTodos(const CDayvaultDoc& doc, const SearchRange& range,
                         const TodoHideRules& hide, const FormatSettings& formats,
                         const std::string& dateFormatList, int32_t sortKey) {
    CDateTime first;
    CDateTime last;
    SearchWindow(range, doc.GetNow(), first, last);
    SearchResult result;
    for (int i = 0; i < doc.GetTodoCount() && first <= last &&
                    result.rows.size() < static_cast<size_t>(kSearchRowLimit);
         ++i) {
        CTodoEntry& todo = *doc.GetTodoEntry(i);
        const bool hasDate = todo.GetData().ShowDeadline != 0;
        const CDateTime deadline = todo.GetEffectiveDeadline();
        if (hasDate && (deadline < first || deadline > last)) {
            continue;
        }
        if (!PassesTodoFilter(doc, hide, todo, formats)) {
            continue;
        }
        CTodoEntryFormatter formatter(todo, formats);
        result.rows.push_back({nullptr, &todo, hasDate ? deadline.Format(dateFormatList) : "",
                               formatter.Expand(todo.GetData().Description),
                               hasDate ? deadline : CDateTime(), hasDate});
    }
    result.message = SearchCountLine(result.rows.size());
    SortSearchRows(result.rows, sortKey);
    return result;
}

} // namespace dv
