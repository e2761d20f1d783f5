#include "app/CDateEditPage2.h"

#include "app/CDateEditSheet.h"
#include "core/LocaleNames.h"
#include "core/RepetitionRule.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/CSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dv {

using namespace editor;

namespace {
constexpr int kIntervalButton = 1; // the "Interval" button's id, Repeat 1
constexpr int kWeeksEntry = 2;     // "weeks" in the unit box, RepeatUnit 3
} // namespace

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
    if (services.settings != nullptr) {
        ApplyPickerFormat(endDate, services.settings->DateFormatList, false);
    }
    endGrid->addWidget(Radio(end, kIdsEdNeverEnd, 0), 0, 0);
    endGrid->addWidget(Radio(end, kIdsEdAfter, 1), 1, 0);
    endGrid->addWidget(endCount, 1, 1);
    endGrid->addWidget(new QLabel(Text(kIdsEdOccurrences)), 1, 2);
    endGrid->addWidget(Radio(end, kIdsEdAfterDate, 2), 2, 0);
    endGrid->addWidget(endDate, 2, 1);
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
    connect(repeat, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        // A rule that never repeated has no rate or unit yet: offer every week, not "0" and an
        // empty unit.
        if (id == kIntervalButton && checked) {
            if (ReadCount(rate->currentText()) < 1) {
                rate->setEditText(QStringLiteral("1"));
            }
            if (unit->currentIndex() < 0) {
                unit->setCurrentIndex(kWeeksEntry);
            }
        }
    });
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
    const CDateTime& until = data.RepeatEndDate;
    endDate->setDate(QDate(until.GetYear(), until.GetMonth(), until.GetDay()));
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
    // An end date in use includes the whole of its day, so that the day's last occurrence is kept
    // whatever time of day a template left in it. Unused, only its date follows the picker.
    const QDate until = endDate->date();
    if (data.Repeat != kRepeatNone && data.RepeatEnd == kRepeatEndAtDate) {
        data.RepeatEndDate = CDateTime(until.year(), until.month(), until.day(), 23, 59, 59);
    } else {
        data.RepeatEndDate.SetDate(until.year(), until.month(), until.day());
    }
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
}

} // namespace dv
