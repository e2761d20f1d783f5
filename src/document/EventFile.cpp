#include "document/EventFile.h"

#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/CArchiveException.h"
#include "core/CFileException.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include <unistd.h>

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
// Starts the part of a ".sync" file after the change list ("DVS1"), which older readers never see.
constexpr uint32_t kSyncSideMarker = 0x31535644;
// Starts the share's identity after the to-dos of a shared file ("DVSH").
constexpr uint32_t kShareIdMarker = 0x48535644;

std::function<void(SaveStage)>& SaveFaultHook() {
    static std::function<void(SaveStage)> hook;
    return hook;
}

void RunSaveFaultHook(SaveStage stage) {
    if (SaveFaultHook()) {
        SaveFaultHook()(stage);
    }
}

void WriteSyncSide(CArchive& ar, const SyncSideFile& side) {
    WriteChangeList(ar, side.changeList);
    if (side.eventFileFingerprint) {
        ar.WriteDWord(kSyncSideMarker);
        ar.WriteDWord(static_cast<uint32_t>(*side.eventFileFingerprint));
        ar.WriteDWord(static_cast<uint32_t>(*side.eventFileFingerprint >> 32));
        ar.WriteString(side.sharedPlace);
        ar.WriteString(side.sharedPlaceId);
    }
}

void ReadSyncSide(CArchive& ar, SyncSideFile& side) {
    ReadChangeList(ar, side.changeList);
    if (ar.GetRemaining() >= 4 && ar.ReadDWord() == kSyncSideMarker) {
        const uint64_t low = ar.ReadDWord();
        const uint64_t high = ar.ReadDWord();
        side.eventFileFingerprint = low | (high << 32);
        side.sharedPlace = ar.ReadString();
        if (ar.GetRemaining() > 0) {
            side.sharedPlaceId = ar.ReadString();
        }
    }
}

uint64_t ByteSwap64(uint64_t value) {
    uint64_t swapped = 0;
    for (int i = 0; i < 8; ++i) {
        swapped = (swapped << 8) | ((value >> (8 * i)) & 0xFF);
    }
    return swapped;
}

/// The fingerprint of bytes that arrive in pieces: eight bytes at a time with a multiply-xorshift
/// mix, the length mixed in at the end. Fast enough that every save can afford it, and any change
/// of content or length changes it with overwhelming likelihood; not cryptographic.
class Fingerprinter {
public:
    void Add(std::span<const uint8_t> bytes) {
        m_size += bytes.size();
        size_t i = 0;
        if (m_pendingCount > 0) {
            while (m_pendingCount < m_pending.size() && i < bytes.size()) {
                m_pending[m_pendingCount++] = bytes[i++];
            }
            if (m_pendingCount < m_pending.size()) {
                return;
            }
            MixWord(m_pending.data());
            m_pendingCount = 0;
        }
        for (; i + 8 <= bytes.size(); i += 8) {
            MixWord(bytes.data() + i);
        }
        while (i < bytes.size()) {
            m_pending[m_pendingCount++] = bytes[i++];
        }
    }

    uint64_t Finish() const {
        uint64_t tail = 0;
        for (size_t b = m_pendingCount; b > 0; --b) {
            tail = (tail << 8) | m_pending[b - 1];
        }
        uint64_t hash = (m_hash ^ tail) * kPrime;
        hash = (hash ^ (m_size * kPrime)) * kPrime;
        return hash ^ (hash >> 32);
    }

private:
    static constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ull;

    void MixWord(const uint8_t* data) {
        uint64_t word = 0;
        std::memcpy(&word, data, sizeof(word));
        if constexpr (std::endian::native == std::endian::big) {
            word = ByteSwap64(word); // the same fingerprint on every machine
        }
        m_hash = (m_hash ^ word) * kPrime;
        m_hash ^= m_hash >> 29;
    }

    uint64_t m_hash = 0xCBF29CE484222325ull;
    uint64_t m_size = 0;
    std::array<uint8_t, 8> m_pending{};
    size_t m_pendingCount = 0;
};

