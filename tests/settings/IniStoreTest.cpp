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

TEST(IniStoreTest, MissingFileReadsEmptyAndIsNotCreatedByReading) {
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    {
        CIniStore store(path);
        EXPECT_EQ(store.ReadRawString("Settings", "WeekStart"), std::nullopt);
        EXPECT_EQ(store.ReadRawInt("Settings", "WeekStart", 5), 5);
        store.Flush();
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST(IniStoreTest, FlushWritesTheFileAndKeepsWhatItDoesNotKnow) {
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    WriteFile(path, "; written by hand\n[Settings]\nUnknownKey=kept\n\n[Other]\na=b\n");
    {
        CIniStore store(path);
        store.WriteRawInt("Settings", "WeekStart", 0);
        store.WriteRawString("Settings", "UnknownKey", "kept");
        EXPECT_TRUE(store.IsModified());
        store.Flush();
        EXPECT_FALSE(store.IsModified());
    }
    EXPECT_EQ(ReadFile(path),
              "; written by hand\n[Settings]\nUnknownKey=kept\nWeekStart=0\n\n[Other]\na=b\n");
    const CIniStore reread(path);
    EXPECT_EQ(reread.ReadRawInt("settings", "weekstart", 1), 0);
}

TEST(IniStoreTest, IntegersReadLikeGetProfileInt) {
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "a.ini";
    WriteFile(path, "[S]\nempty=\nword=abc\nnumber= -17 \nsuffix=30s\nquoted=\"12\"\n");
    const CIniStore store(path);
    EXPECT_EQ(store.ReadRawInt("S", "missing", 9), 9);
    EXPECT_EQ(store.ReadRawInt("S", "empty", 9), 9) << "an empty value counts as missing";
    EXPECT_EQ(store.ReadRawInt("S", "word", 9), 0);
    EXPECT_EQ(store.ReadRawInt("S", "number", 9), -17);
    EXPECT_EQ(store.ReadRawInt("S", "suffix", 9), 30);
    EXPECT_EQ(store.ReadRawInt("S", "quoted", 9), 12);
}

TEST(IniStoreTest, DestructorWritesPendingChanges) {
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "a.ini";
    {
        CIniStore store(path);
        store.WriteRawString("S", "k", "v");
    }
    EXPECT_EQ(ReadFile(path), "[S]\r\nk=v\r\n");
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

TEST(IniStoreTest, FailedFlushKeepsTheChangesPendingAndTheOldFile) {
    TemporaryFolder folder;
    const fs::path subfolder = folder.Path() / "sub";
    fs::create_directory(subfolder);
    const fs::path path = subfolder / "a.ini";
    WriteFile(path, "[S]\nk=old\n");
    CIniStore store(path);
    store.WriteRawString("S", "k", "new");
    fs::remove_all(subfolder);
    EXPECT_THROW(store.Flush(), CFileException);
    EXPECT_TRUE(store.IsModified());
    fs::create_directory(subfolder);
    store.Flush();
    EXPECT_EQ(ReadFile(path), "[S]\nk=new\n");
}

TEST(IniStoreTest, TypedValuesKeepTheirTextForm) {
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "a.ini";
    {
        CIniStore store(path);
        store.WriteBool("S", "Bool", true);
        store.WriteColour("S", "Colour", Rgb(255, 240, 200));
        store.WriteText("S", "Text", "two\r\nlines\tand a tab");
        store.WriteText("S", "Space", " ");
        store.WriteDateTime("S", "When", CDateTime(2000, 1, 1, 8, 0, 0));
        store.WriteFlagList("S", "Flags", {true, false, true});
        store.WriteNameList("S", "Names", {"Date", "Time"});
        store.WriteNumberList("S", "Numbers", {45, -1});
        store.WriteFont("S", "Font", LogFont::DefaultBase());
        store.Flush();
    }
    EXPECT_EQ(ReadFile(path), "[S]\r\n"
                              "Bool=1\r\n"
                              "Colour=13168895\r\n"
                              "Text=two{0x0D}{0x0A}lines{0x09}and a tab\r\n"
                              "Space=\" \"\r\n"
                              "When=2000 01 01 08 00 00\r\n"
                              "Flags=101\r\n"
                              "Names=Date,Time\r\n"
                              "Numbers=45,-1\r\n"
                              "Font=-12,0,0,0,400,0,0,0,1,0,0,0,0,Arial\r\n");
    const CIniStore store(path);
    EXPECT_EQ(store.ReadText("S", "Text", ""), "two\r\nlines\tand a tab");
    EXPECT_EQ(store.ReadText("S", "Space", ""), " ");
    EXPECT_EQ(store.ReadDateTime("S", "When", CDateTime()), CDateTime(2000, 1, 1, 8, 0, 0));
}

} // namespace
} // namespace dv
