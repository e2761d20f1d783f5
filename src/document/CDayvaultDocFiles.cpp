// The document's file side: the save command and its question, Save As, new, open, close,
// restore from a text backup, merge, the change-list side file, and the templates.

#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/EventFile.h"
#include "document/GuidRepair.h"
#include "document/Merge.h"
#include "document/TextBackup.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

namespace dv {

namespace {

/// A failure message that names the file: the exception's text when it names it already.
std::string DescribeSaveFailure(const std::filesystem::path& path, const std::exception& error) {
    const std::string what = error.what();
    const std::string name = path.string();
    const std::string detail = what.find(name) == std::string::npos ? name + ": " + what : what;
    return FormatString(kIdsCannotSaveEventFile, detail);
}

/// Holds a flag set for the lifetime of the scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

// ---- Files --------------------------------------------------------------------------------------

std::string CDayvaultDoc::GetTitle() const {
    if (m_path.empty()) {
        return LoadString(kIdsUntitled);
    }
    return m_path.filename().string();
}

bool CDayvaultDoc::WriteTo(const std::filesystem::path& path) {
    uint64_t fingerprint = 0;
    try {
        // A file the user made read-only stays as it is, even where the rename could replace it.
        if (IsReadOnlyFile(path)) {
            throw std::runtime_error(LoadString(kIdsFileIsReadOnly));
        }
        fingerprint = WriteEventFile(path, m_contents);
    } catch (const std::exception& error) {
        m_lastSaveError = DescribeSaveFailure(path, error);
        if (m_prompt != nullptr) {
            m_prompt->ShowMessage(m_lastSaveError, PromptIcon::Stop);
        }
        return false;
    }
    m_lastSaveError.clear();
    m_modified = false;
    m_saveDeclined = false;
    RememberDiskState(path, fingerprint);
    return true;
}

bool CDayvaultDoc::SaveBeforeDiscard() {
    if (m_saveQuestionOpen) {
        return false; // the save question is open: its answer decides, not this command
    }
    if (!m_path.empty()) {
        return SaveToOwnFile(true);
    }
    if (!m_modified || m_prompt == nullptr) {
        return true;
    }
    bool yes = false;
    {
        FlagScope open(m_saveQuestionOpen);
        yes = m_prompt->AskYesNo(LoadString(kIdsAskSaveUntitled), PromptIcon::Question);
    }
    if (!yes) {
        return true; // the user chose to let the changes go
    }
    if (m_saveAsHook) {
        m_saveAsHook();
    }
    // Agreed to save, yet nothing was written (the file dialog was cancelled, the write failed):
    // the contents stay.
    return !m_path.empty() && !m_modified;
}

bool CDayvaultDoc::SaveCommand() {
    // The question's message loop may deliver further save commands; one question is enough.
    if (m_saveQuestionOpen) {
        return false;
    }
    if (!m_path.empty()) {
        return SaveToOwnFile(false);
    }
    // An untitled document that nobody changed has nothing worth a question.
    if (!m_modified) {
        return false;
    }
    bool yes = false;
    if (m_prompt != nullptr) {
        FlagScope open(m_saveQuestionOpen);
        yes = m_prompt->AskYesNo(LoadString(kIdsAskSaveUntitled), PromptIcon::Question);
    }
    if (!yes || !m_saveAsHook) {
        return false;
    }
    m_saveAsHook();
    return !m_path.empty() && !m_modified;
}

bool CDayvaultDoc::SaveAs(const std::filesystem::path& path) {
    if (!WriteTo(path)) {
        return false;
    }
    if (path != m_path) {
        m_path = path;
        m_readOnly = false;
        if (m_useLockFiles) {
            m_lock.Acquire(path);
        }
    }
    return true;
}

void CDayvaultDoc::DeleteContents() {
    m_contents.templates.clear();
    m_contents.events.clear();
    m_contents.todos.clear();
    m_contents.changeList.clear();
    m_contents.sharedPlace.clear();
    m_contents.sharedPlaceId.clear();
    m_contents.shareId.clear();
    m_pushedChanges.clear();
    m_mergedPlace.clear();
    m_mergedShareId.clear();
    m_heldDeletions.clear();
    m_eventHistory.Clear();
    m_todoHistory.Clear();
    m_dueTodo = false;
    m_pendingCount = 0;
    m_pendingSilentCount = 0;
    UpdateAllViews(UpdateHint::EventsReset);
    UpdateAllViews(UpdateHint::TodosReset);
    RebuildCategories();
    RebuildGroups();
}

void CDayvaultDoc::InstallContents(DocumentContents&& contents) {
    m_contents = std::move(contents);
    m_pushedChanges.clear();
    m_mergedPlace.clear();
    m_heldDeletions.clear();
    RebuildCategories();
    RebuildGroups();
    ResetFilters();
    RecomputeDueTodo();
}

bool CDayvaultDoc::NewDocument() {
    if (!SaveBeforeDiscard()) {
        return false;
    }
    DeleteContents();
    ForgetDiskState();
    m_path.clear();
    m_modified = false;
    ResetFilters();
    NotifyInitialUpdate();
    return true;
}

bool CDayvaultDoc::Close() {
    if (!SaveBeforeDiscard()) {
        return false;
    }
    DeleteContents();
    ForgetDiskState();
    m_path.clear();
    m_modified = false;
    return true;
}

bool CDayvaultDoc::Open(const std::filesystem::path& path) {
    if (!SaveBeforeDiscard()) {
        return false;
    }
    DeleteContents();
    ForgetDiskState();
    m_path.clear();
    m_modified = false;
    DocumentContents read;
    uint64_t fingerprint = 0;
    try {
        read = ReadEventFile(path);
        fingerprint = EventFileFingerprint(path);
    } catch (...) {
        // Nothing of the file reached the document: it stays empty and untitled.
        ResetFilters();
        NotifyInitialUpdate();
        throw;
    }
    // Records that share one identity would be mixed up by merge, sharing and the clipboard.
    const int repaired = RepairDuplicateGuids(read);
    InstallContents(std::move(read));
    m_path = path;
    RememberDiskState(path, fingerprint);
    LockOnOpen(path);
    NotifyInitialUpdate();
    if (repaired > 0) {
        if (m_prompt != nullptr) {
            m_prompt->ShowMessage(
                FormatString(kIdsGuidsRepaired, {path.string(), std::to_string(repaired)}),
                PromptIcon::Exclamation);
        }
        RequestSave();
    }
    return true;
}

bool CDayvaultDoc::Restore(const std::filesystem::path& path) {
    // Read first: a backup that cannot be read leaves the document alone.
    DocumentContents restored = ReadTextBackup(path, m_now);
    if (!SaveBeforeDiscard()) {
        return false;
    }
    DeleteContents();
    ForgetDiskState();
    m_path.clear();
    restored.changeList.clear();
    InstallContents(std::move(restored));
    // Untitled and not yet written anywhere: the next save command asks for it.
    m_modified = true;
    NotifyInitialUpdate();
    return true;
}

int CDayvaultDoc::MergeFile(const std::filesystem::path& path) {
    const MergeResult result = MergeEventFile(m_contents, path);
    RebuildCategories();
    RebuildGroups();
    RecomputeDueTodo();
    UpdateAllViews(UpdateHint::Merged);
    if (result.AnyAdded()) {
        RequestSave();
    }
    return result.templatesAdded + result.eventsAdded + result.todosAdded;
}

void CDayvaultDoc::ClearChangeList() {
    m_contents.changeList.clear();
    m_pushedChanges.clear();
    if (!m_contents.sharedPlace.empty()) {
        // The side file also remembers the shared place; the next save writes it with an empty
        // list.
        m_modified = true;
        RequestSave();
        return;
    }
    if (!m_path.empty()) {
        std::error_code ignored; // a side file that is not there is what we want
        std::filesystem::remove(SyncSidePath(m_path), ignored);
    }
}

void CDayvaultDoc::RecordSharedPlace(const std::string& place, const std::string& shareId) {
    if (place.empty() || (place == m_contents.sharedPlace && shareId == m_contents.sharedPlaceId)) {
        return;
    }
    m_contents.sharedPlace = place;
    m_contents.sharedPlaceId = shareId;
    RequestSave();
}

void CDayvaultDoc::ClearPushedChanges() {
    // The upload completed the cycle of the last merge.
    RecordSharedPlace(m_mergedPlace, m_mergedShareId);
    if (m_pushedChanges.empty()) {
        return;
    }
    std::erase_if(m_contents.changeList, [&](const std::string& guid) {
        return std::find(m_pushedChanges.begin(), m_pushedChanges.end(), guid) !=
               m_pushedChanges.end();
    });
    if (m_contents.changeList.empty()) {
        ClearChangeList();
        return;
    }
    m_pushedChanges.clear();
    RequestSave();
}

// ---- Templates ----------------------------------------------------------------------------------

CDateEntry* CDayvaultDoc::GetTemplate(int index) const {
    if (index < 0 || index >= GetTemplateCount()) {
        return nullptr;
    }
    return m_contents.templates[static_cast<std::size_t>(index)].get();
}

bool CDayvaultDoc::EnsureDefaultTemplate() {
    if (!m_contents.templates.empty()) {
        return false;
    }
    auto created = std::make_unique<CDateEntry>(m_now);
    DateData data = created->GetData();
    data.Category = LoadString(kIdsDefaultCategory);
    // An hour from nine in the morning, not the moment the file was made.
    const CDateTime today = m_now.GetDate();
    data.StartDate = today + CDateTimeSpan(0, 9, 0, 0);
    data.EndDate = today + CDateTimeSpan(0, 10, 0, 0);
    data.RepeatEndDate = today + CDateTimeSpan(0, 23, 59, 59);
    created->AssignData(data);
    m_contents.templates.push_back(std::move(created));
    return true;
}

void CDayvaultDoc::ReplaceTemplates(std::vector<std::unique_ptr<CDateEntry>> templates) {
    m_contents.templates.clear();
    for (auto& entry : templates) {
        if (entry) {
            m_contents.templates.push_back(std::move(entry));
        }
    }
    UpdateAllViews(UpdateHint::EventsReset);
    RequestSave();
}

} // namespace dv
