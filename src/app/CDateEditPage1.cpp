#include "app/CDateEditPage1.h"

#include "app/CDateEditSheet.h"
#include "app/CalendarHost.h"
#include "app/ColorChoice.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/ISoundPlayer.h"
#include "settings/CSettings.h"
#include "settings/IProfileStore.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace dv {

using namespace editor;

namespace {

void PaintSwatch(QPushButton* button, uint32_t color) {
    QPixmap swatch(24, 14);
    swatch.fill(FromColorRef(color));
    button->setIcon(QIcon(swatch));
}
} // namespace

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
    // The start and the end follow each other on finished values only: a half-typed date or
    // time ("01/0" on the way to 01/05/2027) must not move the other one.
    for (QDateTimeEdit* edit :
         std::initializer_list<QDateTimeEdit*>{startDate, startTime, endDate, endTime}) {
        edit->setKeyboardTracking(false);
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
    soundBrowse->setFixedWidth(
        soundBrowse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
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
    m_duration =
        (PickedDateTime(endDate, endTime) - PickedDateTime(startDate, startTime)).GetTotalSeconds();
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
    for (QWidget* widget :
         std::initializer_list<QWidget*>{reminderSpan, reminderUnit, silent, sound}) {
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
    uint32_t& color = field ? m_fieldColor : m_textColor;
    const std::optional<uint32_t> chosen = ChooseColorRef(this, color, m_services.store);
    if (!chosen) {
        return;
    }
    color = *chosen;
    ShowColors();
    display->button(field ? 2 : 3)->setChecked(true);
}

void CDateEditPage1::ShowColors() {
    PaintSwatch(fieldColor, m_fieldColor);
    PaintSwatch(textColor, m_textColor);
}

} // namespace dv
