// Several users share one event file and edit at random between cycles. The sequential run checks
// every cycle against a plain model of what the shared file and each document must hold; the
// concurrent run lets every user's worker thread cycle on its own while the test edits, and
// checks afterwards that every user's last value of each of its entries arrived everywhere.
// Both run over a folder and over a real FTP server.

#include "core/CDateTimeSpan.h"
#include "document/EventFile.h"
#include "net/CCurlFtpConnector.h"
#include "support/FtpTestServer.h"
#include "sync/SyncUser.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <thread>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::FtpTestServer;
using test::SyncUser;
using test::TemporaryFolder;

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

using Events = std::map<std::string, EventValue>;
using Todos = std::map<std::string, TodoValue>;

struct Entries {
    Events events;
    Todos todos;
};

EventValue ValueOf(const CDateEntry& entry) {
    EventValue value{entry.GetData(), entry.GetDroppedOccurrences()};
    std::sort(value.dropped.begin(), value.dropped.end());
    return value;
}

TodoValue ValueOf(const CTodoEntry& todo) {
    return {todo.GetData(), todo.IsDone()};
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
    Entries entries;
    if (!fs::exists(file)) {
        return entries;
    }
    const DocumentContents contents = ReadEventFile(file, EventFileParts::entriesOnly);
    for (const auto& entry : contents.events) {
        entries.events.emplace(entry->GetGUID(), ValueOf(*entry));
    }
    for (const auto& todo : contents.todos) {
        entries.todos.emplace(todo->GetGUID(), ValueOf(*todo));
    }
    return entries;
}

template <class Map>
Map SharedOnly(const Map& all) {
    Map shared;
    for (const auto& [guid, value] : all) {
        if (value.data.StorageType == kShared) {
            shared.emplace(guid, value);
        }
    }
    return shared;
}

Entries SharedOnly(const Entries& all) {
    return {SharedOnly(all.events), SharedOnly(all.todos)};
}

template <class Value>
std::string Describe(const Value* value) {
    return value == nullptr ? "absent"
                            : "'" + value->data.Description + "' storage " +
                                  std::to_string(value->data.StorageType);
}

template <class Map>
std::string FirstDifference(const Map& expected, const Map& actual, const char* kind) {
    for (const Map* side : {&expected, &actual}) {
        for (const auto& [guid, value] : *side) {
            const auto e = expected.find(guid);
            const auto a = actual.find(guid);
            const auto* ev = e == expected.end() ? nullptr : &e->second;
            const auto* av = a == actual.end() ? nullptr : &a->second;
            if (ev == nullptr || av == nullptr || !(*ev == *av)) {
                return std::string(kind) + " " + guid + ": expected " + Describe(ev) +
                       ", found " + Describe(av);
            }
        }
    }
    return {};
}

/// Empty when equal; otherwise the first entry that differs.
std::string FirstDifference(const Entries& expected, const Entries& actual) {
    std::string difference = FirstDifference(expected.events, actual.events, "event");
    return difference.empty() ? FirstDifference(expected.todos, actual.todos, "to-do") : difference;
}

// ---- the transports -----------------------------------------------------------------------------

enum class Transport { folder, ftp };

/// The shared place of one run: a folder or a real server, and where its shared file lies.
class SharedPlace {
public:
    explicit SharedPlace(Transport transport) : m_transport(transport) {
        if (transport == Transport::ftp) {
            m_server = std::make_unique<FtpTestServer>();
        } else {
            fs::create_directories(m_dir.Path() / "share");
        }
    }
    SyncConfig Config() const {
        return m_transport == Transport::ftp
                   ? test::FtpConfig(*m_server, true, 2)
                   : test::PathConfig(m_dir.Path() / "share" / "shared.dat", 2);
    }
    fs::path SharedFile() const {
        return m_transport == Transport::ftp ? m_server->Root() / "shared.dat"
                                             : m_dir.Path() / "share" / "shared.dat";
    }
    IFtpConnector* Connector() { return m_transport == Transport::ftp ? &m_connector : nullptr; }
    fs::path PrivateFile(int user) const {
        return m_dir.Path() / ("user" + std::to_string(user) + ".dat");
    }

private:
    Transport m_transport;
    TemporaryFolder m_dir{"convergence"};
    std::unique_ptr<FtpTestServer> m_server;
    CCurlFtpConnector m_connector;
};

