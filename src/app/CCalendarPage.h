#pragma once

#include "app/CalendarGeometry.h"
#include "app/CalendarHost.h"
#include "document/DocumentObserver.h"
#include "export/DayListing.h"
#include "format/FormatSettings.h"

#include <QKeyEvent>
#include <QWidget>
#include <string>
#include <vector>

namespace dv {

class CDayList;
struct DayEntry;

/// What the week, fortnight and month pages share: a run of day cells filled from the day
/// listing, kept in step with the document by its update hints, and the keys and wheel that page
/// through the calendar. The pages differ only in their range, layout and caption format.
class CCalendarPage : public QWidget, public IDocumentObserver {
    Q_OBJECT
public:
    CCalendarPage(calendar::PageKind kind, const CalendarHost& host, QWidget* parent = nullptr);
    ~CCalendarPage() override;

    calendar::PageKind Kind() const { return m_kind; }
    const calendar::DayRange& Range() const { return m_range; }
    int CellCountShown() const { return static_cast<int>(m_cells.size()); }
    CDayList* Cell(int index) const { return m_cells.at(static_cast<size_t>(index)); }
    /// The cell showing `date`, or null.
    CDayList* CellOf(const CDateTime& date) const;
    /// The weekday label texts above the month grid (empty on the other pages).
    const std::vector<QString>& Labels() const { return m_labelTexts; }

    // ---- IDocumentObserver
    void OnUpdate(UpdateHint hint, const HintObject& object) override;
    void OnInitialUpdate() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool Deferred() const;
    /// Brings a page that skipped updates while it was not shown up to date.
    void CatchUp();
    /// Recomputes the range when the page needs it (always for the week).
    void RecomputeRange(bool always);
    void Rebuild();
    void AddEntriesOf(CDateEntry& event);
    void RemoveEntriesOf(const void* event);
    void ApplyFontsAndLayout();
    void LayoutCells();
    void MoveSelection(const CDateTime& previous);
    void RecolourDay(const CDateTime& date);
    QColor CaptionColor(int cell) const;
    std::string CaptionFormat(const CDateTime& day) const;
    QString CaptionTooltip(int cell) const;
    QString EntriesTooltip(int cell) const;
    bool InRange(const CDateTime& date) const;
    void ConnectCell(CDayList* cell);
    /// Sums the wheel's turns; each whole notch pages once.
    void WheelPaging(int delta);

    calendar::PageKind m_kind;
    CalendarHost m_host;
    calendar::DayRange m_range;
    int32_t m_weekStartUsed = -1;
    bool m_rangeValid = false;
    std::vector<CDayList*> m_cells;
    /// Caption colour of each cell by weekday and holidays, before today and the selection.
    std::vector<QColor> m_baseColors;
    std::vector<QString> m_labelTexts;
    int m_labelHeight = 0;
    QFont m_labelFont;
    QColor m_labelColor;
    FormatSettings m_formats;
    FormatSettings m_shortFormats; ///< m_formats without end times, for narrow lines
    CDateTime m_today;
    int m_wheelSum = 0;
    bool m_pendingRebuild = false; ///< a hint came while the page was not shown
};

/// Seven days, in two columns or two rows.
class CWeekPage final : public CCalendarPage {
    Q_OBJECT
public:
    explicit CWeekPage(const CalendarHost& host, QWidget* parent = nullptr)
        : CCalendarPage(calendar::PageKind::Week, host, parent) {}
};

/// Fourteen days of the fixed fortnight grid.
class CTwoWeekPage final : public CCalendarPage {
    Q_OBJECT
public:
    explicit CTwoWeekPage(const CalendarHost& host, QWidget* parent = nullptr)
        : CCalendarPage(calendar::PageKind::Fortnight, host, parent) {}
};

/// Six weeks around a month, under a row of weekday names.
class CMonthPage final : public CCalendarPage {
    Q_OBJECT
public:
    explicit CMonthPage(const CalendarHost& host, QWidget* parent = nullptr)
        : CCalendarPage(calendar::PageKind::Month, host, parent) {}
};

/// Pieces the calendar pages and the year page share.
namespace calendar {

/// The listing options of the pages: the settings' done marking and icons, the program's
/// hidden-events switch and the document's event filter.
DayListingOptions PageListingOptions(const CalendarHost& host, const FormatSettings& formats);
/// The active holiday texts of `date` (with the language when the settings ask for it).
QStringList HolidayTexts(const CalendarHost& host, const CDateTime& date);
/// An occurrence's tooltip: its tooltip-format text for `day`, and when a reminder of it is
/// still to come, a line with that time.
QString OccurrenceTooltip(const CalendarHost& host, CDateEntry& event, const CDateTime& start,
                          const CDateTime& day, const FormatSettings& formats);
/// The entries of a few of the document's events in `dayCount` days from `firstDay`.
std::vector<std::vector<DayEntry>> EventListing(const CalendarHost& host,
                                                const std::vector<CDateEntry*>& events,
                                                const CDateTime& firstDay, int dayCount,
                                                const FormatSettings& formats);
/// The main-window command of a paging or day-step key (0 for any other key).
uint32_t NavigationCommand(const QKeyEvent& event, const CSettings& settings);
/// Runs the navigation command of a key through the host; false when the key is none.
bool RunNavigationKey(const CalendarHost& host, const QKeyEvent& event);
/// Adds a wheel turn to `sum` and pages once per notch of 120, back for a turn away from the
/// user; nothing when the settings leave the wheel to scrolling.
void PageByWheel(const CalendarHost& host, int& sum, int delta);
/// Frees the entries of a page's previous days on a thread of its own, after the new ones are
/// shown: a dense month holds tens of thousands of texts, and freeing them would otherwise sit
/// between the user's click and the next frame.
void DiscardLater(std::vector<std::vector<DayEntry>> entries);
/// Sends what a day list does to the main window through the host.
void ConnectToHost(CDayList* list, const CalendarHost& host);

} // namespace calendar

} // namespace dv
