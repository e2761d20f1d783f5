#include "app/CDayList.h"

#include "app/CalendarGeometry.h"
#include "app/CalendarHost.h"
#include "app/Tooltips.h"
#include "core/TextCompare.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolTip>
#include <algorithm>
#include <map>

namespace dv {

namespace {

constexpr int kIconSize = 16;
constexpr int kTextPadding = 3;

// Entry order: by start, the longer first, then by description without regard to case.
bool EntryBefore(const DayEntry& a, const DayEntry& b) {
    if (a.occurrenceStart != b.occurrenceStart) {
        return a.occurrenceStart < b.occurrenceStart;
    }
    if (a.duration != b.duration) {
        return a.duration > b.duration;
    }
    return CompareNoCase(a.event->GetData().Description, b.event->GetData().Description) < 0;
}

const QIcon& EntryIconImage(EntryIcon icon) {
    static const QIcon shared(QStringLiteral(":/icons/entry-shared.svg"));
    static const QIcon local(QStringLiteral(":/icons/entry-local.svg"));
    return icon == EntryIcon::Shared ? shared : local;
}

} // namespace

QColor ResolveColor(uint32_t color, const QPalette& palette, bool enabled) {
    const QPalette::ColorGroup group = enabled ? QPalette::Active : QPalette::Disabled;
    switch (color) {
    case kColorWindow:
        return palette.color(group, QPalette::Base);
    case kColorWindowText:
        return palette.color(group, QPalette::Text);
    case kColorButtonFace:
        return palette.color(group, QPalette::Button);
    case kColorGrayText:
        return palette.color(QPalette::Disabled, QPalette::Text);
    default:
        return FromColorRef(color);
    }
}

QColor TextColorOn(const QColor& background) {
    const uint32_t ref = static_cast<uint32_t>(background.red()) |
                         (static_cast<uint32_t>(background.green()) << 8) |
                         (static_cast<uint32_t>(background.blue()) << 16);
    return FromColorRef(ContrastTextColor(ref));
}

namespace {

double Luminance(const QColor& c) {
    return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
}

// An event's own text colour kept in its hue, but lightened (darkened) until it reads on a ground
// of the other kind, so that a dark theme does not swallow dark text colours.
QColor Legible(QColor text, const QColor& ground) {
    const bool darkGround = Luminance(ground) < 0.5;
    for (int i = 0; i < 8 && std::abs(Luminance(text) - Luminance(ground)) < 0.35; ++i) {
        float h = 0;
        float s = 0;
        float l = 0;
        text.getHslF(&h, &s, &l);
        l = darkGround ? std::min(1.0f, l + 0.1f) : std::max(0.0f, l - 0.1f);
        text.setHslF(h, s, l);
    }
    return text;
}

} // namespace

void DrawTextLine(QPainter& painter, const QRect& area, const QString& text,
                  const QFontMetrics& metrics, Qt::Alignment align) {
    int x = area.left();
    if ((align & (Qt::AlignRight | Qt::AlignHCenter)) != 0) {
        const int width = metrics.horizontalAdvance(text);
        x = (align & Qt::AlignRight) != 0 ? area.right() + 1 - width
                                          : area.left() + (area.width() - width) / 2;
    }
    const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
    painter.drawText(QPoint(x, baseline), text);
}

CDayList::CDayList(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->hide();
    connect(m_scroll, &QScrollBar::valueChanged, this, [this] { update(); });
}

void CDayList::SetCaption(Caption caption) {
    const bool heightChanged = caption.holidays.size() != m_caption.holidays.size() ||
                               caption.font != m_caption.font ||
                               caption.holidayFont != m_caption.holidayFont;
    m_caption = std::move(caption);
    if (heightChanged) {
        UpdateScrollBar();
    }
    UpdateAccessibleName();
    update();
}

void CDayList::SetCaptionColor(const QColor& color) {
    if (color != m_caption.color) {
        m_caption.color = color;
        update(0, 0, width(), CaptionHeight());
    }
}

void CDayList::SetHolidaysBelowDate(bool below) {
    if (below != m_holidaysBelow) {
        m_holidaysBelow = below;
        UpdateScrollBar();
        update();
    }
}

QString CDayList::Elided(const StyledFont& styled, const std::string& text, int width) {
    // Plain ASCII is measured from the font's advances, without shaping the line a second time
    // only to learn whether it fits; near the edge, and for any other text, the text engine
    // decides.
    const auto engine = [&] {
        return styled.metrics.elidedText(QString::fromStdString(text), Qt::ElideRight, width);
    };
    qreal used = 0;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code >= 127) {
            return engine();
        }
        used += styled.asciiAdvance[code];
    }
    if (used <= width - 1) {
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (used < width + 4) {
        return engine();
    }
    const QChar ellipsis(0x2026);
    const qreal room = width - styled.ellipsisAdvance - 1;
    qreal kept = 0;
    qsizetype count = 0;
    while (kept + styled.asciiAdvance[static_cast<unsigned char>(text[count])] <= room) {
        kept += styled.asciiAdvance[static_cast<unsigned char>(text[count])];
        ++count;
    }
    return QString::fromLatin1(text.data(), count) + ellipsis;
}