// ---- the user's edits ---------------------------------------------------------------------------

/// Random edits of one user's document, as the editors make them. Each returns the GUID it
/// touched and whether that entry joins the change list (a shared entry, or one whose storage
/// type changed); a user without a fitting entry adds one instead.
class Editor {
public:
    Editor(std::mt19937& random, int user) : m_random(random), m_user(user) {}

    struct Edit {
        std::string guid;
        bool listed = false;
        std::string text;
    };

    /// `own`: the GUIDs this user may touch; empty set: any entry of the document.
    Edit Random(CDayvaultDoc& doc, const std::set<std::string>* own, bool allowUnshare) {
        switch (Pick(allowUnshare ? 12 : 10)) {
        case 0:
            return AddEvent(doc, kShared);
        case 1:
            return own != nullptr ? AddEvent(doc, kShared) : AddEvent(doc, kLocal);
        case 2:
            return ChangeEvent(doc, own);
        case 3:
            return DeleteEvent(doc, own);
        case 4:
        case 5:
            return DropOrRestore(doc, own);
        case 6:
            return AddTodo(doc);
        case 7:
            return ChangeTodo(doc, own, false);
        case 8:
            return ChangeTodo(doc, own, true);
        case 9:
            return DeleteTodo(doc, own);
        case 10:
            return ChangeStorage(doc, kLocal, kShared);
        default:
            return ChangeStorage(doc, kShared, kLocal);
        }
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    std::string NewText() {
        return "u" + std::to_string(m_user) + "-" + std::to_string(++m_counter);
    }

    template <class Entry, class Get>
    Entry* Choose(CDayvaultDoc& doc, int count, Get get, const std::set<std::string>* own,
                  int32_t storage, bool needsRepeat = false) {
        std::vector<Entry*> candidates;
        for (int i = 0; i < count; ++i) {
            Entry* entry = (doc.*get)(i);
            if (entry->GetStorageType() != storage ||
                (own != nullptr && !own->contains(entry->GetGUID()))) {
                continue;
            }
            if constexpr (std::is_same_v<Entry, CDateEntry>) {
                if (needsRepeat && entry->GetData().Repeat == 0) {
                    continue;
                }
            }
            candidates.push_back(entry);
        }
        return candidates.empty() ? nullptr : candidates[Pick(static_cast<int>(candidates.size()))];
    }

    CDateEntry* ChooseEvent(CDayvaultDoc& doc, const std::set<std::string>* own,
                            int32_t storage = kShared, bool needsRepeat = false) {
        return Choose<CDateEntry>(doc, doc.GetDateEntryCount(), &CDayvaultDoc::GetDateEntry, own,
                                  storage, needsRepeat);
    }
    CTodoEntry* ChooseTodo(CDayvaultDoc& doc, const std::set<std::string>* own,
                           int32_t storage = kShared) {
        return Choose<CTodoEntry>(doc, doc.GetTodoCount(), &CDayvaultDoc::GetTodoEntry, own,
                                  storage);
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

    Edit ChangeEvent(CDayvaultDoc& doc, const std::set<std::string>* own) {
        CDateEntry* entry = ChooseEvent(doc, own);
        if (entry == nullptr) {
            return AddEvent(doc, kShared);
        }
        DateData data = entry->GetData();
        std::string what;
        switch (Pick(3)) {
        case 0:
            data.Description = NewText();
            what = "description";
            break;
        case 1: {
            const CDateTimeSpan shift(0, 1 + Pick(5), 15 * Pick(4), 0);
            data.StartDate = data.StartDate + shift;
            data.EndDate = data.EndDate + shift;
            what = "times";
            break;
        }
        default:
            data.Category = data.Category == "Work" ? "Home" : "Work";
            data.Notes = NewText(); // a category switch back must still be a change
            what = "category";
            break;
        }
        doc.ChangeDateEntry(entry, data, kEditInteractive);
        return {entry->GetGUID(), true, "change " + what + " of " + entry->GetGUID()};
    }

    Edit DeleteEvent(CDayvaultDoc& doc, const std::set<std::string>* own) {
        CDateEntry* entry = ChooseEvent(doc, own);
        if (entry == nullptr) {
            return AddEvent(doc, kShared);
        }
        Edit edit{entry->GetGUID(), true, "delete event " + entry->GetGUID()};
        doc.DeleteDateEntry(entry, kEditInteractive);
        return edit;
    }

    Edit DropOrRestore(CDayvaultDoc& doc, const std::set<std::string>* own) {
        CDateEntry* entry = ChooseEvent(doc, own, kShared, true);
        if (entry == nullptr) {
            return AddEvent(doc, kShared);
        }
        const std::vector<CDateTime>& dropped = entry->GetDroppedOccurrences();
        if (!dropped.empty() && Pick(2) == 0) {
            const CDateTime occurrence = dropped[Pick(static_cast<int>(dropped.size()))];
            doc.RestoreDateOccurrence(entry, occurrence, kEditInteractive);
            return {entry->GetGUID(), true,
                    "restore " + occurrence.FormatFixed() + " of " + entry->GetGUID()};
        }
        for (int attempt = 0; attempt < 8; ++attempt) {
            const CDateTime occurrence =
                entry->GetData().StartDate + CDateTimeSpan(1 + Pick(20), 0, 0, 0);
            if (entry->IsValidOccurrence(occurrence) && !entry->IsDropped(occurrence)) {
                doc.DropDateOccurrence(entry, occurrence, kEditInteractive);
                return {entry->GetGUID(), true,
                        "drop " + occurrence.FormatFixed() + " of " + entry->GetGUID()};
            }
        }
        return ChangeEvent(doc, own);
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

    // A new description, or ticking it off (or back on) as the to-do list does: a whole new value.
    Edit ChangeTodo(CDayvaultDoc& doc, const std::set<std::string>* own, bool tick) {
        CTodoEntry* todo = ChooseTodo(doc, own);
        if (todo == nullptr) {
            return AddTodo(doc);
        }
        CTodoEntry value(*todo);
        if (tick) {
            value.SetDone(!value.IsDone());
        } else {
            TodoData data = value.GetData();
            data.Description = NewText();
            value.SetData(data);
        }
        doc.ChangeTodoEntry(todo, value, kEditInteractive);
        return {todo->GetGUID(), true, (tick ? "tick " : "change to-do ") + todo->GetGUID()};
    }

    Edit DeleteTodo(CDayvaultDoc& doc, const std::set<std::string>* own) {
        CTodoEntry* todo = ChooseTodo(doc, own);
        if (todo == nullptr) {
            return AddTodo(doc);
        }
        Edit edit{todo->GetGUID(), true, "delete to-do " + todo->GetGUID()};
        doc.DeleteTodoEntry(todo, kEditInteractive);
        return edit;
    }

    // Sharing a local event or making a shared one local.
    Edit ChangeStorage(CDayvaultDoc& doc, int32_t from, int32_t to) {
        CDateEntry* entry = ChooseEvent(doc, nullptr, from);
        if (entry == nullptr) {
            return AddEvent(doc, from);
        }
        DateData data = entry->GetData();
        data.StorageType = to;
        doc.ChangeDateEntry(entry, data, kEditInteractive);
        return {entry->GetGUID(), true,
                std::string(to == kShared ? "share " : "unshare ") + entry->GetGUID()};
    }

    std::mt19937& m_random;
    int m_user;
    int m_counter = 0;
};

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

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
            const auto event = user.entries.events.find(guid);
            const auto todo = user.entries.todos.find(guid);
            shared.events.erase(guid);
            shared.todos.erase(guid);
            if (event != user.entries.events.end() && event->second.data.StorageType == kShared) {
                shared.events[guid] = event->second;
            } else if (todo != user.entries.todos.end() &&
                       todo->second.data.StorageType == kShared) {
                shared.todos[guid] = todo->second;
            }
        }
        std::erase_if(user.entries.events, [&](const auto& item) {
            return item.second.data.StorageType == kShared && !shared.events.contains(item.first);
        });
        std::erase_if(user.entries.todos, [&](const auto& item) {
            return item.second.data.StorageType == kShared && !shared.todos.contains(item.first);
        });
        for (const auto& [guid, value] : shared.events) {
            user.entries.events[guid] = value;
        }
        for (const auto& [guid, value] : shared.todos) {
            user.entries.todos[guid] = value;
        }
        const bool upload = !user.pending.empty() || !sharedExists;
        sharedExists = true;
        user.pending.clear();
        return upload;
    }
};

