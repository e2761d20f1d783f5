#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "document/FilterState.h"
#include "format/FormatSettings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dv {

class CDayvaultDoc;

/// Values of FilterState::conditionFlags.
enum FilterStateFlag : int32_t {
    kPassDone = 1,    ///< done occurrences (to-dos) pass
    kPassPending = 2, ///< occurrences neither done nor snoozed (undone to-dos) pass
    kPassSnoozed = 4, ///< snoozed occurrences pass (events only)
};

/// Values of FilterState::matchMode.
enum FilterMatchMode : int32_t {
    kMatchAllWords = 1, ///< every word must occur
    kMatchAnyWord = 2,  ///< one word is enough
    kMatchExact = 3,    ///< the whole filter text as one phrase
};

/// Bits of FilterState::searchFields.
enum FilterScope : int32_t {
    kScopeDescription = 1,
    kScopeNotes = 2,
};

/// The to-do list's hide rules (settings HideDoneTodo, DaysBeforeHideTodo, HideUndoneTodo,
/// DaysBeforeShowTodo). They apply even while the document's filter switch is off.
struct TodoHideRules {
    bool hideDone = false;
    int32_t daysBeforeHide = 0; ///< a done to-do stays this many days past its deadline
    bool hideUndone = false;
    int32_t daysBeforeShow = 0; ///< an undone to-do shows this many days before its deadline
};

/// The text the content rule searches, before expansion: the description (scope bit 1), then a
/// blank and the notes when the notes are not empty (scope bit 2).
std::string FilterSearchedText(const std::string& description, const std::string& notes,
                               int32_t scope);

/// The content rule on an already expanded `text`: both sides are lower-cased; the filter text is
/// split into words at blanks, tabs, CR and LF (in mode kMatchExact it is one word, blanks and
/// all). kMatchAllWords needs at least one word and every word as a substring; any other mode
/// passes when one word occurs. An empty filter text therefore never passes.
bool MatchesContent(std::string_view text, std::string_view filterText, int32_t mode);

/// True when the filter can hide entries: the switch is on and a rule is on that does not pass
/// everything (a category or group rule with names chosen, a content rule, a state rule without
/// all three states). A category or group rule with no name chosen passes every entry.
bool FilterRestricts(const FilterState& filter, bool filterSwitch);

/// The event filter for the occurrence starting at `occurrenceStart`: pass when `filterSwitch` is
/// off; otherwise the category, content and state conditions that are on must all hold. The
/// content is matched after placeholder expansion for that occurrence (so it matches what the
/// views show); expansion keeps the event's scan state.
bool PassesEventFilter(const FilterState& filter, bool filterSwitch, CDateEntry& event,
                       const CDateTime& occurrenceStart, const FormatSettings& formats);

/// As above with the document's event filter and filter switch.
bool PassesEventFilter(const CDayvaultDoc& doc, CDateEntry& event, const CDateTime& occurrenceStart,
                       const FormatSettings& formats);

/// The to-do test at `now`: first the two hide rules (in force whatever the switch), then, with
/// the switch on, the group, content and state conditions that are on. The deadline counts at
/// 00:00:00 of its date unless ShowDeadlineTime is set.
bool PassesTodoFilter(const FilterState& filter, bool filterSwitch, const TodoHideRules& hide,
                      const CDateTime& now, CTodoEntry& todo, const FormatSettings& formats);

/// As above with the document's to-do filter, filter switch and current time.
bool PassesTodoFilter(const CDayvaultDoc& doc, const TodoHideRules& hide, CTodoEntry& todo,
                      const FormatSettings& formats);

} // namespace dv
