// A save killed at any moment leaves the old or the new file, never a broken one, and leaves at
// most the temporary files it was writing, which the next save removes.

#ifndef _WIN32

#include "core/Guid.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentTestSupport.h"
#include "document/EventFile.h"
#include "document/SyncTestSupport.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <set>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace dv {
namespace {

// A document large enough that writing it takes a while, with a change list so that the side
// file is written (and killed) too.
DocumentContents LargeDocument(uint32_t seed) {
    test::Random rng(seed);
    DocumentContents contents;
    for (int i = 0; i < 1000; ++i) {
        contents.events.push_back(test::RandomEvent(rng, false, i % 4 == 0));
    }
    for (int i = 0; i < 200; ++i) {
        contents.todos.push_back(test::RandomTodo(rng, false));
    }
    for (int i = 0; i < 50; ++i) {
        contents.changeList.push_back(NewGuidString());
    }
    return contents;
}

TEST(AtomicSaveTest, KilledSavesLeaveTheOldOrTheNewFile) {
    test::TemporaryFolder folder;
    const auto path = folder / "events.dat";
    const DocumentContents first = LargeDocument(1);
    const DocumentContents second = LargeDocument(2);
    const std::vector<uint8_t> firstBytes = WriteEventFileBytes(first);
    const std::vector<uint8_t> secondBytes = WriteEventFileBytes(second);
    // Kills land anywhere within about two saves, however fast this machine saves.
    const auto started = std::chrono::steady_clock::now();
    WriteEventFile(folder / "timing.dat", first);
    WriteEventFile(folder / "timing.dat", second);
    const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - started) /
                          2;
    std::filesystem::remove(folder / "timing.dat");
    std::filesystem::remove(folder / "timing.sync");
    WriteEventFile(path, first);

