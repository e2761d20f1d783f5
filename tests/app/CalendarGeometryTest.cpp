// The calendar pages' ranges, layouts and hit tests as plain functions.
#include "app/CalendarGeometry.h"

#include <QTest>
#include <random>

using namespace dv;
using namespace dv::calendar;

class CalendarGeometryTest : public QObject {
    Q_OBJECT
private slots:
    void rangesAgreeWithADayByDayWalk();
    void extraDaysLeaveTheRangeWhenDisabled();
    void cellsTileThePage();
    void yearGridHitsWhatItDraws();
    void firstWeekendDaysOfAYear();
    void captionBandAndLines();
};

namespace {

CDateTime Day(int y, int m, int d) {
    return CDateTime(y, m, d);
}

} // namespace

void CalendarGeometryTest::rangesAgreeWithADayByDayWalk() {
    // Reference: walk back from the date one day at a time to the week start (or to the grid's
    // anchor fourteen days at a time), so nothing shares the arithmetic under test.
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> days(CDateTime::DayNumber(1900, 1, 1),
                                                CDateTime::DayNumber(2100, 12, 31));
    for (int i = 0; i < 3000; ++i) {
        const CDateTime date = CDateTime::FromDayNumber(days(random));
        const int weekStart = i % 2;
        const int startWeekday = weekStart == 1 ? 0 : 6;
        CDateTime week = date;
        while (week.GetDayOfWeek() != startWeekday) {
            week = week - CDateTimeSpan(1, 0, 0, 0);
        }
        QCOMPARE(MakeRange(PageKind::Week, date, weekStart).first, week);

        const DayRange fortnight = MakeRange(PageKind::Fortnight, date, weekStart);
        QCOMPARE(fortnight.first.GetDayOfWeek(), startWeekday);
        QVERIFY(fortnight.first <= date && date <= fortnight.last);
        const int32_t anchor = weekStart == 1 ? 1 : 7;
        QCOMPARE((fortnight.first.GetDayNumber() - anchor) % 14, 0);

        const DayRange month = MakeRange(PageKind::Month, date, weekStart);
        CDateTime first = Day(date.GetYear(), date.GetMonth(), 1) - CDateTimeSpan(1, 0, 0, 0);
        while (first.GetDayOfWeek() != startWeekday) {
            first = first - CDateTimeSpan(1, 0, 0, 0);
        }
        QCOMPARE(month.first, first);
        QCOMPARE(month.last.GetDayNumber() - month.first.GetDayNumber(), 41);
        QVERIFY(InRange(PageKind::Month, month, date, true));
    }
}

void CalendarGeometryTest::extraDaysLeaveTheRangeWhenDisabled() {
    const DayRange march = MakeRange(PageKind::Month, Day(2007, 3, 15), 1);
    QVERIFY(InRange(PageKind::Month, march, Day(2007, 2, 26), false));
    QVERIFY(!InRange(PageKind::Month, march, Day(2007, 2, 26), true));
    QVERIFY(!InRange(PageKind::Month, march, Day(2007, 4, 1), true));
    QVERIFY(InRange(PageKind::Month, march, CDateTime(2007, 3, 31, 23, 59, 59), true));
    QVERIFY(!InRange(PageKind::Month, march, Day(2007, 4, 9), false));
    // December's grid shows the January after it.
    const DayRange december = MakeRange(PageKind::Month, Day(2007, 12, 1), 1);
    QCOMPARE(ShownMonth(december).year, 2007);
    QCOMPARE(ShownMonth(december).month, 12);
    QVERIFY(!InRange(PageKind::Month, december, Day(2008, 1, 2), true));
}