/// Passes every byte on to another sink and takes its fingerprint on the way.
class FingerprintingSink final : public CByteSink {
public:
    explicit FingerprintingSink(CByteSink& inner) : m_inner(inner) {}
    void Write(std::span<const uint8_t> bytes) override {
        m_fingerprint.Add(bytes);
        m_inner.Write(bytes);
    }
    void Flush() override { m_inner.Flush(); }
    uint64_t Fingerprint() const { return m_fingerprint.Finish(); }

private:
    CByteSink& m_inner;
    Fingerprinter m_fingerprint;
};

/// The fingerprint of a file on disk, read in pieces.
uint64_t FileFingerprint(const std::filesystem::path& path) {
    CFileSource source(path);
    Fingerprinter fingerprint;
    std::vector<uint8_t> buffer(64 * 1024);
    while (source.GetRemaining() > 0) {
        const size_t read = source.Read(buffer);
        if (read == 0) {
            throw CFileException(path, "the file ended early while it was read");
        }
        fingerprint.Add(std::span<const uint8_t>(buffer).first(read));
    }
    return fingerprint.Finish();
}

// A change list that belongs to another state of the event file: it keeps the GUIDs that the
// file holds, and every shared entry of the file joins it. A GUID the file lacks may name an
// entry another user shares that this user pulled after the file was written; pushed as a
// deletion it would remove that entry everywhere, so it goes.
void RecoverChangeList(DocumentContents& contents) {
    std::vector<std::string> recovered;
    const auto add = [&](const std::string& guid) {
        if (std::find(recovered.begin(), recovered.end(), guid) == recovered.end()) {
            recovered.push_back(guid);
        }
    };
    const auto holds = [&](const std::string& guid) {
        return std::any_of(contents.events.begin(), contents.events.end(),
                           [&](const auto& entry) { return entry->GetGUID() == guid; }) ||
               std::any_of(contents.todos.begin(), contents.todos.end(),
                           [&](const auto& todo) { return todo->GetGUID() == guid; });
    };
    for (const std::string& guid : contents.changeList) {
        if (holds(guid)) {
            add(guid);
        }
    }
    for (const auto& entry : contents.events) {
        if (entry->GetStorageType() == 1) {
            add(entry->GetGUID());
        }
    }
    for (const auto& todo : contents.todos) {
        if (todo->GetStorageType() == 1) {
            add(todo->GetGUID());
        }
    }
    contents.changeList = std::move(recovered);
}

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

// Writes `target` through an archive with `write`, replacing the file only when all went well;
// a new file gets `mode` when one is given.
template <class Write>
void WriteFileArchive(const std::filesystem::path& target, std::optional<std::filesystem::perms> mode,
                      Write&& write) {
    CAtomicFileSink sink(target, mode);
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
    if (!contents.shareId.empty()) {
        ar.WriteDWord(kShareIdMarker);
        ar.WriteString(contents.shareId);
    }
}

void ReadEventStream(CArchive& ar, DocumentContents& contents) {
    ar.ReadDWord(); // the marker: files are read on whatever it says
    ReadObjects(ar, contents.templates, kMinEventObjectBytes);
    ReadObjects(ar, contents.events, kMinEventObjectBytes);
    ReadObjects(ar, contents.todos, kMinTodoObjectBytes);
    // Whatever follows the to-dos is no part of the entries: a share's identity when it reads
    // as one, and ignored otherwise.
    if (ar.GetRemaining() >= 4) {
        try {
            if (ar.ReadDWord() == kShareIdMarker) {
                contents.shareId = ar.ReadString();
            }
        } catch (const CArchiveException&) {
            contents.shareId.clear();
        }
    }
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

namespace {

/// The bytes that `write` puts into an archive.
template <class Write>
std::vector<uint8_t> ArchiveBytes(Write write) {
    CMemorySink sink;
    CArchive ar(sink);
    write(ar);
    ar.Close();
    return sink.TakeData();
}

/// What `read` takes from an archive over `bytes`.
template <class Value, class Read>
Value FromArchiveBytes(std::span<const uint8_t> bytes, Read read) {
    Value value;
    CMemorySource source(bytes);
    CArchive ar(source);
    read(ar, value);
    ar.Close();
    return value;
}

} // namespace

std::vector<uint8_t> WriteEventFileBytes(const DocumentContents& contents) {
    return ArchiveBytes([&](CArchive& ar) { WriteEventStream(ar, contents); });
}

DocumentContents ReadEventFileBytes(std::span<const uint8_t> bytes) {
    if (bytes.empty()) {
        return {};
    }
    return FromArchiveBytes<DocumentContents>(bytes, ReadEventStream);
}

std::vector<uint8_t> WriteChangeListBytes(const std::vector<std::string>& changeList) {
    return ArchiveBytes([&](CArchive& ar) { WriteChangeList(ar, changeList); });
}

uint64_t EventFileFingerprint(std::span<const uint8_t> bytes) {
    Fingerprinter fingerprint;
    fingerprint.Add(bytes);
    return fingerprint.Finish();
}

uint64_t EventFileFingerprint(const std::filesystem::path& file) {
    return FileFingerprint(file);
}

bool IsReadOnlyFile(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::is_regular_file(status)) {
        return false;
    }
    constexpr auto kWriteBits = std::filesystem::perms::owner_write |
                                std::filesystem::perms::group_write |
                                std::filesystem::perms::others_write;
    if ((status.permissions() & kWriteBits) == std::filesystem::perms::none) {
        return true;
    }
    return ::access(file.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS);
}

