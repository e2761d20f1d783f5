#include "settings/CIniDocument.h"

#include "core/TextEncoding.h"

#include <stdexcept>
#include <unordered_set>

namespace dv {

namespace {

// ---- Characters and names

// The blanks that reading trims around names and values. Writing quotes a value that starts or
// ends with one of them, so the two sets must stay the same.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = FoldAscii(c);
    }
    return folded;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

bool HasOuterBlank(std::string_view text) {
    return !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
}

void CheckSectionName(std::string_view section) {
    if (section.empty() || HasOuterBlank(section) || HasLineBreak(section) ||
        section.find(']') != section.npos) {
        throw std::invalid_argument("INI section name cannot be written: \"" +
                                    std::string(section) + "\"");
    }
}

void CheckKeyName(std::string_view key) {
    if (key.empty() || HasOuterBlank(key) || HasLineBreak(key) || key.find('=') != key.npos ||
        key.front() == ';' || key.front() == '[') {
        throw std::invalid_argument("INI key name cannot be written: \"" + std::string(key) + "\"");
    }
}

// ---- Values

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// A value read from a line loses one pair of equal enclosing quotes.
std::string_view Unquote(std::string_view raw) {
    if (raw.size() >= 2 && IsQuote(raw.front()) && raw.back() == raw.front()) {
        return raw.substr(1, raw.size() - 2);
    }
    return raw;
}

// The text to put after "=" so that reading the line gives `value` back (line breaks aside).
std::string EncodeValue(std::string_view value) {
    std::string encoded;
    encoded.reserve(value.size() + 2);
    for (const char c : value) {
        if (c == '\n') {
            encoded.append("{0x0A}");
        } else if (c == '\r') {
            encoded.append("{0x0D}");
        } else {
            encoded.push_back(c);
        }
    }
    const bool enclosed =
        encoded.size() >= 2 && IsQuote(encoded.front()) && encoded.back() == encoded.front();
    if (HasOuterBlank(encoded) || enclosed) {
        encoded.insert(encoded.begin(), '"');
        encoded.push_back('"');
    }
    return encoded;
}

// ---- Encodings

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

std::string DecodeFile(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
        return IsValidUtf8(bytes) ? std::string(bytes) : Utf16ToUtf8(Utf8ToUtf16(bytes));
    }
    if (bytes.starts_with(kUtf16LeMark)) {
        bytes.remove_prefix(kUtf16LeMark.size());
        std::u16string units(bytes.size() / 2, u'\0'); // an odd last byte is dropped
        for (size_t i = 0; i < units.size(); ++i) {
            units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                             (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
        }
        return Utf16ToUtf8(units);
    }
    // Text written by a UTF-8 editor without a mark: Windows-1252 text is almost never valid
    // UTF-8 once it has a byte above 0x7F, so the check tells the two apart.
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return Cp1252ToUtf8(bytes);
}

} // namespace

CIniDocument::Line CIniDocument::ParseLine(std::string text) {
    Line line;
    line.text = std::move(text);
    const std::string_view all = line.text;
    const std::string_view content = Trim(all);
    if (content.empty() || content.front() == ';') {
        return line;
    }
    const auto offset = [&](std::string_view part) {
        return static_cast<size_t>(part.data() - all.data());
    };
    if (content.front() == '[') {
        std::string_view name = content.substr(1);
        if (const size_t close = name.find(']'); close != name.npos) {
            name = name.substr(0, close);
        }
        name = Trim(name);
        line.kind = LineKind::Section;
        line.nameBegin = offset(name);
        line.nameSize = name.size();
        return line;
    }
    const size_t equals = content.find('=');
    if (equals == content.npos) {
        return line;
    }
    const std::string_view key = Trim(content.substr(0, equals));
    if (key.empty()) {
        return line;
    }
    const std::string_view value = Trim(content.substr(equals + 1));
    line.kind = LineKind::Key;
    line.nameBegin = offset(key);
    line.nameSize = key.size();
    line.valueBegin = value.empty() ? offset(content) + content.size() : offset(value);
    line.valueSize = value.size();
    return line;
}

CIniDocument CIniDocument::FromBytes(std::string_view bytes) {
    CIniDocument document;
    const std::string text = DecodeFile(bytes);
    const size_t firstBreak = text.find('\n');
    document.m_lineFeedOnly =
        firstBreak != std::string::npos && (firstBreak == 0 || text[firstBreak - 1] != '\r');
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) {
            end = text.size();
        }
        // Stray carriage returns before the line end go with it; they are blanks to the reader
        // anyway, and keeping one would not survive a file written with LF line ends.
        size_t contentEnd = end;
        while (contentEnd > start && text[contentEnd - 1] == '\r') {
            --contentEnd;
        }
        document.m_lines.push_back(ParseLine(text.substr(start, contentEnd - start)));
        start = next;
    }
    return document;
}

