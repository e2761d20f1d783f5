#include "app/CEventDatabaseDlg.h"

#include "app/EditorControls.h"
#include "app/UiText.h"
#include "app/WidgetLifetime.h"
#include "app/WindowPlacement.h"
#include "core/LocaleNames.h"
#include "core/TextCompare.h"
#include "document/CDayvaultDoc.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/CSettings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace dv {

namespace {

const CDateTime kLastScanned(9999, 12, 31, 23, 59, 59);

// Column widths in dialog units (a quarter of the average character width).
constexpr std::array<int, 7> kColumnUnits = {80, 80, 60, 125, 80, 60, 60};

// Each row of the two occurrence lists carries its occurrence start.
void SetOccurrence(QTreeWidgetItem* item, const CDateTime& start) {
    item->setData(0, Qt::UserRole, start.GetDayNumber());
    item->setData(0, Qt::UserRole + 1, start.GetSecondsOfDay());
}

CDateTime OccurrenceOf(const QTreeWidgetItem* item) {
    return CDateTime::FromDayNumber(item->data(0, Qt::UserRole).toInt(),
                                    item->data(0, Qt::UserRole + 1).toInt());
}

enum Column { kCategory, kDescription, kNetwork, kNext, kRepeat, kAlarm, kHidden };

} // namespace

namespace database {

namespace {

// "Every Tuesday and Thursday": every day on some weekdays is how the record keeps a weekly
// repetition on several days. Empty when the data is not such a rule.
std::string EveryWeekdaysText(const DateData& data) {
    const int32_t days = data.CondWeekdays & 0x7F;
    if (data.Repeat != 1 || data.RepeatUnit != 2 || data.RepeatRate != 1 || days == 0 ||
        days == 0x7F) {
        return {};
    }
    std::vector<std::string> names;
    for (int day = 0; day < 7; ++day) {
        if ((days >> day) & 1) {
            names.push_back(GetLocaleNames().DayName(day, false));
        }
    }
    std::string list = names.front();
    for (size_t i = 1; i < names.size(); ++i) {
        list += (i + 1 == names.size() ? LoadString(kIdsListLastSeparator) : ", ") + names[i];
    }
    return FormatString(kIdsRepeatEveryDays, list);
}

} // namespace

std::string RepeatText(const DateData& data) {
    if (std::string weekdays = EveryWeekdaysText(data); !weekdays.empty()) {
        return weekdays;
    }
    if (data.Repeat == 1) {
        static constexpr std::array<uint32_t, 6> singular = {
            kIdsUnitMinute, kIdsUnitHour, kIdsUnitDay, kIdsUnitWeek, kIdsUnitMonth, kIdsUnitYear};
        static constexpr std::array<uint32_t, 6> plural = {
            kIdsUnitMinutesPlural, kIdsUnitHoursPlural,  kIdsUnitDaysPlural,
            kIdsUnitWeeksPlural,   kIdsUnitMonthsPlural, kIdsUnitYearsPlural};
        const auto unit = static_cast<size_t>(std::clamp(data.RepeatUnit, 0, 5));
        return std::to_string(data.RepeatRate) + " " +
               LoadString(data.RepeatRate == 1 ? singular[unit] : plural[unit]);
    }
    if (data.Repeat == 2) {
        static constexpr std::array<uint32_t, 6> ordinals = {
            kIdsOrdinal1, kIdsOrdinal2, kIdsOrdinal3, kIdsOrdinal4, kIdsOrdinal5, kIdsOrdinalLast};
        const auto ordinal = static_cast<size_t>(std::clamp(data.RepeatWeekdayCount, 0, 5));
        return FormatString(kIdsRepeatEveryWeekday,
                            {LoadString(ordinals[ordinal]),
                             GetLocaleNames().DayName(std::clamp(data.RepeatWeekday, 0, 6), true)});
    }
    return {};
}

double ApproximatePeriodDays(const DateData& data) {
    const double rate = data.RepeatRate;
    if (data.Repeat == 2) {
        return 30 * rate;
    }
    switch (data.RepeatUnit) {
    case 1:
        return rate / 24;
    case 2:
        return rate;
    case 3:
        return 7 * rate;
    case 4:
        return 30 * rate;
    case 5:
        return 365 * rate;
    default:
        return 0;
    }
}

std::optional<CDateTime> NextOccurrence(CDateEntry& event, const CDateTime& now) {
    CDateTime start;
    CDateTime end;
    for (bool found = event.FindFirstOccurrence(now, kLastScanned, start, end); found;
         found = event.FindNextOccurrence(now, kLastScanned, start, end)) {
        if (!event.IsDone(start)) {
            return start;
        }
    }
    return std::nullopt;
}

CDateTime RangeEnd(int choice, const CDateTime& now) {
    if (choice <= 1) {
        return now + CDateTimeSpan(choice == 0 ? 7 : 14, 0, 0, 0);
    }
    static constexpr std::array<int, 4> months = {1, 3, 6, 12};
    const int index = now.GetYear() * 12 + now.GetMonth() - 1 +
                      months[static_cast<size_t>(std::min(choice, 5) - 2)];
    const int year = index / 12;
    const int month = index % 12 + 1;
    const int day = std::min(now.GetDay(), CDateTime::DaysInMonth(year, month));
    return CDateTime(year, month, day) + CDateTimeSpan(now.GetSecondsOfDay());
}

} // namespace database

