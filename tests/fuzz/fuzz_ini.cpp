// Fuzz target for the INI reader and the readers of the stored value forms.
//
// The input is the bytes of an INI file. The document read from it is written and read again:
// the second document must give the same bytes and the same value for every key. Every value is
// also handed to each typed reader (font, lists, date-time, password, escapes). Last, a value made
// from the input's tail is written under a new key and an existing one and must read back.

#include "core/CDateTime.h"
#include "core/TextEncoding.h"
#include "settings/CIniDocument.h"
#include "settings/LogFont.h"
#include "settings/PasswordScrambler.h"
#include "settings/ProfileValues.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void ReadAsEveryKind(const std::string& value) {
    if (const std::optional<dv::LogFont> font = dv::LogFont::FromString(value)) {
        Check(dv::LogFont::FromString(font->ToString()) == font);
    }
    const dv::NumberList numbers = dv::ParseNumberList(value);
    Check(dv::ParseNumberList(dv::FormatNumberList(numbers)) == numbers);
    Check(dv::ParseFlagList(value).size() == value.size());
    (void)dv::ParseNameList(value);
    (void)dv::ParseProfileInt(value);
    (void)dv::UnescapeProfileText(value);
    Check(dv::UnscramblePassword(value).size() <= 3 * dv::kMaxPasswordLength);
    dv::CDateTime when;
    (void)when.Parse(value);
}

// What GetValue gives back for a value written with SetValue: line breaks become escapes.
std::string ExpectedReadBack(std::string_view value) {
    std::string expected;
    for (const char c : value) {
        if (c == '\n') {
            expected += "{0x0A}";
        } else if (c == '\r') {
            expected += "{0x0D}";
        } else {
            expected += c;
        }
    }
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    dv::CIniDocument document = dv::CIniDocument::FromBytes(bytes);

    const std::string written = document.ToBytes();
    const dv::CIniDocument reread = dv::CIniDocument::FromBytes(written);
    Check(reread.ToBytes() == written);
    const std::vector<std::string> sections = document.GetSectionNames();
    Check(reread.GetSectionNames() == sections);
    for (const std::string& section : sections) {
        for (const std::string& key : document.GetKeyNames(section)) {
            const std::optional<std::string> value = document.GetValue(section, key);
            Check(value.has_value());
            Check(reread.GetValue(section, key) == value);
            ReadAsEveryKind(*value);
        }
    }

    // Values in memory are UTF-8; Windows-1252 decoding turns any bytes into some.
    const std::string value = dv::Cp1252ToUtf8(bytes.substr(size > 24 ? size - 24 : 0));
    document.SetValue("Fuzz Section", "FuzzKey", value);
    Check(document.GetValue("fuzz section", "fuzzkey") == ExpectedReadBack(value));
    // A name read from a file can be written back unless it holds a carriage return.
    const auto writable = [](const std::string& name) {
        return !name.empty() && name.find('\r') == std::string::npos;
    };
    for (const std::string& section : sections) {
        if (!writable(section)) {
            continue;
        }
        for (const std::string& key : document.GetKeyNames(section)) {
            if (writable(key)) {
                document.SetValue(section, key, value);
                Check(document.GetValue(section, key) == ExpectedReadBack(value));
                break;
            }
        }
        break;
    }
    const dv::CIniDocument last = dv::CIniDocument::FromBytes(document.ToBytes());
    Check(last.GetValue("Fuzz Section", "FuzzKey") == ExpectedReadBack(value));
    return 0;
}
