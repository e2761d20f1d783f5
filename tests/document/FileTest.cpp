// The event file and its side file, and the document's file operations on them: save command and
// question, Save As, new, open (also failing), close, restore from a text backup and merge.

#include "core/CArchiveException.h"
#include "core/CFileException.h"
#include "core/Guid.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentTestSupport.h"
#include "document/EventFile.h"
#include "document/EventFileLock.h"
#include "document/RotatingBackup.h"
#include "document/TemporaryFile.h"
#include "document/TextBackup.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dv {
namespace {

using test::MakeEvent;
using test::MakeTodo;
using test::RecordBytes;
using test::RecordingObserver;
using test::TemporaryFolder;
using Strings = std::vector<std::string>;

// The record of an object without the 16-byte class record that StoreObject puts in front of it
// (tag 0xFFFF, schema, name length and a ten-letter name: "CDateEntry" and "CTodoEntry").
RecordBytes& AppendBody(RecordBytes& builder, const CObject& object) {
    const std::vector<uint8_t> bytes = test::StoreObject(object);
    for (size_t i = 16; i < bytes.size(); ++i) {
        builder.Byte(bytes[i]);
    }
    return builder;
}

std::optional<CArchiveException::Cause> ReadFailure(const std::vector<uint8_t>& bytes) {
    try {
        ReadEventFileBytes(bytes);
    } catch (const CArchiveException& error) {
        return error.GetCause();
    }
    return std::nullopt;
}

TEST(EventFileTest, StreamRules) {
    const auto event = MakeEvent("e");
    const auto todo = MakeTodo("d");
    using Cause = CArchiveException::Cause;
    struct Row {
        const char* name;
        RecordBytes bytes;
        std::optional<Cause> failure;
        size_t events = 0;
    };
    std::vector<Row> rows;
    rows.push_back({"any marker is read", RecordBytes().DWord(7).Long(0).Long(0).Long(0), {}});
    rows.push_back({"negative counts read nothing",
                    RecordBytes().DWord(100).Long(-5).Long(INT32_MIN).Long(-1),
                    {}});
    rows.push_back({"bytes after the to-dos are ignored",
                    RecordBytes().DWord(100).Long(0).Long(0).Long(0).DWord(77),
                    {}});
    rows.push_back({"one event", RecordBytes().DWord(100).Long(0).Long(1), {}, 1});
    AppendBody(rows.back().bytes.ClassRecord("CDateEntry", 4), *event).Long(0);
    rows.push_back(
        {"a to-do among the events", RecordBytes().DWord(100).Long(0).Long(1), Cause::badClass});
    AppendBody(rows.back().bytes.ClassRecord("CTodoEntry", 2), *todo).Long(0);
    rows.push_back({"an event among the to-dos", RecordBytes().DWord(100).Long(0).Long(0).Long(1),
                    Cause::badClass});
    AppendBody(rows.back().bytes.ClassRecord("CDateEntry", 4), *event);
    rows.push_back({"a null object", RecordBytes().DWord(100).Long(1).Word(0), Cause::badClass});
    rows.push_back({"an unknown class",
                    RecordBytes().DWord(100).Long(1).ClassRecord("CNoSuchEntry", 1),
                    Cause::badClass});
    rows.push_back(
        {"a schema from the future", RecordBytes().DWord(100).Long(1), Cause::badSchema});
    AppendBody(rows.back().bytes.ClassRecord("CDateEntry", 5), *event);
    rows.push_back({"a count far beyond the data",
                    RecordBytes().DWord(100).Long(0).Long(INT32_MAX).Long(0), Cause::endOfFile});
    for (Row& row : rows) {
        SCOPED_TRACE(row.name);
        // Room for the objects that the counts claim, so that the object itself is judged.
        std::vector<uint8_t> bytes = row.bytes.Get();
        bytes.resize(bytes.size() + 400, 0);
        EXPECT_EQ(ReadFailure(bytes), row.failure);
        if (!row.failure) {
            EXPECT_EQ(ReadEventFileBytes(bytes).events.size(), row.events);
        }
    }
}

TEST(EventFileTest, SideFileNameAndChangeListBytes) {
    for (const auto& [path, side] :
         {std::pair{"/home/u/my.events.dat", "/home/u/my.events.sync"},
          std::pair{"/home/u/.config/events", "/home/u/.config/events.sync"},
          std::pair{"/home/u/events.", "/home/u/events.sync"}, std::pair{".dat", ".sync"}}) {
        EXPECT_EQ(SyncSidePath(path), std::filesystem::path(side)) << path;
    }
    const std::vector<std::string> list = {"{A}", "{B}"};
    EXPECT_EQ(WriteChangeListBytes(list), RecordBytes().Count(2).Str("{A}").Str("{B}").Get());
    EXPECT_EQ(ReadChangeListBytes(RecordBytes().Count(3).Str("{A}").Str("{B}").Str("{A}").Get()),
              list);
    EXPECT_THROW(ReadChangeListBytes({}), CArchiveException);
    EXPECT_THROW(ReadChangeListBytes(RecordBytes().Word(0xFFFF).DWord(0xFFFFFFFF).Get()),
                 CArchiveException);
}

TEST(EventFileTest, FilesRoundTripWithTheirSideFile) {
    test::TemporaryFolder folder;
    const auto path = folder / "events.dat";
    test::Random rng(99);
    // Large enough that the fingerprint is fed in pieces that split its words.
    DocumentContents contents = test::RandomDocument(rng, 2, 800, 4);
    contents.changeList = {NewGuidString(), NewGuidString()};
    WriteEventFile(path, contents);
    EXPECT_EQ(folder.FileNames(), (std::vector<std::string>{"events.dat", "events.sync"}));
    const std::vector<uint8_t> bytes = WriteEventFileBytes(contents);
    EXPECT_EQ(test::ReadFileBytes(path), bytes);
    EXPECT_EQ(test::ReadFileBytes(folder / "events.sync"),
              WriteSyncSideBytes({contents.changeList, EventFileFingerprint(bytes), "", ""}));
    // Readers that know only the list stop after it.
    EXPECT_EQ(ReadChangeListBytes(test::ReadFileBytes(folder / "events.sync")),
              contents.changeList);
    test::ExpectSameContents(ReadEventFile(path), contents);
    EXPECT_TRUE(ReadEventFile(path, EventFileParts::entriesOnly).changeList.empty());

    // A save with an empty change list keeps the older side file, which the next open reads.
    // It names another event file, so its list is not trusted: GUIDs the file lacks go, and
    // every shared entry of the file joins, so that nothing this file holds can be lost.
    DocumentContents second;
    second.events.push_back(MakeEvent("A", "local"));
    second.events.push_back(MakeEvent("A", "shared", 1));
    second.todos.push_back(MakeTodo("G", "shared", 1));
    contents.changeList.front() = second.events[1]->GetGUID(); // the one listed GUID it holds
    WriteEventFile(path, contents);
    WriteEventFile(path, second);
    second.changeList = {second.events[1]->GetGUID(), second.todos[0]->GetGUID()};
    test::ExpectSameContents(ReadEventFile(path), second);
    // A shared place alone is written too.
    second.changeList.clear();
    second.sharedPlace = "file:/shared/events.dat";
    WriteEventFile(path, second);
    EXPECT_EQ(ReadEventFile(path).sharedPlace, second.sharedPlace);
}

TEST(EventFileTest, SaveRemovesTemporaryFilesOfKilledSavesOnly) {
    test::TemporaryFolder folder;
    for (const char* name : {"events.dat.0123456789abcdef.tmp", "events.dat.0123456789ABCDEF.tmp",
                             "events.dat.0123.tmp", "other.dat.0123456789abcdef.tmp",
                             "events.sync.0123456789abcdef.tmp"}) {
        test::WriteFileBytes(folder / name, {1, 2, 3});
    }
    DocumentContents contents;
    contents.events.push_back(MakeEvent("e"));
    WriteEventFile(folder / "events.dat", contents);
    // The side file's leftovers go too, although this save does not write a side file.
    EXPECT_EQ(folder.FileNames(), (std::vector<std::string>{"events.dat", "events.dat.0123.tmp",
                                                            "events.dat.0123456789ABCDEF.tmp",
                                                            "other.dat.0123456789abcdef.tmp"}));
    EXPECT_EQ(RemoveStaleTemporaryFiles(folder / "other.dat"), 1);
}

// The side file goes first and names the event file it belongs to: a save that dies between the
// two files leaves the older event file beside it, and its reader lists every shared entry that
// file holds and no GUID it lacks, so the next cycle removes nothing.
TEST(EventFileTest, ASaveDyingBetweenItsTwoFilesLeavesATrustworthyChangeList) {
    test::TemporaryFolder folder;
    const auto path = folder / "events.dat";
    DocumentContents old;
    old.events.push_back(MakeEvent("A", "local"));
    old.events.push_back(MakeEvent("A", "shared", 1));
    old.todos.push_back(MakeTodo("G", "local"));
    WriteEventFile(path, old);
    DocumentContents next = test::CopyContents(old);
    next.events.push_back(MakeEvent("A", "new and shared", 1));
    next.changeList = {next.events[2]->GetGUID(), "{ELSEWHERE}"};
    std::vector<std::vector<std::string>> lists;
    SetSaveFaultHook([&](SaveStage) { lists.push_back(ReadEventFile(path).changeList); });
    WriteEventFile(path, next);
    SetSaveFaultHook({});
    const std::vector<std::string> recovered = {old.events[1]->GetGUID()};
    EXPECT_EQ(lists, (std::vector<std::vector<std::string>>{recovered, next.changeList}));
}

/// A document wired as the desktop program wires it: save requests are queued and run later by
/// Pump, questions go to a queued prompt, Save As picks `saveAsPath`.
struct Harness {
    CDayvaultDoc doc;
    CQueuedPrompt prompt;
    int pendingSaves = 0;
    int saveAsRuns = 0;
    std::filesystem::path saveAsPath;

