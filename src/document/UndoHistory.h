#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace dv {

class CDateEntry;
class CTodoEntry;

/// What a recorded operation did to its entry.
enum class UndoAction : int32_t {
    Added = 1,
    Deleted = 2,
    Changed = 3,
};

/// The mark a live record carries while a dialog, the reminder window or an action works on it
/// (an event's Suspended flag, a to-do's InEditor flag). It belongs to the live record, never to
/// its value: snapshots are taken without it and exchanges leave it where it was.
bool GetWorkMark(const CDateEntry& entry);
void SetWorkMark(CDateEntry& entry, bool mark);
bool GetWorkMark(const CTodoEntry& entry);
void SetWorkMark(CTodoEntry& entry, bool mark);

/// The undo history of one kind of entry (events or to-dos): a list of steps and a position.
///
/// Each step holds a full copy of the entry from before the operation (for an addition, a copy
/// of the added entry), the identity of the live entry it touched, and what was done. Identities
/// are numbers handed out by the history rather than record addresses: an address is reused by
/// the allocator once its record is destroyed, and a step must never take a newer record for the
/// one it recorded. A record that is destroyed is forgotten (Forget), after which its steps find
/// no live entry until an undo or redo re-points them to a re-created record.
///
/// The history has no depth limit. Implemented for CDateEntry and CTodoEntry.
template <class Entry>
class UndoHistory {
public:
    /// Names a live entry for the history; 0 names none.
    using Identity = uint64_t;

    struct Step {
        std::unique_ptr<Entry> snapshot; ///< the entry before the operation, without work mark
        Identity identity = 0;           ///< the live entry that the operation touched
        UndoAction action = UndoAction::Changed;
        /// Undone and redone together with the step before it (one command, many entries).
        bool joinsPrevious = false;
    };

    UndoHistory() = default;
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;
    ~UndoHistory();

    /// Records an operation on `live`: the position moves on by one, every step from there on (the
    /// redo steps) is dropped, and a step with a copy of `before` is appended.
    void Record(const Entry& before, const Entry& live, UndoAction action);
    /// Between these two every recorded step joins the first one of them: a command that
    /// touches many entries (an import) is undone as one.
    void BeginGroup() {
        m_grouping = true;
        m_groupStarted = false;
    }
    void EndGroup() { m_grouping = false; }

    /// Index of the last done step, -1 when there is nothing to undo; below GetCount().
    int GetPosition() const { return m_position; }
    /// Number of steps, done and undone.
    int GetCount() const { return static_cast<int>(m_steps.size()); }
    bool CanUndo() const { return m_position >= 0; }
    bool CanRedo() const { return m_position < GetCount() - 1; }
    /// Moves the position back (after an undo) or on (before a redo) by one. Callers check
    /// CanUndo/CanRedo first; the position never leaves -1 .. GetCount() - 1.
    void StepBack();
    void StepForward();

    /// Step `index`, 0 .. GetCount() - 1 (std::out_of_range otherwise).
    Step& GetStep(int index) { return m_steps.at(static_cast<std::size_t>(index)); }
    const Step& GetStep(int index) const { return m_steps.at(static_cast<std::size_t>(index)); }

    /// The identity of a live entry, handed out at its first use.
    Identity IdentityOf(const Entry& live);
    /// The live entry with this identity; nullptr when it was forgotten or never known.
    Entry* FindLive(Identity identity) const;
    /// The entry is about to be destroyed: its identity names no live entry any more.
    void Forget(const Entry& live);

    /// After a deleted entry was re-created for an undo: from step `from` down to step 0 every
    /// step naming `oldIdentity` now names `replacement`; the walk ends after the first such
    /// step that recorded the entry's addition.
    void RepointDown(int from, Identity oldIdentity, Identity replacement);
    /// After an added entry was re-created for a redo: from step `from` up to the last step every
    /// step naming `oldIdentity` now names `replacement`; the walk ends after the first such
    /// step that recorded the entry's deletion.
    void RepointUp(int from, Identity oldIdentity, Identity replacement);

    /// Drops every step and every identity; the position becomes -1.
    void Clear();

private:
    std::vector<Step> m_steps;
    bool m_grouping = false;
    bool m_groupStarted = false;
    int m_position = -1; // -1 .. m_steps.size() - 1
    Identity m_nextIdentity = 1;
    std::unordered_map<const Entry*, Identity> m_identityOf;
    std::unordered_map<Identity, Entry*> m_liveOf;
};

extern template class UndoHistory<CDateEntry>;
extern template class UndoHistory<CTodoEntry>;

} // namespace dv
