#include "settings/CIniStore.h"

#include "core/ByteStream.h"
#include "core/CFileException.h"

#include <span>
#include <system_error>

namespace dv {

namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
    CFileSource source(path);
    if (source.GetRemaining() > CIniStore::kMaxFileSize) {
        throw CFileException(path, "too large for a settings file (more than " +
                                       std::to_string(CIniStore::kMaxFileSize >> 20) + " MiB)");
    }
    std::string bytes(static_cast<size_t>(source.GetRemaining()), '\0');
    size_t filled = 0;
    while (filled < bytes.size()) {
        const size_t read = source.Read(std::span<uint8_t>(
            reinterpret_cast<uint8_t*>(bytes.data()) + filled, bytes.size() - filled));
        if (read == 0) {
            break; // the file shrank while it was read
        }
        filled += read;
    }
    bytes.resize(filled);
    return bytes;
}

} // namespace

CIniStore::CIniStore(std::filesystem::path path) : m_path(std::move(path)) {
    std::error_code error;
    const auto status = std::filesystem::status(m_path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return; // a missing file reads as empty
    }
    m_document = CIniDocument::FromBytes(ReadWholeFile(m_path));
}

CIniStore::~CIniStore() {
    try {
        Flush();
    } catch (...) { // NOLINT(bugprone-empty-catch): a destructor cannot report; the file is intact
    }
}

std::optional<std::string> CIniStore::ReadRawString(std::string_view section,
                                                    std::string_view key) const {
    return m_document.GetValue(section, key);
}

void CIniStore::WriteRawString(std::string_view section, std::string_view key,
                               std::string_view value) {
    if (m_document.SetValue(section, key, value)) {
        m_modified = true;
    }
}

int32_t CIniStore::ReadRawInt(std::string_view section, std::string_view key,
                              int32_t defaultValue) const {
    const std::optional<std::string> stored = m_document.GetValue(section, key);
    if (!stored || stored->empty()) {
        return defaultValue;
    }
    return ParseProfileInt(*stored);
}

void CIniStore::WriteRawInt(std::string_view section, std::string_view key, int32_t value) {
    WriteRawString(section, key, std::to_string(value));
}

void CIniStore::RemoveKey(std::string_view section, std::string_view key) {
    if (m_document.RemoveKey(section, key)) {
        m_modified = true;
    }
}

void CIniStore::Flush() {
    if (!m_modified) {
        return;
    }
    const std::string bytes = m_document.ToBytes();
    // The settings hold the FTP password, in a form any reader of this file can undo: for the
    // user alone, as ssh keeps its private files.
    CAtomicFileSink sink(m_path,
                         std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    sink.Write(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    sink.Commit();
    m_modified = false;
}

} // namespace dv