using namespace database;

CEventDatabaseDlg::CEventDatabaseDlg(const EventDatabaseHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_now(host.doc->GetNow()) {
    setObjectName(QStringLiteral("EventDatabase"));
    setWindowTitle(Text(kIdsDatabaseTitle));
    const CDayvaultDoc& doc = *host.doc;
    m_events.reserve(static_cast<size_t>(doc.GetDateEntryCount()));
    for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
        Row row;
        row.event = std::make_unique<CDateEntry>(*doc.GetDateEntry(i));
        row.next = NextOccurrence(*row.event, m_now);
        m_events.push_back(std::move(row));
    }
    Build();
    FillTable();
    UpdateButtons();
}

CEventDatabaseDlg::~CEventDatabaseDlg() {
    DisconnectChildren(*this);
}

void CEventDatabaseDlg::Build() {
    auto* layout = new QVBoxLayout(this);
    m_table = new QTreeWidget(this);
    m_table->setObjectName(QStringLiteral("Events"));
    m_table->setAccessibleName(Text(kIdsDatabaseEvents));
    m_table->setRootIsDecorated(false);
    m_table->setUniformRowHeights(true);
    m_table->setAllColumnsShowFocus(true);
    m_table->setHeaderLabels({Text(kIdsColumnCategory), Text(kIdsColumnDescription),
                              Text(kIdsColumnNetwork), Text(kIdsColumnNextOccurrence),
                              Text(kIdsColumnRepeat), Text(kIdsColumnAlarm),
                              Text(kIdsColumnHidden)});
    const int unit = fontMetrics().averageCharWidth();
    for (int column = 0; column < 7; ++column) {
        m_table->header()->resizeSection(column,
                                         kColumnUnits[static_cast<size_t>(column)] * unit / 4);
    }
    m_table->header()->setSectionsClickable(true);
    m_table->header()->setSortIndicatorShown(true);
    connect(m_table->header(), &QHeaderView::sectionClicked, this, &CEventDatabaseDlg::ClickColumn);
    connect(m_table, &QTreeWidget::itemSelectionChanged, this, [this] {
        FillOccurrences();
        UpdateButtons();
    });
    connect(m_table, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_edit->isEnabled()) {
            EditEvent();
        }
    });
    layout->addWidget(m_table, 3);

    auto* buttons = new QHBoxLayout;
    m_new = new QPushButton(Text(kIdsDatabaseNew), this);
    m_edit = new QPushButton(Text(kIdsDatabaseEdit), this);
    m_delete = new QPushButton(Text(kIdsDatabaseDelete), this);
    for (QPushButton* button : {m_new, m_edit, m_delete}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    connect(m_new, &QPushButton::clicked, this, &CEventDatabaseDlg::NewEvent);
    connect(m_edit, &QPushButton::clicked, this, &CEventDatabaseDlg::EditEvent);
    connect(m_delete, &QPushButton::clicked, this, &CEventDatabaseDlg::DeleteEvent);
    layout->addLayout(buttons);

    auto* lists = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* within = new QHBoxLayout;
    auto* withinLabel = new QLabel(Text(kIdsOccurrencesWithin), this);
    m_range = new QComboBox(this);
    m_range->setObjectName(QStringLiteral("Range"));
    m_range->addItems({Text(kIdsRange1Week), Text(kIdsRange2Weeks), Text(kIdsRange1Month),
                       Text(kIdsRange3Months), Text(kIdsRange6Months), Text(kIdsRange1Year)});
    m_range->setCurrentIndex(2);
    withinLabel->setBuddy(m_range);
    within->addWidget(withinLabel);
    within->addWidget(m_range);
    within->addStretch();
    left->addLayout(within);
    m_occurrences = new QTreeWidget(this);
    m_occurrences->setObjectName(QStringLiteral("Occurrences"));
    m_occurrences->setAccessibleName(Text(kIdsOccurrencesWithin));
    m_occurrences->setHeaderHidden(true);
    m_occurrences->setRootIsDecorated(false);
    left->addWidget(m_occurrences);
    m_deleteOccurrence = new QPushButton(Text(kIdsDatabaseDeleteOccurrence), this);
    m_deleteOccurrence->setAutoDefault(false);
    left->addWidget(m_deleteOccurrence, 0, Qt::AlignLeft);
    lists->addLayout(left);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(Text(kIdsDroppedOccurrences), this));
    m_dropped = new QTreeWidget(this);
    m_dropped->setObjectName(QStringLiteral("Dropped"));
    m_dropped->setAccessibleName(Text(kIdsDroppedOccurrences));
    m_dropped->setHeaderHidden(true);
    m_dropped->setRootIsDecorated(false);
    right->addWidget(m_dropped);
    m_restore = new QPushButton(Text(kIdsDatabaseRestore), this);
    m_restore->setAutoDefault(false);
    right->addWidget(m_restore, 0, Qt::AlignLeft);
    lists->addLayout(right);
    layout->addLayout(lists, 2);

    connect(m_range, &QComboBox::currentIndexChanged, this, &CEventDatabaseDlg::FillOccurrences);
    connect(m_deleteOccurrence, &QPushButton::clicked, this, &CEventDatabaseDlg::DeleteOccurrence);
    connect(m_restore, &QPushButton::clicked, this, &CEventDatabaseDlg::RestoreOccurrence);
    connect(m_occurrences, &QTreeWidget::itemSelectionChanged, this,
            &CEventDatabaseDlg::UpdateButtons);
    connect(m_dropped, &QTreeWidget::itemSelectionChanged, this, &CEventDatabaseDlg::UpdateButtons);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &CEventDatabaseDlg::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CEventDatabaseDlg::reject);
    layout->addWidget(box);
    // Room for the table where the screen has it; a small screen gets what it has.
    resize(FitToScreen(QSize(1000, 600), this));
}

