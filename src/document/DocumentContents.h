#pragma once

#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"

#include <memory>
#include <string>
#include <vector>

namespace dv {

/// What an event file holds: the templates (one per category), the events and the to-dos in
/// list order, and the change list of the ".sync" side file (GUIDs of shared entries changed
/// since the last synchronisation, no duplicates, in order of first change). The document owns
/// one; the file readers and writers, the text backup and the merge work on it.
struct DocumentContents {
    std::vector<std::unique_ptr<CDateEntry>> templates;
    std::vector<std::unique_ptr<CDateEntry>> events;
    std::vector<std::unique_ptr<CTodoEntry>> todos;
    std::vector<std::string> changeList;
    /// The shared file (SharePlaceName) against which this event file last completed a
    /// synchronisation cycle; empty when it never did. Kept in the ".sync" side file.
    std::string sharedPlace;
    /// The identity of that share when the cycle completed (see shareId); kept beside the place.
    std::string sharedPlaceId;
    /// When this file is a shared file: the identity of the share, new each time a share is
    /// created, written after the to-dos (where readers stop) so that every user can tell a share
    /// that was created again from the one they knew. Empty for private files and older shares.
    std::string shareId;

    bool IsEmpty() const {
        return templates.empty() && events.empty() && todos.empty() && changeList.empty();
    }
};

} // namespace dv
