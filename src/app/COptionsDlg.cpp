#include "app/COptionsDlg.h"

#include "app/CCurrentTimeBar.h"
#include "app/CDayvaultApp.h"
#include "app/CMainFrame.h"
#include "app/ColorChoice.h"
#include "app/IFileDialogs.h"
#include "app/UiText.h"
#include "app/WindowPlacement.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/CAutostartEntry.h"
#include "platform/CLanguageLibrary.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <tuple>

namespace dv {

namespace {

// The bits of NetworkWriteAccess and DoneEventsMarking.
constexpr int32_t kWriteChanges = 1;
constexpr int32_t kWriteDeletions = 2;
constexpr int32_t kDoneStruck = 1;
constexpr int32_t kDoneGrey = 2;
constexpr int32_t kDoneInverse = 4;

// The stored form of a font the user chose: pixel height negative, as the settings keep it;
// the fields a Qt font has no say in stay as they were.
LogFont FromQFont(const QFont& font, LogFont base) {
    base.FaceName = font.family().toStdString().substr(0, LogFont::kMaxFaceNameLength);
    const int pixels = font.pixelSize() > 0
                           ? font.pixelSize()
                           : static_cast<int>(font.pointSizeF() * 96.0 / 72.0 + 0.5);
    base.Height = -pixels;
    base.Weight = font.weight();
    base.Italic = font.italic() ? 1 : 0;
    base.Underline = font.underline() ? 1 : 0;
    base.StrikeOut = font.strikeOut() ? 1 : 0;
    return base;
}

QRadioButton* Radio(QButtonGroup* group, uint32_t text, int id) {
    auto* button = new QRadioButton(Text(text));
    group->addButton(button, id);
    return button;
}

void CheckId(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
    } else if (!group->buttons().isEmpty()) {
        group->buttons().constFirst()->setChecked(true);
    }
}

QComboBox* ListOf(uint32_t id, const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    box->addItems(Text(id).split(QLatin1Char('|')));
    return box;
}

QGroupBox* Group(uint32_t title, QLayout* layout) {
    auto* group = new QGroupBox(Text(title));
    group->setLayout(layout);
    return group;
}

// A page: its groups from the top, the rest of the height left empty.
QWidget* PageOf(std::initializer_list<QWidget*> parts) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    for (QWidget* part : parts) {
        layout->addWidget(part);
    }
    layout->addStretch(1);
    return page;
}

QVBoxLayout* Column(std::initializer_list<QWidget*> widgets) {
    auto* layout = new QVBoxLayout;
    for (QWidget* widget : widgets) {
        layout->addWidget(widget);
    }
    return layout;
}

// A field with its label in front, the label's mnemonic leading to the field.
QHBoxLayout* Labelled(uint32_t label, QWidget* field, QWidget* after = nullptr) {
    auto* row = new QHBoxLayout;
    auto* text = new QLabel(Text(label));
    text->setBuddy(field);
    row->addWidget(text);
    row->addWidget(field);
    if (after) {
        row->addWidget(after);
    }
    row->addStretch(1);
    return row;
}

QWidget* Wrap(QLayout* layout) {
    auto* widget = new QWidget;
    layout->setContentsMargins(0, 0, 0, 0);
    widget->setLayout(layout);
    return widget;
}

} // namespace

COptionsDlg::COptionsDlg(const CSettings& settings, OptionsContext context, QWidget* parent)
    : QDialog(parent), m_result(settings), m_edit(settings), m_context(std::move(context)) {
    setObjectName(QStringLiteral("OptionsDlg"));
    setWindowTitle(Text(kIdsOptTitle));

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("OptionsPageList"));
    m_pages = new QStackedWidget;
    const std::pair<uint32_t, QWidget*> pages[] = {
        {kIdsOptPageGeneral, BuildGeneral()},      {kIdsOptPageDisplay, BuildDisplay()},
        {kIdsOptPageColours, BuildColoursFonts()}, {kIdsOptPageReminders, BuildReminders()},
        {kIdsOptPageTodos, BuildTodos()},          {kIdsOptPageSharing, BuildSharing()},
        {kIdsOptPageBackups, BuildBackups()},      {kIdsOptPageLanguage, BuildLanguages()},
    };
    for (const auto& [title, page] : pages) {
        m_list->addItem(Text(title));
        m_pages->addWidget(page);
    }
    m_list->setSpacing(2);
    m_list->setFixedWidth(m_list->sizeHintForColumn(0) + 4 * m_list->frameWidth() + 16);
    connect(m_list, &QListWidget::currentRowChanged, m_pages, &QStackedWidget::setCurrentIndex);
    m_list->setCurrentRow(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionsDlg::reject);

    // The pages scroll where the screen is too small for the tallest of them.
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("OptionsPageScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_pages);
    auto* centre = new QHBoxLayout;
    centre->addWidget(m_list);
    centre->addWidget(scroll, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(centre, 1);
    layout->addWidget(buttons);
    UpdateEnabled();
    const QSize natural = m_pages->sizeHint() +
                          QSize(m_list->width(), buttons->sizeHint().height()) +
                          QSize(layout->spacing() + 2 * layout->contentsMargins().left() + 8,
                                layout->spacing() + 2 * layout->contentsMargins().top() + 8);
    resize(FitToScreen(natural, this));
}

COptionsDlg::~COptionsDlg() = default;

void COptionsDlg::ShowPage(Page page) {
    m_list->setCurrentRow(page);
}

QCheckBox* COptionsDlg::Check(bool CSettings::*member, uint32_t text, const char* name) {
    auto* box = new QCheckBox(Text(text));
    box->setObjectName(QLatin1String(name));
    box->setChecked(m_result.*member);
    m_checks.emplace_back(box, member);
    return box;
}

QLineEdit* COptionsDlg::Number(int32_t CSettings::*member, uint32_t label, int32_t low,
                               int32_t high, const char* name) {
    auto* edit = new QLineEdit(QString::number(m_result.*member));
    edit->setObjectName(QLatin1String(name));
    // Digits only; the range itself is checked on OK, where the message can name it.
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,9}")), edit));
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    m_numbers.push_back(NumberField{edit, label, low, high, member});
    return edit;
}

