#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "document/DocumentContents.h"
#include "document/DocumentObserver.h"
#include "document/EventFileLock.h"
#include "document/FilterState.h"
#include "document/UndoHistory.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace dv {

class IPrompt;

/// Option bits of the editing operations.
enum EditOption : uint32_t {
    kEditRecordUndo = 1, ///< record the operation in the undo history
    kEditListChange =
        2,             ///< a shared entry (or one whose StorageType changed) joins the change list
    kEditSendHint = 4, ///< tell the views
    kEditRebuildSet = 8, ///< rebuild the category (group) set afterwards
    /// Interactive edits.
    kEditInteractive = kEditRecordUndo | kEditListChange | kEditSendHint | kEditRebuildSet,
    /// Undo and redo.
    kEditUndoRedo = kEditListChange | kEditSendHint | kEditRebuildSet,
    /// Synchronisation.
    kEditSync = kEditSendHint | kEditRebuildSet,
};

/// The event file in memory: it owns every template (one per category), event and to-do, derives
/// the category and group sets, holds the current time, the selected date and the two view
/// filters, keeps one undo history for events and one for to-dos, lists the shared entries
/// changed since the last synchronisation, and tells its observers what changed.
///
/// Every change asks the owner to save through the save-request hook (the desktop program queues
/// a save command, so that the save never runs inside another operation); SaveCommand does the
/// saving. Operations on an entry that is not in its list do nothing. Not thread-safe: everything
/// runs on the user-interface thread.
///
/// Implementation files: CDayvaultDoc.cpp (entries, undo, view state, periodic update),
/// CDayvaultDocFiles.cpp (saving, files, templates).
class CDayvaultDoc {
public:
    /// Empty lists, filter switch on, now = CDateTime::Now(), selected date = today.
    CDayvaultDoc();
    ~CDayvaultDoc();
    CDayvaultDoc(const CDayvaultDoc&) = delete;
    CDayvaultDoc& operator=(const CDayvaultDoc&) = delete;

    // --- wiring --------------------------------------------------------------------------------
    /// Registers a view (not owned; it must be removed before it is destroyed). Registering one
    /// twice has no effect.
    void AddObserver(IDocumentObserver& observer);
    void RemoveObserver(IDocumentObserver& observer);
    /// Tells every observer; also used by the frame for hints about its own changes.
    void UpdateAllViews(UpdateHint hint, const HintObject& object = {});
    /// The prompt for the save question and the save failure message (not owned). Without one,
    /// the save question counts as answered No and failures are only returned.
    void SetPrompt(IPrompt* prompt) { m_prompt = prompt; }
    /// Called after every change that should reach the event file.
    void SetSaveRequestHook(std::function<void()> hook) { m_saveRequestHook = std::move(hook); }
    /// Runs Save As for an untitled document (a file dialog, then SaveAs) after the user agreed
    /// to save it.
    void SetSaveAsHook(std::function<void()> hook) { m_saveAsHook = std::move(hook); }
    /// Told of every event whose action (Action, DocumentFile, CmdLine, Parameter) a
    /// synchronisation took from the shared file: events it added, and events whose action it
    /// changed. The alarm side asks before it runs an action that another user chose.
    void SetSyncActionHook(std::function<void(const CDateEntry&)> hook) {
        m_syncActionHook = std::move(hook);
    }

    // --- files ---------------------------------------------------------------------------------
    /// The path of the event file; empty while the document is untitled.
    const std::filesystem::path& GetPathName() const { return m_path; }
    /// The file name of the path, or "Untitled" (string 57423).
    std::string GetTitle() const;
    /// Changed since it was last opened or written.
    bool IsModified() const { return m_modified; }
    /// With lock files on, opening an event file (or saving under a new name) writes a lock
    /// file beside it (EventFileLock), and opening a file that another program holds asks first:
    /// Yes opens it anyway, No opens it read-only. Off by default: the command-line tool works
    /// on a file for a moment only; the desktop program turns it on.
    void SetUseLockFiles(bool use) { m_useLockFiles = use; }
    /// Opened read-only (see SetUseLockFiles): the save command writes nothing and offers Save
    /// As instead, as it does for a file the user made read-only.
    bool IsReadOnly() const { return m_readOnly; }

