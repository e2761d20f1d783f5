// The settings file: its document of sections and keys, and the store that reads and writes it.

#include "core/CFileException.h"
#include "settings/CIniDocument.h"
#include "settings/CIniStore.h"
#include "support/Files.h"

#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <tuple>

#include <sys/stat.h>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::TemporaryFolder;
using test::WriteFile;

TEST(IniDocumentTest, ReadsSectionsWithoutBracketAndKeysBeforeAnySection) {
    const CIniDocument document =
        CIniDocument::FromBytes("top=before any section\r\n=no key\r\n[Open bracket\r\nk=v\r\n");
    EXPECT_EQ(document.GetValue("", "top"), "before any section");
    EXPECT_EQ(document.GetKeyNames(""), std::vector<std::string>{"top"}) << "no empty key";
    EXPECT_EQ(document.GetValue("Open bracket", "k"), "v");
}

TEST(IniDocumentTest, EditsKeepEveryOtherLine) {
    CIniDocument document = CIniDocument::FromBytes("; header\n"
                                                    "garbage line\n"
                                                    "[A]\n"
                                                    "  x = 1 ; not a comment\n"
                                                    "; about B\n"
                                                    "[B]\n"
                                                    "[a]\n"
                                                    "z = 'v'\n");
    EXPECT_TRUE(document.SetValue("a", "X", "0"));
    EXPECT_TRUE(document.SetValue("A", "y", "2"));
    EXPECT_TRUE(document.SetValue("B", "first", "b"));
    EXPECT_TRUE(document.SetValue("C", "new", "c"));
    EXPECT_FALSE(document.SetValue("A", "Z", "v")) << "the same value changes nothing";
    EXPECT_EQ(document.ToBytes(), "; header\n"
                                  "garbage line\n"
                                  "[A]\n"
                                  "x=0\n"
                                  "y=2\n"
                                  "; about B\n"
                                  "[B]\n"
                                  "first=b\n"
                                  "[a]\n"
                                  "z = 'v'\n"
                                  "\n"
                                  "[C]\n"
                                  "new=c\n");
    EXPECT_TRUE(document.SetValue("A", "Z", "'v'")) << "in the second occurrence of the section";
    EXPECT_EQ(document.GetValue("a", "z"), "'v'");
}

TEST(IniDocumentTest, ValuesThatReadingWouldChangeAreWrittenInQuotes) {
    const std::tuple<const char*, std::string, std::string, std::string> rows[] = {
        {"plain", "abc", "k=abc", "abc"},
        {"empty", "", "k=", ""},
        {"leading blank", " a", "k=\" a\"", " a"},
        {"trailing tab", "a\t", "k=\"a\t\"", "a\t"},
        {"enclosed in double quotes", "\"$CATEGORY$\"", "k=\"\"$CATEGORY$\"\"", "\"$CATEGORY$\""},
        {"enclosed in single quotes", "'x'", "k=\"'x'\"", "'x'"},
        {"quote at one end only", "\"x", "k=\"x", "\"x"},
        {"lone quote", "\"", "k=\"", "\""},
        {"equals and semicolon", "=;[x]", "k==;[x]", "=;[x]"},
        {"line breaks", "a\r\nb", "k=a{0x0D}{0x0A}b", "a{0x0D}{0x0A}b"},
    };
    for (const auto& [name, value, line, readBack] : rows) {
        CIniDocument document;
        document.SetValue("S", "k", value);
        EXPECT_EQ(document.ToBytes(), "[S]\r\n" + line + "\r\n") << name;
        const CIniDocument reread = CIniDocument::FromBytes(document.ToBytes());
        EXPECT_EQ(reread.GetValue("S", "k"), readBack) << name;
    }
}

TEST(IniDocumentTest, NamesThatCannotReadBackAreRefused) {
    CIniDocument document;
    for (const char* section : {"", " S", "S ", "a]b", "a\nb"}) {
        EXPECT_THROW(document.SetValue(section, "k", "v"), std::invalid_argument) << section;
    }
    for (const char* key : {"", " k", "k\t", "a=b", ";k", "[k", "a\rb"}) {
        EXPECT_THROW(document.SetValue("S", key, "v"), std::invalid_argument) << key;
    }
    EXPECT_EQ(document.GetLineCount(), 0U);
}

TEST(IniDocumentTest, EncodingOfTheFile) {
    static constexpr char kUtf16File[] =
        "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0M\0\xE4\0r\0z\0 \0\xAC\x20";
    CIniDocument document;
    document.SetValue("S", "k", "M\xC3\xA4rz \xE2\x82\xAC"); // "März €"
    EXPECT_EQ(document.ToBytes(), "[S]\r\nk=M\xE4rz \x80\r\n") << "Windows-1252 when it fits";
    document.SetValue("S", "j", "\xE6\x97\xA5"); // a character outside Windows-1252
    EXPECT_EQ(document.ToBytes(),
              "\xEF\xBB\xBF[S]\r\nk=M\xC3\xA4rz \xE2\x82\xAC\r\nj=\xE6\x97\xA5\r\n")
        << "UTF-8 with a byte-order mark otherwise";

    const std::tuple<const char*, std::string> rows[] = {
        {"Windows-1252", "[S]\r\nk=M\xE4rz \x80\r\n"},
        {"UTF-8 with mark", "\xEF\xBB\xBF[S]\r\nk=M\xC3\xA4rz \xE2\x82\xAC\r\n"},
        {"UTF-8 without mark", "[S]\nk=M\xC3\xA4rz \xE2\x82\xAC\n"},
        {"UTF-16LE with mark", std::string(kUtf16File, sizeof kUtf16File - 1)},
    };
    for (const auto& [name, bytes] : rows) {
        EXPECT_EQ(CIniDocument::FromBytes(bytes).GetValue("S", "k"), "M\xC3\xA4rz \xE2\x82\xAC")
            << name;
    }
    EXPECT_EQ(CIniDocument::FromBytes("\xEF\xBB\xBF[S]\nk=\xFF\n").GetValue("S", "k"),
              "\xEF\xBF\xBD")
        << "ill-formed UTF-8 after a mark becomes U+FFFD";
}

TEST(IniDocumentTest, ListsSectionsAndKeysOnce) {
    const CIniDocument document = CIniDocument::FromBytes("[A]\nx=1\nX=2\n[b]\ny=3\n[a]\nz=4\n");
    EXPECT_EQ(document.GetSectionNames(), (std::vector<std::string>{"A", "b"}));
    EXPECT_EQ(document.GetKeyNames("a"), (std::vector<std::string>{"x", "z"}));
    EXPECT_EQ(document.GetKeyNames("missing"), std::vector<std::string>{});
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

// The settings hold the FTP password in a form anyone can undo: the file is for its user alone,
// whatever the umask and whatever mode an older file had.
TEST(IniStoreTest, TheSettingsFileIsPrivate) {
    TemporaryFolder folder;
    const mode_t umask = ::umask(0);
    for (const bool existed : {false, true}) {
        const fs::path path = folder.Path() / (existed ? "old.ini" : "new.ini");
        if (existed) {
            WriteFile(path, "[Settings]\r\n");
            fs::permissions(path, fs::perms::all);
        }
        {
            CIniStore store(path);
            store.WriteRawString("Settings", "FtpPassword", "scrambled");
            store.Flush();
        }
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write)
            << path;
    }
    ::umask(umask);
}

} // namespace
} // namespace dv
