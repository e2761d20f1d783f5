// The document's side of a synchronisation cycle: the merge of the private entries with a
// downloaded copy of the shared event file.

#include "core/ByteStream.h"
#include "core/Guid.h"
#include "document/CDayvaultDoc.h"
#include "document/EventFile.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace dv {

namespace {

constexpr int32_t kShared = 1;
constexpr int kWriteChanges = 1;   // local additions and changes may reach the shared file
constexpr int kWriteDeletions = 2; // local deletions (and dropped occurrences) may reach it
// Additions and deletions tell the views; nothing joins the change list or the undo history.
// The category and group sets are rebuilt once at the end rather than after every entry: a
// merge that brings hundreds of entries would otherwise rebuild them hundreds of times on the
// user-interface thread, and the sets in between are seen by nobody.
constexpr uint32_t kSyncAdd = kEditSendHint;
constexpr uint32_t kSyncChange = 0;
// The mass deletion guard looks at documents with at least this many shared entries.
constexpr int kMassDeletionMinimum = 10;

template <class Entry>
std::unordered_map<std::string, Entry*>
IndexByGuid(const std::vector<std::unique_ptr<Entry>>& list) {
    std::unordered_map<std::string, Entry*> index;
    index.reserve(list.size());
    for (const auto& entry : list) {
        index.emplace(entry->GetGUID(), entry.get()); // the first of equal GUIDs wins, as in Find
    }
    return index;
}

/// A list of the shared copy with its entries looked up by GUID, so that pushing a long change
/// list into a large shared file does not walk the file once per change. Removals are collected
/// and applied at once by Finish.
template <class Entry>
class IndexedList {
public:
    explicit IndexedList(std::vector<std::unique_ptr<Entry>>& list)
        : m_list(list), m_index(IndexByGuid(list)) {}