CDayList::StyledFont CDayList::MakeStyledFont(const QFont& font) {
    const QFontMetrics metrics(font);
    // Every cell of every page uses the same few fonts: their advances are measured once.
    struct Advances {
        std::array<qreal, 128> ascii{};
        qreal ellipsis = 0;
    };
    static std::map<QString, Advances> advances;
    auto [known, added] = advances.try_emplace(font.key());
    if (added) {
        const QFontMetricsF exact(font);
        for (int c = 32; c < 127; ++c) {
            known->second.ascii[static_cast<size_t>(c)] =
                exact.horizontalAdvance(QLatin1Char(static_cast<char>(c)));
        }
        known->second.ellipsis = exact.horizontalAdvance(QChar(0x2026));
    }
    return StyledFont{font, metrics, known->second.ascii, known->second.ellipsis};
}

QString CDayList::ElidedLine(const QFont& font, const std::string& text, int width) {
    return Elided(MakeStyledFont(font), text, width);
}

const CDayList::StyledFont& CDayList::FontFor(int32_t style) const {
    const size_t index = static_cast<size_t>(style & 7);
    std::optional<StyledFont>& slot = m_styledFonts[index];
    if (!slot) {
        QFont font = m_entryFont;
        font.setItalic((style & kStyleItalic) != 0 || m_entryFont.italic());
        font.setUnderline((style & kStyleUnderline) != 0 || m_entryFont.underline());
        font.setStrikeOut((style & kStyleStrikeOut) != 0 || m_entryFont.strikeOut());
        slot.emplace(MakeStyledFont(font));
    }
    return *slot;
}

void CDayList::SetEntryFont(const QFont& font) {
    if (font != m_entryFont) {
        m_entryFont = font;
        m_styledFonts = {};
        UpdateScrollBar();
        update();
    }
}

const std::string& CDayList::EntryText(size_t index) {
    DayEntry& entry = m_entries[index];
    if (entry.text.empty() && m_textSource) {
        entry.text = m_textSource(entry, m_caption.date);
    }
    return entry.text;
}

std::vector<DayEntry> CDayList::SetEntries(std::vector<DayEntry> entries) {
    std::swap(m_entries, entries);
    m_selected = -1;
    m_focusLine = 0;
    m_scroll->setValue(0);
    UpdateScrollBar();
    UpdateAccessibleName();
    update();
    return entries;
}

void CDayList::InsertEntry(DayEntry entry) {
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), entry, EntryBefore);
    const int index = static_cast<int>(at - m_entries.begin());
    m_entries.insert(at, std::move(entry));
    if (m_selected >= index) {
        ++m_selected;
    }
    UpdateScrollBar();
    UpdateAccessibleName();
    update();
}

