#include "app/CCalendarPage.h"

#include "app/CCurrentTimeBar.h"
#include "app/CDayList.h"
#include "app/CommandTable.h"
#include "app/Tooltips.h"
#include "core/LocaleNames.h"
#include "core/TimeUnits.h"
#include "document/CDayvaultDoc.h"
#include "document/EntryFilter.h"
#include "format/CDateEntryFormatter.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "settings/CSettings.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QWheelEvent>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace dv {

namespace calendar {

DayListingOptions PageListingOptions(const CalendarHost& host, const FormatSettings& formats) {
    const CSettings& settings = *host.settings;
    DayListingOptions options;
    options.showHidden = host.showHidden && host.showHidden();
    options.formatSet = kFormatSetCalendar;
    options.doneEventsMarking = settings.DoneEventsMarking;
    options.showNetworkIcon = settings.ShowNetworkIcon;
    options.showLocalIcon = settings.ShowLocalIcon;
    const CDayvaultDoc* doc = host.doc;
    if (doc->GetFilterSwitch()) {
        // Copied: the listing may call the filter from several threads.
        options.filter = [filter = doc->GetEventFilter(), formats](CDateEntry& event,
                                                                   const CDateTime& start) {
            return PassesEventFilter(filter, true, event, start, formats);
        };
    }
    return options;
}

QStringList HolidayTexts(const CalendarHost& host, const CDateTime& date) {
    QStringList texts;
    if (host.holidays == nullptr) {
        return texts;
    }
    for (const HolidayDayRecord& record : host.holidays->HolidaysOn(date)) {
        if (host.holidaySettings != nullptr &&
            !host.holidaySettings->IsActive(record.module, record.name)) {
            continue;
        }
        std::string text = record.displayText;
        if (host.settings->HolidayShowLanguage) {
            text += " (" + GetLocaleNames().LanguageAbbreviation(record.language) + ")";
        }
        texts << QString::fromStdString(text);
    }
    return texts;
}

QString OccurrenceTooltip(const CalendarHost& host, CDateEntry& event, const CDateTime& start,
                          const CDateTime& day, const FormatSettings& formats) {
    CDateEntryFormatter formatter(event, formats, kFormatSetTooltip);
    std::string text = formatter.FormatForDay(start, day);
    // The next reminder: a snooze, or the forewarning still to come.
    CDateTime next;
    bool hasNext = event.GetSnoozeTime(start, next);
    const DateData& data = event.GetData();
    if (!hasNext && data.Forewarn != 0 && !event.IsDone(start)) {
        next = start - MakeSpan(data.ForewarnSpan, data.ForewarnUnit);
        hasNext = next > host.doc->GetNow();
    }
    if (hasNext) {
        text += "\n" + LoadString(kIdsNextReminder) + ": " + next.Format(formats.DateTimeFormat);
    }
    return QString::fromStdString(text);
}

std::vector<std::vector<DayEntry>> EventListing(const CalendarHost& host,
                                                const std::vector<CDateEntry*>& events,
                                                const CDateTime& firstDay, int dayCount,
                                                const FormatSettings& formats) {
    // The listing reads a list of owned events; this one lends it the document's events for
    // the call and takes them back before the list goes.
    std::vector<std::unique_ptr<CDateEntry>> lent;
    struct GiveBack {
        std::vector<std::unique_ptr<CDateEntry>>& list;
        ~GiveBack() {
            for (auto& event : list) {
                (void)event.release();
            }
        }
    } giveBack{lent};
    lent.reserve(events.size());
    for (CDateEntry* event : events) {
        lent.emplace_back(event);
    }
    DayListingOptions options = PageListingOptions(host, formats);
    options.threads = 1;
    return BuildDayListing(lent, firstDay, dayCount, formats, options);
}

void ConnectToHost(CDayList* list, const CalendarHost& host) {
    QObject::connect(list, &CDayList::DayClicked, list, [host](const CDateTime& day) {
        if (host.selectDate) {
            host.selectDate(day);
        }
    });
    QObject::connect(list, &CDayList::EntrySelected, list,
                     [host](CDateEntry* event, const CDateTime& occurrence) {
                         if (host.selectEntry) {
                             host.selectEntry(event, occurrence);
                         }
                     });
    QObject::connect(list, &CDayList::EditRequested, list, [host] {
        if (host.runCommand) {
            host.runCommand(cmd::kEditEntry);
        }
    });
    QObject::connect(list, &CDayList::NewRequested, list, [host] {
        if (host.runCommand) {
            host.runCommand(cmd::kNewEntry);
        }
    });
    QObject::connect(list, &CDayList::ContextMenuRequested, list, [host](const QPoint& at) {
        QMenu* menu = host.editMenu ? host.editMenu() : nullptr;
        if (menu != nullptr) {
            menu->exec(at);
        }
    });
}

namespace {

class Disposal {
public:
    Disposal() : m_thread([this](std::stop_token stop) { Run(stop); }) {}
    void Add(std::vector<std::vector<DayEntry>> entries) {
        {
            const std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(entries));
        }
        m_wake.notify_one();
    }

private:
    void Run(const std::stop_token& stop) {
        std::unique_lock lock(m_mutex);
        while (!stop.stop_requested() || !m_queue.empty()) {
            // Woken by new work, or by the stop request when the program ends.
            m_wake.wait(lock, stop, [&] { return !m_queue.empty(); });
            auto batch = std::move(m_queue);
            m_queue.clear();
            lock.unlock();
            batch.clear();
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::vector<std::vector<std::vector<DayEntry>>> m_queue;
    std::jthread m_thread; // last: it starts once the rest exists, and stops and joins first
};

} // namespace

void DiscardLater(std::vector<std::vector<DayEntry>> entries) {
    static Disposal disposal;
    disposal.Add(std::move(entries));
}

uint32_t NavigationCommand(const QKeyEvent& event, const CSettings& settings) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier) {
        switch (event.key()) {
        case Qt::Key_Right:
            return cmd::kNextDay;
        case Qt::Key_Left:
            return cmd::kPreviousDay;
        case Qt::Key_Down:
            return cmd::kNextWeek;
        case Qt::Key_Up:
            return cmd::kPreviousWeek;
        default:
            return 0;
        }
    }
    if (mods == Qt::NoModifier && settings.NavigationPgUpPgDown) {
        switch (event.key()) {
        case Qt::Key_PageDown:
            return cmd::kNextPage;
        case Qt::Key_PageUp:
            return cmd::kPreviousPage;
        case Qt::Key_Home:
            return cmd::kCurrentDate;
        default:
            return 0;
        }
    }
    return 0;
}

} // namespace calendar

