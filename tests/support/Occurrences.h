#pragma once

// The occurrence scan as callers write it: first, then next until nothing is left.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"

#include <cstddef>
#include <type_traits>
#include <vector>

namespace dv::test {

/// Calls visit(start, end) for every occurrence of `entry` overlapping [a, b], in order, through
/// the record's own scan; a visit that returns false ends the scan. At most `limit` visits, so a
/// scan that never ends fails its test instead of hanging it.
template <class Visit>
void ForEachOccurrence(CDateEntry& entry, const CDateTime& a, const CDateTime& b, Visit visit,
                       size_t limit = 100000) {
    CDateTime start;
    CDateTime end;
    size_t count = 0;
    for (bool found = entry.FindFirstOccurrence(a, b, start, end); found && count < limit;
         found = entry.FindNextOccurrence(a, b, start, end), ++count) {
        if constexpr (std::is_same_v<
                          std::invoke_result_t<Visit&, const CDateTime&, const CDateTime&>, bool>) {
            if (!visit(static_cast<const CDateTime&>(start), static_cast<const CDateTime&>(end))) {
                return;
            }
        } else {
            visit(static_cast<const CDateTime&>(start), static_cast<const CDateTime&>(end));
        }
    }
}

/// The starts of the occurrences overlapping [a, b], at most `limit` of them.
inline std::vector<CDateTime> OccurrenceStarts(CDateEntry& entry, const CDateTime& a,
                                               const CDateTime& b, size_t limit = 100000) {
    std::vector<CDateTime> starts;
    ForEachOccurrence(
        entry, a, b, [&](const CDateTime& start, const CDateTime&) { starts.push_back(start); },
        limit);
    return starts;
}

} // namespace dv::test