QPushButton* COptionsDlg::ColourButton(uint32_t CSettings::*member, const char* name) {
    auto* button = new QPushButton;
    button->setObjectName(QLatin1String(name));
    ShowColorSwatch(button, m_edit.*member);
    connect(button, &QPushButton::clicked, this, [this, button, member] {
        std::optional<uint32_t> chosen;
        if (m_context.chooseColour) {
            chosen = m_context.chooseColour(m_edit.*member, this);
        } else {
            chosen = ChooseColorRef(this, m_edit.*member);
        }
        if (chosen) {
            m_edit.*member = *chosen;
            ShowColorSwatch(button, *chosen);
        }
    });
    return button;
}

void COptionsDlg::ShowFont(QPushButton* button, const LogFont& font) {
    const QFont shown = ToQFont(font);
    QString text = QString::fromStdString(FormatString(
        kIdsOptFontText, {shown.family().toStdString(), std::to_string(std::abs(font.Height))}));
    if (font.Weight >= 600) {
        text += Text(kIdsOptFontBold);
    }
    if (font.Italic) {
        text += Text(kIdsOptFontItalic);
    }
    button->setText(text);
}

QPushButton* COptionsDlg::FontButton(LogFont CSettings::*member, const char* name) {
    auto* button = new QPushButton;
    button->setObjectName(QLatin1String(name));
    ShowFont(button, m_edit.*member);
    connect(button, &QPushButton::clicked, this, [this, button, member] {
        std::optional<LogFont> chosen;
        if (m_context.chooseFont) {
            chosen = m_context.chooseFont(m_edit.*member, this);
        } else {
            bool ok = false;
            const QFont font = QFontDialog::getFont(&ok, ToQFont(m_edit.*member), this);
            if (ok) {
                chosen = FromQFont(font, m_edit.*member);
            }
        }
        if (chosen) {
            m_edit.*member = *chosen;
            ShowFont(button, *chosen);
        }
    });
    return button;
}

// ---- Pages ----------------------------------------------------------------------------------