void CalendarGeometryTest::cellsTileThePage() {
    // Cells share their border lines: the next cell starts on the last pixel of the one before,
    // and the last cell ends within the page's margin.
    const struct {
        PageKind kind;
        int layout;
        int perLine;
    } pages[] = {{PageKind::Week, 0, 4},
                 {PageKind::Week, 1, 4},
                 {PageKind::Fortnight, 0, 7},
                 {PageKind::Fortnight, 1, 7},
                 {PageKind::Month, 0, 7}};
    for (int width : {300, 801, 1366}) {
        for (const auto& page : pages) {
            const int height = width * 2 / 3;
            const std::vector<QRect> cells = CellRects(page.kind, page.layout, width, height, 14);
            QCOMPARE(static_cast<int>(cells.size()), CellCount(page.kind));
            for (size_t i = 0; i < cells.size(); ++i) {
                QVERIFY(cells[i].left() >= 4 && cells[i].right() <= width - 4);
                QVERIFY(cells[i].top() >= 4 && cells[i].bottom() <= height - 4);
                for (size_t j = i + 1; j < cells.size(); ++j) {
                    const QRect overlap = cells[i] & cells[j];
                    QVERIFY2(overlap.isEmpty() || overlap.width() == 1 || overlap.height() == 1,
                             qPrintable(QStringLiteral("cells %1 and %2 at width %3")
                                            .arg(i)
                                            .arg(j)
                                            .arg(width)));
                }
            }
        }
    }
    // Week in two columns: Monday to Thursday on the left, the rest from the middle.
    const std::vector<QRect> week = CellRects(PageKind::Week, 0, 808, 408, 0);
    QCOMPARE(week[0], QRect(4, 4, 401, 101));
    QCOMPARE(week[3].top(), 4 + 3 * 100);
    QCOMPARE(week[4].topLeft(), QPoint(404, 4));
    const std::vector<QRect> month = CellRects(PageKind::Month, 0, 708, 620, 14);
    QCOMPARE(month[0].top(), 23);
    QCOMPARE(month[7].top(), 23 + 98);
    QCOMPARE(MonthLabelRects(708, 14)[1], QRect(104, 4, 101, 20));
    QCOMPARE(LabelWeekday(0, 0), 6);
    QCOMPARE(LabelWeekday(0, 1), 0);
}

void CalendarGeometryTest::yearGridHitsWhatItDraws() {
    const YearGrid grid = MakeYearGrid(700, 300, 60, 12);
    QCOMPARE(grid.x0, 68);
    QCOMPARE(grid.h, 300 - 20);
    // The centre of every drawn cell hits that cell; points left of and above the grid miss.
    for (int row = 0; row < 12; ++row) {
        for (int column = 0; column < 31; ++column) {
            const QRect cell = YearCellRect(grid, column, row);
            const std::optional<YearCell> hit = YearHitTest(grid, cell.center());
            QVERIFY(hit.has_value());
            QCOMPARE(hit->column, column);
            QCOMPARE(hit->row, row);
            if (column < 30) {
                QCOMPARE(YearCellRect(grid, column + 1, row).left(), cell.right());
            }
        }
    }
    QVERIFY(!YearHitTest(grid, QPoint(grid.x0 - 1, 100)).has_value());
    QVERIFY(!YearHitTest(grid, QPoint(100, grid.y0 - 1)).has_value());
    QVERIFY(!YearHitTest(grid, QPoint(700, 100)).has_value());
    // 30 February and 31 April name no date; 29 February does in a leap year.
    const auto centre = [&](int day, int month) {
        return YearCellRect(grid, day - 1, month - 1).center();
    };
    QVERIFY(!YearHitDate(grid, centre(30, 2), 2008).has_value());
    QVERIFY(!YearHitDate(grid, centre(31, 4), 2008).has_value());
    QCOMPARE(*YearHitDate(grid, centre(29, 2), 2008), Day(2008, 2, 29));
    QVERIFY(!YearHitDate(grid, centre(29, 2), 2007).has_value());
    QCOMPARE(YearDotDiameter(1, 20), 8);
    QCOMPARE(YearDotDiameter(2, 20), 10);
    QCOMPARE(YearDotDiameter(9, 20), 18);
}

void CalendarGeometryTest::firstWeekendDaysOfAYear() {
    for (int year = 1990; year < 2030; ++year) {
        QCOMPARE(CDateTime::DayOfWeek(year, 1, FirstSundayOfYear(year)), 6);
        QCOMPARE(CDateTime::DayOfWeek(year, 1, FirstSaturdayOfYear(year)), 5);
        QVERIFY(FirstSundayOfYear(year) <= 7 && FirstSaturdayOfYear(year) <= 7);
    }
}

void CalendarGeometryTest::captionBandAndLines() {
    // Three holidays beside a caption: the taller of the two; below it: the sum.
    QCOMPARE(CaptionBandHeight(3, 12, 16, false), 38);
    QCOMPARE(CaptionBandHeight(1, 12, 16, false), 18);
    QCOMPARE(CaptionBandHeight(3, 12, 16, true), 54);
    QCOMPARE(CaptionBandHeight(0, 12, 16, true), 18);
    QCOMPARE(LineAt(0, 18, 17), 0);
    QCOMPARE(LineAt(0, 18, 18), 1);
    QCOMPARE(LineAt(2, 18, 5), 2);
}

QTEST_GUILESS_MAIN(CalendarGeometryTest)
#include "CalendarGeometryTest.moc"
