#pragma once

#include "core/CDateTime.h"
#include "document/DocumentObserver.h"

#include <QColor>
#include <QPalette>
#include <cstdint>
#include <functional>

class QFontMetrics;
class QMenu;
class QPainter;
class QRect;

namespace dv {

class CDateEntry;
class CDayvaultDoc;
class CHolidayModuleSet;
class CHolidaySettings;
class CSettings;

/// What the calendar pages need from the program around them: the data they show and the way
/// back to the main window's commands and selection.
struct CalendarHost {
    CDayvaultDoc* doc = nullptr;
    const CSettings* settings = nullptr;
    CHolidayModuleSet* holidays = nullptr;
    const CHolidaySettings* holidaySettings = nullptr;
    /// The program-wide switch that lists hidden events too.
    std::function<bool()> showHidden;
    /// Runs a main-window command; false when it is disabled or unknown.
    std::function<bool(uint32_t command)> runCommand;
    /// The main window's Edit menu, shown as the pages' context menu.
    std::function<QMenu*()> editMenu;
    /// The user picked a day (click in a cell or in the year grid).
    std::function<void(const CDateTime& date)> selectDate;
    /// The user picked an entry (an event and one occurrence), or none (null event).
    std::function<void(CDateEntry* event, const CDateTime& occurrence)> selectEntry;
};

/// How long the pages' tooltips stay up, in milliseconds.
constexpr int kTooltipShowMs = 30000;

/// A stored 0x00BBGGRR colour as Qt's colour.
inline QColor FromColorRef(uint32_t color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

/// A stored colour or one of the platform's colour markers (see SystemColor) in `palette`.
QColor ResolveColor(uint32_t color, const QPalette& palette, bool enabled = true);

/// White or black text, whichever reads better on `background`.
QColor TextColorOn(const QColor& background);

/// Draws one line of text that already fits, vertically centred in `area` and placed by
/// `align` (left, right or centre), in the painter's font measured by `metrics`. Cheaper than
/// the rectangle form of drawText, which lays the text out as a paragraph.
void DrawTextLine(QPainter& painter, const QRect& area, const QString& text,
                  const QFontMetrics& metrics, Qt::Alignment align = Qt::AlignLeft);

/// True for the hints that change what a calendar page shows: the dates, the events and the
/// cells; false for the clock's tick, categories, to-dos, groups and options.
constexpr bool AffectsEvents(UpdateHint hint) {
    switch (hint) {
    case UpdateHint::TimeUpdated:
    case UpdateHint::CategoriesChanged:
    case UpdateHint::TodoAdded:
    case UpdateHint::TodoDeleted:
    case UpdateHint::TodoChanged:
    case UpdateHint::TodosReset:
    case UpdateHint::GroupsChanged:
    case UpdateHint::OptionsChanged:
        return false;
    default:
        return true;
    }
}

} // namespace dv
