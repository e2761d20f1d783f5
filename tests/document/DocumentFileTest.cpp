// The document's save rules and its file operations: save command and question, Save As, new,
// open (also failing), close, restore from a text backup, merge and the change-list side file.

#include "core/CFileException.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentFixtures.h"
#include "document/DocumentTestSupport.h"
#include "document/EventFile.h"
#include "document/TextBackup.h"

#include <exception>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::MakeEvent;
using test::MakeTodo;
using test::RecordingObserver;
using test::TemporaryFolder;
using test::WithData;

constexpr const char* kSaveQuestion = "Do you want to save current event file?";

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

    /// Runs the queued save commands.
    void Pump() {
        while (pendingSaves > 0) {
            --pendingSaves;
            doc.SaveCommand();
        }
    }
};

/// Descriptions of the events in the event file at `path`.
std::vector<std::string> EventsInFile(const std::filesystem::path& path) {
    std::vector<std::string> descriptions;
    for (const auto& entry : ReadEventFile(path).events) {
        descriptions.push_back(entry->GetData().Description);
    }
    return descriptions;
}

TEST(DocumentSaveTest, UntitledDocumentAsksOnceAndAgainAfterTheNextChange) {
    Harness h;
    h.doc.AddDateEntry(MakeEvent("Work", "first"), kEditInteractive);
    h.prompt.QueueAnswer(false);
    h.Pump();
    ASSERT_EQ(h.prompt.GetQuestionCount(), 1U);
    EXPECT_EQ(h.prompt.GetShown()[0].text, kSaveQuestion);
    EXPECT_EQ(h.prompt.GetShown()[0].icon, PromptIcon::Question);
    EXPECT_EQ(h.saveAsRuns, 0);
    EXPECT_EQ(h.doc.GetDateEntryCount(), 1) << "No keeps the entries in memory";
    EXPECT_TRUE(h.doc.IsModified());

    h.doc.AddDateEntry(MakeEvent("Work", "second"), kEditInteractive);
    h.prompt.QueueAnswer(false);
    h.Pump();
    EXPECT_EQ(h.prompt.GetQuestionCount(), 2U);
    EXPECT_EQ(h.doc.GetDateEntryCount(), 2);
}

TEST(DocumentSaveTest, ASaveCommandArrivingWhileTheQuestionIsOpenIsIgnored) {
    Harness h;
    h.doc.AddDateEntry(MakeEvent("Work"), kEditInteractive);
    bool innerResult = true;
    // Without a queued answer a second question would fail the test.
    h.prompt.QueueAnswer(false, [&] { innerResult = h.doc.SaveCommand(); });
    EXPECT_FALSE(h.doc.SaveCommand());
    EXPECT_FALSE(innerResult);
    EXPECT_EQ(h.prompt.GetQuestionCount(), 1U);
    // Once the question is closed, the next save command asks again.
    h.prompt.QueueAnswer(false);
    h.doc.SaveCommand();
    EXPECT_EQ(h.prompt.GetQuestionCount(), 2U);
}

TEST(DocumentSaveTest, YesRunsSaveAsAndLaterSavesWriteWithoutAQuestion) {
    TemporaryFolder folder;
    Harness h;
    h.saveAsPath = folder / "events.dat";
    h.doc.AddDateEntry(MakeEvent("Work", "first"), kEditInteractive);
    h.prompt.QueueAnswer(true);
    h.Pump();
    EXPECT_EQ(h.saveAsRuns, 1);
    EXPECT_EQ(h.doc.GetPathName(), folder / "events.dat");
    EXPECT_EQ(h.doc.GetTitle(), "events.dat");
    EXPECT_FALSE(h.doc.IsModified());
    EXPECT_EQ(EventsInFile(folder / "events.dat"), std::vector<std::string>{"first"});

    h.doc.AddDateEntry(MakeEvent("Work", "second"), kEditInteractive);
    h.Pump();
    EXPECT_EQ(h.prompt.GetQuestionCount(), 1U);
    EXPECT_EQ(EventsInFile(folder / "events.dat"), (std::vector<std::string>{"first", "second"}));

    // Several changes in a row cause several saves; each writes the whole file.
    h.doc.DeleteDateEntry(h.doc.GetDateEntry(0), kEditInteractive);
    h.doc.UndoDateEntry();
    EXPECT_EQ(h.pendingSaves, 2);
    h.Pump();
    EXPECT_EQ(EventsInFile(folder / "events.dat"), (std::vector<std::string>{"second", "first"}));
}

