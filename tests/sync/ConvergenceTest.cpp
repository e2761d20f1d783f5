// Several users share one event file and edit at random between cycles. The sequential run checks
// every cycle against a plain model of what the shared file and each document must hold; the
// concurrent run lets every user's worker thread cycle on its own while the test edits, and
// checks afterwards that every user's last value of each of its entries arrived everywhere.
// Both run over a folder and over a real FTP server.

#include "core/CDateTimeSpan.h"
#include "document/EventFile.h"
#include "net/CCurlFtpConnector.h"
#include "sync/SyncUser.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::FtpTestServer;
using test::SyncUser;

constexpr int32_t kLocal = 0;
constexpr int32_t kShared = 1;
const CDateTime kBase(2024, 9, 2, 8, 0, 0);

// ---- values as the model sees them --------------------------------------------------------------

struct EventValue {
    DateData data;
    std::vector<CDateTime> dropped; // sorted
    friend bool operator==(const EventValue&, const EventValue&) = default;
};

struct TodoValue {
    TodoData data;
    bool done = false;
    friend bool operator==(const TodoValue&, const TodoValue&) = default;
};

struct Entries {
    std::map<std::string, EventValue> events;
    std::map<std::string, TodoValue> todos;
};

EventValue ValueOf(const CDateEntry& entry) {
    EventValue value{entry.GetData(), entry.GetDroppedOccurrences()};
    std::sort(value.dropped.begin(), value.dropped.end());
    return value;
}

TodoValue ValueOf(const CTodoEntry& todo) {
    return {todo.GetData(), todo.IsDone()};
}

Entries EntriesOf(const DocumentContents& contents) {
    Entries entries;
    for (const auto& entry : contents.events) {
        entries.events.emplace(entry->GetGUID(), ValueOf(*entry));
    }
    for (const auto& todo : contents.todos) {
        entries.todos.emplace(todo->GetGUID(), ValueOf(*todo));
    }
    return entries;
}

Entries EntriesOf(const CDayvaultDoc& doc) {
    Entries entries;
    for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
        entries.events.emplace(doc.GetDateEntry(i)->GetGUID(), ValueOf(*doc.GetDateEntry(i)));
    }
    for (int i = 0; i < doc.GetTodoCount(); ++i) {
        entries.todos.emplace(doc.GetTodoEntry(i)->GetGUID(), ValueOf(*doc.GetTodoEntry(i)));
    }
    return entries;
}

Entries EntriesOf(const fs::path& file) {
    return fs::exists(file) ? EntriesOf(ReadEventFile(file, EventFileParts::entriesOnly))
                            : Entries{};
}

Entries SharedOnly(Entries all) {
    std::erase_if(all.events,
                  [](const auto& item) { return item.second.data.StorageType != kShared; });
    std::erase_if(all.todos,
                  [](const auto& item) { return item.second.data.StorageType != kShared; });
    return all;
}

/// Empty when equal; otherwise the first entry that differs.
template <class Map>
std::string FirstDifference(const Map& expected, const Map& actual) {
    const auto describe = [](const Map& map, const std::string& guid) {
        const auto found = map.find(guid);
        return found == map.end() ? std::string("absent")
                                  : "'" + found->second.data.Description + "' storage " +
                                        std::to_string(found->second.data.StorageType);
    };
    for (const Map* side : {&expected, &actual}) {
        for (const auto& [guid, value] : *side) {
            const auto e = expected.find(guid);
            const auto a = actual.find(guid);
            if (e == expected.end() || a == actual.end() || !(e->second == a->second)) {
                return guid + ": expected " + describe(expected, guid) + ", found " +
                       describe(actual, guid);
            }
        }
    }
    return {};
}

std::string FirstDifference(const Entries& expected, const Entries& actual) {
    const std::string difference = FirstDifference(expected.events, actual.events);
    return difference.empty() ? FirstDifference(expected.todos, actual.todos) : difference;
}

// ---- the transports -----------------------------------------------------------------------------

enum class Transport { folder, ftp };