    /// The save command. With a path, the document is written there at once and true is
    /// returned, or a failure is shown (stop icon) and false returned. Before it writes, the
    /// event file on disk is compared with the state it was read or written in (size,
    /// modification time, fingerprint): the changes another program made meanwhile are merged
    /// in first (its additions, its edits of entries unchanged here, its deletions of entries
    /// unchanged here; an entry both changed is kept twice, theirs as a copy with a new GUID),
    /// so no entry is ever written over unseen. A file that was deleted or cannot be read any
    /// more is only written again when the user agrees; a read-only file (or a document opened
    /// read-only) is never written: the user is told and offered Save As. A question answered
    /// No is not asked again by the next save commands, only before the document is emptied. An untitled document that
    /// was changed asks "Do you want to save current event file?"; Yes runs the Save-As hook, No
    /// keeps everything as it is (the question comes again with the next save). A save command
    /// that arrives while that question is open is ignored. Returns true only when a file was
    /// written by this call.
    bool SaveCommand();
    /// Writes the document to `path`, which becomes its path. On failure the failure is shown and
    /// false returned; path and contents stay as they were.
    bool SaveAs(const std::filesystem::path& path);
    // New, Open, Close and Restore save the document before they empty it. When that save fails
    // (or an untitled document's Save As was agreed to and not done) they stop, return false and
    // keep the document as it is; the failure was shown and is in GetLastSaveError.

    /// File New: saves, empties and leaves an untitled, unchanged document.
    bool NewDocument();
    /// Saves, empties, then reads the event file at `path` with its side file, rebuilds the sets,
    /// resets both filters and sets the due-to-do flag. When reading fails the document stays
    /// empty and untitled and the error is thrown (CFileException or CArchiveException, naming
    /// the file).
    bool Open(const std::filesystem::path& path);
    /// Closing: saves, then empties the document and leaves it untitled.
    bool Close();
    /// Replaces the document by the text backup at `path`. When the file cannot be read the error
    /// is thrown (CFileException naming it) and the document is unchanged; otherwise the document
    /// is saved, emptied and filled from the backup, untitled and marked as changed, with the
    /// sets rebuilt, both filters reset and an empty change list.
    bool Restore(const std::filesystem::path& path);
    /// The message of the last failed save (naming the file and the reason); empty after a save
    /// that succeeded.
    const std::string& GetLastSaveError() const { return m_lastSaveError; }
    /// Adds the entries of the event file at `path` that the document does not have yet (no undo
    /// steps, no per-entry hints), rebuilds the sets and sends hint 0. A file that cannot be read
    /// adds nothing and its error is thrown. Returns the number of entries added.
    int MergeFile(const std::filesystem::path& path);

    // --- templates -----------------------------------------------------------------------------
    int GetTemplateCount() const { return static_cast<int>(m_contents.templates.size()); }
    /// Template `index`, 0 .. GetTemplateCount() - 1; nullptr outside.
    CDateEntry* GetTemplate(int index) const;
    /// For commands that need templates: with none, one is created whose Category is "Event"
    /// (string 57400) and whose other fields are the defaults. True when it created one.
    bool EnsureDefaultTemplate();
    /// The category editor's result: all templates are replaced by `templates` in order
    /// (null pointers are skipped); hint 8.
    void ReplaceTemplates(std::vector<std::unique_ptr<CDateEntry>> templates);

