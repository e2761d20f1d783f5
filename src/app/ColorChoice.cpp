#include "app/ColorChoice.h"

#include "app/CalendarHost.h"
#include "settings/IProfileStore.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <algorithm>
#include <exception>
#include <string_view>

namespace dv {

namespace {

constexpr std::string_view kColorSection = "Settings";
constexpr std::string_view kColorKey = "CustomColors";

void LoadCustomColors(IProfileStore& store) {
    const QStringList colors = QString::fromStdString(store.ReadText(kColorSection, kColorKey, ""))
                                   .split(QLatin1Char(','));
    for (int i = 0; i < std::min<int>(colors.size(), QColorDialog::customCount()); ++i) {
        bool ok = false;
        const uint rgb = colors[i].toUInt(&ok, 16);
        if (ok) {
            QColorDialog::setCustomColor(i, QColor::fromRgb(rgb));
        }
    }
}

void SaveCustomColors(IProfileStore& store) {
    QStringList colors;
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        colors << QString::number(QColorDialog::customColor(i).rgb() & 0xFFFFFF, 16);
    }
    store.WriteText(kColorSection, kColorKey, colors.join(QLatin1Char(',')).toStdString());
    try {
        store.Flush();
    } catch (const std::exception&) {
        // The custom colours are a convenience; a store that cannot be written keeps the old.
    }
}

} // namespace

uint32_t ToColorRef(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}

std::optional<uint32_t> ChooseColorRef(QWidget* parent, uint32_t current, IProfileStore* store) {
    if (store != nullptr) {
        LoadCustomColors(*store);
    }
    const QColor chosen = QColorDialog::getColor(FromColorRef(current), parent);
    if (store != nullptr) {
        SaveCustomColors(*store);
    }
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return ToColorRef(chosen);
}

void ShowColorSwatch(QAbstractButton* button, uint32_t color) {
    QPixmap swatch(40, 14);
    swatch.fill(FromColorRef(color));
    QPainter painter(&swatch);
    painter.setPen(button->palette().color(QPalette::WindowText));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    button->setIcon(QIcon(swatch));
    button->setIconSize(swatch.size());
    button->setToolTip(FromColorRef(color).name());
}

} // namespace dv
