#include "document/EntryFilter.h"

#include "core/CDateTimeSpan.h"
#include "document/CDayvaultDoc.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace dv {

namespace {

// Length of the well-formed UTF-8 sequence at `pos` and its code point; 0 for an ill-formed byte.
size_t DecodeAt(std::string_view text, size_t pos, uint32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t length = 0;
    uint32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1Fu, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0Fu, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07u, minimum = 0x10000;
    }
    if (length == 0 || pos + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (next & 0x3Fu);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// Lower-cased letters all lie below U+0800, so they take two bytes.
void AppendTwoByteUtf8(std::string& out, uint32_t cp) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

// The small letter of a capital, by the same pairs that the case-blind name comparison folds.
uint32_t LowerCodePoint(uint32_t cp) {
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) {
        return cp + 0x20;
    }
    if (cp >= 0x100 && cp <= 0x17F) {
        if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) {
            return (cp % 2 == 1) ? cp + 1 : cp;
        }
        if (cp == 0x178) {
            return 0xFF;
        }
        if (cp == 0x130 || cp == 0x131 || cp == 0x138 || cp == 0x149) {
            return cp;
        }
        return (cp % 2 == 0) ? cp + 1 : cp;
    }
    if (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2) {
        return cp + 0x20;
    }
    if (cp >= 0x410 && cp <= 0x42F) {
        return cp + 0x20;
    }
    if (cp >= 0x400 && cp <= 0x40F) {
        return cp + 0x50;
    }
    return cp;
}

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

// The text the content rule searches: the description, then a blank and the notes when they are
// not empty. The blank comes even without the description, as the sidebar has always built it.
std::string SearchedText(const std::string& description, const std::string& notes, int32_t scope) {
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

bool InNameSet(const FilterState& filter, const std::string& name) {
    return filter.selection.find(name) != filter.selection.end();
}

} // namespace

std::string ToLowerText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            out += (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte + 0x20) : text[pos];
            ++pos;
            continue;
        }
        uint32_t cp = 0;
        const size_t length = DecodeAt(text, pos, cp);
        if (length == 0) {
            out += text[pos];
            ++pos;
            continue;
        }
        const uint32_t lower = LowerCodePoint(cp);
        if (lower == cp) {
            out.append(text.substr(pos, length));
        } else {
            AppendTwoByteUtf8(out, lower);
        }
        pos += length;
    }
    return out;
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
            SearchedText(data.Description, data.Notes, filter.searchFields);
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
            SearchedText(data.Description, data.Notes, filter.searchFields);
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
