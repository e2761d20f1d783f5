#include "app/CReminderDlg.h"

#include "app/ReminderRecord.h"
#include "app/TimeLeft.h"
#include "app/UiText.h"
#include "core/CDateEntry.h"
#include "core/Prompt.h"
#include "export/DayListing.h"
#include "format/CDateEntryFormatter.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/ISoundPlayer.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

namespace dv {

namespace {

constexpr int kColumnDate = 0;
constexpr int kColumnDescription = 1;
constexpr int kColumnTimeLeft = 2;
constexpr int kHeadlinePixels = 14;
constexpr int kDescriptionPixels = 24;
constexpr int kBold = 700;
constexpr int kStateImageSize = 20;
const CDateTimeSpan kOneMinute(60);
const NumberList kDefaultWidths = {100, 167, 110};

QColor ToColor(uint32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

QFont ToFont(const LogFont& logFont, const QFont& base) {
    QFont font = base;
    if (!logFont.FaceName.empty()) {
        font.setFamilies({QString::fromStdString(logFont.FaceName)});
    }
    if (logFont.Height != 0) {
        font.setPixelSize(std::abs(logFont.Height));
    }
    if (logFont.Weight != 0) {
        font.setBold(logFont.Weight >= kBold);
    }
    font.setItalic(logFont.Italic != 0);
    font.setUnderline(logFont.Underline != 0);
    font.setStrikeOut(logFont.StrikeOut != 0);
    return font;
}

/// A span box text read as the C library reads a number: leading blanks, a sign, digits; the
/// absolute value, 0 when there is none.
int32_t ParseSpan(const QString& text) {
    const std::string bytes = text.trimmed().toStdString();
    const long long value = std::strtoll(bytes.c_str(), nullptr, 10);
    return static_cast<int32_t>(std::min<long long>(std::llabs(value), INT_MAX));
}

/// A label that ends its text with an ellipsis where it is cut, and does not widen the window.
class CElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override {
        return {fontMetrics().averageCharWidth() * 8, QLabel::minimumSizeHint().height()};
    }
    QSize sizeHint() const override {
        return {fontMetrics().averageCharWidth() * 30, QLabel::sizeHint().height()};
    }

protected:
    // A cut text shows whole in its tooltip, so a long description stays readable.
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            if (fontMetrics().horizontalAdvance(text()) > TextArea().width()) {
                QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
            } else {
                QToolTip::hideText();
            }
            return true;
        }
        return QLabel::event(event);
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = TextArea();
        if (autoFillBackground()) {
            painter.fillRect(rect(), palette().color(backgroundRole()));
        }
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }

private:
    QRect TextArea() const {
        return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    }
};

