#pragma once

#include "core/DateData.h"

#include <filesystem>
#include <map>
#include <string>

namespace dv {

class CDateEntry;

/// The user's answers about actions of shared events that another user chose. An event whose
/// document or command arrived through synchronisation does not run it before the user here
/// allowed exactly that document or command line; the answer holds until it changes.
///
/// Kept in a small JSON file of its own in the user data folder (never in the event file, which
/// the others share): per event GUID, the action that arrived through the merge and the action
/// the user answered for. An event whose action the user set or changed here is not in it, or
/// no longer matches it, and keeps the usual behaviour. A damaged file is kept aside as
/// "<file>.damaged"; until the next answer every shared event's action then needs a new one.
class CSharedActionApprovals {
public:
    /// What an action needs before it runs.
    enum class Decision {
        NotNeeded, ///< set up here: the usual AckOpen/AckExecute rules apply
        Unknown,   ///< arrived through the merge and not answered yet: ask
        Approved,  ///< the user allowed exactly this action
        Refused,   ///< the user refused exactly this action
    };

    /// Reads `file` when it exists. An empty path keeps everything in memory (tests, no folder).
    explicit CSharedActionApprovals(std::filesystem::path file);

    /// The synchronisation took `event`'s action from the shared file.
    void NoteReceived(const CDateEntry& event);
    Decision Check(const CDateEntry& event) const;
    /// Remembers the user's answer for the event's current action.
    void Record(const CDateEntry& event, bool approved);

    /// What the action runs, as the question shows it: the document's path, or the command line
    /// (the command, a blank and the parameters).
    static std::string ActionText(const DateData& data);

    const std::filesystem::path& GetFile() const { return m_file; }

private:
    struct Entry {
        std::string received; // action key that arrived through the merge
        std::string answered; // action key that the answer is about
        bool approved = false;
    };

    static std::string ActionKey(const DateData& data);
    void Load();
    void Save() const;

    std::filesystem::path m_file;
    std::map<std::string, Entry> m_entries; // by GUID
    bool m_damaged = false; // the file could not be read: treat every shared action as received
};

} // namespace dv
