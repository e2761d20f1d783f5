#pragma once

#include "core/TextCompare.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

namespace dv {

/// A sorted set of category or group names, ordered without regard to letter case: inserting a
/// name that differs from one already in the set only in letter case is ignored, so the first
/// spelling stays.
using NameSet = std::set<std::string, NoCaseLess>;

/// True when both sets hold the same names up to letter case (the set comparison that decides
/// whether a rebuilt category or group set counts as a change).
inline bool SameNames(const NameSet& a, const NameSet& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(),
        [](const std::string& x, const std::string& y) { return EqualsNoCase(x, y); });
}

/// What the search and filter sidebar has set for one kind of entry (the calendar pages or the
/// to-do page). The document stores it and tells the views when it changes; the matching rules
/// belong to the sidebar.
struct FilterState {
    bool selectionOn = false;   ///< only the names in `selection` pass
    NameSet selection;          ///< categories (groups) that pass
    bool conditionOn = false;   ///< the state condition applies
    int32_t conditionFlags = 7; ///< 1 done, 2 neither done nor snoozed, 4 snoozed
    bool textSearchOn = false;  ///< the text condition applies
    int32_t matchMode = 1;      ///< 1 every word, 2 any word, 3 the whole text as one phrase
    int32_t searchFields = 3;   ///< 1 the description, 2 the notes
    std::string searchText;     ///< the words to look for

    /// The state after loading or restoring: everything passes, and the selection holds every
    /// name of `allNames` for when the user switches it on.
    static FilterState PassAll(const NameSet& allNames) {
        FilterState state;
        state.selection = allNames;
        return state;
    }

    /// Field by field; names in the selection compare exactly, so a change of letter case in a
    /// selected name counts as a change.
    friend bool operator==(const FilterState&, const FilterState&) = default;
};

} // namespace dv