    test::Random rng(2024);
    bool holdsFirst = true; // which document the file holds now
    int kept = 0;           // kills after which the file held what it held before
    int replaced = 0;       // kills after which it held the other document
    int killsWithLeftover = 0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    // On a loaded machine the child may get little time before the kill; the window then
    // widens until kills land after whole saves too, and the loop runs on until every kind of
    // kill was seen (or the time is up).
    int64_t window = 2 * saveTime.count();
    const auto allSeen = [&] { return kept > 0 && replaced > 0 && killsWithLeftover > 0; };
    for (int kill = 0; (kill < 200 || !allSeen()) && std::chrono::steady_clock::now() < giveUp;
         ++kill) {
        if (kill % 20 == 19 && replaced == 0) {
            window = std::min<int64_t>(window * 2, 900000); // usleep takes under a second
        }
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            // Saves the two documents in turn, the other one first, until it is killed; a failed
            // save is exit code 3.
            for (bool saveFirst = !holdsFirst;; saveFirst = !saveFirst) {
                try {
                    WriteEventFile(path, saveFirst ? first : second);
                } catch (...) {
                    _exit(3);
                }
            }
        }
        usleep(static_cast<useconds_t>(rng.Between(0, window)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself, status " << status;

        const std::vector<uint8_t> bytes = test::ReadFileBytes(path);
        ASSERT_TRUE(bytes == firstBytes || bytes == secondBytes)
            << "kill " << kill << " left an event file of " << bytes.size() << " bytes";
        const bool nowFirst = bytes == firstBytes;
        (nowFirst == holdsFirst ? kept : replaced)++;
        holdsFirst = nowFirst;
        // The side file may be a step ahead of the event file; the read recovers from that.
        ASSERT_NO_THROW(ReadEventFile(path)) << "kill " << kill;

        const size_t leftovers = folder.FileNames().size() - 2;
        // At most the killed save's own two: the event file's and the side file's.
        ASSERT_LE(leftovers, 2u) << "temporary files pile up after kill " << kill;
        killsWithLeftover += static_cast<int>(leftovers);
    }
    // Some kills came before a save was complete and some after, and some interrupted a write;
    // otherwise the test proved nothing.
    EXPECT_GT(kept, 0);
    EXPECT_GT(replaced, 0);
    EXPECT_GT(killsWithLeftover, 0);

    // The next save removes what the last killed save left.
    WriteEventFile(path, first);
    EXPECT_EQ(folder.FileNames(), (std::vector<std::string>{"events.dat", "events.sync"}));
    test::ExpectSameContents(ReadEventFile(path), first);
}

std::set<std::string> Guids(const DocumentContents& contents) {
    std::set<std::string> guids;
    for (const auto& entry : contents.events) {
        guids.insert(entry->GetGUID());
    }
    return guids;
}

// A save killed between its two files loses no shared entry: at either point, the next cycle
// removes nothing that this user or another one holds, and what the event file held is shared.
// The change list goes first; were it written second, a kill in between would leave a new shared
// entry in the event file that no list names, and the next cycle would delete it.
TEST(AtomicSaveTest, ASaveKilledBetweenItsTwoFilesLosesNoSharedEntry) {
    for (const SaveStage stage : {SaveStage::sideFileWritten, SaveStage::eventFileWritten}) {
        SCOPED_TRACE(stage == SaveStage::sideFileWritten ? "killed after the side file"
                                                         : "killed after the event file");
        test::TemporaryFolder folder;
        const auto mine = folder / "mine.dat";
        const auto shared = folder / "shared.dat";
        CDayvaultDoc::SyncMergeOptions options;
        options.place = "file:" + shared.generic_string();
        DocumentContents start;
        start.events.push_back(test::SharedEvent("A"));
        start.events.push_back(test::SharedEvent("B"));
        WriteEventFile(shared, start);
        CDayvaultDoc doc;
        ASSERT_TRUE(doc.SaveAs(mine));
        ASSERT_EQ(doc.SynchronizeWith(shared, 1, 3, options),
                  CDayvaultDoc::SyncMergeResult::merged);
        ASSERT_TRUE(doc.SaveCommand());
        // Another user shares G; this user pulls it, changes it and adds Y, then saves.
        DocumentContents withG = ReadEventFile(shared, EventFileParts::entriesOnly);
        withG.events.push_back(test::SharedEvent("G"));
        const std::set<std::string> everybodys = Guids(withG);
        WriteEventFile(shared, withG);
        ASSERT_EQ(doc.SynchronizeWith(shared, 1, 3, options),
                  CDayvaultDoc::SyncMergeResult::merged);
        CDateEntry* g = doc.GetDateEntry(2);
        DateData data = g->GetData();
        data.Description = "G edited";
        doc.ChangeDateEntry(g, data, kEditInteractive);
        doc.AddDateEntry(test::SharedEvent("Y"), kEditInteractive);

        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            SetSaveFaultHook([stage](SaveStage reached) {
                if (reached == stage) {
                    ::kill(::getpid(), SIGKILL);
                }
            });
            doc.SaveCommand();
            _exit(3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the save was not killed, status " << status;

        const std::set<std::string> onDisk = Guids(ReadEventFile(mine));
        CDayvaultDoc reopened;
        ASSERT_TRUE(reopened.Open(mine));
        ASSERT_EQ(reopened.SynchronizeWith(shared, 1, 3, options),
                  CDayvaultDoc::SyncMergeResult::mergedUpload);
        const DocumentContents after = ReadEventFile(shared, EventFileParts::entriesOnly);
        for (const std::string& guid : everybodys) {
            EXPECT_TRUE(Guids(after).contains(guid)) << guid << " left the shared file";
            EXPECT_NE(reopened.FindDateEntry(guid), nullptr) << guid << " left the document";
        }
        for (const std::string& guid : onDisk) {
            EXPECT_TRUE(Guids(after).contains(guid)) << guid << " of the event file not shared";
        }
        if (stage == SaveStage::eventFileWritten) {
            EXPECT_EQ(after.events.size(), 4u);
            EXPECT_EQ(reopened.GetDateEntry(2)->GetData().Description, "G edited");
        }
    }
}

} // namespace
} // namespace dv

#endif // _WIN32