/// The shared place of one run: a folder or a real server, and where its shared file lies.
class SharedPlace {
public:
    explicit SharedPlace(Transport transport) {
        if (transport == Transport::ftp) {
            m_server = std::make_unique<FtpTestServer>();
        }
    }
    SyncConfig Config() const {
        return m_server ? test::FtpConfig(*m_server, true, 2) : test::PathConfig(SharedFile(), 2);
    }
    fs::path SharedFile() const {
        return m_server ? m_server->Root() / "shared.dat" : m_dir / "shared.dat";
    }
    IFtpConnector* Connector() { return m_server ? &m_connector : nullptr; }
    fs::path PrivateFile(int user) const {
        return m_dir / ("user" + std::to_string(user) + ".dat");
    }

private:
    test::TemporaryFolder m_dir{"convergence"};
    std::unique_ptr<FtpTestServer> m_server;
    CCurlFtpConnector m_connector;
};

// ---- the user's edits ---------------------------------------------------------------------------

/// Random edits of one user's document, as the editors make them. A user without a fitting entry
/// adds one instead.
class Editor {
public:
    Editor(std::mt19937& random, int user) : m_random(random), m_user(user) {}

    struct Edit {
        std::string guid;
        bool listed = true; // joins the change list: a shared entry, or one whose storage changed
        std::string text;
    };

    /// `own`: the GUIDs this user may touch; null: any entry of the document.
    Edit Random(CDayvaultDoc& doc, const std::set<std::string>* own, bool allowUnshare) {
        const int kind = Pick(allowUnshare ? 12 : 10);
        if (kind >= 10) { // sharing a local event or making a shared one local
            const int32_t from = kind == 10 ? kLocal : kShared;
            CDateEntry* entry = ChooseEvent(doc, nullptr, from, false);
            if (entry == nullptr) {
                return AddEvent(doc, from);
            }
            DateData data = entry->GetData();
            data.StorageType = kLocal + kShared - from;
            doc.ChangeDateEntry(entry, data, kEditInteractive);
            return {entry->GetGUID(), true, "storage of " + entry->GetGUID()};
        }
        if (kind >= 6) {
            CTodoEntry* todo = kind == 6 ? nullptr : ChooseTodo(doc, own);
            return todo == nullptr ? AddTodo(doc) : EditTodo(doc, *todo, kind);
        }
        CDateEntry* entry = kind <= 1 ? nullptr : ChooseEvent(doc, own, kShared, kind >= 4);
        if (entry == nullptr) {
            return AddEvent(doc, kind == 1 && own == nullptr ? kLocal : kShared);
        }
        const std::string guid = entry->GetGUID();
        if (kind == 3) {
            doc.DeleteDateEntry(entry, kEditInteractive);
            return {guid, true, "delete event " + guid};
        }
        if (kind >= 4) {
            const std::vector<CDateTime>& dropped = entry->GetDroppedOccurrences();
            if (!dropped.empty() && Pick(2) == 0) {
                const CDateTime occurrence = dropped[Pick(static_cast<int>(dropped.size()))];
                doc.RestoreDateOccurrence(entry, occurrence, kEditInteractive);
                return {guid, true, "restore " + occurrence.FormatFixed() + " of " + guid};
            }
            const CDateTime occurrence =
                entry->GetData().StartDate + CDateTimeSpan(1 + Pick(20), 0, 0, 0);
            if (entry->IsValidOccurrence(occurrence) && !entry->IsDropped(occurrence)) {
                doc.DropDateOccurrence(entry, occurrence, kEditInteractive);
                return {guid, true, "drop " + occurrence.FormatFixed() + " of " + guid};
            }
        }
        DateData data = entry->GetData();
        switch (Pick(3)) {
        case 0:
            data.Description = NewText();
            break;
        case 1: {
            const CDateTimeSpan shift(0, 1 + Pick(5), 15 * Pick(4), 0);
            data.StartDate = data.StartDate + shift;
            data.EndDate = data.EndDate + shift;
            break;
        }
        default:
            data.Category = data.Category == "Work" ? "Home" : "Work";
            data.Notes = NewText(); // a category switch back must still be a change
            break;
        }
        doc.ChangeDateEntry(entry, data, kEditInteractive);
        return {guid, true, "change event " + guid};
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    std::string NewText() {
        return "u" + std::to_string(m_user) + "-" + std::to_string(++m_counter);
    }

    template <class Entry>
    Entry* PickOf(const std::vector<Entry*>& candidates) {
        return candidates.empty() ? nullptr : candidates[Pick(static_cast<int>(candidates.size()))];
    }

    CDateEntry* ChooseEvent(CDayvaultDoc& doc, const std::set<std::string>* own, int32_t storage,
                            bool repeating) {
        std::vector<CDateEntry*> candidates;
        for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
            CDateEntry* entry = doc.GetDateEntry(i);
            if (entry->GetStorageType() == storage && (!own || own->contains(entry->GetGUID())) &&
                (!repeating || entry->GetData().Repeat != 0)) {
                candidates.push_back(entry);
            }
        }
        return PickOf(candidates);
    }