// ---- The event table -------------------------------------------------------------------------

bool CEventDatabaseDlg::Less(const Row& a, const Row& b) const {
    const DateData& x = a.event->GetData();
    const DateData& y = b.event->GetData();
    // "x has it and y not" orders x first.
    const auto first = [](bool inX, bool inY) { return inX == inY ? 0 : (inX ? -1 : 1); };
    int c = 0;
    switch (std::abs(m_sortKey) - 1) {
    case kCategory:
        c = CompareNoCase(x.Category, y.Category);
        break;
    case kDescription:
        c = CompareNoCase(x.Description, y.Description);
        break;
    case kNetwork:
        c = first(x.StorageType == 1, y.StorageType == 1);
        break;
    case kNext:
        c = first(a.next.has_value(), b.next.has_value());
        if (c == 0 && a.next) {
            c = *a.next < *b.next ? -1 : (*b.next < *a.next ? 1 : 0);
        }
        break;
    case kRepeat:
        c = first(x.Repeat != 0, y.Repeat != 0);
        if (c == 0 && x.Repeat != 0) {
            const double px = ApproximatePeriodDays(x);
            const double py = ApproximatePeriodDays(y);
            c = px < py ? -1 : (py < px ? 1 : 0);
        }
        break;
    case kAlarm:
        c = first(x.Forewarn != 0, y.Forewarn != 0);
        break;
    case kHidden:
        c = first(x.Display == 1, y.Display == 1);
        break;
    default:
        break;
    }
    return m_sortKey < 0 ? c > 0 : c < 0;
}

void CEventDatabaseDlg::FillTable() {
    const CDateEntry* selected = Selected() ? Selected()->event.get() : nullptr;
    m_order.resize(m_events.size());
    for (size_t i = 0; i < m_order.size(); ++i) {
        m_order[i] = static_cast<int>(i);
    }
    std::stable_sort(m_order.begin(), m_order.end(), [this](int a, int b) {
        return Less(m_events[static_cast<size_t>(a)], m_events[static_cast<size_t>(b)]);
    });
    m_table->header()->setSortIndicator(std::abs(m_sortKey) - 1,
                                        m_sortKey > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    const QSignalBlocker block(m_table);
    m_table->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(m_order.size()));
    for (size_t row = 0; row < m_order.size(); ++row) {
        items.append(new QTreeWidgetItem);
    }
    m_table->addTopLevelItems(items);
    for (int row = 0; row < static_cast<int>(m_order.size()); ++row) {
        SetRowTexts(row);
    }
    const int again = RowOf(selected);
    if (again >= 0) {
        m_table->setCurrentItem(m_table->topLevelItem(again));
    }
}

