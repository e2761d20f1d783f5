// The main window's command handlers: file, edit, view, window and help commands.
#include "app/CAlarmScheduler.h"
#include "app/CCsvExportDlg.h"
#include "app/CCurrentTimeBar.h"
#include "app/CDayvaultApp.h"
#include "app/CEditCommands.h"
#include "app/CEventDatabaseDlg.h"
#include "app/CFormatsDlg.h"
#include "app/CHelpViewer.h"
#include "app/CHolidaySetupDlg.h"
#include "app/CHtmlExportDlg.h"
#include "app/CMainFrame.h"
#include "app/CNavigationBar.h"
#include "app/COptionsDlg.h"
#include "app/CReminderDlg.h"
#include "app/CommandTable.h"
#include "app/HelpLinks.h"
#include "app/IFileDialogs.h"
#include "core/CDateTime.h"
#include "core/Prompt.h"
#include "document/TextBackup.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/IProfileStore.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

namespace dv {

namespace {

constexpr std::string_view kRecentSection = "Recent File List";
constexpr int kRecentCount = 4;

const CDateTime kFirstDate(1900, 1, 1, 0, 0, 0);
const CDateTime kLastDate(2100, 12, 31, 23, 59, 59);

// `date` moved by `months` months, the day lowered to the last day of a shorter month.
CDateTime AddMonths(const CDateTime& date, int months) {
    int index = date.GetYear() * 12 + (date.GetMonth() - 1) + months;
    const int year = index / 12;
    const int month = index % 12 + 1;
    const int day = std::min(date.GetDay(), CDateTime::DaysInMonth(year, month));
    return CDateTime(year, month, day);
}

} // namespace

void CMainFrame::RegisterHandlers() {
    RegisterFileHandlers();
    CDayvaultDoc& doc = m_app.Document();
    const auto todoPage = [this] { return CurrentPage() == TodoPage; };

    // Edit: undo and redo act on the list of the page shown.
    SetHandler(cmd::kUndo,
               {[this, &doc, todoPage] { todoPage() ? doc.UndoTodoEntry() : doc.UndoDateEntry(); },
                [&doc, todoPage] {
                    return todoPage() ? doc.CanUndoTodoEntry() : doc.CanUndoDateEntry();
                }});
    SetHandler(cmd::kRedo,
               {[&doc, todoPage] { todoPage() ? doc.RedoTodoEntry() : doc.RedoDateEntry(); },
                [&doc, todoPage] {
                    return todoPage() ? doc.CanRedoTodoEntry() : doc.CanRedoDateEntry();
                }});

    // View: the pages, paging and the bars.
    const std::pair<uint32_t, int> views[] = {{cmd::kTodoView, TodoPage},
                                              {cmd::kWeekView, WeekPage},
                                              {cmd::kFortnightView, FortnightPage},
                                              {cmd::kMonthView, MonthPage},
                                              {cmd::kYearView, YearPage}};
    for (const auto& [id, page] : views) {
        const int target = page;
        SetHandler(id, {[this, target] { SetPage(target); },
                        {},
                        [this, target] { return CurrentPage() == target; }});
    }
    const auto paging = [this] { return CurrentPage() != TodoPage; };
    SetHandler(cmd::kNextPage, {[this] { MoveSelectedDate(+1); }, paging});
    SetHandler(cmd::kPreviousPage, {[this] { MoveSelectedDate(-1); }, paging});
    SetHandler(cmd::kCurrentDate, {[this] { ApplyDateChange(CDateTime::Now().GetDate()); }});
    const std::pair<uint32_t, int> steps[] = {
        {cmd::kNextDay, 1}, {cmd::kPreviousDay, -1}, {cmd::kNextWeek, 7}, {cmd::kPreviousWeek, -7}};
    for (const auto& [id, days] : steps) {
        SetHandler(id, {[this, days = days] { StepSelectedDate(days); }, paging});
    }
    SetHandler(cmd::kShowHidden, {[this, &doc] {
                                      m_showHidden = !m_showHidden;
                                      doc.UpdateAllViews(UpdateHint::Merged);
                                  },
                                  {},
                                  [this] { return m_showHidden; }});
    SetHandler(cmd::kFilter, {[this] {
                                  CWindowSettings& layout = m_app.WindowSettings();
                                  if (m_sidebar->isVisible()) {
                                      // Kept for when it shows again, here or after a restart.
                                      layout.SidebarWidth =
                                          m_splitter->sizes().value(0, layout.SidebarWidth);
                                  }
                                  layout.SidebarVisible = !m_sidebar->isVisible();
                                  const QWidget* focus = QApplication::focusWidget();
                                  const bool focusInSidebar =
                                      focus != nullptr && m_sidebar->isAncestorOf(focus);
                                  m_sidebar->setVisible(layout.SidebarVisible);
                                  if (!layout.SidebarVisible && focusInSidebar) {
                                      // The keys go back to the page, not to the next
                                      // control in the chain.
                                      m_pages->currentWidget()->setFocus(Qt::OtherFocusReason);
                                  }
                              },
                              {},
                              [this] { return m_sidebar->isVisible(); }});
    SetHandler(cmd::kFilterSwitch, {[&doc] { doc.SetFilterSwitch(!doc.GetFilterSwitch()); },
                                    {},
                                    [&doc] { return doc.GetFilterSwitch(); }});
    SetHandler(cmd::kToolbar, {[this] { m_toolbar->setVisible(!m_toolbar->isVisible()); },
                               {},
                               [this] { return m_toolbar->isVisible(); }});
    SetHandler(cmd::kStatusBar, {[this] { statusBar()->setVisible(!statusBar()->isVisible()); },
                                 {},
                                 [this] { return statusBar()->isVisible(); }});

    // Extras: the database window only while no alarm check or merge runs.
    SetHandler(cmd::kEventDatabase,
               {[this] { OpenEventDatabase(); }, [this] { return m_busyState == 0; }});
    SetHandler(cmd::kInternalFormats, {[this] { RunInternalFormatsCommand(m_app, *this); }});
    SetHandler(cmd::kHolidays, {[this] { RunHolidaySetupCommand(m_app, *this); }});
    SetHandler(
        cmd::kCsvExport, {[this] {
            CCsvExportDlg(ExportServicesOf(m_app, *this), CurrentPage() == TodoPage, this).exec();
        }});
    SetHandler(cmd::kHtmlExport, {[this] {
                   CHtmlExportDlg(ExportServicesOf(m_app, *this),
                                  CHtmlExportDlg::HtmlKindOfPage(CurrentPage()), this)
                       .exec();
               }});

    SetHandler(cmd::kOptions, {[this] { RunOptionsDialog(m_app, *this); }});

    // Window
    SetHandler(cmd::kSaveWindowPosNow, {[this] { SaveWindowPosition(); }});
    SetHandler(cmd::kSaveWindowPosOnExit, {[this] {
                                               CSettings& settings = m_app.Settings();
                                               settings.SaveWindowsPos = !settings.SaveWindowsPos;
                                               m_app.SaveSettings();
                                           },
                                           {},
                                           [this] { return m_app.Settings().SaveWindowsPos; }});

    // Help
    SetHandler(cmd::kManual, {[this] {
                   const std::filesystem::path manual =
                       m_app.Environment().ProgramFolder / "doc" / "index.html";
                   std::error_code error;
                   if (!std::filesystem::is_regular_file(manual, error)) {
                       m_app.Prompt().ShowMessage(FormatString(kIdsManualNotFound, manual.string()),
                                                  PromptIcon::Exclamation);
                       return;
                   }
                   // Where no browser takes the page, the program shows it itself.
                   const QUrl page = QUrl::fromLocalFile(QString::fromStdString(manual.string()));
                   if (!OpenUrl(page)) {
                       CHelpViewer::Show(page, this);
                   }
               }});
    SetHandler(cmd::kHomepage, {[this] {
                                    OpenUrl(HomepageUrl(m_app.Settings().Homepage,
                                                        m_app.Environment().ProgramFolder));
                                },
                                [this] { return !m_app.Settings().Homepage.empty(); }});
    SetHandler(
        cmd::kAbout, {[this] {
            m_app.Prompt().ShowMessage(
                FormatString(kIdsAboutText, QApplication::applicationVersion().toStdString()),
                PromptIcon::Information);
        }});

    // The tray's own item, and exit.
    SetHandler(cmd::kRestoreWindow, {[this] { BringToFront(); }});
    SetHandler(cmd::kExit, {[this] { Exit(); }});
}

void CMainFrame::RegisterFileHandlers() {
    CDayvaultDoc& doc = m_app.Document();
    SetHandler(cmd::kFileNew, {[this, &doc] {
                   BeforeDocumentReplaced();
                   doc.NewDocument();
               }});
    SetHandler(cmd::kFileOpen, {[this] {
                   if (const auto path =
                           m_app.FileDialogs().OpenFile(this, LoadString(kIdsEventFilesFilter))) {
                       OpenDocument(path->string());
                   }
               }});
    SetHandler(cmd::kFileSave, {[this, &doc] {
                   if (doc.GetPathName().empty()) {
                       SaveDocumentAs();
                   } else {
                       doc.SaveCommand();
                   }
               }});
    SetHandler(cmd::kFileSaveAs, {[this] { SaveDocumentAs(); }});
    SetHandler(cmd::kFileClose, {[this, &doc] {
                   BeforeDocumentReplaced();
                   doc.Close();
               }});
    SetHandler(
        cmd::kBackup, {[this, &doc] {
            const auto path =
                m_app.FileDialogs().SaveFile(this, LoadString(kIdsTextFilesFilter), "txt");
            if (!path) {
                return;
            }
            DocumentContents contents;
            for (int i = 0; i < doc.GetTemplateCount(); ++i) {
                contents.templates.push_back(std::make_unique<CDateEntry>(*doc.GetTemplate(i)));
            }
            for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
                contents.events.push_back(std::make_unique<CDateEntry>(*doc.GetDateEntry(i)));
            }
            for (int i = 0; i < doc.GetTodoCount(); ++i) {
                contents.todos.push_back(std::make_unique<CTodoEntry>(*doc.GetTodoEntry(i)));
            }
            try {
                WriteTextBackup(*path, contents);
            } catch (const std::exception& error) {
                m_app.Prompt().ShowMessage(FormatString(kIdsCannotWriteBackup, error.what()),
                                           PromptIcon::Stop);
            }
        }});
    SetHandler(cmd::kRestore, {[this, &doc] {
                   if (const auto path =
                           m_app.FileDialogs().OpenFile(this, LoadString(kIdsTextFilesFilter))) {
                       BeforeDocumentReplaced();
                       try {
                           doc.Restore(*path);
                       } catch (const std::exception& error) {
                           m_app.Prompt().ShowMessage(
                               FormatString(kIdsCannotRestoreBackup, error.what()),
                               PromptIcon::Stop);
                       }
                   }
               }});
    SetHandler(cmd::kMerge, {[this, &doc] {
                   if (const auto path =
                           m_app.FileDialogs().OpenFile(this, LoadString(kIdsEventFilesFilter))) {
                       try {
                           const int added = doc.MergeFile(*path);
                           statusBar()->showMessage(QString::fromStdString(
                               FormatString(kIdsEntriesMerged, std::to_string(added))));
                       } catch (const std::exception& error) {
                           m_app.Prompt().ShowMessage(
                               FormatString(kIdsCannotMergeFile, error.what()), PromptIcon::Stop);
                       }
                   }
               }});
    SetHandler(cmd::kSyncNow, {[this] { m_worker->RequestSync(); },
                               [this] { return m_app.Settings().NetworkFunction != 0; }});
}