    // --- events --------------------------------------------------------------------------------
    int GetDateEntryCount() const { return static_cast<int>(m_contents.events.size()); }
    /// Event `index`, 0 .. GetDateEntryCount() - 1; nullptr outside.
    CDateEntry* GetDateEntry(int index) const;
    /// All events in list order, for the views' listings.
    const std::vector<std::unique_ptr<CDateEntry>>& GetDateEntries() const {
        return m_contents.events;
    }
    /// The first event whose GUID equals `guid` exactly; nullptr when there is none.
    CDateEntry* FindDateEntry(const std::string& guid) const;
    /// Position of the event in the list; -1 when it is not in the document.
    int IndexOfDateEntry(const CDateEntry* entry) const;
    /// Appends the event and returns its index (-1 for a null pointer); hint 4.
    int AddDateEntry(std::unique_ptr<CDateEntry> entry, uint32_t options);
    /// The event takes `newValue` whole (its own Suspended mark stays); hint 6.
    void ChangeDateEntry(CDateEntry* entry, const CDateEntry& newValue, uint32_t options);
    /// As above with user data from an editor: the event's SetData with the document's now.
    void ChangeDateEntry(CDateEntry* entry, const DateData& newData, uint32_t options);
    /// Drops one occurrence of the event, recorded as a change; hint 6, no set rebuild.
    void DropDateOccurrence(CDateEntry* entry, const CDateTime& occurrence, uint32_t options);
    /// Brings a dropped occurrence back, recorded as a change; hint 6, no set rebuild.
    void RestoreDateOccurrence(CDateEntry* entry, const CDateTime& occurrence, uint32_t options);
    /// Destroys and removes the event; hint 5 with its identity.
    void DeleteDateEntry(CDateEntry* entry, uint32_t options);
    bool CanUndoDateEntry() const { return m_eventHistory.CanUndo(); }
    bool CanRedoDateEntry() const { return m_eventHistory.CanRedo(); }
    /// Undoes the last done event operation; false when there was none.
    bool UndoDateEntry();
    /// Redoes the next undone event operation; false when there was none.
    bool RedoDateEntry();
    const UndoHistory<CDateEntry>& GetEventHistory() const { return m_eventHistory; }

    // --- to-dos --------------------------------------------------------------------------------
    int GetTodoCount() const { return static_cast<int>(m_contents.todos.size()); }
    /// All to-dos in list order, for the exports.
    const std::vector<std::unique_ptr<CTodoEntry>>& GetTodoEntries() const {
        return m_contents.todos;
    }
    /// To-do `index`, 0 .. GetTodoCount() - 1; nullptr outside.
    CTodoEntry* GetTodoEntry(int index) const;
    /// The first to-do whose GUID equals `guid` exactly; nullptr when there is none.
    CTodoEntry* FindTodoEntry(const std::string& guid) const;
    /// Position of the to-do in the list; -1 when it is not in the document.
    int IndexOfTodoEntry(const CTodoEntry* todo) const;
    /// Appends the to-do and returns its index (-1 for a null pointer); hint 10.
    int AddTodoEntry(std::unique_ptr<CTodoEntry> todo, uint32_t options);
    /// The to-do takes `newValue` whole (its own InEditor mark stays); hint 12.
    void ChangeTodoEntry(CTodoEntry* todo, const CTodoEntry& newValue, uint32_t options);
    /// As above with user data from the editor (Done and the reference time stay).
    void ChangeTodoEntry(CTodoEntry* todo, const TodoData& newData, uint32_t options);
    /// Destroys and removes the to-do; hint 11 with its identity.
    void DeleteTodoEntry(CTodoEntry* todo, uint32_t options);
    /// Sets the to-do's Done value, recomputes the due-to-do flag, sends hint 12 and asks for a
    /// save. No undo step. A shared to-do joins the change list when the value changes: the
    /// others share its state, and the next synchronisation would otherwise take the tick back.
    void SetTodoDone(CTodoEntry* todo, bool done);
    bool CanUndoTodoEntry() const { return m_todoHistory.CanUndo(); }
    bool CanRedoTodoEntry() const { return m_todoHistory.CanRedo(); }
    bool UndoTodoEntry();
    bool RedoTodoEntry();
    const UndoHistory<CTodoEntry>& GetTodoHistory() const { return m_todoHistory; }