QString CEventDatabaseDlg::OccurrenceText(const CDateEntry& event, const CDateTime& start) const {
    const CSettings& settings = *m_host.settings;
    return QString::fromStdString(start.Format(event.GetData().ShowStartTime != 0
                                                   ? settings.DateTimeFormatList
                                                   : settings.DateFormatList));
}

void CEventDatabaseDlg::SetRowTexts(int row) {
    const Row& entry = m_events[static_cast<size_t>(m_order[static_cast<size_t>(row)])];
    const DateData& data = entry.event->GetData();
    QTreeWidgetItem* item = m_table->topLevelItem(row);
    const QString yes = Text(kIdsYes);
    item->setText(kCategory, QString::fromStdString(data.Category));
    item->setText(kDescription, QString::fromStdString(data.Description));
    item->setText(kNetwork, data.StorageType == 1 ? yes : QString());
    item->setText(kNext, entry.next ? OccurrenceText(*entry.event, *entry.next) : QString());
    item->setText(kRepeat, QString::fromStdString(RepeatText(data)));
    item->setText(kAlarm, data.Forewarn != 0 ? yes : QString());
    item->setText(kHidden, data.Display == 1 ? yes : QString());
}

CDateEntry* CEventDatabaseDlg::EventAt(int row) const {
    if (row < 0 || row >= static_cast<int>(m_order.size())) {
        return nullptr;
    }
    return m_events[static_cast<size_t>(m_order[static_cast<size_t>(row)])].event.get();
}