/// The two state images: the occurrence has begun (an exclamation mark on orange), or begins
/// about now (a clock on green). Drawn, so they are sharp at every scale.
QPixmap StateImage(bool begun, qreal scale) {
    const int size = qRound(kStateImageSize * scale);
    QPixmap pixmap(size, size);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(1, 1, kStateImageSize - 2, kStateImageSize - 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(begun ? QColor(0xE0, 0x6C, 0x00) : QColor(0x2E, 0x9D, 0x4F));
    painter.drawEllipse(disc);
    QPen pen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    const QPointF centre = disc.center();
    if (begun) {
        painter.drawLine(QPointF(centre.x(), 5.0), QPointF(centre.x(), 11.5));
        painter.drawPoint(QPointF(centre.x(), 14.8));
    } else {
        painter.drawLine(centre, QPointF(centre.x(), 5.0));
        painter.drawLine(centre, QPointF(centre.x() + 4.0, centre.y() + 2.0));
    }
    return pixmap;
}

/// The window's icon: a bell.
QIcon BellIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        QPainterPath bell;
        bell.moveTo(16, 4);
        bell.cubicTo(23, 4, 25, 10, 25, 16);
        bell.lineTo(25, 21);
        bell.lineTo(28, 25);
        bell.lineTo(4, 25);
        bell.lineTo(7, 21);
        bell.lineTo(7, 16);
        bell.cubicTo(7, 10, 9, 4, 16, 4);
        painter.setPen(QPen(QColor(0x7A, 0x55, 0x00), 1.5));
        painter.setBrush(QColor(0xF2, 0xB7, 0x05));
        painter.drawPath(bell);
        painter.drawEllipse(QPointF(16, 27.5), 3, 3);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

struct CReminderDlg::Row {
    ReminderRecord record;
    int soundCount = 0;
    QTreeWidgetItem* item = nullptr; // owned by the list
};

namespace {

/// A list row that sorts by the reminder window's rules; the keys are set when it is filled.
class CReminderItem : public QTreeWidgetItem {
public:
    CDateTime occurrence;
    bool timed = false;
    QString description;

    bool operator<(const QTreeWidgetItem& item) const override {
        const auto& other = static_cast<const CReminderItem&>(item);
        switch (treeWidget() != nullptr ? treeWidget()->sortColumn() : kColumnDate) {
        case kColumnDescription:
            return description.compare(other.description, Qt::CaseInsensitive) < 0;
        case kColumnTimeLeft:
            return other.occurrence < occurrence; // the later occurrence has less time passed
        default:
            if (occurrence.GetDayNumber() != other.occurrence.GetDayNumber()) {
                return occurrence.GetDayNumber() < other.occurrence.GetDayNumber();
            }
            if (timed != other.timed) {
                return !timed; // all-day first
            }
            return occurrence.GetSecondsOfDay() < other.occurrence.GetSecondsOfDay();
        }
    }
};

} // namespace

CReminderDlg::CReminderDlg(IReminderRequests& requests, const CSettings& settings,
                           CWindowSettings& windowSettings, IPrompt& prompt, ISoundPlayer& sound,
                           QWidget* parent)
    : QDialog(parent), m_requests(requests), m_settings(settings), m_windowSettings(windowSettings),
      m_prompt(prompt), m_sound(sound) {
    setObjectName(QStringLiteral("reminderWindow"));
    setWindowTitle(Text(kIdsReminderTitle));
    setWindowIcon(BellIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    BuildLayout();
}

CReminderDlg::~CReminderDlg() {
    ReleaseEvents();
}

void CReminderDlg::BuildLayout() {
    auto* outer = new QVBoxLayout(this);

    // Details on the left, the action buttons on the right.
    auto* top = new QHBoxLayout;
    auto* details = new QVBoxLayout;
    m_headline = new QLabel;
    m_headline->setObjectName(QStringLiteral("headline"));
    QFont headlineFont = font();
    headlineFont.setPixelSize(kHeadlinePixels);
    headlineFont.setBold(true);
    m_headline->setFont(headlineFont);
    details->addWidget(m_headline);

    m_description = new CElidedLabel;
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setMargin(4);
    QFont descriptionFont = font();
    if (m_settings.ReminderUsesDisplayAttributes) {
        LogFont logFont = m_settings.CalendarEventFont;
        logFont.Height = -kDescriptionPixels;
        logFont.Weight = kBold;
        descriptionFont = ToFont(logFont, descriptionFont);
    } else {
        descriptionFont = ToFont(m_settings.ReminderFont, descriptionFont);
    }
    m_description->setFont(descriptionFont);
    details->addWidget(m_description);

    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(new QLabel(Text(kIdsReminderTimeLeft)));
    m_timeLeft = new QLabel;
    m_timeLeft->setObjectName(QStringLiteral("timeLeft"));
    timeRow->addWidget(m_timeLeft);
    m_stateImage = new QLabel;
    m_stateImage->setObjectName(QStringLiteral("stateImage"));
    m_stateImage->setFixedSize(kStateImageSize, kStateImageSize);
    timeRow->addWidget(m_stateImage);
    timeRow->addStretch();
    details->addLayout(timeRow);

    m_notes = new QPlainTextEdit;
    m_notes->setObjectName(QStringLiteral("notes"));
    m_notes->setReadOnly(true);
    m_notes->setMaximumHeight(m_notes->fontMetrics().lineSpacing() * 5);
    details->addWidget(m_notes);
    top->addLayout(details, 1);

    auto* buttons = new QVBoxLayout;
    const auto addButton = [&](uint32_t id, const char* name, void (CReminderDlg::*slot)()) {
        auto* button = new QPushButton(Text(id));
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
        return button;
    };
    m_done = addButton(kIdsReminderDone, "doneButton", &CReminderDlg::OnDone);
    m_open = addButton(kIdsReminderOpen, "openButton", &CReminderDlg::OnExecute);
    m_execute = addButton(kIdsReminderExecute, "executeButton", &CReminderDlg::OnExecute);
    m_edit = addButton(kIdsReminderEdit, "editButton", &CReminderDlg::OnEdit);
    m_delete = addButton(kIdsReminderDelete, "deleteButton", &CReminderDlg::OnDelete);
    buttons->addStretch();
    m_sizeToggle = addButton(kIdsButtonReduce, "sizeButton", &CReminderDlg::OnToggleSize);
    m_done->setDefault(true);
    top->addLayout(buttons);
    outer->addLayout(top);

    // Snooze: the span, then a unit button snoozes at once.
    m_snoozeGroup = new QGroupBox(Text(kIdsReminderSnooze));
    m_snoozeGroup->setObjectName(QStringLiteral("snoozeGroup"));
    auto* snooze = new QVBoxLayout(m_snoozeGroup);
    auto* spanRow = new QHBoxLayout;
    auto* spanLabel = new QLabel(Text(kIdsReminderSnoozeFor));
    spanRow->addWidget(spanLabel);
    m_span = new QComboBox;
    m_span->setObjectName(QStringLiteral("snoozeSpan"));
    m_span->setEditable(true);
    for (const int value : {1, 2, 3, 5, 10, 15, 20, 30, 45, 60, 90}) {
        m_span->addItem(QString::number(value));
    }
    m_span->setInsertPolicy(QComboBox::NoInsert);
    m_span->setMinimumContentsLength(4);
    spanLabel->setBuddy(m_span);
    spanRow->addWidget(m_span);
    const std::pair<uint32_t, const char*> units[] = {
        {kIdsReminderMinutes, "minutesButton"},
        {kIdsReminderHours, "hoursButton"},
        {kIdsReminderDays, "daysButton"},
        {kIdsReminderWeeks, "weeksButton"},
    };
    for (int unit = 0; unit < 4; ++unit) {
        auto* button = new QPushButton(Text(units[unit].first));
        button->setObjectName(QLatin1String(units[unit].second));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, unit] { OnSnooze(unit); });
        spanRow->addWidget(button);
    }
    spanRow->addStretch();
    snooze->addLayout(spanRow);
    auto* modeRow = new QHBoxLayout;
    m_fromNow = new QRadioButton(Text(kIdsReminderFromNow));
    m_fromNow->setObjectName(QStringLiteral("fromNow"));
    m_beforeEvent = new QRadioButton(Text(kIdsReminderBeforeEvent));
    m_beforeEvent->setObjectName(QStringLiteral("beforeEvent"));
    m_fromNow->setChecked(true);
    modeRow->addWidget(m_fromNow);
    modeRow->addWidget(m_beforeEvent);
    modeRow->addStretch();
    snooze->addLayout(modeRow);
    outer->addWidget(m_snoozeGroup);

    // The list of all reminders, hidden while the window is reduced.
    m_listPane = new QWidget;
    auto* listLayout = new QVBoxLayout(m_listPane);
    listLayout->setContentsMargins(0, 0, 0, 0);
    m_selection = new QLabel;
    m_selection->setObjectName(QStringLiteral("selection"));
    listLayout->addWidget(m_selection);
    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("eventList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels(
        {Text(kIdsColumnDate), Text(kIdsColumnDescription), Text(kIdsColumnTimeLeft)});
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(true);
    m_list->header()->setStretchLastSection(true);
    const NumberList widths =
        CWindowSettings::FitColumns(m_windowSettings.EventListColumnWidths, kDefaultWidths);
    // Widths the user never changed grow to fit the texts of this font (see Initialise).
    m_fitColumns = widths == kDefaultWidths;
    for (int column = 0; column < 3; ++column) {
        m_list->setColumnWidth(column, std::max(20, widths[static_cast<std::size_t>(column)]));
    }
    m_list->setMinimumHeight(m_list->fontMetrics().lineSpacing() * 6);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CReminderDlg::OnHeaderClicked);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CReminderDlg::UpdateDetails);
    listLayout->addWidget(m_list);
    outer->addWidget(m_listPane, 1);
}

