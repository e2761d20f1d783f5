#pragma once

#include "document/DocumentContents.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

class CArchive;

/// The DWORD that starts every event file this program writes. Readers do not check it.
inline constexpr uint32_t kEventFileMarker = 100;

/// Which files ReadEventFile reads.
enum class EventFileParts {
    withChangeList, ///< the event file and, when it exists, its ".sync" side file (opening)
    entriesOnly,    ///< the event file alone (merging another file)
};

/// The ".sync" side file of an event file: the same folder, the file name with everything from its
/// last "." replaced by ".sync" ("events.dat" -> "events.sync"); a file name without a "." gets
/// ".sync" appended. Only the file name is searched for the dot, so a dotted folder name
/// ("~/.config/events") never moves the side file out of the event file's folder.
std::filesystem::path SyncSidePath(const std::filesystem::path& eventFile);

/// A side file of `file`: the file name with everything from its last "." replaced by `suffix`
/// (".lock", ".b00"), or `suffix` appended when the name has no "."; folders are never searched
/// for the dot. SyncSidePath is SidePath(eventFile, ".sync").
std::filesystem::path SidePath(const std::filesystem::path& file, std::string_view suffix);

// ---- Streams ------------------------------------------------------------------------------------

/// Writes the marker, then templates, events and to-dos, each list as a LONG count followed by its
/// objects, into `ar` (which the caller closes). The change list is not part of this stream.
void WriteEventStream(CArchive& ar, const DocumentContents& contents);

/// Reads what WriteEventStream writes and appends the entries to the three lists of `contents`.
/// The marker's value is ignored and a negative count reads no objects; bytes after the to-dos are
/// ignored. Every object must be of the expected class ("CDateEntry" for templates and events,
/// "CTodoEntry" for to-dos); anything else, or data that ends early, throws CArchiveException and
/// leaves the entries read so far in `contents`.
void ReadEventStream(CArchive& ar, DocumentContents& contents);

/// Writes a change list: the archive count, then one string per GUID.
void WriteChangeList(CArchive& ar, const std::vector<std::string>& changeList);

/// Reads a change list and appends its entries to `changeList`, skipping any already in it.
/// Throws CArchiveException when the data ends early.
void ReadChangeList(CArchive& ar, std::vector<std::string>& changeList);

/// The ".sync" side file as a whole: the change list, and after it (unknown to older readers,
/// which stop after the list) the fingerprint of the event file it was written for and the
/// shared place of DocumentContents.
struct SyncSideFile {
    std::vector<std::string> changeList;
    std::optional<uint64_t> eventFileFingerprint; ///< none in files of older writers
    std::string sharedPlace;
    std::string sharedPlaceId;
};

/// A 64-bit fingerprint of an event file's bytes, length included; not a cryptographic hash.
uint64_t EventFileFingerprint(std::span<const uint8_t> bytes);
/// The same fingerprint of a file on disk. Throws CFileException naming a file that cannot be
/// read.
uint64_t EventFileFingerprint(const std::filesystem::path& file);

/// Whether the user made `file` read-only: it exists and nobody may write it (no write bit in
/// its mode, which counts even for the administrator), or this user may not. A missing file
/// is not read-only.
bool IsReadOnlyFile(const std::filesystem::path& file);

// ---- Byte buffers -------------------------------------------------------------------------------

/// The bytes of the event file of `contents` (without the change list).
std::vector<uint8_t> WriteEventFileBytes(const DocumentContents& contents);

/// Reads an event file held in memory. An empty buffer is an empty document; one of 1 to 15 bytes
/// is an end-of-file error. Throws CArchiveException on any fault.
DocumentContents ReadEventFileBytes(std::span<const uint8_t> bytes);

/// The bytes of a ".sync" side file holding `changeList`.
std::vector<uint8_t> WriteChangeListBytes(const std::vector<std::string>& changeList);

/// Reads a ".sync" side file held in memory. Throws CArchiveException on any fault (an empty
/// buffer is an end-of-file error: a side file always holds at least its count).
std::vector<std::string> ReadChangeListBytes(std::span<const uint8_t> bytes);

/// The bytes of a whole ".sync" side file (the change list, then the fingerprint and the place).
std::vector<uint8_t> WriteSyncSideBytes(const SyncSideFile& side);
/// Reads a whole ".sync" side file; a file of an older writer has no fingerprint and no place.
SyncSideFile ReadSyncSideBytes(std::span<const uint8_t> bytes);

// ---- Files --------------------------------------------------------------------------------------

/// Saves `contents` to `path` so that each file is replaced whole or not at all (a temporary file
/// beside it, flushed to disk and renamed over it). When the change list or the shared place is
/// not empty, the side file (SyncSidePath) is put in place FIRST, with the fingerprint of the
/// event file, which is renamed over the old one right after; otherwise an existing side file is
/// left as it is. A save that dies between the two leaves the new side file beside the old event
/// file: ReadEventFile sees the fingerprints differ and recovers (below), so no pending change of
/// a shared entry is ever lost. Temporary files that an earlier killed save of the same files
/// left behind are removed first, so at most the two temporary files of a save killed meanwhile
/// are ever left over (named as RemoveStaleTemporaryFiles describes). Throws CFileException
/// naming the file that failed. The side file gets the event file's permissions. Returns the
/// fingerprint of the event file written.
uint64_t WriteEventFile(const std::filesystem::path& path, const DocumentContents& contents);

/// The two moments of a save at which a fault-injection hook may act (tests kill the process
/// there): after the side file was put in place, and after the event file was.
enum class SaveStage { sideFileWritten, eventFileWritten };
/// Installs (or, with an empty function, removes) the hook that WriteEventFile calls at each
/// SaveStage. For tests only; not thread-safe.
void SetSaveFaultHook(std::function<void(SaveStage)> hook);

/// Loads an event file. A file of zero bytes is an empty document (and nothing else is read, not
/// even the side file). With EventFileParts::withChangeList the side file is read too when it
/// exists and can be opened: its entries form the change list and its place the shared place.
/// When the side file carries a fingerprint that is not this event file's (a save died between
/// the two files, or the event file was replaced from elsewhere), the list cannot be trusted: it
/// keeps only the GUIDs of entries the file holds, and every shared entry of the file joins it,
/// so the next cycle pushes what this user holds and removes nothing. Throws CFileException (the
/// file cannot be opened or read) or CArchiveException (the data is not a valid event file), both
/// naming the file, event file or side file, that failed; nothing is returned then.
DocumentContents ReadEventFile(const std::filesystem::path& path,
                               EventFileParts parts = EventFileParts::withChangeList);

/// Removes the temporary files that a killed save of `target` left beside it (named as
/// CAtomicFileSink names them: the target's file name followed by ".<16 hex digits>.tmp").
/// Returns how many it removed; files it cannot remove are left alone. Saves by this program run
/// one after another and one instance runs per user, so a temporary file of `target` that exists
/// before a save starts belongs to no running save.
int RemoveStaleTemporaryFiles(const std::filesystem::path& target);

} // namespace dv