bool CDayList::RemoveEntriesOf(const void* event) {
    const CDateEntry* selectedEvent =
        m_selected >= 0 ? m_entries[static_cast<size_t>(m_selected)].event : nullptr;
    const auto removed =
        std::erase_if(m_entries, [event](const DayEntry& entry) { return entry.event == event; });
    if (removed == 0) {
        return false;
    }
    m_selected = -1;
    if (selectedEvent != nullptr && selectedEvent != event) {
        // The selection stays on its entry, wherever it moved.
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].event == selectedEvent) {
                m_selected = static_cast<int>(i);
                break;
            }
        }
    }
    m_focusLine = std::max(0, std::min(m_focusLine, static_cast<int>(m_entries.size()) - 1));
    UpdateScrollBar();
    UpdateAccessibleName();
    update();
    return true;
}

int CDayList::LineHeight() const {
    return std::max(QFontMetrics(m_entryFont).height() + 2, kIconSize + 2);
}

int CDayList::CaptionHeight() const {
    const int captionLine = QFontMetrics(m_caption.font).height();
    const int holidayLine = QFontMetrics(m_caption.holidayFont).height();
    return calendar::CaptionBandHeight(static_cast<int>(m_caption.holidays.size()), holidayLine,
                                       captionLine, m_holidaysBelow) +
           2; // a pixel of air above and below the texts
}

int CDayList::FirstVisibleLine() const {
    return m_scroll->isVisible() ? m_scroll->value() : 0;
}

QRect CDayList::LineRect(int index) const {
    const int lineHeight = LineHeight();
    const int width = this->width() - (m_scroll->isVisible() ? m_scroll->width() : 0);
    return QRect(1, CaptionHeight() + (index - FirstVisibleLine()) * lineHeight, width - 2,
                 lineHeight);
}

QRect CDayList::TextRect(int index, const QRect& line) const {
    QRect textRect = line.adjusted(kTextPadding, 0, -kTextPadding, 0);
    if (m_entries[static_cast<size_t>(index)].icon != EntryIcon::None) {
        textRect.setLeft(line.left() + 1 + kIconSize + kTextPadding);
    }
    return textRect;
}

QString CDayList::ShownLine(int index) {
    const size_t at = static_cast<size_t>(index);
    const StyledFont& styled = FontFor(m_entries[at].style);
    const int width = TextRect(index, LineRect(index)).width();
    const QString whole = Elided(styled, EntryText(at), width);
    if (!m_shortTextSource || !whole.endsWith(QChar(0x2026))) {
        return whole;
    }
    // Too narrow: the end time goes first, so that the start and the description stay.
    DayEntry& entry = m_entries[at];
    if (entry.shortText.empty()) {
        entry.shortText = m_shortTextSource(entry, m_caption.date);
    }
    return Elided(styled, entry.shortText, width);
}

int CDayList::EntryAt(int y) const {
    const int listY = y - CaptionHeight();
    if (listY < 0) {
        return -1;
    }
    const int line = calendar::LineAt(FirstVisibleLine(), LineHeight(), listY);
    return line < static_cast<int>(m_entries.size()) ? line : -1;
}

void CDayList::UpdateScrollBar() {
    const int listHeight = height() - CaptionHeight() - 1;
    const int visibleLines = std::max(1, listHeight / LineHeight());
    const int count = static_cast<int>(m_entries.size());
    const bool needed = count > visibleLines && listHeight > 0;
    m_scroll->setRange(0, std::max(0, count - visibleLines));
    m_scroll->setPageStep(visibleLines);
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    m_scroll->setGeometry(width() - barWidth - 1, CaptionHeight(), barWidth,
                          std::max(0, listHeight));
    m_scroll->setVisible(needed);
}

void CDayList::EnsureVisible(int index) {
    if (index < 0 || !m_scroll->isVisible()) {
        return;
    }
    const int first = m_scroll->value();
    const int visibleLines = m_scroll->pageStep();
    if (index < first) {
        m_scroll->setValue(index);
    } else if (index >= first + visibleLines) {
        m_scroll->setValue(index - visibleLines + 1);
    }
}

