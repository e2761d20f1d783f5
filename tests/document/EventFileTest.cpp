#include "document/EventFile.h"

#include "core/CArchiveException.h"
#include "core/CFileException.h"
#include "core/Guid.h"
#include "document/DocumentTestSupport.h"
#include "support/ArchiveBytes.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::ByteDifference;
using test::RecordBytes;
using test::StoreObject;

// The record of an object without the 16-byte class record that StoreObject puts in front of it
// (tag 0xFFFF, schema, name length and a ten-letter name: "CDateEntry" and "CTodoEntry").
std::vector<uint8_t> RecordBody(const CObject& object) {
    std::vector<uint8_t> bytes = StoreObject(object);
    bytes.erase(bytes.begin(), bytes.begin() + 16);
    return bytes;
}

RecordBytes& Append(RecordBytes& builder, const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) {
        builder.Byte(b);
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

std::unique_ptr<CDateEntry> Event(const std::string& description) {
    auto event = std::make_unique<CDateEntry>(CDateTime(2024, 3, 1, 9, 30, 0));
    DateData data = event->GetData();
    data.Description = description;
    event->AssignData(data);
    return event;
}

std::unique_ptr<CTodoEntry> Todo(const std::string& description) {
    auto todo = std::make_unique<CTodoEntry>(CDateTime(2024, 3, 2, 8, 0, 0));
    TodoData data = todo->GetData();
    data.Description = description;
    todo->SetData(data);
    return todo;
}

TEST(EventFileTest, EmptyDocumentIsSixteenBytes) {
    const std::vector<uint8_t> bytes = WriteEventFileBytes(DocumentContents());
    EXPECT_EQ(bytes, RecordBytes().DWord(100).DWord(0).DWord(0).DWord(0).Get());
    EXPECT_TRUE(ReadEventFileBytes(bytes).IsEmpty());
}

TEST(EventFileTest, ObjectsCarryClassRecordsAndTagsInListOrder) {
    DocumentContents contents;
    contents.templates.push_back(Event("template"));
    contents.events.push_back(Event("first"));
    contents.events.push_back(Event("second"));
    contents.todos.push_back(Todo("one"));
    contents.todos.push_back(Todo("two"));

    // Indices: class CDateEntry 1, template 2, events 3 and 4, class CTodoEntry 5, to-dos 6, 7.
    RecordBytes expected;
    expected.DWord(100).Long(1).ClassRecord("CDateEntry", 4);
    Append(expected, RecordBody(*contents.templates[0]));
    expected.Long(2).Word(0x8001);
    Append(expected, RecordBody(*contents.events[0])).Word(0x8001);
    Append(expected, RecordBody(*contents.events[1]));
    expected.Long(2).ClassRecord("CTodoEntry", 2);
    Append(expected, RecordBody(*contents.todos[0])).Word(0x8005);
    Append(expected, RecordBody(*contents.todos[1]));

    const std::vector<uint8_t> bytes = WriteEventFileBytes(contents);
    EXPECT_EQ(ByteDifference(bytes, expected.Get()), "");
    test::ExpectSameContents(ReadEventFileBytes(bytes), contents);
}

TEST(EventFileTest, ClassRecordPlacementWithoutEarlierLists) {
    // Events but no templates: the class record stands in front of the first event.
    DocumentContents eventsOnly;
    eventsOnly.events.push_back(Event("a"));
    eventsOnly.events.push_back(Event("b"));
    RecordBytes expected;
    expected.DWord(100).Long(0).Long(2).ClassRecord("CDateEntry", 4);
    Append(expected, RecordBody(*eventsOnly.events[0])).Word(0x8001);
    Append(expected, RecordBody(*eventsOnly.events[1])).Long(0);
    EXPECT_EQ(ByteDifference(WriteEventFileBytes(eventsOnly), expected.Get()), "");

    // To-dos only: the first object carries the "CTodoEntry" class record with index 1.
    DocumentContents todosOnly;
    todosOnly.todos.push_back(Todo("a"));
    todosOnly.todos.push_back(Todo("b"));
    RecordBytes expectedTodos;
    expectedTodos.DWord(100).Long(0).Long(0).Long(2).ClassRecord("CTodoEntry", 2);
    Append(expectedTodos, RecordBody(*todosOnly.todos[0])).Word(0x8001);
    Append(expectedTodos, RecordBody(*todosOnly.todos[1]));
    EXPECT_EQ(ByteDifference(WriteEventFileBytes(todosOnly), expectedTodos.Get()), "");
    test::ExpectSameContents(ReadEventFileBytes(expectedTodos.Get()), todosOnly);
}

TEST(EventFileTest, RandomDocumentsRoundTrip) {
    test::Random rng(20240301);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const DocumentContents contents = test::RandomDocument(rng, 3, 12, 8);
        const std::vector<uint8_t> bytes = WriteEventFileBytes(contents);
        const DocumentContents read = ReadEventFileBytes(bytes);
        test::ExpectSameContents(read, contents);
        // Writing what was read gives the same bytes again.
        ASSERT_EQ(WriteEventFileBytes(read), bytes);
    }
}