    // --- derived and view state ----------------------------------------------------------------
    const NameSet& GetCategories() const { return m_categories; }
    const NameSet& GetGroups() const { return m_groups; }
    const FilterState& GetEventFilter() const { return m_eventFilter; }
    const FilterState& GetTodoFilter() const { return m_todoFilter; }
    /// Stores the filter; hint 8 (13) only when it differs from the stored one.
    void SetEventFilter(const FilterState& filter);
    void SetTodoFilter(const FilterState& filter);
    bool GetFilterSwitch() const { return m_filterSwitch; }
    /// Turns all filtering on or off; hints 8 and 13 when the value changes.
    void SetFilterSwitch(bool on);
    const CDateTime& GetNow() const { return m_now; }
    /// A date without time of day.
    const CDateTime& GetSelectedDate() const { return m_selectedDate; }
    /// Stores the date part of `date`; hint 1 with the previous date when `notify` is set.
    void SetSelectedDate(const CDateTime& date, bool notify);
    /// True while at least one to-do is urgent.
    bool HasDueTodo() const { return m_dueTodo; }
    /// GUIDs of shared entries changed since the last synchronisation, in order of first change.
    const std::vector<std::string>& GetChangeList() const { return m_contents.changeList; }
    /// Empties the change list and deletes the ".sync" side file of the document's path; when
    /// the side file also records a shared place, a save is requested instead, which writes it
    /// with an empty list.
    void ClearChangeList();
    /// The shared file against which this event file last completed a cycle (SharePlaceName);
    /// empty when none.
    const std::string& GetSharedPlace() const { return m_contents.sharedPlace; }
    /// Upload done: removes from the change list the entries that the last SynchronizeWith
    /// pushed and that have not changed again since (an edit made while the upload ran is not
    /// in the uploaded file and must wait for the next cycle). With nothing left the ".sync"
    /// side file is deleted; otherwise a save is requested so that it shrinks.
    void ClearPushedChanges();
    /// The merge step of a synchronisation: reads the shared event file at `path` (a copy the
    /// caller downloaded), pushes the shared entries named in the change list into that copy as
    /// `networkWriteAccess` allows (bit 1 additions and changes, bit 2 deletions and dropped
    /// occurrences), takes over every shared entry of the copy (adds, values, dropped
    /// occurrences; no undo, no change-list entries), deletes the local shared entries that the
    /// copy no longer holds unless they are Suspended (events) or InEditor (to-dos), and, when
    /// the change list is not empty, writes the copy back to `path` whole or not at all, for the
    /// caller to upload. Returns false, with the document untouched, when `networkFunction` is 0
    /// or the file cannot be read or is not a valid event file; false after the document was
    /// updated when only the write-back failed (nothing must be uploaded then). The change list
    /// stays as it is: it is cleared when the upload has succeeded.
    bool SynchronizeWith(const std::filesystem::path& path, int networkFunction,
                         int networkWriteAccess);