using namespace calendar;

CCalendarPage::CCalendarPage(PageKind kind, const CalendarHost& host, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_host(host) {
    const int count = CellCount(kind);
    for (int i = 0; i < count; ++i) {
        auto* cell = new CDayList(this);
        cell->setObjectName(QStringLiteral("Day%1").arg(i));
        cell->SetTextSource([this](const DayEntry& entry, const CDateTime& day) {
            return FormatDayEntry(entry, day, m_formats, kFormatSetCalendar);
        });
        cell->SetShortTextSource([this](const DayEntry& entry, const CDateTime& day) {
            return FormatDayEntry(entry, day, m_shortFormats, kFormatSetCalendar);
        });
        ConnectCell(cell);
        m_cells.push_back(cell);
    }
    m_baseColors.resize(static_cast<size_t>(count));
    if (kind == PageKind::Month) {
        m_labelTexts.resize(7);
    }
    setFocusPolicy(Qt::TabFocus);
    m_host.doc->AddObserver(*this);
    ApplyFontsAndLayout();
    if (Deferred()) {
        m_pendingRebuild = true; // a page of a window not shown yet: filled when it shows
    } else {
        RecomputeRange(true);
        Rebuild();
    }
}

CCalendarPage::~CCalendarPage() {
    m_host.doc->RemoveObserver(*this);
}

void CCalendarPage::ConnectCell(CDayList* cell) {
    // One selection on the page: a day that is picked takes it from every other day, so that
    // no highlight stays behind on an entry the commands no longer act on.
    const auto clearOthers = [this, cell] {
        for (CDayList* other : m_cells) {
            if (other != cell) {
                other->ClearSelection();
            }
        }
    };
    connect(cell, &CDayList::DayClicked, this, clearOthers);
    connect(cell, &CDayList::EntrySelected, this, clearOthers);
    ConnectToHost(cell, m_host);
    connect(cell, &CDayList::WheelPaging, this, &CCalendarPage::WheelPaging);
    const auto index = static_cast<int>(m_cells.size());
    cell->tooltipText = [this, index](bool caption) {
        return caption ? CaptionTooltip(index) : EntriesTooltip(index);
    };
}

CDayList* CCalendarPage::CellOf(const CDateTime& date) const {
    const int32_t index = date.GetDayNumber() - m_range.first.GetDayNumber();
    if (index < 0 || index >= static_cast<int32_t>(m_cells.size())) {
        return nullptr;
    }
    return m_cells[static_cast<size_t>(index)];
}

bool CCalendarPage::InRange(const CDateTime& date) const {
    return m_rangeValid &&
           calendar::InRange(m_kind, m_range, date, m_host.settings->DisableExtraDays);
}

void CCalendarPage::RecomputeRange(bool always) {
    const CDateTime selected = m_host.doc->GetSelectedDate().GetDate();
    const int32_t weekStart = m_host.settings->WeekStart;
    if (!always && m_kind != PageKind::Week && weekStart == m_weekStartUsed && InRange(selected)) {
        return;
    }
    m_range = MakeRange(m_kind, selected, weekStart);
    m_weekStartUsed = weekStart;
    m_rangeValid = true;
}

std::string CCalendarPage::CaptionFormat(const CDateTime& day) const {
    const CSettings& settings = *m_host.settings;
    std::string format;
    switch (m_kind) {
    case PageKind::Week:
        format = settings.WeekViewFormat;
        break;
    case PageKind::Fortnight:
        format = settings.FortnightViewFormat;
        break;
    case PageKind::Month:
        format = day.GetDay() == 1 ? settings.FirstMonthViewFormat : settings.MonthViewFormat;
        break;
    }
    return format;
}

QColor CCalendarPage::CaptionColor(int cell) const {
    const CDateTime day = m_range.first + CDateTimeSpan(cell, 0, 0, 0);
    if (day == m_today) {
        return FromColorRef(m_host.settings->TodayColor);
    }
    if (day == m_host.doc->GetSelectedDate().GetDate()) {
        return FromColorRef(m_host.settings->SelectedColor);
    }
    return m_baseColors[static_cast<size_t>(cell)];
}

void CCalendarPage::Rebuild() {
    const CSettings& settings = *m_host.settings;
    m_formats = settings.GetFormatSettings();
    m_shortFormats = WithoutEndTimes(m_formats, kFormatSetCalendar);
    m_today = m_host.doc->GetNow().GetDate();
    if (m_labelColor != FromColorRef(settings.NormalColor)) {
        m_labelColor = FromColorRef(settings.NormalColor);
        update();
    }
    const int count = static_cast<int>(m_cells.size());
    // A cell shows a handful of its lines: their texts are formatted when they are first shown.
    DayListingOptions options = PageListingOptions(m_host, m_formats);
    options.formatTexts = false;
    std::vector<std::vector<DayEntry>> listing =
        BuildDayListing(m_host.doc->GetDateEntries(), m_range.first, count, m_formats, options);
    const QFont dateFont = ToQFont(settings.CalendarCaptionDateFont);
    QFont firstOfMonthFont = dateFont;
    firstOfMonthFont.setWeight(QFont::Bold);
    const QFont holidayFont = ToQFont(settings.CalendarCaptionHolidayFont);
    const bool extraDaysOff = m_kind == PageKind::Month && settings.DisableExtraDays;
    const MonthOfRange shown = ShownMonth(m_range);
    for (int i = 0; i < count; ++i) {
        const CDateTime day = m_range.first + CDateTimeSpan(i, 0, 0, 0);
        CDayList::Caption caption;
        caption.date = day;
        caption.text = QString::fromStdString(DayCaption(
            day, CaptionFormat(day), settings.ShowWeekNumbers, settings.WeekDisplayFormat));
        caption.font = day.GetDay() == 1 ? firstOfMonthFont : dateFont;
        caption.holidayFont = holidayFont;
        caption.holidays = HolidayTexts(m_host, day);
        const int weekday = day.GetDayOfWeek();
        uint32_t base = weekday == 6   ? settings.SundayColor
                        : weekday == 5 ? settings.SaturdayColor
                                       : settings.NormalColor;
        if (!caption.holidays.isEmpty()) {
            base = settings.HolidayColor;
        }
        m_baseColors[static_cast<size_t>(i)] = FromColorRef(base);
        caption.color = CaptionColor(i);
        CDayList* cell = m_cells[static_cast<size_t>(i)];
        cell->SetCaption(std::move(caption));
        listing[static_cast<size_t>(i)] =
            cell->SetEntries(std::move(listing[static_cast<size_t>(i)]));
        cell->setEnabled(!extraDaysOff ||
                         (day.GetYear() == shown.year && day.GetMonth() == shown.month));
    }
    DiscardLater(std::move(listing)); // now the previous days' entries
}

void CCalendarPage::AddEntriesOf(CDateEntry& event) {
    auto listing =
        EventListing(m_host, {&event}, m_range.first, static_cast<int>(m_cells.size()), m_formats);
    for (size_t i = 0; i < listing.size(); ++i) {
        for (DayEntry& entry : listing[i]) {
            m_cells[i]->InsertEntry(std::move(entry));
        }
    }
}

void CCalendarPage::RemoveEntriesOf(const void* event) {
    for (CDayList* cell : m_cells) {
        cell->RemoveEntriesOf(event);
    }
}

void CCalendarPage::RecolourDay(const CDateTime& date) {
    const int32_t index = date.GetDayNumber() - m_range.first.GetDayNumber();
    if (index >= 0 && index < static_cast<int32_t>(m_cells.size())) {
        m_cells[static_cast<size_t>(index)]->SetCaptionColor(CaptionColor(index));
    }
}

void CCalendarPage::MoveSelection(const CDateTime& previous) {
    const CDateTime selected = m_host.doc->GetSelectedDate().GetDate();
    if (!InRange(selected) || m_host.settings->WeekStart != m_weekStartUsed) {
        RecomputeRange(true);
        Rebuild();
    } else {
        RecolourDay(previous.GetDate());
        RecolourDay(selected);
    }
    // Keyboard users follow the selected day from cell to cell.
    CDayList* focused = qobject_cast<CDayList*>(focusWidget());
    if (focused != nullptr && focused->hasFocus()) {
        if (CDayList* target = CellOf(selected); target != nullptr && target != focused) {
            target->setFocus(Qt::OtherFocusReason);
        }
    }
}

bool CCalendarPage::Deferred() const {
    // A page of the sheet that is not shown catches up when it is shown again: a page step
    // then costs the page in front only.
    // A minimised window counts as not shown, so that a program waiting in the taskbar does not
    // rebuild its page for every reminder that falls due.
    return parentWidget() != nullptr && (!isVisible() || window()->isMinimized());
}

void CCalendarPage::CatchUp() {
    if (m_pendingRebuild && !Deferred()) {
        m_pendingRebuild = false;
        RecomputeRange(m_kind == PageKind::Week || !m_rangeValid);
        Rebuild();
    }
}

void CCalendarPage::showEvent(QShowEvent* event) {
    CatchUp();
    QWidget::showEvent(event);
}

void CCalendarPage::OnUpdate(UpdateHint hint, const HintObject& object) {
    if (Deferred() && AffectsEvents(hint)) {
        m_pendingRebuild = true;
        return;
    }
    switch (hint) {
    case UpdateHint::Merged: // also: hidden events shown or hidden
    case UpdateHint::PageMoved:
    case UpdateHint::EventsReset:
        RecomputeRange(m_kind == PageKind::Week);
        Rebuild();
        break;
    case UpdateHint::SelectedDateChanged:
        MoveSelection(std::holds_alternative<CDateTime>(object) ? std::get<CDateTime>(object)
                                                                : CDateTime());
        break;
    case UpdateHint::DayChanged: {
        const CDateTime oldToday = m_today;
        m_today = m_host.doc->GetNow().GetDate();
        RecolourDay(oldToday);
        RecolourDay(m_today);
        break;
    }
    case UpdateHint::EventAdded:
        if (auto* const* event = std::get_if<CDateEntry*>(&object); event && *event) {
            AddEntriesOf(**event);
        }
        break;
    case UpdateHint::EventDeleted:
        if (const auto* identity = std::get_if<EntryIdentity>(&object)) {
            RemoveEntriesOf(identity->address);
        }
        break;
    case UpdateHint::EventChanged:
        if (auto* const* event = std::get_if<CDateEntry*>(&object); event && *event) {
            RemoveEntriesOf(*event);
            AddEntriesOf(**event);
        }
        break;
    case UpdateHint::OptionsChanged:
        ApplyFontsAndLayout();
        break;
    case UpdateHint::CellsRebuilt:
    case UpdateHint::EventsChanged: // one rebuild for the whole batch
        Rebuild();
        break;
    default:
        break;
    }
}

void CCalendarPage::OnInitialUpdate() {
    if (Deferred()) {
        m_pendingRebuild = true;
        return;
    }
    RecomputeRange(true);
    Rebuild();
}

void CCalendarPage::ApplyFontsAndLayout() {
    const CSettings& settings = *m_host.settings;
    const QFont entryFont = ToQFont(settings.CalendarEventFont);
    for (CDayList* cell : m_cells) {
        cell->SetEntryFont(entryFont);
        cell->SetHolidaysBelowDate(settings.HolidayDisplayBelowDate);
        cell->SetWheelPages(settings.NavigationMousewheel);
    }
    if (m_kind == PageKind::Month) {
        m_labelFont = ToQFont(settings.CalendarLabelMonthViewFont);
        m_labelHeight = QFontMetrics(m_labelFont).height();
        for (int column = 0; column < 7; ++column) {
            const QString text = QString::fromStdString(
                GetLocaleNames().DayName(LabelWeekday(column, settings.WeekStart), false));
            if (text != m_labelTexts[static_cast<size_t>(column)]) {
                m_labelTexts[static_cast<size_t>(column)] = text;
            }
        }
    }
    LayoutCells();
    update();
}

void CCalendarPage::LayoutCells() {
    const CSettings& settings = *m_host.settings;
    const int layout = m_kind == PageKind::Week        ? settings.WeekViewLayout
                       : m_kind == PageKind::Fortnight ? settings.FortnightViewLayout
                                                       : 0;
    const std::vector<QRect> rects = CellRects(m_kind, layout, width(), height(), m_labelHeight);
    for (size_t i = 0; i < m_cells.size(); ++i) {
        m_cells[i]->setGeometry(rects[i]);
    }
}

void CCalendarPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutCells();
}

