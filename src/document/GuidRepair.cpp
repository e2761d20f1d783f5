#include "document/GuidRepair.h"

#include "core/Guid.h"

#include <string>
#include <unordered_set>

namespace dv {

namespace {

// Gives each record of `list` that `seen` already holds a new GUID; returns how many it changed.
template <class Entry>
int RepairList(std::vector<std::unique_ptr<Entry>>& list, std::unordered_set<std::string>& seen,
               std::vector<std::string>& changeList) {
    int repaired = 0;
    for (const auto& entry : list) {
        if (!entry->GetGUID().empty() && seen.insert(entry->GetGUID()).second) {
            continue;
        }
        std::string fresh = NewGuidString();
        while (!seen.insert(fresh).second) {
            fresh = NewGuidString();
        }
        entry->SetGUID(fresh);
        if (entry->GetData().StorageType == 1) {
            changeList.push_back(fresh);
        }
        ++repaired;
    }
    return repaired;
}

} // namespace

int RepairDuplicateGuids(DocumentContents& contents) {
    std::unordered_set<std::string> seen;
    return RepairList(contents.templates, seen, contents.changeList) +
           RepairList(contents.events, seen, contents.changeList) +
           RepairList(contents.todos, seen, contents.changeList);
}

} // namespace dv