QWidget* COptionsDlg::BuildGeneral() {
    QWidget* start =
        Group(kIdsOptGroupStart,
              Column({Check(&CSettings::RunOnWindowsStart, kIdsOptRunOnStart, "RunOnWindowsStart"),
                      Check(&CSettings::RunMinimized, kIdsOptRunMinimized, "RunMinimized"),
                      Check(&CSettings::SingleInstance, kIdsOptSingleInstance, "SingleInstance"),
                      Check(&CSettings::UseRegistry, kIdsOptUseRegistry, "UseRegistry")}));

    m_loadFile = new QButtonGroup(this);
    m_defaultFile = new QLineEdit(QString::fromStdString(m_result.DefaultDateFile));
    m_defaultFile->setObjectName(QStringLiteral("DefaultDateFile"));
    auto* browse = new QPushButton(Text(kIdsOptBrowse));
    connect(browse, &QPushButton::clicked, this, [this] {
        if (const auto path = m_context.fileDialogs ? m_context.fileDialogs->OpenFile(
                                                          this, LoadString(kIdsEventFilesFilter))
                                                    : std::nullopt) {
            m_defaultFile->setText(QString::fromStdString(path->string()));
        }
    });
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(Radio(m_loadFile, kIdsOptLoadDefault, 1));
    fileRow->addWidget(m_defaultFile, 1);
    fileRow->addWidget(browse);
    auto* fileLayout = Column({Radio(m_loadFile, kIdsOptLoadLast, 0)});
    fileLayout->addLayout(fileRow);
    CheckId(m_loadFile, m_result.LoadDateFile == 0 ? 0 : 1);
    m_defaultFileRow = {m_defaultFile, browse};

    m_startView = new QButtonGroup(this);
    m_defaultView = ListOf(kIdsOptPageNames, "DefaultView");
    m_defaultView->setCurrentIndex(std::clamp(m_result.DefaultView, 0, 4));
    auto* viewRow = new QHBoxLayout;
    viewRow->addWidget(Radio(m_startView, kIdsOptStartDefault, 1));
    viewRow->addWidget(m_defaultView);
    viewRow->addStretch(1);
    auto* viewLayout = new QVBoxLayout;
    viewLayout->addLayout(viewRow);
    viewLayout->addWidget(Radio(m_startView, kIdsOptStartLast, 0));
    CheckId(m_startView, m_result.StartView == 1 ? 1 : 0);
    connect(m_loadFile, &QButtonGroup::idClicked, this, &COptionsDlg::UpdateEnabled);

    QWidget* window = Group(
        kIdsOptGroupWindow,
        Column(
            {Check(&CSettings::CloseToTray, kIdsOptCloseToTray, "CloseToTray"),
             Check(&CSettings::DoubleClickTray, kIdsOptDoubleClickTray, "DoubleClickTray"),
             Check(&CSettings::TrayIconTogglesSize, kIdsOptTrayToggles, "TrayIconTogglesSize"),
             Check(&CSettings::SaveWindowsPos, kIdsOptSaveWindowPos, "SaveWindowsPos"),
             Check(&CSettings::RestoreCurrentDate, kIdsOptRestoreDate, "RestoreCurrentDate"),
             Check(&CSettings::RestoreStandardView, kIdsOptRestoreView, "RestoreStandardView")}));

    auto* warnings = new QGridLayout;
    warnings->addWidget(Check(&CSettings::WarnOnExit, kIdsOptWarnExit, "WarnOnExit"), 0, 0);
    warnings->addWidget(
        Check(&CSettings::WarnOnAlarmDisable, kIdsOptWarnAlarm, "WarnOnAlarmDisable"), 0, 1);
    warnings->addWidget(Check(&CSettings::WarnOnDelete, kIdsOptWarnDelete, "WarnOnDelete"), 1, 0);
    warnings->addWidget(
        Check(&CSettings::WarnOnCompleteDelete, kIdsOptWarnCompleteDelete, "WarnOnCompleteDelete"),
        1, 1);

    m_homepage = new QLineEdit(QString::fromStdString(m_result.Homepage));
    m_homepage->setObjectName(QStringLiteral("Homepage"));
    auto* homepage = new QHBoxLayout;
    auto* homeLabel = new QLabel(Text(kIdsOptHomepage));
    homeLabel->setBuddy(m_homepage);
    homepage->addWidget(homeLabel);
    homepage->addWidget(m_homepage, 1);

    return PageOf({start, Group(kIdsOptGroupEventFile, fileLayout),
                   Group(kIdsOptGroupStartPage, viewLayout), window,
                   Group(kIdsOptGroupWarnings, warnings), Wrap(homepage)});
}

