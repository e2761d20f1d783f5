#include "core/CFileException.h"
#include "settings/CIniStore.h"
#include "support/Files.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TemporaryFolder;
using test::WriteFile;

TEST(IniStoreTest, ReadsWritesAndKeepsWhatItDoesNotKnow) {
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    {
        CIniStore store(path);
        EXPECT_EQ(store.ReadRawString("Settings", "WeekStart"), std::nullopt);
        EXPECT_EQ(store.ReadRawInt("Settings", "WeekStart", 5), 5);
        store.Flush();
    }
    EXPECT_FALSE(fs::exists(path)) << "reading creates no file";

    WriteFile(path, "; by hand\n[Settings]\nUnknownKey=kept\nempty=\nquoted=\"-12\"\n\n[O]\na=b\n");
    {
        CIniStore store(path);
        EXPECT_EQ(store.ReadRawInt("Settings", "empty", 9), 9) << "an empty value is missing";
        EXPECT_EQ(store.ReadRawInt("Settings", "quoted", 9), -12);
        store.WriteRawInt("Settings", "WeekStart", 0);
        store.WriteRawString("Settings", "UnknownKey", "kept");
        EXPECT_TRUE(store.IsModified());
        store.Flush();
        EXPECT_FALSE(store.IsModified());
        store.WriteRawString("S", "k", "v"); // written by the destructor
    }
    EXPECT_EQ(ReadFile(path), "; by hand\n[Settings]\nUnknownKey=kept\nempty=\nquoted=\"-12\"\n"
                              "WeekStart=0\n\n[O]\na=b\n\n[S]\nk=v\n");
}

TEST(IniStoreTest, UnreadableFilesAreReportedWithTheirPath) {
    TemporaryFolder folder;
    const fs::path directory = folder.Path() / "Dayvault.ini";
    fs::create_directory(directory);
    try {
        CIniStore store(directory);
        FAIL() << "a folder is not a settings file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.GetPath(), directory);
    }

    const fs::path huge = folder.Path() / "huge.ini";
    WriteFile(huge, "[S]\n");
    fs::resize_file(huge, CIniStore::kMaxFileSize + 1); // sparse, so cheap
    try {
        CIniStore store(huge);
        FAIL() << "a file beyond the size limit is refused";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.GetPath(), huge);
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace dv