    Harness() {
        doc.SetPrompt(&prompt);
        doc.SetSaveRequestHook([this] { ++pendingSaves; });
        doc.SetSaveAsHook([this] {
            ++saveAsRuns;
            if (!saveAsPath.empty()) {
                doc.SaveAs(saveAsPath);
            }
        });
    }
    void Pump() {
        for (; pendingSaves > 0; --pendingSaves) {
            doc.SaveCommand();
        }
    }
};

/// Descriptions of the events in the event file at `path`.
Strings EventsInFile(const std::filesystem::path& path) {
    Strings descriptions;
    for (const auto& entry : ReadEventFile(path).events) {
        descriptions.push_back(entry->GetData().Description);
    }
    return descriptions;
}

TEST(DocumentSaveTest, AnUntitledDocumentAsksAtEverySaveAfterAChange) {
    TemporaryFolder folder;
    Harness h;
    EXPECT_FALSE(h.doc.SaveCommand()) << "unchanged: no question";
    EXPECT_TRUE(h.doc.NewDocument());
    CDayvaultDoc withoutPrompt; // nobody to ask: the changes go
    withoutPrompt.AddDateEntry(MakeEvent("Work"), kEditInteractive);
    EXPECT_TRUE(withoutPrompt.Close());
    h.doc.AddDateEntry(MakeEvent("Work", "first"), kEditInteractive);
    // A save command arriving while the question is open is ignored.
    bool innerResult = true;
    h.prompt.QueueAnswer(false, [&] { innerResult = h.doc.SaveCommand(); });
    h.Pump();
    EXPECT_FALSE(innerResult);
    ASSERT_EQ(h.prompt.GetQuestionCount(), 1U);
    EXPECT_EQ(h.prompt.GetShown()[0].text, "Do you want to save current event file?");
    EXPECT_EQ(h.prompt.GetShown()[0].icon, PromptIcon::Question);
    EXPECT_EQ(h.saveAsRuns, 0);
    EXPECT_TRUE(h.doc.IsModified());

    // Yes with a cancelled file dialog keeps the document untitled.
    h.doc.AddTodoEntry(MakeTodo("G"), kEditInteractive);
    h.prompt.QueueAnswer(true);
    h.Pump();
    EXPECT_EQ(h.saveAsRuns, 1);
    EXPECT_TRUE(h.doc.GetPathName().empty());

    // Yes runs Save As; later saves write without a question, each the whole file.
    h.saveAsPath = folder / "events.dat";
    h.doc.AddDateEntry(MakeEvent("Work", "second"), kEditInteractive);
    h.prompt.QueueAnswer(true);
    h.Pump();
    EXPECT_EQ(h.doc.GetTitle(), "events.dat");
    EXPECT_FALSE(h.doc.IsModified());
    h.doc.DeleteDateEntry(h.doc.GetDateEntry(0), kEditInteractive);
    h.doc.UndoDateEntry();
    EXPECT_EQ(h.pendingSaves, 2);
    h.Pump();
    EXPECT_EQ(h.prompt.GetQuestionCount(), 3U);
    EXPECT_EQ(EventsInFile(folder / "events.dat"), (Strings{"second", "first"}));

    // Clearing the change list deletes the side file; without one there is nothing to do.
    h.doc.AddDateEntry(MakeEvent("Work", "shared", 1), kEditInteractive);
    h.Pump();
    ASSERT_TRUE(std::filesystem::exists(folder / "events.sync"));
    h.doc.ClearChangeList();
    h.doc.ClearChangeList();
    EXPECT_EQ(folder.FileNames(), Strings{"events.dat"});
}

/// A file with templates, events of two categories, an urgent and a plain to-do and a change list.
DocumentContents SampleContents() {
    DocumentContents contents;
    contents.templates.push_back(MakeEvent("Work"));
    contents.events.push_back(MakeEvent("Work", "one"));
    contents.events.push_back(MakeEvent("home", "two"));
    contents.events.push_back(MakeEvent("HOME", "three"));
    contents.todos.push_back(MakeTodo("Office", "urgent"));
    contents.todos.back()->SetCurrentTime(CDateTime(2007, 3, 9, 0, 0, 0));
    contents.todos.push_back(MakeTodo("Garden", "later"));
    contents.changeList = {contents.events[0]->GetGUID()};
    return contents;
}

// New, Open, Close and Restore save first; when that save fails they stop, and the unsaved
// changes stay in the document, with a message that names the file and the reason.
TEST(DocumentFileTest, AFailedSaveStopsNewOpenCloseAndRestore) {
    TemporaryFolder folder;
    WriteEventFile(folder / "other.dat", SampleContents());
    WriteTextBackup(folder / "backup.txt", SampleContents());
    const std::filesystem::path gone = folder / "gone" / "events.dat";
    for (int operation = 0; operation < 4; ++operation) {
        SCOPED_TRACE(operation);
        Harness h;
        std::filesystem::create_directory(folder / "gone");
        ASSERT_TRUE(h.doc.SaveAs(gone));
        h.doc.AddDateEntry(MakeEvent("Work", "unsaved"), kEditInteractive);
        std::filesystem::remove_all(folder / "gone");
        const auto run = [&] {
            switch (operation) {
            case 0:
                return h.doc.NewDocument();
            case 1:
                return h.doc.Open(folder / "other.dat");
            case 2:
                return h.doc.Close();
            default:
                return h.doc.Restore(folder / "backup.txt");
            }
        };
        EXPECT_FALSE(run());
        EXPECT_EQ(h.doc.GetDateEntryCount(), 1);
        EXPECT_EQ(h.doc.GetPathName(), gone);
        EXPECT_TRUE(h.doc.IsModified());
        ASSERT_EQ(h.prompt.GetShown().size(), 1U);
        EXPECT_EQ(h.doc.GetLastSaveError(), h.prompt.GetShown()[0].text);
        EXPECT_NE(h.doc.GetLastSaveError().find(gone.string() + ": "), std::string::npos)
            << h.doc.GetLastSaveError();
        // With the folder back, the same operation asks (the file is gone), saves and goes
        // through.
        std::filesystem::create_directory(folder / "gone");
        h.prompt.QueueAnswer(true);
        EXPECT_TRUE(run());
        EXPECT_EQ(EventsInFile(gone), Strings{"unsaved"});
        std::filesystem::remove_all(folder / "gone");
    }
}

TEST(DocumentFileTest, OpenReadsTheFileAndItsSideFileRebuildsTheSetsAndResetsTheFilters) {
    TemporaryFolder folder;
    const DocumentContents sample = SampleContents();
    WriteEventFile(folder / "sample.dat", sample);
    test::WriteFileBytes(folder / "broken.dat", {100, 0, 0, 0, 1});
    Harness h;
    h.doc.AddDateEntry(MakeEvent("Old"), kEditInteractive);
    ASSERT_TRUE(h.doc.SaveAs(folder / "old.dat"));
    h.doc.AddDateEntry(MakeEvent("Old", "last change"), kEditInteractive);
    FilterState filter;
    filter.selectionOn = true;
    h.doc.SetTodoFilter(filter);
    RecordingObserver views(h.doc);

    h.doc.Open(folder / "sample.dat");
    EXPECT_EQ(EventsInFile(folder / "old.dat").size(), 2U) << "the old file was saved first";
    EXPECT_EQ(h.doc.GetPathName(), folder / "sample.dat");
    EXPECT_FALSE(h.doc.IsModified());
    EXPECT_EQ(h.doc.GetTemplateCount(), 1);
    EXPECT_EQ(h.doc.GetDateEntryCount(), 3);
    EXPECT_EQ(h.doc.GetTodoCount(), 2);
    EXPECT_EQ(h.doc.GetChangeList(), sample.changeList);
    EXPECT_EQ(Strings(h.doc.GetCategories().begin(), h.doc.GetCategories().end()),
              (Strings{"home", "Work"}));
    EXPECT_EQ(h.doc.GetEventFilter(), FilterState::PassAll(h.doc.GetCategories()));
    EXPECT_EQ(h.doc.GetTodoFilter(), FilterState::PassAll(h.doc.GetGroups()));
    EXPECT_TRUE(h.doc.HasDueTodo());
    EXPECT_EQ(views.initialUpdates, 1);
    EXPECT_EQ(views.Hints(), (std::vector<int>{8, 13, 9, 9, 14}));

    // A failed open leaves an empty untitled document and the old file as it was.
    for (const char* name : {"broken.dat", "missing.dat"}) {
        SCOPED_TRACE(name);
        EXPECT_ANY_THROW(h.doc.Open(folder / name));
        EXPECT_EQ(h.doc.GetDateEntryCount(), 0);
        EXPECT_EQ(h.doc.GetTitle(), "Untitled");
        EXPECT_FALSE(h.doc.IsModified());
    }
    EXPECT_EQ(EventsInFile(folder / "sample.dat").size(), 3U);
    EXPECT_EQ(h.prompt.GetQuestionCount(), 0U);
    EXPECT_FALSE(h.doc.SaveAs(folder / "missing" / "events.dat"));
}

TEST(DocumentFileTest, MergeAddsWhatIsNewRebuildsTheSetsAndSendsHintZero) {
    TemporaryFolder folder;
    Harness h;
    h.doc.AddDateEntry(MakeEvent("Work", "mine"), kEditInteractive);
    h.pendingSaves = 0;
    DocumentContents other;
    other.events.push_back(MakeEvent("Work", "same identity"));
    other.events.back()->SetGUID(h.doc.GetDateEntry(0)->GetGUID());
    other.events.push_back(MakeEvent("Travel", "theirs", 1));
    other.todos.push_back(MakeTodo("Office", "urgent"));
    other.todos.back()->SetCurrentTime(CDateTime(2007, 3, 9, 0, 0, 0));
    const std::string sharedGuid = other.events[1]->GetGUID();
    WriteEventFile(folder / "other.dat", other);
    RecordingObserver views(h.doc);

    EXPECT_EQ(h.doc.MergeFile(folder / "other.dat"), 2);
    ASSERT_EQ(h.doc.GetDateEntryCount(), 2);
    EXPECT_EQ(h.doc.GetDateEntry(1)->GetData().Description, "theirs");
    EXPECT_EQ(h.doc.GetChangeList(), Strings{sharedGuid});
    EXPECT_TRUE(h.doc.HasDueTodo());
    EXPECT_EQ(views.Hints(), (std::vector<int>{9, 14, 0}));
    EXPECT_FALSE(h.doc.CanUndoTodoEntry()) << "merging records no undo steps";
    EXPECT_EQ(h.pendingSaves, 1);
    EXPECT_EQ(h.doc.MergeFile(folder / "other.dat"), 0) << "nothing new the second time";
    EXPECT_ANY_THROW(h.doc.MergeFile(folder / "missing.dat"));
    EXPECT_EQ(h.doc.GetDateEntryCount(), 2);
}

// ---- The event file on disk -----------------------------------------------------------------------

/// The descriptions of the events in the file, sorted: a merge appends, so order says little.
Strings SortedEventsInFile(const std::filesystem::path& path) {
    Strings descriptions = EventsInFile(path);
    std::sort(descriptions.begin(), descriptions.end());
    return descriptions;
}

CDateEntry* EventNamed(const CDayvaultDoc& doc, const std::string& description) {
    for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
        if (doc.GetDateEntry(i)->GetData().Description == description) {
            return doc.GetDateEntry(i);
        }
    }
    throw std::logic_error("no event " + description);
}

