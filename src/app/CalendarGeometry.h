#pragma once

#include "core/CDateTime.h"

#include <QPoint>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

// Ranges, cell layouts and hit tests of the calendar pages, kept free of widgets so that painting,
// mouse handling and the tests share one answer.
namespace dv::calendar {

enum class PageKind { Week, Fortnight, Month };

/// Days shown by a page: 7, 14 or 42.
int CellCount(PageKind kind);

/// The days a page shows: `first` at 00:00:00, `last` at 23:59:59.
struct DayRange {
    CDateTime first;
    CDateTime last;
    int32_t firstDayNumber() const { return first.GetDayNumber(); }
};

/// The range of a page that contains `selected` (only its date counts). `weekStart` 1 starts
/// weeks on Monday, any other value on Sunday. Fortnights lie on one fixed grid counted from the
/// first week of the calendar, so the range never depends on where the user came from; a month
/// grid always begins in the previous month.
DayRange MakeRange(PageKind kind, const CDateTime& selected, int32_t weekStart);

/// The month (1..12) and year a month-page range shows: the month after that of its first day.
struct MonthOfRange {
    int year = 0;
    int month = 0;
};
MonthOfRange ShownMonth(const DayRange& range);

/// Whether `date` belongs to the range; on the month page with `disableExtraDays` only the shown
/// month's days do.
bool InRange(PageKind kind, const DayRange& range, const CDateTime& date, bool disableExtraDays);

/// The cell rectangles of a page of `width` × `height` pixels, in day order. `layout` is the
/// week or fortnight layout setting (0 columns, 1 rows); `labelHeight` the text height of the
/// month page's weekday labels.
std::vector<QRect> CellRects(PageKind kind, int layout, int width, int height, int labelHeight);

/// The seven weekday label rectangles above the month grid.
std::vector<QRect> MonthLabelRects(int width, int labelHeight);

/// Weekday (0 Monday .. 6 Sunday) shown in label column `column` of the month page.
int LabelWeekday(int column, int32_t weekStart);

// ---- The year grid: 12 rows of months, 31 columns of days.

struct YearGrid {
    int x0 = 0; ///< left of the cell area
    int y0 = 0; ///< top of the cell area
    int w = 0;  ///< width of the cell area
    int h = 0;  ///< height of the cell area
    friend bool operator==(const YearGrid&, const YearGrid&) = default;
};

/// The cell area left beside the month labels and below the day numbers.
YearGrid MakeYearGrid(int panelWidth, int panelHeight, int monthLabelWidth, int dayHeaderHeight);

/// The rectangle of day column `column` (0..30) in month row `row` (0..11), borders included;
/// neighbours share their border line.
QRect YearCellRect(const YearGrid& grid, int column, int row);

/// The column and row under a point; nullopt outside the grid.
struct YearCell {
    int column = 0;
    int row = 0;
};
std::optional<YearCell> YearHitTest(const YearGrid& grid, QPoint point);

/// The date under a point in `year`; nullopt outside the grid and past a month's end.
std::optional<CDateTime> YearHitDate(const YearGrid& grid, QPoint point, int year);

/// Diameter of the occurrence dot of a cell with `count` occurrences.
int YearDotDiameter(int count, int cellHeight);

/// Day of January of the year's first Sunday (first Saturday).
int FirstSundayOfYear(int year);
int FirstSaturdayOfYear(int year);

// ---- The day list.

/// Height of a day's caption band with `holidayCount` holiday lines.
int CaptionBandHeight(int holidayCount, int holidayLineHeight, int captionLineHeight,
                      bool holidaysBelowDate);

/// The entry line under `y` (relative to the list's top) when the list is scrolled to
/// `firstVisible`.
int LineAt(int firstVisible, int lineHeight, int y);

} // namespace dv::calendar
