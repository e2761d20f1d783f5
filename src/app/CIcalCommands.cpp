#include "app/CIcalCommands.h"

#include "app/CAlarmScheduler.h"
#include "app/CDayvaultApp.h"
#include "app/CEditCommands.h"
#include "app/CMainFrame.h"
#include "app/CReminderDlg.h"
#include "app/CSharedActionApprovals.h"
#include "app/CommandTable.h"
#include "app/IFileDialogs.h"
#include "app/UiText.h"
#include "core/ByteStream.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "ical/IcalMapping.h"
#include "ical/UidStore.h"

#include <QDialogButtonBox>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <span>
#include <sstream>
#include <unordered_map>

namespace dv {

namespace {

using Kind = ical::EntryOutcome::Kind;

bool Approximated(const ical::EntryOutcome& entry) {
    return (entry.kind == Kind::added || entry.kind == Kind::updated) && !entry.reasons.empty();
}

// The document's entries as the library's contents: the mapping works on copies, and the
// document then takes the result through its own operations (undo, hints, change list).
DocumentContents CopyOfDocument(const CDayvaultDoc& doc) {
    DocumentContents contents;
    for (const auto& event : doc.GetDateEntries()) {
        contents.events.push_back(std::make_unique<CDateEntry>(*event));
    }
    for (const auto& todo : doc.GetTodoEntries()) {
        contents.todos.push_back(std::make_unique<CTodoEntry>(*todo));
    }
    contents.changeList = doc.GetChangeList();
    return contents;
}

// An untitled document has no side file: its entries' original UIDs live until it is closed.
ical::UidStore LoadUids(const CDayvaultDoc& doc) {
    return doc.GetPathName().empty() ? ical::UidStore{} : ical::UidStore::Load(doc.GetPathName());
}

// An action that came with a calendar was chosen by someone else: the approvals ask before its
// first run, as for one that came through sharing.
void NoteImportedActions(CDayvaultApp& app, const std::vector<std::string>& guids) {
    CMainFrame* frame = app.Frame();
    if (frame == nullptr) {
        return;
    }
    for (const auto& guid : guids) {
        if (const CDateEntry* event = app.Document().FindDateEntry(guid)) {
            frame->Scheduler().GetApprovals().NoteReceived(event->GetData());
        }
    }
}

class UndoGroup {
public:
    explicit UndoGroup(CDayvaultDoc& doc) : m_doc(doc) { m_doc.BeginUndoGroup(); }
    ~UndoGroup() { m_doc.EndUndoGroup(); }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    CDayvaultDoc& m_doc;
};

std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    if (in) {
        text << in.rdbuf();
    }
    if (!in || in.bad()) {
        throw std::runtime_error(file.string() + ": " + std::strerror(errno));
    }
    return text.str();
}

// Takes calendars dropped onto the main window.
class CIcalDropFilter final : public QObject {
public:
    CIcalDropFilter(CDayvaultApp& app, QObject* parent) : QObject(parent), m_app(app) {}