void CMainFrame::OpenEventDatabase() {
    if (m_busyState != 0) {
        return;
    }
    EventDatabaseHost host;
    host.doc = &m_app.Document();
    host.settings = &m_app.Settings();
    host.editEvent = [this](DateData& data, bool isNew) {
        return m_edit->EditEventData(data, isNew);
    };
    host.beforeReplace = [this] { BeforeDocumentReplaced(); };
    // The alarm ticks leave the events alone while their copies are edited here.
    m_busyState = 2;
    CEventDatabaseDlg dialog(host, this);
    dialog.exec();
    m_busyState = 0;
}

bool CMainFrame::SaveDocumentAs() {
    const auto path = m_app.FileDialogs().SaveFile(this, LoadString(kIdsEventFilesFilter), "dat");
    if (!path || !m_app.Document().SaveAs(*path)) {
        return false;
    }
    AddRecentFile(path->string());
    UpdateTitle();
    return true;
}

void CMainFrame::BeforeDocumentReplaced() {
    if (m_scheduler) {
        m_scheduler->CloseReminderWindow();
    }
}

void CMainFrame::OpenDocument(const std::string& path) {
    BeforeDocumentReplaced();
    try {
        // False: the open document could not be saved first and stays.
        if (m_app.Document().Open(path)) {
            AddRecentFile(path);
        }
    } catch (const std::exception& error) {
        // The document is empty and untitled now; a new one takes its place.
        m_app.Prompt().ShowMessage(FormatString(kIdsCannotOpenEventFile, error.what()),
                                   PromptIcon::Stop);
        m_app.Document().NewDocument();
    }
}