    CTodoEntry* ChooseTodo(CDayvaultDoc& doc, const std::set<std::string>* own) {
        std::vector<CTodoEntry*> candidates;
        for (int i = 0; i < doc.GetTodoCount(); ++i) {
            CTodoEntry* todo = doc.GetTodoEntry(i);
            if (todo->GetStorageType() == kShared && (!own || own->contains(todo->GetGUID()))) {
                candidates.push_back(todo);
            }
        }
        return PickOf(candidates);
    }

    Edit AddEvent(CDayvaultDoc& doc, int32_t storage) {
        const CDateTime start = kBase + CDateTimeSpan(Pick(30), Pick(10), 0, 0);
        auto entry = std::make_unique<CDateEntry>(start);
        DateData data = entry->GetData();
        data.Description = NewText();
        data.StorageType = storage;
        data.Category = Pick(2) == 0 ? "Work" : "Home";
        data.StartDate = start;
        data.EndDate = start + CDateTimeSpan(0, 1, 0, 0);
        if (Pick(2) == 0) { // daily, so that single occurrences can be dropped
            data.Repeat = 1;
            data.RepeatRate = 1;
            data.RepeatUnit = 2;
        }
        entry->AssignData(data);
        Edit edit{entry->GetGUID(), storage == kShared, "add event " + data.Description};
        doc.AddDateEntry(std::move(entry), kEditInteractive);
        return edit;
    }

    Edit AddTodo(CDayvaultDoc& doc) {
        auto todo = std::make_unique<CTodoEntry>(kBase);
        TodoData data = todo->GetData();
        data.Description = NewText();
        data.StorageType = kShared;
        todo->SetData(data);
        Edit edit{todo->GetGUID(), true, "add to-do " + data.Description};
        doc.AddTodoEntry(std::move(todo), kEditInteractive);
        return edit;
    }

    // A new description, ticking it off (or back on) as the to-do list does, or deleting it.
    Edit EditTodo(CDayvaultDoc& doc, CTodoEntry& todo, int kind) {
        const std::string guid = todo.GetGUID();
        if (kind == 9) {
            doc.DeleteTodoEntry(&todo, kEditInteractive);
            return {guid, true, "delete to-do " + guid};
        }
        CTodoEntry value(todo);
        if (kind == 8) {
            value.SetDone(!value.IsDone());
        } else {
            TodoData data = value.GetData();
            data.Description = NewText();
            value.SetData(data);
        }
        doc.ChangeTodoEntry(&todo, value, kEditInteractive);
        return {guid, true, "change to-do " + guid};
    }

    std::mt19937& m_random;
    int m_user;
    int m_counter = 0;
};

struct Log {
    std::vector<std::string> lines;
    unsigned seed;
    std::string Fail(const std::string& what) const {
        std::string text = what + "\nseed " + std::to_string(seed) + ", operations:\n";
        for (const std::string& line : lines) {
            text += line + "\n";
        }
        return text;
    }
};

