#pragma once

#include "app/CalendarGeometry.h"
#include "core/CDateTime.h"

#include <QFont>
#include <QPixmap>
#include <QRegion>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace dv {

/// The year grid ("Yearpanel"): twelve rows of months, thirty-one columns of days, each cell in
/// its colour with a dot that grows with the number of occurrences on the day. It draws what
/// the year page feeds it and redraws only the cells that changed.
class CYearPanel final : public QWidget {
    Q_OBJECT
public:
    /// A cell colour: a stored 0x00BBGGRR value or a SystemColor marker.
    using Colors = std::array<std::array<uint32_t, 31>, 12>;
    using Counts = std::array<std::array<int32_t, 31>, 12>;

    explicit CYearPanel(QWidget* parent = nullptr);

    const CDateTime& ShownDate() const { return m_shown; }
    /// Makes `date` the shown date: a new year resets the base colours and redraws everything,
    /// otherwise only the two selected cells and their labels are redrawn.
    void SetShownDate(const CDateTime& date);
    /// Label colours and font (NormalColor, SelectedColor, CalendarLabelYearViewFont).
    void SetLabelStyle(uint32_t normal, uint32_t selected, const QFont& font);

    /// A rebuild: between Begin and End nothing is drawn; End redraws exactly the cells whose
    /// colour or count differ from what was last drawn.
    void BeginRebuild(uint32_t markerColor);
    void EndRebuild();
    Colors& CellColors() { return m_colors; }
    Counts& CellCounts() { return m_counts; }
    const Colors& CellColors() const { return m_colors; }
    const Counts& CellCounts() const { return m_counts; }

    const calendar::YearGrid& Grid() const { return m_grid; }
    /// The rectangle of a date's cell in the panel.
    QRect CellRect(const CDateTime& date) const;
    /// Where the panel asked to be redrawn since the last paint (for tests and the benchmark).
    const QRegion& PendingRedraw() const { return m_pending; }

    /// The tooltip of a date; empty: none.
    std::function<QString(const CDateTime& date)> tooltipText;

signals:
    void DateClicked(const dv::CDateTime& date);
    void NewRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ResetBase();
    void UpdateGeometry();
    void Redraw(const QRect& rect);
    void RedrawSelection(const CDateTime& date);
    QRect MonthLabelRect(int row) const;
    QRect DayHeaderRect(int column) const;
    const QPixmap& Dot(int diameter, qreal ratio);

    CDateTime m_shown;
    std::optional<CDateTime> m_hovered;
    Colors m_colors{};
    Counts m_counts{};
    Colors m_drawnColors{};
    Counts m_drawnCounts{};
    uint32_t m_markerColor = 0x00C400;
    bool m_drawing = true;
    calendar::YearGrid m_grid;
    uint32_t m_normalColor = 0xC8F0FF;
    uint32_t m_selectedColor = 0xFFA080;
    QFont m_labelFont;
    QRegion m_pending;
    std::map<int, QPixmap> m_dots;
    qreal m_dotRatio = 0;
    uint32_t m_dotColor = 0;
};

} // namespace dv
