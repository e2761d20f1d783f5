#pragma once

#include "core/CDateTime.h"

#include <cstdint>
#include <string>

namespace dv {

/// The user data of a to-do: everything the to-do editor edits. The field names are also the keys
/// of the text backup. Booleans are int32 0/1; values are kept as read, however out of range.
struct TodoData {
    std::string GUID;                  ///< identity, 38-character braced upper-case form
    int32_t StorageType = 0;           ///< 0 local, 1 shared
    std::string Group;                 ///< the to-do list groups and filters by it
    std::string Description;           ///< one-line text
    std::string Notes;                 ///< free text, may hold line breaks
    CDateTime Deadline;                ///< its time of day counts only with ShowDeadlineTime
    int32_t ShowDeadline = 1;          ///< the to-do has a deadline at all
    int32_t ShowDeadlineTime = 0;      ///< 0: the deadline is 00:00:00 of the deadline's date
    int32_t Forewarn = 1;              ///< a forewarn interval before the deadline is in force
    int32_t ForewarnSpan = 3;          ///< length of the interval in ForewarnUnit
    int32_t ForewarnUnit = 2;          ///< TimeUnit: 0 minutes, 1 hours, 2 days, 3 weeks
    int32_t Priority = 1;              ///< 1 to 10 as chosen in the editor
    int32_t AssociateDocumentFile = 0; ///< DocumentFile is in use
    std::string DocumentFile;          ///< a document that belongs to the to-do

    /// All 14 fields equal: strings byte by byte, the deadline by value.
    friend bool operator==(const TodoData&, const TodoData&) = default;
};

} // namespace dv
