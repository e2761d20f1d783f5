// Rotating backup copies of an event file, and the whole-or-nothing copy they share with the
// synchronisation cycle.

#include "document/RotatingBackup.h"

#include "core/ByteStream.h"
#include "document/EventFile.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <system_error>

namespace dv {

namespace {

std::filesystem::path BackupPath(const std::filesystem::path& file, int number) {
    std::array<char, 16> suffix{};
    std::snprintf(suffix.data(), suffix.size(), ".b%02d", number);
    return SidePath(file, suffix.data());
}

} // namespace

void CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::optional<std::filesystem::perms> mode) {
    CFileSource source(from);
    CAtomicFileSink sink(to, mode);
    std::array<uint8_t, 64 * 1024> buffer{};
    for (;;) {
        const size_t read = source.Read(buffer);
        if (read == 0) {
            break;
        }
        sink.Write(std::span<const uint8_t>(buffer.data(), read));
    }
    sink.Commit();
}

RotatingBackupResult MakeRotatingBackup(const std::filesystem::path& file, int depth, int hours,
                                        std::filesystem::file_time_type now) {
    if (depth < 1) {
        return {true, 0};
    }
    const auto age = std::chrono::hours(hours);
    std::optional<int> slot;
    std::optional<std::filesystem::file_time_type> newest;
    std::optional<std::filesystem::file_time_type> oldest;
    int oldestNumber = 0;
    for (int number = 0; number < depth; ++number) {
        const std::filesystem::path backup = BackupPath(file, number);
        std::error_code error;
        if (!std::filesystem::exists(backup, error)) {
            slot = number;
            break;
        }
        auto time = std::filesystem::last_write_time(backup, error);
        if (error) {
            return {false, 0};
        }
        if (time > now + age) {
            // A copy "from the future" would block every backup until the clock catches up.
            std::filesystem::last_write_time(backup, now, error);
            time = now;
        }
        if (!newest || time > *newest) {
            newest = time;
        }
        if (!oldest || time < *oldest) {
            oldest = time;
            oldestNumber = number;
        }
    }
    if (newest && now - *newest < age) {
        const auto remaining = std::chrono::ceil<std::chrono::seconds>(age - (now - *newest));
        return {true, static_cast<int64_t>(remaining.count())};
    }
    const std::filesystem::path target = BackupPath(file, slot.value_or(oldestNumber));
    try {
        // A copy is as private as the file it copies.
        std::error_code error;
        const auto mode = std::filesystem::status(file, error).permissions();
        CopyFileAtomically(file, target, error ? std::nullopt : std::optional(mode));
    } catch (const std::exception&) {
        return {false, 0};
    }
    std::error_code ignored; // the copy is there; a time that cannot be set only ages it early
    std::filesystem::last_write_time(target, now, ignored);
    return {true, static_cast<int64_t>(hours) * 3600};
}

} // namespace dv