void CMainFrame::AddRecentFile(const std::string& path) {
    const std::string absolute =
        QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    std::erase(m_recentFiles, absolute);
    m_recentFiles.insert(m_recentFiles.begin(), absolute);
    if (m_recentFiles.size() > kRecentCount) {
        m_recentFiles.resize(kRecentCount);
    }
    IProfileStore& store = m_app.Store();
    for (int i = 0; i < kRecentCount; ++i) {
        store.WriteText(kRecentSection, "File" + std::to_string(i + 1),
                        i < static_cast<int>(m_recentFiles.size()) ? m_recentFiles[i] : "");
    }
    try {
        store.Flush();
    } catch (const std::exception&) {
        // The list is a convenience; a store that cannot be written keeps the old one.
    }
    UpdateRecentFiles();
}

void CMainFrame::UpdateRecentFiles() {
    if (m_recentFiles.empty()) {
        for (int i = 0; i < kRecentCount; ++i) {
            const std::string file =
                m_app.Store().ReadText(kRecentSection, "File" + std::to_string(i + 1), "");
            if (!file.empty()) {
                m_recentFiles.push_back(file);
            }
        }
    }
    for (int i = 0; i < static_cast<int>(m_recentActions.size()); ++i) {
        QAction* action = m_recentActions[i];
        const bool used = i < static_cast<int>(m_recentFiles.size());
        action->setVisible(used);
        if (used) {
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(
                QFileInfo(QString::fromStdString(m_recentFiles[i])).fileName()));
            action->setToolTip(QString::fromStdString(m_recentFiles[i]));
        }
    }
}