    /// What the merge step knows beyond the downloaded copy.
    struct SyncMergeOptions {
        /// The shared file's identity (SharePlaceName). Recorded as the document's shared place
        /// once the cycle completes: at once when nothing is to be uploaded, otherwise by
        /// ClearPushedChanges after the upload.
        std::string place;
        /// The shared file does not exist (the copy at the path is then empty).
        bool sharedFileMissing = false;
        /// Signs that the share existed before (a time stamp or backups beside the missing
        /// file): a first cycle then does not create it on its own.
        bool shareExisted = false;
        /// Create the share from this user's entries when it is missing, empty or damaged, as
        /// asked.
        bool create = false;
    };
    /// The merge step's result.
    enum class SyncMergeResult {
        failed,            ///< not merged, document untouched (unreadable copy, write-back failed)
        merged,            ///< merged; nothing to upload
        mergedUpload,      ///< merged; the file at the path is to be uploaded
        sharedFileMissing, ///< no shared file, and none created: nothing changed
        sharedFileEmpty,   ///< a shared file of no bytes, and none created: nothing changed
    };
    /// SynchronizeWith with the evidence rules: a missing or empty shared file is never taken
    /// for a share whose entries were all deleted. When this event file never completed a cycle
    /// against `options.place` (and no sign says the share existed), or `options.create` is set
    /// (which also replaces a damaged one), the share is created: the copy becomes every shared
    /// entry of this document and is to be uploaded, and nothing is deleted. Otherwise the result
    /// is sharedFileMissing or sharedFileEmpty and nothing changes. The first cycle against
    /// `options.place`, or against a share whose identity (DocumentContents::shareId) is not the
    /// one recorded with the place, joins it: every shared entry of this document is added to the
    /// copy and nothing is deleted. Mass deletion guard: when the
    /// copy lacks more than half of this document's shared entries and there are at least 10, those
    /// entries are not deleted but held (GetHeldDeletionCount); everything else of the merge
    /// applies.
    SyncMergeResult SynchronizeWith(const std::filesystem::path& path, int networkFunction,
                                    int networkWriteAccess, const SyncMergeOptions& options);
    /// Shared entries that the last merge would have deleted but held back (mass deletion).
    int GetHeldDeletionCount() const { return static_cast<int>(m_heldDeletions.size()); }
    /// Deletes the held entries that are still shared, not in use (Suspended, InEditor) and
    /// not changed here since (in the change list); returns how many went.
    int ApplyHeldDeletions();

    /// Between these two, the operations on events and on to-dos are each undone and redone as
    /// one step (a command that changes many entries at once).
    void BeginUndoGroup();
    void EndUndoGroup();

    /// Reminders due at the last periodic update, non-silent and silent.
    int GetPendingReminderCount() const { return m_pendingCount; }
    int GetPendingSilentReminderCount() const { return m_pendingSilentCount; }

    /// The periodic update: stores `now`, lets every event not suspended evaluate its reminders
    /// and count its due ones, deletes old done to-dos when `deleteDoneTodo` is set (local, done,
    /// with a deadline before now minus `daysBeforeDeleteTodo` days, not in the editor; no undo
    /// step), hands `now` to every to-do, and sends hints 2, 6 (one event changed) or 17 (more
    /// than one), 11, 12 and 3 on the way.
    void CheckDates(const CDateTime& now, bool deleteDoneTodo, int daysBeforeDeleteTodo);

private:
    // The event and to-do operations share one implementation; these pick the list and the
    // history of the entry type.
    template <class Entry>
    std::vector<std::unique_ptr<Entry>>& List();
    template <class Entry>
    const std::vector<std::unique_ptr<Entry>>& List() const;
    template <class Entry>
    UndoHistory<Entry>& History();
    template <class Entry>
    int IndexOf(const Entry* entry) const;

    template <class Entry>
    int AddEntry(std::unique_ptr<Entry> entry, uint32_t options);
    template <class Entry>
    void ChangeEntry(Entry* entry, const Entry& newValue, uint32_t options);
    template <class Entry>
    void DeleteEntry(Entry* entry, uint32_t options);
    template <class Entry>
    bool UndoEntry();
    template <class Entry>
    bool RedoEntry();
    template <class Entry>
    void ExchangeWithSnapshot(typename UndoHistory<Entry>::Step& step);
    template <class Entry>
    void AfterEntriesChanged();
    template <class Entry>
    void RebuildSet();
    template <class Entry>
    void ApplyChangeListRule(const Entry& entry, bool storageTypeChanged, uint32_t options);

