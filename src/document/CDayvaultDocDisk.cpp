// The document and its event file on disk: the check before each save for changes that another
// program made (merged in), for a file that was deleted, damaged or made read-only; the lock
// file of an open event file.

#include "core/Guid.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/EventFile.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <exception>
#include <string>
#include <system_error>
#include <unordered_set>

namespace dv {

namespace {

constexpr uint32_t kMergeAdd = kEditSendHint;
constexpr uint32_t kMergeChange = 0;

/// Holds a flag set for the lifetime of the scope: questions run a message loop that may
/// deliver further save commands.
class QuestionScope {
public:
    explicit QuestionScope(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~QuestionScope() { m_flag = m_old; }
    QuestionScope(const QuestionScope&) = delete;
    QuestionScope& operator=(const QuestionScope&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

template <class Entry>
std::unordered_map<std::string, Entry*> ByGuid(const std::vector<std::unique_ptr<Entry>>& list) {
    std::unordered_map<std::string, Entry*> index;
    index.reserve(list.size());
    for (const auto& entry : list) {
        index.emplace(entry->GetGUID(), entry.get());
    }
    return index;
}

} // namespace

void CDayvaultDoc::ForgetDiskState() {
    m_lock.Release();
    m_diskStamp.reset();
    m_baseEvents.clear();
    m_baseTodos.clear();
    m_baseCategories.clear();
    m_readOnly = false;
    m_saveDeclined = false;
}

void CDayvaultDoc::RememberDiskState(const std::filesystem::path& path, uint64_t fingerprint) {
    std::error_code error;
    DiskStamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    if (!error) {
        stamp.time = std::filesystem::last_write_time(path, error);
    }
    if (error) {
        m_diskStamp.reset();
        return;
    }
    stamp.fingerprint = fingerprint;
    m_diskStamp = stamp;
    m_baseEvents.clear();
    m_baseTodos.clear();
    m_baseCategories.clear();
    for (const auto& entry : m_contents.events) {
        m_baseEvents.emplace(entry->GetGUID(), entry->GetData());
    }
    for (const auto& todo : m_contents.todos) {
        m_baseTodos.emplace(todo->GetGUID(), std::make_pair(todo->GetData(), todo->IsDone()));
    }
    for (const auto& entry : m_contents.templates) {
        m_baseCategories.insert(entry->GetData().Category);
    }
}

void CDayvaultDoc::LockOnOpen(const std::filesystem::path& path) {
    if (!m_useLockFiles) {
        return;
    }
    if (const std::optional<LockHolder> holder = EventFileLock::OtherHolder(path)) {
        bool anyway = false;
        if (m_prompt != nullptr) {
            QuestionScope open(m_saveQuestionOpen);
            anyway = m_prompt->AskYesNo(
                FormatString(kIdsAskOpenLocked,
                             {path.string(), holder->user, holder->host, holder->since}),
                PromptIcon::Exclamation);
        }
        // The other program's lock stays its own either way.
        m_readOnly = !anyway;
        return;
    }
    m_lock.Acquire(path);
}

void CDayvaultDoc::RefuseSave(const std::string& reason) {
    m_saveDeclined = true;
    m_lastSaveError = FormatString(kIdsCannotSaveEventFile, m_path.string() + ": " + reason);
}

bool CDayvaultDoc::OfferSaveAs(const std::string& question) {
    bool yes = false;
    if (m_prompt != nullptr) {
        QuestionScope open(m_saveQuestionOpen);
        yes = m_prompt->AskYesNo(question, PromptIcon::Exclamation);
    }
    if (!yes || !m_saveAsHook) {
        return false;
    }
    const std::filesystem::path before = m_path;
    m_saveAsHook();
    return m_path != before && !m_modified;
}

bool CDayvaultDoc::SaveToOwnFile(bool asking) {
    if (m_saveQuestionOpen) {
        return false;
    }
    switch (CheckFileBeforeSave(asking)) {
    case DiskVerdict::write:
        return WriteTo(m_path);
    case DiskVerdict::leave:
        return true;
    case DiskVerdict::refuse:
        break;
    }
    return false;
}

CDayvaultDoc::DiskVerdict CDayvaultDoc::CheckFileBeforeSave(bool asking) {
    const std::string name = m_path.string();
    const bool readOnlyFile = IsReadOnlyFile(m_path);
    if (m_readOnly || readOnlyFile) {
        if (!m_modified) {
            return DiskVerdict::leave;
        }
        if (m_saveDeclined && !asking) {
            return DiskVerdict::refuse;
        }
        RefuseSave(LoadString(m_readOnly ? kIdsFileOpenedReadOnly : kIdsFileIsReadOnly));
        const std::filesystem::path before = m_path;
        if (OfferSaveAs(FormatString(m_readOnly ? kIdsAskSaveAsOpenedReadOnly
                                                : kIdsAskSaveAsReadOnly,
                                     name))) {
            // Saved under the new name, which is now the document's file.
            return DiskVerdict::leave;
        }
        return DiskVerdict::refuse;
    }
    if (!m_diskStamp) {
        return DiskVerdict::write; // a file this document never read: Save As chose it
    }
    std::error_code error;
    const bool exists = std::filesystem::exists(m_path, error);
    if (!exists) {
        if (!m_modified) {
            return DiskVerdict::leave;
        }
        const std::filesystem::path folder =
            m_path.has_parent_path() ? m_path.parent_path() : std::filesystem::path(".");
        if (!std::filesystem::is_directory(folder, error)) {
            return DiskVerdict::write; // the folder is gone: the write fails and says why
        }
        if (m_saveDeclined && !asking) {
            return DiskVerdict::refuse;
        }
        bool yes = false;
        if (m_prompt != nullptr) {
            QuestionScope open(m_saveQuestionOpen);
            yes = m_prompt->AskYesNo(FormatString(kIdsAskRewriteDeleted, name),
                                     PromptIcon::Exclamation);
        }
        if (!yes) {
            RefuseSave(LoadString(kIdsFileChangedOnDisk));
            return DiskVerdict::refuse;
        }
        return DiskVerdict::write;
    }
    const uintmax_t size = std::filesystem::file_size(m_path, error);
    const auto time = error ? std::filesystem::file_time_type{}
                            : std::filesystem::last_write_time(m_path, error);
    if (!error && size == m_diskStamp->size && time == m_diskStamp->time) {
        // Same size and time: the fingerprint settles it (a change within the clock's tick).
        try {
            if (EventFileFingerprint(m_path) == m_diskStamp->fingerprint) {
                return DiskVerdict::write;
            }
        } catch (const std::exception&) {
            // Unreadable now: the read below says why.
        }
    }
    // Changed on disk: read what another program wrote and take it in.
    DocumentContents disk;
    uint64_t fingerprint = 0;
    try {
        disk = ReadEventFile(m_path);
        fingerprint = EventFileFingerprint(m_path);
    } catch (const std::exception& failure) {
        if (m_saveDeclined && !asking) {
            return DiskVerdict::refuse;
        }
        bool yes = false;
        if (m_prompt != nullptr) {
            QuestionScope open(m_saveQuestionOpen);
            yes = m_prompt->AskYesNo(FormatString(kIdsAskOverwriteDamaged, {name, failure.what()}),
                                     PromptIcon::Exclamation);
        }
        if (!yes) {
            RefuseSave(LoadString(kIdsFileChangedOnDisk));
            return DiskVerdict::refuse;
        }
        return DiskVerdict::write;
    }
    if (fingerprint == m_diskStamp->fingerprint) {
        RememberDiskState(m_path, fingerprint); // touched, not changed
        return DiskVerdict::write;
    }
    const int merged = MergeChangesFromDisk(std::move(disk));
    if (merged > 0 && m_prompt != nullptr) {
        m_prompt->ShowMessage(
            FormatString(kIdsMergedFromDisk, {name, std::to_string(merged)}),
            PromptIcon::Information);
    }
    if (!m_modified) {
        // Nothing of ours to add: the file holds everything this document holds.
        RememberDiskState(m_path, fingerprint);
        return DiskVerdict::leave;
    }
    return DiskVerdict::write;
}

int CDayvaultDoc::MergeChangesFromDisk(DocumentContents&& disk) {
    const bool modified = m_modified;
    int changed = 0;
    // Templates: the categories the other program added.
    std::set<std::string> categories;
    for (const auto& entry : m_contents.templates) {
        categories.insert(entry->GetData().Category);
    }
    for (auto& entry : disk.templates) {
        const std::string& category = entry->GetData().Category;
        if (!categories.contains(category) && !m_baseCategories.contains(category)) {
            categories.insert(category);
            m_contents.templates.push_back(std::move(entry));
            ++changed;
        }
    }

    // Events. The base is the file as this document last read or wrote it: what differs from it
    // on disk is the other program's doing, what differs from it here is ours.
    const auto localEvents = ByGuid(m_contents.events);
    std::unordered_set<std::string> diskEvents;
    for (const auto& copy : disk.events) {
        diskEvents.insert(copy->GetGUID());
        const auto base = m_baseEvents.find(copy->GetGUID());
        const auto local = localEvents.find(copy->GetGUID());
        const bool theirEdit = base != m_baseEvents.end() && !(copy->GetData() == base->second);
        if (base != m_baseEvents.end() && !theirEdit) {
            continue; // unchanged there: ours stands, a deletion here included
        }
        if (local == localEvents.end()) {
            // Added there, or edited there and deleted here: an edit beats a deletion.
            auto added = std::make_unique<CDateEntry>(*copy);
            added->SetSuspended(false);
            const CDateEntry& raw = *added;
            AddDateEntry(std::move(added), kMergeAdd);
            if (m_syncActionHook) {
                m_syncActionHook(raw);
            }
            ++changed;
        } else if (base == m_baseEvents.end() || local->second->GetData() == copy->GetData()) {
            continue; // the same entry arrived on both sides
        } else if (local->second->GetData() == base->second) {
            ChangeDateEntry(local->second, *copy, kMergeChange);
            UpdateAllViews(UpdateHint::EventChanged, local->second);
            if (m_syncActionHook) {
                m_syncActionHook(*local->second);
            }
            ++changed;
        } else {
            // Both changed it: ours keeps the GUID, theirs stays beside it as a copy.
            auto kept = std::make_unique<CDateEntry>(*copy);
            kept->SetSuspended(false);
            DateData data = kept->GetData();
            data.GUID = NewGuidString();
            kept->AssignData(data);
            const CDateEntry& raw = *kept;
            AddDateEntry(std::move(kept), kMergeAdd);
            if (m_syncActionHook) {
                m_syncActionHook(raw);
            }
            ++changed;
        }
    }
    std::vector<CDateEntry*> goneEvents;
    for (const auto& [guid, data] : m_baseEvents) {
        const auto local = localEvents.find(guid);
        if (!diskEvents.contains(guid) && local != localEvents.end() &&
            local->second->GetData() == data && !local->second->IsSuspended()) {
            goneEvents.push_back(local->second); // deleted there, unchanged here
        }
    }
    for (CDateEntry* entry : goneEvents) {
        DeleteDateEntry(entry, kMergeAdd);
        ++changed;
    }

    // To-dos, by the same rules; the Done tick counts as part of a to-do.
    const auto localTodos = ByGuid(m_contents.todos);
    std::unordered_set<std::string> diskTodos;
    const auto same = [](const CTodoEntry& todo, const std::pair<TodoData, bool>& state) {
        return todo.GetData() == state.first && todo.IsDone() == state.second;
    };
    for (const auto& copy : disk.todos) {
        diskTodos.insert(copy->GetGUID());
        const auto base = m_baseTodos.find(copy->GetGUID());
        const auto local = localTodos.find(copy->GetGUID());
        const bool theirEdit = base != m_baseTodos.end() && !same(*copy, base->second);
        if (base != m_baseTodos.end() && !theirEdit) {
            continue;
        }
        if (local == localTodos.end()) {
            auto added = std::make_unique<CTodoEntry>(*copy);
            added->SetInEditor(false);
            AddTodoEntry(std::move(added), kMergeAdd);
            ++changed;
        } else if (base == m_baseTodos.end() ||
                   same(*local->second, {copy->GetData(), copy->IsDone()})) {
            continue;
        } else if (same(*local->second, base->second)) {
            ChangeTodoEntry(local->second, *copy, kMergeChange);
            UpdateAllViews(UpdateHint::TodoChanged, local->second);
            ++changed;
        } else {
            auto kept = std::make_unique<CTodoEntry>(*copy);
            kept->SetInEditor(false);
            kept->SetGUID(NewGuidString());
            AddTodoEntry(std::move(kept), kMergeAdd);
            ++changed;
        }
    }
    std::vector<CTodoEntry*> goneTodos;
    for (const auto& [guid, state] : m_baseTodos) {
        const auto local = localTodos.find(guid);
        if (!diskTodos.contains(guid) && local != localTodos.end() &&
            same(*local->second, state) && !local->second->IsInEditor()) {
            goneTodos.push_back(local->second);
        }
    }
    for (CTodoEntry* todo : goneTodos) {
        DeleteTodoEntry(todo, kMergeAdd);
        ++changed;
    }

    // The other program's pending shared changes stay pending.
    for (const std::string& guid : disk.changeList) {
        AddToChangeList(guid);
    }
    RebuildCategories();
    RebuildGroups();
    RecomputeDueTodo();
    // What came from the file is on disk already; only our own changes make a save worth it.
    m_modified = modified;
    return changed;
}

} // namespace dv