int CEventDatabaseDlg::RowOf(const CDateEntry* event) const {
    for (size_t row = 0; row < m_order.size(); ++row) {
        if (m_events[static_cast<size_t>(m_order[row])].event.get() == event) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

int CEventDatabaseDlg::SelectedIndex() const {
    QTreeWidgetItem* item = m_table->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return -1;
    }
    const int row = m_table->indexOfTopLevelItem(item);
    return row < 0 || row >= static_cast<int>(m_order.size()) ? -1
                                                              : m_order[static_cast<size_t>(row)];
}

CEventDatabaseDlg::Row* CEventDatabaseDlg::Selected() {
    const int index = SelectedIndex();
    return index < 0 ? nullptr : &m_events[static_cast<size_t>(index)];
}

void CEventDatabaseDlg::ClickColumn(int column) {
    m_sortKey = std::abs(m_sortKey) - 1 == column ? -m_sortKey : column + 1;
    FillTable();
}

void CEventDatabaseDlg::SelectRow(int row) {
    if (QTreeWidgetItem* item = m_table->topLevelItem(row)) {
        m_table->setCurrentItem(item);
    }
}

void CEventDatabaseDlg::SetRangeChoice(int choice) {
    m_range->setCurrentIndex(choice);
}

// ---- Occurrences -----------------------------------------------------------------------------

void CEventDatabaseDlg::FillOccurrences() {
    m_occurrences->clear();
    m_dropped->clear();
    Row* row = Selected();
    if (row == nullptr) {
        UpdateButtons();
        return;
    }
    CDateEntry& event = *row->event;
    const CDateTime end = RangeEnd(m_range->currentIndex(), m_now);
    CDateTime start;
    CDateTime stop;
    for (bool found = event.FindFirstOccurrence(m_now, end, start, stop); found;
         found = event.FindNextOccurrence(m_now, end, start, stop)) {
        if (!event.IsDone(start)) {
            auto* item = new QTreeWidgetItem(m_occurrences, {OccurrenceText(event, start)});
            SetOccurrence(item, start);
        }
    }
    for (const CDateTime& dropped : event.GetDroppedOccurrences()) {
        auto* item = new QTreeWidgetItem(m_dropped, {OccurrenceText(event, dropped)});
        SetOccurrence(item, dropped);
    }
    UpdateButtons();
}

void CEventDatabaseDlg::UpdateButtons() {
    const bool selected = SelectedIndex() >= 0;
    m_new->setEnabled(static_cast<bool>(m_host.editEvent));
    m_edit->setEnabled(selected && m_host.editEvent);
    m_delete->setEnabled(selected);
    m_deleteOccurrence->setEnabled(selected && m_occurrences->currentItem() != nullptr);
    m_restore->setEnabled(selected && m_dropped->currentItem() != nullptr);
}

void CEventDatabaseDlg::AfterOccurrenceChange(QTreeWidget* list, int listRow) {
    Row* row = Selected();
    row->next = NextOccurrence(*row->event, m_now);
    SetRowTexts(m_table->indexOfTopLevelItem(m_table->currentItem()));
    FillOccurrences();
    const int count = list->topLevelItemCount();
    if (count > 0) {
        list->setCurrentItem(list->topLevelItem(std::min(listRow, count - 1)));
    }
}

void CEventDatabaseDlg::DeleteOccurrence() {
    Row* row = Selected();
    QTreeWidgetItem* item = m_occurrences->currentItem();
    if (row == nullptr || item == nullptr) {
        return;
    }
    const int listRow = m_occurrences->indexOfTopLevelItem(item);
    row->event->DropOccurrence(OccurrenceOf(item));
    AfterOccurrenceChange(m_occurrences, listRow);
}

void CEventDatabaseDlg::RestoreOccurrence() {
    Row* row = Selected();
    QTreeWidgetItem* item = m_dropped->currentItem();
    if (row == nullptr || item == nullptr) {
        return;
    }
    const int listRow = m_dropped->indexOfTopLevelItem(item);
    row->event->RestoreOccurrence(OccurrenceOf(item));
    AfterOccurrenceChange(m_dropped, listRow);
}

// ---- Event commands --------------------------------------------------------------------------

void CEventDatabaseDlg::NewEvent() {
    if (!m_host.editEvent) {
        return;
    }
    m_host.doc->EnsureDefaultTemplate();
    DateData data = m_host.doc->GetTemplate(0)->GetData();
    // The template's times of day on today's date.
    const CDateTime today = m_now.GetDate();
    const auto onToday = [&](const CDateTime& value) {
        return today + CDateTimeSpan(value.GetSecondsOfDay());
    };
    data.StartDate = onToday(data.StartDate);
    data.EndDate = onToday(data.EndDate);
    data.RepeatEndDate = onToday(data.RepeatEndDate);
    StartAtNextHourToday(data, m_now);
    auto event = std::make_unique<CDateEntry>(m_now);
    data.GUID = event->GetGUID();
    if (!m_host.editEvent(data, true)) {
        return;
    }
    event->UpdateReminders(m_now);
    event->SetData(data, m_now);
    Row row;
    row.next = NextOccurrence(*event, m_now);
    row.event = std::move(event);
    const CDateEntry* added = row.event.get();
    m_events.push_back(std::move(row));
    FillTable();
    SelectRow(RowOf(added));
}

void CEventDatabaseDlg::EditEvent() {
    Row* row = Selected();
    if (row == nullptr || !m_host.editEvent) {
        return;
    }
    DateData data = row->event->GetData();
    if (!m_host.editEvent(data, false)) {
        return;
    }
    row->event->SetData(data, m_now);
    row->next = NextOccurrence(*row->event, m_now);
    SetRowTexts(m_table->indexOfTopLevelItem(m_table->currentItem()));
    FillOccurrences();
}

void CEventDatabaseDlg::DeleteEvent() {
    const int index = SelectedIndex();
    if (index < 0) {
        return;
    }
    const int tableRow = m_table->indexOfTopLevelItem(m_table->currentItem());
    m_events.erase(m_events.begin() + index);
    m_table->clearSelection();
    FillTable();
    SelectRow(std::min(tableRow, static_cast<int>(m_order.size()) - 1));
    FillOccurrences();
}

void CEventDatabaseDlg::accept() {
    if (m_host.beforeReplace) {
        m_host.beforeReplace();
    }
    CDayvaultDoc& doc = *m_host.doc;
    // The category set is rebuilt once, with the last operation.
    while (doc.GetDateEntryCount() > 0) {
        const bool last = doc.GetDateEntryCount() == 1 && m_events.empty();
        doc.DeleteDateEntry(doc.GetDateEntry(doc.GetDateEntryCount() - 1),
                            kEditListChange | (last ? uint32_t{kEditRebuildSet} : 0u));
    }
    for (size_t i = 0; i < m_events.size(); ++i) {
        const bool last = i + 1 == m_events.size();
        doc.AddDateEntry(std::move(m_events[i].event),
                         kEditListChange | (last ? uint32_t{kEditRebuildSet} : 0u));
    }
    m_events.clear();
    doc.UpdateAllViews(UpdateHint::EventsReset);
    QDialog::accept();
}

} // namespace dv
