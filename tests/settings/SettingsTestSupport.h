#pragma once

// A store that behaves like the platform's typed store, to check that the settings do not depend
// on the INI file's ways.

#include "settings/IProfileStore.h"

#include <map>
#include <string>
#include <utility>
#include <variant>

namespace dv::test {

/// Keeps strings and integers apart, as the registry does: an integer read of a string value,
/// or a string read of an integer value, finds nothing. Names are compared without case.
class CTypedMemoryStore final : public IProfileStore {
public:
    std::optional<std::string> ReadRawString(std::string_view section,
                                             std::string_view key) const override {
        const auto found = m_values.find(Name(section, key));
        if (found == m_values.end() || !std::holds_alternative<std::string>(found->second)) {
            return std::nullopt;
        }
        return std::get<std::string>(found->second);
    }
    void WriteRawString(std::string_view section, std::string_view key,
                        std::string_view value) override {
        m_values[Name(section, key)] = std::string(value);
    }
    int32_t ReadRawInt(std::string_view section, std::string_view key,
                       int32_t defaultValue) const override {
        const auto found = m_values.find(Name(section, key));
        if (found == m_values.end() || !std::holds_alternative<int32_t>(found->second)) {
            return defaultValue;
        }
        return std::get<int32_t>(found->second);
    }
    void WriteRawInt(std::string_view section, std::string_view key, int32_t value) override {
        m_values[Name(section, key)] = value;
    }
    void Flush() override { ++m_flushCount; }

    size_t GetValueCount() const { return m_values.size(); }
    int GetFlushCount() const { return m_flushCount; }

private:
    static std::pair<std::string, std::string> Name(std::string_view section,
                                                    std::string_view key) {
        return {Fold(section), Fold(key)};
    }
    static std::string Fold(std::string_view name) {
        std::string folded(name);
        for (char& c : folded) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return folded;
    }

    std::map<std::pair<std::string, std::string>, std::variant<std::string, int32_t>> m_values;
    int m_flushCount = 0;
};

} // namespace dv::test