void CCalendarPage::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // Someone arriving by keyboard lands on the selected day.
    if (CDayList* cell = CellOf(m_host.doc->GetSelectedDate());
        cell != nullptr && cell->isEnabled()) {
        cell->setFocus(event->reason());
    } else if (!m_cells.empty()) {
        m_cells.front()->setFocus(event->reason());
    }
}

void CCalendarPage::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (m_kind != PageKind::Month) {
        return;
    }
    // The weekday names above the grid, on the normal caption colour.
    const QColor ground = m_labelColor;
    painter.setFont(m_labelFont);
    const std::vector<QRect> labels = MonthLabelRects(width(), m_labelHeight);
    for (int column = 0; column < 7; ++column) {
        const QRect& label = labels[static_cast<size_t>(column)];
        painter.fillRect(label, ground);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(label.adjusted(0, 0, -1, -1));
        painter.setPen(TextColorOn(ground));
        const QFontMetrics metrics(m_labelFont);
        DrawTextLine(painter, label,
                     metrics.elidedText(m_labelTexts[static_cast<size_t>(column)], Qt::ElideRight,
                                        label.width() - 4),
                     metrics, Qt::AlignHCenter);
    }
}

QString CCalendarPage::CaptionTooltip(int cell) const {
    if (!m_host.settings->ShowHeaderTooltips) {
        return {};
    }
    const CDateTime day = m_range.first + CDateTimeSpan(cell, 0, 0, 0);
    return QString::fromStdString(day.Format(m_formats.DateFormat));
}

