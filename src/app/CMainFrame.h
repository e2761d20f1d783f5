#pragma once

#include "app/IAlarmFrame.h"
#include "document/DocumentObserver.h"
#include "document/SyncWorker.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QSystemTrayIcon>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;
class QUrl;

namespace dv {

class CAlarmScheduler;
class CCurrentTimeBar;
class CDayvaultApp;
class CDesktopNotifier;
class CEditCommands;
class ILauncher;
class ISoundPlayer;
class CQtLauncher;
class CQtSoundPlayer;
class CResumeWatcher;
class CNavigationBar;
class CSettings;
struct CalendarHost;
struct TodoPageHost;
struct FilterViewHost;
class CTodoEntry;
class IFtpConnector;
struct CommandInfo;

/// The main window: menus and toolbar from the command table, the navigation and current-time
/// bars, the page sheet beside the sidebar, the status bar, the notification icon, and the
/// synchronisation worker's merge on the user-interface thread.
class CMainFrame final : public QMainWindow,
                         public IAlarmFrame,
                         public IDocumentObserver,
                         public ISyncHost {
    Q_OBJECT
public:
    /// The pages of the sheet, in their order (the page numbers of the settings).
    enum Page { TodoPage = 0, WeekPage, FortnightPage, MonthPage, YearPage, PageCount };

    /// What a command does: its action, and when it is enabled and checked.
    struct Handler {
        Handler() = default;
        Handler(std::function<void()> run_, std::function<bool()> enabled_ = {},
                std::function<bool()> checked_ = {})
            : run(std::move(run_)), enabled(std::move(enabled_)), checked(std::move(checked_)) {}

        std::function<void()> run;
        std::function<bool()> enabled; ///< empty: always enabled
        std::function<bool()> checked; ///< empty: never checked
    };

    explicit CMainFrame(CDayvaultApp& app);
    ~CMainFrame() override;

    /// Shows the window after start-up: hidden with only the notification icon (RunMinimized;
    /// minimised in the taskbar where no tray exists), else normal or maximised.
    void ShowInitially(bool minimized);

    // ---- Commands
    /// Registers (or replaces) the handler of command `id`; windows of later parts call this.
    void SetHandler(uint32_t id, Handler handler);
    /// Runs command `id` when it is enabled; false when it is not.
    bool RunCommand(uint32_t id);
    bool IsCommandEnabled(uint32_t id) const;
    bool IsCommandChecked(uint32_t id) const;
    /// The menu action of command `id` (the first one when the tray has one too), or null.
    QAction* Action(uint32_t id) const;
    /// Sets every action's enabled and checked state from its handler.
    void UpdateCommandUi();

    // ---- Pages and navigation
    int CurrentPage() const;
    /// Shows page `page` (0..4) and tells ViewChanged.
    void SetPage(int page);
    QTabWidget* PageSheet() const { return m_pages; }
    QSplitter* Splitter() const { return m_splitter; }
    QWidget* Sidebar() const { return m_sidebar; }
    CNavigationBar* NavigationBar() const { return m_navigationBar; }
    CCurrentTimeBar* CurrentTimeBar() const { return m_timeBar; }
    /// The program-wide switch that shows hidden events on every page (not stored).
    bool ShowHiddenEvents() const { return m_showHidden; }
    QLabel* SyncStatusLabel() const { return m_syncLabel; }
    QLabel* FilterStatusLabel() const { return m_filterLabel; }

    // ---- Window state
    /// Stores the window placement and the window layout settings.
    void SaveWindowPosition();
    /// Stores what the next start needs: the sidebar width, the placement (when SaveWindowsPos
    /// is set), the event file, the page and the bar layout.
    void SaveExitState();
    /// The exit command: asks the WarnOnExit question, saves the document and the exit state and
    /// closes. False when the user cancelled.
    bool Exit();
    /// Restores the window from the notification icon or another instance's start, with its
    /// reminder window and any dialog it has open, and brings it to the front.
    void BringToFront();
    /// The notification icon's activation.
    void OnTrayActivated(QSystemTrayIcon::ActivationReason reason);
    QSystemTrayIcon* TrayIcon() const { return m_tray.get(); }
    QMenu* TrayMenu() const { return m_trayMenu; }
    /// True when a tray exists on this desktop (where not, closing and minimising keep the
    /// window in the taskbar).
    bool HasTray() const;

    /// What the Options dialog's OK does after the settings were copied back: stores them,
    /// switches the store, the autostart entry, the timers, the sync request, the time bar's
    /// font and the views' refresh.
    void ApplyOptions(const CSettings& old, const CSettings& now);
    /// Opens addresses and documents (the manual, the homepage); tests replace it.
    void SetUrlOpener(std::function<bool(const QUrl&)> opener) { m_openUrl = std::move(opener); }

    // ---- Files
    /// Opens the event file at `path` (the open document is saved first, with the usual
    /// question for an untitled one); a file that cannot be read is named in a message.
    void OpenDocument(const std::string& path);
    void AddRecentFile(const std::string& path);
    /// Before the document's contents are replaced: the reminder window lets go of its events.
    void BeforeDocumentReplaced();

    // ---- Editing
    /// The selection and the edit commands; pages and windows report their selection here.
    CEditCommands& EditCommands() { return *m_edit; }
    ISoundPlayer* SoundPlayer() const;
    ILauncher& Launcher();

    // ---- Alarms
    CAlarmScheduler& Scheduler() { return *m_scheduler; }
    /// How many saves the document's requests have run (one per command, however many
    /// changes it made).
    int GetSaveCount() const { return m_saveCount; }
    /// The machine resumed or the screen was unlocked: the scheduler ticks at once.
    CResumeWatcher& ResumeWatcher() { return *m_resumeWatcher; }

    // ---- Synchronisation
    CSyncWorker& SyncWorker() { return *m_worker; }
    void PostMergeNow() override;
    void PostUploadDone() override;
    /// Shows the outcome of the last cycle in the status bar when it changed.
    void RefreshSyncStatus();
    /// Shows the filter note while the filter of the page shown can hide entries.
    void UpdateFilterStatus();

    // ---- IAlarmFrame
    void SetTrayIcon(TrayIconKind kind) override;
    void SetTrayTooltip(const std::string& text) override;
    QWidget* MainWindow() override { return this; }
    bool IsMainWindowHidden() const override;
    int& BusyState() override { return m_busyState; }
    void EditEvent(CDateEntry* event) override;
    void DeleteEvent(CDateEntry* event) override;
    void ShowNotification(const std::string& title, const std::string& text) override;
    /// The image last given to the notification icon.
    std::optional<TrayIconKind> CurrentTrayIcon() const { return m_trayKind; }

    // ---- IDocumentObserver
    void OnUpdate(UpdateHint hint, const HintObject& object) override;
    void OnInitialUpdate() override;

signals:
    /// The page shown changed (ViewChanged).
    void ViewChanged(int page);
    /// The user asked for an event editor for `event` (the reminder window's Edit).
    void EditEventRequested(CDateEntry* event);
    /// The window closed for good through the exit command.
    void Exited();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildBars();
    void BuildCentre();
    void BuildTray();
    void StartAlarms();
    void RegisterHandlers();
    void RegisterFileHandlers();
    void OpenEventDatabase();
    QAction* MakeAction(const CommandInfo& info, QWidget* owner);
    void UpdateTitle();
    void UpdateNavigation();
    void ScheduleCommandUi();
    void MoveSelectedDate(int direction);
    void ChooseMonthOrYear(int month, int year);
    void ApplyDateChange(const class CDateTime& date);
    void StepSelectedDate(int days);
    void SelectDate(const class CDateTime& date);
    CalendarHost MakeCalendarHost();
    TodoPageHost MakeTodoPageHost();
    FilterViewHost MakeFilterViewHost();
    void UpdateRecentFiles();
    bool SaveDocumentAs();
    void RestoreWindow();
    void ShowRestored();
    void SaveOnSessionEnd();
    void RunMergeNow();
    void RunUploadDone();
    void ReAddTrayIcon();
    bool OpenUrl(const QUrl& url);

    CDayvaultApp& m_app;
    std::map<uint32_t, Handler> m_handlers;
    std::multimap<uint32_t, QAction*> m_actions;
    std::vector<QAction*> m_recentActions;
    std::vector<std::string> m_recentFiles;

    QTabWidget* m_pages = nullptr;
    QSplitter* m_splitter = nullptr;
    QWidget* m_sidebar = nullptr;
    QToolBar* m_toolbar = nullptr;
    CNavigationBar* m_navigationBar = nullptr;
    CCurrentTimeBar* m_timeBar = nullptr;
    QLabel* m_syncLabel = nullptr;
    QLabel* m_filterLabel = nullptr; ///< says that the filter of the page shown hides entries
    std::optional<SyncOutcome> m_shownOutcome;
    bool m_uiUpdatePending = false;
    bool m_showHidden = false;

    std::unique_ptr<QSystemTrayIcon> m_tray;
    QMenu* m_trayMenu = nullptr;
    std::optional<TrayIconKind> m_trayKind;
    bool m_restoreMaximized = false;
    // Since the last restore from the tray or another start; a minimise the window system
    // reports soon after it is the late echo of the minimise that hid the window.
    QElapsedTimer m_sinceRestore;
    bool m_exiting = false;
    bool m_sessionEnding = false;
    int m_busyState = 0;
    bool m_savePosted = false; // a save is posted and has not run yet
    int m_saveCount = 0;

    std::function<bool(const QUrl&)> m_openUrl;

    std::unique_ptr<CQtLauncher> m_launcher;
    std::unique_ptr<CQtSoundPlayer> m_sound;
    std::unique_ptr<CDesktopNotifier> m_notifier;
    std::unique_ptr<CAlarmScheduler> m_scheduler;
    CResumeWatcher* m_resumeWatcher = nullptr;

    std::unique_ptr<CEditCommands> m_edit;
    std::unique_ptr<IFtpConnector> m_ftpConnector;
    std::unique_ptr<CSyncWorker> m_worker;
};

/// The synchronisation settings of the options.
SyncConfig SyncConfigOf(const CSettings& settings);

} // namespace dv
