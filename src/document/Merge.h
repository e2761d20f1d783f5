#pragma once

#include "document/DocumentContents.h"

#include <filesystem>

namespace dv {

/// What a merge added to the target.
struct MergeResult {
    int templatesAdded = 0;
    int eventsAdded = 0;
    int todosAdded = 0;
    bool urgentTodoAdded = false; ///< an added to-do IsUrgent (the due-to-do flag must be set)

    bool AnyAdded() const { return templatesAdded + eventsAdded + todosAdded > 0; }
};

/// Moves the entries of `other` that `target` does not have yet to the end of `target`'s lists,
/// in their order, and discards the rest:
/// - a template when a template with the same Category (exact, case-sensitive) exists;
/// - an event when an event with the same GUID exists, or one with the same Description (exact)
///   and the same StartDate (date and time);
/// - a to-do when a to-do with the same GUID exists, or one with the same Description and the
///   same Deadline.
/// "Exists" covers the target's entries from before the merge and those already appended, so
/// duplicates within `other` are dropped as well. The GUID of every appended shared entry
/// (StorageType 1) joins the target's change list unless it is there already. `other`'s own
/// change list is ignored. Records no undo steps and sends nothing; the caller rebuilds the
/// category and group sets, tells the views and saves.
MergeResult MergeContents(DocumentContents& target, DocumentContents&& other);

/// Reads the event file at `path` (its entries only, not its side file) and merges it into
/// `target`. The file is read completely before anything is merged, so a file that turns out
/// damaged halfway adds nothing at all, rather than the entries before the damage; `target` is
/// then unchanged. Throws what ReadEventFile throws (CFileException, CArchiveException).
MergeResult MergeEventFile(DocumentContents& target, const std::filesystem::path& path);

} // namespace dv