void Describe(CDayvaultDoc& doc, const std::string& from, const std::string& to) {
    CDateEntry* entry = EventNamed(doc, from);
    DateData data = entry->GetData();
    data.Description = to;
    doc.ChangeDateEntry(entry, data, kEditInteractive);
}

// Two programs on one file: each save takes in what the other wrote since this one last read or
// wrote the file, so neither drops the other's entries; an entry both changed is kept twice.
TEST(DocumentDiskTest, TwoDocumentsOnOneFileMergeTheOthersChangesBeforeSaving) {
    TemporaryFolder folder;
    const std::filesystem::path file = folder / "events.dat";
    WriteEventFile(file, SampleContents());
    Harness a;
    Harness b;
    ASSERT_TRUE(a.doc.Open(file));
    ASSERT_TRUE(b.doc.Open(file));
    for (const char* text : {"A1", "A2", "A3"}) {
        a.doc.AddDateEntry(MakeEvent("Work", text), kEditInteractive);
    }
    a.Pump();
    b.doc.AddDateEntry(MakeEvent("Work", "B1"), kEditInteractive);
    Describe(b.doc, "one", "one by B");
    b.Pump();
    EXPECT_EQ(SortedEventsInFile(file),
              (Strings{"A1", "A2", "A3", "B1", "one by B", "three", "two"}));
    ASSERT_EQ(b.prompt.GetShown().size(), 1U);
    EXPECT_EQ(b.prompt.GetShown()[0].text,
              FormatString(kIdsMergedFromDisk, {file.string(), "3"}));
    EXPECT_EQ(b.doc.GetDateEntryCount(), 7) << "B shows what A added";
    b.doc.DeleteDateEntry(EventNamed(b.doc, "A2"), kEditInteractive);
    b.Pump();

    // A edits "one" as well (both changed it) and "two" (only A did); A2, which A left alone,
    // goes as B deleted it.
    Describe(a.doc, "one", "one by A");
    Describe(a.doc, "two", "two by A");
    a.Pump();
    EXPECT_EQ(SortedEventsInFile(file),
              (Strings{"A1", "A3", "B1", "one by A", "one by B", "three", "two by A"}));
    const DocumentContents written = ReadEventFile(file);
    std::set<std::string> guids;
    for (const auto& entry : written.events) {
        guids.insert(entry->GetGUID());
    }
    EXPECT_EQ(guids.size(), written.events.size()) << "the kept copy has a GUID of its own";
    // Nothing changed since: the next save writes without a word.
    a.prompt.ClearShown();
    a.doc.AddTodoEntry(MakeTodo("G", "quiet"), kEditInteractive);
    a.Pump();
    EXPECT_TRUE(a.prompt.GetShown().empty());
    EXPECT_EQ(ReadEventFile(file).todos.size(), 3U);
}

