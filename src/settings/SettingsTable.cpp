#include "settings/SettingsTable.h"

namespace dv {

LogFont MakeDefaultFont(DefaultFont which) {
    LogFont font = LogFont::DefaultBase();
    switch (which) {
    case DefaultFont::A:
        break;
    case DefaultFont::B:
        font.Height = -9;
        break;
    case DefaultFont::C:
        font.Height = -16;
        font.Weight = 700;
        break;
    case DefaultFont::D:
        font.Height = -24;
        font.Weight = 700;
        break;
    }
    return font;
}

} // namespace dv