TEST(DocumentSaveTest, YesWithACancelledSaveAsKeepsTheDocumentUntitled) {
    Harness h; // no Save-As path: the user cancels the file dialog
    h.doc.AddTodoEntry(MakeTodo("G"), kEditInteractive);
    h.prompt.QueueAnswer(true);
    h.Pump();
    EXPECT_EQ(h.saveAsRuns, 1);
    EXPECT_TRUE(h.doc.GetPathName().empty());
    EXPECT_TRUE(h.doc.IsModified());
}

TEST(DocumentSaveTest, AnUntitledUnchangedDocumentIsNotQuestioned) {
    Harness h; // no answers queued: any question fails the test
    EXPECT_FALSE(h.doc.SaveCommand());
    h.doc.NewDocument();
    h.doc.EnsureDefaultTemplate();
    h.doc.Close();
    EXPECT_EQ(h.prompt.GetQuestionCount(), 0U);
}

TEST(DocumentSaveTest, AFailedSaveIsShownWithTheFileNameAndChangesNothing) {
    TemporaryFolder folder;
    Harness h;
    h.doc.AddDateEntry(MakeEvent("Work"), kEditInteractive);
    const std::filesystem::path unreachable = folder / "no such folder" / "events.dat";
    EXPECT_FALSE(h.doc.SaveAs(unreachable));
    ASSERT_EQ(h.prompt.GetShown().size(), 1U);
    EXPECT_FALSE(h.prompt.GetShown()[0].question);
    EXPECT_EQ(h.prompt.GetShown()[0].icon, PromptIcon::Stop);
    EXPECT_NE(h.prompt.GetShown()[0].text.find(unreachable.string()), std::string::npos)
        << h.prompt.GetShown()[0].text;
    EXPECT_TRUE(h.doc.GetPathName().empty());
    EXPECT_TRUE(h.doc.IsModified());

    // A document whose folder disappeared reports at its next save and keeps its path.
    ASSERT_TRUE(h.doc.SaveAs(folder / "sub.dat"));
    std::filesystem::create_directory(folder / "gone");
    ASSERT_TRUE(h.doc.SaveAs(folder / "gone" / "events.dat"));
    std::filesystem::remove_all(folder / "gone");
    EXPECT_FALSE(h.doc.SaveCommand());
    EXPECT_EQ(h.prompt.GetShown().size(), 2U);
    EXPECT_EQ(h.doc.GetPathName(), folder / "gone" / "events.dat");
}

/// A file with templates, events of two categories, an urgent and a plain to-do and a change list.
DocumentContents SampleContents() {
    DocumentContents contents;
    contents.templates.push_back(MakeEvent("Work"));
    contents.events.push_back(MakeEvent("Work", "one"));
    contents.events.push_back(MakeEvent("home", "two"));
    contents.events.push_back(MakeEvent("HOME", "three"));
    auto urgent = MakeTodo("Office", "urgent");
    urgent->SetCurrentTime(CDateTime(2007, 3, 9, 0, 0, 0));
    contents.todos.push_back(std::move(urgent));
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
        EXPECT_EQ(h.prompt.GetShown()[0].icon, PromptIcon::Stop);
        EXPECT_EQ(h.doc.GetLastSaveError(), h.prompt.GetShown()[0].text);
        EXPECT_NE(h.doc.GetLastSaveError().find(gone.string() + ": "), std::string::npos)
            << h.doc.GetLastSaveError();
        // With the folder back, the same operation saves and goes through.
        std::filesystem::create_directory(folder / "gone");
        EXPECT_TRUE(run());
        EXPECT_EQ(EventsInFile(gone), std::vector<std::string>{"unsaved"});
        std::filesystem::remove_all(folder / "gone");
    }
}

TEST(DocumentFileTest, NewAndCloseSaveTheOpenFileFirstThenEmpty) {
    TemporaryFolder folder;
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "close" : "new");
        Harness h;
        h.doc.AddDateEntry(MakeEvent("Work", "saved"), kEditInteractive);
        ASSERT_TRUE(h.doc.SaveAs(folder / "events.dat"));
        h.doc.AddDateEntry(MakeEvent("Work", "unsaved yet"), kEditInteractive);
        h.doc.AddTodoEntry(MakeTodo("G"), kEditInteractive);
        FilterState filter;
        filter.textSearchOn = true;
        h.doc.SetEventFilter(filter);
        RecordingObserver views(h.doc);

        if (close) {
            h.doc.Close();
        } else {
            h.doc.NewDocument();
        }
        EXPECT_EQ(EventsInFile(folder / "events.dat"),
                  (std::vector<std::string>{"saved", "unsaved yet"}));
        EXPECT_EQ(h.doc.GetDateEntryCount(), 0);
        EXPECT_EQ(h.doc.GetTodoCount(), 0);
        EXPECT_TRUE(h.doc.GetPathName().empty());
        EXPECT_FALSE(h.doc.IsModified());
        EXPECT_FALSE(h.doc.CanUndoDateEntry());
        EXPECT_TRUE(h.doc.GetCategories().empty());
        EXPECT_EQ(views.Hints(), (std::vector<int>{8, 13, 9, 14}));
        if (!close) {
            EXPECT_FALSE(h.doc.GetEventFilter().textSearchOn) << "a new document starts afresh";
            EXPECT_EQ(views.InitialUpdates(), 1);
        }
    }
}

