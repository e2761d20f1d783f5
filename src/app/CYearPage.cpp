#include "app/CYearPage.h"

#include "app/CCalendarPage.h"
#include "app/CCurrentTimeBar.h"
#include "app/CDayList.h"
#include "app/CommandTable.h"
#include "app/Tooltips.h"
#include "document/CDayvaultDoc.h"
#include "document/EntryFilter.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "settings/CSettings.h"

#include <QKeyEvent>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <future>
#include <span>
#include <thread>
#include <utility>

namespace dv {

using namespace calendar;

CYearPage::CYearPage(const CalendarHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    m_panel = new CYearPanel(this);
    m_panel->tooltipText = [this](const CDateTime& date) { return DayTooltip(date); };
    connect(m_panel, &CYearPanel::DateClicked, this, [this](const CDateTime& date) {
        if (m_host.selectDate) {
            m_host.selectDate(date);
        }
    });
    connect(m_panel, &CYearPanel::NewRequested, this, [this] {
        if (m_host.runCommand) {
            m_host.runCommand(cmd::kNewEntry);
        }
    });
    m_list = new CDayList(this);
    m_list->setObjectName(QStringLiteral("YearDayList"));
    ConnectToHost(m_list, m_host);
    connect(m_list, &CDayList::WheelPaging, this, &CYearPage::WheelPaging);
    m_list->tooltipText = [this](bool caption) -> QString {
        const CDateTime day = m_list->GetCaption().date;
        if (caption) {
            return m_host.settings->ShowHeaderTooltips
                       ? QString::fromStdString(day.Format(m_formats.DateFormat))
                       : QString();
        }
        if (!m_host.settings->ShowEventTooltips) {
            return {};
        }
        TipParts parts;
        for (const DayEntry& entry : m_list->Entries()) {
            if (parts.Full()) {
                parts.CountMore();
            } else {
                parts.Add(
                    OccurrenceTooltip(m_host, *entry.event, entry.occurrenceStart, day, m_formats));
            }
        }
        return parts.Text();
    };
    setFocusPolicy(Qt::TabFocus);
    m_host.doc->AddObserver(*this);
    ApplyOptions();
    m_panel->SetShownDate(m_host.doc->GetSelectedDate());
    if (Deferred()) {
        m_pendingRebuild = true; // a page of a window not shown yet: filled when it shows
    } else {
        Rebuild();
    }
}

bool CYearPage::Deferred() const {
    // A page of the sheet that is not shown, or of a minimised window, catches up when shown.
    return parentWidget() != nullptr && (!isVisible() || window()->isMinimized());
}

CYearPage::~CYearPage() {
    m_host.doc->RemoveObserver(*this);
}

void CYearPage::ApplyOptions() {
    const CSettings& settings = *m_host.settings;
    m_panel->SetLabelStyle(settings.NormalColor, settings.SelectedColor,
                           ToQFont(settings.CalendarLabelYearViewFont));
    m_list->SetEntryFont(ToQFont(settings.CalendarEventFont));
    m_list->SetHolidaysBelowDate(settings.HolidayDisplayBelowDate);
    m_list->SetWheelPages(settings.NavigationMousewheel);
}

void CYearPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int w = width();
    const int h = height();
    const int panelHeight = (2 * h - 48) / 3;
    m_panel->setGeometry(4, 4, w - 12, panelHeight);
    const int y = panelHeight + 12;
    m_list->setGeometry(4, y, w - 12, h - y - 4);
}

void CYearPage::EndOfTurn() {
    m_rebuiltThisTurn = false;
    if (!std::exchange(m_batchPending, false)) {
        return;
    }
    if (Deferred()) {
        m_pendingRebuild = true;
    } else {
        Rebuild();
    }
}

void CYearPage::OnUpdate(UpdateHint hint, const HintObject& object) {
    if (hint == UpdateHint::OptionsChanged) {
        ApplyOptions();
        return;
    }
    if (!AffectsEvents(hint)) {
        return; // the time ticked, or to-dos and categories changed
    }
    if (Deferred()) {
        m_pendingRebuild = true; // caught up when the page is shown
        return;
    }
    // A tick or a command that changes many events sends a hint for each; the grid is recounted
    // for the first of a turn of the event loop, and once more when the turn ends for the rest.
    const bool perEvent = hint == UpdateHint::EventAdded || hint == UpdateHint::EventDeleted ||
                          hint == UpdateHint::EventChanged;
    if (perEvent && m_rebuiltThisTurn) {
        if (const auto* identity = std::get_if<EntryIdentity>(&object)) {
            m_list->RemoveEntriesOf(identity->address); // the day list never holds a freed event
        }
        m_batchPending = true;
        return;
    }
    if (perEvent) {
        m_rebuiltThisTurn = true;
        QTimer::singleShot(0, this, &CYearPage::EndOfTurn);
    }
    const CDateTime selected = m_host.doc->GetSelectedDate();
    const int oldYear = m_panel->ShownDate().GetYear();
    if (m_panel->ShownDate() != selected) {
        m_panel->SetShownDate(selected);
    }
    // Screen readers hear which day the grid has selected.
    m_panel->setAccessibleDescription(
        QString::fromStdString(selected.Format(m_host.settings->DateFormat)));
    // A new day moves today's colour, so it rebuilds too.
    const bool rebuild = oldYear != selected.GetYear() || hint != UpdateHint::SelectedDateChanged;
    if (rebuild) {
        Rebuild();
    } else {
        FillDayList();
    }
}

