#include "app/CalendarGeometry.h"

#include <algorithm>

namespace dv::calendar {

namespace {

constexpr int kMargin = 4;

CDateTime DayStart(int32_t dayNumber) {
    return CDateTime::FromDayNumber(dayNumber, 0);
}

CDateTime DayEnd(int32_t dayNumber) {
    return CDateTime::FromDayNumber(dayNumber, 23 * 3600 + 59 * 60 + 59);
}

int FloorDiv(int32_t a, int32_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

int CellCount(PageKind kind) {
    switch (kind) {
    case PageKind::Week:
        return 7;
    case PageKind::Fortnight:
        return 14;
    case PageKind::Month:
        break;
    }
    return 42;
}

DayRange MakeRange(PageKind kind, const CDateTime& selected, int32_t weekStart) {
    const bool monday = weekStart == 1;
    const int32_t day = selected.GetDayNumber();
    int32_t first = day;
    switch (kind) {
    case PageKind::Week: {
        const int weekday = selected.GetDayOfWeek();
        first = day - (monday ? weekday : (weekday + 1) % 7);
        break;
    }
    case PageKind::Fortnight: {
        // Day 1 is a Monday, day 7 the Sunday after it.
        const int32_t anchor = monday ? 1 : 7;
        first = anchor + FloorDiv(day - anchor, 14) * 14;
        break;
    }
    case PageKind::Month: {
        const int32_t firstOfMonth =
            CDateTime::DayNumber(selected.GetYear(), selected.GetMonth(), 1);
        const int weekday = CDateTime::FromDayNumber(firstOfMonth).GetDayOfWeek();
        const int offset = monday ? (weekday == 0 ? 7 : weekday) : weekday + 1;
        first = firstOfMonth - offset;
        break;
    }
    }
    return {DayStart(first), DayEnd(first + CellCount(kind) - 1)};
}

MonthOfRange ShownMonth(const DayRange& range) {
    int year = range.first.GetYear();
    int month = range.first.GetMonth() + 1;
    if (month > 12) {
        month = 1;
        ++year;
    }
    return {year, month};
}

bool InRange(PageKind kind, const DayRange& range, const CDateTime& date, bool disableExtraDays) {
    if (date < range.first || date > range.last) {
        return false;
    }
    if (kind == PageKind::Month && disableExtraDays) {
        const MonthOfRange shown = ShownMonth(range);
        return date.GetYear() == shown.year && date.GetMonth() == shown.month;
    }
    return true;
}

std::vector<QRect> CellRects(PageKind kind, int layout, int width, int height, int labelHeight) {
    std::vector<QRect> cells;
    const int count = CellCount(kind);
    cells.reserve(count);
    const int innerW = width - 2 * kMargin;
    const int innerH = height - 2 * kMargin;
    if (kind == PageKind::Month) {
        const int top = labelHeight + 9;
        const int cellW = innerW / 7 + 1;
        const int cellH = (height - (labelHeight + 6) - 2 * kMargin) / 6 + 1;
        for (int i = 0; i < count; ++i) {
            const int column = i % 7;
            const int row = i / 7;
            cells.emplace_back(kMargin + column * (cellW - 1), top + row * (cellH - 1), cellW,
                               cellH);
        }
        return cells;
    }
    // Week: four days in the first column (row), three in the second; fortnight: seven each.
    const int perLine = kind == PageKind::Week ? 4 : 7;
    if (layout == 0) {
        const int cellW = innerW / 2 + 1;
        const int cellH = innerH / perLine + 1;
        for (int i = 0; i < count; ++i) {
            const int line = i / perLine;
            const int slot = i % perLine;
            const int x = line == 0 ? kMargin : width / 2;
            cells.emplace_back(x, kMargin + slot * (cellH - 1), cellW, cellH);
        }
    } else {
        const int cellW = innerW / perLine + 1;
        const int cellH = innerH / 2 + 1;
        for (int i = 0; i < count; ++i) {
            const int line = i / perLine;
            const int slot = i % perLine;
            const int y = line == 0 ? kMargin : height / 2;
            cells.emplace_back(kMargin + slot * (cellW - 1), y, cellW, cellH);
        }
    }
    return cells;
}

std::vector<QRect> MonthLabelRects(int width, int labelHeight) {
    std::vector<QRect> labels;
    const int cellW = (width - 2 * kMargin) / 7 + 1;
    for (int column = 0; column < 7; ++column) {
        labels.emplace_back(kMargin + column * (cellW - 1), kMargin, cellW, labelHeight + 6);
    }
    return labels;
}

int LabelWeekday(int column, int32_t weekStart) {
    return weekStart != 0 ? column : (column + 6) % 7;
}

YearGrid MakeYearGrid(int panelWidth, int panelHeight, int monthLabelWidth, int dayHeaderHeight) {
    YearGrid grid;
    grid.x0 = monthLabelWidth + 8;
    grid.y0 = dayHeaderHeight + 8;
    grid.w = panelWidth - grid.x0;
    grid.h = panelHeight - grid.y0;
    return grid;
}

QRect YearCellRect(const YearGrid& grid, int column, int row) {
    const int left = grid.w * column / 31 - 1 + grid.x0;
    const int top = grid.h * row / 12 - 1 + grid.y0;
    const int right = grid.w * (column + 1) / 31 + grid.x0;
    const int bottom = grid.h * (row + 1) / 12 + grid.y0;
    // QRect's right and bottom are inclusive; the drawn outline covers [left, right - 1].
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

std::optional<YearCell> YearHitTest(const YearGrid& grid, QPoint point) {
    if (grid.w <= 0 || grid.h <= 0) {
        return std::nullopt;
    }
    int column = (point.x() - grid.x0) * 31 / grid.w;
    int row = (point.y() - grid.y0) * 12 / grid.h;
    if (point.x() < grid.x0) {
        --column;
    }
    if (point.y() < grid.y0) {
        --row;
    }
    if (column < 0 || column > 30 || row < 0 || row > 11) {
        return std::nullopt;
    }
    return YearCell{column, row};
}

std::optional<CDateTime> YearHitDate(const YearGrid& grid, QPoint point, int year) {
    const std::optional<YearCell> cell = YearHitTest(grid, point);
    if (!cell || cell->column >= CDateTime::DaysInMonth(year, cell->row + 1)) {
        return std::nullopt;
    }
    return CDateTime(year, cell->row + 1, cell->column + 1);
}

int YearDotDiameter(int count, int cellHeight) {
    return std::min(2 * count + 6, cellHeight - 2);
}

int FirstSundayOfYear(int year) {
    return 7 - CDateTime::DayOfWeek(year, 1, 1);
}

int FirstSaturdayOfYear(int year) {
    return 7 - (CDateTime::DayOfWeek(year, 1, 1) + 1) % 7;
}

int CaptionBandHeight(int holidayCount, int holidayLineHeight, int captionLineHeight,
                      bool holidaysBelowDate) {
    const int holidays = holidayCount * holidayLineHeight;
    return (holidaysBelowDate ? holidays + captionLineHeight
                              : std::max(holidays, captionLineHeight)) +
           2;
}

int LineAt(int firstVisible, int lineHeight, int y) {
    return (firstVisible * lineHeight + y) / lineHeight;
}

} // namespace dv::calendar