QWidget* COptionsDlg::BuildDisplay() {
    m_weekStart = ListOf(kIdsOptWeekStartList, "WeekStart");
    m_weekStart->setCurrentIndex(m_result.WeekStart == 1 ? 1 : 0);
    m_weekLayout = ListOf(kIdsOptLayoutList, "WeekViewLayout");
    m_weekLayout->setCurrentIndex(m_result.WeekViewLayout == 1 ? 1 : 0);
    m_fortnightLayout = ListOf(kIdsOptLayoutList, "FortnightViewLayout");
    m_fortnightLayout->setCurrentIndex(m_result.FortnightViewLayout == 1 ? 1 : 0);
    auto* pages = new QFormLayout;
    pages->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    pages->addRow(Text(kIdsOptWeekStart), m_weekStart);
    pages->addRow(Text(kIdsOptWeekLayout), m_weekLayout);
    pages->addRow(Text(kIdsOptFortnightLayout), m_fortnightLayout);
    pages->addRow(Check(&CSettings::ShowWeekNumbers, kIdsOptShowWeekNumbers, "ShowWeekNumbers"));
    pages->addRow(Check(&CSettings::DisableExtraDays, kIdsOptDisableExtraDays, "DisableExtraDays"));
    // One switch for every time format the user has not changed; without a choice of the user
    // or the desktop it shows what the language's time format uses.
    m_clock24 = new QCheckBox(Text(kIdsOpt24HourClock));
    m_clock24->setObjectName(QStringLiteral("TwentyFourHourClock"));
    m_clock24->setChecked(m_result.TwentyFourHour().value_or(
        m_result.TimeFormat.find("%H") != std::string::npos ||
        m_result.TimeFormat.find("%#H") != std::string::npos));
    m_clock24Shown = m_clock24->isChecked();
    pages->addRow(m_clock24);

    auto* help = new QGridLayout;
    help->addWidget(
        Check(&CSettings::ShowHeaderTooltips, kIdsOptHeaderTooltips, "ShowHeaderTooltips"), 0, 0);
    help->addWidget(Check(&CSettings::ShowEventTooltips, kIdsOptEventTooltips, "ShowEventTooltips"),
                    0, 1);
    help->addWidget(
        Check(&CSettings::NavigationMousewheel, kIdsOptMousewheel, "NavigationMousewheel"), 1, 0);
    help->addWidget(
        Check(&CSettings::NavigationPgUpPgDown, kIdsOptPgUpPgDown, "NavigationPgUpPgDown"), 1, 1);

    m_doneStruck = new QCheckBox(Text(kIdsOptDoneStruck));
    m_doneStruck->setObjectName(QStringLiteral("DoneStruck"));
    m_doneGrey = new QCheckBox(Text(kIdsOptDoneGrey));
    m_doneGrey->setObjectName(QStringLiteral("DoneGrey"));
    m_doneInverse = new QCheckBox(Text(kIdsOptDoneInverse));
    m_doneInverse->setObjectName(QStringLiteral("DoneInverse"));
    m_doneStruck->setChecked((m_result.DoneEventsMarking & kDoneStruck) != 0);
    m_doneGrey->setChecked((m_result.DoneEventsMarking & kDoneGrey) != 0);
    m_doneInverse->setChecked((m_result.DoneEventsMarking & kDoneInverse) != 0);
    auto* done = new QHBoxLayout;
    done->addWidget(m_doneStruck);
    done->addWidget(m_doneGrey);
    done->addWidget(m_doneInverse);
    done->addStretch(1);

    auto* marks = new QGridLayout;
    marks->addWidget(Check(&CSettings::YearViewHolidays, kIdsOptYearHolidays, "YearViewHolidays"),
                     0, 0);
    marks->addWidget(
        Check(&CSettings::YearViewSaturdays, kIdsOptYearSaturdays, "YearViewSaturdays"), 0, 1);
    marks->addWidget(Check(&CSettings::YearViewSundays, kIdsOptYearSundays, "YearViewSundays"), 0,
                     2);
    marks->addWidget(Check(&CSettings::ShowNetworkIcon, kIdsOptNetworkIcon, "ShowNetworkIcon"), 1,
                     0, 1, 3);
    marks->addWidget(Check(&CSettings::ShowLocalIcon, kIdsOptLocalIcon, "ShowLocalIcon"), 2, 0, 1,
                     3);

    return PageOf({Group(kIdsOptGroupPages, pages), Group(kIdsOptGroupHelp, help),
                   Group(kIdsOptGroupDone, done), Group(kIdsOptGroupMarks, marks)});
}

QWidget* COptionsDlg::BuildColoursFonts() {
    auto* colours = new QFormLayout;
    const std::tuple<uint32_t, uint32_t CSettings::*, const char*> colourRows[] = {
        {kIdsOptNormalColor, &CSettings::NormalColor, "NormalColor"},
        {kIdsOptTodayColor, &CSettings::TodayColor, "TodayColor"},
        {kIdsOptSelectedColor, &CSettings::SelectedColor, "SelectedColor"},
        {kIdsOptHolidayColor, &CSettings::HolidayColor, "HolidayColor"},
        {kIdsOptSaturdayColor, &CSettings::SaturdayColor, "SaturdayColor"},
        {kIdsOptSundayColor, &CSettings::SundayColor, "SundayColor"},
        {kIdsOptYearDatesColor, &CSettings::DatesInYearViewColor, "DatesInYearViewColor"},
    };
    for (const auto& [label, member, name] : colourRows) {
        colours->addRow(Text(label), ColourButton(member, name));
    }
    auto* fonts = new QFormLayout;
    const std::tuple<uint32_t, LogFont CSettings::*, const char*> fontRows[] = {
        {kIdsOptEventFont, &CSettings::CalendarEventFont, "CalendarEventFont"},
        {kIdsOptCaptionDateFont, &CSettings::CalendarCaptionDateFont, "CalendarCaptionDateFont"},
        {kIdsOptCaptionHolidayFont, &CSettings::CalendarCaptionHolidayFont,
         "CalendarCaptionHolidayFont"},
        {kIdsOptMonthLabelFont, &CSettings::CalendarLabelMonthViewFont,
         "CalendarLabelMonthViewFont"},
        {kIdsOptYearLabelFont, &CSettings::CalendarLabelYearViewFont, "CalendarLabelYearViewFont"},
        {kIdsOptTodoFont, &CSettings::TodoEventFont, "TodoEventFont"},
        {kIdsOptCurrentTimeFont, &CSettings::CurrentTimeFont, "CurrentTimeFont"},
        {kIdsOptReminderFont, &CSettings::ReminderFont, "ReminderFont"},
    };
    for (const auto& [label, member, name] : fontRows) {
        fonts->addRow(Text(label), FontButton(member, name));
    }
    auto* row = new QHBoxLayout;
    row->addWidget(Group(kIdsOptGroupColours, colours), 0, Qt::AlignTop);
    row->addWidget(Group(kIdsOptGroupFonts, fonts), 1, Qt::AlignTop);
    return PageOf({Wrap(row)});
}

