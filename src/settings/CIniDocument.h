#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

/// The text of an INI file in memory, read and changed with the rules of the Windows profile
/// functions, so that files move freely between this program and others:
/// - a line "[name]" starts a section (blanks around the name are ignored; without "]" the rest
///   of the line is the name); lines before the first section belong to the section "";
/// - a line "key=value" sets a key; the key is the text before the first "=", the value the text
///   after it, both without surrounding blanks (space, tab, vertical tab, form feed, carriage
///   return); a value enclosed in a pair of equal quote characters (" or ') loses that pair;
/// - a line that starts with ";" is a comment; other lines are kept and ignored;
/// - section and key names compare without regard to ASCII case; of duplicate keys the first
///   wins, also across several sections of the same name.
/// Changing a value keeps every other line as it was: comments, unknown lines and order.
///
/// Values are raw: apart from the quote pair nothing is interpreted. Writing protects what
/// reading would lose: a value with blanks at either end, or one that is itself enclosed in a
/// quote pair, is written between double quotes; a line feed or carriage return, which would end
/// the line, is written as "{0x0A}" or "{0x0D}", the settings' own escapes.
class CIniDocument {
public:
    /// An empty document.
    CIniDocument() = default;

    /// Reads the bytes of a file. Accepted encodings: UTF-8 after a byte-order mark (ill-formed
    /// sequences become U+FFFD), UTF-16LE after a byte-order mark, UTF-8 without a mark when the
    /// bytes are well-formed UTF-8, otherwise Windows-1252. Lines end with LF or CR LF (carriage
    /// returns before the LF are dropped). Any bytes give a document; none is an error.
    static CIniDocument FromBytes(std::string_view bytes);

    /// The bytes of the file: every line followed by the line end of the file read (CR LF when
    /// its first line ended so or for a new document, else LF), in Windows-1252 when every
    /// character has a place there and FromBytes cannot mistake the bytes for another encoding,
    /// else in UTF-8 after a byte-order mark. FromBytes of the result gives this document again.
    std::string ToBytes() const;

    /// The value of `key` in `section` (see the class comment), or nullopt when there is none.
    std::optional<std::string> GetValue(std::string_view section, std::string_view key) const;

    /// Sets `key` in `section` to `value`. An existing key keeps its line and the spelling of its
    /// name; a new key goes after the last key of the section's first occurrence (after its
    /// header when it has none); a new section is added at the end, after a blank line.
    /// Returns true when the document changed (false when the key already had that value).
    /// Throws std::invalid_argument when `section` is empty, has blanks at either end or holds
    /// "]" or a line break, or when `key` is empty, has blanks at either end, starts with ";" or
    /// "[", or holds "=" or a line break; such names cannot be written so that they read back.
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);

    /// Removes every line of `key` in `section` (in all its occurrences); true when there was one.
    bool RemoveKey(std::string_view section, std::string_view key);

    /// The names of all sections in file order, each name once (the first spelling).
    std::vector<std::string> GetSectionNames() const;
    /// The names of the keys of `section` (of all its occurrences) in file order, each name once.
    std::vector<std::string> GetKeyNames(std::string_view section) const;

    /// Number of lines, for callers that report sizes.
    size_t GetLineCount() const noexcept { return m_lines.size(); }

private:
    enum class LineKind : unsigned char { Other, Section, Key };
    struct Line {
        std::string text; // as in the file, UTF-8, without its line end
        LineKind kind = LineKind::Other;
        std::string_view Name() const { return std::string_view(text).substr(nameBegin, nameSize); }
        std::string_view RawValue() const {
            return std::string_view(text).substr(valueBegin, valueSize);
        }
        size_t nameBegin = 0; // section name or key, within text
        size_t nameSize = 0;
        size_t valueBegin = 0; // key lines: the value before the quote pair is removed
        size_t valueSize = 0;
    };

    static Line ParseLine(std::string text);

    std::vector<Line> m_lines;
    bool m_lineFeedOnly = false; // write LF instead of CR LF
};

} // namespace dv
