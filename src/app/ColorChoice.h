#pragma once

#include <QColor>
#include <cstdint>
#include <optional>

class QAbstractButton;
class QWidget;

namespace dv {

class IProfileStore;

/// Qt's colour as the settings keep it: 0x00BBGGRR.
uint32_t ToColorRef(const QColor& color);

/// Lets the user pick a colour, starting at `current` (0x00BBGGRR); nullopt when cancelled. With
/// a `store`, the chooser's custom colours come from it and go back to it, so they last
/// between runs.
std::optional<uint32_t> ChooseColorRef(QWidget* parent, uint32_t current,
                                       IProfileStore* store = nullptr);

/// Shows `color` on `button` as a framed swatch, its name as the tooltip.
void ShowColorSwatch(QAbstractButton* button, uint32_t color);

} // namespace dv
