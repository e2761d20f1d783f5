#pragma once

#include <cstddef>
#include <functional>
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
    /// One section: its keys with their values, in the order first set.
    class Section {
    public:
        const std::string& GetName() const { return m_name; }

        /// Sets `key` to `value`. A key that could not be read back is refused with
        /// std::invalid_argument: empty, white space at either end, holding "=" or a line break,
        /// or starting with "[". A value may not hold a line break either; white space at its
        /// end is lost on reading.
        void SetValue(std::string_view key, std::string value);
        /// The value, or nullptr when the key does not exist. Valid until the section changes.
        const std::string* GetValue(std::string_view key) const;
        size_t GetKeyCount() const { return m_entries.size(); }

    private:
        friend class CKeyFile;
        explicit Section(std::string name) : m_name(std::move(name)) {}
        // Throws std::invalid_argument for a key or value that SetValue refuses.
        static void CheckEntry(std::string_view sectionName, std::string_view key,
                               std::string_view value);
        // Sets without checking: reading takes keys as they come.
        void Set(std::string_view key, std::string value);
        long Find(std::string_view key) const; // index into m_entries, or -1
        void Clear();

        std::string m_name;
        std::vector<std::pair<std::string, std::string>> m_entries;
        // Key -> index, kept only once a section grows long (a backup section has about fifty
        // keys, which a scan finds faster than a hash).
        std::unordered_map<std::string, size_t> m_index;
    };

    /// The section of that name, added at the end when there is none. Names that could not be
    /// read back are refused with std::invalid_argument: a line break, or white space at either
    /// end. The reference stays valid until the key file is changed by another call that adds a
    /// section.
    Section& GetOrAddSection(std::string_view name);

    /// The section, or nullptr when there is none.
    const Section* FindSection(std::string_view name) const;

    /// GetOrAddSection(section).SetValue(key, value), refusing bad names and values before
    /// anything is added.
    void SetValue(std::string_view section, std::string_view key, std::string value);

    /// The value, or nullptr when the section or the key does not exist. Valid until the key file
    /// is changed.
    const std::string* GetValue(std::string_view section, std::string_view key) const;

    bool HasSection(std::string_view section) const { return FindSection(section) != nullptr; }
    size_t GetSectionCount() const { return m_sections.size(); }

    /// The text (UTF-8): each section as its header line and one line per key, every section but
    /// the first preceded by an empty line, every line ended by CR LF. No sections: empty.
    std::string ToText() const;

    /// Parses text (UTF-8) with the rules of the class comment. Any text gives a key file.
    static CKeyFile FromText(std::string_view text);

    /// The bytes of a file: EncodeText(ToText()).
    std::string ToBytes() const { return EncodeText(ToText()); }

    /// Reads the bytes of a file: FromText(DecodeText(bytes)).
    static CKeyFile FromBytes(std::string_view bytes) { return FromText(DecodeText(bytes)); }

    /// The bytes of a file holding `text` (UTF-8): Windows-1252 when every character has a place
    /// there and the bytes cannot be taken for UTF-8, else UTF-8 after a byte-order mark.
    static std::string EncodeText(std::string_view text);

    /// The text (UTF-8) of a file's bytes: UTF-8 after a byte-order mark (ill-formed sequences
    /// become U+FFFD), UTF-16LE after its byte-order mark, UTF-8 without a mark when the bytes are
    /// well-formed UTF-8, else Windows-1252.
    static std::string DecodeText(std::string_view bytes);

private:
    // Lets the name index be searched with a string_view.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const noexcept {
            return std::hash<std::string_view>()(name);
        }
    };

    Section& FindOrAdd(std::string_view name);

    std::vector<Section> m_sections;
    std::unordered_map<std::string, size_t, NameHash, std::equal_to<>> m_index; // name -> index
};

} // namespace dv
