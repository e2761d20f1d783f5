#pragma once

#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QToolTip>
#include <algorithm>
#include <string>

namespace dv {

/// The widest a page's tooltip may be, in pixels.
inline constexpr int kMaxTipWidth = 400;

/// A tooltip no wider than kMaxTipWidth: a longer line is wrapped inside a table of that width,
/// while a narrower text stays plain.
inline QString LimitTipWidth(const QString& text) {
    const QFontMetrics metrics(QToolTip::font());
    const QStringList lines = text.split(QLatin1Char('\n'));
    const bool wide = std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
        return metrics.horizontalAdvance(line) > kMaxTipWidth;
    });
    if (!wide) {
        return text;
    }
    return QStringLiteral("<table width=\"%1\"><tr><td>%2</td></tr></table>")
        .arg(kMaxTipWidth)
        .arg(text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
}

/// The lines a tooltip may have: three quarters of the primary screen's height in the tooltip
/// font, at least ten.
inline int ScreenTipLines() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int height = screen != nullptr ? screen->availableGeometry().height() : 600;
    return std::max(10, height * 3 / 4 / std::max(1, QFontMetrics(QToolTip::font()).lineSpacing()));
}

/// A tooltip made of parts (one per entry, a blank line between them), cut at a number of
/// lines: the parts beyond are only counted and end the tip as "… and N more". The caller asks
/// Full() before formatting a part, so a day with thousands of entries formats a screenful.
class TipParts {
public:
    explicit TipParts(int maxLines = ScreenTipLines()) : m_maxLines(std::max(2, maxLines)) {}

    bool Full() const { return m_more > 0; }
    /// Adds a part, or counts it when it no longer fits; a first part longer than the whole tip
    /// is cut to it.
    void Add(const QString& part) {
        if (Full()) {
            ++m_more;
            return;
        }
        const int lines = static_cast<int>(part.count(QLatin1Char('\n'))) + 1;
        const int needed = lines + (m_parts.isEmpty() ? 0 : 1);
        // One line stays free for the count.
        if (m_used + needed > m_maxLines - 1) {
            if (!m_parts.isEmpty()) {
                ++m_more;
                return;
            }
            m_parts << part.section(QLatin1Char('\n'), 0, m_maxLines - 2) + QChar(0x2026);
            m_used = m_maxLines - 1;
            return;
        }
        m_parts << part;
        m_used += needed;
    }
    /// Counts a part that was not formatted because the tip is full.
    void CountMore() { ++m_more; }
    int More() const { return m_more; }

    QString Text() const {
        QString text = m_parts.join(QStringLiteral("\n\n"));
        if (m_more > 0) {
            text += QStringLiteral("\n") +
                    QString::fromStdString(FormatString(kIdsTipMore, std::to_string(m_more)));
        }
        return text;
    }

private:
    int m_maxLines;
    int m_used = 0;
    int m_more = 0;
    QStringList m_parts;
};

} // namespace dv