// A file the user made read-only, deleted or replaced with something unreadable is never written
// over unasked: the save says so, once, and writes only on the user's Yes (a new name for the
// read-only file); closing asks again, as unsaved changes are at stake.
TEST(DocumentDiskTest, ReadOnlyDeletedOrDamagedFilesAreNotWrittenUnasked) {
    namespace fs = std::filesystem;
    enum class Harm { readOnly, deleted, damaged };
    for (const Harm harm : {Harm::readOnly, Harm::deleted, Harm::damaged}) {
        SCOPED_TRACE(static_cast<int>(harm));
        TemporaryFolder folder;
        const fs::path file = folder / "events.dat";
        WriteEventFile(file, SampleContents());
        Harness h;
        h.saveAsPath = folder / "copy.dat";
        ASSERT_TRUE(h.doc.Open(file));
        std::string question;
        switch (harm) {
        case Harm::readOnly:
            fs::permissions(file, fs::perms::owner_read | fs::perms::group_read |
                                      fs::perms::others_read);
            question = FormatString(kIdsAskSaveAsReadOnly, file.string());
            break;
        case Harm::deleted:
            fs::remove(file);
            question = FormatString(kIdsAskRewriteDeleted, file.string());
            break;
        case Harm::damaged:
            test::WriteFile(file, "not an event file at all");
            question = FormatString(kIdsAskOverwriteDamaged, file.string()).substr(0, 40);
            break;
        }
        const std::string before = test::ReadFile(file);
        h.doc.AddDateEntry(MakeEvent("Work", "new"), kEditInteractive);
        h.prompt.QueueAnswer(false);
        h.Pump();
        h.doc.AddDateEntry(MakeEvent("Work", "newer"), kEditInteractive);
        h.Pump(); // declined: no second question
        ASSERT_EQ(h.prompt.GetQuestionCount(), 1U);
        EXPECT_EQ(h.prompt.GetShown()[0].text.substr(0, question.size()), question);
        EXPECT_EQ(fs::exists(file), harm != Harm::deleted);
        EXPECT_EQ(test::ReadFile(file), before);
        EXPECT_TRUE(h.doc.IsModified());
        EXPECT_NE(h.doc.GetLastSaveError().find(file.string()), std::string::npos);

        h.prompt.QueueAnswer(true);
        EXPECT_TRUE(h.doc.Close());
        const fs::path written = harm == Harm::readOnly ? h.saveAsPath : file;
        EXPECT_EQ(EventsInFile(written), (Strings{"one", "two", "three", "new", "newer"}));
        if (harm == Harm::readOnly) {
            EXPECT_EQ(test::ReadFile(file), before);
            EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
                      fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        }
    }
}

