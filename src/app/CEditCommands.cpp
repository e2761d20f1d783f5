#include "app/CEditCommands.h"

#include "app/CAlarmScheduler.h"
#include "app/CDateEditSheet.h"
#include "app/CDayvaultApp.h"
#include "app/CIcalCommands.h"
#include "app/CMainFrame.h"
#include "app/CReminderDlg.h"
#include "app/CTodoEditDlg.h"
#include "app/CommandTable.h"
#include "core/CArchiveException.h"
#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/ClipboardBlock.h"
#include "format/CDateEntryFormatter.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/ILauncher.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QUrl>

namespace dv {

namespace {

// The date parts of `value` set to those of `date`; the time of day stays.
CDateTime OnDate(CDateTime value, const CDateTime& date) {
    value.SetDate(date.GetYear(), date.GetMonth(), date.GetDay());
    return value;
}

QByteArray ToBytes(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

std::span<const uint8_t> FromBytes(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

// The sheet works on copies; the document takes them back only from an accepted edit.
std::vector<std::unique_ptr<CDateEntry>> CopyTemplates(const CDayvaultDoc& doc) {
    std::vector<std::unique_ptr<CDateEntry>> templates;
    for (int i = 0; i < doc.GetTemplateCount(); ++i) {
        templates.push_back(std::make_unique<CDateEntry>(*doc.GetTemplate(i)));
    }
    return templates;
}

} // namespace

QString EventMimeType() {
    // On Windows Qt maps this form to the registered clipboard format of that name.
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
        .arg(QLatin1String(kEventClipboardFormat));
}

QString TodoMimeType() {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
        .arg(QLatin1String(kTodoClipboardFormat));
}

CEditCommands::CEditCommands(CDayvaultApp& app, CMainFrame& frame) : m_app(app), m_frame(frame) {
    m_app.Document().AddObserver(*this);
    // Asking the clipboard may wait for another program; its formats are read once per change.
    QClipboard* clipboard = QApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::dataChanged, &m_frame, [this] {
        ReadClipboardFormats();
        m_frame.UpdateCommandUi();
    });
    ReadClipboardFormats();
}

void CEditCommands::ReadClipboardFormats() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    // Another program's calendar data pastes on either page: it holds events and to-dos. Our
    // own copies carry it too, but paste by their own format on their own page only.
    const bool calendar = mime != nullptr && mime->hasFormat(QLatin1String(kIcalMimeType)) &&
                          !mime->hasFormat(EventMimeType()) && !mime->hasFormat(TodoMimeType());
    m_clipboardHasEvent = calendar || (mime != nullptr && mime->hasFormat(EventMimeType()));
    m_clipboardHasTodo = calendar || (mime != nullptr && mime->hasFormat(TodoMimeType()));
}

CEditCommands::~CEditCommands() {
    m_app.Document().RemoveObserver(*this);
}

bool CEditCommands::OnTodoPage() const {
    return m_frame.CurrentPage() == CMainFrame::TodoPage;
}

EditorServices CEditCommands::Services() const {
    EditorServices services;
    services.settings = &m_app.Settings();
    services.prompt = &m_app.Prompt();
    services.fileDialogs = &m_app.FileDialogs();
    services.sound = m_frame.SoundPlayer();
    services.store = &m_app.Store();
    return services;
}

void CEditCommands::PostSave() {
    CDayvaultDoc* doc = &m_app.Document();
    QMetaObject::invokeMethod(
        &m_frame, [doc] { doc->SaveCommand(); }, Qt::QueuedConnection);
}

std::optional<CDateTime> CEditCommands::SelectedOccurrence() const {
    if (m_event == nullptr || !m_occurrenceValid) {
        return std::nullopt;
    }
    return m_occurrence;
}

void CEditCommands::SelectEntry(CDateEntry* event, const CDateTime& occurrence) {
    m_event = event;
    m_occurrence = occurrence;
    m_occurrenceValid = event != nullptr;
    m_frame.UpdateCommandUi();
}

void CEditCommands::SelectTodo(CTodoEntry* todo) {
    m_todo = todo;
    if (todo != nullptr && m_todoListener) {
        m_todoListener(todo);
    }
    m_frame.UpdateCommandUi();
}

void CEditCommands::OnUpdate(UpdateHint hint, const HintObject& object) {
    const CDayvaultDoc& doc = m_app.Document();
    switch (hint) {
    case UpdateHint::EventDeleted:
    case UpdateHint::EventsReset:
    case UpdateHint::Merged:
        if (m_event != nullptr && doc.IndexOfDateEntry(m_event) < 0) {
            m_event = nullptr;
            m_occurrenceValid = false;
        }
        if (hint != UpdateHint::Merged) {
            break;
        }
        [[fallthrough]];
    case UpdateHint::TodoDeleted:
    case UpdateHint::TodosReset:
        if (m_todo != nullptr && doc.IndexOfTodoEntry(m_todo) < 0) {
            m_todo = nullptr;
        }
        break;
    default:
        break;
    }
    (void)object;
}

void CEditCommands::OnInitialUpdate() {
    m_event = nullptr;
    m_occurrenceValid = false;
    m_todo = nullptr;
}

// ---- Events --------------------------------------------------------------------------------

bool CEditCommands::NewEvent(std::optional<CDateTime> date) {
    CDayvaultDoc& doc = m_app.Document();
    doc.EnsureDefaultTemplate();
    const CDateTime day = date.value_or(doc.GetSelectedDate());
    DateData data = doc.GetTemplate(0)->GetData();
    data.StartDate = OnDate(data.StartDate, day);
    data.EndDate = OnDate(data.EndDate, day);
    data.RepeatEndDate = OnDate(data.RepeatEndDate, day);
    StartAtNextHourToday(data, CDateTime::Now());
    CDateEditSheet sheet(CDateEditSheet::NewEvent, Services(), &m_frame);
    sheet.SetData(data);
    sheet.SetTemplates(CopyTemplates(doc));
    if (sheet.exec() != QDialog::Accepted) {
        return false;
    }
    // A new event: reminders count from now, then the user's data.
    const CDateTime now = CDateTime::Now();
    auto event = std::make_unique<CDateEntry>(now);
    event->UpdateReminders(now);
    DateData result = sheet.GetData();
    result.GUID = event->GetGUID();
    event->SetData(result, now);
    doc.AddDateEntry(std::move(event), kEditInteractive);
    return true;
}

bool CEditCommands::EditEvent(CDateEntry* event) {
    CDayvaultDoc& doc = m_app.Document();
    if (event == nullptr || doc.IndexOfDateEntry(event) < 0) {
        return false;
    }
    const bool wasSuspended = event->IsSuspended();
    event->SetSuspended(true);
    CDateEditSheet sheet(CDateEditSheet::EditEvent, Services(), &m_frame);
    sheet.SetData(event->GetData());
    sheet.SetTemplates(CopyTemplates(doc));
    const bool accepted = sheet.exec() == QDialog::Accepted;
    // The modal loop may have let a merge or an undo remove the event meanwhile.
    if (doc.IndexOfDateEntry(event) < 0) {
        return false;
    }
    event->SetSuspended(wasSuspended);
    if (!accepted || sheet.GetData() == event->GetData()) {
        return false;
    }
    doc.ChangeDateEntry(event, sheet.GetData(), kEditInteractive);
    return true;
}

bool CEditCommands::EditEventData(DateData& data, bool isNew) {
    CDayvaultDoc& doc = m_app.Document();
    // Above the window that asked (the database window), else above the main window.
    QWidget* parent = QApplication::activeModalWidget();
    CDateEditSheet sheet(isNew ? CDateEditSheet::NewEvent : CDateEditSheet::EditEvent, Services(),
                         parent != nullptr ? parent : &m_frame);
    sheet.SetData(data);
    sheet.SetTemplates(CopyTemplates(doc));
    if (sheet.exec() != QDialog::Accepted) {
        return false;
    }
    data = sheet.GetData();
    return true;
}

std::string CEditCommands::EventText(CDateEntry& event, const CDateTime& occurrence) const {
    const FormatSettings formats = m_app.Settings().GetFormatSettings();
    CDateEntryFormatter formatter(event, formats, kFormatSetCalendar);
    return formatter.FormatForDay(occurrence, occurrence);
}

void CEditCommands::DeleteOccurrence(CDateEntry* event, const CDateTime& occurrence, bool ask) {
    CDayvaultDoc& doc = m_app.Document();
    if (event == nullptr || event->IsSuspended() || doc.IndexOfDateEntry(event) < 0) {
        return;
    }
    event->SetSuspended(true);
    const auto finish = [this, &doc, event] {
        if (doc.IndexOfDateEntry(event) >= 0) {
            event->SetSuspended(false);
        }
        PostSave();
    };
    if (event->IsDropped(occurrence)) {
        doc.RestoreDateOccurrence(event, occurrence, kEditInteractive);
        finish();
        return;
    }
    if (ask && m_app.Settings().WarnOnDelete &&
        !m_app.Prompt().AskYesNo(LoadString(kIdsAskDeleteEntry) + "\n" +
                                     EventText(*event, occurrence),
                                 PromptIcon::Question)) {
        finish();
        return;
    }
    if (event->GetData().Repeat != 0) {
        doc.DropDateOccurrence(event, occurrence, kEditInteractive);
        if (event == m_event && m_occurrenceValid && m_occurrence == occurrence) {
            m_occurrenceValid = false;
        }
        finish();
        return;
    }
    event->SetSuspended(false);
    DeleteSequence(event, false);
}

void CEditCommands::DeleteSequence(CDateEntry* event, bool ask) {
    CDayvaultDoc& doc = m_app.Document();
    if (event == nullptr || event->IsSuspended() || doc.IndexOfDateEntry(event) < 0) {
        return;
    }
    event->SetSuspended(true);
    if (ask && m_app.Settings().WarnOnCompleteDelete &&
        !m_app.Prompt().AskYesNo(LoadString(kIdsAskDeleteWholeEvent) + "\n" +
                                     event->GetData().Description,
                                 PromptIcon::Exclamation)) {
        if (doc.IndexOfDateEntry(event) >= 0) {
            event->SetSuspended(false);
        }
        return;
    }
    if (doc.IndexOfDateEntry(event) < 0) {
        return;
    }
    if (event == m_event) {
        m_event = nullptr;
        m_occurrenceValid = false;
    }
    doc.DeleteDateEntry(event, kEditInteractive);
    PostSave();
}

bool CEditCommands::EditCategories() {
    CDayvaultDoc& doc = m_app.Document();
    doc.EnsureDefaultTemplate();
    const CDateTime today = CDateTime::Now().GetDate();
    DateData data = doc.GetTemplate(0)->GetData();
    data.StartDate = OnDate(data.StartDate, today);
    data.EndDate = OnDate(data.EndDate, today);
    data.RepeatEndDate = OnDate(data.RepeatEndDate, today);
    CDateEditSheet sheet(CDateEditSheet::EditCategories, Services(), &m_frame);
    sheet.SetData(data);
    sheet.SetTemplates(CopyTemplates(doc));
    if (sheet.exec() != QDialog::Accepted) {
        return false;
    }
    std::vector<std::unique_ptr<CDateEntry>>& copies = sheet.Templates();
    if (const int selected = sheet.SelectedTemplate();
        selected >= 0 && selected < static_cast<int>(copies.size())) {
        copies[selected]->SetData(sheet.GetData());
    }
    doc.ReplaceTemplates(std::move(copies));
    PostSave();
    return true;
}

// ---- To-dos --------------------------------------------------------------------------------

bool CEditCommands::NewTodo() {
    CDayvaultDoc& doc = m_app.Document();
    const CDateTime now = CDateTime::Now();
    auto todo = std::make_unique<CTodoEntry>(now);
    std::vector<std::string> groups(doc.GetGroups().begin(), doc.GetGroups().end());
    if (groups.empty()) {
        // A file without to-dos has no group yet; the first to-do goes to the default one.
        groups.push_back(LoadString(kIdsDefaultTodoGroup));
    }
    CTodoEditDlg dialog(todo->GetData(), groups, Services(), &m_frame);
    dialog.ShowAsNew();
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    todo->SetData(dialog.GetData());
    doc.AddTodoEntry(std::move(todo), kEditInteractive);
    return true;
}

bool CEditCommands::EditTodo(CTodoEntry* todo) {
    CDayvaultDoc& doc = m_app.Document();
    if (todo == nullptr || doc.IndexOfTodoEntry(todo) < 0) {
        return false;
    }
    todo->SetInEditor(true);
    const std::vector<std::string> groups(doc.GetGroups().begin(), doc.GetGroups().end());
    CTodoEditDlg dialog(todo->GetData(), groups, Services(), &m_frame);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (doc.IndexOfTodoEntry(todo) < 0) {
        return false;
    }
    todo->SetInEditor(false);
    if (!accepted || dialog.GetData() == todo->GetData()) {
        return false;
    }
    doc.ChangeTodoEntry(todo, dialog.GetData(), kEditInteractive);
    return true;
}

void CEditCommands::DeleteTodo(CTodoEntry* todo, bool ask) {
    CDayvaultDoc& doc = m_app.Document();
    if (todo == nullptr || doc.IndexOfTodoEntry(todo) < 0) {
        return;
    }
    if (ask && m_app.Settings().WarnOnDelete &&
        !m_app.Prompt().AskYesNo(LoadString(kIdsAskDeleteEntry), PromptIcon::Question)) {
        return;
    }
    if (doc.IndexOfTodoEntry(todo) < 0) {
        return;
    }
    if (todo == m_todo) {
        m_todo = nullptr;
    }
    doc.DeleteTodoEntry(todo, kEditInteractive);
    PostSave();
}

// ---- Clipboard -----------------------------------------------------------------------------

bool CEditCommands::Copy() {
    const FormatSettings formats = m_app.Settings().GetFormatSettings();
    auto mime = std::make_unique<QMimeData>();
    if (OnTodoPage()) {
        if (m_todo == nullptr) {
            return false;
        }
        mime->setData(TodoMimeType(), ToBytes(WriteTodoClipboardBlock(*m_todo)));
        mime->setText(QString::fromStdString(
            RenderTodoClipboardText(*m_todo, m_app.Settings().ClipboardTodo, formats)));
    } else {
        if (m_event == nullptr) {
            return false;
        }
        const CDateTime occurrence = m_occurrenceValid ? m_occurrence : m_event->GetFirstStart();
        mime->setData(EventMimeType(), ToBytes(WriteEventClipboardBlock(*m_event, occurrence)));
        mime->setText(QString::fromStdString(
            RenderEventClipboardText(*m_event, occurrence, occurrence, formats)));
    }
    const std::string calendar =
        EntryAsIcal(m_app, OnTodoPage() ? m_todo->GetGUID() : m_event->GetGUID());
    mime->setData(QLatin1String(kIcalMimeType), QByteArray::fromStdString(calendar));
    QApplication::clipboard()->setMimeData(mime.release());
    return true;
}

bool CEditCommands::Paste() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (mime == nullptr) {
        return false;
    }
    CDayvaultDoc& doc = m_app.Document();
    if (mime->hasFormat(QLatin1String(kIcalMimeType)) && !mime->hasFormat(EventMimeType()) &&
        !mime->hasFormat(TodoMimeType())) {
        return ImportIcalWithReport(m_app, mime->data(QLatin1String(kIcalMimeType)).toStdString(),
                                    LoadString(kIdsIcalClipboardName)) != nullptr;
    }
    try {
        if (OnTodoPage()) {
            if (!mime->hasFormat(TodoMimeType())) {
                return false;
            }
            const QByteArray bytes = mime->data(TodoMimeType());
            const auto todo = ReadTodoClipboardBlock(FromBytes(bytes));
            doc.AddTodoEntry(MakePastedTodo(*todo), kEditInteractive);
        } else {
            if (!mime->hasFormat(EventMimeType())) {
                return false;
            }
            const QByteArray bytes = mime->data(EventMimeType());
            const EventClipboardBlock block = ReadEventClipboardBlock(FromBytes(bytes));
            doc.AddDateEntry(MakePastedEvent(block, doc.GetSelectedDate(), CDateTime::Now()),
                             kEditInteractive);
        }
    } catch (const std::exception& error) {
        m_app.Prompt().ShowMessage(FormatString(kIdsCannotReadImport, error.what()),
                                   PromptIcon::Stop);
        return false;
    }
    PostSave();
    return true;
}

