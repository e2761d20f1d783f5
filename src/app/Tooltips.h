#pragma once

#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <QToolTip>
#include <algorithm>

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

} // namespace dv
