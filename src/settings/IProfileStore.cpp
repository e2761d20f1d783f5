#include "settings/IProfileStore.h"

#include "settings/PasswordScrambler.h"

namespace dv {

bool IProfileStore::ReadBool(std::string_view section, std::string_view key,
                             bool defaultValue) const {
    return ReadRawInt(section, key, defaultValue ? 1 : 0) != 0;
}

void IProfileStore::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteRawInt(section, key, value ? 1 : 0);
}

int32_t IProfileStore::ReadInt(std::string_view section, std::string_view key,
                               int32_t defaultValue) const {
    return ReadRawInt(section, key, defaultValue);
}

void IProfileStore::WriteInt(std::string_view section, std::string_view key, int32_t value) {
    WriteRawInt(section, key, value);
}

uint32_t IProfileStore::ReadColour(std::string_view section, std::string_view key,
                                   uint32_t defaultValue) const {
    return static_cast<uint32_t>(ReadRawInt(section, key, static_cast<int32_t>(defaultValue)));
}

void IProfileStore::WriteColour(std::string_view section, std::string_view key, uint32_t value) {
    WriteRawInt(section, key, static_cast<int32_t>(value));
}

std::string IProfileStore::ReadText(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    const std::optional<std::string> stored = ReadRawString(section, key);
    if (!stored) {
        return std::string(defaultValue);
    }
    return UnescapeProfileText(*stored);
}

void IProfileStore::WriteText(std::string_view section, std::string_view key,
                              std::string_view value) {
    WriteRawString(section, key, EscapeProfileText(value));
}

LogFont IProfileStore::ReadFont(std::string_view section, std::string_view key,
                                const LogFont& defaultValue) const {
    const std::optional<std::string> stored = ReadRawString(section, key);
    if (!stored) {
        return defaultValue;
    }
    return LogFont::FromString(*stored).value_or(defaultValue);
}

void IProfileStore::WriteFont(std::string_view section, std::string_view key,
                              const LogFont& value) {
    WriteRawString(section, key, value.ToString());
}

CDateTime IProfileStore::ReadDateTime(std::string_view section, std::string_view key,
                                      const CDateTime& defaultValue) const {
    const std::optional<std::string> stored = ReadRawString(section, key);
    CDateTime value = defaultValue;
    if (!stored || !value.Parse(*stored)) {
        return defaultValue;
    }
    return value;
}

void IProfileStore::WriteDateTime(std::string_view section, std::string_view key,
                                  const CDateTime& value) {
    WriteRawString(section, key, value.FormatFixed());
}

FlagList IProfileStore::ReadFlagList(std::string_view section, std::string_view key,
                                     const FlagList& defaultValue) const {
    const std::optional<std::string> stored = ReadRawString(section, key);
    if (!stored || stored->empty()) {
        return defaultValue;
    }
    return ParseFlagList(*stored);
}

void IProfileStore::WriteFlagList(std::string_view section, std::string_view key,
                                  const FlagList& value) {
    WriteRawString(section, key, FormatFlagList(value));
}

NameList IProfileStore::ReadNameList(std::string_view section, std::string_view key,
                                     const NameList& defaultValue) const {
    const std::optional<std::string> stored = ReadRawString(section, key);
    if (!stored || stored->empty()) {
        return defaultValue;
    }
    return ParseNameList(*stored);
}

void IProfileStore::WriteNameList(std::string_view section, std::string_view key,
                                  const NameList& value) {
    WriteRawString(section, key, FormatNameList(value));
}

NumberList IProfileStore::ReadNumberList(std::string_view section, std::string_view key,
                                         const NumberList& defaultValue) const {
    const std::optional<std::string> stored = ReadRawString(section, key);
    if (!stored) {
        return defaultValue;
    }
    NumberList numbers = ParseNumberList(*stored);
    // A text of blanks and commas holds no number; it counts as stored empty.
    return numbers.empty() ? defaultValue : numbers;
}

void IProfileStore::WriteNumberList(std::string_view section, std::string_view key,
                                    const NumberList& value) {
    WriteRawString(section, key, FormatNumberList(value));
}

std::string IProfileStore::ReadPassword(std::string_view section, std::string_view key) const {
    const std::optional<std::string> stored = ReadRawString(section, key);
    return stored ? UnscramblePassword(*stored) : std::string();
}

void IProfileStore::WritePassword(std::string_view section, std::string_view key,
                                  std::string_view password) {
    WriteRawString(section, key, ScramblePassword(password));
}

} // namespace dv
