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
    return text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos;
}

// Sections longer than this keep a hash index of their keys.
constexpr size_t kIndexThreshold = 64;

// Calls `line` for each line of `text`; CR LF, LF and a lone CR each end a line.
template <class LineFunction>
void ForEachLine(std::string_view text, LineFunction&& line) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') {
            continue;
        }
        line(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        line(text.substr(start));
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

// ---- Sections ---------------------------------------------------------------------------------

long CKeyFile::Section::Find(std::string_view key) const {
    if (!m_index.empty()) {
        const auto found = m_index.find(std::string(key));
        return found == m_index.end() ? -1 : static_cast<long>(found->second);
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first == key) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

void CKeyFile::Section::Set(std::string_view key, std::string value) {
    if (const long found = Find(key); found >= 0) {
        m_entries[static_cast<size_t>(found)].second = std::move(value);
        return;
    }
    m_entries.emplace_back(std::string(key), std::move(value));
    if (!m_index.empty()) {
        m_index.emplace(m_entries.back().first, m_entries.size() - 1);
    } else if (m_entries.size() > kIndexThreshold) {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            m_index.emplace(m_entries[i].first, i);
        }
    }
}

void CKeyFile::Section::Clear() {
    m_entries.clear();
    m_index.clear();
}

void CKeyFile::Section::CheckEntry(std::string_view sectionName, std::string_view key,
                                   std::string_view value) {
    // White space at the end of a value is lost on reading, as the format has it; keys must come
    // back exactly.
    if (key.empty() || HasLineBreak(key) || HasLineBreak(value) ||
        key.find('=') != std::string_view::npos || key.front() == '[' || Trim(key) != key) {
        throw std::invalid_argument("CKeyFile: the key \"" + std::string(key) + "\" of section \"" +
                                    std::string(sectionName) +
                                    "\" or its value cannot be read back");
    }
}

void CKeyFile::Section::SetValue(std::string_view key, std::string value) {
    CheckEntry(m_name, key, value);
    Set(key, std::move(value));
}

const std::string* CKeyFile::Section::GetValue(std::string_view key) const {
    const long found = Find(key);
    return found < 0 ? nullptr : &m_entries[static_cast<size_t>(found)].second;
}

// ---- Key file -----------------------------------------------------------------------------------

CKeyFile::Section& CKeyFile::FindOrAdd(std::string_view name) {
    if (const auto found = m_index.find(name); found != m_index.end()) {
        return m_sections[found->second];
    }
    m_index.emplace(std::string(name), m_sections.size());
    m_sections.push_back(Section(std::string(name)));
    return m_sections.back();
}

CKeyFile::Section& CKeyFile::GetOrAddSection(std::string_view name) {
    if (HasLineBreak(name) || Trim(name) != name) {
        throw std::invalid_argument("CKeyFile: the section name \"" + std::string(name) +
                                    "\" cannot be read back");
    }
    return FindOrAdd(name);
}

void CKeyFile::SetValue(std::string_view section, std::string_view key, std::string value) {
    Section::CheckEntry(section, key, value);
    GetOrAddSection(section).Set(key, std::move(value));
}

const CKeyFile::Section* CKeyFile::FindSection(std::string_view name) const {
    const auto found = m_index.find(name);
    return found == m_index.end() ? nullptr : &m_sections[found->second];
}

const std::string* CKeyFile::GetValue(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    return found == nullptr ? nullptr : found->GetValue(key);
}

// ---- Text ---------------------------------------------------------------------------------------

std::string CKeyFile::ToText() const {
    size_t size = 0;
    for (const Section& section : m_sections) {
        size += section.m_name.size() + 6;
        for (const auto& [key, value] : section.m_entries) {
            size += key.size() + value.size() + 3;
        }
    }
    std::string text;
    text.reserve(size);
    for (size_t i = 0; i < m_sections.size(); ++i) {
        const Section& section = m_sections[i];
        if (i > 0) {
            text += "\r\n";
        }
        text += '[';
        text += section.m_name;
        text += "]\r\n";
        for (const auto& [key, value] : section.m_entries) {
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
            // A header seen again starts that section afresh.
            current = &file.FindOrAdd(line.substr(1, line.size() - 2));
            current->Clear();
            return;
        }
        const size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            return;
        }
        current->Set(line.substr(0, equals), std::string(line.substr(equals + 1)));
    });
    return file;
}

// ---- Bytes --------------------------------------------------------------------------------------

std::string CKeyFile::EncodeText(std::string_view text) {
    // Windows-1252 bytes that happen to form UTF-8 would be read as UTF-8, so they take the mark.
    if (auto ansi = Utf8ToCp1252(text); ansi && (IsAscii(*ansi) || !IsValidUtf8(*ansi))) {
        return std::move(*ansi);
    }
    std::string bytes;
    bytes.reserve(kUtf8Mark.size() + text.size());
    bytes += kUtf8Mark;
    bytes += text;
    return bytes;
}

std::string CKeyFile::DecodeText(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) {
        const std::string_view body = bytes.substr(kUtf8Mark.size());
        return IsValidUtf8(body) ? std::string(body) : Utf16ToUtf8(Utf8ToUtf16(body));
    }
    if (bytes.starts_with(kUtf16Mark)) {
        return Utf16ToUtf8(DecodeUtf16Le(bytes.substr(kUtf16Mark.size())));
    }
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return Cp1252ToUtf8(bytes);
}

} // namespace dv