void CYearPage::OnInitialUpdate() {
    if (Deferred()) {
        m_pendingRebuild = true;
        return;
    }
    m_panel->SetShownDate(m_host.doc->GetSelectedDate());
    Rebuild();
}

void CYearPage::MarkEvents() {
    const int year = m_panel->ShownDate().GetYear();
    const CDateTime first(year, 1, 1, 0, 0, 0);
    const CDateTime last(year, 12, 31, 23, 59, 59);
    const int32_t firstDay = first.GetDayNumber();
    const int32_t lastDay = last.GetDayNumber();
    const bool showHidden = m_host.showHidden && m_host.showHidden();
    const bool filtering = m_host.doc->GetFilterSwitch();
    const FilterState filter = m_host.doc->GetEventFilter();
    const FormatSettings& formats = m_formats;

    // Counts per day of the year; consecutive runs of events on up to four threads, each event
    // touched by one thread only (its scan state moves), the counts summed at the end.
    const auto& events = m_host.doc->GetDateEntries();
    using DayCounts = std::vector<int32_t>;
    // The events on the selected day, for its list: no second scan of every event.
    const int32_t selectedDay = m_panel->ShownDate().GetDayNumber();
    const auto markRun = [&](std::span<const std::unique_ptr<CDateEntry>> run, DayCounts& counts,
                             std::vector<CDateEntry*>& onSelectedDay) {
        for (const auto& owned : run) {
            CDateEntry& event = *owned;
            if (event.GetData().Display == 1 && !showHidden) {
                continue;
            }
            CDateTime start;
            CDateTime end;
            for (bool found = event.FindFirstOccurrence(first, last, start, end); found;
                 found = event.FindNextOccurrence(first, last, start, end)) {
                if (filtering && !PassesEventFilter(filter, true, event, start, formats)) {
                    continue;
                }
                const int32_t from = std::max(start.GetDayNumber(), firstDay);
                const int32_t to = std::min(end.GetDayNumber(), lastDay);
                for (int32_t day = from; day <= to; ++day) {
                    ++counts[static_cast<size_t>(day - firstDay)];
                }
                if (from <= selectedDay && selectedDay <= to &&
                    (onSelectedDay.empty() || onSelectedDay.back() != &event)) {
                    onSelectedDay.push_back(&event);
                }
            }
        }
    };
    const size_t dayCount = static_cast<size_t>(lastDay - firstDay + 1);
    const unsigned hardware = std::max(std::thread::hardware_concurrency(), 1u);
    const size_t shares =
        std::min<size_t>({hardware, 4, std::max<size_t>(events.size() / 1500, 1)});
    std::vector<DayCounts> counts(shares, DayCounts(dayCount, 0));
    std::vector<std::vector<CDateEntry*>> onSelectedDay(shares);
    std::vector<std::future<void>> others;
    const size_t per = (events.size() + shares - 1) / shares;
    const std::span<const std::unique_ptr<CDateEntry>> all(events);
    for (size_t i = 0; i < shares; ++i) {
        const size_t begin = std::min(events.size(), i * per);
        const size_t size = std::min(events.size() - begin, per);
        if (i + 1 < shares) {
            others.push_back(std::async(std::launch::async, [&, begin, size, i] {
                markRun(all.subspan(begin, size), counts[i], onSelectedDay[i]);
            }));
        } else {
            markRun(all.subspan(begin, size), counts[i], onSelectedDay[i]);
        }
    }
    for (auto& other : others) {
        other.get();
    }
    m_selectedDayEvents.clear();
    for (const auto& share : onSelectedDay) {
        m_selectedDayEvents.insert(m_selectedDayEvents.end(), share.begin(), share.end());
    }
    CYearPanel::Counts& cells = m_panel->CellCounts();
    for (size_t day = 0; day < dayCount; ++day) {
        int32_t total = 0;
        for (const DayCounts& share : counts) {
            total += share[day];
        }
        if (total > 0) {
            const CDateTime date = CDateTime::FromDayNumber(firstDay + static_cast<int32_t>(day));
            cells[date.GetMonth() - 1][date.GetDay() - 1] = total;
        }
    }
}

