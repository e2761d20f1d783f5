#pragma once

#include "settings/CIniDocument.h"
#include "settings/IProfileStore.h"

#include <cstdint>
#include <filesystem>

namespace dv {

/// A settings store in one INI file, with the rules of CIniDocument. The file is read once when
/// the store is made; writes change the text in memory, and Flush writes the whole file again,
/// atomically (a temporary file renamed over the old one), in Windows-1252 when that suffices and
/// in UTF-8 with a byte-order mark otherwise.
class CIniStore final : public IProfileStore {
public:
    /// Larger files are refused: a settings file has a few kilobytes.
    static constexpr uint64_t kMaxFileSize = 32ULL << 20;

    /// Reads `path`. A missing file reads as empty (and is created by the first Flush after a
    /// write). Throws CFileException naming the path when the file exists but cannot be read, is
    /// not a regular file or is larger than kMaxFileSize.
    explicit CIniStore(std::filesystem::path path);
    /// Flushes unwritten changes; a failure there cannot be reported and leaves the old file.
    ~CIniStore() override;
    CIniStore(const CIniStore&) = delete;
    CIniStore& operator=(const CIniStore&) = delete;

    std::optional<std::string> ReadRawString(std::string_view section,
                                             std::string_view key) const override;
    void WriteRawString(std::string_view section, std::string_view key,
                        std::string_view value) override;
    /// Reads like GetProfileInt: a missing key or an empty value gives `defaultValue`, other
    /// text is read with ParseProfileInt.
    int32_t ReadRawInt(std::string_view section, std::string_view key,
                       int32_t defaultValue) const override;
    void WriteRawInt(std::string_view section, std::string_view key, int32_t value) override;
    void RemoveKey(std::string_view section, std::string_view key) override;
    /// Writes the file when something changed since it was read or last written. Throws
    /// CFileException naming the path when that fails; the old file is then untouched and the
    /// changes stay pending.
    void Flush() override;

    const std::filesystem::path& GetPath() const noexcept { return m_path; }
    const CIniDocument& GetDocument() const noexcept { return m_document; }
    /// True when there are writes that Flush has not written yet.
    bool IsModified() const noexcept { return m_modified; }

private:
    std::filesystem::path m_path;
    CIniDocument m_document;
    bool m_modified = false;
};

} // namespace dv
