#pragma once

#include "core/CDateTime.h"
#include "document/CKeyFile.h"
#include "document/DocumentContents.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace dv {

// The text backup: the whole document as a sectioned key file, one section per template
// ("Template %d"), event ("DateEntry %d") and to-do ("TodoEntry %d"), numbered from 0 in list
// order, one key per field. It does not depend on the record schemas, so it survives format
// changes and can be edited by hand. The change list is not part of it.

/// Writes text for a backup value: "\" as "\\", line feed as "\n", carriage return as "\r", tab
/// as "\t".
std::string EscapeBackupText(std::string_view text);

/// Reads a backup text value: "\\", "\n", "\r" and "\t" turn back; a backslash before any other
/// character drops both, and a lone backslash at the end is dropped.
std::string UnescapeBackupText(std::string_view text);

/// The key file of a backup of `contents`.
CKeyFile BuildTextBackup(const DocumentContents& contents);

/// Rebuilds a document from a backup key file. For n = 0, 1, ... while the section exists
/// (the first missing number ends each list), a record is created with the defaults of a new one
/// (a new GUID among them) and every key present replaces its field; a missing key, and an empty
/// or malformed int or date-time, keeps the default. Events are created at `now` and evaluated up
/// to `now` before their data is applied, so occurrences before `now` never become due; then the
/// keys "DroppedOccurence 0", "DroppedOccurence 1", ... are read until one is missing or empty.
/// To-dos are handed `now` as their reference time, so IsUrgent tells whether one is due. The
/// change list is empty. Never fails: what cannot be read keeps its default.
DocumentContents RestoreTextBackup(const CKeyFile& file, const CDateTime& now);

/// The bytes of a backup file (see CKeyFile::ToBytes for the encoding); an empty document gives
/// no bytes at all.
std::string WriteTextBackupBytes(const DocumentContents& contents);

/// Reads a backup file's bytes (any encoding that CKeyFile::FromBytes accepts).
DocumentContents ReadTextBackupBytes(std::string_view bytes, const CDateTime& now);

/// Writes a backup to `path`, replacing the whole file or nothing (a temporary file beside it,
/// flushed and renamed over it). Throws CFileException naming `path` when it cannot be written.
void WriteTextBackup(const std::filesystem::path& path, const DocumentContents& contents);

/// Reads a backup file. Throws CFileException naming `path` when it cannot be opened or read;
/// malformed lines are skipped, so any file that can be read gives a document.
DocumentContents ReadTextBackup(const std::filesystem::path& path, const CDateTime& now);

} // namespace dv
