#include "app/CYearPanel.h"

#include "app/CalendarHost.h"
#include "app/Tooltips.h"
#include "core/LocaleNames.h"
#include "export/DayListing.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>

namespace dv {

using namespace calendar;

CYearPanel::CYearPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Yearpanel"));
    setAccessibleName(QString::fromStdString(LoadString(kIdsYearPanelName)));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_shown = CDateTime::Now().GetDate();
    ResetBase();
}

void CYearPanel::SetLabelStyle(uint32_t normal, uint32_t selected, const QFont& font) {
    m_normalColor = normal;
    m_selectedColor = selected;
    m_labelFont = font;
    UpdateGeometry();
    update();
}

QRect CYearPanel::CellRect(const CDateTime& date) const {
    return YearCellRect(m_grid, date.GetDay() - 1, date.GetMonth() - 1);
}

QRect CYearPanel::MonthLabelRect(int row) const {
    const QRect cell = YearCellRect(m_grid, 0, row);
    return QRect(0, cell.top(), m_grid.x0 - 3, cell.height());
}

QRect CYearPanel::DayHeaderRect(int column) const {
    const QRect cell = YearCellRect(m_grid, column, 0);
    return QRect(cell.left(), 0, cell.width(), m_grid.y0 - 3);
}

void CYearPanel::Redraw(const QRect& rect) {
    m_pending += rect;
    update(rect);
}

void CYearPanel::RedrawSelection(const CDateTime& date) {
    Redraw(CellRect(date).adjusted(-1, -1, 1, 1));
    Redraw(MonthLabelRect(date.GetMonth() - 1));
    Redraw(DayHeaderRect(date.GetDay() - 1));
}

void CYearPanel::ResetBase() {
    const int year = m_shown.GetYear();
    for (int row = 0; row < 12; ++row) {
        const int days = CDateTime::DaysInMonth(year, row + 1);
        for (int column = 0; column < 31; ++column) {
            m_colors[row][column] = column < days ? kColorWindow : kColorButtonFace;
            m_counts[row][column] = 0;
        }
    }
}

void CYearPanel::SetShownDate(const CDateTime& date) {
    const CDateTime old = m_shown;
    m_shown = date.GetDate();
    if (old.GetYear() != m_shown.GetYear()) {
        ResetBase();
        Redraw(rect());
        return;
    }
    if (old != m_shown) {
        RedrawSelection(old);
        RedrawSelection(m_shown);
    }
}

void CYearPanel::BeginRebuild(uint32_t markerColor) {
    m_drawing = false;
    ResetBase();
    if (markerColor != m_markerColor) {
        m_markerColor = markerColor;
        m_drawnCounts = {}; // every dot must be drawn again
    }
}

void CYearPanel::EndRebuild() {
    m_drawing = true;
    for (int row = 0; row < 12; ++row) {
        for (int column = 0; column < 31; ++column) {
            if (m_colors[row][column] != m_drawnColors[row][column] ||
                m_counts[row][column] != m_drawnCounts[row][column]) {
                Redraw(YearCellRect(m_grid, column, row));
            }
        }
    }
}

const QPixmap& CYearPanel::Dot(int diameter, qreal ratio) {
    // A year shows a few sizes of dot hundreds of times: each size is drawn once, smoothly, at
    // the screen's pixel density.
    if (ratio != m_dotRatio || m_dotColor != m_markerColor) {
        m_dots.clear();
        m_dotRatio = ratio;
        m_dotColor = m_markerColor;
    }
    QPixmap& dot = m_dots[diameter];
    if (dot.isNull()) {
        const int side = static_cast<int>(std::ceil(diameter * ratio));
        dot = QPixmap(side, side);
        dot.setDevicePixelRatio(ratio);
        dot.fill(Qt::transparent);
        QPainter painter(&dot);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(FromColorRef(m_markerColor));
        painter.drawEllipse(QRectF(0, 0, diameter, diameter));
    }
    return dot;
}

void CYearPanel::UpdateGeometry() {
    const QFontMetrics metrics(m_labelFont);
    int widest = 0;
    for (int month = 1; month <= 12; ++month) {
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(
                                      GetLocaleNames().MonthName(month, false))));
    }
    const YearGrid grid = MakeYearGrid(width(), height(), widest + 8, metrics.height());
    if (!(grid == m_grid)) {
        m_grid = grid;
        Redraw(rect());
    }
}

void CYearPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateGeometry();
}