TEST(DocumentFileTest, OpenReadsTheFileAndItsSideFileRebuildsTheSetsAndResetsTheFilters) {
    TemporaryFolder folder;
    const DocumentContents sample = SampleContents();
    WriteEventFile(folder / "sample.dat", sample);
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
    EXPECT_EQ(h.doc.GetTitle(), "sample.dat");
    EXPECT_FALSE(h.doc.IsModified());
    EXPECT_EQ(h.doc.GetTemplateCount(), 1);
    EXPECT_EQ(h.doc.GetDateEntryCount(), 3);
    EXPECT_EQ(h.doc.GetTodoCount(), 2);
    EXPECT_EQ(h.doc.GetChangeList(), sample.changeList);
    EXPECT_EQ(std::vector<std::string>(h.doc.GetCategories().begin(), h.doc.GetCategories().end()),
              (std::vector<std::string>{"home", "Work"}));
    EXPECT_EQ(h.doc.GetEventFilter(), FilterState::PassAll(h.doc.GetCategories()));
    EXPECT_EQ(h.doc.GetTodoFilter(), FilterState::PassAll(h.doc.GetGroups()));
    EXPECT_TRUE(h.doc.HasDueTodo());
    EXPECT_FALSE(h.doc.CanUndoDateEntry());
    EXPECT_EQ(views.InitialUpdates(), 1);
    EXPECT_EQ(views.Hints(), (std::vector<int>{8, 13, 9, 9, 14}));
    EXPECT_EQ(h.prompt.GetQuestionCount(), 0U);
}

TEST(DocumentFileTest, AFailedOpenLeavesAnEmptyUntitledDocumentAndTheOldFileIntact) {
    TemporaryFolder folder;
    test::WriteFileBytes(folder / "broken.dat", {100, 0, 0, 0, 1});
    Harness h;
    h.doc.AddDateEntry(MakeEvent("Work", "kept"), kEditInteractive);
    ASSERT_TRUE(h.doc.SaveAs(folder / "good.dat"));

    for (const char* name : {"broken.dat", "missing.dat"}) {
        SCOPED_TRACE(name);
        try {
            h.doc.Open(folder / name);
            ADD_FAILURE() << "opened";
        } catch (const std::exception& error) {
            EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
        }
        EXPECT_EQ(h.doc.GetDateEntryCount(), 0);
        EXPECT_TRUE(h.doc.GetPathName().empty());
        EXPECT_EQ(h.doc.GetTitle(), "Untitled");
        EXPECT_FALSE(h.doc.IsModified());
    }
    EXPECT_EQ(EventsInFile(folder / "good.dat"), std::vector<std::string>{"kept"});
    EXPECT_EQ(h.prompt.GetQuestionCount(), 0U) << "an empty failed document has nothing to save";
}

TEST(DocumentFileTest, ClearingTheChangeListDeletesTheSideFile) {
    TemporaryFolder folder;
    Harness h;
    ASSERT_TRUE(h.doc.SaveAs(folder / "events.dat"));
    h.doc.AddDateEntry(MakeEvent("Work", "shared", 1), kEditInteractive);
    h.Pump();
    const std::filesystem::path side = SyncSidePath(folder / "events.dat");
    ASSERT_TRUE(std::filesystem::exists(side));

    h.doc.ClearChangeList();
    EXPECT_TRUE(h.doc.GetChangeList().empty());
    EXPECT_FALSE(std::filesystem::exists(side));
    h.doc.ClearChangeList(); // no side file: nothing to do, no error
    EXPECT_TRUE(std::filesystem::exists(folder / "events.dat"));
}

