#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace dv {

/// The sectioned key file of the text backup, in memory: sections of "key=value" lines.
///
/// Names and keys compare case-sensitively. Sections and keys keep the order in which they were
/// first set (any order reads back the same way; this one keeps a backup readable by hand).
///
/// Text syntax, as FromText reads it: every line is trimmed of white space at both ends first;
/// "[name]" starts a section, and a name that already exists empties that section; "key=value"
/// sets a key of the current section, the key being everything before the first "=" and the value
/// everything after it, and a key set twice keeps the later value; empty lines, lines before the
/// first section and lines without "=" are ignored. Lines end with CR LF, LF or CR.
class CKeyFile {
public:
    /// Sets `key` in `section` (created at the end when new) to `value`. Names that could not be
    /// read back are refused with std::invalid_argument: a line break anywhere, white space at
    /// either end of a name, an empty key, a key holding "=" or starting with "[". A value may not
    /// hold a line break either; white space at its end is lost on reading.
    void SetValue(std::string_view section, std::string_view key, std::string value);

    /// The value, or nullptr when the section or the key does not exist. The pointer stays valid
    /// until the key file is changed.
    const std::string* GetValue(std::string_view section, std::string_view key) const;

    bool HasSection(std::string_view section) const;
    size_t GetSectionCount() const { return m_sections.size(); }

    /// The text (UTF-8): each section as its header line and one line per key, every section but
    /// the first preceded by an empty line, every line ended by CR LF. No sections: empty.
    std::string ToText() const;

    /// Parses text (UTF-8) with the rules of the class comment. Any text gives a key file.
    static CKeyFile FromText(std::string_view text);

    /// The bytes of a file: ToText in Windows-1252 when every character has a place there and
    /// the bytes cannot be taken for UTF-8, else in UTF-8 after a byte-order mark.
    std::string ToBytes() const;

    /// Reads the bytes of a file: UTF-8 after a byte-order mark, UTF-16LE after its byte-order
    /// mark, UTF-8 without a mark when the bytes are well-formed UTF-8, else Windows-1252.
    static CKeyFile FromBytes(std::string_view bytes);

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries; // in the order first set
        std::unordered_map<std::string, size_t> index;            // key -> position in entries
    };

    Section& FindOrAddSection(std::string_view name);
    static void SetInSection(Section& section, std::string_view key, std::string value);

    std::vector<Section> m_sections;
    std::unordered_map<std::string, size_t> m_index; // name -> position in m_sections
};

} // namespace dv
