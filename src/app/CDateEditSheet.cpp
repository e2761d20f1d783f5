#include "app/CDateEditSheet.h"

#include "app/IFileDialogs.h"
#include "core/EntryChecks.h"
#include "core/LocaleNames.h"
#include "core/Prompt.h"
#include "format/PickerFormat.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/ISoundPlayer.h"
#include "settings/CSettings.h"
#include "settings/IProfileStore.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdlib>

namespace dv {

namespace {

QString Text(uint32_t id) {
    return QString::fromStdString(LoadString(id));
}

QStringList Entries(uint32_t id) {
    return Text(id).split(QLatin1Char('|'));
}

QComboBox* CountBox(const QStringList& values) {
    auto* box = new QComboBox;
    box->setEditable(true);
    box->addItems(values);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(3);
    return box;
}

QComboBox* ListBox(uint32_t id) {
    auto* box = new QComboBox;
    FillList(box, id);
    return box;
}

void ShowCount(QComboBox* box, int32_t value) {
    box->setEditText(QString::number(value));
}

int Checked(const QButtonGroup* group) {
    return std::max(0, group->checkedId());
}

void Check(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
    } else if (QAbstractButton* first = group->button(0)) {
        first->setChecked(true);
    }
}

QRadioButton* Radio(QButtonGroup* group, uint32_t text, int id) {
    auto* button = new QRadioButton(Text(text));
    group->addButton(button, id);
    return button;
}

// The custom colours of the colour chooser live in the settings store between runs.
constexpr std::string_view kColorSection = "Settings";
constexpr std::string_view kColorKey = "CustomColors";

void LoadCustomColors(IProfileStore* store) {
    if (store == nullptr) {
        return;
    }
    const QStringList colors =
        QString::fromStdString(store->ReadText(kColorSection, kColorKey, "")).split(QLatin1Char(','));
    for (int i = 0; i < std::min<int>(colors.size(), QColorDialog::customCount()); ++i) {
        bool ok = false;
        const uint rgb = colors[i].toUInt(&ok, 16);
        if (ok) {
            QColorDialog::setCustomColor(i, QColor::fromRgb(rgb));
        }
    }
}

void SaveCustomColors(IProfileStore* store) {
    if (store == nullptr) {
        return;
    }
    QStringList colors;
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        colors << QString::number(QColorDialog::customColor(i).rgb() & 0xFFFFFF, 16);
    }
    store->WriteText(kColorSection, kColorKey, colors.join(QLatin1Char(',')).toStdString());
    try {
        store->Flush();
    } catch (const std::exception&) {
        // The custom colours are a convenience; a store that cannot be written keeps the old.
    }
}

QColor FromRef(uint32_t color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

uint32_t ToRef(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}

void PaintSwatch(QPushButton* button, uint32_t color) {
    QPixmap swatch(24, 14);
    swatch.fill(FromRef(color));
    button->setIcon(QIcon(swatch));
}

QString BrowseFrom(const EditorServices& services, QWidget* parent, uint32_t filter,
                   const QString& start) {
    if (services.fileDialogs == nullptr) {
        return {};
    }
    const auto path = services.fileDialogs->OpenFileFrom(parent, LoadString(filter),
                                                         start.toStdString());
    return path ? QString::fromStdString(path->string()) : QString();
}

} // namespace

int32_t ReadCount(const QString& text) {
    return std::abs(static_cast<int32_t>(std::atoi(text.toStdString().c_str())));
}

void ApplyPickerFormat(QWidget* picker, const std::string& format, bool time) {
    auto* edit = qobject_cast<QDateTimeEdit*>(picker);
    if (edit == nullptr) {
        return;
    }
    const QString display = QString::fromStdString(ToQtDisplayFormat(format));
    // A format without a field of the picker's kind would show nothing editable; Qt's own
    // short format stands in.
    const bool usable = time ? display.contains(QRegularExpression(QStringLiteral("[hHm]")))
                             : display.contains(QRegularExpression(QStringLiteral("[dMy]")));
    if (usable) {
        edit->setDisplayFormat(display);
    }
}

