#include "app/EditorControls.h"

#include "app/IFileDialogs.h"
#include "app/UiText.h"
#include "core/DateData.h"
#include "format/PickerFormat.h"
#include "format/StringTable.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLocale>
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

namespace {

// Typing the first letter of AM or PM into the AM/PM part of a time picker switches it there.
// Qt's own parsing keeps the single letter as an unfinished entry and drops it when the field is
// left, so that "p" would silently stay AM.
class AmPmKeys final : public QObject {
public:
    static constexpr const char* kName = "dayvault-am-pm-keys";

    explicit AmPmKeys(QDateTimeEdit* edit) : QObject(edit), m_edit(edit) {
        setObjectName(QLatin1String(kName));
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_edit || event->type() != QEvent::KeyPress ||
            m_edit->currentSection() != QDateTimeEdit::AmPmSection) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text().toLower();
        if (typed.size() != 1 || !typed.front().isLetter() ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0) {
            return false;
        }
        const QString am = m_edit->locale().amText().toLower();
        const QString pm = m_edit->locale().pmText().toLower();
        const QChar letter = typed.front();
        const bool toAm = letter == QLatin1Char('a') || am.startsWith(letter);
        const bool toPm = letter == QLatin1Char('p') || pm.startsWith(letter);
        if (toAm != toPm) {
            // The parts as typed so far count, so that the time moves once, to its final value.
            const QTime time = m_edit->time();
            const auto typedPart = [this](QDateTimeEdit::Section section, int fallback) {
                bool ok = false;
                const int value = m_edit->sectionText(section).toInt(&ok);
                return ok ? value : fallback;
            };
            const int hour = typedPart(QDateTimeEdit::HourSection, time.hour()) % 12;
            const QTime chosen(hour + (toPm ? 12 : 0),
                               typedPart(QDateTimeEdit::MinuteSection, time.minute()),
                               typedPart(QDateTimeEdit::SecondSection, time.second()));
            m_edit->setTime(chosen.isValid() ? chosen : time);
            m_edit->setSelectedSection(QDateTimeEdit::AmPmSection);
            return true;
        }
        // The rest of "AM" or "PM" ("m") is taken as typed along; other letters go to Qt.
        return am.contains(letter) || pm.contains(letter);
    }

private:
    QDateTimeEdit* m_edit;
};

} // namespace

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
    if (time && edit->findChild<QObject*>(QLatin1String(AmPmKeys::kName),
                                          Qt::FindDirectChildrenOnly) == nullptr) {
        edit->installEventFilter(new AmPmKeys(edit));
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

void StartAtNextHourToday(DateData& data, const CDateTime& now) {
    if (data.StartDate.GetDate() != now.GetDate()) {
        return;
    }
    const CDateTime nextHour = now.GetDate() + CDateTimeSpan(0, now.GetHour() + 1, 0, 0);
    if (nextHour.GetDate() != now.GetDate()) {
        return;
    }
    const CDateTimeSpan length = std::max(data.EndDate - data.StartDate, CDateTimeSpan(0));
    data.StartDate = nextHour;
    data.EndDate = nextHour + length;
}

void FillList(QComboBox* box, uint32_t id) {
    box->clear();
    box->addItems(editor::Text(id).split(QLatin1Char('|')));
}
} // namespace dv
