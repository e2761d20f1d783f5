#include "app/CMainFrame.h"

#include "app/CAlarmScheduler.h"
#include "app/CCalendarPage.h"
#include "app/CCurrentTimeBar.h"
#include "app/CDayvaultApp.h"
#include "app/CEditCommands.h"
#include "app/CFilterView.h"
#include "app/CHelpViewer.h"
#include "document/EntryFilter.h"
#include "app/CIcalCommands.h"
#include "app/CNavigationBar.h"
#include "app/CReminderDlg.h"
#include "app/CTodoPage.h"
#include "app/CYearPage.h"
#include "app/CommandTable.h"
#include "app/UiText.h"
#include "core/CDateTime.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "net/CCurlFtpConnector.h"
#include "platform/CAutostartEntry.h"
#include "platform/CDesktopNotifier.h"
#include "platform/CQtLauncher.h"
#include "platform/CQtSoundPlayer.h"
#include "platform/CResumeWatcher.h"
#include "settings/IProfileStore.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QDesktopServices>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSessionManager>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace dv {

namespace {

constexpr std::string_view kBarStateSection = "BarState";
constexpr std::string_view kBarStateKey = "Layout";
// The notification area shows at most this many characters of a tooltip.
constexpr int kTooltipLength = 63;

QString IconFile(TrayIconKind kind) {
    const char* name = "tray-alarm-on.svg";
    switch (kind) {
    case TrayIconKind::AlarmOn:
        name = "tray-alarm-on.svg";
        break;
    case TrayIconKind::AlarmOnDueTodos:
        name = "tray-alarm-on-todos.svg";
        break;
    case TrayIconKind::AlarmOff:
        name = "tray-alarm-off.svg";
        break;
    case TrayIconKind::AlarmOffDueTodos:
        name = "tray-alarm-off-todos.svg";
        break;
    case TrayIconKind::Flash:
        name = "tray-flash.svg";
        break;
    }
    // Built in, so the icons are there wherever the program runs from.
    return QStringLiteral(":/icons/") + QLatin1String(name);
}

// Shows and hides `target` (owned) with the widget it filters, whether or not that widget's
// parents are visible at the time.
class VisibilityFollower final : public QObject {
public:
    explicit VisibilityFollower(QWidget* target) : QObject(target), m_target(target) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent) {
            m_target->show();
        } else if (event->type() == QEvent::HideToParent) {
            m_target->hide();
        }
        return false;
    }

private:
    QWidget* m_target;
};

// How long after a restore a reported minimise counts as stale.
constexpr qint64 kRestoreSettleMs = 500;

} // namespace

SyncConfig SyncConfigOf(const CSettings& settings) {
    SyncConfig config;
    config.NetworkFunction = settings.NetworkFunction;
    config.SharedFile = settings.SharedFile;
    config.FtpServer.server = settings.FtpServer;
    config.FtpServer.port = settings.FtpPort;
    config.FtpServer.login = settings.FtpLogin;
    config.FtpServer.password = settings.FtpPassword;
    config.FtpServer.passive = settings.FtpPassiveConnection;
    config.FtpSharedFile = settings.FtpSharedFile;
    config.NetworkSyncType = settings.NetworkSyncType;
    config.AutoSyncInterval = settings.AutoSyncInterval;
    config.NetworkBackupDepth = settings.NetworkBackupDepth;
    return config;
}

