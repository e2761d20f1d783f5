#include "document/CKeyFile.h"

#include "core/TextEncoding.h"

#include <stdexcept>

namespace dv {

namespace {

// ---- file-local helpers -------------------------------------------------------------------------

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Calls `line` for each line of `text`; CR LF, LF and a lone CR each end a line.
template <class LineFunction>
void ForEachLine(std::string_view text, LineFunction&& line) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            line(text.substr(start));
            return;
        }
        line(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
}

std::u16string DecodeUtf16Le(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                         (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    }
    return units;
}

} // namespace

// ---- Building -----------------------------------------------------------------------------------

CKeyFile::Section& CKeyFile::FindOrAddSection(std::string_view name) {
    const auto found = m_index.find(std::string(name));
    if (found != m_index.end()) {
        return m_sections[found->second];
    }
    m_index.emplace(std::string(name), m_sections.size());
    m_sections.push_back(Section{std::string(name), {}, {}});
    return m_sections.back();
}

void CKeyFile::SetInSection(Section& section, std::string_view key, std::string value) {
    const auto found = section.index.find(std::string(key));
    if (found != section.index.end()) {
        section.entries[found->second].second = std::move(value);
        return;
    }
    section.index.emplace(std::string(key), section.entries.size());
    section.entries.emplace_back(std::string(key), std::move(value));
}

void CKeyFile::SetValue(std::string_view section, std::string_view key, std::string value) {
    // White space at the end of a value is lost on reading, as the format has it; names must
    // come back exactly.
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || key.empty() ||
        key.find('=') != std::string_view::npos || key.front() == '[' || Trim(key) != key ||
        Trim(section) != section) {
        throw std::invalid_argument("CKeyFile::SetValue: the section \"" + std::string(section) +
                                    "\" or its key \"" + std::string(key) +
                                    "\" cannot be read back");
    }
    SetInSection(FindOrAddSection(section), key, std::move(value));
}

const std::string* CKeyFile::GetValue(std::string_view section, std::string_view key) const {
    const auto foundSection = m_index.find(std::string(section));
    if (foundSection == m_index.end()) {
        return nullptr;
    }
    const Section& entries = m_sections[foundSection->second];
    const auto foundKey = entries.index.find(std::string(key));
    if (foundKey == entries.index.end()) {
        return nullptr;
    }
    return &entries.entries[foundKey->second].second;
}

bool CKeyFile::HasSection(std::string_view section) const {
    return m_index.contains(std::string(section));
}

// ---- Text ---------------------------------------------------------------------------------------

std::string CKeyFile::ToText() const {
    std::string text;
    for (size_t i = 0; i < m_sections.size(); ++i) {
        const Section& section = m_sections[i];
        if (i > 0) {
            text += "\r\n";
        }
        text += '[';
        text += section.name;
        text += "]\r\n";
        for (const auto& [key, value] : section.entries) {
            text += key;
            text += '=';
            text += value;
            text += "\r\n";
        }
    }
    return text;
}

CKeyFile CKeyFile::FromText(std::string_view text) {
    CKeyFile file;
    Section* current = nullptr;
    ForEachLine(text, [&](std::string_view rawLine) {
        const std::string_view line = Trim(rawLine);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &file.FindOrAddSection(line.substr(1, line.size() - 2));
            // A header seen again starts that section afresh.
            current->entries.clear();
            current->index.clear();
            return;
        }
        const size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            return;
        }
        SetInSection(*current, line.substr(0, equals), std::string(line.substr(equals + 1)));
    });
    return file;
}

// ---- Bytes --------------------------------------------------------------------------------------

std::string CKeyFile::ToBytes() const {
    std::string text = ToText();
    // Windows-1252 bytes that happen to form UTF-8 would be read as UTF-8, so they take the mark.
    if (const auto ansi = Utf8ToCp1252(text); ansi && (IsAscii(*ansi) || !IsValidUtf8(*ansi))) {
        return *ansi;
    }
    return std::string(kUtf8Mark) + text;
}

CKeyFile CKeyFile::FromBytes(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) {
        const std::string_view body = bytes.substr(kUtf8Mark.size());
        // Ill-formed sequences become U+FFFD rather than reaching the records.
        return FromText(IsValidUtf8(body) ? std::string(body) : Utf16ToUtf8(Utf8ToUtf16(body)));
    }
    if (bytes.starts_with(kUtf16Mark)) {
        return FromText(Utf16ToUtf8(DecodeUtf16Le(bytes.substr(kUtf16Mark.size()))));
    }
    if (IsValidUtf8(bytes)) {
        return FromText(bytes);
    }
    return FromText(Cp1252ToUtf8(bytes));
}

} // namespace dv