std::set<std::string> ChangeListOf(const CDayvaultDoc& doc) {
    return {doc.GetChangeList().begin(), doc.GetChangeList().end()};
}

/// One sequential run; returns an empty string or what went wrong.
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
    std::vector<std::string> log;
    const auto fail = [&](const std::string& what) {
        return what + "\nseed " + std::to_string(seed) + ", operations:\n" + Join(log);
    };
    // The shared file removed, emptied or cut short behind the users' backs (a colleague, a
    // disk, an upload of an older program): until it is restored from its copy, every cycle ends
    // without changing anything.
    std::string goodCopy;
    int damage = -1; // -1 none, 0 removed, 1 emptied, 2 cut short
    const auto damagedCycle = [&](int u) -> std::string {
        SyncUser& user = *users[u];
        const SyncOutcome outcome = user.Cycle();
        log.push_back("cycle of user " + std::to_string(u) +
                      " on the damaged file: " + SyncOutcomeText(outcome));
        const SyncOutcome expected =
            damage == 0 ? SyncOutcome::sharedFileMissing : SyncOutcome::mergeFailed;
        if (outcome != expected) {
            return "user " + std::to_string(u) + ": outcome " + SyncOutcomeText(outcome) +
                   " on a damaged shared file, expected " + SyncOutcomeText(expected);
        }
        std::string difference = FirstDifference(model.users[u].entries, EntriesOf(user.doc));
        if (!difference.empty()) {
            return "document of user " + std::to_string(u) +
                   " after a damaged cycle: " + difference;
        }
        if (ChangeListOf(user.doc) != model.users[u].pending) {
            return "user " + std::to_string(u) + " lost pending changes on a damaged cycle";
        }
        return {};
    };
    std::set<int> cycled;
    const auto cycle = [&](int u) -> std::string {
        SyncUser& user = *users[u];
        if (damage >= 0) {
            if (std::string error = damagedCycle(u); !error.empty()) {
                return error;
            }
            test::WriteFile(place.SharedFile(), goodCopy);
            log.push_back("shared file restored");
            damage = -1;
        }
        cycled.insert(u);
        const bool upload = model.Cycle(u);
        const SyncOutcome outcome = user.Cycle();
        log.push_back("cycle of user " + std::to_string(u) + ": " + SyncOutcomeText(outcome));
        const SyncOutcome expected = upload ? SyncOutcome::uploaded : SyncOutcome::success;
        if (outcome != expected) {
            return "user " + std::to_string(u) + ": outcome " + SyncOutcomeText(outcome) +
                   ", expected " + SyncOutcomeText(expected) + " (" + user.worker.GetLastError() +
                   ")";
        }
        std::string difference = FirstDifference(model.shared, EntriesOf(place.SharedFile()));
        if (!difference.empty()) {
            return "shared file: " + difference;
        }
        difference = FirstDifference(model.users[u].entries, EntriesOf(user.doc));
        if (!difference.empty()) {
            return "document of user " + std::to_string(u) + ": " + difference;
        }
        if (!user.doc.GetChangeList().empty()) {
            return "user " + std::to_string(u) + " kept a change list after uploading";
        }
        return {};
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
            log.push_back(damage == 0   ? "shared file removed"
                          : damage == 1 ? "shared file emptied"
                                        : "shared file cut");
            continue;
        }
        if (roll < 30) {
            if (std::string error = cycle(u); !error.empty()) {
                return fail(error);
            }
            continue;
        }
        CDayvaultDoc& doc = users[u]->doc;
        const Editor::Edit edit = editors[u].Random(doc, nullptr, true);
        log.push_back("user " + std::to_string(u) + ": " + edit.text);
        model.users[u].entries = EntriesOf(doc);
        if (edit.listed) {
            model.users[u].pending.insert(edit.guid);
        }
        if (ChangeListOf(doc) != model.users[u].pending) {
            return fail("user " + std::to_string(u) + ": the change list does not hold the edits");
        }
    }
    // Two quiet rounds: everybody pushes what is left, then everybody pulls the last pushes.
    for (int round = 0; round < 2; ++round) {
        for (int u = 0; u < userCount; ++u) {
            if (std::string error = cycle(u); !error.empty()) {
                return fail(error);
            }
        }
    }
    const Entries shared = EntriesOf(place.SharedFile());
    for (int u = 0; u < userCount; ++u) {
        const std::string difference =
            FirstDifference(shared, SharedOnly(EntriesOf(users[u]->doc)));
        if (!difference.empty()) {
            return fail("after the quiet rounds, user " + std::to_string(u) + ": " + difference);
        }
        // The private file on disk holds the same.
        const std::string onDisk = FirstDifference(shared, SharedOnly(EntriesOf(users[u]->file)));
        if (!onDisk.empty()) {
            return fail("private file of user " + std::to_string(u) + ": " + onDisk);
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

void RunSequentialRows(const std::vector<SequentialRow>& rows) {
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

TEST(Convergence, SequentialCyclesOverAFolderMatchTheModel) {
    RunSequentialRows({
        {"two users", Transport::folder, 2, {11, 12, 13}, 250},
        {"three users", Transport::folder, 3, {21, 22}, 300},
    });
}

TEST(Convergence, SequentialCyclesOverFtpMatchTheModel) {
    RunSequentialRows({
        {"three users", Transport::ftp, 3, {41}, 150},
    });
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
    std::vector<std::map<std::string, std::optional<EventValue>>> lastEvents(userCount);
    std::vector<std::map<std::string, std::optional<TodoValue>>> lastTodos(userCount);
    SyncConfig config = place.Config();
    config.NetworkSyncType = 0;
    config.AutoSyncInterval = 0;
    for (int i = 0; i < userCount; ++i) {
        users.push_back(std::make_unique<SyncUser>(config, place.Connector(), place.PrivateFile(i)));
        users.back()->worker.SetPollTimes(std::chrono::milliseconds(5),
                                            std::chrono::milliseconds(10), 500);
        editors.emplace_back(random, i);
    }
    for (auto& user : users) {
        user->worker.Start();
    }
    std::vector<std::string> log;
    for (int step = 0; step < edits; ++step) {
        const int u = std::uniform_int_distribution<int>(0, userCount - 1)(random);
        {
            const std::lock_guard<std::mutex> lock(users[u]->mutex);
            CDayvaultDoc& doc = users[u]->doc;
            const Editor::Edit edit = editors[u].Random(doc, &own[u], false);
            own[u].insert(edit.guid);
            log.push_back("user " + std::to_string(u) + ": " + edit.text);
            const CDateEntry* event = doc.FindDateEntry(edit.guid);
            const CTodoEntry* todo = doc.FindTodoEntry(edit.guid);
            if (todo == nullptr) {
                lastEvents[u][edit.guid] =
                    event ? std::optional<EventValue>(ValueOf(*event)) : std::nullopt;
            }
            if (event == nullptr) {
                lastTodos[u][edit.guid] =
                    todo ? std::optional<TodoValue>(ValueOf(*todo)) : std::nullopt;
            }
        }
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 6)(random)));
    }
    for (auto& user : users) {
        user->worker.Stop();
    }
    const auto fail = [&](const std::string& what) {
        return what + "\nseed " + std::to_string(seed) + ", operations:\n" + Join(log);
    };
    int merges = 0;
    for (const auto& user : users) {
        merges += user->merges;
    }
    if (merges < 2 * userCount) {
        return fail("the workers merged only " + std::to_string(merges) + " times");
    }
    for (int round = 0; round < 3; ++round) {
        for (int u = 0; u < userCount; ++u) {
            const SyncOutcome outcome = users[u]->Cycle();
            if (outcome != SyncOutcome::success && outcome != SyncOutcome::uploaded) {
                return fail("quiet cycle of user " + std::to_string(u) + ": " +
                            SyncOutcomeText(outcome) + " " + users[u]->worker.GetLastError());
            }
        }
    }
    std::vector<std::pair<std::string, Entries>> holders{
        {"shared file", EntriesOf(place.SharedFile())}};
    for (int u = 0; u < userCount; ++u) {
        if (!users[u]->doc.GetChangeList().empty()) {
            return fail("user " + std::to_string(u) + " still has changes after the quiet rounds");
        }
        holders.emplace_back("document of user " + std::to_string(u), EntriesOf(users[u]->doc));
    }
    for (const auto& [holder, entries] : holders) {
        for (int u = 0; u < userCount; ++u) {
            for (const auto& [guid, last] : lastEvents[u]) {
                const auto found = entries.events.find(guid);
                const EventValue* actual = found == entries.events.end() ? nullptr : &found->second;
                if (last.has_value() != (actual != nullptr) || (actual && !(*actual == *last))) {
                    return fail(holder + ": event " + guid + " of user " + std::to_string(u) +
                                ": last value " + Describe(last ? &*last : nullptr) + ", found " +
                                Describe(actual));
                }
            }
            for (const auto& [guid, last] : lastTodos[u]) {
                const auto found = entries.todos.find(guid);
                const TodoValue* actual = found == entries.todos.end() ? nullptr : &found->second;
                if (last.has_value() != (actual != nullptr) || (actual && !(*actual == *last))) {
                    return fail(holder + ": to-do " + guid + " of user " + std::to_string(u) +
                                ": last value " + Describe(last ? &*last : nullptr) + ", found " +
                                Describe(actual));
                }
            }
        }
    }
    return {};
}

struct ConcurrentRow {
    const char* name;
    Transport transport;
    int users;
    unsigned seed;
    int edits;
};

void RunConcurrentRows(const std::vector<ConcurrentRow>& rows) {
    for (const ConcurrentRow& row : rows) {
        SCOPED_TRACE(std::string(row.name) + ", seed " + std::to_string(row.seed));
        const std::string error = RunConcurrent(row.transport, row.users, row.seed, row.edits);
        EXPECT_TRUE(error.empty()) << error;
    }
}

TEST(Convergence, ConcurrentWorkersOverAFolderLoseNoChange) {
    RunConcurrentRows({{"two users", Transport::folder, 2, 51, 300},
                       {"three users", Transport::folder, 3, 52, 300}});
}

// FTP cannot replace a file atomically; the upload lock on the server is what keeps a user
// whose upload passed its checks from being overwritten by a merge that lacks its changes.
TEST(Convergence, ConcurrentWorkersOverFtpLoseNoChange) {
    RunConcurrentRows(
        {{"two users", Transport::ftp, 2, 61, 200}, {"three users", Transport::ftp, 3, 62, 200}});
}

} // namespace
} // namespace dv