QWidget* COptionsDlg::BuildReminders() {
    auto* check = new QHBoxLayout;
    QLineEdit* interval = Number(&CSettings::DateCheckInterval, kIdsOptDateCheckInterval, 1, 3600,
                                 "DateCheckInterval");
    check->addLayout(Labelled(kIdsOptDateCheckInterval, interval));

    m_snoozeTime = new QTimeEdit;
    m_snoozeTime->setObjectName(QStringLiteral("SnoozeEndTime"));
    m_snoozeTime->setDisplayFormat(QStringLiteral("HH:mm"));
    m_snoozeTime->setTime(
        QTime(m_result.SnoozeEndTime.GetHour(), m_result.SnoozeEndTime.GetMinute()));
    m_snoozeFixed = Check(&CSettings::SnoozeToFixedTime, kIdsOptSnoozeFixed, "SnoozeToFixedTime");
    connect(m_snoozeFixed, &QCheckBox::toggled, this, &COptionsDlg::UpdateEnabled);
    auto* snooze = new QHBoxLayout;
    snooze->addWidget(m_snoozeFixed);
    snooze->addWidget(m_snoozeTime);
    snooze->addStretch(1);

    auto* window =
        Column({Check(&CSettings::RemindersInputFocus, kIdsOptInputFocus, "RemindersInputFocus"),
                Check(&CSettings::RemindersAlwaysOnTop, kIdsOptAlwaysOnTop, "RemindersAlwaysOnTop"),
                Check(&CSettings::ReminderUsesDisplayAttributes, kIdsOptDisplayAttributes,
                      "ReminderUsesDisplayAttributes")});
    window->addLayout(snooze);
    return PageOf({Group(kIdsOptGroupAlarm, check), Group(kIdsOptGroupReminder, window)});
}

QWidget* COptionsDlg::BuildTodos() {
    auto* grid = new QGridLayout;
    const std::tuple<bool CSettings::*, uint32_t, const char*, int32_t CSettings::*, const char*>
        rows[] = {
            {&CSettings::DeleteDoneTodo, kIdsOptDeleteDone, "DeleteDoneTodo",
             &CSettings::DaysBeforeDeleteTodo, "DaysBeforeDeleteTodo"},
            {&CSettings::HideDoneTodo, kIdsOptHideDone, "HideDoneTodo",
             &CSettings::DaysBeforeHideTodo, "DaysBeforeHideTodo"},
            {&CSettings::HideUndoneTodo, kIdsOptHideUndone, "HideUndoneTodo",
             &CSettings::DaysBeforeShowTodo, "DaysBeforeShowTodo"},
        };
    int line = 0;
    for (const auto& [flag, text, flagName, days, daysName] : rows) {
        QCheckBox* box = Check(flag, text, flagName);
        QLineEdit* edit = Number(days, text, 0, 1000, daysName);
        connect(box, &QCheckBox::toggled, edit, &QWidget::setEnabled);
        edit->setEnabled(box->isChecked());
        grid->addWidget(box, line, 0);
        grid->addWidget(edit, line, 1);
        ++line;
    }
    grid->setColumnStretch(2, 1);
    QWidget* shown = Group(
        kIdsOptGroupTodoShow,
        Column({Check(&CSettings::ShowDueTodoTab, kIdsOptDueTodoTab, "ShowDueTodoTab"),
                Check(&CSettings::ShowDueTodoSystray, kIdsOptDueTodoSystray, "ShowDueTodoSystray"),
                Check(&CSettings::ShowTodoTooltips, kIdsOptTodoTooltips, "ShowTodoTooltips")}));
    return PageOf({Group(kIdsOptGroupTodoDays, grid), shown});
}

