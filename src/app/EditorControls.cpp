#include "app/EditorControls.h"

#include "app/IFileDialogs.h"
#include "app/UiText.h"
#include "format/PickerFormat.h"
#include "format/StringTable.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimeEdit>
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace dv {

namespace editor {

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

QString BrowseFrom(const EditorServices& services, QWidget* parent, uint32_t filter,
                   const QString& start) {
    if (services.fileDialogs == nullptr) {
        return {};
    }
    const auto path =
        services.fileDialogs->OpenFileFrom(parent, LoadString(filter), start.toStdString());
    return path ? QString::fromStdString(path->string()) : QString();
}

} // namespace editor

int32_t ReadNumber(const QString& text) {
    // The C library's decimal conversion; numbers beyond the field's range stop at its ends.
    const long long value = std::strtoll(text.toStdString().c_str(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long long>(value, -INT32_MAX, INT32_MAX));
}

int32_t ReadCount(const QString& text) {
    return std::abs(ReadNumber(text));
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
    box->addItems(editor::Text(id).split(QLatin1Char('|')));
}
} // namespace dv