CMainFrame::CMainFrame(CDayvaultApp& app) : m_app(app) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(QIcon(IconFile(TrayIconKind::AlarmOn)));
    m_openUrl = [](const QUrl& url) {
        // xdg-open accepts a page even when no program on the desktop can show it.
        const bool page = url.isLocalFile() && (url.path().endsWith(QLatin1String(".html")) ||
                                                url.path().endsWith(QLatin1String(".htm")));
        return (!page || DesktopHasBrowser()) && QDesktopServices::openUrl(url);
    };

    const CWindowSettings& layout = app.WindowSettings();
    setGeometry(layout.MainWindowX, layout.MainWindowY, layout.MainWindowWidth,
                layout.MainWindowHeight);
    m_restoreMaximized = layout.MainWindowMaximized;

    m_edit = std::make_unique<CEditCommands>(app, *this);
    RegisterHandlers();
    m_edit->RegisterHandlers();
    RegisterIcalCommands(*this, m_app);
    BuildCentre();
    BuildMenus();
    BuildToolbar();
    BuildBars();
    const std::string barState = app.Store().ReadText(kBarStateSection, kBarStateKey, "");
    if (!barState.empty()) {
        restoreState(QByteArray::fromBase64(QByteArray::fromStdString(barState)));
    }
    BuildTray();

    CDayvaultDoc& doc = app.Document();
    doc.AddObserver(*this);
    // A save the document asks for runs after the command that changed it has finished, once
    // for all the changes of that command (Done on two thousand reminders is one save).
    doc.SetSaveRequestHook([this] {
        if (m_savePosted) {
            return;
        }
        m_savePosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_savePosted = false;
                ++m_saveCount;
                m_app.Document().SaveCommand();
            },
            Qt::QueuedConnection);
    });
    doc.SetSaveAsHook([this] { SaveDocumentAs(); });
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { SaveOnSessionEnd(); });

    m_ftpConnector = std::make_unique<CCurlFtpConnector>();
    m_worker = std::make_unique<CSyncWorker>(*this, m_ftpConnector.get());
    m_worker->SetConfig(SyncConfigOf(app.Settings()));
    m_worker->Start();
    StartAlarms();

    OnInitialUpdate();
    const CSettings& settings = app.Settings();
    SetPage(settings.StartView == 1 ? settings.DefaultView : settings.LastView);
    m_sidebar->setVisible(layout.SidebarVisible);
    UpdateCommandUi();
}

CMainFrame::~CMainFrame() {
    // The worker first (it may still post to this window), then the timers, then the icon.
    if (m_worker) {
        // Stop cancels a transfer in progress, so the wait stays within the worker's bound.
        m_worker->Stop();
    }
    if (m_scheduler) {
        m_scheduler->Stop();
    }
    m_app.Document().RemoveObserver(*this);
    m_app.Document().SetSaveRequestHook({});
    m_app.Document().SetSaveAsHook({});
    for (QTimer* timer : findChildren<QTimer*>()) {
        timer->stop();
    }
    m_tray.reset();
}

// ---- Building the window --------------------------------------------------------------------

QAction* CMainFrame::MakeAction(const CommandInfo& info, QWidget* owner) {
    auto* action = new QAction(Text(info.textId), owner);
    action->setCheckable(info.checkable);
    if (info.keys) {
        action->setShortcut(QKeySequence(QString::fromLatin1(info.keys)));
        if (info.scope == KeyScope::Pages) {
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            m_pages->addAction(action);
        }
    }
    const uint32_t id = info.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    m_actions.emplace(id, action);
    return action;
}

void CMainFrame::BuildMenus() {
    std::map<MenuPlace, QMenu*> menus;
    for (MenuPlace place : {MenuPlace::File, MenuPlace::Edit, MenuPlace::View, MenuPlace::Extras,
                            MenuPlace::Window, MenuPlace::Help}) {
        menus[place] = menuBar()->addMenu(Text(MenuTitleId(place)));
    }
    menus[MenuPlace::EventFile] = new QMenu(Text(MenuTitleId(MenuPlace::EventFile)), this);
    menus[MenuPlace::Export] = new QMenu(Text(MenuTitleId(MenuPlace::Export)), this);
    for (MenuPlace place : {MenuPlace::FileImport, MenuPlace::FileExport}) {
        menus[place] = new QMenu(Text(MenuTitleId(place)), this);
    }

    for (const CommandInfo& info : MainCommands()) {
        QMenu* menu = menus[info.place];
        if (info.id == cmd::kExit) {
            // The Event File submenu and the recent files stand between Close and Exit.
            QMenu* file = menus[MenuPlace::File];
            file->addSeparator();
            file->addMenu(menus[MenuPlace::FileImport]);
            file->addMenu(menus[MenuPlace::FileExport]);
            file->addMenu(menus[MenuPlace::EventFile]);
            file->addSeparator();
            for (int i = 0; i < 4; ++i) {
                auto* recent = new QAction(this);
                const int index = i;
                connect(recent, &QAction::triggered, this, [this, index] {
                    if (index < static_cast<int>(m_recentFiles.size())) {
                        OpenDocument(m_recentFiles[index]);
                    }
                });
                file->addAction(recent);
                m_recentActions.push_back(recent);
            }
        }
        if (info.id == cmd::kInternalFormats) {
            menus[MenuPlace::Extras]->addMenu(menus[MenuPlace::Export]);
        }
        if (info.separator && !menu->isEmpty()) {
            menu->addSeparator();
        }
        menu->addAction(MakeAction(info, this));
    }
    for (auto& [place, menu] : menus) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    }
    // Only one page at a time: the view commands behave as radio items.
    auto* pages = new QActionGroup(this);
    for (uint32_t id :
         {cmd::kTodoView, cmd::kWeekView, cmd::kFortnightView, cmd::kMonthView, cmd::kYearView}) {
        pages->addAction(Action(id));
    }
    UpdateRecentFiles();
}

