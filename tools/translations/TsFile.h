#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dv::ts {

/// The one context of the program's translation files; the string number is each message's
/// disambiguation (the <comment> of a Qt Linguist file), its English text the source.
inline constexpr std::string_view kContext = "Dayvault";

/// One message of a translation file.
struct TsMessage {
    enum class State { Finished, Unfinished, Obsolete };
    uint32_t id = 0;
    std::string source;      ///< the English text
    std::string oldSource;   ///< the English text the translation was made for, when it changed
    std::string translation; ///< empty when not translated yet
    State state = State::Unfinished;
};

/// A translation file in memory: its language ("de_DE") and its messages, ordered by number.
struct TsFile {
    std::string language;
    std::vector<TsMessage> messages;

    /// The message of string `id`, or nullptr.
    const TsMessage* Find(uint32_t id) const;
};

/// Reads a Qt Linguist file of the program's context. Throws std::runtime_error naming the file
/// and what is wrong with it (unreadable, not XML, a message without a number).
TsFile ReadTs(const std::filesystem::path& path);

/// One string of the built-in table.
struct TableString {
    uint32_t id;
    std::string_view english;
};

/// The file brought in step with the table: every string of the table gets a message (new ones
/// unfinished and empty), translations of unchanged English texts are kept as they were, a
/// changed English text keeps its old translation as an unfinished draft with the old source
/// beside it, and messages whose number left the table are kept but marked obsolete.
TsFile UpdateTs(const TsFile& existing, const std::vector<TableString>& table);

/// The file as Qt Linguist writes it.
std::string FormatTs(const TsFile& file);

/// Writes `file` to `path` through a temporary file beside it, so a failed write leaves the old
/// file whole. Throws std::runtime_error naming the file on failure.
void WriteTs(const std::filesystem::path& path, const TsFile& file);

} // namespace dv::ts
