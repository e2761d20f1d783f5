#include "app/CCurrentTimeBar.h"

#include "core/CDateTime.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/LogFont.h"

#include <QFont>
#include <QLabel>
#include <QTime>
#include <QTimer>
#include <cstdlib>

namespace dv {

QFont ToQFont(const LogFont& font) {
    QFont result;
    if (!font.FaceName.empty()) {
        result.setFamily(QString::fromStdString(font.FaceName));
    }
    if (font.Height != 0) {
        result.setPixelSize(std::abs(font.Height));
    }
    if (font.Weight > 0) {
        // Qt's weights run from 1 to 1000 like the stored ones.
        result.setWeight(static_cast<QFont::Weight>(font.Weight));
    }
    result.setItalic(font.Italic != 0);
    result.setUnderline(font.Underline != 0);
    result.setStrikeOut(font.StrikeOut != 0);
    return result;
}

CCurrentTimeBar::CCurrentTimeBar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("CurrentTimeBar"));
    setWindowTitle(QString::fromStdString(LoadString(kIdsCurrentTimeBarCaption)));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("CurrentTime"));
    m_label->setContentsMargins(8, 0, 8, 0);
    addWidget(m_label);
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &CCurrentTimeBar::Refresh);
}

bool CCurrentTimeBar::FormatShowsSeconds(const std::string& format) {
    for (std::size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        std::size_t code = i + 1;
        if (format[code] == '#' && code + 1 < format.size()) {
            ++code;
        }
        if (format[code] == 'S') {
            return true;
        }
        i = code; // skip the code, so "%%S" stays text
    }
    return false;
}

void CCurrentTimeBar::Configure(const std::string& format, const LogFont& font) {
    m_format = format;
    m_seconds = FormatShowsSeconds(format);
    m_label->setFont(ToQFont(font));
    Refresh();
}

void CCurrentTimeBar::Refresh() {
    const QString text = QString::fromStdString(CDateTime::Now().Format(m_format));
    if (text != m_label->text()) {
        m_label->setText(text);
    }
    m_timer->start(PlannedInterval());
    emit Ticked();
}

QString CCurrentTimeBar::Text() const {
    return m_label->text();
}

int CCurrentTimeBar::PlannedInterval() const {
    // From the system clock's milliseconds, so that the update lands just after the change.
    const QTime now = QTime::currentTime();
    const int toNextSecond = 1000 - now.msec();
    if (m_seconds) {
        return toNextSecond + 5;
    }
    return (59 - now.second()) * 1000 + toNextSecond + 5;
}

} // namespace dv