    void AddToChangeList(const std::string& guid);
    void RebuildCategories();
    void RebuildGroups();
    void RecomputeDueTodo();
    void ResetFilters();
    void DeleteContents();
    void InstallContents(DocumentContents&& contents);
    void RequestSave();
    bool WriteTo(const std::filesystem::path& path);
    // ---- the event file on disk (CDayvaultDocDisk.cpp) ----
    /// The save to the document's own file, after CheckFileBeforeSave; `asking` false keeps
    /// quiet about what the user already declined.
    bool SaveToOwnFile(bool asking);
    /// What the save does with the event file on disk.
    enum class DiskVerdict { write, leave, refuse };
    /// Whether the save may write the event file: refuse when the file is read-only, or was
    /// deleted or damaged and the user does not want it written again; leave when an unchanged
    /// document has nothing to add to a file that changed. Merges another program's changes in
    /// first.
    DiskVerdict CheckFileBeforeSave(bool asking);
    /// Asks `question`; Yes runs Save As. True when the document was saved elsewhere.
    bool OfferSaveAs(const std::string& question);
    /// Records a save that did not happen for `reason` (the user's No counts too).
    void RefuseSave(const std::string& reason);
    /// Takes another program's changes to the event file into the document; returns how many
    /// entries changed.
    int MergeChangesFromDisk(DocumentContents&& disk);
    /// Remembers `path` as read or written now, holding the entries of m_contents.
    void RememberDiskState(const std::filesystem::path& path, uint64_t fingerprint);
    void ForgetDiskState();
    /// Opening: asks when another program holds the file; takes the lock.
    void LockOnOpen(const std::filesystem::path& path);
    /// The save before the document is emptied; false when the contents must stay.
    bool SaveBeforeDiscard();
    void RecordSharedPlace(const std::string& place, const std::string& shareId);
    void NotifyInitialUpdate();

    DocumentContents m_contents;
    /// The change-list entries that the last SynchronizeWith pushed and that did not change again.
    std::vector<std::string> m_pushedChanges;
    /// The shared place of the last merge, recorded when its upload is done.
    std::string m_mergedPlace;
    std::string m_mergedShareId;
    /// GUIDs of shared entries the last merge held back from deletion.
    std::vector<std::string> m_heldDeletions;
    std::string m_lastSaveError;
    NameSet m_categories;
    NameSet m_groups;
    FilterState m_eventFilter;
    FilterState m_todoFilter;
    bool m_filterSwitch = true;
    CDateTime m_now;
    CDateTime m_selectedDate;
    bool m_dueTodo = false;
    int m_pendingCount = 0;
    int m_pendingSilentCount = 0;
    UndoHistory<CDateEntry> m_eventHistory;
    UndoHistory<CTodoEntry> m_todoHistory;

    std::filesystem::path m_path;
    /// The event file as this document last read or wrote it.
    struct DiskStamp {
        uintmax_t size = 0;
        std::filesystem::file_time_type time;
        uint64_t fingerprint = 0;
    };
    std::optional<DiskStamp> m_diskStamp;
    /// The entries of that state, the base of the merge with another program's changes.
    std::unordered_map<std::string, DateData> m_baseEvents;
    std::unordered_map<std::string, std::pair<TodoData, bool>> m_baseTodos;
    std::set<std::string> m_baseCategories;
    EventFileLock m_lock;
    bool m_useLockFiles = false;
    bool m_readOnly = false;
    bool m_saveDeclined = false; // the user answered No to writing the file; see SaveCommand
    bool m_modified = false;
    bool m_saveQuestionOpen = false;
    IPrompt* m_prompt = nullptr;
    std::function<void()> m_saveRequestHook;
    std::function<void()> m_saveAsHook;
    std::function<void(const CDateEntry&)> m_syncActionHook;

    std::vector<IDocumentObserver*> m_observers;
    int m_notifyDepth = 0; // observers removed during a notification are compacted afterwards
};

} // namespace dv