void CMainFrame::BuildToolbar() {
    m_toolbar = addToolBar(Text(kIdsToolbarCaption));
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    // Text beside the icon where a command has one (the alarm's bell); text alone elsewhere.
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Action(cmd::kAlarm)->setIcon(QIcon(IconFile(TrayIconKind::AlarmOn)));
    // A menu shows a checkable command's icon in place of its check mark: the bell stays on the
    // toolbar, the menu shows whether the alarm is on.
    Action(cmd::kAlarm)->setIconVisibleInMenu(false);
    const std::initializer_list<std::initializer_list<uint32_t>> groups = {
        {cmd::kNewEvent, cmd::kNewTodo},
        {cmd::kFileOpen, cmd::kFileSave},
        {cmd::kUndo, cmd::kRedo},
        {cmd::kAlarm}};
    for (const auto& group : groups) {
        if (!m_toolbar->actions().isEmpty()) {
            m_toolbar->addSeparator();
        }
        for (uint32_t id : group) {
            m_toolbar->addAction(Action(id));
        }
    }
}

void CMainFrame::BuildBars() {
    // The date bars get a row of their own, so the month and year choices never fold away.
    addToolBarBreak(Qt::TopToolBarArea);
    m_navigationBar = new CNavigationBar(this);
    addToolBar(Qt::TopToolBarArea, m_navigationBar);
    connect(m_navigationBar, &CNavigationBar::PreviousClicked, this,
            [this] { RunCommand(cmd::kPreviousPage); });
    connect(m_navigationBar, &CNavigationBar::NextClicked, this,
            [this] { RunCommand(cmd::kNextPage); });
    connect(m_navigationBar, &CNavigationBar::MonthChosen, this,
            [this](int month) { ChooseMonthOrYear(month, 0); });
    connect(m_navigationBar, &CNavigationBar::YearChosen, this,
            [this](int year) { ChooseMonthOrYear(0, year); });

    m_timeBar = new CCurrentTimeBar(this);
    addToolBar(Qt::TopToolBarArea, m_timeBar);
    m_timeBar->Configure(m_app.Settings().CurrentTimeDisplay, m_app.Settings().CurrentTimeFont);
    // The sync outcome is looked at in the time bar's wake-ups, so idling costs no extra timer.
    connect(m_timeBar, &CCurrentTimeBar::Ticked, this, &CMainFrame::RefreshSyncStatus);

    // A filter works on while the sidebar is hidden: the status bar keeps saying so.
    m_filterLabel = new QLabel(Text(kIdsFilterActive), this);
    m_filterLabel->setObjectName(QStringLiteral("FilterStatus"));
    m_filterLabel->setToolTip(Text(kIdsFilterActiveTip));
    m_filterLabel->hide();
    statusBar()->addPermanentWidget(m_filterLabel);

    m_syncLabel = new QLabel(this);
    m_syncLabel->setObjectName(QStringLiteral("SyncStatus"));
    statusBar()->addPermanentWidget(m_syncLabel);
    RefreshSyncStatus();
}