    /// The first entry with `guid`; nullptr when there is none (or it was removed).
    Entry* Find(const std::string& guid) const {
        const auto found = m_index.find(guid);
        return found == m_index.end() ? nullptr : found->second;
    }
    void Append(std::unique_ptr<Entry> entry) {
        m_index.emplace(entry->GetGUID(), entry.get());
        m_list.push_back(std::move(entry));
    }
    /// Removes every entry with `guid` (at Finish).
    void Remove(const std::string& guid) {
        m_index.erase(guid);
        m_removed.insert(guid);
    }
    void Finish() {
        if (!m_removed.empty()) {
            std::erase_if(m_list, [&](const auto& entry) {
                return m_removed.contains(entry->GetGUID()) &&
                       m_index.find(entry->GetGUID()) == m_index.end();
            });
            m_removed.clear();
        }
    }

private:
    std::vector<std::unique_ptr<Entry>>& m_list;
    std::unordered_map<std::string, Entry*> m_index;
    std::unordered_set<std::string> m_removed;
};

bool SameAction(const DateData& a, const DateData& b) {
    return a.Action == b.Action && a.DocumentFile == b.DocumentFile && a.CmdLine == b.CmdLine &&
           a.Parameter == b.Parameter;
}

bool Contains(const std::vector<CDateTime>& list, const CDateTime& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// Pushes one changed event into the shared copy.
void PushEvent(const CDateEntry* local, IndexedList<CDateEntry>& shared, const std::string& guid,
               int access) {
    const bool localShared = local != nullptr && local->GetStorageType() == kShared;
    if (!localShared) {
        // Deleted here, or made local: either way it leaves the shared file.
        if ((access & kWriteDeletions) != 0) {
            shared.Remove(guid);
        }
        return;
    }
    CDateEntry* copy = shared.Find(guid);
    if (copy == nullptr) {
        if ((access & kWriteChanges) != 0) {
            auto added = std::make_unique<CDateEntry>(*local);
            added->SetSuspended(false);
            shared.Append(std::move(added));
        }
        return;
    }
    const std::vector<CDateTime>& localDropped = local->GetDroppedOccurrences();
    if ((access & kWriteChanges) != 0) {
        copy->AssignData(local->GetData());
        // Restoring an occurrence is a change; dropping one is a deletion (below).
        const std::vector<CDateTime> sharedDropped = copy->GetDroppedOccurrences();
        for (const CDateTime& occurrence : sharedDropped) {
            if (!Contains(localDropped, occurrence)) {
                copy->RestoreOccurrence(occurrence);
            }
        }
    }
    if ((access & kWriteDeletions) != 0) {
        for (const CDateTime& occurrence : localDropped) {
            if (!copy->IsDropped(occurrence)) {
                copy->DropOccurrence(occurrence);
            }
        }
    }
}

// Pushes one changed to-do into the shared copy; to-dos have no occurrences.
void PushTodo(const CTodoEntry* local, IndexedList<CTodoEntry>& shared, const std::string& guid,
              int access) {
    const bool localShared = local != nullptr && local->GetStorageType() == kShared;
    if (!localShared) {
        if ((access & kWriteDeletions) != 0) {
            shared.Remove(guid);
        }
        return;
    }
    if ((access & kWriteChanges) == 0) {
        return;
    }
    // Done travels with the to-do: a colleague ticking it off is a change everybody sees.
    CTodoEntry value(*local);
    value.SetInEditor(false);
    if (CTodoEntry* copy = shared.Find(guid)) {
        *copy = value;
    } else {
        shared.Append(std::make_unique<CTodoEntry>(value));
    }
}

} // namespace

bool CDayvaultDoc::SynchronizeWith(const std::filesystem::path& path, int networkFunction,
                                   int networkWriteAccess) {
    const SyncMergeResult result =
        SynchronizeWith(path, networkFunction, networkWriteAccess, SyncMergeOptions{});
    return result == SyncMergeResult::merged || result == SyncMergeResult::mergedUpload;
}

CDayvaultDoc::SyncMergeResult CDayvaultDoc::SynchronizeWith(const std::filesystem::path& path,
                                                            int networkFunction,
                                                            int networkWriteAccess,
                                                            const SyncMergeOptions& options) {
    if (networkFunction == 0) {
        return SyncMergeResult::failed;
    }
    std::error_code sizeError;
    const bool empty = !options.sharedFileMissing &&
                       std::filesystem::file_size(path, sizeError) == 0 && !sizeError;
    // The whole copy is read before anything changes, so a damaged file changes nothing.
    DocumentContents shared;
    bool damaged = false;
    if (!options.sharedFileMissing && !empty) {
        try {
            shared = ReadEventFile(path, EventFileParts::entriesOnly);
        } catch (const std::exception&) {
            damaged = true;
        }
    }
    // A missing or empty shared file is no evidence that anybody deleted anything: it was never
    // made, was removed, or is being written. It becomes the share only when this file has not
    // yet completed a cycle against it (the first day of sharing) or the user asks for it; a
    // damaged one only when the user asks.
    const bool samePlace = !options.place.empty() && options.place == m_contents.sharedPlace;
    const bool firstCycle = !options.place.empty() && !samePlace;
    const bool mayWrite = (networkWriteAccess & kWriteChanges) != 0;
    const bool create = mayWrite && (options.create ? options.sharedFileMissing || empty || damaged
                                                    : (options.sharedFileMissing || empty) &&
                                                          firstCycle && !options.shareExisted);
    if (!create) {
        if (options.sharedFileMissing) {
            return SyncMergeResult::sharedFileMissing;
        }
        if (empty) {
            return SyncMergeResult::sharedFileEmpty;
        }
        if (damaged) {
            return SyncMergeResult::failed;
        }
    }
    // The first cycle against a place, or against a share that was created again since this
    // file's last cycle (another identity), joins it: every shared entry here is added to the
    // copy and nothing is deleted, since the copy's lack of an entry says nothing about it.
    const bool joining =
        create || firstCycle || (samePlace && shared.shareId != m_contents.sharedPlaceId);
    if (create) {
        shared = DocumentContents{};
        shared.shareId = NewGuidString();
        for (const auto& entry : m_contents.events) {
            if (entry->GetStorageType() == kShared) {
                auto copy = std::make_unique<CDateEntry>(*entry);
                copy->SetSuspended(false);
                shared.events.push_back(std::move(copy));
            }
        }
        for (const auto& todo : m_contents.todos) {
            if (todo->GetStorageType() == kShared) {
                auto copy = std::make_unique<CTodoEntry>(*todo);
                copy->SetInEditor(false);
                shared.todos.push_back(std::move(copy));
            }
        }
    }
    m_heldDeletions.clear();
    int sharedHere = 0;
    for (const auto& entry : m_contents.events) {
        sharedHere += entry->GetStorageType() == kShared ? 1 : 0;
    }
    for (const auto& todo : m_contents.todos) {
        sharedHere += todo->GetStorageType() == kShared ? 1 : 0;
    }

    // Joining: this user's shared entries that the copy lacks become pending changes, pushed now
    // and, should this upload not arrive, by every later cycle until one does.
    if (joining && mayWrite) {
        const auto inCopy = [](const auto& list) {
            std::unordered_set<std::string> guids;
            for (const auto& entry : list) {
                guids.insert(entry->GetGUID());
            }
            return guids;
        };
        const std::unordered_set<std::string> copyEvents = inCopy(shared.events);
        const std::unordered_set<std::string> copyTodos = inCopy(shared.todos);
        const std::size_t pendingBefore = m_contents.changeList.size();
        for (const auto& entry : m_contents.events) {
            if (entry->GetStorageType() == kShared && !copyEvents.contains(entry->GetGUID())) {
                AddToChangeList(entry->GetGUID());
            }
        }
        for (const auto& todo : m_contents.todos) {
            if (todo->GetStorageType() == kShared && !copyTodos.contains(todo->GetGUID())) {
                AddToChangeList(todo->GetGUID());
            }
        }
        if (m_contents.changeList.size() != pendingBefore) {
            RequestSave();
        }
    }

    // Push.
    {
        const auto localEvents = IndexByGuid(m_contents.events);
        const auto localTodos = IndexByGuid(m_contents.todos);
        IndexedList<CDateEntry> sharedEvents(shared.events);
        IndexedList<CTodoEntry> sharedTodos(shared.todos);
        for (const std::string& guid : m_contents.changeList) {
            const auto event = localEvents.find(guid);
            const auto todo = localTodos.find(guid);
            PushEvent(event == localEvents.end() ? nullptr : event->second, sharedEvents, guid,
                      networkWriteAccess);
            PushTodo(todo == localTodos.end() ? nullptr : todo->second, sharedTodos, guid,
                     networkWriteAccess);
        }
        sharedEvents.Finish();
        sharedTodos.Finish();
    }

    // Pull events. Entries are looked up in maps: a shared file of thousands of entries must
    // not cost a quadratic walk on the user-interface thread.
    std::unordered_map<std::string, CDateEntry*> localEvents = IndexByGuid(m_contents.events);
    std::unordered_set<std::string> sharedGuids;
    for (const auto& copy : shared.events) {
        sharedGuids.insert(copy->GetGUID());
        const auto found = localEvents.find(copy->GetGUID());
        if (found == localEvents.end()) {
            auto added = std::make_unique<CDateEntry>(*copy);
            added->SetSuspended(false);
            CDateEntry* raw = added.get();
            AddDateEntry(std::move(added), kSyncAdd);
            localEvents.emplace(raw->GetGUID(), raw);
            if (m_syncActionHook) {
                m_syncActionHook(*raw);
            }
            continue;
        }
        CDateEntry* local = found->second;
        bool changed = false;
        if (!(local->GetData() == copy->GetData())) {
            const bool actionTaken = !SameAction(local->GetData(), copy->GetData());
            ChangeDateEntry(local, copy->GetData(), kSyncChange);
            changed = true;
            if (actionTaken && m_syncActionHook) {
                m_syncActionHook(*local);
            }
        }
        const std::vector<CDateTime> localDropped = local->GetDroppedOccurrences();
        for (const CDateTime& occurrence : copy->GetDroppedOccurrences()) {
            if (!Contains(localDropped, occurrence)) {
                DropDateOccurrence(local, occurrence, kSyncChange);
                changed = true;
            }
        }
        for (const CDateTime& occurrence : localDropped) {
            if (!copy->IsDropped(occurrence)) {
                RestoreDateOccurrence(local, occurrence, kSyncChange);
                changed = true;
            }
        }
        if (changed) {
            UpdateAllViews(UpdateHint::EventChanged, local);
        }
    }

    // Pull to-dos.
    std::unordered_map<std::string, CTodoEntry*> localTodos = IndexByGuid(m_contents.todos);
    std::unordered_set<std::string> sharedTodoGuids;
    for (const auto& copy : shared.todos) {
        sharedTodoGuids.insert(copy->GetGUID());
        const auto found = localTodos.find(copy->GetGUID());
        if (found == localTodos.end()) {
            auto added = std::make_unique<CTodoEntry>(*copy);
            added->SetInEditor(false);
            CTodoEntry* raw = added.get();
            AddTodoEntry(std::move(added), kSyncAdd);
            localTodos.emplace(raw->GetGUID(), raw);
            continue;
        }
        CTodoEntry* local = found->second;
        if (!(local->GetData() == copy->GetData()) || local->IsDone() != copy->IsDone()) {
            ChangeTodoEntry(local, *copy, kSyncChange);
            UpdateAllViews(UpdateHint::TodoChanged, local);
        }
    }

    // Entries another user deleted: gone from the copy, still shared here. One the user is
    // working on right now stays.
    std::vector<CDateEntry*> goneEvents;
    for (const auto& entry : m_contents.events) {
        if (entry->GetStorageType() == kShared && !entry->IsSuspended() &&
            !sharedGuids.contains(entry->GetGUID())) {
            goneEvents.push_back(entry.get());
        }
    }
    std::vector<CTodoEntry*> goneTodos;
    for (const auto& todo : m_contents.todos) {
        if (todo->GetStorageType() == kShared && !todo->IsInEditor() &&
            !sharedTodoGuids.contains(todo->GetGUID())) {
            goneTodos.push_back(todo.get());
        }
    }
    // More than half of at least ten shared entries gone at once looks more like a damaged or
    // replaced shared file than like colleagues tidying up: the owner asks the user first.
    const int gone = static_cast<int>(goneEvents.size() + goneTodos.size());
    if (joining) {
        // Nothing is deleted when joining; see above.
    } else if (sharedHere >= kMassDeletionMinimum && 2 * gone > sharedHere) {
        for (CDateEntry* entry : goneEvents) {
            m_heldDeletions.push_back(entry->GetGUID());
        }
        for (CTodoEntry* todo : goneTodos) {
            m_heldDeletions.push_back(todo->GetGUID());
        }
    } else {
        for (CDateEntry* entry : goneEvents) {
            DeleteDateEntry(entry, kSyncAdd);
        }
        for (CTodoEntry* todo : goneTodos) {
            DeleteTodoEntry(todo, kSyncAdd);
        }
    }

    const bool upload = create || !m_contents.changeList.empty();
    bool written = true;
    if (upload) {
        try {
            // The worker's scratch file, which it copies or uploads itself: replaced whole, but
            // the user-interface thread does not wait for the disk.
            CAtomicFileSink sink(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write);
            sink.Write(WriteEventFileBytes(shared));
            sink.Commit(false);
        } catch (const std::exception&) {
            written = false;
        }
    }
    // What the upload will carry; an entry changed after this point stays in the list.
    m_pushedChanges = written ? m_contents.changeList : std::vector<std::string>{};
    m_mergedPlace = written ? options.place : std::string();
    m_mergedShareId = shared.shareId;
    RebuildCategories();
    RebuildGroups();
    if (!written) {
        return SyncMergeResult::failed;
    }
    // A share that existed is joined now: from here on its lack of an entry is news. One this
    // merge creates counts only once it arrived (ClearPushedChanges), so that a failed first
    // upload is not taken for a share that went missing.
    if (!create) {
        RecordSharedPlace(options.place, shared.shareId);
    }
    return upload ? SyncMergeResult::mergedUpload : SyncMergeResult::merged;
}

int CDayvaultDoc::ApplyHeldDeletions() {
    std::vector<std::string> held;
    held.swap(m_heldDeletions);
    const auto changedHere = [&](const std::string& guid) {
        return std::find(m_contents.changeList.begin(), m_contents.changeList.end(), guid) !=
               m_contents.changeList.end();
    };
    int deleted = 0;
    for (const std::string& guid : held) {
        if (changedHere(guid)) {
            continue; // changed since: the next cycle shares it again
        }
        CDateEntry* entry = FindDateEntry(guid);
        if (entry != nullptr && entry->GetStorageType() == kShared && !entry->IsSuspended()) {
            DeleteDateEntry(entry, kSyncAdd);
            ++deleted;
        }
        CTodoEntry* todo = FindTodoEntry(guid);
        if (todo != nullptr && todo->GetStorageType() == kShared && !todo->IsInEditor()) {
            DeleteTodoEntry(todo, kSyncAdd);
            ++deleted;
        }
    }
    if (deleted > 0) {
        RebuildCategories();
        RebuildGroups();
        RequestSave();
    }
    return deleted;
}

} // namespace dv
