#pragma once

#include "core/CDateTime.h"
#include "document/DocumentObserver.h"

#include <QString>
#include <functional>
#include <optional>

namespace dv {

class CDateEntry;
struct DateData;
class CDayvaultApp;
class CMainFrame;
class CTodoEntry;
struct EditorServices;

/// The main window's selection and the commands that act on it: new, edit, delete, delete
/// sequence, mark done and undone, execute now, cut, copy, paste and the category editor. The
/// calendar pages report an event and one of its occurrences, the to-do page a to-do; each
/// command acts on the selection of the page shown.
class CEditCommands final : public IDocumentObserver {
public:
    CEditCommands(CDayvaultApp& app, CMainFrame& frame);
    ~CEditCommands() override;
    CEditCommands(const CEditCommands&) = delete;
    CEditCommands& operator=(const CEditCommands&) = delete;

    /// Installs the handlers of the edit commands in the frame.
    void RegisterHandlers();

    // ---- Selection (what the pages report)
    /// An event and the start of one of its occurrences; null: no event.
    void SelectEntry(CDateEntry* event, const CDateTime& occurrence);
    /// The occurrence is no longer valid (the event stays selected).
    void InvalidateOccurrence() { m_occurrenceValid = false; }
    void SelectTodo(CTodoEntry* todo);
    /// Told of every to-do the to-do page selects (the search and filter sidebar shows it).
    void SetTodoSelectionListener(std::function<void(CTodoEntry*)> listener) {
        m_todoListener = std::move(listener);
    }
    CDateEntry* SelectedEvent() const { return m_event; }
    std::optional<CDateTime> SelectedOccurrence() const;
    CTodoEntry* SelectedTodo() const { return m_todo; }

    // ---- Operations (also for windows that open the editors themselves)
    /// The event editor for a new event on `date` (the selected date when none); true on OK.
    bool NewEvent(std::optional<CDateTime> date = std::nullopt);
    /// The event editor for `event`; true when it was changed.
    bool EditEvent(CDateEntry* event);
    /// The event editor on `data` alone (for the event database window's working copies), in
    /// the mode of a new or an existing event; true on OK with `data` changed. The document is
    /// not touched.
    bool EditEventData(DateData& data, bool isNew);
    bool NewTodo();
    bool EditTodo(CTodoEntry* todo);
    /// Deletes one occurrence (restores a dropped one); `ask` asks the configured questions.
    void DeleteOccurrence(CDateEntry* event, const CDateTime& occurrence, bool ask);
    /// Deletes the whole event.
    void DeleteSequence(CDateEntry* event, bool ask);
    void DeleteTodo(CTodoEntry* todo, bool ask);
    /// The category editor (mode 0); true on OK.
    bool EditCategories();
    /// Puts the selected entry of the page shown on the clipboard; false when nothing is selected.
    bool Copy();
    /// Adds the clipboard's entry of the page shown; false when it holds none.
    bool Paste();

    // ---- IDocumentObserver
    void OnUpdate(UpdateHint hint, const HintObject& object) override;
    void OnInitialUpdate() override;

private:
    bool OnTodoPage() const;
    EditorServices Services() const;
    void PostSave();
    void ReadClipboardFormats();
    std::string EventText(CDateEntry& event, const CDateTime& occurrence) const;

    CDayvaultApp& m_app;
    CMainFrame& m_frame;
    CDateEntry* m_event = nullptr;
    CDateTime m_occurrence;
    bool m_occurrenceValid = false;
    CTodoEntry* m_todo = nullptr;
    std::function<void(CTodoEntry*)> m_todoListener;
    bool m_clipboardHasEvent = false;
    bool m_clipboardHasTodo = false;
};

/// The clipboard's MIME names of the two entry formats.
QString EventMimeType();
QString TodoMimeType();

} // namespace dv