// ---- the sequential model check -----------------------------------------------------------------

/// What the shared file and every document must hold, cycle by cycle.
struct Model {
    struct User {
        Entries entries; // everything in the document, local entries included
        std::set<std::string> pending;
    };
    Entries shared;
    bool sharedExists = false; // the first cycle creates the shared file
    std::vector<User> users;

    /// The user's merge pushes the current local value (or the removal) of each pending GUID,
    /// then takes over the shared file; an upload happens when something was pending or the
    /// shared file is created.
    bool Cycle(int index) {
        User& user = users[index];
        for (const std::string& guid : user.pending) {
            Push(user.entries.events, shared.events, guid);
            Push(user.entries.todos, shared.todos, guid);
        }
        Pull(shared.events, user.entries.events);
        Pull(shared.todos, user.entries.todos);
        const bool upload = !user.pending.empty() || !sharedExists;
        sharedExists = true;
        user.pending.clear();
        return upload;
    }

    template <class Map>
    static void Push(const Map& mine, Map& theirs, const std::string& guid) {
        theirs.erase(guid);
        const auto found = mine.find(guid);
        if (found != mine.end() && found->second.data.StorageType == kShared) {
            theirs[guid] = found->second;
        }
    }
    template <class Map>
    static void Pull(const Map& theirs, Map& mine) {
        std::erase_if(mine, [&](const auto& item) {
            return item.second.data.StorageType == kShared && !theirs.contains(item.first);
        });
        for (const auto& [guid, value] : theirs) {
            mine[guid] = value;
        }
    }
};

std::set<std::string> ChangeListOf(const CDayvaultDoc& doc) {
    return {doc.GetChangeList().begin(), doc.GetChangeList().end()};
}

