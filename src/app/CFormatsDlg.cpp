#include "app/CFormatsDlg.h"

#include "app/CAlarmScheduler.h"
#include "app/CCurrentTimeBar.h"
#include "app/CDayvaultApp.h"
#include "app/CMainFrame.h"
#include "app/CReminderDlg.h"
#include "app/FormatProblems.h"
#include "app/UiText.h"
#include "core/CDateEntry.h"
#include "core/CDateTimeSpan.h"
#include "core/CTodoEntry.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"
#include "format/StringIds.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <variant>

namespace dv {

namespace {

using S = CSettings;

// The default of a format key: its string in the active language.
std::string DefaultOf(CFormatsDlg::Member member) {
    for (const SettingKey<CSettings>& key : CSettings::Keys()) {
        if (const auto* field = std::get_if<std::string CSettings::*>(&key.Field);
            field && *field == member) {
            return key.DefaultText();
        }
    }
    return {};
}

// A placeholder format shows its CR LF pairs as plain line breaks in the edit field.
QString Shown(const std::string& value, bool multiLine) {
    QString text = QString::fromStdString(value);
    if (multiLine) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    return text;
}

// Notes in a warning colour that stays readable on light and dark windows.
QColor WarningColour(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128 ? QColor(255, 150, 120)
                                                             : QColor(170, 20, 20);
}

} // namespace

struct CFormatsDlg::Field {
    FieldInfo info;
    QLineEdit* line = nullptr;
    QPlainTextEdit* text = nullptr;
    QLabel* preview = nullptr;
    QLabel* problems = nullptr;
    QPushButton* defaultButton = nullptr;
    int page = 0;
    std::string original;  // the value when the dialog opened
    QString shownOriginal; // and how the field showed it