TEST(DocumentFileTest, RestoreReplacesTheDocumentByTheBackup) {
    TemporaryFolder folder;
    DocumentContents sample = SampleContents();
    WriteTextBackup(folder / "backup.txt", sample);
    Harness h;
    h.doc.AddDateEntry(MakeEvent("Old", "before"), kEditInteractive);
    ASSERT_TRUE(h.doc.SaveAs(folder / "events.dat"));
    h.doc.AddDateEntry(MakeEvent("Old", "unsaved"), kEditInteractive);
    RecordingObserver views(h.doc);

    h.doc.Restore(folder / "backup.txt");
    EXPECT_EQ(EventsInFile(folder / "events.dat"), (std::vector<std::string>{"before", "unsaved"}))
        << "the current file is saved first";
    EXPECT_TRUE(h.doc.GetPathName().empty());
    EXPECT_EQ(h.doc.GetTitle(), "Untitled");
    EXPECT_TRUE(h.doc.IsModified());
    EXPECT_EQ(h.doc.GetTemplateCount(), 1);
    ASSERT_EQ(h.doc.GetDateEntryCount(), 3);
    EXPECT_EQ(h.doc.GetDateEntry(0)->GetGUID(), sample.events[0]->GetGUID());
    EXPECT_EQ(h.doc.GetTodoCount(), 2);
    EXPECT_TRUE(h.doc.GetChangeList().empty());
    EXPECT_FALSE(h.doc.CanUndoDateEntry());
    EXPECT_EQ(h.doc.GetCategories().size(), 2U);
    EXPECT_EQ(h.doc.GetTodoFilter(), FilterState::PassAll(h.doc.GetGroups()));
    EXPECT_EQ(views.InitialUpdates(), 1);
    EXPECT_EQ(views.Count(UpdateHint::Merged), 0) << "views start afresh instead";

    // The restored document is untitled: the next save command asks.
    h.prompt.QueueAnswer(false);
    h.doc.SaveCommand();
    EXPECT_EQ(h.prompt.GetQuestionCount(), 1U);
}

TEST(DocumentFileTest, ARestoreThatCannotReadTheBackupChangesNothing) {
    TemporaryFolder folder;
    Harness h;
    h.doc.AddDateEntry(MakeEvent("Work", "stays"), kEditInteractive);
    ASSERT_TRUE(h.doc.SaveAs(folder / "events.dat"));
    RecordingObserver views(h.doc);
    EXPECT_THROW(h.doc.Restore(folder / "no backup.txt"), CFileException);
    EXPECT_EQ(h.doc.GetDateEntryCount(), 1);
    EXPECT_EQ(h.doc.GetPathName(), folder / "events.dat");
    EXPECT_TRUE(views.All().empty());
}

TEST(DocumentFileTest, MergeAddsWhatIsNewRebuildsTheSetsAndSendsHintZero) {
    TemporaryFolder folder;
    Harness h;
    h.doc.AddDateEntry(MakeEvent("Work", "mine"), kEditInteractive);
    const std::string mineGuid = h.doc.GetDateEntry(0)->GetGUID();
    h.pendingSaves = 0;

    DocumentContents other;
    auto duplicate = MakeEvent("Work", "same identity");
    duplicate->SetGUID(mineGuid);
    other.events.push_back(std::move(duplicate));
    other.events.push_back(MakeEvent("Travel", "theirs", 1));
    auto urgent = MakeTodo("Office", "urgent");
    urgent->SetCurrentTime(CDateTime(2007, 3, 9, 0, 0, 0));
    other.todos.push_back(std::move(urgent));
    const std::string sharedGuid = other.events[1]->GetGUID();
    WriteEventFile(folder / "other.dat", other);
    RecordingObserver views(h.doc);

    EXPECT_EQ(h.doc.MergeFile(folder / "other.dat"), 2);
    ASSERT_EQ(h.doc.GetDateEntryCount(), 2);
    EXPECT_EQ(h.doc.GetDateEntry(0)->GetData().Description, "mine");
    EXPECT_EQ(h.doc.GetDateEntry(1)->GetData().Description, "theirs");
    EXPECT_EQ(h.doc.GetChangeList(), std::vector<std::string>{sharedGuid});
    EXPECT_TRUE(h.doc.HasDueTodo());
    EXPECT_EQ(views.Hints(), (std::vector<int>{9, 14, 0}));
    EXPECT_FALSE(h.doc.CanUndoTodoEntry()) << "merging records no undo steps";
    EXPECT_EQ(h.pendingSaves, 1);

    // Merging the same file again adds nothing.
    views.Clear();
    EXPECT_EQ(h.doc.MergeFile(folder / "other.dat"), 0);
    EXPECT_EQ(h.doc.GetDateEntryCount(), 2);
    EXPECT_EQ(views.Hints(), std::vector<int>{0});

    EXPECT_ANY_THROW(h.doc.MergeFile(folder / "missing.dat"));
    EXPECT_EQ(h.doc.GetDateEntryCount(), 2);
}

} // namespace
} // namespace dv