/// One sequential run; returns an empty string or what went wrong. The shared file is now and
/// then removed, emptied or cut short behind the users' backs: until it is restored from its
/// copy, every cycle ends without changing anything.
std::string RunSequential(Transport transport, int userCount, unsigned seed, int steps,
                          int& damages) {
    SharedPlace place(transport);
    std::mt19937 random(seed);
    std::vector<std::unique_ptr<SyncUser>> users;
    std::vector<Editor> editors;
    Model model;
    for (int i = 0; i < userCount; ++i) {
        users.push_back(
            std::make_unique<SyncUser>(place.Config(), place.Connector(), place.PrivateFile(i)));
        editors.emplace_back(random, i);
        model.users.emplace_back();
    }
    Log log{{}, seed};
    std::string goodCopy;
    int damage = -1; // -1 none, 0 removed, 1 emptied, 2 cut short
    std::set<int> cycled;
    const auto cycle = [&](int u) -> std::string {
        SyncUser& user = *users[u];
        const std::string who = "user " + std::to_string(u) + ": ";
        if (damage >= 0) {
            const SyncOutcome outcome = user.Cycle();
            log.lines.push_back(who + "cycle on the damaged file: " + SyncOutcomeText(outcome));
            if (outcome !=
                    (damage == 0 ? SyncOutcome::sharedFileMissing : SyncOutcome::mergeFailed) ||
                ChangeListOf(user.doc) != model.users[u].pending) {
                return who + "a damaged shared file changed something";
            }
            if (std::string d = FirstDifference(model.users[u].entries, EntriesOf(user.doc));
                !d.empty()) {
                return who + "document after a damaged cycle: " + d;
            }
            test::WriteFile(place.SharedFile(), goodCopy);
            damage = -1;
        }
        cycled.insert(u);
        const SyncOutcome expected = model.Cycle(u) ? SyncOutcome::uploaded : SyncOutcome::success;
        const SyncOutcome outcome = user.Cycle();
        log.lines.push_back(who + "cycle: " + SyncOutcomeText(outcome));
        if (outcome != expected) {
            return who + "outcome " + SyncOutcomeText(outcome) + " (" + user.worker.GetLastError() +
                   ")";
        }
        if (std::string d = FirstDifference(model.shared, EntriesOf(place.SharedFile()));
            !d.empty()) {
            return "shared file: " + d;
        }
        if (std::string d = FirstDifference(model.users[u].entries, EntriesOf(user.doc));
            !d.empty()) {
            return who + "document: " + d;
        }
        return user.doc.GetChangeList().empty() ? "" : who + "kept a change list after uploading";
    };

    for (int step = 0; step < steps; ++step) {
        const int u = std::uniform_int_distribution<int>(0, userCount - 1)(random);
        const int roll = std::uniform_int_distribution<int>(0, 99)(random);
        if (roll < 3 && damage < 0 && static_cast<int>(cycled.size()) == userCount) {
            goodCopy = test::ReadFile(place.SharedFile());
            damage = std::uniform_int_distribution<int>(0, 2)(random);
            ++damages;
            fs::remove(place.SharedFile());
            if (damage > 0) {
                test::WriteFile(place.SharedFile(),
                                goodCopy.substr(0, damage == 1 ? 0 : goodCopy.size() / 2));
            }
            log.lines.push_back("shared file damaged: " + std::to_string(damage));
        } else if (roll < 30) {
            if (std::string error = cycle(u); !error.empty()) {
                return log.Fail(error);
            }
        } else {
            const Editor::Edit edit = editors[u].Random(users[u]->doc, nullptr, true);
            log.lines.push_back("user " + std::to_string(u) + ": " + edit.text);
            model.users[u].entries = EntriesOf(users[u]->doc);
            if (edit.listed) {
                model.users[u].pending.insert(edit.guid);
            }
            if (ChangeListOf(users[u]->doc) != model.users[u].pending) {
                return log.Fail("user " + std::to_string(u) + ": the change list lacks an edit");
            }
        }
    }
    // Two quiet rounds: everybody pushes what is left, then everybody pulls the last pushes.
    for (int round = 0; round < 2 * userCount; ++round) {
        if (std::string error = cycle(round % userCount); !error.empty()) {
            return log.Fail(error);
        }
    }
    const Entries shared = EntriesOf(place.SharedFile());
    for (int u = 0; u < userCount; ++u) {
        for (const Entries& held : {EntriesOf(users[u]->doc), EntriesOf(users[u]->file)}) {
            if (std::string d = FirstDifference(shared, SharedOnly(held)); !d.empty()) {
                return log.Fail("after the quiet rounds, user " + std::to_string(u) + ": " + d);
            }
        }
    }
    return {};
}

struct SequentialRow {
    const char* name;
    Transport transport;
    int users;
    std::vector<unsigned> seeds;
    int steps;
};

TEST(Convergence, SequentialCyclesMatchTheModel) {
    const SequentialRow rows[] = {
        {"two users over a folder", Transport::folder, 2, {11, 12, 13}, 250},
        {"three users over a folder", Transport::folder, 3, {21, 22}, 300},
        {"three users over FTP", Transport::ftp, 3, {41}, 150},
    };
    for (const SequentialRow& row : rows) {
        int damages = 0;
        for (const unsigned seed : row.seeds) {
            SCOPED_TRACE(std::string(row.name) + ", seed " + std::to_string(seed));
            const std::string error =
                RunSequential(row.transport, row.users, seed, row.steps, damages);
            EXPECT_TRUE(error.empty()) << error;
        }
        EXPECT_GT(damages, 0) << row.name << ": the shared file was never damaged";
    }
}

// ---- the concurrent run -------------------------------------------------------------------------

