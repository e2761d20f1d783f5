#include "settings/LogFont.h"

#include "settings/ProfileValues.h"

#include <array>

namespace dv {

namespace {

constexpr size_t kNumberCount = 13;

// The longest prefix of `text` of at most `limit` bytes that does not end inside a UTF-8
// character.
std::string_view CutAtCharacter(std::string_view text, size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    size_t end = limit;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

uint8_t LowByte(int32_t value) {
    return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
}

} // namespace

std::string LogFont::ToString() const {
    std::string text;
    for (const int32_t number :
         {Height, Width, Escapement, Orientation, Weight, static_cast<int32_t>(Italic),
          static_cast<int32_t>(Underline), static_cast<int32_t>(StrikeOut),
          static_cast<int32_t>(CharSet), static_cast<int32_t>(OutPrecision),
          static_cast<int32_t>(ClipPrecision), static_cast<int32_t>(Quality),
          static_cast<int32_t>(PitchAndFamily)}) {
        text.append(std::to_string(number));
        text.push_back(',');
    }
    text.append(FaceName);
    return text;
}

std::optional<LogFont> LogFont::FromString(std::string_view text) {
    std::array<int32_t, kNumberCount> numbers{};
    size_t position = 0;
    for (int32_t& number : numbers) {
        const size_t comma = text.find(',', position);
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        number = ParseProfileInt(text.substr(position, comma - position));
        position = comma + 1;
    }
    LogFont font;
    font.Height = numbers[0];
    font.Width = numbers[1];
    font.Escapement = numbers[2];
    font.Orientation = numbers[3];
    font.Weight = numbers[4];
    font.Italic = LowByte(numbers[5]);
    font.Underline = LowByte(numbers[6]);
    font.StrikeOut = LowByte(numbers[7]);
    font.CharSet = LowByte(numbers[8]);
    font.OutPrecision = LowByte(numbers[9]);
    font.ClipPrecision = LowByte(numbers[10]);
    font.Quality = LowByte(numbers[11]);
    font.PitchAndFamily = LowByte(numbers[12]);
    font.FaceName = CutAtCharacter(text.substr(position), kMaxFaceNameLength);
    return font;
}

LogFont LogFont::DefaultBase() {
    LogFont font;
    font.Height = -12;
    font.Weight = 400; // normal
    // The default character set lets the font mapper pick one that has the user's characters,
    // which also suits the desktop layer, where character sets play no part.
    font.CharSet = 1;
    font.FaceName = "Arial";
    return font;
}

} // namespace dv
