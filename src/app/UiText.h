#pragma once

#include "format/StringTable.h"

#include <QString>
#include <cstdint>

namespace dv {

/// A text of the string table, for a widget.
inline QString Text(uint32_t id) {
    return QString::fromStdString(LoadString(id));
}

} // namespace dv