TEST(EventFileTest, EveryTruncationFailsWithEndOfFile) {
    test::Random rng(7);
    DocumentContents contents = test::RandomDocument(rng, 2, 4, 3);
    contents.templates.push_back(Event("t"));
    contents.events.push_back(Event("e"));
    contents.todos.push_back(Todo("d"));
    const std::vector<uint8_t> bytes = WriteEventFileBytes(contents);
    for (size_t size = 1; size < bytes.size(); ++size) {
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + size);
        const auto cause = ReadFailure(prefix);
        ASSERT_TRUE(cause.has_value()) << "a prefix of " << size << " bytes was read";
        ASSERT_EQ(*cause, CArchiveException::Cause::endOfFile) << size;
    }
    EXPECT_TRUE(ReadEventFileBytes({}).IsEmpty());
}

TEST(EventFileTest, StreamRules) {
    const std::vector<uint8_t> dateBody = RecordBody(*Event("e"));
    const std::vector<uint8_t> todoBody = RecordBody(*Todo("d"));
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        std::optional<CArchiveException::Cause> failure;
        size_t events = 0;
    };
    std::vector<Row> rows;
    rows.push_back({"any marker is read on",
                    RecordBytes().DWord(0xDEADBEEF).Long(0).Long(0).Long(0).Get(), std::nullopt});
    rows.push_back({"negative counts read nothing",
                    RecordBytes().DWord(100).Long(-5).Long(INT32_MIN).Long(-1).Get(),
                    std::nullopt});
    rows.push_back({"bytes after the to-dos are ignored",
                    RecordBytes().DWord(100).Long(0).Long(0).Long(0).DWord(77).Get(),
                    std::nullopt});
    {
        RecordBytes b;
        b.DWord(100).Long(0).Long(1).ClassRecord("CDateEntry", 4);
        Append(b, dateBody).Long(0);
        rows.push_back({"one event", std::move(b).Get(), std::nullopt, 1});
    }
    {
        RecordBytes b;
        b.DWord(100).Long(0).Long(1).ClassRecord("CTodoEntry", 2);
        Append(b, todoBody).Long(0);
        rows.push_back(
            {"a to-do among the events", std::move(b).Get(), CArchiveException::Cause::badClass});
    }
    {
        RecordBytes b;
        b.DWord(100).Long(0).Long(0).Long(1).ClassRecord("CDateEntry", 4);
        Append(b, dateBody);
        rows.push_back(
            {"an event among the to-dos", std::move(b).Get(), CArchiveException::Cause::badClass});
    }
    rows.push_back({"a null object", RecordBytes().DWord(100).Long(1).Word(0).Long(0).Long(0).Get(),
                    CArchiveException::Cause::badClass});
    rows.push_back(
        {"an unknown class",
         RecordBytes().DWord(100).Long(1).ClassRecord("CNoSuchEntry", 1).Long(0).Long(0).Get(),
         CArchiveException::Cause::badClass});
    {
        RecordBytes b;
        b.DWord(100).Long(1).ClassRecord("CDateEntry", 5);
        Append(b, dateBody).Long(0).Long(0);
        rows.push_back(
            {"a schema from the future", std::move(b).Get(), CArchiveException::Cause::badSchema});
    }
    rows.push_back({"a count far beyond the data",
                    RecordBytes().DWord(100).Long(0).Long(INT32_MAX).Long(0).Get(),
                    CArchiveException::Cause::endOfFile});
    for (Row& row : rows) {
        SCOPED_TRACE(row.name);
        // Room for the objects that the counts claim, so that the object itself is judged.
        row.bytes.resize(row.bytes.size() + 400, 0);
        EXPECT_EQ(ReadFailure(row.bytes), row.failure);
        if (!row.failure) {
            EXPECT_EQ(ReadEventFileBytes(row.bytes).events.size(), row.events);
        }
    }
    RecordBytes oneFewer;
    oneFewer.DWord(100).Long(0).Long(2).ClassRecord("CDateEntry", 4);
    Append(oneFewer, dateBody).Long(0);
    EXPECT_EQ(ReadFailure(oneFewer.Get()), CArchiveException::Cause::endOfFile);
}