    static std::vector<std::filesystem::path> CalendarFiles(const QMimeData* mime) {
        std::vector<std::filesystem::path> files;
        if (mime == nullptr || !mime->hasUrls()) {
            return files;
        }
        for (const QUrl& url : mime->urls()) {
            if (url.isLocalFile() && IsIcalFile(url.toLocalFile().toStdString())) {
                files.emplace_back(url.toLocalFile().toStdString());
            }
        }
        return files;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!CalendarFiles(drag->mimeData()).empty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto files = CalendarFiles(drop->mimeData());
            if (!files.empty()) {
                drop->acceptProposedAction();
                for (const auto& file : files) {
                    ImportIcalFile(m_app, file);
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CDayvaultApp& m_app;
};

} // namespace

CIcalImportReportDlg::CIcalImportReportDlg(const std::string& sourceName,
                                           const ical::ImportReport& report, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("IcalImportReport"));
    setWindowTitle(Text(kIdsIcalReportTitle));
    int approximated = 0;
    for (const auto& entry : report.entries) {
        approximated += Approximated(entry) ? 1 : 0;
    }
    m_summary =
        new QLabel(QString::fromStdString(FormatString(
                       kIdsIcalReportSummary,
                       {sourceName, std::to_string(report.Count(Kind::added)),
                        std::to_string(report.Count(Kind::updated)),
                        std::to_string(report.Count(Kind::unchanged)), std::to_string(approximated),
                        std::to_string(report.Count(Kind::skipped))})),
                   this);
    m_summary->setWordWrap(true);
    m_entries = new QTreeWidget(this);
    m_entries->setRootIsDecorated(false);
    m_entries->setHeaderLabels({Text(kIdsIcalReportColumnOutcome), Text(kIdsIcalReportColumnEntry),
                                Text(kIdsIcalReportColumnReason)});
    for (const auto& entry : report.entries) {
        uint32_t outcome = 0;
        switch (entry.kind) {
        case Kind::added:
            outcome = Approximated(entry) ? kIdsIcalReportApproximated : kIdsIcalReportAdded;
            break;
        case Kind::updated:
            outcome = Approximated(entry) ? kIdsIcalReportApproximated : kIdsIcalReportUpdated;
            break;
        case Kind::skipped:
            outcome = kIdsIcalReportSkipped;
            break;
        case Kind::unchanged:
            continue; // counted above; nothing to look at
        }
        const std::string& name = entry.summary.empty() ? entry.uid : entry.summary;
        std::string reasons;
        for (const auto& reason : entry.reasons) {
            reasons += (reasons.empty() ? "" : "\n") + reason;
        }
        new QTreeWidgetItem(m_entries, {Text(outcome), QString::fromStdString(name),
                                        QString::fromStdString(reasons)});
    }
    m_entries->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_entries, 1);
    layout->addWidget(buttons);
    resize(720, 400);
}

ical::ImportReport ImportIcalIntoDocument(CDayvaultApp& app, std::string_view text) {
    CDayvaultDoc& doc = app.Document();
    DocumentContents copy = CopyOfDocument(doc);
    ical::UidStore uids = LoadUids(doc);
    ical::ImportReport report = ical::ImportCalendar(text, copy, uids, doc.GetNow());
    if (!report.Changed()) {
        return report;
    }
    // The side file first: a UID without its entry does no harm, an entry without its UID
    // would be exported under another one.
    if (!doc.GetPathName().empty()) {
        uids.Save(doc.GetPathName());
    }
    std::unordered_map<std::string, const CDateEntry*> events;
    for (const auto& event : copy.events) {
        events.emplace(event->GetGUID(), event.get());
    }
    std::unordered_map<std::string, const CTodoEntry*> todos;
    for (const auto& todo : copy.todos) {
        todos.emplace(todo->GetGUID(), todo.get());
    }
    {
        UndoGroup group(doc);
        for (const auto& entry : report.entries) {
            if (entry.kind != Kind::added && entry.kind != Kind::updated) {
                continue;
            }
            for (const auto& guid : entry.guids) {
                if (const auto found = events.find(guid); found != events.end()) {
                    if (CDateEntry* live = doc.FindDateEntry(guid)) {
                        doc.ChangeDateEntry(live, *found->second, kEditInteractive);
                    } else {
                        doc.AddDateEntry(std::make_unique<CDateEntry>(*found->second),
                                         kEditInteractive);
                    }
                } else if (const auto todo = todos.find(guid); todo != todos.end()) {
                    if (CTodoEntry* live = doc.FindTodoEntry(guid)) {
                        doc.ChangeTodoEntry(live, *todo->second, kEditInteractive);
                    } else {
                        doc.AddTodoEntry(std::make_unique<CTodoEntry>(*todo->second),
                                         kEditInteractive);
                    }
                }
            }
        }
    }
    NoteImportedActions(app, report.receivedActions);
    return report;
}

CIcalImportReportDlg* ImportIcalWithReport(CDayvaultApp& app, std::string_view text,
                                           const std::string& sourceName) {
    try {
        const ical::ImportReport report = ImportIcalIntoDocument(app, text);
        auto* dialog = new CIcalImportReportDlg(sourceName, report, app.Frame());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        return dialog;
    } catch (const std::exception& error) {
        app.Prompt().ShowMessage(
            FormatString(kIdsIcalCannotImport, sourceName + ": " + error.what()), PromptIcon::Stop);
        return nullptr;
    }
}

CIcalImportReportDlg* ImportIcalFile(CDayvaultApp& app, const std::filesystem::path& file) {
    std::string text;
    try {
        text = ReadWholeFile(file);
    } catch (const std::exception& error) {
        app.Prompt().ShowMessage(FormatString(kIdsIcalCannotImport, error.what()),
                                 PromptIcon::Stop);
        return nullptr;
    }
    return ImportIcalWithReport(app, text, file.string());
}

std::string EntryAsIcal(CDayvaultApp& app, const std::string& guid) {
    const CDayvaultDoc& doc = app.Document();
    ical::UidStore uids;
    try {
        uids = LoadUids(doc);
    } catch (const std::exception&) {
        // A damaged side file costs the original UID, not the copy.
    }
    const DocumentContents contents = CopyOfDocument(doc);
    ical::ExportReport report;
    const std::string text =
        ical::ExportCalendar(contents, uids, ical::UtcOf(CDateTime::Now()), report,
                             [&guid](const std::string& candidate) { return candidate == guid; });
    return report.exported > 0 ? text : std::string{};
}

bool IsIcalFile(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension == ".ics" || extension == ".ical" || extension == ".icalendar";
}

void OfferIcalImport(CDayvaultApp& app, const std::filesystem::path& file) {
    const std::string target = app.Document().GetTitle();
    if (app.Prompt().AskYesNo(FormatString(kIdsIcalOfferImport, {file.string(), target}),
                              PromptIcon::Question)) {
        ImportIcalFile(app, file);
    }
}

void RegisterIcalCommands(CMainFrame& frame, CDayvaultApp& app) {
    frame.SetHandler(cmd::kIcalImport, {[&frame, &app] {
                         if (const auto path =
                                 app.FileDialogs().OpenFile(&frame, LoadString(kIdsIcalFilter))) {
                             ImportIcalFile(app, *path);
                         }
                     }});
    frame.SetHandler(
        cmd::kIcalExport, {[&frame, &app] {
            CEditCommands& edit = frame.EditCommands();
            const bool todoPage = frame.CurrentPage() == CMainFrame::TodoPage;
            std::string guid;
            std::string name;
            if (todoPage && edit.SelectedTodo() != nullptr) {
                guid = edit.SelectedTodo()->GetGUID();
                name = edit.SelectedTodo()->GetData().Description;
            } else if (!todoPage && edit.SelectedEvent() != nullptr) {
                guid = edit.SelectedEvent()->GetGUID();
                name = edit.SelectedEvent()->GetData().Description;
            }
            if (!guid.empty() && !app.Prompt().AskYesNo(FormatString(kIdsIcalExportSelection, name),
                                                        PromptIcon::Question)) {
                guid.clear();
            }
            const auto path = app.FileDialogs().SaveFile(&frame, LoadString(kIdsIcalFilter), "ics");
            if (!path) {
                return;
            }
            try {
                const CDayvaultDoc& doc = app.Document();
                const ical::UidStore uids = LoadUids(doc);
                ical::ExportReport report;
                const std::string text =
                    ical::ExportCalendar(CopyOfDocument(doc), uids, ical::UtcOf(CDateTime::Now()),
                                         report, [&guid](const std::string& candidate) {
                                             return guid.empty() || candidate == guid;
                                         });
                CAtomicFileSink sink(*path);
                sink.Write(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()),
                                                    text.size()));
                sink.Commit();
                const std::string count = std::to_string(report.exported);
                app.Prompt().ShowMessage(
                    report.approximated.empty()
                        ? FormatString(kIdsIcalExported, {count, path->string()})
                        : FormatString(
                              kIdsIcalExportedApprox,
                              {count, path->string(), std::to_string(report.approximated.size())}),
                    PromptIcon::Information);
            } catch (const std::exception& error) {
                app.Prompt().ShowMessage(
                    FormatString(kIdsIcalCannotExport, path->string() + ": " + error.what()),
                    PromptIcon::Stop);
            }
        }});
    frame.setAcceptDrops(true);
    frame.installEventFilter(new CIcalDropFilter(app, &frame));
}

} // namespace dv
