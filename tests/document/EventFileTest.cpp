#include "document/EventFile.h"

#include "core/CArchiveException.h"
#include "core/CFileException.h"
#include "core/Guid.h"
#include "document/DocumentTestSupport.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::ByteDifference;
using test::MakeEvent;
using test::MakeTodo;
using test::RecordBytes;

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

TEST(EventFileTest, ObjectsCarryClassRecordsAndTagsInListOrder) {
    EXPECT_EQ(WriteEventFileBytes({}), RecordBytes().DWord(100).DWord(0).DWord(0).DWord(0).Get());
    EXPECT_TRUE(ReadEventFileBytes({}).IsEmpty());

    DocumentContents contents;
    contents.templates.push_back(MakeEvent("template"));
    contents.events.push_back(MakeEvent("first"));
    contents.events.push_back(MakeEvent("second"));
    contents.todos.push_back(MakeTodo("one"));
    contents.todos.push_back(MakeTodo("two"));
    // Indices: class CDateEntry 1, template 2, events 3 and 4, class CTodoEntry 5, to-dos 6, 7.
    RecordBytes expected;
    expected.DWord(100).Long(1).ClassRecord("CDateEntry", 4);
    AppendBody(expected, *contents.templates[0]).Long(2).Word(0x8001);
    AppendBody(expected, *contents.events[0]).Word(0x8001);
    AppendBody(expected, *contents.events[1]).Long(2).ClassRecord("CTodoEntry", 2);
    AppendBody(expected, *contents.todos[0]).Word(0x8005);
    AppendBody(expected, *contents.todos[1]);
    EXPECT_EQ(ByteDifference(WriteEventFileBytes(contents), expected.Get()), "");
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

TEST(EventFileTest, ShortFilesAndFileErrorsNameTheFile) {
    test::TemporaryFolder folder;
    const auto path = folder / "events.dat";
    const auto side = folder / "events.sync";
    const auto expectFailure = [](const auto& run, const std::filesystem::path& named) {
        try {
            run();
            ADD_FAILURE() << "no error for " << named;
        } catch (const std::exception& error) {
            EXPECT_NE(std::string(error.what()).find(named.string()), std::string::npos)
                << error.what();
        }
    };
    // An empty event file is a new document: its side file is not read either.
    test::WriteFileBytes(path, {});
    test::WriteFileBytes(side, {1});
    EXPECT_TRUE(ReadEventFile(path).IsEmpty());
    test::WriteFileBytes(path, {100, 0, 0, 0, 0});
    expectFailure([&] { ReadEventFile(path); }, path);
    expectFailure([&] { ReadEventFile(folder / "missing.dat"); }, folder / "missing.dat");
    // A damaged side file fails the open and names the side file.
    test::WriteFileBytes(path, WriteEventFileBytes({}));
    expectFailure([&] { ReadEventFile(path); }, side);
    const auto nowhere = folder / "no-such-folder" / "events.dat";
    expectFailure([&] { WriteEventFile(nowhere, {}); }, nowhere);
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

} // namespace
} // namespace dv
