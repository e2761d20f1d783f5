#pragma once

#include <string>
#include <string_view>

namespace dv {

/// Compares two UTF-8 texts without regard to letter case, as category and group names, INI keys
/// and list sorting need it: A-Z, the accented capitals of Latin-1 (À to Þ, not ×), the Latin
/// Extended-A pairs (Ā/ā to Ž/ž), Greek and Cyrillic capitals fold to their small letters; every
/// other character compares by its code point. Ill-formed bytes compare by their byte value, after
/// every character. Returns <0, 0 or >0.
int CompareNoCase(std::string_view a, std::string_view b);

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    return CompareNoCase(a, b) == 0;
}

/// `text` with every capital that CompareNoCase folds replaced by its small letter; everything
/// else, ill-formed bytes included, stays as it is. Two texts compare equal without regard to
/// case exactly when their lower-cased forms are equal byte for byte.
std::string ToLowerText(std::string_view text);

/// A transparent ordering for sets and maps keyed by names that ignore letter case.
struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return CompareNoCase(a, b) < 0;
    }
};

} // namespace dv