TEST(EventFileTest, SyncSidePathReplacesTheLastExtensionOfTheFileName) {
    struct Row {
        const char* path;
        const char* side;
    };
    for (const Row& row : {Row{"/home/u/events.dat", "/home/u/events.sync"},
                           Row{"/home/u/my.events.dat", "/home/u/my.events.sync"},
                           Row{"/home/u/events", "/home/u/events.sync"},
                           Row{"/home/u/.config/events", "/home/u/.config/events.sync"},
                           Row{"/home/u/events.", "/home/u/events.sync"},
                           Row{"events.dat", "events.sync"}, Row{".dat", ".sync"}}) {
        EXPECT_EQ(SyncSidePath(row.path), std::filesystem::path(row.side)) << row.path;
    }
}

TEST(EventFileTest, ChangeListBytesAndDuplicates) {
    const std::vector<std::string> list = {"{A}", "{B}"};
    EXPECT_EQ(WriteChangeListBytes(list), RecordBytes().Count(2).Str("{A}").Str("{B}").Get());
    EXPECT_EQ(ReadChangeListBytes(RecordBytes().Count(3).Str("{A}").Str("{B}").Str("{A}").Get()),
              list);
    EXPECT_THROW(ReadChangeListBytes({}), CArchiveException);
    EXPECT_THROW(ReadChangeListBytes(RecordBytes().Count(3).Str("{A}").Get()), CArchiveException);
    EXPECT_THROW(ReadChangeListBytes(RecordBytes().Word(0xFFFF).DWord(0xFFFFFFFF).Get()),
                 CArchiveException);
}

TEST(EventFileTest, FilesRoundTripWithTheirSideFile) {
    test::TemporaryFolder folder;
    const auto path = folder / "events.dat";
    test::Random rng(99);
    DocumentContents contents = test::RandomDocument(rng, 2, 6, 4);
    contents.changeList = {NewGuidString(), NewGuidString()};
    WriteEventFile(path, contents);
    EXPECT_EQ(folder.FileNames(), (std::vector<std::string>{"events.dat", "events.sync"}));
    EXPECT_EQ(test::ReadFileBytes(path), WriteEventFileBytes(contents));
    const std::vector<uint8_t> bytes = WriteEventFileBytes(contents);
    EXPECT_EQ(test::ReadFileBytes(folder / "events.sync"),
              WriteSyncSideBytes({contents.changeList, EventFileFingerprint(bytes), "", ""}));
    // Readers that know only the list stop after it.
    EXPECT_EQ(ReadChangeListBytes(test::ReadFileBytes(folder / "events.sync")), contents.changeList);
    test::ExpectSameContents(ReadEventFile(path), contents);

    // Merging reads the entries alone.
    EXPECT_TRUE(ReadEventFile(path, EventFileParts::entriesOnly).changeList.empty());

    // A save with an empty change list keeps the older side file, which the next open reads.
    // It names another event file, so its list is not trusted: GUIDs the file lacks go, and
    // every shared entry of the file joins, so that nothing this file holds can be lost.
    DocumentContents second = test::RandomDocument(rng, 1, 3, 2);
    second.events.push_back(std::make_unique<CDateEntry>(*contents.events.front()));
    second.changeList.clear();
    std::vector<std::string> expected;
    if (contents.changeList.front() != second.events.back()->GetGUID()) {
        contents.changeList.front() = second.events.back()->GetGUID(); // one listed GUID it holds
        WriteEventFile(path, contents);
    }
    expected.push_back(second.events.back()->GetGUID());
    for (const auto& entry : second.events) {
        if (entry->GetStorageType() == 1 && entry->GetGUID() != expected.front()) {
            expected.push_back(entry->GetGUID());
        }
    }
    for (const auto& todo : second.todos) {
        if (todo->GetStorageType() == 1) {
            expected.push_back(todo->GetGUID());
        }
    }
    WriteEventFile(path, second);
    const DocumentContents reread = ReadEventFile(path);
    EXPECT_EQ(reread.changeList, expected);
    second.changeList = expected;
    test::ExpectSameContents(reread, second);
}