void CMainFrame::MoveSelectedDate(int direction) {
    const CDateTime date = m_app.Document().GetSelectedDate();
    CDateTime moved = date;
    switch (CurrentPage()) {
    case WeekPage:
        moved = date + CDateTimeSpan(7 * direction, 0, 0, 0);
        break;
    case FortnightPage:
        moved = date + CDateTimeSpan(14 * direction, 0, 0, 0);
        break;
    case MonthPage:
        moved = AddMonths(date, direction);
        break;
    case YearPage:
        moved = AddMonths(date, 12 * direction);
        break;
    default:
        return;
    }
    ApplyDateChange(moved);
}

void CMainFrame::ChooseMonthOrYear(int month, int year) {
    const CDateTime date = m_app.Document().GetSelectedDate();
    const int newYear = year > 0 ? year : date.GetYear();
    const int newMonth = month > 0 ? month : date.GetMonth();
    ApplyDateChange(CDateTime(newYear, newMonth,
                              std::min(date.GetDay(), CDateTime::DaysInMonth(newYear, newMonth))));
}

void CMainFrame::StepSelectedDate(int days) {
    CDayvaultDoc& doc = m_app.Document();
    const CDateTime previous = doc.GetSelectedDate();
    const CDateTime moved = previous + CDateTimeSpan(days, 0, 0, 0);
    if (moved < kFirstDate || moved > kLastDate) {
        return;
    }
    doc.SetSelectedDate(moved, false);
    UpdateNavigation();
    // With the old date the pages only move their selection while the new one is in range.
    doc.UpdateAllViews(UpdateHint::SelectedDateChanged, previous);
}

void CMainFrame::SelectDate(const CDateTime& date) {
    CDayvaultDoc& doc = m_app.Document();
    if (date.GetDate() != doc.GetSelectedDate()) {
        doc.SetSelectedDate(date, true);
    }
    UpdateNavigation();
}

void CMainFrame::ApplyDateChange(const CDateTime& date) {
    if (date < kFirstDate || date > kLastDate) {
        UpdateNavigation();
        return;
    }
    CDayvaultDoc& doc = m_app.Document();
    doc.SetSelectedDate(date, false);
    UpdateNavigation();
    doc.UpdateAllViews(UpdateHint::PageMoved);
}

} // namespace dv
