#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dv {

/// A font as the settings keep it: the fields of a Windows logical font, in their order. The
/// desktop layer turns it into its own font (a negative height is a pixel height, weight 700 is
/// bold, the face name picks the family).
struct LogFont {
    int32_t Height = 0;      // < 0: character height in pixels; > 0: cell height; 0: default
    int32_t Width = 0;       // average character width; 0: from the height
    int32_t Escapement = 0;  // tenths of a degree
    int32_t Orientation = 0; // tenths of a degree
    int32_t Weight = 0;      // 0 default, 400 normal, 700 bold, up to 1000
    uint8_t Italic = 0;
    uint8_t Underline = 0;
    uint8_t StrikeOut = 0;
    uint8_t CharSet = 0;
    uint8_t OutPrecision = 0;
    uint8_t ClipPrecision = 0;
    uint8_t Quality = 0;
    uint8_t PitchAndFamily = 0;
    std::string FaceName; // at most kMaxFaceNameLength bytes

    /// The longest face name a logical font holds (32 characters with the terminating zero).
    static constexpr size_t kMaxFaceNameLength = 31;

    /// The stored form "%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%s": the thirteen numbers in field
    /// order, then the face name.
    std::string ToString() const;

    /// Reads the stored form: thirteen integers (each read like the profile functions' integers,
    /// see ParseProfileInt) each followed by ",", then the face name, which is the rest of the
    /// text and may itself contain commas; it is cut to kMaxFaceNameLength bytes, never inside a
    /// UTF-8 character. The byte fields keep the low 8 bits of their number. Returns nullopt when
    /// the text has fewer than thirteen commas.
    static std::optional<LogFont> FromString(std::string_view text);

    /// The base of the default fonts: the usual fields of the system's default GUI font (weight
    /// 400, default character set 1, default precisions, quality and pitch: 0) with height -12
    /// and face name "Arial".
    static LogFont DefaultBase();

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

} // namespace dv