CDateTime PickedDateTime(const QDateEdit* date, const QTimeEdit* time) {
    const QDate d = date->date();
    const QTime t = time->time();
    return CDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

void ShowDateTime(QDateEdit* date, QTimeEdit* time, const CDateTime& value) {
    const QSignalBlocker blockDate(date);
    const QSignalBlocker blockTime(time);
    date->setDate(QDate(value.GetYear(), value.GetMonth(), value.GetDay()));
    time->setTime(QTime(value.GetHour(), value.GetMinute(), value.GetSecond()));
}

void FillList(QComboBox* box, uint32_t id) {
    box->clear();
    box->addItems(Entries(id));
}

// ---- Page "Description" ----------------------------------------------------------------------

CDateEditPage1::CDateEditPage1(CDateEditSheet& sheet, int mode, const EditorServices& services)
    : m_sheet(sheet), m_mode(mode), m_services(services) {
    auto* grid = new QGridLayout(this);
    int row = 0;

    categoryBox = new QComboBox;
    auto* categoryLabel = new QLabel(Text(kIdsEdCategory));
    categoryLabel->setBuddy(categoryBox);
    auto* categoryRow = new QHBoxLayout;
    categoryRow->addWidget(categoryBox, 1);
    const auto toolButton = [categoryRow](const QString& icon, uint32_t tip) {
        auto* button = new QToolButton;
        button->setIcon(QIcon(icon));
        button->setToolTip(Text(tip));
        button->setAccessibleName(Text(tip));
        categoryRow->addWidget(button);
        return button;
    };
    newCategory = toolButton(QStringLiteral(":/icons/category-new.svg"), kIdsEdNewCategoryTip);
    deleteCategory =
        toolButton(QStringLiteral(":/icons/category-delete.svg"), kIdsEdDeleteCategoryTip);
    renameCategory =
        toolButton(QStringLiteral(":/icons/category-rename.svg"), kIdsEdRenameCategoryTip);
    for (QToolButton* button : {newCategory, deleteCategory, renameCategory}) {
        button->setVisible(mode == CDateEditSheet::EditCategories);
    }
    grid->addWidget(categoryLabel, row, 0);
    grid->addLayout(categoryRow, row++, 1, 1, 3);

    description = new QLineEdit;
    auto* descriptionLabel = new QLabel(Text(kIdsEdDescription));
    descriptionLabel->setBuddy(description);
    grid->addWidget(descriptionLabel, row, 0);
    grid->addWidget(description, row++, 1, 1, 3);

    notes = new QPlainTextEdit;
    notes->setTabChangesFocus(true);
    notes->setFixedHeight(notes->fontMetrics().lineSpacing() * 4 + 12);
    auto* notesLabel = new QLabel(Text(kIdsEdNotes));
    notesLabel->setBuddy(notes);
    grid->addWidget(notesLabel, row, 0, Qt::AlignTop);
    grid->addWidget(notes, row++, 1, 1, 3);

    share = new QCheckBox(Text(kIdsEdShareEvent));
    grid->addWidget(share, row++, 1, 1, 3);

    // Display: four kinds, the two colours beside their kinds.
    auto* displayBox = new QGroupBox(Text(kIdsEdDisplay));
    auto* displayGrid = new QGridLayout(displayBox);
    display = new QButtonGroup(this);
    fieldColor = new QPushButton;
    fieldColor->setToolTip(Text(kIdsEdFieldColorTip));
    fieldColor->setAccessibleName(Text(kIdsEdFieldColorTip));
    textColor = new QPushButton;
    textColor->setToolTip(Text(kIdsEdTextColorTip));
    textColor->setAccessibleName(Text(kIdsEdTextColorTip));
    displayGrid->addWidget(Radio(display, kIdsEdDisplayNormal, 0), 0, 0);
    displayGrid->addWidget(Radio(display, kIdsEdDisplayHidden, 1), 1, 0);
    displayGrid->addWidget(Radio(display, kIdsEdDisplayField, 2), 0, 1);
    displayGrid->addWidget(fieldColor, 0, 2);
    displayGrid->addWidget(Radio(display, kIdsEdDisplayText, 3), 1, 1);
    displayGrid->addWidget(textColor, 1, 2);
    displayGrid->setColumnStretch(3, 1);
    grid->addWidget(displayBox, row++, 0, 1, 4);

    // Start and end.
    startDate = new QDateEdit;
    startDate->setCalendarPopup(true);
    startTimeOn = new QCheckBox(Text(kIdsEdAt));
    startTime = new QTimeEdit;
    endOn = new QCheckBox(Text(kIdsEdEndsOn));
    endDate = new QDateEdit;
    endDate->setCalendarPopup(true);
    endTime = new QTimeEdit;
    const CSettings* settings = services.settings;
    for (QDateEdit* date : {startDate, endDate}) {
        date->setMinimumDate(QDate(1900, 1, 1));
        date->setMaximumDate(QDate(2100, 12, 31));
        if (settings != nullptr) {
            ApplyPickerFormat(date, settings->DateFormatList, false);
        }
    }
    for (QTimeEdit* time : {startTime, endTime}) {
        if (settings != nullptr) {
            ApplyPickerFormat(time, settings->TimeFormatList, true);
        }
    }
    auto* startLabel = new QLabel(Text(kIdsEdStartsOn));
    startLabel->setBuddy(startDate);
    grid->addWidget(startLabel, row, 0);
    grid->addWidget(startDate, row, 1);
    grid->addWidget(startTimeOn, row, 2);
    grid->addWidget(startTime, row++, 3);
    grid->addWidget(endOn, row, 0);
    grid->addWidget(endDate, row, 1);
    grid->addWidget(endTime, row++, 3);

    // Reminder and sound.
    reminder = new QCheckBox(Text(kIdsEdReminder));
    reminderSpan = CountBox({"0", "1", "2", "3", "4", "5", "10", "15", "30", "45"});
    reminderUnit = ListBox(kIdsEdUnits);
    silent = new QCheckBox(Text(kIdsEdSilent));
    auto* reminderRow = new QHBoxLayout;
    reminderRow->addWidget(reminderSpan);
    reminderRow->addWidget(reminderUnit);
    reminderRow->addWidget(silent);
    reminderRow->addStretch(1);
    grid->addWidget(reminder, row, 0);
    grid->addLayout(reminderRow, row++, 1, 1, 3);

    sound = new QCheckBox(Text(kIdsEdSound));
    soundFile = new QLineEdit;
    soundBrowse = new QPushButton(Text(kIdsEdBrowse));
    soundBrowse->setFixedWidth(soundBrowse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    play = new QToolButton;
    play->setIcon(QIcon(QStringLiteral(":/icons/editor-play.svg")));
    play->setToolTip(Text(kIdsEdPlayTip));
    play->setAccessibleName(Text(kIdsEdPlayTip));
    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(soundFile, 1);
    soundRow->addWidget(soundBrowse);
    soundRow->addWidget(play);
    grid->addWidget(sound, row, 0);
    grid->addLayout(soundRow, row++, 1, 1, 3);

    auto* loop = new QButtonGroup(this);
    endless = Radio(loop, kIdsEdEndless, 1);
    repeatSound = Radio(loop, kIdsEdRepeatSound, 0);
    soundCount = CountBox({"1", "3", "10", "30"});
    auto* loopRow = new QHBoxLayout;
    loopRow->addWidget(endless);
    loopRow->addSpacing(12);
    loopRow->addWidget(repeatSound);
    loopRow->addWidget(soundCount);
    loopRow->addWidget(new QLabel(Text(kIdsEdTimes)));
    loopRow->addStretch(1);
    grid->addLayout(loopRow, row++, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);

    if (mode != CDateEditSheet::EditCategories) {
        // Without the category buttons the box takes the width of the description.
        categoryBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    connect(categoryBox, &QComboBox::activated, this,
            [this](int index) { m_sheet.CategorySelected(index); });
    connect(newCategory, &QToolButton::clicked, this, [this] { m_sheet.NewCategory(); });
    connect(deleteCategory, &QToolButton::clicked, this, [this] { m_sheet.DeleteCategory(); });
    connect(renameCategory, &QToolButton::clicked, this, [this] { m_sheet.RenameCategory(); });
    connect(fieldColor, &QPushButton::clicked, this, [this] { ChooseColor(true); });
    connect(textColor, &QPushButton::clicked, this, [this] { ChooseColor(false); });
    for (QCheckBox* box : {startTimeOn, endOn, reminder, sound}) {
        connect(box, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    }
    connect(startDate, &QDateEdit::dateChanged, this, [this] { StartChanged(); });
    connect(startTime, &QTimeEdit::timeChanged, this, [this] { StartChanged(); });
    connect(endDate, &QDateEdit::dateChanged, this, [this] { EndChanged(); });
    connect(endTime, &QTimeEdit::timeChanged, this, [this] { EndChanged(); });
    connect(soundBrowse, &QPushButton::clicked, this, [this] {
        const QString path = BrowseFrom(m_services, this, kIdsEdSoundFilter, soundFile->text());
        if (!path.isEmpty()) {
            soundFile->setText(path);
        }
    });
    connect(play, &QToolButton::clicked, this, [this] {
        if (m_services.sound != nullptr) {
            m_services.sound->Play(soundFile->text().toStdString());
        }
    });
}

void CDateEditPage1::ShowData(const DateData& data) {
    description->setText(QString::fromStdString(data.Description));
    notes->setPlainText(QString::fromStdString(data.Notes));
    share->setChecked(data.StorageType == 1);
    Check(display, data.Display);
    m_fieldColor = data.DisplayColor;
    m_textColor = data.FontColor;
    ShowColors();
    ShowDateTime(startDate, startTime, data.StartDate);
    ShowDateTime(endDate, endTime, data.EndDate);
    startTimeOn->setChecked(data.ShowStartTime != 0);
    endOn->setChecked(data.ShowEnd != 0);
    m_duration = (PickedDateTime(endDate, endTime) - PickedDateTime(startDate, startTime))
                     .GetTotalSeconds();
    reminder->setChecked(data.Forewarn != 0);
    ShowCount(reminderSpan, data.ForewarnSpan);
    reminderUnit->setCurrentIndex(data.ForewarnUnit);
    silent->setChecked(data.ForewarnSilent != 0);
    sound->setChecked(data.Sound != 0);
    soundFile->setText(QString::fromStdString(data.SoundFile));
    (data.SoundRepeatEndless != 0 ? endless : repeatSound)->setChecked(true);
    ShowCount(soundCount, data.SoundRepeatCount);
    UpdateEnabling();
}

void CDateEditPage1::StoreData(DateData& data) const {
    data.Category = categoryBox->currentText().toStdString();
    data.Description = description->text().toStdString();
    data.Notes = notes->toPlainText().toStdString();
    data.StorageType = share->isChecked() ? 1 : 0;
    data.Display = Checked(display);
    data.DisplayColor = m_fieldColor;
    data.FontColor = m_textColor;
    data.StartDate = PickedDateTime(startDate, startTime);
    data.EndDate = PickedDateTime(endDate, endTime);
    data.ShowStartTime = startTimeOn->isChecked() ? 1 : 0;
    data.ShowEnd = endOn->isChecked() ? 1 : 0;
    data.Forewarn = reminder->isChecked() ? 1 : 0;
    data.ForewarnSpan = ReadCount(reminderSpan->currentText());
    data.ForewarnUnit = std::max(0, reminderUnit->currentIndex());
    data.ForewarnSilent = silent->isChecked() ? 1 : 0;
    data.Sound = sound->isChecked() ? 1 : 0;
    data.SoundFile = soundFile->text().toStdString();
    data.SoundRepeatEndless = endless->isChecked() ? 1 : 0;
    data.SoundRepeatCount = ReadCount(soundCount->currentText());
}

void CDateEditPage1::UpdateEnabling() {
    const bool templates = m_mode == CDateEditSheet::EditCategories;
    share->setEnabled(m_services.settings == nullptr || m_services.settings->NetworkFunction != 0);
    startDate->setEnabled(!templates);
    startTime->setEnabled(startTimeOn->isChecked());
    endDate->setEnabled(!templates && endOn->isChecked());
    endTime->setEnabled(startTimeOn->isChecked() && endOn->isChecked());
    const bool remind = reminder->isChecked();
    for (QWidget* widget : std::initializer_list<QWidget*>{reminderSpan, reminderUnit, silent, sound}) {
        widget->setEnabled(remind);
    }
    const bool withSound = remind && sound->isChecked();
    for (QWidget* widget : std::initializer_list<QWidget*>{soundFile, soundBrowse, play, endless,
                                                           repeatSound, soundCount}) {
        widget->setEnabled(withSound);
    }
}

void CDateEditPage1::StartChanged() {
    // The end follows the start so that the event keeps its length.
    const CDateTime end = PickedDateTime(startDate, startTime) + CDateTimeSpan(m_duration);
    ShowDateTime(endDate, endTime, end);
}

void CDateEditPage1::EndChanged() {
    const CDateTime end = PickedDateTime(endDate, endTime);
    if (end < PickedDateTime(startDate, startTime)) {
        ShowDateTime(startDate, startTime, end);
    }
    m_duration = (end - PickedDateTime(startDate, startTime)).GetTotalSeconds();
}

void CDateEditPage1::ChooseColor(bool field) {
    LoadCustomColors(m_services.store);
    uint32_t& color = field ? m_fieldColor : m_textColor;
    const QColor chosen = QColorDialog::getColor(FromRef(color), this);
    SaveCustomColors(m_services.store);
    if (!chosen.isValid()) {
        return;
    }
    color = ToRef(chosen);
    ShowColors();
    display->button(field ? 2 : 3)->setChecked(true);
}

void CDateEditPage1::ShowColors() {
    PaintSwatch(fieldColor, m_fieldColor);
    PaintSwatch(textColor, m_textColor);
}

// ---- Page "Repetition" -----------------------------------------------------------------------

CDateEditPage2::CDateEditPage2(int mode, const EditorServices& services) : m_mode(mode) {
    auto* layout = new QVBoxLayout(this);

    auto* ruleBox = new QGroupBox(Text(kIdsEdPageRepetition));
    auto* rule = new QGridLayout(ruleBox);
    repeat = new QButtonGroup(this);
    rate = CountBox({"1", "2", "3", "4", "5", "6", "10", "12", "15", "30", "45"});
    unit = ListBox(kIdsEdRepeatUnits);
    ordinal = ListBox(kIdsEdOrdinals);
    weekday = new QComboBox;
    const ILocaleNames& names = GetLocaleNames();
    for (int day = 0; day < 7; ++day) {
        weekday->addItem(QString::fromStdString(names.DayName(day, false)));
    }
    rule->addWidget(Radio(repeat, kIdsEdNoRepeat, 0), 0, 0);
    rule->addWidget(Radio(repeat, kIdsEdInterval, 1), 1, 0);
    rule->addWidget(rate, 1, 1);
    rule->addWidget(unit, 1, 2);
    rule->addWidget(Radio(repeat, kIdsEdRepeatEvery, 2), 2, 0);
    rule->addWidget(ordinal, 2, 1);
    rule->addWidget(weekday, 2, 2);
    rule->setColumnStretch(3, 1);
    layout->addWidget(ruleBox);

    auto* endBox = new QGroupBox(Text(kIdsEdRepetitionEnd));
    auto* endGrid = new QGridLayout(endBox);
    end = new QButtonGroup(this);
    QStringList counts;
    for (int i = 1; i <= 12; ++i) {
        counts << QString::number(i);
    }
    endCount = CountBox(counts);
    endDate = new QDateEdit;
    endDate->setCalendarPopup(true);
    endDate->setMinimumDate(QDate(1900, 1, 1));
    endDate->setMaximumDate(QDate(2100, 12, 31));
    endTime = new QTimeEdit;
    if (services.settings != nullptr) {
        ApplyPickerFormat(endDate, services.settings->DateFormatList, false);
        ApplyPickerFormat(endTime, services.settings->TimeFormatList, true);
    }
    endGrid->addWidget(Radio(end, kIdsEdNeverEnd, 0), 0, 0);
    endGrid->addWidget(Radio(end, kIdsEdAfter, 1), 1, 0);
    endGrid->addWidget(endCount, 1, 1);
    endGrid->addWidget(new QLabel(Text(kIdsEdOccurrences)), 1, 2);
    endGrid->addWidget(Radio(end, kIdsEdAfterDate, 2), 2, 0);
    endGrid->addWidget(endDate, 2, 1);
    endGrid->addWidget(endTime, 2, 2);
    endGrid->setColumnStretch(3, 1);
    layout->addWidget(endBox);

    auto* conditionBox = new QGroupBox(Text(kIdsEdConditions));
    auto* conditions = new QGridLayout(conditionBox);
    for (int day = 0; day < 7; ++day) {
        auto* box = new QCheckBox(QString::fromStdString(names.DayName(day, true)));
        weekdays.push_back(box);
        conditions->addWidget(box, 0, day);
    }
    for (int month = 1; month <= 12; ++month) {
        auto* box = new QCheckBox(QString::fromStdString(names.MonthName(month, true)));
        months.push_back(box);
        conditions->addWidget(box, 1 + (month - 1) / 6, (month - 1) % 6);
    }
    setAll = new QPushButton(Text(kIdsEdSet));
    clearAll = new QPushButton(Text(kIdsEdClear));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(setAll);
    buttons->addWidget(clearAll);
    conditions->addLayout(buttons, 3, 0, 1, 7);
    layout->addWidget(conditionBox);
    layout->addStretch(1);

    for (QButtonGroup* group : {repeat, end}) {
        connect(group, &QButtonGroup::idToggled, this, [this] { UpdateEnabling(); });
    }
    const auto setEvery = [this](bool on) {
        for (QCheckBox* box : weekdays) {
            box->setChecked(on);
        }
        for (QCheckBox* box : months) {
            box->setChecked(on);
        }
    };
    connect(setAll, &QPushButton::clicked, this, [setEvery] { setEvery(true); });
    connect(clearAll, &QPushButton::clicked, this, [setEvery] { setEvery(false); });
}

void CDateEditPage2::ShowData(const DateData& data) {
    Check(repeat, data.Repeat);
    ShowCount(rate, data.RepeatRate);
    unit->setCurrentIndex(data.RepeatUnit - 1);
    ordinal->setCurrentIndex(data.RepeatWeekdayCount);
    weekday->setCurrentIndex(data.RepeatWeekday);
    Check(end, data.RepeatEnd);
    ShowCount(endCount, data.RepeatEndCount);
    ShowDateTime(endDate, endTime, data.RepeatEndDate);
    for (int day = 0; day < 7; ++day) {
        weekdays[day]->setChecked((data.CondWeekdays >> day) & 1);
    }
    for (int month = 0; month < 12; ++month) {
        months[month]->setChecked((data.CondMonth >> month) & 1);
    }
    UpdateEnabling();
}

void CDateEditPage2::StoreData(DateData& data) const {
    data.Repeat = Checked(repeat);
    data.RepeatRate = ReadCount(rate->currentText());
    data.RepeatUnit = unit->currentIndex() + 1;
    data.RepeatWeekdayCount = std::max(0, ordinal->currentIndex());
    data.RepeatWeekday = std::max(0, weekday->currentIndex());
    data.RepeatEnd = Checked(end);
    data.RepeatEndCount = ReadCount(endCount->currentText());
    data.RepeatEndDate = PickedDateTime(endDate, endTime);
    int32_t days = 0;
    for (int day = 0; day < 7; ++day) {
        days |= weekdays[day]->isChecked() ? (1 << day) : 0;
    }
    int32_t monthBits = 0;
    for (int month = 0; month < 12; ++month) {
        monthBits |= months[month]->isChecked() ? (1 << month) : 0;
    }
    data.CondWeekdays = days;
    data.CondMonth = monthBits;
}

void CDateEditPage2::UpdateEnabling() {
    const int kind = Checked(repeat);
    rate->setEnabled(kind == 1);
    unit->setEnabled(kind == 1);
    ordinal->setEnabled(kind == 2);
    weekday->setEnabled(kind == 2);
    const bool repeats = kind != 0;
    for (QAbstractButton* button : end->buttons()) {
        button->setEnabled(repeats);
    }
    for (QCheckBox* box : weekdays) {
        box->setEnabled(repeats);
    }
    for (QCheckBox* box : months) {
        box->setEnabled(repeats);
    }
    setAll->setEnabled(repeats);
    clearAll->setEnabled(repeats);
    const int until = Checked(end);
    endCount->setEnabled(repeats && until == 1);
    const bool byDate = repeats && until == 2 && m_mode != CDateEditSheet::EditCategories;
    endDate->setEnabled(byDate);
    endTime->setEnabled(byDate);
}

// ---- Page "Action" ---------------------------------------------------------------------------

CDateEditPage3::CDateEditPage3(const EditorServices& services) : m_services(services) {
    auto* layout = new QVBoxLayout(this);
    const auto browseButton = [] {
        auto* button = new QPushButton(Text(kIdsEdBrowse));
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
        return button;
    };

    auto* actionBox = new QGroupBox(Text(kIdsEdPageAction));
    auto* grid = new QGridLayout(actionBox);
    action = new QButtonGroup(this);
    ackOpen = new QCheckBox(Text(kIdsEdAckOpen));
    document = new QLineEdit;
    documentBrowse = browseButton();
    ackExecute = new QCheckBox(Text(kIdsEdAckExecute));
    command = new QLineEdit;
    commandBrowse = browseButton();
    parameter = new QLineEdit;
    parameterBrowse = browseButton();
    grid->addWidget(Radio(action, kIdsEdActionNone, 0), 0, 0);
    grid->addWidget(Radio(action, kIdsEdActionDocument, 1), 1, 0);
    grid->addWidget(document, 1, 1);
    grid->addWidget(documentBrowse, 1, 2);
    grid->addWidget(ackOpen, 1, 3);
    grid->addWidget(Radio(action, kIdsEdActionCommand, 2), 2, 0);
    grid->addWidget(command, 2, 1);
    grid->addWidget(commandBrowse, 2, 2);
    grid->addWidget(ackExecute, 2, 3);
    auto* parameterLabel = new QLabel(Text(kIdsEdParameter));
    parameterLabel->setBuddy(parameter);
    grid->addWidget(parameterLabel, 3, 0, Qt::AlignRight);
    grid->addWidget(parameter, 3, 1);
    grid->addWidget(parameterBrowse, 3, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(actionBox);

    const QStringList spans{"1", "2", "3", "4", "5", "10", "15", "30", "45"};
    auto* overdueBox = new QGroupBox(Text(kIdsEdOverdue));
    auto* overdueGrid = new QGridLayout(overdueBox);
    overdue = new QButtonGroup(this);
    executeSpan = CountBox(spans);
    executeUnit = ListBox(kIdsEdUnits);
    overdueGrid->addWidget(Radio(overdue, kIdsEdNormalExecution, 0), 0, 0);
    overdueGrid->addWidget(Radio(overdue, kIdsEdExecuteWithin, 1), 1, 0);
    overdueGrid->addWidget(executeSpan, 1, 1);
    overdueGrid->addWidget(executeUnit, 1, 2);
    overdueGrid->addWidget(Radio(overdue, kIdsEdBeforeNext, 2), 2, 0);
    overdueGrid->addWidget(Radio(overdue, kIdsEdDoNotExecute, 3), 3, 0);
    overdueGrid->setColumnStretch(3, 1);
    layout->addWidget(overdueBox);

    auto* snoozeBox = new QGroupBox(Text(kIdsEdSnooze));
    auto* snoozeGrid = new QGridLayout(snoozeBox);
    snoozeType = new QButtonGroup(this);
    snoozeSpan = CountBox(spans);
    snoozeUnit = ListBox(kIdsEdUnits);
    snoozeGrid->addWidget(snoozeSpan, 0, 0);
    snoozeGrid->addWidget(snoozeUnit, 0, 1);
    snoozeGrid->addWidget(Radio(snoozeType, kIdsEdFromReminder, 0), 0, 2);
    snoozeGrid->addWidget(Radio(snoozeType, kIdsEdBeforeEvent, 1), 0, 3);
    snoozeGrid->setColumnStretch(4, 1);
    layout->addWidget(snoozeBox);
    layout->addStretch(1);

    for (QButtonGroup* group : {action, overdue}) {
        connect(group, &QButtonGroup::idToggled, this, [this] { UpdateEnabling(); });
    }
    connect(documentBrowse, &QPushButton::clicked, this, [this] {
        const QString path = BrowseFrom(m_services, this, kIdsAllFilesFilter, document->text());
        if (!path.isEmpty()) {
            document->setText(path);
        }
    });
    connect(commandBrowse, &QPushButton::clicked, this, [this] {
        const QString path = BrowseFrom(m_services, this, kIdsEdExecutableFilter, command->text());
        if (!path.isEmpty()) {
            command->setText(path);
        }
    });
    connect(parameterBrowse, &QPushButton::clicked, this, [this] {
        const int caret = parameter->cursorPosition();
        const QString path = BrowseFrom(m_services, this, kIdsAllFilesFilter, QString());
        if (!path.isEmpty()) {
            parameter->setText(parameter->text().insert(caret, path));
            parameter->setCursorPosition(caret + static_cast<int>(path.size()));
        }
    });
}

void CDateEditPage3::ShowData(const DateData& data) {
    Check(action, data.Action);
    ackOpen->setChecked(data.AckOpen != 0);
    document->setText(QString::fromStdString(data.DocumentFile));
    ackExecute->setChecked(data.AckExecute != 0);
    command->setText(QString::fromStdString(data.CmdLine));
    parameter->setText(QString::fromStdString(data.Parameter));
    Check(overdue, data.OverdueAction);
    ShowCount(executeSpan, data.ExecuteSpan);
    executeUnit->setCurrentIndex(data.ExecuteUnit);
    Check(snoozeType, data.SnoozeType);
    ShowCount(snoozeSpan, data.SnoozeSpan);
    snoozeUnit->setCurrentIndex(data.SnoozeUnit);
    UpdateEnabling();
}

void CDateEditPage3::StoreData(DateData& data) const {
    data.Action = Checked(action);
    data.AckOpen = ackOpen->isChecked() ? 1 : 0;
    data.DocumentFile = document->text().toStdString();
    data.AckExecute = ackExecute->isChecked() ? 1 : 0;
    data.CmdLine = command->text().toStdString();
    data.Parameter = parameter->text().toStdString();
    data.OverdueAction = Checked(overdue);
    data.ExecuteSpan = ReadCount(executeSpan->currentText());
    data.ExecuteUnit = std::max(0, executeUnit->currentIndex());
    data.SnoozeType = Checked(snoozeType);
    data.SnoozeSpan = ReadCount(snoozeSpan->currentText());
    data.SnoozeUnit = std::max(0, snoozeUnit->currentIndex());
}

void CDateEditPage3::UpdateEnabling() {
    const int kind = Checked(action);
    for (QWidget* widget : std::initializer_list<QWidget*>{ackOpen, document, documentBrowse}) {
        widget->setEnabled(kind == 1);
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{ackExecute, command, commandBrowse,
                                                           parameter, parameterBrowse}) {
        widget->setEnabled(kind == 2);
    }
    executeSpan->setEnabled(Checked(overdue) == 1);
    executeUnit->setEnabled(Checked(overdue) == 1);
}

// ---- The sheet -------------------------------------------------------------------------------

CDateEditSheet::CDateEditSheet(int mode, const EditorServices& services, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_services(services) {
    setWindowTitle(Text(mode == EditCategories ? kIdsEdTitleCategory
                        : mode == NewEvent     ? kIdsEdTitleNew
                                               : kIdsEdTitleEdit));
    m_tabs = new QTabWidget;
    m_page1 = new CDateEditPage1(*this, mode, services);
    m_page2 = new CDateEditPage2(mode, services);
    m_page3 = new CDateEditPage3(services);
    m_tabs->addTab(m_page1, Text(kIdsEdPageDescription));
    m_tabs->addTab(m_page2, Text(kIdsEdPageRepetition));
    m_tabs->addTab(m_page3, Text(kIdsEdPageAction));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDateEditSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDateEditSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

CDateEditSheet::~CDateEditSheet() = default;

void CDateEditSheet::SetData(const DateData& data) {
    m_data = data;
}

void CDateEditSheet::SetTemplates(std::vector<std::unique_ptr<CDateEntry>> templates) {
    m_templates = std::move(templates);
}

void CDateEditSheet::showEvent(QShowEvent* event) {
    if (!m_opened) {
        m_opened = true;
        FillCategoryBox();
        // The data's category, else a template made for it (modes 0 and 1) or just its name.
        const QString name = QString::fromStdString(m_data.Category);
        int item = FindCategory(name);
        if (item < 0) {
            int index = -1;
            if (m_mode != EditEvent) {
                auto made = std::make_unique<CDateEntry>();
                made->AssignData(m_data);
                m_templates.push_back(std::move(made));
                index = static_cast<int>(m_templates.size()) - 1;
            }
            item = AddCategoryItem(name, index);
        }
        SelectBoxEntry(item);
        ShowAll();
        m_page1->description->setFocus();
    }
    QDialog::showEvent(event);
}

void CDateEditSheet::FillCategoryBox() {
    QComboBox* box = m_page1->categoryBox;
    const QSignalBlocker block(box);
    box->clear();
    for (int i = 0; i < static_cast<int>(m_templates.size()); ++i) {
        AddCategoryItem(QString::fromStdString(m_templates[i]->GetData().Category), i);
    }
}

int CDateEditSheet::AddCategoryItem(const QString& name, int templateIndex) {
    // The box keeps its entries in the platform's case-insensitive order.
    QComboBox* box = m_page1->categoryBox;
    const QSignalBlocker block(box);
    int position = 0;
    while (position < box->count() &&
           QString::compare(box->itemText(position), name, Qt::CaseInsensitive) <= 0) {
        ++position;
    }
    box->insertItem(position, name, templateIndex);
    return position;
}

int CDateEditSheet::FindCategory(const QString& name) const {
    const QComboBox* box = m_page1->categoryBox;
    for (int i = 0; i < box->count(); ++i) {
        if (QString::compare(box->itemText(i), name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void CDateEditSheet::SelectBoxEntry(int boxIndex) {
    QComboBox* box = m_page1->categoryBox;
    const QSignalBlocker block(box);
    box->setCurrentIndex(boxIndex);
    m_selectedItem = boxIndex;
    m_selectedTemplate = boxIndex >= 0 ? box->itemData(boxIndex).toInt() : -1;
}

void CDateEditSheet::StoreAll() {
    m_page1->StoreData(m_data);
    m_page2->StoreData(m_data);
    m_page3->StoreData(m_data);
}

void CDateEditSheet::ShowAll() {
    m_page1->ShowData(m_data);
    m_page2->ShowData(m_data);
    m_page3->ShowData(m_data);
}

void CDateEditSheet::CategorySelected(int boxIndex) {
    QComboBox* box = m_page1->categoryBox;
    if (m_mode == EditCategories && m_selectedTemplate >= 0) {
        // The template left behind keeps what was edited in it.
        StoreAll();
        m_data.Category = box->itemText(m_selectedItem).toStdString();
        m_templates[m_selectedTemplate]->SetData(m_data);
    }
    const CDateTime start = PickedDateTime(m_page1->startDate, m_page1->startTime);
    const CDateTime end = PickedDateTime(m_page1->endDate, m_page1->endTime);
    SelectBoxEntry(boxIndex);
    if (m_mode == EditEvent || m_selectedTemplate < 0) {
        m_data.Category = box->itemText(boxIndex).toStdString();
        m_page1->StoreData(m_data);
        return;
    }
    StoreAll();
    m_data = m_templates[m_selectedTemplate]->GetData();
    if (m_mode == NewEvent) {
        // A new event keeps the days the user chose; the times of day are the template's.
        m_data.StartDate.SetDate(start.GetYear(), start.GetMonth(), start.GetDay());
        m_data.EndDate.SetDate(end.GetYear(), end.GetMonth(), end.GetDay());
        m_data.RepeatEndDate.SetDate(start.GetYear(), start.GetMonth(), start.GetDay());
    }
    ShowAll();
}

std::optional<std::string> CDateEditSheet::AskName(uint32_t title, uint32_t label,
                                                   const std::string& proposal) {
    if (m_services.askName) {
        return m_services.askName(LoadString(title), LoadString(label), proposal);
    }
    bool ok = false;
    const QString name = QInputDialog::getText(this, Text(title), Text(label), QLineEdit::Normal,
                                               QString::fromStdString(proposal), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return name.toStdString();
}

bool CDateEditSheet::NameIsFree(const std::string& name) {
    if (FindCategory(QString::fromStdString(name)) < 0) {
        return true;
    }
    if (m_services.prompt != nullptr) {
        m_services.prompt->ShowMessage(FormatString(kIdsEdCategoryExists, name), PromptIcon::Stop);
    }
    return false;
}

void CDateEditSheet::NewCategory() {
    const auto name = AskName(kIdsEdNewCategoryTitle, kIdsEdNewCategoryPrompt,
                              LoadString(kIdsEdNewCategoryName));
    if (!name || name->empty() || !NameIsFree(*name)) {
        return;
    }
    StoreAll();
    if (m_selectedTemplate >= 0) {
        m_templates[m_selectedTemplate]->SetData(m_data);
    }
    m_data = m_templates.front()->GetData();
    m_data.Category = *name;
    auto made = std::make_unique<CDateEntry>();
    made->AssignData(m_data);
    m_templates.push_back(std::move(made));
    SelectBoxEntry(AddCategoryItem(QString::fromStdString(*name),
                                   static_cast<int>(m_templates.size()) - 1));
    ShowAll();
}

void CDateEditSheet::RenameCategory() {
    QComboBox* box = m_page1->categoryBox;
    const auto name = AskName(kIdsEdRenameCategoryTitle, kIdsEdRenameCategoryPrompt,
                              box->currentText().toStdString());
    if (!name || name->empty() || !NameIsFree(*name)) {
        return;
    }
    m_data.Category = *name;
    const int templateIndex = m_selectedTemplate;
    {
        const QSignalBlocker block(box);
        box->removeItem(m_selectedItem);
    }
    SelectBoxEntry(AddCategoryItem(QString::fromStdString(*name), templateIndex));
}

void CDateEditSheet::DeleteCategory() {
    if (m_selectedTemplate == 0) {
        if (m_services.prompt != nullptr) {
            m_services.prompt->ShowMessage(LoadString(kIdsEdNoDeleteDefaultCategory),
                                           PromptIcon::Stop);
        }
        return;
    }
    if (m_selectedTemplate < 0) {
        return;
    }
    const int position = m_selectedItem;
    m_templates.erase(m_templates.begin() + m_selectedTemplate);
    FillCategoryBox();
    SelectBoxEntry(std::max(0, position - 1));
    m_data = m_templates[m_selectedTemplate]->GetData();
    ShowAll();
}

void CDateEditSheet::accept() {
    StoreAll();
    if (m_mode != EditCategories) {
        const auto refuse = [this](uint32_t message, int page, QWidget* focus) {
            if (m_services.prompt != nullptr) {
                m_services.prompt->ShowMessage(LoadString(message), PromptIcon::Exclamation);
            }
            m_tabs->setCurrentIndex(page);
            focus->setFocus();
        };
        switch (CheckEventData(m_data)) {
        case EventCheck::MissingDescription:
            refuse(kIdsNeedDescriptionOrStart, 0, m_page1->description);
            return;
        case EventCheck::NeverOccurs:
            refuse(kIdsEdNeverOccurs, 1, m_page2->weekdays.front());
            return;
        case EventCheck::EndBeforeFirstOccurrence:
            refuse(kIdsEdEndBeforeFirst, 1, m_page2->endDate);
            return;
        case EventCheck::Ok:
            break;
        }
    }
    QDialog::accept();
}

} // namespace dv