// A second program finds the lock file of the first and asks; No opens the file read-only.
// A lock left by a process of this computer that is gone is taken over without a question.
TEST(DocumentDiskTest, ALockFileWarnsASecondProgramAtOpen) {
    namespace fs = std::filesystem;
    TemporaryFolder folder;
    const fs::path file = folder / "events.dat";
    const fs::path lock = folder / ".~lock.events.dat#";
    WriteEventFile(file, SampleContents());
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    {
        Harness first;
        first.doc.SetUseLockFiles(true);
        ASSERT_TRUE(first.doc.Open(file));
        const LockHolder self = EventFileLock::Self();
        EXPECT_EQ(test::ReadFile(lock).substr(0, self.user.size() + self.host.size() + 2),
                  self.user + "," + self.host + ",");
        EXPECT_EQ(fs::status(lock).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_TRUE(first.prompt.GetShown().empty());
        EXPECT_TRUE(first.doc.Close());
        EXPECT_FALSE(fs::exists(lock));
    }

    test::WriteFile(lock, "bob,elsewhere.example,4242,2030-03-02 09:15:00\n");
    Harness second;
    second.doc.SetUseLockFiles(true);
    second.prompt.QueueAnswer(false);
    ASSERT_TRUE(second.doc.Open(file));
    ASSERT_EQ(second.prompt.GetQuestionCount(), 1U);
    EXPECT_EQ(second.prompt.GetShown()[0].text,
              FormatString(kIdsAskOpenLocked, {file.string(), "bob", "elsewhere.example",
                                               "2030-03-02 09:15:00"}));
    EXPECT_TRUE(second.doc.IsReadOnly());
    const std::string before = test::ReadFile(file);
    second.doc.AddDateEntry(MakeEvent("Work", "new"), kEditInteractive);
    second.prompt.QueueAnswer(false);
    second.Pump();
    EXPECT_EQ(second.prompt.GetShown().back().text,
              FormatString(kIdsAskSaveAsOpenedReadOnly, file.string()));
    EXPECT_EQ(test::ReadFile(file), before);
    EXPECT_EQ(test::ReadFile(lock), "bob,elsewhere.example,4242,2030-03-02 09:15:00\n")
        << "the other program's lock stays";

    // A process of this computer that no longer runs holds nothing.
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    test::WriteFile(lock, "ghost," + EventFileLock::Self().host + "," + std::to_string(child) +
                              ",2030-03-02 09:15:00\n");
    Harness third;
    third.doc.SetUseLockFiles(true);
    ASSERT_TRUE(third.doc.Open(file));
    EXPECT_TRUE(third.prompt.GetShown().empty());
    EXPECT_FALSE(third.doc.IsReadOnly());
    EXPECT_EQ(test::ReadFile(lock).substr(0, EventFileLock::Self().user.size()),
              EventFileLock::Self().user);
}

// Files that hold the user's entries are as private as the event file (side file, backups) or
// private outright (the synchronisation's temporary files, in a folder of their own), whatever
// the umask.
TEST(DocumentDiskTest, PrivateFilesStayPrivateWhateverTheUmask) {
    namespace fs = std::filesystem;
    TemporaryFolder folder;
    const fs::path file = folder / "events.dat";
    const mode_t umask = ::umask(0);
    constexpr fs::perms kPrivate = fs::perms::owner_read | fs::perms::owner_write;
    test::WriteFile(file, "");
    fs::permissions(file, kPrivate);
    WriteEventFile(file, SampleContents()); // with a change list: the side file is written
    EXPECT_TRUE(MakeRotatingBackup(file, 2, 0).succeeded);
    const TemporaryFile temporary("merge");
    ::umask(umask);
    for (const fs::path& path : {file, folder / "events.sync", folder / "events.b00",
                                 temporary.Path()}) {
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, kPrivate) << path;
    }
    ASSERT_TRUE(temporary.IsOpen());
    EXPECT_NE(temporary.Path().parent_path(), fs::temp_directory_path());
    EXPECT_EQ(fs::status(temporary.Path().parent_path()).permissions() & fs::perms::all,
              fs::perms::owner_all);
}

} // namespace
} // namespace dv