void CYearPage::Rebuild() {
    ++m_rebuilds;
    const CSettings& settings = *m_host.settings;
    m_formats = settings.GetFormatSettings();
    m_panel->BeginRebuild(settings.DatesInYearViewColor);
    MarkEvents();
    const int year = m_panel->ShownDate().GetYear();
    CYearPanel::Colors& colors = m_panel->CellColors();
    const auto paint = [&](int firstDayOfJanuary, uint32_t color) {
        for (CDateTime day(year, 1, firstDayOfJanuary); day.GetYear() == year;
             day += CDateTimeSpan(7, 0, 0, 0)) {
            colors[day.GetMonth() - 1][day.GetDay() - 1] = color;
        }
    };
    if (settings.YearViewSundays) {
        paint(FirstSundayOfYear(year), settings.SundayColor);
    }
    if (settings.YearViewSaturdays) {
        paint(FirstSaturdayOfYear(year), settings.SaturdayColor);
    }
    if (settings.YearViewHolidays && m_host.holidays != nullptr) {
        for (CDateTime day(year, 1, 1); day.GetYear() == year; day += CDateTimeSpan(1, 0, 0, 0)) {
            for (const HolidayDayRecord& record : m_host.holidays->HolidaysOn(day)) {
                if (m_host.holidaySettings == nullptr ||
                    m_host.holidaySettings->IsActive(record.module, record.name)) {
                    colors[day.GetMonth() - 1][day.GetDay() - 1] = settings.HolidayColor;
                    break;
                }
            }
        }
    }
    const CDateTime now = m_host.doc->GetNow();
    if (now.GetYear() == year) {
        colors[now.GetMonth() - 1][now.GetDay() - 1] = settings.TodayColor;
    }
    m_panel->EndRebuild();
    FillDayList(&m_selectedDayEvents);
}

void CYearPage::FillDayList(const std::vector<CDateEntry*>* candidates) {
    const CSettings& settings = *m_host.settings;
    const CDateTime day = m_host.doc->GetSelectedDate().GetDate();
    auto listing = candidates != nullptr
                       ? EventListing(m_host, *candidates, day, 1, m_formats)
                       : BuildDayListing(m_host.doc->GetDateEntries(), day, 1, m_formats,
                                         PageListingOptions(m_host, m_formats));
    CDayList::Caption caption;
    caption.date = day;
    caption.text = QString::fromStdString(day.Format(settings.YearViewFormat));
    caption.font = ToQFont(settings.CalendarCaptionDateFont);
    caption.holidayFont = ToQFont(settings.CalendarCaptionHolidayFont);
    caption.holidays = HolidayTexts(m_host, day);
    const int weekday = day.GetDayOfWeek();
    uint32_t color = weekday == 6   ? settings.SundayColor
                     : weekday == 5 ? settings.SaturdayColor
                                    : settings.NormalColor;
    if (!caption.holidays.isEmpty()) {
        color = settings.HolidayColor;
    }
    if (day == m_host.doc->GetNow().GetDate()) {
        color = settings.TodayColor;
    }
    caption.color = FromColorRef(color);
    m_list->SetCaption(std::move(caption));
    listing.front() = m_list->SetEntries(std::move(listing.front()));
}

QString CYearPage::DayTooltip(const CDateTime& date) {
    if (!m_host.settings->ShowEventTooltips) {
        return {};
    }
    const CDateTime from = date.GetDate();
    const CDateTime to = from + CDateTimeSpan(0, 23, 59, 59);
    const bool showHidden = m_host.showHidden && m_host.showHidden();
    TipParts parts;
    for (const auto& owned : m_host.doc->GetDateEntries()) {
        CDateEntry& event = *owned;
        if (event.GetData().Display == 1 && !showHidden) {
            continue;
        }
        CDateTime start;
        CDateTime end;
        for (bool found = event.FindFirstOccurrence(from, to, start, end); found;
             found = event.FindNextOccurrence(from, to, start, end)) {
            if (!PassesEventFilter(*m_host.doc, event, start, m_formats)) {
                continue;
            }
            if (parts.Full()) {
                parts.CountMore();
            } else {
                parts.Add(OccurrenceTooltip(m_host, event, start, from, m_formats));
            }
        }
    }
    return parts.Text();
}

void CYearPage::keyPressEvent(QKeyEvent* event) {
    if (RunNavigationKey(m_host, *event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CYearPage::wheelEvent(QWheelEvent* event) {
    if (!m_host.settings->NavigationMousewheel) {
        event->ignore();
        return;
    }
    WheelPaging(event->angleDelta().y());
    event->accept();
}

void CYearPage::WheelPaging(int delta) {
    PageByWheel(m_host, m_wheelSum, delta);
}

void CYearPage::showEvent(QShowEvent* event) {
    CatchUp();
    QWidget::showEvent(event);
}

void CYearPage::CatchUp() {
    if (m_pendingRebuild && !Deferred()) {
        m_pendingRebuild = false;
        m_panel->SetShownDate(m_host.doc->GetSelectedDate());
        m_panel->setAccessibleDescription(QString::fromStdString(
            m_host.doc->GetSelectedDate().Format(m_host.settings->DateFormat)));
        Rebuild();
    }
}

void CYearPage::hideEvent(QHideEvent* event) {
    // Another page became active: the grid's tip must not stay behind.
    QToolTip::hideText();
    QWidget::hideEvent(event);
}

void CYearPage::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    m_panel->setFocus(event->reason());
}

} // namespace dv