void CDayList::SelectEntry(int index) {
    if (index >= static_cast<int>(m_entries.size())) {
        index = -1;
    }
    m_selected = index;
    if (index >= 0) {
        m_focusLine = index;
        EnsureVisible(index);
        const DayEntry& entry = m_entries[static_cast<size_t>(index)];
        emit EntrySelected(entry.event, entry.occurrenceStart);
    } else {
        emit EntrySelected(nullptr, CDateTime());
    }
    UpdateAccessibleName();
    update();
}

void CDayList::ClearSelection() {
    if (m_selected >= 0) {
        m_selected = -1;
        UpdateAccessibleName();
        update();
    }
}

void CDayList::UpdateAccessibleName() {
    // Screen readers hear the day, then the selected entry; the full list is read out as the
    // description, built only while an assistive technology listens: a page rebuild would
    // otherwise convert every text of the month for nobody.
    QString name = m_caption.text;
    if (!m_caption.holidays.isEmpty()) {
        name += QStringLiteral(", ") + m_caption.holidays.join(QStringLiteral(", "));
    }
    if (m_selected >= 0) {
        name += QStringLiteral(": ") +
                QString::fromStdString(EntryText(static_cast<size_t>(m_selected)));
    }
    setAccessibleName(name);
    if (!QAccessible::isActive()) {
        return;
    }
    QStringList lines;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        lines << QString::fromStdString(EntryText(i));
    }
    setAccessibleDescription(lines.join(QLatin1Char('\n')));
    if (hasFocus()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void CDayList::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const bool enabled = isEnabled();
    const QRect area = rect();
    const int captionHeight = CaptionHeight();

    // The list's ground and the cell's outline.
    painter.fillRect(area,
                     pal.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Base));
    // The caption band in the caption colour, its texts in black or white on it.
    const QRect band(0, 0, area.width(), captionHeight);
    if (band.intersects(event->rect())) {
        QColor bandColor = m_caption.color;
        if (!enabled) {
            bandColor = pal.color(QPalette::Disabled, QPalette::Button);
        }
        painter.fillRect(band, bandColor);
        painter.setPen(enabled ? TextColorOn(bandColor)
                               : pal.color(QPalette::Disabled, QPalette::ButtonText));
        const QFontMetrics captionMetrics(m_caption.font);
        const QFontMetrics holidayMetrics(m_caption.holidayFont);
        const QRect textArea = band.adjusted(kTextPadding, 2, -kTextPadding, -2);
        painter.setFont(m_caption.font);
        const QRect captionLine(textArea.left(), textArea.top(), textArea.width(),
                                captionMetrics.height());
        int captionWidth = captionMetrics.horizontalAdvance(m_caption.text);
        DrawTextLine(painter, captionLine,
                     captionMetrics.elidedText(m_caption.text, Qt::ElideRight, captionLine.width()),
                     captionMetrics);
        painter.setFont(m_caption.holidayFont);
        int y = m_holidaysBelow ? captionLine.bottom() + 1 : textArea.top();
        for (const QString& holiday : m_caption.holidays) {
            QRect line(textArea.left(), y, textArea.width(), holidayMetrics.height());
            Qt::Alignment align = Qt::AlignLeft;
            if (!m_holidaysBelow) {
                // Beside the date: right-aligned in the room the date leaves.
                line.setLeft(textArea.left() + std::min(captionWidth + 8, textArea.width()));
                align = Qt::AlignRight;
            }
            DrawTextLine(painter, line,
                         holidayMetrics.elidedText(holiday, Qt::ElideRight, line.width()),
                         holidayMetrics, align);
            y += holidayMetrics.height();
        }
    }

    // The entry lines that can be seen.
    painter.setClipRect(QRect(0, captionHeight, area.width(), area.height() - captionHeight));
    const int lineHeight = LineHeight();
    const int first = FirstVisibleLine();
    const int last = std::min(static_cast<int>(m_entries.size()),
                              first + (area.height() - captionHeight) / lineHeight + 1);
    for (int i = first; i < last; ++i) {
        const QRect line = LineRect(i);
        if (!line.intersects(event->rect())) {
            continue;
        }
        const DayEntry& entry = m_entries[static_cast<size_t>(i)];
        QColor ground = ResolveColor(entry.backgroundColor, pal);
        QColor text = ResolveColor(entry.textColor, pal);
        if (!IsSystemColor(entry.textColor) && IsSystemColor(entry.backgroundColor)) {
            text = Legible(text, ground);
        }
        if (hasFocus() && i == m_selected) {
            text = pal.color(QPalette::Active, QPalette::HighlightedText);
            ground = pal.color(QPalette::Active, QPalette::Highlight);
        } else if (!enabled) {
            text = pal.color(QPalette::Disabled, QPalette::Text);
            ground = entry.backgroundColor == kColorWindow
                         ? pal.color(QPalette::Disabled, QPalette::Base)
                         : pal.color(QPalette::Disabled, QPalette::Button);
        } else if (i == m_selected) {
            // Without the focus the selection stays visible, quietly.
            ground = pal.color(QPalette::Inactive, QPalette::Highlight);
            text = pal.color(QPalette::Inactive, QPalette::HighlightedText);
        }
        painter.fillRect(line, ground);
        if (entry.icon != EntryIcon::None) {
            const QRect iconRect(line.left() + 1, line.top() + (line.height() - kIconSize) / 2,
                                 kIconSize, kIconSize);
            EntryIconImage(entry.icon)
                .paint(&painter, iconRect, Qt::AlignCenter,
                       enabled ? QIcon::Normal : QIcon::Disabled);
        }
        const StyledFont& styled = FontFor(entry.style);
        painter.setFont(styled.font);
        painter.setPen(text);
        DrawTextLine(painter, TextRect(i, line), ShownLine(i), styled.metrics);
        if (hasFocus() && i == m_focusLine) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = line;
            option.backgroundColor = ground;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
    painter.setClipping(false);
    // The outline; neighbouring cells share it.
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

void CDayList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateScrollBar();
}

