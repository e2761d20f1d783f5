#pragma once

#include "core/DateData.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace dv {

/// The user's answers about the actions of shared events. Whatever path brought a shared event
/// in (this program's synchronisation, `dayvault-cli sync`, a merge, a restore, an import), its
/// document or command may have been chosen by someone else: it does not run before the user
/// here allowed exactly that document, or that program with exactly those arguments. The
/// answer holds until the action changes. The event's shared state, kept with it in the event
/// file, decides; nothing depends on this machine having seen the event arrive.
///
/// Kept in a small JSON file of its own in the user data folder (never in the event file, which
/// the others share): per event GUID, the action the user answered for and the answer. A
/// missing, damaged or unwritable file means that the user is asked: a damaged one is kept aside
/// as "<file>.damaged", and an answer that cannot be written is not remembered.
class CSharedActionApprovals {
public:
    /// What an action needs before it runs.
    enum class Decision {
        NotNeeded, ///< a local event: the usual AckOpen/AckExecute rules apply
        Unknown,   ///< a shared event's action not answered yet: ask
        Approved,  ///< the user allowed exactly this action
        Refused,   ///< the user refused exactly this action
    };

    /// Reads `file` when it exists. An empty path keeps everything in memory (tests, no folder).
    explicit CSharedActionApprovals(std::filesystem::path file);

    /// The decision for the action that `data` (an event's data, GUID and shared state included)
    /// describes.
    Decision Check(const DateData& data) const;
    /// Remembers the user's answer for exactly the action of `data`, the one that was shown.
    /// False when it could not be written (it is then not remembered either).
    bool Record(const DateData& data, bool approved);
    /// Marks the action of a local event that came from elsewhere (an imported calendar, a
    /// pasted one) as someone else's choice: it asks before its first run, as a shared event's
    /// does. False when the mark could not be written.
    bool NoteReceived(const DateData& data);

    /// What the action runs, one line each, as the question shows it: the document, or the
    /// program and then every argument as the launcher will pass it. Characters that display
    /// as nothing or move other text (controls, line breaks, direction marks and overrides,
    /// zero-width characters) are shown by their code, e.g. "<U+202E>".
    static std::vector<std::string> ActionLines(const DateData& data);
    /// `text` with every such character replaced by its code.
    static std::string MakeInvisiblesVisible(const std::string& text);

    const std::filesystem::path& GetFile() const { return m_file; }

private:
    struct Entry {
        std::string answered; // action key that the answer is about
        bool approved = false;
        bool received = false; // a local event's action that came from elsewhere
    };

    static std::string ActionKey(const DateData& data);
    /// Sets the entry for `guid` and saves; on a failed save the entry is as it was.
    bool Store(const std::string& guid, Entry entry);
    void Load();
    bool Save() const;

    std::filesystem::path m_file;
    std::map<std::string, Entry> m_entries; // by GUID
};

} // namespace dv