// ---- Events and rows --------------------------------------------------------------------------

bool CReminderDlg::AddEvent(CDateEntry* event) {
    if (event == nullptr || event->IsSuspended()) {
        return false;
    }
    event->SetSuspended(true);
    m_events.push_back(event);
    return true;
}

void CReminderDlg::Initialise() {
    if (!m_windowSettings.EventListVisible) {
        m_windowSettings.EventListVisible = true;
        OnToggleSize(); // opens reduced
    }
    m_soundPosition = -1;
    m_shownRow = nullptr;
    if (SynchronizeList() && m_list->topLevelItemCount() > 0) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
    if (m_fitColumns) {
        const int character = m_list->fontMetrics().averageCharWidth();
        for (const int column : {kColumnDate, kColumnDescription, kColumnTimeLeft}) {
            const int stored = m_list->columnWidth(column);
            m_list->resizeColumnToContents(column);
            // Long descriptions are cut rather than making the window as wide as they are.
            const int limit = column == kColumnDescription ? 40 * character : INT_MAX;
            m_list->setColumnWidth(
                column, std::max(stored, std::min(limit, m_list->columnWidth(column) + character)));
        }
    }
    // Wide enough for the columns, so that the list needs no horizontal scroll bar.
    int columns =
        2 * m_list->frameWidth() + m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int column = 0; column < m_list->columnCount(); ++column) {
        columns += m_list->columnWidth(column);
    }
    m_list->setMinimumWidth(columns);
    adjustSize();
    UpdateDetails();
}

