// A save killed at any moment leaves the old or the new file, never a broken one, and leaves at
// most the temporary files it was writing, which the next save removes; one that dies between
// its two files leaves a change list that loses nothing.

#ifndef _WIN32

#include "core/Guid.h"
#include "document/DocumentTestSupport.h"
#include "document/EventFile.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
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
    const auto sideOf = [](const DocumentContents& c, const std::vector<uint8_t>& bytes) {
        return WriteSyncSideBytes({c.changeList, EventFileFingerprint(bytes), "", ""});
    };
    const std::vector<uint8_t> firstSide = sideOf(first, firstBytes);
    const std::vector<uint8_t> secondSide = sideOf(second, secondBytes);
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
        const std::vector<uint8_t> side = test::ReadFileBytes(folder / "events.sync");
        ASSERT_TRUE(side == firstSide || side == secondSide) << "kill " << kill;

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

// The side file goes first and names the event file it belongs to: a save that dies between the
// two files leaves the older event file beside it, and its reader lists every shared entry that
// file holds and no GUID it lacks, so the next cycle removes nothing. Written second, the side
// file would be missing and a changed shared entry would be named by no list.
TEST(AtomicSaveTest, ASaveDyingBetweenItsTwoFilesLeavesATrustworthyChangeList) {
    test::TemporaryFolder folder;
    const auto path = folder / "events.dat";
    DocumentContents old;
    old.events.push_back(test::MakeEvent("A", "local"));
    old.events.push_back(test::MakeEvent("A", "shared", 1));
    old.todos.push_back(test::MakeTodo("G", "local"));
    WriteEventFile(path, old);
    DocumentContents next = test::CopyContents(old);
    next.events.push_back(test::MakeEvent("A", "new and shared", 1));
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

#endif // _WIN32