QString CCalendarPage::EntriesTooltip(int cell) const {
    if (!m_host.settings->ShowEventTooltips) {
        return {};
    }
    const CDayList* list = m_cells[static_cast<size_t>(cell)];
    TipParts parts;
    for (const DayEntry& entry : list->Entries()) {
        if (parts.Full()) {
            parts.CountMore();
        } else {
            parts.Add(OccurrenceTooltip(m_host, *entry.event, entry.occurrenceStart,
                                        list->GetCaption().date, m_formats));
        }
    }
    return parts.Text();
}

bool calendar::RunNavigationKey(const CalendarHost& host, const QKeyEvent& event) {
    const uint32_t command = NavigationCommand(event, *host.settings);
    if (command == 0 || !host.runCommand) {
        return false;
    }
    host.runCommand(command);
    return true;
}

void calendar::PageByWheel(const CalendarHost& host, int& sum, int delta) {
    if (!host.settings->NavigationMousewheel || !host.runCommand) {
        return;
    }
    sum += delta;
    while (sum >= 120) {
        sum -= 120;
        host.runCommand(cmd::kPreviousPage);
    }
    while (sum <= -120) {
        sum += 120;
        host.runCommand(cmd::kNextPage);
    }
}

void CCalendarPage::keyPressEvent(QKeyEvent* event) {
    if (RunNavigationKey(m_host, *event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CCalendarPage::wheelEvent(QWheelEvent* event) {
    if (!m_host.settings->NavigationMousewheel || !m_host.runCommand) {
        event->ignore();
        return;
    }
    WheelPaging(event->angleDelta().y());
    event->accept();
}

void CCalendarPage::WheelPaging(int delta) {
    PageByWheel(m_host, m_wheelSum, delta);
}

} // namespace dv