QWidget* COptionsDlg::BuildSharing() {
    m_network = new QButtonGroup(this);
    auto* place = new QGridLayout;
    place->addWidget(Radio(m_network, kIdsOptNetworkOff, 0), 0, 0, 1, 3);
    place->addWidget(Radio(m_network, kIdsOptNetworkPath, 1), 1, 0, 1, 3);
    m_sharedFile = new QLineEdit(QString::fromStdString(m_result.SharedFile));
    m_sharedFile->setObjectName(QStringLiteral("SharedFile"));
    auto* browse = new QPushButton(Text(kIdsOptBrowse));
    connect(browse, &QPushButton::clicked, this, [this] {
        if (const auto path = m_context.fileDialogs ? m_context.fileDialogs->OpenFile(
                                                          this, LoadString(kIdsEventFilesFilter))
                                                    : std::nullopt) {
            m_sharedFile->setText(QString::fromStdString(path->string()));
        }
    });
    auto* sharedLabel = new QLabel(Text(kIdsOptSharedFile));
    sharedLabel->setBuddy(m_sharedFile);
    place->addWidget(sharedLabel, 2, 0);
    place->addWidget(m_sharedFile, 2, 1);
    place->addWidget(browse, 2, 2);
    place->addWidget(Radio(m_network, kIdsOptNetworkFtp, 2), 3, 0, 1, 3);
    m_sharedFileRow = {sharedLabel, m_sharedFile, browse};

    m_ftpServer = new QLineEdit(QString::fromStdString(m_result.FtpServer));
    m_ftpServer->setObjectName(QStringLiteral("FtpServer"));
    QLineEdit* port = Number(&CSettings::FtpPort, kIdsOptFtpPort, 1, 65535, "FtpPort");
    m_ftpLogin = new QLineEdit(QString::fromStdString(m_result.FtpLogin));
    m_ftpLogin->setObjectName(QStringLiteral("FtpLogin"));
    m_ftpPassword = new QLineEdit;
    m_ftpPassword->setObjectName(QStringLiteral("FtpPassword"));
    m_ftpPassword->setEchoMode(QLineEdit::Password);
    // The stored password never comes back into view: a placeholder says that one is kept,
    // and leaving the field empty keeps it.
    const bool stored = m_context.passwordStored || !m_result.FtpPassword.empty();
    if (stored) {
        m_ftpPassword->setPlaceholderText(Text(kIdsOptPasswordStored));
    }
    m_removePassword = new QPushButton(Text(kIdsOptRemovePassword));
    m_removePassword->setObjectName(QStringLiteral("RemovePassword"));
    m_removePassword->setEnabled(stored);
    connect(m_removePassword, &QPushButton::clicked, this, [this] {
        m_passwordRemoved = true;
        m_ftpPassword->clear();
        m_ftpPassword->setPlaceholderText(QString());
        m_removePassword->setEnabled(false);
    });
    connect(m_ftpPassword, &QLineEdit::textEdited, this, [this] {
        m_removePassword->setEnabled(!m_ftpPassword->text().isEmpty() ||
                                     !m_ftpPassword->placeholderText().isEmpty());
    });
    m_ftpFile = new QLineEdit(QString::fromStdString(m_result.FtpSharedFile));
    m_ftpFile->setObjectName(QStringLiteral("FtpSharedFile"));
    QCheckBox* passive =
        Check(&CSettings::FtpPassiveConnection, kIdsOptFtpPassive, "FtpPassiveConnection");

    auto* ftp = new QFormLayout;
    auto* serverRow = new QHBoxLayout;
    serverRow->addWidget(m_ftpServer, 1);
    auto* portLabel = new QLabel(Text(kIdsOptFtpPort));
    portLabel->setBuddy(port);
    serverRow->addWidget(portLabel);
    serverRow->addWidget(port);
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(m_ftpPassword, 1);
    passwordRow->addWidget(m_removePassword);
    auto* serverLabel = new QLabel(Text(kIdsOptFtpServer));
    serverLabel->setBuddy(m_ftpServer);
    ftp->addRow(serverLabel, serverRow);
    ftp->addRow(Text(kIdsOptFtpLogin), m_ftpLogin);
    auto* passwordLabel = new QLabel(Text(kIdsOptFtpPassword));
    passwordLabel->setBuddy(m_ftpPassword);
    ftp->addRow(passwordLabel, passwordRow);
    ftp->addRow(Text(kIdsOptFtpFile), m_ftpFile);
    ftp->addRow(QString(), passive);
    QWidget* ftpBox = Wrap(ftp);
    ftpBox->setContentsMargins(24, 0, 0, 0);
    place->addWidget(ftpBox, 4, 0, 1, 3);
    m_ftpBox = ftpBox;
    for (QAbstractButton* button : m_network->buttons()) {
        button->setObjectName(QStringLiteral("NetworkFunction%1").arg(m_network->id(button)));
    }
    CheckId(m_network, m_result.NetworkFunction);
    connect(m_network, &QButtonGroup::idClicked, this, &COptionsDlg::UpdateEnabled);

    m_syncType = new QButtonGroup(this);
    auto* sync = new QGridLayout;
    sync->addWidget(Radio(m_syncType, kIdsOptSyncAuto, 0), 0, 0);
    sync->addWidget(
        Number(&CSettings::AutoSyncInterval, kIdsOptSyncAuto, 10, 3600, "AutoSyncInterval"), 0, 1);
    sync->addWidget(Radio(m_syncType, kIdsOptSyncManual, 1), 1, 0, 1, 2);
    sync->setColumnStretch(2, 1);
    CheckId(m_syncType, m_result.NetworkSyncType == 1 ? 1 : 0);
    m_writeChanges = new QCheckBox(Text(kIdsOptWriteChanges));
    m_writeChanges->setObjectName(QStringLiteral("WriteChanges"));
    m_writeChanges->setChecked((m_result.NetworkWriteAccess & kWriteChanges) != 0);
    m_writeDeletions = new QCheckBox(Text(kIdsOptWriteDeletions));
    m_writeDeletions->setObjectName(QStringLiteral("WriteDeletions"));
    m_writeDeletions->setChecked((m_result.NetworkWriteAccess & kWriteDeletions) != 0);
    sync->addWidget(m_writeChanges, 2, 0, 1, 3);
    sync->addWidget(m_writeDeletions, 3, 0, 1, 3);
    QWidget* syncBox = Group(kIdsOptGroupSync, sync);
    m_syncBox = syncBox;
    return PageOf({Group(kIdsOptGroupShare, place), syncBox});
}