const ReminderRecord* CReminderDlg::GetRecordAt(int row) const {
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    for (const auto& entry : m_rows) {
        if (item != nullptr && entry->item == item) {
            return &entry->record;
        }
    }
    return nullptr;
}

bool CReminderDlg::IsExtended() const {
    return !m_listPane->isHidden();
}

void CReminderDlg::FillItem(QTreeWidgetItem* item, const Row& row,
                            const FormatSettings& formats) const {
    const CDateEntry& event = *row.record.event;
    const DateData& data = event.GetData();
    auto* sortable = static_cast<CReminderItem*>(item);
    sortable->occurrence = row.record.occurrence;
    sortable->timed = data.ShowStartTime != 0;
    sortable->description = QString::fromStdString(data.Description);
    const std::string& dateFormat =
        data.ShowStartTime != 0 ? m_settings.DateTimeFormatList : m_settings.DateFormatList;
    item->setText(kColumnDate, QString::fromStdString(row.record.occurrence.Format(dateFormat)));
    CDateEntryFormatter formatter(*row.record.event, formats);
    item->setText(kColumnDescription,
                  QString::fromStdString(formatter.Expand(data.Description, row.record.occurrence,
                                                          row.record.occurrence)));
    item->setText(kColumnTimeLeft,
                  QString::fromStdString(FormatTimeLeft(row.record.occurrence - CDateTime::Now())));
}

void CReminderDlg::Sort() {
    const int column = std::abs(m_sortKey) - 1;
    const Qt::SortOrder order = m_sortKey > 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_list->header()->setSortIndicator(column, order);
    m_list->sortItems(column, order);
}

void CReminderDlg::OnHeaderClicked(int column) {
    m_sortKey = std::abs(m_sortKey) == column + 1 ? -m_sortKey : column + 1;
    Sort();
}