void CDayList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    emit DayClicked(m_caption.date);
    const int y = event->position().toPoint().y();
    if (y >= CaptionHeight()) {
        SelectEntry(EntryAt(y));
    }
}

void CDayList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int y = event->position().toPoint().y();
    if (y >= CaptionHeight() && EntryAt(y) >= 0) {
        emit EditRequested();
    } else {
        emit NewRequested();
    }
}

void CDayList::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuRequested(event->globalPos());
}

void CDayList::wheelEvent(QWheelEvent* event) {
    if (m_wheelPages) {
        emit WheelPaging(event->angleDelta().y());
        event->accept();
        return;
    }
    if (!m_scroll->isVisible()) {
        event->ignore();
        return;
    }
    m_wheelSum += event->angleDelta().y();
    const int lines = std::max(1, QApplication::wheelScrollLines());
    while (m_wheelSum >= 120) {
        m_wheelSum -= 120;
        m_scroll->setValue(m_scroll->value() - lines);
    }
    while (m_wheelSum <= -120) {
        m_wheelSum += 120;
        m_scroll->setValue(m_scroll->value() + lines);
    }
    event->accept();
}

void CDayList::keyPressEvent(QKeyEvent* event) {
    const int count = static_cast<int>(m_entries.size());
    if (event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Down:
            if (count > 0) {
                SelectEntry(m_selected < 0 ? 0 : std::min(m_selected + 1, count - 1));
            }
            return;
        case Qt::Key_Up:
            if (count > 0) {
                SelectEntry(m_selected < 0 ? count - 1 : std::max(m_selected - 1, 0));
            }
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_selected >= 0) {
                emit EditRequested();
            } else {
                emit NewRequested();
            }
            return;
        default:
            break;
        }
    }
    event->ignore(); // paging and day steps belong to the page
}

void CDayList::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    emit Focused();
    update();
}

void CDayList::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CDayList::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) {
        update();
    }
}

bool CDayList::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const bool onCaption = help->pos().y() < CaptionHeight();
        const QString text = tooltipText ? tooltipText(onCaption) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            // A day's entries make a long tip: it stays for half a minute.
            QToolTip::showText(help->globalPos(), LimitTipWidth(text), this, rect(),
                               kTooltipShowMs);
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace dv