std::string CIniDocument::ToBytes() const {
    const std::string_view lineEnd = m_lineFeedOnly ? "\n" : "\r\n";
    std::string text;
    for (const Line& line : m_lines) {
        text.append(line.text);
        text.append(lineEnd);
    }
    if (std::optional<std::string> cp1252 = Utf8ToCp1252(text)) {
        // Windows-1252 bytes that a reader would take for UTF-8 or a byte-order mark (text such
        // as "Ã¤", or a first line starting "ÿþ" or "ï»¿") go out as UTF-8 too, so the file reads
        // back as it was.
        const bool mistakable = (!IsAscii(*cp1252) && IsValidUtf8(*cp1252)) ||
                                cp1252->starts_with(kUtf8Mark) || cp1252->starts_with(kUtf16LeMark);
        if (!mistakable) {
            return std::move(*cp1252);
        }
    }
    return std::string(kUtf8Mark) + text;
}

std::optional<std::string> CIniDocument::GetValue(std::string_view section,
                                                  std::string_view key) const {
    bool inSection = section.empty();
    for (const Line& line : m_lines) {
        if (line.kind == LineKind::Section) {
            inSection = EqualsNoCase(line.Name(), section);
        } else if (inSection && line.kind == LineKind::Key && EqualsNoCase(line.Name(), key)) {
            return std::string(Unquote(line.RawValue()));
        }
    }
    return std::nullopt;
}

bool CIniDocument::SetValue(std::string_view section, std::string_view key,
                            std::string_view value) {
    CheckSectionName(section);
    CheckKeyName(key);
    const std::string encoded = EncodeValue(value);

    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t insertAfter = kNone; // last key line, or header, of the section's first occurrence
    bool inSection = false;
    bool inFirstOccurrence = false;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        Line& line = m_lines[i];
        if (line.kind == LineKind::Section) {
            inSection = EqualsNoCase(line.Name(), section);
            inFirstOccurrence = inSection && insertAfter == kNone;
            if (inFirstOccurrence) {
                insertAfter = i;
            }
            continue;
        }
        if (!inSection || line.kind != LineKind::Key) {
            continue;
        }
        if (EqualsNoCase(line.Name(), key)) {
            if (Unquote(line.RawValue()) == value) {
                return false; // reads as `value` already; keep the line as the user wrote it
            }
            line = ParseLine(std::string(line.Name()) + "=" + encoded);
            return true;
        }
        if (inFirstOccurrence) {
            insertAfter = i;
        }
    }

    Line keyLine = ParseLine(std::string(key) + "=" + encoded);
    if (insertAfter != kNone) {
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAfter + 1),
                       std::move(keyLine));
        return true;
    }
    if (!m_lines.empty() && !Trim(m_lines.back().text).empty()) {
        m_lines.push_back(ParseLine(std::string()));
    }
    m_lines.push_back(ParseLine("[" + std::string(section) + "]"));
    m_lines.push_back(std::move(keyLine));
    return true;
}

std::vector<std::string> CIniDocument::GetSectionNames() const {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const Line& line : m_lines) {
        if (line.kind == LineKind::Section && seen.insert(FoldName(line.Name())).second) {
            names.emplace_back(line.Name());
        }
    }
    return names;
}

bool CIniDocument::RemoveKey(std::string_view section, std::string_view key) {
    bool inSection = section.empty();
    const auto removed = std::erase_if(m_lines, [&](const Line& line) {
        if (line.kind == LineKind::Section) {
            inSection = EqualsNoCase(line.Name(), section);
            return false;
        }
        return inSection && line.kind == LineKind::Key && EqualsNoCase(line.Name(), key);
    });
    return removed > 0;
}

std::vector<std::string> CIniDocument::GetKeyNames(std::string_view section) const {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    bool inSection = section.empty();
    for (const Line& line : m_lines) {
        if (line.kind == LineKind::Section) {
            inSection = EqualsNoCase(line.Name(), section);
            continue;
        }
        if (inSection && line.kind == LineKind::Key && seen.insert(FoldName(line.Name())).second) {
            names.emplace_back(line.Name());
        }
    }
    return names;
}

} // namespace dv