bool CReminderDlg::SynchronizeList() {
    const FormatSettings formats = m_settings.GetFormatSettings();
    bool added = false;
    for (std::size_t i = 0; i < m_events.size();) {
        CDateEntry* event = m_events[i];
        const std::vector<CDateTime>& due = event->GetDueOccurrences();
        // Rows whose occurrence is no longer due (a reset) go; new due occurrences come.
        std::vector<Row*> stale;
        for (const auto& row : m_rows) {
            if (row->record.event == event &&
                std::find(due.begin(), due.end(), row->record.occurrence) == due.end()) {
                stale.push_back(row.get());
            }
        }
        for (Row* row : stale) {
            RemoveRow(row);
        }
        if (due.empty()) {
            event->SetSuspended(false);
            m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        for (const CDateTime& occurrence : due) {
            const bool shown = std::any_of(m_rows.begin(), m_rows.end(), [&](const auto& row) {
                return row->record.event == event && row->record.occurrence == occurrence;
            });
            if (shown) {
                continue;
            }
            auto row = std::make_unique<Row>();
            row->record.event = event;
            row->record.occurrence = occurrence;
            const DateData& data = event->GetData();
            // An endless sound needs a turn even when no repeat count was set.
            row->soundCount = data.Sound == 0                ? 0
                              : data.SoundRepeatEndless != 0 ? std::max(1, data.SoundRepeatCount)
                                                             : data.SoundRepeatCount;
            row->item = new CReminderItem;
            FillItem(row->item, *row, formats);
            m_list->addTopLevelItem(row->item);
            m_rows.push_back(std::move(row));
            added = true;
        }
        ++i;
    }
    if (added) {
        Sort(); // once for all new rows: the sort is stable, so the order is the same
    }
    if (m_events.empty()) {
        if (!m_closing) {
            m_closing = true;
            emit closed();
        }
        return false;
    }
    return true;
}

void CReminderDlg::ForgetEvents(const std::function<bool(const CDateEntry*)>& gone) {
    std::vector<Row*> orphans;
    for (const auto& row : m_rows) {
        if (gone(row->record.event)) {
            orphans.push_back(row.get());
        }
    }
    for (Row* row : orphans) {
        RemoveRow(row);
    }
    std::erase_if(m_events, gone);
    if (m_events.empty() && !m_released && !m_closing) {
        m_closing = true;
        emit closed();
    } else if (!orphans.empty()) {
        SelectFirstIfNone();
    }
}

void CReminderDlg::RemoveRow(Row* row) {
    const auto found = std::find_if(m_rows.begin(), m_rows.end(),
                                    [row](const auto& entry) { return entry.get() == row; });
    if (found == m_rows.end()) {
        return;
    }
    const int index = static_cast<int>(found - m_rows.begin());
    // The turn stays with the row before, so the next sound is the one after it.
    if (index <= m_soundPosition) {
        --m_soundPosition;
    }
    if (m_shownRow == row) {
        m_shownRow = nullptr;
    }
    {
        const QSignalBlocker blocker(m_list);
        delete row->item;
    }
    m_rows.erase(found);
}

std::vector<CReminderDlg::Row*> CReminderDlg::SelectedRows() const {
    std::vector<Row*> rows;
    for (int index = 0; index < m_list->topLevelItemCount(); ++index) {
        QTreeWidgetItem* item = m_list->topLevelItem(index);
        if (!item->isSelected()) {
            continue;
        }
        for (const auto& row : m_rows) {
            if (row->item == item) {
                rows.push_back(row.get());
            }
        }
    }
    return rows;
}

void CReminderDlg::SelectFirstIfNone() {
    if (m_list->selectedItems().isEmpty() && m_list->topLevelItemCount() > 0) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
    UpdateDetails();
}

// ---- Refresh and details ----------------------------------------------------------------------

void CReminderDlg::ReminderRefresh() {
    if (m_closing) {
        return;
    }
    RefreshTexts();
    SynchronizeList();
    PlayNextSound();
}

void CReminderDlg::RefreshTexts() {
    if (m_closing) {
        return;
    }
    const FormatSettings formats = m_settings.GetFormatSettings();
    for (const auto& row : m_rows) {
        FillItem(row->item, *row, formats);
    }
    UpdateDetails();
}

void CReminderDlg::PlayNextSound() {
    const int count = static_cast<int>(m_rows.size());
    for (int step = 1; step <= count; ++step) {
        const int index = ((m_soundPosition + step) % count + count) % count;
        Row& row = *m_rows[static_cast<std::size_t>(index)];
        if (row.soundCount > 0) {
            m_soundPosition = index;
            const DateData& data = row.record.event->GetData();
            m_sound.Play(data.SoundFile);
            if (data.SoundRepeatEndless == 0) {
                --row.soundCount;
            }
            return;
        }
    }
}

void CReminderDlg::SetSnoozeControlsEnabled(bool enabled) {
    for (QPushButton* button : {m_done, m_open, m_execute, m_edit, m_delete}) {
        button->setEnabled(enabled);
    }
    m_snoozeGroup->setEnabled(enabled);
}

void CReminderDlg::ApplyDisplayColours(const CDateEntry& event) {
    const DateData& data = event.GetData();
    QPalette palette = this->palette();
    bool fill = false;
    if (m_settings.ReminderUsesDisplayAttributes) {
        if (data.Display == 2) {
            palette.setColor(QPalette::Window, ToColor(data.DisplayColor));
            palette.setColor(QPalette::WindowText, ToColor(ContrastTextColor(data.DisplayColor)));
            fill = true;
        } else if (data.Display == 3) {
            palette.setColor(QPalette::WindowText, ToColor(data.FontColor));
        }
    }
    m_description->setAutoFillBackground(fill);
    m_description->setPalette(palette);
}

void CReminderDlg::UpdateDetails() {
    const std::vector<Row*> selected = SelectedRows();
    QString selection = Text(kIdsEventsSelected);
    selection.replace(selection.indexOf(QLatin1String("%d")), 2, QString::number(selected.size()));
    selection.replace(selection.indexOf(QLatin1String("%d")), 2,
                      QString::number(m_list->topLevelItemCount()));
    m_selection->setText(selection);

    if (selected.size() != 1) {
        m_headline->setText(
            Text(selected.empty() ? kIdsNoEventsSelected : kIdsMultipleEventsSelected));
        m_description->setText(QString());
        m_description->setAutoFillBackground(false);
        m_timeLeft->setText(selected.empty() ? QString() : QStringLiteral("---"));
        m_stateImage->clear();
        m_stateImage->setToolTip(QString());
        m_notes->clear();
        SetSnoozeControlsEnabled(!selected.empty());
        m_open->setEnabled(false);
        m_execute->setEnabled(false);
        m_edit->setEnabled(!selected.empty());
        m_shownRow = nullptr;
        return;
    }

    SetSnoozeControlsEnabled(true);
    Row& row = *selected.front();
    CDateEntry& event = *row.record.event;
    const DateData& data = event.GetData();
    const CDateTime& occurrence = row.record.occurrence;
    const CDateTime now = CDateTime::Now();
    m_headline->setText(QString::fromStdString(
        occurrence.Format(data.ShowStartTime != 0 ? m_settings.ReminderHeadlineDateTime
                                                  : m_settings.ReminderHeadlineDate)));
    const FormatSettings formats = m_settings.GetFormatSettings();
    CDateEntryFormatter formatter(event, formats);
    m_description->setText(
        QString::fromStdString(formatter.Expand(data.Description, occurrence, occurrence)));
    ApplyDisplayColours(event);
    m_notes->setPlainText(
        QString::fromStdString(formatter.Expand(data.Notes, occurrence, occurrence)));
    m_timeLeft->setText(QString::fromStdString(FormatTimeLeft(occurrence - now)));
    if (m_shownRow != &row) {
        m_span->setEditText(QString::number(data.SnoozeSpan));
        (data.SnoozeType == 0 ? m_fromNow : m_beforeEvent)->setChecked(true);
        m_shownRow = &row;
    }
    m_open->setEnabled(data.Action == 1);
    m_execute->setEnabled(data.Action == 2);
    m_edit->setEnabled(true);

    // Snoozing to before the event makes no sense once it is about to start.
    const qreal scale = devicePixelRatioF();
    if (now > occurrence + kOneMinute) {
        m_beforeEvent->setEnabled(false);
        m_stateImage->setPixmap(StateImage(true, scale));
        m_stateImage->setToolTip(Text(kIdsReminderHasBegun));
    } else if (now > occurrence - kOneMinute) {
        m_beforeEvent->setEnabled(false);
        m_stateImage->setPixmap(StateImage(false, scale));
        m_stateImage->setToolTip(Text(kIdsReminderBeginsNow));
    } else {
        m_beforeEvent->setEnabled(true);
        m_stateImage->clear();
        m_stateImage->setToolTip(QString());
    }
    if (!m_beforeEvent->isEnabled() && m_beforeEvent->isChecked()) {
        m_fromNow->setChecked(true);
    }
}

// ---- Buttons ----------------------------------------------------------------------------------

bool CReminderDlg::HasRow(const Row* row) const {
    return std::any_of(m_rows.begin(), m_rows.end(),
                       [row](const auto& entry) { return entry.get() == row; });
}

void CReminderDlg::OnDone() {
    for (Row* row : SelectedRows()) {
        if (!HasRow(row)) {
            continue; // gone while a question of an earlier row was open
        }
        m_requests.ReminderAcknowledge(row->record);
        RemoveRow(row);
    }
    if (SynchronizeList()) {
        SelectFirstIfNone();
    }
}

void CReminderDlg::OnExecute() {
    const std::vector<Row*> selected = SelectedRows();
    if (selected.empty()) {
        return;
    }
    Row* row = selected.front();
    const ReminderRecord record = row->record;
    RemoveRow(row);
    m_requests.ReminderExecute(record);
    m_requests.ReminderAcknowledge(record);
    if (SynchronizeList()) {
        SelectFirstIfNone();
    }
}

void CReminderDlg::OnSnooze(int unit) {
    const int32_t span = ParseSpan(m_span->currentText());
    const int32_t mode = m_fromNow->isChecked() ? 0 : 1;
    const CDateTime now = CDateTime::Now();
    std::optional<CDateTime> fixedTime;
    if (m_settings.SnoozeToFixedTime) {
        fixedTime = m_settings.SnoozeEndTime;
    }
    for (Row* row : SelectedRows()) {
        if (!HasRow(row)) {
            continue;
        }
        CDateEntry& event = *row->record.event;
        // The same value the scheduler applies: asked about here, so never dropped unasked.
        const CDateTime until =
            event.ComputeSnoozeTime(row->record.occurrence, span, unit, mode, now, fixedTime);
        if (!event.IsStillExecutable(row->record.occurrence, until) &&
            !m_prompt.AskYesNo(LoadString(kIdsAskSnoozeBeyondLimit), PromptIcon::Question)) {
            continue;
        }
        row->record.span = span;
        row->record.unit = unit;
        row->record.mode = mode;
        row->record.decidedAt = now;
        const ReminderRecord record = row->record;
        RemoveRow(row);
        m_requests.ReminderSnooze(record);
    }
    if (SynchronizeList()) {
        SelectFirstIfNone();
    }
}

void CReminderDlg::OnEdit() {
    const std::vector<Row*> selected = SelectedRows();
    if (selected.empty()) {
        return;
    }
    CDateEntry* event = selected.front()->record.event;
    if (!m_closing) {
        m_closing = true;
        emit closed();
    }
    emit editRequested(event);
}

void CReminderDlg::OnDelete() {
    const std::vector<Row*> selected = SelectedRows();
    for (Row* row : selected) {
        if (!HasRow(row)) {
            continue; // gone with its event, deleted for an earlier row
        }
        CDateEntry* event = row->record.event;
        if (m_settings.WarnOnDelete) {
            const FormatSettings formats = m_settings.GetFormatSettings();
            CDateEntryFormatter formatter(*event, formats);
            const std::string text = formatter.Expand(
                event->GetData().Description, row->record.occurrence, row->record.occurrence);
            if (!m_prompt.AskYesNo(LoadString(kIdsAskDeleteEntry) + "\n" + text,
                                   PromptIcon::Question)) {
                continue;
            }
        }
        RemoveRow(row);
        const bool wasSuspended = event->IsSuspended();
        event->SetSuspended(false);
        if (m_requests.ReminderDelete(event)) {
            // Gone: forget it and its other rows without touching it again.
            std::erase(m_events, event);
            std::vector<Row*> orphans;
            for (const auto& entry : m_rows) {
                if (entry->record.event == event) {
                    orphans.push_back(entry.get());
                }
            }
            for (Row* orphan : orphans) {
                RemoveRow(orphan);
            }
        } else if (wasSuspended) {
            event->SetSuspended(true);
        }
    }
    if (SynchronizeList()) {
        SelectFirstIfNone();
    }
}

void CReminderDlg::OnToggleSize() {
    if (!m_windowSettings.EventListVisible) {
        m_listPane->show();
        m_sizeToggle->setText(Text(kIdsButtonReduce));
        adjustSize();
    } else {
        m_listPane->hide();
        m_sizeToggle->setText(Text(kIdsButtonExtend));
        layout()->activate();
        resize(width(), minimumSizeHint().height());
    }
    m_windowSettings.EventListVisible = !m_windowSettings.EventListVisible;
}

// ---- Closing ----------------------------------------------------------------------------------

void CReminderDlg::FlashCaption() {
    ++m_captionFlashes;
    QApplication::alert(this, 1000);
}

void CReminderDlg::reject() {
    if (!m_closing) {
        m_closing = true;
        emit closed();
    }
}

void CReminderDlg::closeEvent(QCloseEvent* event) {
    // The scheduler closes the window once it has taken its position.
    if (isVisible() && !m_events.empty()) {
        event->ignore();
        reject();
        return;
    }
    QDialog::closeEvent(event);
}

void CReminderDlg::ReleaseEvents() {
    if (m_released) {
        return; // the settings and events may be gone by the time the window is deleted
    }
    m_released = true;
    if (m_list->columnCount() >= 3) {
        m_windowSettings.EventListColumnWidths = {m_list->columnWidth(0), m_list->columnWidth(1),
                                                  m_list->columnWidth(2)};
    }
    for (CDateEntry* event : m_events) {
        event->SetSuspended(false);
    }
    m_events.clear();
    m_shownRow = nullptr;
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
    }
    m_rows.clear();
    m_closing = true;
}

} // namespace dv