    QWidget* Editor() const { return line ? static_cast<QWidget*>(line) : text; }
    QString Text() const { return line ? line->text() : text->toPlainText(); }
    void SetText(const QString& value) const {
        if (line) {
            line->setText(value);
        } else {
            text->setPlainText(value);
        }
    }
    std::string Value() const {
        const QString shown = Text();
        if (shown == shownOriginal) {
            return original;
        }
        QString value = shown;
        if (text) {
            value.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        }
        return value.toStdString();
    }
};

CFormatsDlg::CFormatsDlg(const CSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_now(CDateTime::Now()) {
    setWindowTitle(Text(kIdsInternalFormatsTitle));
    MakeSamples();

    auto* layout = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    layout->addWidget(m_pages);

    QWidget* general = MakePage();
    AddGroup(general, kIdsFmtStandardFormats,
             {{&S::DateFormat, kIdsFmtDate, Kind::DateCodes},
              {&S::TimeFormat, kIdsFmtTime, Kind::DateCodes},
              {&S::DateTimeFormat, kIdsFmtDateTime, Kind::DateCodes}});
    AddGroup(general, kIdsFmtListFormat,
             {{&S::DateFormatList, kIdsFmtDate, Kind::DateCodes},
              {&S::TimeFormatList, kIdsFmtTime, Kind::DateCodes},
              {&S::DateTimeFormatList, kIdsFmtDateTime, Kind::DateCodes}});
    AddHelp(kIdsFmtDateHelp);
    m_pages->addTab(general, Text(kIdsFmtPageGeneral));

    const struct {
        uint32_t pageId;
        uint32_t groupId;
        Member members[5];
    } eventPages[] = {
        {kIdsFmtPageClipboard,
         kIdsFmtClipboardGroup,
         {&S::ClipboardDateNormal, &S::ClipboardDateSingleday, &S::ClipboardDateMultidayFirst,
          &S::ClipboardDateMultidayMid, &S::ClipboardDateMultidayLast}},
        {kIdsFmtPageTooltips,
         kIdsFmtTooltipGroup,
         {&S::TooltipDateNormal, &S::TooltipDateSingleday, &S::TooltipDateMultidayFirst,
          &S::TooltipDateMultidayMid, &S::TooltipDateMultidayLast}},
        {kIdsFmtPageCalendar,
         kIdsFmtCalendarGroup,
         {&S::CalendarDateNormal, &S::CalendarDateSingleday, &S::CalendarDateMultidayFirst,
          &S::CalendarDateMultidayMid, &S::CalendarDateMultidayLast}},
    };
    for (const auto& eventPage : eventPages) {
        QWidget* page = MakePage();
        const Member* m = eventPage.members;
        AddEventGroup(page, eventPage.groupId, m[0], m[1], m[2], m[3], m[4]);
        AddHelp(kIdsFmtEventHelp);
        m_pages->addTab(page, Text(eventPage.pageId));
    }

    QWidget* todo = MakePage();
    AddGroup(todo, kIdsFmtTodoClipboard, {{&S::ClipboardTodo, 0, Kind::TodoFormat}});
    AddGroup(todo, kIdsFmtTodoTooltip, {{&S::TooltipTodo, 0, Kind::TodoFormat}});
    AddHelp(kIdsFmtTodoHelp);
    AddGroup(todo, kIdsFmtStateGroup,
             {{&S::StateValueDone, kIdsFmtStateDone, Kind::PlainText},
              {&S::StateValueOverdue, kIdsFmtStateOverdue, Kind::PlainText},
              {&S::StateValueUndone, kIdsFmtStateUndone, Kind::PlainText},
              {&S::StateValueUrgent, kIdsFmtStateUrgent, Kind::PlainText}});
    m_pages->addTab(todo, Text(kIdsFmtPageTodo));

    QWidget* headers = MakePage();
    AddGroup(headers, kIdsFmtHeaderGroup,
             {{&S::WeekViewFormat, kIdsFmtWeekView, Kind::DateCodes},
              {&S::FortnightViewFormat, kIdsFmtFortnightView, Kind::DateCodes},
              {&S::FirstMonthViewFormat, kIdsFmtFirstMonthView, Kind::DateCodes},
              {&S::MonthViewFormat, kIdsFmtMonthView, Kind::DateCodes},
              {&S::YearViewFormat, kIdsFmtYearView, Kind::DateCodes},
              {&S::WeekDisplayFormat, kIdsFmtWeekDisplay, Kind::DateCodes}});
    AddHelp(kIdsFmtDateHelp);
    m_pages->addTab(headers, Text(kIdsFmtPageHeaders));

    QWidget* misc = MakePage();
    AddGroup(misc, kIdsFmtTrayGroup, {{&S::TooltipTrayIcon, 0, Kind::DateCodes}});
    AddGroup(misc, kIdsFmtHeadlineGroup,
             {{&S::ReminderHeadlineDate, kIdsFmtHeadlineDate, Kind::DateCodes},
              {&S::ReminderHeadlineDateTime, kIdsFmtHeadlineDateTime, Kind::DateCodes}});
    AddGroup(misc, kIdsFmtCurrentTimeGroup, {{&S::CurrentTimeDisplay, 0, Kind::DateCodes}});
    AddHelp(kIdsFmtDateHelp);
    m_pages->addTab(misc, Text(kIdsFmtPageMisc));

    for (int i = 0; i < m_pages->count(); ++i) {
        static_cast<QVBoxLayout*>(m_pages->widget(i)->layout())->addStretch(1);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    RefreshPreviews();
    ColourNotes();
    resize(sizeHint().expandedTo(QSize(680, 0)));
}

void CFormatsDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ColourNotes(); // a light or dark theme was chosen meanwhile
    }
}

void CFormatsDlg::ColourNotes() {
    const QColor colour = WarningColour(palette());
    for (const auto& field : m_fields) {
        QPalette warning = field->problems->palette();
        warning.setColor(QPalette::WindowText, colour);
        field->problems->setPalette(warning);
    }
}

CFormatsDlg::~CFormatsDlg() = default;

// ---- Building --------------------------------------------------------------------------------

QWidget* CFormatsDlg::MakePage() {
    auto* page = new QWidget(m_pages);
    new QVBoxLayout(page);
    return page;
}

// The page's help on the words it understands, beside the last group's "Default" button, where
// it takes no room of its own.
void CFormatsDlg::AddHelp(uint32_t helpId) {
    auto* help = new QLabel(Text(helpId));
    help->setTextFormat(Qt::PlainText);
    help->setWordWrap(true);
    m_lastButtonRow->insertWidget(0, help, 1);
}

void CFormatsDlg::AddEventGroup(QWidget* page, uint32_t titleId, Member normal, Member singleDay,
                                Member firstDay, Member middleDay, Member lastDay) {
    AddGroup(page, titleId,
             {{normal, kIdsFmtVariantNormal, Kind::EventFormat, kVariantNormal},
              {singleDay, kIdsFmtVariantSingleDay, Kind::EventFormat, kVariantSingleDay},
              {firstDay, kIdsFmtVariantFirstDay, Kind::EventFormat, kVariantFirstDay},
              {middleDay, kIdsFmtVariantMiddleDay, Kind::EventFormat, kVariantMiddleDay},
              {lastDay, kIdsFmtVariantLastDay, Kind::EventFormat, kVariantLastDay}});
}

// One group box: a row per field (its label, the edit field, the preview and the notes under
// it) and the group's "Default" button.
void CFormatsDlg::AddGroup(QWidget* page, uint32_t titleId, const std::vector<FieldInfo>& infos) {
    auto* group = new QGroupBox(Text(titleId), page);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    // Placeholder formats are long: their labels go above them, so they get the full width.
    const bool placeholders = std::any_of(infos.begin(), infos.end(), [](const FieldInfo& info) {
        return info.kind == Kind::EventFormat || info.kind == Kind::TodoFormat;
    });
    if (placeholders) {
        form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    }
    auto* defaults = new QPushButton(Text(kIdsFmtDefault), group);
    std::vector<Field*> members;
    for (const FieldInfo& info : infos) {
        auto field = std::make_unique<Field>();
        field->info = info;
        field->page = m_pages->count();
        field->defaultButton = defaults;
        field->original = m_settings.*info.member;
        const bool multiLine = info.kind == Kind::EventFormat || info.kind == Kind::TodoFormat;
        field->shownOriginal = Shown(field->original, multiLine);

        auto* cell = new QWidget(group);
        auto* column = new QVBoxLayout(cell);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(2);
        if (multiLine) {
            field->text = new QPlainTextEdit(cell);
            field->text->setTabChangesFocus(true);
            // Long formats wrap anywhere rather than scroll: they rarely have spaces.
            field->text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            const int lineHeight = field->text->fontMetrics().lineSpacing();
            field->text->setFixedHeight(2 * lineHeight + 2 * field->text->frameWidth() + 10);
            connect(field->text, &QPlainTextEdit::textChanged, this, &CFormatsDlg::RefreshPreviews);
        } else {
            field->line = new QLineEdit(cell);
            connect(field->line, &QLineEdit::textChanged, this, &CFormatsDlg::RefreshPreviews);
        }
        field->SetText(field->shownOriginal);
        column->addWidget(field->Editor());

        field->preview = new QLabel(cell);
        field->preview->setTextFormat(Qt::PlainText);
        field->preview->setWordWrap(true);
        field->preview->setAutoFillBackground(true);
        field->preview->setBackgroundRole(QPalette::AlternateBase);
        field->preview->setFrameShape(QFrame::StyledPanel);
        field->preview->setMargin(2);
        field->preview->setTextInteractionFlags(Qt::TextSelectableByMouse);
        field->preview->setToolTip(Text(info.kind == Kind::TodoFormat    ? kIdsFmtPreviewTodo
                                        : info.kind == Kind::EventFormat ? kIdsFmtPreviewEvent
                                                                         : kIdsFmtPreviewNow));
        field->preview->setVisible(info.kind != Kind::PlainText);
        column->addWidget(field->preview);

        field->problems = new QLabel(cell);
        field->problems->setTextFormat(Qt::PlainText);
        field->problems->setWordWrap(true);
        field->problems->hide();
        column->addWidget(field->problems);

        if (info.labelId != 0) {
            auto* label = new QLabel(Text(info.labelId), group);
            label->setBuddy(field->Editor());
            form->addRow(label, cell);
        } else {
            field->Editor()->setAccessibleName(Text(titleId));
            form->addRow(cell);
        }
        members.push_back(field.get());
        m_fields.push_back(std::move(field));
    }
    connect(defaults, &QPushButton::clicked, this, [members] {
        for (const Field* field : members) {
            const bool multiLine = field->text != nullptr;
            field->SetText(Shown(DefaultOf(field->info.member), multiLine));
        }
    });
    auto* box = new QVBoxLayout(group);
    box->addLayout(form);
    auto* row = new QHBoxLayout;
    row->addStretch(0);
    row->addWidget(defaults, 0, Qt::AlignBottom);
    box->addLayout(row);
    m_lastButtonRow = row;
    page->layout()->addWidget(group);
}

// Three events and a to-do about the current date: a timed weekly event, a yearly all-day
// event and a three-day event with times, so that every variant and most placeholders show
// something.
void CFormatsDlg::MakeSamples() {
    const CDateTime today = m_now.GetDate();
    const auto at = [&today](int days, int hour, int minute) {
        return today + CDateTimeSpan(days, hour, minute, 0);
    };

    m_timedEvent = std::make_unique<CDateEntry>(m_now);
    DateData timed = m_timedEvent->GetData();
    timed.Description = LoadString(kIdsFmtSampleTimed);
    timed.Notes = LoadString(kIdsFmtSampleTimedNotes);
    timed.Category = LoadString(kIdsFmtSampleCategory);
    timed.StartDate = at(0, 10, 0);
    timed.EndDate = at(0, 11, 30);
    timed.Repeat = 1;
    timed.RepeatRate = 1;
    timed.RepeatUnit = 3;
    m_timedEvent->AssignData(timed);

    m_allDayEvent = std::make_unique<CDateEntry>(m_now);
    DateData allDay = m_allDayEvent->GetData();
    allDay.Description = LoadString(kIdsFmtSampleAllDay);
    allDay.Category = timed.Category;
    allDay.StartDate = today;
    allDay.EndDate = today;
    allDay.ShowStartTime = 0;
    allDay.ShowEnd = 0;
    allDay.Repeat = 1;
    allDay.RepeatRate = 1;
    allDay.RepeatUnit = 5;
    m_allDayEvent->AssignData(allDay);

    m_multiDayEvent = std::make_unique<CDateEntry>(m_now);
    DateData multiDay = m_multiDayEvent->GetData();
    multiDay.Description = LoadString(kIdsFmtSampleMultiDay);
    multiDay.Category = timed.Category;
    multiDay.StartDate = at(0, 9, 0);
    multiDay.EndDate = at(2, 17, 0);
    m_multiDayEvent->AssignData(multiDay);

    m_todo = std::make_unique<CTodoEntry>(m_now);
    TodoData todo = m_todo->GetData();
    todo.Group = LoadString(kIdsFmtSampleGroup);
    todo.Description = LoadString(kIdsFmtSampleTodo);
    todo.Notes = LoadString(kIdsFmtSampleTodoNotes);
    todo.Deadline = at(5, 17, 0);
    todo.ShowDeadlineTime = 1;
    todo.Priority = 2;
    m_todo->SetData(todo);
}

// ---- Values and previews ---------------------------------------------------------------------

const CFormatsDlg::Field* CFormatsDlg::Find(Member member) const {
    for (const auto& field : m_fields) {
        if (field->info.member == member) {
            return field.get();
        }
    }
    return nullptr;
}

std::string CFormatsDlg::Value(Member member) const {
    const Field* field = Find(member);
    return field ? field->Value() : std::string();
}

void CFormatsDlg::ApplyTo(CSettings& settings) const {
    for (const auto& field : m_fields) {
        settings.*field->info.member = field->Value();
    }
}

QWidget* CFormatsDlg::Editor(Member member) const {
    const Field* field = Find(member);
    return field ? field->Editor() : nullptr;
}

QLabel* CFormatsDlg::Preview(Member member) const {
    const Field* field = Find(member);
    return field ? field->preview : nullptr;
}

QLabel* CFormatsDlg::Problems(Member member) const {
    const Field* field = Find(member);
    return field ? field->problems : nullptr;
}

QList<QPushButton*> CFormatsDlg::DefaultButtons(int page) const {
    QList<QPushButton*> buttons;
    for (const auto& field : m_fields) {
        if (field->page == page && !buttons.contains(field->defaultButton)) {
            buttons.append(field->defaultButton);
        }
    }
    return buttons;
}

// The settings as the fields stand: the initial date-time formats and the state values reach
// every placeholder preview as they are typed.
FormatSettings CFormatsDlg::CurrentFormats() const {
    CSettings current = m_settings;
    ApplyTo(current);
    return current.GetFormatSettings();
}

void CFormatsDlg::RefreshPreviews() {
    if (m_fields.empty() || m_refreshing) {
        return;
    }
    m_refreshing = true;
    const FormatSettings formats = CurrentFormats();
    for (const auto& field : m_fields) {
        RefreshField(*field, formats);
    }
    m_refreshing = false;
}

void CFormatsDlg::RefreshField(Field& field, const FormatSettings& formats) {
    const std::string format = field.Value();
    std::string preview;
    std::vector<std::string> problems;
    switch (field.info.kind) {
    case Kind::DateCodes:
        preview = m_now.Format(format);
        problems = DateCodeProblems(format);
        break;
    case Kind::EventFormat: {
        // The variant's own sample and day: the timed event on its day, the all-day event,
        // and the three-day event on its first, second and third day.
        CDateEntry* sample = m_timedEvent.get();
        int day = 0;
        switch (field.info.variant) {
        case kVariantSingleDay:
            sample = m_allDayEvent.get();
            break;
        case kVariantFirstDay:
        case kVariantMiddleDay:
        case kVariantLastDay:
            sample = m_multiDayEvent.get();
            day = field.info.variant - kVariantFirstDay;
            break;
        default:
            break;
        }
        const CDateTime start = sample->GetData().StartDate;
        const CDateTime shownDay = start.GetDate() + CDateTimeSpan(day, 0, 0, 0);
        CDateEntryFormatter formatter(*sample, formats);
        const auto expand = [&formatter, &start, &shownDay](std::string_view text) {
            return formatter.Expand(text, start, shownDay);
        };
        preview = expand(format);
        problems = PlaceholderProblems(format, expand);
        break;
    }
    case Kind::TodoFormat: {
        CTodoEntryFormatter formatter(*m_todo, formats);
        const auto expand = [&formatter](std::string_view text) { return formatter.Expand(text); };
        preview = expand(format);
        problems = PlaceholderProblems(format, expand);
        break;
    }
    case Kind::PlainText:
        break;
    }
    QString shown = QString::fromStdString(preview);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    field.preview->setText(shown);
    QStringList notes;
    for (const std::string& problem : problems) {
        notes << QString::fromStdString(problem);
    }
    field.problems->setText(notes.join(QLatin1Char('\n')));
    field.problems->setVisible(!notes.isEmpty());
}

// ---- The command -------------------------------------------------------------------------------

void RunInternalFormatsCommand(CDayvaultApp& app, CMainFrame& frame) {
    CFormatsDlg dialog(app.Settings(), &frame);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    CSettings& settings = app.Settings();
    const CSettings old = settings;
    dialog.ApplyTo(settings);
    app.SaveSettings();
    if (settings == old) {
        return;
    }
    frame.CurrentTimeBar()->Configure(settings.CurrentTimeDisplay, settings.CurrentTimeFont);
    frame.Scheduler().RefreshTexts();
    // Every page, list and tooltip formats its texts again.
    app.Document().UpdateAllViews(UpdateHint::Merged);
    app.Document().UpdateAllViews(UpdateHint::OptionsChanged);
}

} // namespace dv