void CYearPanel::paintEvent(QPaintEvent* event) {
    m_pending = QRegion();
    QPainter painter(this);
    const QPalette& pal = palette();
    const QRegion& dirty = event->region();
    const int year = m_shown.GetYear();
    painter.fillRect(event->rect().intersected(QRect(0, 0, width(), m_grid.y0 - 1)),
                     pal.color(QPalette::Window));
    painter.fillRect(event->rect().intersected(QRect(0, 0, m_grid.x0 - 1, height())),
                     pal.color(QPalette::Window));

    // Labels: month names on the left, day numbers on top; the selected ones in their colour.
    painter.setFont(m_labelFont);
    const QFontMetrics metrics(m_labelFont);
    const auto drawLabel = [&](const QRect& area, const QString& text, bool selected) {
        if (!dirty.intersects(area)) {
            return;
        }
        const QColor ground = FromColorRef(selected ? m_selectedColor : m_normalColor);
        painter.fillRect(area, ground);
        painter.setPen(TextColorOn(ground));
        DrawTextLine(painter, area, metrics.elidedText(text, Qt::ElideRight, area.width()), metrics,
                     Qt::AlignHCenter);
    };
    for (int row = 0; row < 12; ++row) {
        drawLabel(MonthLabelRect(row),
                  QString::fromStdString(GetLocaleNames().MonthName(row + 1, false)),
                  row + 1 == m_shown.GetMonth());
    }
    for (int column = 0; column < 31; ++column) {
        drawLabel(DayHeaderRect(column), QString::number(column + 1),
                  column + 1 == m_shown.GetDay());
    }

    // The cells that need it, each outlined in black so neighbours share a border line.
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Black lines, as on paper; on a dark theme's ground they would vanish, so a lighter grey.
    const QColor gridPen = pal.color(QPalette::Base).lightness() < 128
                               ? pal.color(QPalette::Mid).lighter(150)
                               : QColor(Qt::black);
    for (int row = 0; row < 12; ++row) {
        for (int column = 0; column < 31; ++column) {
            const QRect cell = YearCellRect(m_grid, column, row);
            if (!dirty.intersects(cell.adjusted(-1, -1, 1, 1))) {
                continue;
            }
            painter.setPen(gridPen);
            painter.setBrush(ResolveColor(m_colors[row][column], pal));
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            const int count = m_counts[row][column];
            if (count > 0) {
                const int diameter = YearDotDiameter(count, cell.height());
                if (diameter > 0) {
                    const QPixmap& dot = Dot(diameter, painter.device()->devicePixelRatioF());
                    const QPointF centre = QRectF(cell).center();
                    painter.drawPixmap(
                        QPointF(centre.x() - diameter / 2.0, centre.y() - diameter / 2.0), dot);
                }
            }
            if (row + 1 == m_shown.GetMonth() && column + 1 == m_shown.GetDay() &&
                column < CDateTime::DaysInMonth(year, row + 1)) {
                // A dotted focus frame in the text colour of the cell, readable on any ground.
                painter.save();
                painter.setPen(
                    QPen(TextColorOn(ResolveColor(m_colors[row][column], pal)), 1, Qt::DotLine));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(cell.adjusted(1, 1, -2, -2));
                painter.restore();
            }
            m_drawnColors[row][column] = m_colors[row][column];
            m_drawnCounts[row][column] = count;
        }
    }
}

void CYearPanel::mouseMoveEvent(QMouseEvent* event) {
    const std::optional<CDateTime> date =
        YearHitDate(m_grid, event->position().toPoint(), m_shown.GetYear());
    if (date != m_hovered) {
        m_hovered = date;
        // The tip of the old day goes; the next one is asked for the new day.
        QToolTip::hideText();
    }
}

void CYearPanel::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    m_hovered.reset();
}

void CYearPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const std::optional<CDateTime> date =
        YearHitDate(m_grid, event->position().toPoint(), m_shown.GetYear());
    m_hovered = date;
    if (date) {
        SetShownDate(*date);
        emit DateClicked(*date);
    }
}

void CYearPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    m_hovered = YearHitDate(m_grid, event->position().toPoint(), m_shown.GetYear());
    if (event->button() == Qt::LeftButton && m_hovered) {
        emit NewRequested();
    }
}

bool CYearPanel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        m_hovered = YearHitDate(m_grid, help->pos(), m_shown.GetYear());
        const QString text = m_hovered && tooltipText ? tooltipText(*m_hovered) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), LimitTipWidth(text), this, CellRect(*m_hovered),
                               kTooltipShowMs);
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() == Qt::NoModifier) {
            emit NewRequested();
            return true;
        }
    }
    return QWidget::event(event);
}

} // namespace dv
