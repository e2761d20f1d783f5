#pragma once

#include "document/DocumentContents.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace dv::ical {

/// The original UIDs of entries that came from other calendars, by GUID: an imported UID that is
/// not a GUID becomes a name-based GUID, and this store gives the UID back on export.
///
/// Kept in a side file beside the event file ("events.dat" -> "events.uids"), a text file of one
/// "GUID<TAB>UID" line per entry (backslash, tab and line breaks escaped as \\, \t, \n, \r)
/// after a first line "DAYVAULT-UIDS 1". It is saved before the event file, each replaced whole:
/// a save that dies between the two leaves UIDs of entries the old event file lacks, which does
/// no harm (the name-based GUID of a UID never changes, so a second import still updates).
class UidStore {
public:
    /// The side file of `eventFile`.
    static std::filesystem::path PathFor(const std::filesystem::path& eventFile);
    /// Reads the side file of `eventFile`; none gives an empty store. Throws CFileException
    /// naming the side file when it cannot be read or is damaged.
    static UidStore Load(const std::filesystem::path& eventFile);
    /// Replaces the side file of `eventFile` whole (or removes it when the store is empty).
    /// Throws CFileException naming the side file.
    void Save(const std::filesystem::path& eventFile) const;

    std::string ToText() const;
    /// Throws std::invalid_argument on a damaged text.
    static UidStore FromText(std::string_view text);

    /// The UID to write for `guid`: the original one, or the GUID itself.
    std::string UidFor(const std::string& guid) const;
    void Set(const std::string& guid, const std::string& uid);
    /// Drops the UIDs of GUIDs that `contents` no longer holds.
    void Prune(const DocumentContents& contents);
    bool IsEmpty() const { return m_uids.empty(); }
    const std::map<std::string, std::string>& Entries() const { return m_uids; }

    friend bool operator==(const UidStore&, const UidStore&) = default;

private:
    std::map<std::string, std::string> m_uids; // GUID -> original UID
};

/// Saves `contents` to `eventFile` together with the UIDs of `uids` that it still holds: the
/// side file first, then the event
/// file (WriteEventFile). Throws CFileException naming the file that failed; a failure of the
/// side file leaves the event file untouched.
void SaveWithUids(const std::filesystem::path& eventFile, const DocumentContents& contents,
                  const UidStore& uids);

} // namespace dv::ical