void CMainFrame::BuildCentre() {
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageSheet"));
    m_pages->setDocumentMode(true);
    const struct {
        const char* name;
        uint32_t title;
    } pages[] = {{"TodoPage", kIdsPageTodo},
                 {"WeekPage", kIdsPageWeek},
                 {"FortnightPage", kIdsPageFortnight},
                 {"MonthPage", kIdsPageMonth},
                 {"YearPage", kIdsPageYear}};
    const CalendarHost host = MakeCalendarHost();
    for (int index = 0; index < PageCount; ++index) {
        QWidget* widget = nullptr;
        switch (index) {
        case WeekPage:
            widget = new CWeekPage(host, m_pages);
            break;
        case FortnightPage:
            widget = new CTwoWeekPage(host, m_pages);
            break;
        case MonthPage:
            widget = new CMonthPage(host, m_pages);
            break;
        case YearPage:
            widget = new CYearPage(host, m_pages);
            break;
        default:
            widget = new CTodoPage(MakeTodoPageHost(), m_pages);
            break;
        }
        widget->setObjectName(QString::fromLatin1(pages[index].name));
        m_pages->addTab(widget, Text(pages[index].title));
    }
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
        UpdateNavigation();
        UpdateCommandUi();
        // Whoever was working in the pages goes on in the new one, on its selected day.
        QWidget* focus = QApplication::focusWidget();
        QWidget* shown = m_pages->currentWidget();
        if (shown != nullptr && shown->focusPolicy() != Qt::NoFocus &&
            (focus == nullptr || m_pages->isAncestorOf(focus))) {
            shown->setFocus(Qt::OtherFocusReason);
        }
        emit ViewChanged(page);
    });

    auto* filter = new CFilterView(MakeFilterViewHost(), this);
    connect(this, &CMainFrame::ViewChanged, filter,
            [filter](int page) { filter->SetTodoMode(page == TodoPage); });
    // The frame's to-do selection is handed on to the sidebar.
    m_edit->SetTodoSelectionListener([filter](CTodoEntry* todo) { filter->SetSelectedTodo(todo); });
    m_sidebar = filter;
    m_sidebar->setObjectName(QStringLiteral("Sidebar"));
    // The sidebar scrolls where the screen is too low for it, rather than making the window
    // taller than the screen. Showing and hiding the sidebar shows and hides its scroll area.
    auto* sidebarArea = new QScrollArea(this);
    sidebarArea->setObjectName(QStringLiteral("SidebarArea"));
    sidebarArea->setFrameShape(QFrame::NoFrame);
    sidebarArea->setWidgetResizable(true);
    sidebarArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sidebarArea->setWidget(m_sidebar);
    sidebarArea->setMinimumWidth(m_sidebar->minimumSizeHint().width() +
                                 sidebarArea->verticalScrollBar()->sizeHint().width());
    m_sidebar->installEventFilter(new VisibilityFollower(sidebarArea));
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("SidebarSplitter"));
    m_splitter->addWidget(sidebarArea);
    m_splitter->addWidget(m_pages);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    const int width = m_app.WindowSettings().SidebarWidth;
    m_splitter->setSizes({width, std::max(1, this->width() - width)});
    setCentralWidget(m_splitter);
}

void CMainFrame::BuildTray() {
    m_trayMenu = new QMenu(this);
    for (const CommandInfo& info : TrayCommands()) {
        if (info.separator) {
            m_trayMenu->addSeparator();
        }
        QAction* action = m_trayMenu->addAction(Text(info.textId));
        action->setCheckable(info.checkable);
        const uint32_t id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        m_actions.emplace(id, action);
    }
    connect(m_trayMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);

    m_tray = std::make_unique<QSystemTrayIcon>();
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, &CMainFrame::OnTrayActivated);
    SetTrayIcon(TrayIconKind::AlarmOn);
    SetTrayTooltip(CDateTime::Now().Format(m_app.Settings().TooltipTrayIcon));
    m_tray->show();

    // A panel that restarts registers its tray anew; the icon then has to be shown again.
    auto bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        auto* watcher =
            new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"), bus,
                                    QDBusServiceWatcher::WatchForRegistration, this);
        connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, &CMainFrame::ReAddTrayIcon);
    }
}

void CMainFrame::StartAlarms() {
    const CDayvaultApp& app = m_app;
    m_launcher = std::make_unique<CQtLauncher>();
    m_sound = std::make_unique<CQtSoundPlayer>(
        CQtSoundPlayer::DefaultSound(app.Environment().ProgramFolder));
    m_notifier = std::make_unique<CDesktopNotifier>();
    m_scheduler = std::make_unique<CAlarmScheduler>(
        *this, m_app.Settings(), m_app.WindowSettings(), m_app.Prompt(), *m_launcher, *m_sound,
        app.Environment().UserDataFolder / "shared-actions.json");
    m_scheduler->SetDocument(&m_app.Document());
    m_scheduler->Start();

    // A reminder that fell due while the machine slept appears when the user is back.
    m_resumeWatcher = new CResumeWatcher(this);
    connect(m_resumeWatcher, &CResumeWatcher::resumed, this, [this] { m_scheduler->TickNow(); });

    SetHandler(cmd::kAlarm, {[this] { m_scheduler->ToggleAlarm(); },
                             {},
                             [this] { return m_scheduler->IsAlarmEnabled(); }});
    SetHandler(cmd::kShowSilentAlarms, {[this] { m_scheduler->ShowSilentAlarms(); },
                                        [this] { return m_scheduler->CanShowSilentAlarms(); }});
    SetHandler(cmd::kResetEventStates, {[this] { m_scheduler->ResetEventStates(); }});
}

