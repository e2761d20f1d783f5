#pragma once

#include "core/CDateTime.h"
#include "settings/LogFont.h"
#include "settings/ProfileValues.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dv {

/// A settings store: named sections of named values, either an INI file (CIniStore) or the
/// platform's own store (the registry on Windows). A store implements the raw string and integer
/// values; the typed operations on top are the same for every store, so every setting is kept
/// the same way in each. Section and key names are compared without regard to ASCII case.
///
/// Writes may be held in memory until Flush; the settings objects flush at the end of their Save.
class IProfileStore {
public:
    virtual ~IProfileStore() = default;

    // ---- Raw values, implemented by each store.

    /// The string stored under `key`, or nullopt when there is none.
    virtual std::optional<std::string> ReadRawString(std::string_view section,
                                                     std::string_view key) const = 0;
    /// Stores `value` under `key`, creating the section and the key when needed.
    virtual void WriteRawString(std::string_view section, std::string_view key,
                                std::string_view value) = 0;
    /// The integer stored under `key`; `defaultValue` when there is none. A store that keeps
    /// integers as text reads them as ParseProfileInt does, and an empty text as missing.
    virtual int32_t ReadRawInt(std::string_view section, std::string_view key,
                               int32_t defaultValue) const = 0;
    /// Stores `value` under `key` as an integer (decimal text where the store has only text).
    virtual void WriteRawInt(std::string_view section, std::string_view key, int32_t value) = 0;
    /// Removes `key` from `section`; nothing when there is no such key.
    virtual void RemoveKey(std::string_view section, std::string_view key) = 0;
    /// Makes every write so far permanent. Throws CFileException (or the store's own exception)
    /// naming what failed; the store's earlier permanent state is then unchanged.
    virtual void Flush() = 0;

    // ---- Typed values: each read takes the value that a missing key yields.

    /// An integer; any non-zero value reads as true. Written as 0 or 1.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    void WriteBool(std::string_view section, std::string_view key, bool value);

    int32_t ReadInt(std::string_view section, std::string_view key, int32_t defaultValue) const;
    void WriteInt(std::string_view section, std::string_view key, int32_t value);

    /// A colour 0x00BBGGRR kept as an integer.
    uint32_t ReadColour(std::string_view section, std::string_view key,
                        uint32_t defaultValue) const;
    void WriteColour(std::string_view section, std::string_view key, uint32_t value);

    /// Text with line feed, carriage return and tab escaped (EscapeProfileText). A key that is
    /// present with an empty value reads as the empty text, not as the default.
    std::string ReadText(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
    void WriteText(std::string_view section, std::string_view key, std::string_view value);

    /// A font in its stored form (LogFont::ToString). A value that is not a font reads as the
    /// default.
    LogFont ReadFont(std::string_view section, std::string_view key,
                     const LogFont& defaultValue) const;
    void WriteFont(std::string_view section, std::string_view key, const LogFont& value);

    /// A date-time in the fixed text form "%Y %m %d %H %M %S". An empty value, or one that does
    /// not hold a valid date, reads as the default.
    CDateTime ReadDateTime(std::string_view section, std::string_view key,
                           const CDateTime& defaultValue) const;
    void WriteDateTime(std::string_view section, std::string_view key, const CDateTime& value);

    /// The lists: a value stored empty reads as the default, as a missing one does.
    FlagList ReadFlagList(std::string_view section, std::string_view key,
                          const FlagList& defaultValue) const;
    void WriteFlagList(std::string_view section, std::string_view key, const FlagList& value);
    NameList ReadNameList(std::string_view section, std::string_view key,
                          const NameList& defaultValue) const;
    void WriteNameList(std::string_view section, std::string_view key, const NameList& value);
    NumberList ReadNumberList(std::string_view section, std::string_view key,
                              const NumberList& defaultValue) const;
    void WriteNumberList(std::string_view section, std::string_view key, const NumberList& value);

    /// A password in scrambled form (see PasswordScrambler.h). Missing reads as empty, and so
    /// does a value that was not scrambled by this program.
    std::string ReadPassword(std::string_view section, std::string_view key) const;
    void WritePassword(std::string_view section, std::string_view key, std::string_view password);

protected:
    IProfileStore() = default;
    IProfileStore(const IProfileStore&) = default;
    IProfileStore& operator=(const IProfileStore&) = default;
};

} // namespace dv