QWidget* COptionsDlg::BuildBackups() {
    auto* grid = new QGridLayout;
    const std::tuple<uint32_t, int32_t CSettings::*, const char*> rows[] = {
        {kIdsOptBackupDepth, &CSettings::BackupDepth, "BackupDepth"},
        {kIdsOptNetworkBackupDepth, &CSettings::NetworkBackupDepth, "NetworkBackupDepth"},
    };
    int line = 0;
    for (const auto& [label, member, name] : rows) {
        QLineEdit* edit = Number(member, label, 0, 30, name);
        auto* text = new QLabel(Text(label));
        text->setBuddy(edit);
        grid->addWidget(text, line, 0);
        grid->addWidget(edit, line, 1);
        ++line;
    }
    auto* note = new QLabel(Text(kIdsOptBackupNote));
    note->setWordWrap(true);
    grid->addWidget(note, line, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    return PageOf({Group(kIdsOptGroupBackups, grid)});
}

QWidget* COptionsDlg::BuildLanguages() {
    m_languages = new QListWidget;
    m_languages->setObjectName(QStringLiteral("Language"));
    std::vector<uint32_t> ids{CLanguageLibrary::kBuiltInLanguage};
    for (uint32_t id : m_context.languages) {
        if (id != CLanguageLibrary::kBuiltInLanguage) {
            ids.push_back(id);
        }
    }
    const uint32_t current = static_cast<uint32_t>(m_result.Language) & 0xFFFF;
    for (uint32_t id : ids) {
        // Each language named in itself, so that a user finds their own whatever is shown now.
        const QLocale locale = CLanguageLibrary::LocaleOf(id);
        QString name = locale.nativeLanguageName();
        if (!name.isEmpty()) {
            name[0] = name[0].toUpper();
        }
        if (id != CLanguageLibrary::kBuiltInLanguage &&
            locale.territory() != QLocale::AnyTerritory) {
            name += QStringLiteral(" (") + locale.nativeTerritoryName() + QLatin1Char(')');
        }
        auto* item = new QListWidgetItem(name, m_languages);
        item->setData(Qt::UserRole, id);
        if (id == current) {
            m_languages->setCurrentItem(item);
        }
    }
    if (!m_languages->currentItem()) {
        m_languages->setCurrentRow(0);
    }
    auto* label = new QLabel(Text(kIdsOptLanguageLabel));
    label->setBuddy(m_languages);
    auto* note = new QLabel(Text(kIdsOptLanguageNote));
    note->setWordWrap(true);
    auto* layout = Column({label, m_languages, note});
    return PageOf({Group(kIdsOptPageLanguage, layout)});
}

// ---- State ----------------------------------------------------------------------------------

void COptionsDlg::UpdateEnabled() {
    for (QWidget* widget : m_defaultFileRow) {
        widget->setEnabled(m_loadFile->checkedId() == 1);
    }
    const int network = m_network->checkedId();
    for (QWidget* widget : m_sharedFileRow) {
        widget->setEnabled(network == 1);
    }
    m_ftpBox->setEnabled(network == 2);
    m_syncBox->setEnabled(network != 0);
    m_snoozeTime->setEnabled(m_snoozeFixed->isChecked());
}

bool COptionsDlg::Collect(CSettings& settings) {
    // Every number first, so that nothing is taken while one of them is refused.
    for (const NumberField& field : m_numbers) {
        bool ok = false;
        const qlonglong value = field.edit->text().trimmed().toLongLong(&ok);
        if (!ok || value < field.low || value > field.high) {
            for (int page = 0; page < m_pages->count(); ++page) {
                if (m_pages->widget(page)->isAncestorOf(field.edit)) {
                    m_list->setCurrentRow(page);
                }
            }
            QString name = Text(field.label);
            name.remove(QLatin1Char('&'));
            if (name.endsWith(QLatin1Char(':'))) {
                name.chop(1);
            }
            if (m_context.prompt) {
                m_context.prompt->ShowMessage(
                    FormatString(kIdsOptRangeMessage,
                                 {name.toStdString(), std::to_string(field.low),
                                  std::to_string(field.high)}),
                    PromptIcon::Exclamation);
            }
            field.edit->setEnabled(true);
            field.edit->setFocus(Qt::OtherFocusReason);
            field.edit->selectAll();
            return false;
        }
    }
    for (const NumberField& field : m_numbers) {
        settings.*field.member = field.edit->text().trimmed().toInt();
    }
    for (const auto& [box, member] : m_checks) {
        settings.*member = box->isChecked();
    }
    // General
    settings.LoadDateFile = m_loadFile->checkedId() == 0 ? 0 : 1;
    settings.DefaultDateFile = m_defaultFile->text().toStdString();
    settings.StartView = m_startView->checkedId() == 1 ? 1 : 0;
    settings.DefaultView = m_defaultView->currentIndex();
    settings.Homepage = m_homepage->text().trimmed().toStdString();
    // Display
    settings.WeekStart = m_weekStart->currentIndex();
    settings.WeekViewLayout = m_weekLayout->currentIndex();
    settings.FortnightViewLayout = m_fortnightLayout->currentIndex();
    if (m_clock24->isChecked() != m_clock24Shown) {
        settings.SetTwentyFourHourClock(m_clock24->isChecked() ? 1 : 0);
    }
    settings.DoneEventsMarking = (m_doneStruck->isChecked() ? kDoneStruck : 0) |
                                 (m_doneGrey->isChecked() ? kDoneGrey : 0) |
                                 (m_doneInverse->isChecked() ? kDoneInverse : 0);
    // Colours and fonts
    const std::initializer_list<uint32_t CSettings::*> colours = {
        &CSettings::NormalColor,         &CSettings::TodayColor,    &CSettings::SelectedColor,
        &CSettings::HolidayColor,        &CSettings::SaturdayColor, &CSettings::SundayColor,
        &CSettings::DatesInYearViewColor};
    for (auto member : colours) {
        settings.*member = m_edit.*member;
    }
    const std::initializer_list<LogFont CSettings::*> fonts = {
        &CSettings::CalendarEventFont,
        &CSettings::CalendarCaptionDateFont,
        &CSettings::CalendarCaptionHolidayFont,
        &CSettings::CalendarLabelMonthViewFont,
        &CSettings::CalendarLabelYearViewFont,
        &CSettings::TodoEventFont,
        &CSettings::CurrentTimeFont,
        &CSettings::ReminderFont};
    for (auto member : fonts) {
        settings.*member = m_edit.*member;
    }
    // Reminders: only the time of day of SnoozeEndTime counts; its date stays.
    const CDateTime snooze = settings.SnoozeEndTime;
    settings.SnoozeEndTime =
        CDateTime(snooze.GetYear(), snooze.GetMonth(), snooze.GetDay(), m_snoozeTime->time().hour(),
                  m_snoozeTime->time().minute(), 0);
    // Sharing
    settings.NetworkFunction = m_network->checkedId() < 0 ? 0 : m_network->checkedId();
    settings.SharedFile = m_sharedFile->text().trimmed().toStdString();
    settings.FtpServer = m_ftpServer->text().trimmed().toStdString();
    settings.FtpLogin = m_ftpLogin->text().toStdString();
    if (!m_ftpPassword->text().isEmpty()) {
        settings.FtpPassword = m_ftpPassword->text().toStdString();
    } else if (m_passwordRemoved) {
        settings.FtpPassword.clear();
    }
    settings.FtpSharedFile = m_ftpFile->text().trimmed().toStdString();
    settings.NetworkSyncType = m_syncType->checkedId() == 1 ? 1 : 0;
    settings.NetworkWriteAccess =
        (settings.NetworkWriteAccess & ~(kWriteChanges | kWriteDeletions)) |
        (m_writeChanges->isChecked() ? kWriteChanges : 0) |
        (m_writeDeletions->isChecked() ? kWriteDeletions : 0);
    // Language
    if (const QListWidgetItem* item = m_languages->currentItem()) {
        settings.Language = static_cast<int32_t>(item->data(Qt::UserRole).toUInt());
    }
    return true;
}

void COptionsDlg::accept() {
    CSettings collected = m_result;
    if (!Collect(collected)) {
        return;
    }
    m_result = std::move(collected);
    QDialog::accept();
}

// ---- The command ----------------------------------------------------------------------------

void RunOptionsDialog(CDayvaultApp& app, CMainFrame& frame) {
    const CSettings old = app.Settings();
    CSettings copy = old;
    // The entry itself is the truth about starting with the system, not the stored option.
    copy.RunOnWindowsStart = CAutostartEntry(app.Environment().ProgramFile).Exists();

    OptionsContext context;
    context.prompt = &app.Prompt();
    context.fileDialogs = &app.FileDialogs();
    for (const CLanguageLibrary::Language& language :
         CLanguageLibrary(app.Environment().ProgramFolder).Languages()) {
        context.languages.push_back(language.id);
    }
    context.passwordStored = !old.FtpPassword.empty() || app.PasswordVault().Unresolved();

    COptionsDlg dialog(copy, std::move(context), &frame);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (dialog.PasswordRemoved()) {
        app.PasswordVault().ForgetUnresolved();
    }
    frame.ApplyOptions(old, dialog.Result());
}

} // namespace dv
