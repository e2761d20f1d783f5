#pragma once

// A shared event at a fixed time, for the tests of the document's sharing and of the sync cycle.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"

#include <memory>
#include <string>

namespace dv::test {

inline const CDateTime kNow(2024, 3, 10, 12, 0, 0);

inline std::unique_ptr<CDateEntry> SharedEvent(const std::string& description, int storage = 1) {
    auto entry = std::make_unique<CDateEntry>(kNow);
    DateData data = entry->GetData();
    data.Description = description;
    data.StorageType = storage;
    entry->AssignData(data);
    return entry;
}

} // namespace dv::test
