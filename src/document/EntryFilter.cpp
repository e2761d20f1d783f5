#include "document/EntryFilter.h"

#include "core/CDateTimeSpan.h"
#include "core/TextCompare.h"
#include "document/CDayvaultDoc.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace dv {

namespace {

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t begin = text.find_first_not_of(" \t\r\n", pos);
        if (begin == std::string_view::npos) {
            break;
        }
        const size_t end = std::min(text.find_first_of(" \t\r\n", begin), text.size());
        words.push_back(text.substr(begin, end - begin));
        pos = end;
    }
    return words;
}

// With nothing chosen the category rule restricts nothing: ticking the box before choosing
// would otherwise empty the calendar.
bool InNameSet(const FilterState& filter, const std::string& name) {
    return filter.selection.empty() || filter.selection.find(name) != filter.selection.end();
}

} // namespace

// The blank comes even without the description, as the sidebar has always built it.
std::string FilterSearchedText(const std::string& description, const std::string& notes,
                               int32_t scope) {
    std::string text;
    if ((scope & kScopeDescription) != 0) {
        text = description;
    }
    if ((scope & kScopeNotes) != 0 && !notes.empty()) {
        text += ' ';
        text += notes;
    }
    return text;
}

bool MatchesContent(std::string_view text, std::string_view filterText, int32_t mode) {
    const std::string haystack = ToLowerText(text);
    const std::string needle = ToLowerText(filterText);
    std::vector<std::string_view> words;
    if (mode == kMatchExact) {
        words.push_back(needle);
    } else {
        words = SplitWords(needle);
    }
    const auto occurs = [&](std::string_view word) {
        return haystack.find(word) != std::string::npos;
    };
    if (mode == kMatchAllWords) {
        return !words.empty() && std::all_of(words.begin(), words.end(), occurs);
    }
    // An empty phrase would occur everywhere; an empty filter lets nothing through.
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return !word.empty() && occurs(word); });
}

bool PassesEventFilter(const FilterState& filter, bool filterSwitch, CDateEntry& event,
                       const CDateTime& occurrenceStart, const FormatSettings& formats) {
    if (!filterSwitch) {
        return true;
    }
    const DateData& data = event.GetData();
    if (filter.selectionOn && !InNameSet(filter, data.Category)) {
        return false;
    }
    if (filter.textSearchOn) {
        const std::string searched =
            FilterSearchedText(data.Description, data.Notes, filter.searchFields);
        CDateEntryFormatter formatter(event, formats);
        const std::string expanded = formatter.Expand(searched, occurrenceStart, occurrenceStart);
        if (!MatchesContent(expanded, filter.searchText, filter.matchMode)) {
            return false;
        }
    }
    if (filter.conditionOn) {
        const bool done = event.IsDone(occurrenceStart);
        const bool snoozed = event.IsSnoozed(occurrenceStart);
        const int32_t flags = filter.conditionFlags;
        return ((flags & kPassDone) != 0 && done) ||
               ((flags & kPassPending) != 0 && !done && !snoozed) ||
               ((flags & kPassSnoozed) != 0 && snoozed);
    }
    return true;
}

bool FilterRestricts(const FilterState& filter, bool filterSwitch) {
    return filterSwitch && ((filter.selectionOn && !filter.selection.empty()) ||
                            filter.textSearchOn ||
                            (filter.conditionOn && (filter.conditionFlags & 7) != 7));
}

bool PassesEventFilter(const CDayvaultDoc& doc, CDateEntry& event, const CDateTime& occurrenceStart,
                       const FormatSettings& formats) {
    return PassesEventFilter(doc.GetEventFilter(), doc.GetFilterSwitch(), event, occurrenceStart,
                             formats);
}

bool PassesTodoFilter(const FilterState& filter, bool filterSwitch, const TodoHideRules& hide,
                      const CDateTime& now, CTodoEntry& todo, const FormatSettings& formats) {
    const TodoData& data = todo.GetData();
    const bool hasDeadline = data.ShowDeadline != 0;
    const CDateTime deadline = todo.GetEffectiveDeadline();
    if (hide.hideDone && todo.IsDone()) {
        if (!hasDeadline || now >= deadline + CDateTimeSpan(hide.daysBeforeHide, 0, 0, 0)) {
            return false;
        }
    }
    if (hide.hideUndone && !todo.IsDone() && hasDeadline &&
        now < deadline - CDateTimeSpan(hide.daysBeforeShow, 0, 0, 0)) {
        return false;
    }
    if (!filterSwitch) {
        return true;
    }
    if (filter.selectionOn && !InNameSet(filter, data.Group)) {
        return false;
    }
    if (filter.textSearchOn) {
        const std::string searched =
            FilterSearchedText(data.Description, data.Notes, filter.searchFields);
        CTodoEntryFormatter formatter(todo, formats);
        if (!MatchesContent(formatter.Expand(searched), filter.searchText, filter.matchMode)) {
            return false;
        }
    }
    if (filter.conditionOn) {
        const int32_t flags = filter.conditionFlags;
        return ((flags & kPassDone) != 0 && todo.IsDone()) ||
               ((flags & kPassPending) != 0 && !todo.IsDone());
    }
    return true;
}

bool PassesTodoFilter(const CDayvaultDoc& doc, const TodoHideRules& hide, CTodoEntry& todo,
                      const FormatSettings& formats) {
    return PassesTodoFilter(doc.GetTodoFilter(), doc.GetFilterSwitch(), hide, doc.GetNow(), todo,
                            formats);
}

} // namespace dv