/// Every user's worker cycles on its own thread as fast as the settings allow while the test
/// thread edits each user's own entries under that user's mutex; then the workers stop, quiet
/// rounds run one at a time, and every user's last value of each of its entries must be in the
/// shared file and in every document.
std::string RunConcurrent(Transport transport, int userCount, unsigned seed, int edits) {
    SharedPlace place(transport);
    std::mt19937 random(seed);
    std::vector<std::unique_ptr<SyncUser>> users;
    std::vector<Editor> editors;
    std::vector<std::set<std::string>> own(userCount);
    Entries last; // what each touched GUID must end up as; absent: deleted
    std::set<std::string> touched;
    SyncConfig config = place.Config();
    config.NetworkSyncType = 0;
    config.AutoSyncInterval = 0;
    for (int i = 0; i < userCount; ++i) {
        users.push_back(
            std::make_unique<SyncUser>(config, place.Connector(), place.PrivateFile(i)));
        users.back()->worker.SetPollTimes(std::chrono::milliseconds(5),
                                          std::chrono::milliseconds(10), 500);
        editors.emplace_back(random, i);
    }
    for (auto& user : users) {
        user->worker.Start();
    }
    Log log{{}, seed};
    for (int step = 0; step < edits; ++step) {
        const int u = std::uniform_int_distribution<int>(0, userCount - 1)(random);
        {
            const std::lock_guard<std::mutex> lock(users[u]->mutex);
            CDayvaultDoc& doc = users[u]->doc;
            const Editor::Edit edit = editors[u].Random(doc, &own[u], false);
            own[u].insert(edit.guid);
            touched.insert(edit.guid);
            log.lines.push_back("user " + std::to_string(u) + ": " + edit.text);
            last.events.erase(edit.guid);
            last.todos.erase(edit.guid);
            if (const CDateEntry* event = doc.FindDateEntry(edit.guid)) {
                last.events[edit.guid] = ValueOf(*event);
            } else if (const CTodoEntry* todo = doc.FindTodoEntry(edit.guid)) {
                last.todos[edit.guid] = ValueOf(*todo);
            }
        }
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 6)(random)));
    }
    // A slow machine gets time for the workers to have merged concurrently at all.
    const auto merges = [&] {
        int count = 0;
        for (const auto& user : users) {
            count += user->merges;
        }
        return count;
    };
    for (int i = 0; i < 1000 && merges() < 2 * userCount; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (auto& user : users) {
        user->worker.Stop();
    }
    if (merges() < 2 * userCount) {
        return log.Fail("the workers merged only " + std::to_string(merges()) + " times");
    }
    for (int round = 0; round < 3 * userCount; ++round) {
        SyncUser& user = *users[round % userCount];
        const SyncOutcome outcome = user.Cycle();
        if (outcome != SyncOutcome::success && outcome != SyncOutcome::uploaded) {
            return log.Fail("quiet cycle: " + SyncOutcomeText(outcome) + " " +
                            user.worker.GetLastError());
        }
    }
    std::vector<std::pair<std::string, Entries>> holders{
        {"shared file", EntriesOf(place.SharedFile())}};
    for (int u = 0; u < userCount; ++u) {
        if (!users[u]->doc.GetChangeList().empty()) {
            return log.Fail("user " + std::to_string(u) + " kept changes after the quiet rounds");
        }
        holders.emplace_back("document of user " + std::to_string(u), EntriesOf(users[u]->doc));
    }
    for (auto& [holder, entries] : holders) {
        std::erase_if(entries.events,
                      [&](const auto& item) { return !touched.contains(item.first); });
        std::erase_if(entries.todos,
                      [&](const auto& item) { return !touched.contains(item.first); });
        if (std::string d = FirstDifference(last, entries); !d.empty()) {
            return log.Fail(holder + ": " + d);
        }
    }
    return {};
}

// FTP cannot replace a file atomically; the upload lock on the server is what keeps a user whose
// upload passed its checks from being overwritten by a merge that lacks its changes.
TEST(Convergence, ConcurrentWorkersLoseNoChange) {
    const struct {
        const char* name;
        Transport transport;
        int users;
        unsigned seed;
        int edits;
    } rows[] = {{"over a folder", Transport::folder, 3, 52, 300},
                {"over FTP", Transport::ftp, 3, 62, 200}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + ", seed " + std::to_string(row.seed));
        const std::string error = RunConcurrent(row.transport, row.users, row.seed, row.edits);
        EXPECT_TRUE(error.empty()) << error;
    }
}

} // namespace
} // namespace dv