void CMainFrame::ReAddTrayIcon() {
    if (m_tray) {
        m_tray->hide();
        m_tray->show();
    }
}

bool CMainFrame::HasTray() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

// ---- Commands --------------------------------------------------------------------------------

void CMainFrame::SetHandler(uint32_t id, Handler handler) {
    m_handlers[id] = std::move(handler);
    ScheduleCommandUi();
}

bool CMainFrame::IsCommandEnabled(uint32_t id) const {
    const auto it = m_handlers.find(id);
    if (it == m_handlers.end() || !it->second.run) {
        return false;
    }
    return !it->second.enabled || it->second.enabled();
}

bool CMainFrame::IsCommandChecked(uint32_t id) const {
    const auto it = m_handlers.find(id);
    return it != m_handlers.end() && it->second.checked && it->second.checked();
}

bool CMainFrame::RunCommand(uint32_t id) {
    if (!IsCommandEnabled(id)) {
        return false;
    }
    // A copy: the command may replace its own handler.
    const std::function<void()> run = m_handlers[id].run;
    run();
    UpdateCommandUi();
    return true;
}

QAction* CMainFrame::Action(uint32_t id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::UpdateFilterStatus() {
    const CDayvaultDoc& doc = m_app.Document();
    const bool todo = CurrentPage() == TodoPage;
    m_filterLabel->setVisible(FilterRestricts(todo ? doc.GetTodoFilter() : doc.GetEventFilter(),
                                              doc.GetFilterSwitch()));
}

void CMainFrame::UpdateCommandUi() {
    m_uiUpdatePending = false;
    UpdateFilterStatus();
    for (const auto& [id, action] : m_actions) {
        action->setEnabled(IsCommandEnabled(id));
        if (action->isCheckable()) {
            action->setChecked(IsCommandChecked(id));
        }
    }
}

void CMainFrame::ScheduleCommandUi() {
    // Many document changes in a row (a merge) cost one update.
    if (!m_uiUpdatePending) {
        m_uiUpdatePending = true;
        QTimer::singleShot(0, this, &CMainFrame::UpdateCommandUi);
    }
}

// ---- Pages -----------------------------------------------------------------------------------

CalendarHost CMainFrame::MakeCalendarHost() {
    CalendarHost host;
    host.doc = &m_app.Document();
    host.settings = &m_app.Settings();
    host.holidays = &m_app.Holidays();
    host.holidaySettings = &m_app.HolidaySettings();
    host.showHidden = [this] { return m_showHidden; };
    host.runCommand = [this](uint32_t id) { return RunCommand(id); };
    host.editMenu = [this]() -> QMenu* {
        const QString title = Text(MenuTitleId(MenuPlace::Edit));
        for (QAction* action : menuBar()->actions()) {
            if (action->menu() != nullptr && action->menu()->title() == title) {
                return action->menu();
            }
        }
        return nullptr;
    };
    host.selectDate = [this](const CDateTime& date) { SelectDate(date); };
    host.selectEntry = [this](CDateEntry* event, const CDateTime& occurrence) {
        m_edit->SelectEntry(event, occurrence);
    };
    return host;
}

TodoPageHost CMainFrame::MakeTodoPageHost() {
    const CalendarHost calendar = MakeCalendarHost();
    TodoPageHost host;
    host.doc = calendar.doc;
    host.settings = calendar.settings;
    host.layout = &m_app.WindowSettings();
    host.loadSortKey = [this] {
        return m_app.Store().ReadInt("Settings", "PrimaryTodoSorting", kTodoColTimeLeft + 1);
    };
    host.storeSortKey = [this](int32_t key) {
        m_app.Store().WriteInt("Settings", "PrimaryTodoSorting", key);
    };
    host.runCommand = calendar.runCommand;
    host.editMenu = calendar.editMenu;
    host.selectTodo = [this](CTodoEntry* todo) { m_edit->SelectTodo(todo); };
    host.setTabMark = [this](bool due) {
        m_pages->setTabIcon(
            TodoPage, due ? CTodoListModel::Image(static_cast<int>(TodoImage::Urgent)) : QIcon());
    };
    return host;
}

FilterViewHost CMainFrame::MakeFilterViewHost() {
    FilterViewHost host;
    host.doc = &m_app.Document();
    host.settings = &m_app.Settings();
    host.layout = &m_app.WindowSettings();
    host.selectDate = [this](const CDateTime& date) { SelectDate(date); };
    host.showTodo = [this](CTodoEntry* todo) {
        SetPage(TodoPage);
        if (auto* page = qobject_cast<CTodoPage*>(m_pages->widget(TodoPage))) {
            page->SelectTodo(todo);
            page->setFocus(Qt::OtherFocusReason);
        }
    };
    return host;
}

int CMainFrame::CurrentPage() const {
    return m_pages->currentIndex();
}

void CMainFrame::SetPage(int page) {
    if (page < 0 || page >= PageCount) {
        page = MonthPage;
    }
    if (page == m_pages->currentIndex()) {
        UpdateNavigation();
        emit ViewChanged(page);
        return;
    }
    m_pages->setCurrentIndex(page);
}

void CMainFrame::UpdateNavigation() {
    const CDateTime& date = m_app.Document().GetSelectedDate();
    m_navigationBar->SetDate(date.GetMonth(), date.GetYear());
    m_navigationBar->SetPagingEnabled(CurrentPage() != TodoPage);
}

void CMainFrame::UpdateTitle() {
    setWindowTitle(QString::fromStdString(m_app.Document().GetTitle()) + QStringLiteral(" - ") +
                   Text(kIdsAppTitle));
}

void CMainFrame::OnUpdate(UpdateHint hint, const HintObject& /*object*/) {
    if (hint == UpdateHint::SelectedDateChanged || hint == UpdateHint::DayChanged) {
        UpdateNavigation();
    }
    ScheduleCommandUi();
}

void CMainFrame::OnInitialUpdate() {
    UpdateTitle();
    UpdateNavigation();
    ScheduleCommandUi();
}

// ---- Window behaviour ------------------------------------------------------------------------

void CMainFrame::ShowInitially(bool minimized) {
    if (minimized) {
        if (HasTray()) {
            // Only the icon shows; the first restore shows the window as it was left.
            hide();
        } else {
            showMinimized();
        }
        return;
    }
    if (m_restoreMaximized) {
        showMaximized();
    } else {
        show();
    }
}

bool CMainFrame::IsMainWindowHidden() const {
    return !isVisible() || isMinimized();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() &&
        QApplication::activeWindow() == nullptr && m_sinceRestore.isValid() &&
        m_sinceRestore.elapsed() < kRestoreSettleMs) {
        // The focus that the hiding took away, reported after the window came back: the
        // restore's activation still stands.
        QTimer::singleShot(0, this, [this] {
            if (!isHidden() && QApplication::activeWindow() == nullptr) {
                activateWindow();
            }
        });
        return;
    }
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    if (isMinimized()) {
        // Only the window system's report counts; the program's own minimise (closing to the
        // tray) is meant. The window is shown again after this change has been carried out.
        if (event->spontaneous() && m_sinceRestore.isValid() &&
            m_sinceRestore.elapsed() < kRestoreSettleMs) {
            QTimer::singleShot(0, this, [this] {
                if (isMinimized()) {
                    ShowRestored();
                }
            });
            return;
        }
        m_restoreMaximized =
            (static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMaximized) != 0;
        if (HasTray()) {
            // After the minimise has been carried out, only the icon remains.
            QTimer::singleShot(0, this, [this] {
                if (isMinimized()) {
                    hide();
                }
            });
        }
    } else {
        m_restoreMaximized = isMaximized();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_exiting || m_sessionEnding) {
        event->accept();
        return;
    }
    event->ignore();
    if (m_app.Settings().CloseToTray) {
        // Minimising hides to the tray where there is one and stays in the taskbar otherwise.
        m_sinceRestore.invalidate();
        showMinimized();
        return;
    }
    Exit();
}