TEST(EventFileTest, ShortFilesAndFileErrors) {
    test::TemporaryFolder folder;
    const auto path = folder / "events.dat";

    test::WriteFileBytes(path, {});
    EXPECT_TRUE(ReadEventFile(path).IsEmpty());
    // An empty event file is a new document: its side file is not read either.
    test::WriteFileBytes(folder / "events.sync", WriteChangeListBytes({"{X}"}));
    EXPECT_TRUE(ReadEventFile(path).IsEmpty());
    std::filesystem::remove(folder / "events.sync");

    const std::vector<uint8_t> full = WriteEventFileBytes(DocumentContents());
    for (size_t size = 1; size < 16; ++size) {
        test::WriteFileBytes(path, {full.begin(), full.begin() + size});
        try {
            ReadEventFile(path);
            ADD_FAILURE() << size << " bytes were read";
        } catch (const CArchiveException& error) {
            EXPECT_EQ(error.GetCause(), CArchiveException::Cause::endOfFile);
            EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos)
                << error.what();
        }
    }

    try {
        ReadEventFile(folder / "missing.dat");
        ADD_FAILURE() << "a missing file was read";
    } catch (const CFileException& error) {
        EXPECT_EQ(error.GetPath(), folder / "missing.dat");
    }

    // A damaged side file fails the open and names the side file.
    test::WriteFileBytes(path, full);
    test::WriteFileBytes(folder / "events.sync", RecordBytes().Count(2).Str("{A}").Get());
    try {
        ReadEventFile(path);
        ADD_FAILURE() << "a damaged side file was read";
    } catch (const CArchiveException& error) {
        EXPECT_NE(std::string(error.what()).find((folder / "events.sync").string()),
                  std::string::npos)
            << error.what();
    }

    // A missing folder: nothing is written and the error names the file.
    const auto nowhere = folder / "no-such-folder" / "events.dat";
    try {
        WriteEventFile(nowhere, DocumentContents());
        ADD_FAILURE() << "a file was written into a missing folder";
    } catch (const CFileException& error) {
        EXPECT_EQ(error.GetPath(), nowhere);
    }
}

TEST(EventFileTest, SaveRemovesTemporaryFilesOfKilledSavesOnly) {
    test::TemporaryFolder folder;
    const auto path = folder / "events.dat";
    for (const char* name :
         {"events.dat.0123456789abcdef.tmp", "events.dat.fedcba9876543210.tmp",
          "events.dat.0123456789ABCDEF.tmp", "events.dat.0123.tmp",
          "other.dat.0123456789abcdef.tmp", "events.sync.0123456789abcdef.tmp"}) {
        test::WriteFileBytes(folder / name, {1, 2, 3});
    }
    DocumentContents contents;
    contents.events.push_back(Event("e"));
    WriteEventFile(path, contents);
    // The side file's leftovers go too, although this save does not write a side file.
    EXPECT_EQ(folder.FileNames(), (std::vector<std::string>{"events.dat", "events.dat.0123.tmp",
                                                            "events.dat.0123456789ABCDEF.tmp",
                                                            "other.dat.0123456789abcdef.tmp"}));
    EXPECT_EQ(RemoveStaleTemporaryFiles(folder / "other.dat"), 1);
}

TEST(EventFileTest, CountBoundsAreBelowTheShortestRecords) {
    // The readers refuse counts that the rest of the data cannot hold at a minimum size per
    // object; a record with empty texts and lists must not be shorter than that minimum.
    auto event = std::make_unique<CDateEntry>(CDateTime(2024, 1, 1));
    event->AssignData(DateData());
    auto todo = std::make_unique<CTodoEntry>(CDateTime(2024, 1, 1));
    todo->SetData(TodoData());
    DocumentContents contents;
    contents.events.push_back(std::move(event));
    contents.events.push_back(Event(""));
    contents.todos.push_back(std::move(todo));
    contents.todos.push_back(Todo(""));
    // The second object of each class is tagged with two bytes: its size is tag plus record.
    EXPECT_NO_THROW(ReadEventFileBytes(WriteEventFileBytes(contents)));
    EXPECT_GE(RecordBody(*contents.events[0]).size() + 2 - 33, 152u)
        << "the oldest schema lacks 33 bytes of the current one";
    EXPECT_GE(RecordBody(*contents.todos[0]).size() + 2 - 5, 52u)
        << "the oldest schema lacks the GUID length and StorageType";
}

} // namespace
} // namespace dv