// ---- Command handlers ----------------------------------------------------------------------

void CEditCommands::RegisterHandlers() {
    CMainFrame& frame = m_frame;
    const auto eventSelected = [this] { return !OnTodoPage() && m_event != nullptr; };
    const auto todoSelected = [this] { return OnTodoPage() && m_todo != nullptr; };
    const auto occurrence = [this] {
        return !OnTodoPage() && m_event != nullptr && m_occurrenceValid;
    };

    frame.SetHandler(cmd::kNewEntry, {[this] { OnTodoPage() ? NewTodo() : NewEvent(); }});
    frame.SetHandler(cmd::kNewEvent, {[this] { NewEvent(); }});
    frame.SetHandler(cmd::kNewTodo, {[this] { NewTodo(); }});
    frame.SetHandler(cmd::kEditEntry,
                     {[this] { OnTodoPage() ? EditTodo(m_todo) : EditEvent(m_event); },
                      [todoSelected, occurrence] { return todoSelected() || occurrence(); }});
    frame.SetHandler(
        cmd::kDeleteEntry,
        {[this] {
             if (OnTodoPage()) {
                 DeleteTodo(m_todo, true);
             } else if (m_event != nullptr) {
                 DeleteOccurrence(
                     m_event, m_occurrenceValid ? m_occurrence : m_event->GetFirstStart(), true);
             }
         },
         [todoSelected, eventSelected] { return todoSelected() || eventSelected(); }});
    frame.SetHandler(cmd::kDeleteSequence,
                     {[this] { DeleteSequence(m_event, true); }, eventSelected});
    const auto markable = [this, todoSelected, occurrence](bool done) {
        if (OnTodoPage()) {
            return todoSelected() && m_todo->IsDone() != done;
        }
        return occurrence() && !m_event->IsDropped(m_occurrence) &&
               m_event->IsDone(m_occurrence) != done;
    };
    const auto mark = [this](bool done) {
        if (OnTodoPage()) {
            m_app.Document().SetTodoDone(m_todo, done);
            return;
        }
        // Through the document, which tells the views (hint 6) and asks for a save.
        CDateEntry changed(*m_event);
        changed.SetDone(m_occurrence, done);
        m_app.Document().ChangeDateEntry(m_event, changed, kEditSendHint);
    };
    frame.SetHandler(cmd::kMarkDone,
                     {[mark] { mark(true); }, [markable] { return markable(true); }});
    frame.SetHandler(cmd::kMarkUndone,
                     {[mark] { mark(false); }, [markable] { return markable(false); }});
    frame.SetHandler(cmd::kExecuteNow,
                     {[this] {
                          if (OnTodoPage()) {
                              const std::string& file = m_todo->GetData().DocumentFile;
                              if (!m_frame.Launcher().OpenDocument(file)) {
                                  m_app.Prompt().ShowMessage(
                                      FormatString(kIdsCannotOpenDocument, file), PromptIcon::Stop);
                              }
                          } else {
                              m_frame.Scheduler().ExecuteAction(*m_event, true);
                          }
                      },
                      [this, todoSelected, eventSelected] {
                          if (OnTodoPage()) {
                              return todoSelected() && !m_todo->IsDone() &&
                                     m_todo->GetData().AssociateDocumentFile != 0;
                          }
                          return eventSelected() && m_event->GetData().Action != 0;
                      }});

    const auto copyable = [todoSelected, eventSelected] {
        return todoSelected() || eventSelected();
    };
    frame.SetHandler(cmd::kCopy, {[this] { Copy(); }, copyable});
    frame.SetHandler(cmd::kCut, {[this] {
                                     if (!Copy()) {
                                         return;
                                     }
                                     if (OnTodoPage()) {
                                         DeleteTodo(m_todo, false);
                                     } else {
                                         DeleteOccurrence(m_event,
                                                          m_occurrenceValid
                                                              ? m_occurrence
                                                              : m_event->GetFirstStart(),
                                                          false);
                                     }
                                 },
                                 copyable});
    frame.SetHandler(cmd::kPaste,
                     {[this] { Paste(); },
                      [this] { return OnTodoPage() ? m_clipboardHasTodo : m_clipboardHasEvent; }});
    frame.SetHandler(cmd::kCategories, {[this] { EditCategories(); }});
}

} // namespace dv