std::vector<uint8_t> WriteSyncSideBytes(const SyncSideFile& side) {
    return ArchiveBytes([&](CArchive& ar) { WriteSyncSide(ar, side); });
}

SyncSideFile ReadSyncSideBytes(std::span<const uint8_t> bytes) {
    return FromArchiveBytes<SyncSideFile>(bytes, ReadSyncSide);
}

std::vector<std::string> ReadChangeListBytes(std::span<const uint8_t> bytes) {
    return FromArchiveBytes<std::vector<std::string>>(bytes, ReadChangeList);
}

// ---- Files --------------------------------------------------------------------------------------

void SetSaveFaultHook(std::function<void(SaveStage)> hook) {
    SaveFaultHook() = std::move(hook);
}

uint64_t WriteEventFile(const std::filesystem::path& path, const DocumentContents& contents) {
    // Both files' leftovers go first, so that a killed save leaves at most the temporary files
    // it was writing itself.
    const std::filesystem::path sidePath = SyncSidePath(path);
    RemoveStaleTemporaryFiles(path);
    RemoveStaleTemporaryFiles(sidePath);
    // The event file is written to its temporary file first, then the side file is put in place,
    // then the event file. Put in place after the event file, a side file that a dying save
    // never wrote would leave changed shared entries on disk that no change list names, and the
    // next cycle would take them back or delete them. Put in place first, it names the event file
    // it belongs to, so the reader knows when the event file is still the older one.
    CAtomicFileSink sink(path);
    FingerprintingSink fingerprinting(sink);
    try {
        CArchive ar(fingerprinting);
        WriteEventStream(ar, contents);
        ar.Close();
    } catch (const CArchiveException& error) {
        // Only a record that cannot be written (a string too long for its form) ends up here.
        throw CFileException(path, std::string("cannot write: ") + error.what());
    }
    if (!contents.changeList.empty() || !contents.sharedPlace.empty()) {
        const SyncSideFile side{contents.changeList, fingerprinting.Fingerprint(),
                                contents.sharedPlace, contents.sharedPlaceId};
        // The side file names the user's entries: as private as the event file.
        std::error_code error;
        const auto mode = std::filesystem::status(sink.GetTemporaryPath(), error).permissions();
        WriteFileArchive(sidePath, error ? std::nullopt : std::optional(mode),
                         [&](CArchive& ar) { WriteSyncSide(ar, side); });
        RunSaveFaultHook(SaveStage::sideFileWritten);
    }
    sink.Commit();
    RunSaveFaultHook(SaveStage::eventFileWritten);
    return fingerprinting.Fingerprint();
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
                SyncSideFile read;
                ReadFileArchive(sidePath, *side, [&](CArchive& ar) { ReadSyncSide(ar, read); });
                contents.changeList = std::move(read.changeList);
                contents.sharedPlace = std::move(read.sharedPlace);
                contents.sharedPlaceId = std::move(read.sharedPlaceId);
                if (read.eventFileFingerprint &&
                    *read.eventFileFingerprint != FileFingerprint(path)) {
                    RecoverChangeList(contents);
                }
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
