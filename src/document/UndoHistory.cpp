#include "document/UndoHistory.h"

#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"

#include <algorithm>

namespace dv {

bool GetWorkMark(const CDateEntry& entry) {
    return entry.IsSuspended();
}
void SetWorkMark(CDateEntry& entry, bool mark) {
    entry.SetSuspended(mark);
}
bool GetWorkMark(const CTodoEntry& entry) {
    return entry.IsInEditor();
}
void SetWorkMark(CTodoEntry& entry, bool mark) {
    entry.SetInEditor(mark);
}

template <class Entry>
UndoHistory<Entry>::~UndoHistory() = default;

template <class Entry>
void UndoHistory<Entry>::Record(const Entry& before, const Entry& live, UndoAction action) {
    // Take the identity first: `before` and `live` may be the same record.
    const Identity identity = IdentityOf(live);
    auto snapshot = std::make_unique<Entry>(before);
    SetWorkMark(*snapshot, false);
    ++m_position;
    m_steps.resize(static_cast<std::size_t>(m_position));
    m_steps.push_back(Step{std::move(snapshot), identity, action, m_grouping && m_groupStarted});
    m_groupStarted = m_grouping;
}

template <class Entry>
void UndoHistory<Entry>::StepBack() {
    if (m_position >= 0) {
        --m_position;
    }
}

template <class Entry>
void UndoHistory<Entry>::StepForward() {
    if (m_position < GetCount() - 1) {
        ++m_position;
    }
}

template <class Entry>
typename UndoHistory<Entry>::Identity UndoHistory<Entry>::IdentityOf(const Entry& live) {
    const auto found = m_identityOf.find(&live);
    if (found != m_identityOf.end()) {
        return found->second;
    }
    const Identity identity = m_nextIdentity++;
    m_identityOf.emplace(&live, identity);
    // The history hands the live record back to the document that owns it, never changes it.
    m_liveOf.emplace(identity, const_cast<Entry*>(&live));
    return identity;
}

template <class Entry>
Entry* UndoHistory<Entry>::FindLive(Identity identity) const {
    const auto found = m_liveOf.find(identity);
    return found == m_liveOf.end() ? nullptr : found->second;
}

template <class Entry>
void UndoHistory<Entry>::Forget(const Entry& live) {
    const auto found = m_identityOf.find(&live);
    if (found == m_identityOf.end()) {
        return;
    }
    m_liveOf.erase(found->second);
    m_identityOf.erase(found);
}

template <class Entry>
void UndoHistory<Entry>::RepointDown(int from, Identity oldIdentity, Identity replacement) {
    for (int i = std::min(from, GetCount() - 1); i >= 0; --i) {
        Step& step = m_steps[static_cast<std::size_t>(i)];
        if (step.identity != oldIdentity) {
            continue;
        }
        step.identity = replacement;
        if (step.action == UndoAction::Added) {
            break;
        }
    }
}

template <class Entry>
void UndoHistory<Entry>::RepointUp(int from, Identity oldIdentity, Identity replacement) {
    for (int i = std::max(from, 0); i < GetCount(); ++i) {
        Step& step = m_steps[static_cast<std::size_t>(i)];
        if (step.identity != oldIdentity) {
            continue;
        }
        step.identity = replacement;
        if (step.action == UndoAction::Deleted) {
            break;
        }
    }
}

template <class Entry>
void UndoHistory<Entry>::Clear() {
    m_steps.clear();
    m_position = -1;
    m_identityOf.clear();
    m_liveOf.clear();
}

template class UndoHistory<CDateEntry>;
template class UndoHistory<CTodoEntry>;

} // namespace dv
