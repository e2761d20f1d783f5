#include "core/ByteStream.h"

#include "core/CArchive.h"
#include "core/CFileException.h"
#include "support/Files.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

namespace dv {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class ByteStreamTest : public ::testing::Test {
protected:
    std::vector<std::string> FolderEntries() const { return m_temporary.FileNames(); }

    test::TemporaryFolder m_temporary{"bytestream"};
    const fs::path m_folder = m_temporary.Path();
    const fs::path m_target = m_folder / "events.dat";
};

Bytes Pattern(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(random());
    }
    return bytes;
}

TEST_F(ByteStreamTest, MemorySourceReadsInChunksOrHandsOverItsMemory) {
    const Bytes bytes = {1, 2, 3, 4, 5};
    CMemorySource source(bytes);
    EXPECT_EQ(source.GetRemaining(), 5u);
    uint8_t chunk[2];
    EXPECT_EQ(source.Read(chunk), 2u);
    EXPECT_EQ(chunk[1], 2);
    EXPECT_EQ(source.GetRemaining(), 3u);
    const auto rest = source.TakeAll();
    ASSERT_TRUE(rest.has_value());
    EXPECT_EQ(rest->data(), bytes.data() + 2) << "no copy";
    EXPECT_EQ(rest->size(), 3u);
    EXPECT_EQ(source.GetRemaining(), 0u);
    EXPECT_EQ(source.Read(chunk), 0u);
}

TEST_F(ByteStreamTest, CommitReplacesTheOldFileOrTheLinkTargetAndKeepsThePermissions) {
    test::WriteFile(m_target, "old content");
    fs::permissions(m_target,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                    fs::perm_options::replace);
    {
        CAtomicFileSink sink(m_target);
        const Bytes content = {'n', 'e', 'w'};
        sink.Write(content);
        EXPECT_EQ(test::ReadFile(m_target), "old content") << "untouched until Commit";
        sink.Commit();
        EXPECT_THROW(sink.Write(content), std::logic_error);
        EXPECT_THROW(sink.Commit(), std::logic_error);
    }
    EXPECT_EQ(test::ReadFile(m_target), "new");
    EXPECT_EQ(fs::status(m_target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"events.dat"});

    // Through a symbolic link: the link stays and its target gets the new content.
    const fs::path link = m_folder / "link.dat";
    fs::create_symlink(m_target, link);
    {
        CAtomicFileSink sink(link);
        const Bytes content = {'l', 'i', 'n', 'k'};
        sink.Write(content);
        sink.Commit();
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::ReadFile(m_target), "link");
}

TEST_F(ByteStreamTest, AbandonedSinkLeavesTheOldFileAndNoTemporary) {
    test::WriteFile(m_target, "old content");
    {
        CAtomicFileSink sink(m_target);
        const Bytes content = Pattern(100000, 2);
        sink.Write(content);
        sink.Flush();
        EXPECT_TRUE(fs::exists(sink.GetTemporaryPath()));
    }
    EXPECT_EQ(test::ReadFile(m_target), "old content");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"events.dat"});

    // An exception in the middle of a save: the archive drops its buffer, the sink its file.
    try {
        CAtomicFileSink sink(m_target);
        CArchive ar(sink);
        ar.WriteString("half a save");
        throw std::runtime_error("record failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(test::ReadFile(m_target), "old content");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"events.dat"});
}

// In a folder others may write to, a link of another user's in the target's place is a trap: the
// sink refuses it and writes nowhere. Its temporary file is created exclusively, never through
// a link.
TEST_F(ByteStreamTest, AnotherUsersLinkIsNeverFollowed) {
    const fs::path victim = m_folder / "victim.txt";
    test::WriteFile(victim, "mine");
    const fs::path link = m_folder / "dvt0000.html";
    fs::create_symlink(victim, link);
    if (::lchown(link.c_str(), 65534, 65534) != 0) {
        GTEST_SKIP() << "only the administrator can give a link to another user";
    }
    EXPECT_THROW({ CAtomicFileSink sink(link); }, CFileException);
    // Where no link belongs, even one's own is refused.
    const fs::path own = m_folder / "own.html";
    fs::create_symlink(victim, own);
    EXPECT_THROW({ CAtomicFileSink sink(own, std::nullopt, CAtomicFileSink::Links::refuse); },
                 CFileException);
    EXPECT_EQ(test::ReadFile(victim), "mine");
    EXPECT_EQ(FolderEntries(),
              (std::vector<std::string>{"dvt0000.html", "own.html", "victim.txt"}));
}

} // namespace
} // namespace dv