bool CMainFrame::Exit() {
    if (m_app.Settings().WarnOnExit &&
        !m_app.Prompt().AskYesNo(LoadString(kIdsAskExit), PromptIcon::Exclamation)) {
        return false;
    }
    m_app.Document().SaveCommand();
    SaveExitState();
    m_exiting = true;
    close();
    emit Exited();
    return true;
}

void CMainFrame::SaveOnSessionEnd() {
    // No questions while the session ends: a named file is written, an untitled one is left.
    m_sessionEnding = true;
    if (!m_app.Document().GetPathName().empty() && m_app.Document().IsModified()) {
        m_app.Document().SaveCommand();
    }
    SaveExitState();
}

void CMainFrame::RestoreWindow() {
    m_sinceRestore.start();
    ShowRestored();
}

void CMainFrame::ShowRestored() {
    // Clearing the minimised state below reports a state change of its own, which would take
    // the maximised state that the window is to come back in.
    const bool maximized = m_restoreMaximized;
    if (isHidden()) {
        // A window hidden to the tray still says it is minimised; mapped with that state, the
        // window manager would show it as an icon again.
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    m_restoreMaximized = maximized;
    if (m_restoreMaximized) {
        showMaximized();
    } else {
        showNormal();
    }
    raise();
    activateWindow();
}

void CMainFrame::BringToFront() {
    RestoreWindow();
    if (m_scheduler) {
        m_scheduler->RaiseReminderWindow();
    }
    // A dialog that is open in this window comes to the front with it.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void CMainFrame::OnTrayActivated(QSystemTrayIcon::ActivationReason reason) {
    const CSettings& settings = m_app.Settings();
    const QSystemTrayIcon::ActivationReason wanted =
        settings.DoubleClickTray ? QSystemTrayIcon::DoubleClick : QSystemTrayIcon::Trigger;
    if (reason != wanted) {
        return;
    }
    if (IsMainWindowHidden()) {
        BringToFront();
        if (settings.RestoreStandardView && settings.StartView == 1) {
            SetPage(settings.DefaultView);
        }
        if (settings.RestoreCurrentDate) {
            QMetaObject::invokeMethod(
                this, [this] { RunCommand(cmd::kCurrentDate); }, Qt::QueuedConnection);
        }
    } else if (settings.TrayIconTogglesSize) {
        m_sinceRestore.invalidate();
        showMinimized();
    }
}

void CMainFrame::SaveWindowPosition() {
    CWindowSettings& layout = m_app.WindowSettings();
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    layout.MainWindowX = normal.x();
    layout.MainWindowY = normal.y();
    layout.MainWindowWidth = normal.width();
    layout.MainWindowHeight = normal.height();
    layout.MainWindowMaximized =
        isMaximized() || ((isMinimized() || isHidden()) && m_restoreMaximized);
    try {
        layout.Save(m_app.Store());
    } catch (const std::exception& error) {
        m_app.Prompt().ShowMessage(FormatString(kIdsCannotStoreSettings, error.what()),
                                   PromptIcon::Stop);
    }
}

void CMainFrame::SaveExitState() {
    CSettings& settings = m_app.Settings();
    CWindowSettings& layout = m_app.WindowSettings();
    layout.SidebarVisible = m_sidebar->isVisible();
    if (m_sidebar->isVisible()) {
        layout.SidebarWidth = m_splitter->sizes().value(0, layout.SidebarWidth);
    }
    if (settings.SaveWindowsPos) {
        SaveWindowPosition();
    }
    settings.LastDateFile = m_app.Document().GetPathName().string();
    settings.LastView = CurrentPage();
    IProfileStore& store = m_app.Store();
    store.WriteText(kBarStateSection, kBarStateKey, saveState().toBase64().toStdString());
    try {
        settings.SaveExitState(store);
    } catch (const std::exception& error) {
        m_app.Prompt().ShowMessage(FormatString(kIdsCannotStoreSettings, error.what()),
                                   PromptIcon::Stop);
    }
}

// ---- Options ---------------------------------------------------------------------------------

void CMainFrame::ApplyOptions(const CSettings& old, const CSettings& now) {
    CSettings& settings = m_app.Settings();
    settings = now;
    m_app.SaveSettings();
    if (old.UseRegistry != now.UseRegistry) {
        m_app.SwitchStore(now.UseRegistry);
        m_app.SaveSettings();
    }
    m_timeBar->Configure(now.CurrentTimeDisplay, now.CurrentTimeFont);
    m_worker->SetConfig(SyncConfigOf(now));
    if (now.NetworkFunction != 0 && now.NetworkFunction != old.NetworkFunction) {
        m_worker->RequestSync();
    }
    const CAutostartEntry autostart(m_app.Environment().ProgramFile);
    if (!autostart.Apply(now.RunOnWindowsStart)) {
        m_app.Prompt().ShowMessage(FormatString(kIdsCannotWriteAutostart,
                                                CAutostartEntry::DesktopFilePath().toStdString()),
                                   PromptIcon::Stop);
    }
    if (old.DateCheckInterval != now.DateCheckInterval) {
        m_scheduler->RestartTimer();
    }
    m_app.Document().UpdateAllViews(UpdateHint::Merged);
    m_app.Document().UpdateAllViews(UpdateHint::OptionsChanged);
}

// ---- Synchronisation -------------------------------------------------------------------------

void CMainFrame::PostMergeNow() {
    // From the worker's thread: the merge runs on the user-interface thread.
    QMetaObject::invokeMethod(this, &CMainFrame::RunMergeNow, Qt::QueuedConnection);
}

void CMainFrame::PostUploadDone() {
    QMetaObject::invokeMethod(this, &CMainFrame::RunUploadDone, Qt::QueuedConnection);
}

void CMainFrame::RunMergeNow() {
    const CDateTime cycleBefore = m_worker->GetLastCycleTime();
    // A mass deletion by another user is put to the user through the prompt.
    RunMergeStep(*m_worker, &m_app.Document(), m_busyState, m_app.Settings().NetworkWriteAccess,
                 &m_app.Prompt());
    // The cycle ends on the worker's side shortly after the merge; its outcome is shown as soon
    // as it is stored, watched only while this cycle lasts.
    auto* watch = new QTimer(this);
    auto polls = std::make_shared<int>(0);
    connect(watch, &QTimer::timeout, this, [this, watch, polls, cycleBefore] {
        const bool ended = m_worker->GetLastCycleTime() != cycleBefore;
        if (ended) {
            RefreshSyncStatus();
        }
        if (ended || ++*polls >= 100) {
            watch->deleteLater();
            watch->stop();
        }
    });
    watch->start(50);
}

void CMainFrame::RunUploadDone() {
    OnUploadDone(&m_app.Document());
    RefreshSyncStatus();
}

void CMainFrame::RefreshSyncStatus() {
    const SyncOutcome outcome = m_worker ? m_worker->GetOutcome() : SyncOutcome::idle;
    if (m_shownOutcome == outcome) {
        return;
    }
    m_shownOutcome = outcome;
    m_syncLabel->setText(QString::fromStdString(SyncOutcomeText(outcome)));
    // The tooltip says when, and why a cycle failed.
    QString tip;
    if (m_worker && m_worker->GetLastCycleTime().IsSet()) {
        tip = QString::fromStdString(FormatString(
            kIdsLastSync, m_worker->GetLastCycleTime().Format(m_app.Settings().DateTimeFormat)));
    }
    if (const std::string error = m_worker ? m_worker->GetLastError() : std::string();
        !error.empty()) {
        tip += QStringLiteral("\n") + QString::fromStdString(error);
    }
    m_syncLabel->setToolTip(tip);
}

// ---- The alarm side --------------------------------------------------------------------------

void CMainFrame::SetTrayIcon(TrayIconKind kind) {
    if (m_trayKind == kind || !m_tray) {
        return;
    }
    m_trayKind = kind;
    m_tray->setIcon(QIcon(IconFile(kind)));
}

void CMainFrame::SetTrayTooltip(const std::string& text) {
    if (m_tray) {
        m_tray->setToolTip(QString::fromStdString(text).left(kTooltipLength));
    }
}

void CMainFrame::EditEvent(CDateEntry* event) {
    emit EditEventRequested(event);
    // After the reminder window's own handling of the click.
    QMetaObject::invokeMethod(
        this,
        [this, event] {
            if (m_app.Document().IndexOfDateEntry(event) >= 0) {
                m_edit->EditEvent(event);
            }
        },
        Qt::QueuedConnection);
}

ISoundPlayer* CMainFrame::SoundPlayer() const {
    return m_sound.get();
}

ILauncher& CMainFrame::Launcher() {
    return *m_launcher;
}

void CMainFrame::DeleteEvent(CDateEntry* event) {
    // The reminder window has asked about the entry already; what is left to confirm is that
    // every occurrence goes, not just the one it showed.
    if (m_app.Settings().WarnOnCompleteDelete &&
        !m_app.Prompt().AskYesNo(LoadString(kIdsAskDeleteWholeEvent) + "\n" +
                                     event->GetData().Description,
                                 PromptIcon::Exclamation)) {
        return;
    }
    m_app.Document().DeleteDateEntry(event, kEditInteractive);
}

void CMainFrame::ShowNotification(const std::string& title, const std::string& text) {
    if (m_notifier && m_notifier->Notify(title, text)) {
        return;
    }
    // No notification service: the icon's own message.
    if (m_tray) {
        m_tray->showMessage(QString::fromStdString(title), QString::fromStdString(text));
    }
}

bool CMainFrame::OpenUrl(const QUrl& url) {
    return m_openUrl && m_openUrl(url);
}

} // namespace dv
