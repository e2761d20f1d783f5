#include "document/EventFile.h"

#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/CArchiveException.h"
#include "core/CFileException.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace dv {

namespace {

// ---- file-local helpers -------------------------------------------------------------------------

// Lower bounds of one object in the stream: its two-byte tag and the shortest record that any
// schema of the class can hold (every string empty, every list empty). A count that claims more
// objects than the rest of the input could hold at this size is refused before anything is
// reserved for it.
constexpr size_t kMinEventObjectBytes = 2 + 150;
constexpr size_t kMinTodoObjectBytes = 2 + 50;
// A GUID string in a change list takes at least its length byte.
constexpr size_t kMinChangeEntryBytes = 1;

// Reserves room for `count` items, but never more than the rest of the input could hold.
template <class T>
void ReserveFor(std::vector<T>& list, const CArchive& ar, uint64_t count, size_t minBytesEach) {
    const uint64_t possible = ar.GetRemaining() / minBytesEach;
    list.reserve(list.size() + static_cast<size_t>(std::min(count, possible)));
}

template <class T>
void WriteObjects(CArchive& ar, const std::vector<std::unique_ptr<T>>& list) {
    ar.WriteLong(static_cast<int32_t>(list.size()));
    for (const auto& entry : list) {
        ar.WriteObject(entry.get());
    }
}

template <class T>
void ReadObjects(CArchive& ar, std::vector<std::unique_ptr<T>>& list, size_t minBytesEach) {
    const uint64_t countOffset = ar.GetPosition();
    const int32_t count = ar.ReadLong();
    if (count <= 0) {
        return;
    }
    if (static_cast<uint64_t>(count) > ar.GetRemaining() / minBytesEach) {
        throw CArchiveException(CArchiveException::Cause::endOfFile, countOffset,
                                "unexpected end of data at offset " + std::to_string(countOffset) +
                                    ": the count " + std::to_string(count) + " of " +
                                    T::RuntimeClass.GetName() +
                                    " objects needs more data than remains");
    }
    ReserveFor(list, ar, static_cast<uint64_t>(count), minBytesEach);
    for (int32_t i = 0; i < count; ++i) {
        const uint64_t offset = ar.GetPosition();
        std::unique_ptr<T> entry = ar.ReadObject<T>();
        if (!entry) {
            // A null reference has no record to read; the lists hold real entries only.
            throw CArchiveException(CArchiveException::Cause::badClass, offset,
                                    "null object at offset " + std::to_string(offset) +
                                        " where a " + T::RuntimeClass.GetName() + " is expected");
        }
        list.push_back(std::move(entry));
    }
}

// The same error with the file's name in front, so the message says which file failed.
[[noreturn]] void ThrowNamingFile(const CArchiveException& error,
                                  const std::filesystem::path& path) {
    throw CArchiveException(error.GetCause(), error.GetOffset(),
                            path.string() + ": " + error.what());
}

// Reads a whole file through an archive with `read`, naming the file in any archive error.
template <class Read>
void ReadFileArchive(const std::filesystem::path& path, CFileSource& source, Read&& read) {
    try {
        CArchive ar(source);
        read(ar);
        ar.Close();
    } catch (const CArchiveException& error) {
        ThrowNamingFile(error, path);
    }
}

// Writes `target` through an archive with `write`, replacing the file only when all went well.
template <class Write>
void WriteFileArchive(const std::filesystem::path& target, Write&& write) {
    CAtomicFileSink sink(target);
    try {
        CArchive ar(sink);
        write(ar);
        ar.Close();
    } catch (const CArchiveException& error) {
        // Only a record that cannot be written (a string too long for its form) ends up here.
        throw CFileException(target, std::string("cannot write: ") + error.what());
    }
    sink.Commit();
}

// True for "<name>.<16 hex digits>.tmp".
bool IsTemporaryNameOf(std::string_view candidate, std::string_view name) {
    constexpr std::string_view kSuffix = ".tmp";
    constexpr size_t kDigits = 16;
    if (candidate.size() != name.size() + 1 + kDigits + kSuffix.size() ||
        !candidate.starts_with(name) || !candidate.ends_with(kSuffix) ||
        candidate[name.size()] != '.') {
        return false;
    }
    const std::string_view digits = candidate.substr(name.size() + 1, kDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

} // namespace

// ---- Side file name -----------------------------------------------------------------------------

std::filesystem::path SidePath(const std::filesystem::path& file, std::string_view suffix) {
    std::filesystem::path::string_type name = file.filename().native();
    const auto dot = name.rfind('.');
    if (dot != std::filesystem::path::string_type::npos) {
        name.erase(dot);
    }
    std::filesystem::path side = file;
    side.replace_filename(name);
    side += std::filesystem::path(suffix);
    return side;
}

std::filesystem::path SyncSidePath(const std::filesystem::path& eventFile) {
    return SidePath(eventFile, ".sync");
}

// ---- Streams ------------------------------------------------------------------------------------

void WriteEventStream(CArchive& ar, const DocumentContents& contents) {
    ar.WriteDWord(kEventFileMarker);
    WriteObjects(ar, contents.templates);
    WriteObjects(ar, contents.events);
    WriteObjects(ar, contents.todos);
}

void ReadEventStream(CArchive& ar, DocumentContents& contents) {
    ar.ReadDWord(); // the marker: files are read on whatever it says
    ReadObjects(ar, contents.templates, kMinEventObjectBytes);
    ReadObjects(ar, contents.events, kMinEventObjectBytes);
    ReadObjects(ar, contents.todos, kMinTodoObjectBytes);
}

void WriteChangeList(CArchive& ar, const std::vector<std::string>& changeList) {
    ar.WriteCount(static_cast<uint32_t>(changeList.size()));
    for (const std::string& guid : changeList) {
        ar.WriteString(guid);
    }
}

void ReadChangeList(CArchive& ar, std::vector<std::string>& changeList) {
    const uint32_t count = ar.ReadCount();
    ar.CheckCount(count, kMinChangeEntryBytes);
    ReserveFor(changeList, ar, count, kMinChangeEntryBytes);
    for (uint32_t i = 0; i < count; ++i) {
        std::string guid = ar.ReadString();
        // The change list never names an entry twice; a hand-edited file might.
        if (std::find(changeList.begin(), changeList.end(), guid) == changeList.end()) {
            changeList.push_back(std::move(guid));
        }
    }
}

// ---- Byte buffers -------------------------------------------------------------------------------

std::vector<uint8_t> WriteEventFileBytes(const DocumentContents& contents) {
    CMemorySink sink;
    CArchive ar(sink);
    WriteEventStream(ar, contents);
    ar.Close();
    return sink.TakeData();
}

DocumentContents ReadEventFileBytes(std::span<const uint8_t> bytes) {
    DocumentContents contents;
    if (bytes.empty()) {
        return contents;
    }
    CMemorySource source(bytes);
    CArchive ar(source);
    ReadEventStream(ar, contents);
    ar.Close();
    return contents;
}

std::vector<uint8_t> WriteChangeListBytes(const std::vector<std::string>& changeList) {
    CMemorySink sink;
    CArchive ar(sink);
    WriteChangeList(ar, changeList);
    ar.Close();
    return sink.TakeData();
}

std::vector<std::string> ReadChangeListBytes(std::span<const uint8_t> bytes) {
    std::vector<std::string> changeList;
    CMemorySource source(bytes);
    CArchive ar(source);
    ReadChangeList(ar, changeList);
    ar.Close();
    return changeList;
}

// ---- Files --------------------------------------------------------------------------------------

void WriteEventFile(const std::filesystem::path& path, const DocumentContents& contents) {
    // Both files' leftovers go first, so that a killed save leaves at most the one temporary file
    // it was writing, whichever of the two that was.
    const std::filesystem::path sidePath = SyncSidePath(path);
    RemoveStaleTemporaryFiles(path);
    RemoveStaleTemporaryFiles(sidePath);
    WriteFileArchive(path, [&](CArchive& ar) { WriteEventStream(ar, contents); });
    if (!contents.changeList.empty()) {
        WriteFileArchive(sidePath, [&](CArchive& ar) { WriteChangeList(ar, contents.changeList); });
    }
}

DocumentContents ReadEventFile(const std::filesystem::path& path, EventFileParts parts) {
    DocumentContents contents;
    {
        CFileSource source(path);
        if (source.GetRemaining() == 0) {
            // An empty file is a new document that was never written to.
            return contents;
        }
        ReadFileArchive(path, source, [&](CArchive& ar) { ReadEventStream(ar, contents); });
    }
    if (parts == EventFileParts::withChangeList) {
        const std::filesystem::path sidePath = SyncSidePath(path);
        std::error_code error;
        if (std::filesystem::exists(sidePath, error)) {
            std::optional<CFileSource> side;
            try {
                side.emplace(sidePath);
            } catch (const CFileException&) {
                // A side file that cannot be opened counts as missing; the next save with
                // changes replaces it.
            }
            if (side) {
                ReadFileArchive(sidePath, *side,
                                [&](CArchive& ar) { ReadChangeList(ar, contents.changeList); });
            }
        }
    }
    return contents;
}

int RemoveStaleTemporaryFiles(const std::filesystem::path& target) {
    std::error_code error;
    std::filesystem::path resolved = target;
    // The sink writes beside the file a link points to, so its leftovers lie there.
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) {
        const auto canonical = std::filesystem::canonical(target, error);
        if (!error) {
            resolved = canonical;
        }
    }
    const std::filesystem::path folder =
        resolved.has_parent_path() ? resolved.parent_path() : std::filesystem::path(".");
    const std::string name = resolved.filename().string();
    if (name.empty()) {
        return 0;
    }
    int removed = 0;
    std::filesystem::directory_iterator it(folder, error);
    if (error) {
        return 0;
    }
    for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
        if (error) {
            break;
        }
        const std::filesystem::path& candidate = it->path();
        if (IsTemporaryNameOf(candidate.filename().string(), name) && it->is_regular_file(error) &&
            std::filesystem::remove(candidate, error)) {
            ++removed;
        }
    }
    return removed;
}

} // namespace dv
