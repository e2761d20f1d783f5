#pragma once

// For the document tests: a view that writes down every hint the document sends, and entries
// made the way the editors make them.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentObserver.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace dv::test {

class RecordingObserver final : public IDocumentObserver {
public:
    struct Received {
        UpdateHint hint;
        HintObject object;
    };

    explicit RecordingObserver(CDayvaultDoc& doc) : m_doc(doc) { m_doc.AddObserver(*this); }
    ~RecordingObserver() override { m_doc.RemoveObserver(*this); }
    RecordingObserver(const RecordingObserver&) = delete;
    RecordingObserver& operator=(const RecordingObserver&) = delete;

    void OnUpdate(UpdateHint hint, const HintObject& object) override {
        m_received.push_back(Received{hint, object});
        if (m_onUpdate) {
            m_onUpdate(hint, object);
        }
    }
    void OnInitialUpdate() override { ++m_initialUpdates; }

    /// Runs for every hint after it was written down.
    void SetOnUpdate(std::function<void(UpdateHint, const HintObject&)> action) {
        m_onUpdate = std::move(action);
    }

    /// The hint numbers in the order they came.
    std::vector<int> Hints() const {
        std::vector<int> hints;
        for (const Received& received : m_received) {
            hints.push_back(static_cast<int>(received.hint));
        }
        return hints;
    }
    /// How often `hint` came.
    int Count(UpdateHint hint) const {
        int count = 0;
        for (const Received& received : m_received) {
            count += received.hint == hint ? 1 : 0;
        }
        return count;
    }
    /// The object of the first `hint` received; monostate when there was none.
    HintObject FirstObject(UpdateHint hint) const {
        for (const Received& received : m_received) {
            if (received.hint == hint) {
                return received.object;
            }
        }
        return std::monostate{};
    }
    const std::vector<Received>& All() const { return m_received; }
    int InitialUpdates() const { return m_initialUpdates; }
    void Clear() {
        m_received.clear();
        m_initialUpdates = 0;
    }

private:
    CDayvaultDoc& m_doc;
    std::vector<Received> m_received;
    int m_initialUpdates = 0;
    std::function<void(UpdateHint, const HintObject&)> m_onUpdate;
};

/// An event of `category` on 5 March 2007 at 10:00, created then.
inline std::unique_ptr<CDateEntry> MakeEvent(const std::string& category,
                                             const std::string& description = "Meeting",
                                             int32_t storageType = 0) {
    const CDateTime created(2007, 3, 5, 10, 0, 0);
    auto entry = std::make_unique<CDateEntry>(created);
    DateData data = entry->GetData();
    data.Category = category;
    data.Description = description;
    data.StorageType = storageType;
    entry->AssignData(data);
    return entry;
}

/// A to-do of `group` with its deadline on 10 March 2007 (no time), forewarned 3 days ahead.
inline std::unique_ptr<CTodoEntry> MakeTodo(const std::string& group,
                                            const std::string& description = "Report",
                                            int32_t storageType = 0) {
    auto todo = std::make_unique<CTodoEntry>(CDateTime(2007, 3, 1, 9, 0, 0));
    TodoData data = todo->GetData();
    data.Group = group;
    data.Description = description;
    data.StorageType = storageType;
    data.Deadline = CDateTime(2007, 3, 10, 0, 0, 0);
    todo->SetData(data);
    return todo;
}

/// A copy of `entry` with different user data.
inline CDateEntry WithData(const CDateEntry& entry, const std::function<void(DateData&)>& edit) {
    CDateEntry copy(entry);
    DateData data = copy.GetData();
    edit(data);
    copy.AssignData(data);
    return copy;
}

inline CTodoEntry WithData(const CTodoEntry& todo, const std::function<void(TodoData&)>& edit) {
    CTodoEntry copy(todo);
    TodoData data = copy.GetData();
    edit(data);
    copy.SetData(data);
    return copy;
}

} // namespace dv::test
