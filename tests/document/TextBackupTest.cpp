#include "document/TextBackup.h"

#include "core/Guid.h"
#include "document/CKeyFile.h"
#include "document/DocumentTestSupport.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace dv {
namespace {

const CDateTime kNow(2024, 5, 10, 12, 0, 0);

TEST(TextBackupTest, Escapes) {
    // The backslash first, so that an escaped line break is not read as a backslash and an "n".
    EXPECT_EQ(EscapeBackupText("a\\n\r\nb\t"), "a\\\\n\\r\\nb\\t");
    EXPECT_EQ(UnescapeBackupText("a\\\\n\\r\\nb\\t"), "a\\n\r\nb\t");
    EXPECT_EQ(UnescapeBackupText("a\\xb"), "ab") << "an unknown escape drops both characters";
    EXPECT_EQ(UnescapeBackupText("ab\\"), "ab") << "a lone backslash at the end is dropped";
    EXPECT_EQ(UnescapeBackupText("\\\\\\"), "\\");
}

TEST(TextBackupTest, ExactFileOfOneEventAndOneTodo) {
    DocumentContents contents;
    auto event = std::make_unique<CDateEntry>(CDateTime(2024, 1, 2, 3, 4, 0));
    DateData d = event->GetData();
    d.GUID = "{11111111-2222-4333-8444-555555555555}";
    d.DisplayColor = 0x00FF8040; // red 0x40, green 0x80, blue 0xFF
    event->AssignData(d);
    event->DropOccurrence(CDateTime(2024, 1, 4, 9, 30, 0));
    contents.events.push_back(std::move(event));

    auto todo = std::make_unique<CTodoEntry>(CDateTime(2024, 2, 1, 8, 15, 0));
    TodoData t = todo->GetData();
    t.GUID = "{AAAAAAAA-BBBB-4CCC-9DDD-EEEEEEEEEEEE}";
    t.Description = "Caf\xC3\xA9";
    todo->SetData(t);
    todo->SetDone(true);
    contents.todos.push_back(std::move(todo));

    const std::string expected =
        "[DateEntry 0]\r\n"
        "GUID={11111111-2222-4333-8444-555555555555}\r\nStorageType=0\r\nCategory=\r\n"
        "Description=\r\nNotes=\r\nDisplay=0\r\n"
        "DisplayColor=64,128,255\r\nFontColor=0,0,0\r\n"
        "StartDate=2024 01 02 03 04 00\r\nEndDate=2024 01 02 03 04 00\r\n"
        "ShowStartTime=1\r\nShowEnd=1\r\nRepeat=0\r\nRepeatRate=0\r\nRepeatUnit=0\r\n"
        "RepeatWeekdayCount=0\r\nRepeatWeekday=0\r\nRepeatEnd=0\r\nRepeatEndCount=1\r\n"
        "RepeatEndDate=2024 01 02 03 04 00\r\nCondWeekdays=127\r\nCondMonth=4095\r\n"
        "Forewarn=0\r\nForewarnSpan=0\r\nForewarnUnit=0\r\nForewarnSilent=0\r\n"
        "SnoozeSpan=5\r\nSnoozeUnit=1\r\nSnoozeType=0\r\nOverdueAction=0\r\n"
        "ExecuteSpan=1\r\nExecuteUnit=1\r\nAction=0\r\nSound=0\r\nSoundFile=\r\n"
        "SoundRepeatEndless=1\r\nSoundRepeatCount=3\r\nDocumentFile=\r\nAckOpen=0\r\n"
        "CmdLine=\r\nParameter=\r\nAckExecute=0\r\n"
        "DroppedOccurence 0=2024 01 04 09 30 00\r\n"
        "\r\n"
        "[TodoEntry 0]\r\n"
        "GUID={AAAAAAAA-BBBB-4CCC-9DDD-EEEEEEEEEEEE}\r\nStorageType=0\r\nGroup=\r\n"
        "Description=Caf\xE9\r\nNotes=\r\nDeadline=2024 02 01 08 15 00\r\n"
        "ShowDeadline=1\r\nShowDeadlineTime=0\r\nForewarn=1\r\nForewarnSpan=3\r\n"
        "ForewarnUnit=2\r\nPriority=1\r\nAssociateDocumentFile=0\r\nDocumentFile=\r\n"
        "Done=1\r\n";
    // Reading it back is decided by the random round trip below.
    EXPECT_EQ(WriteTextBackupBytes(contents), expected);
}

// Hand-edited backups: a bad value keeps its field's default or is derived as the rows say.
TEST(TextBackupTest, MissingAndMalformedValuesKeepOrDeriveTheirField) {
    const DocumentContents restored = ReadTextBackupBytes(
        "[DateEntry 0]\r\nGUID=\r\nRepeatRate=12abc\r\nRepeatUnit=abc\r\nRepeatEndCount=\r\n"
        "CondMonth=-7\r\nExecuteSpan=99999999999\r\nForewarnSpan=-99999999999\r\n"
        "DisplayColor=255,0,128\r\nFontColor=300,1\r\nStartDate=2024 02 30 10 00 00\r\n"
        "EndDate=\r\nRepeatEndDate=2030 1 2\r\nDroppedOccurence 0=2024 13 45 99 00 00\r\n"
        "DroppedOccurence 1=\r\nDroppedOccurence 2=2024 05 13 08 00 00\r\n"
        "[TodoEntry 0]\r\nDeadline=\r\n",
        kNow);
    ASSERT_EQ(restored.events.size(), 1u);
    const DateData& d = restored.events[0]->GetData();
    const DateData defaults;
    EXPECT_TRUE(IsGuidString(d.GUID)) << "an empty GUID keeps the new one: " << d.GUID;
    EXPECT_EQ(d.RepeatRate, 12) << "leading digits";
    EXPECT_EQ(d.RepeatUnit, 0) << "no digits";
    EXPECT_EQ(d.RepeatEndCount, defaults.RepeatEndCount) << "empty keeps the default";
    EXPECT_EQ(d.CondMonth, -7);
    EXPECT_EQ(d.ExecuteSpan, INT32_MAX) << "saturates";
    EXPECT_EQ(d.ForewarnSpan, INT32_MIN) << "saturates";
    EXPECT_EQ(d.DisplayColor, 0x008000FFu);
    EXPECT_EQ(d.FontColor, 0x0000012Cu) << "red 300 keeps its low byte, the missing blue is 0";
    EXPECT_EQ(d.StartDate, kNow) << "invalid: the new record's start";
    EXPECT_EQ(d.EndDate, kNow) << "empty: the new record's end";
    EXPECT_EQ(d.RepeatEndDate, CDateTime(2030, 1, 2)) << "missing numbers of the time are 0";
    EXPECT_EQ(d.SnoozeSpan, defaults.SnoozeSpan) << "missing";
    EXPECT_TRUE(restored.events[0]->GetDroppedOccurrences().empty()) << "skipped, then the end";
    ASSERT_EQ(restored.todos.size(), 1u);
    EXPECT_FALSE(restored.todos[0]->IsDone());
}

TEST(TextBackupTest, RandomDocumentsRoundTrip) {
    test::Random rng(5150);
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        const DocumentContents contents = test::RandomDocument(rng, 3, 8, 6, true);
        const std::string bytes = WriteTextBackupBytes(contents);
        // The file is written without a key file in between; it must read as the key file does.
        ASSERT_EQ(BuildTextBackup(contents).ToBytes(), bytes);
        const DocumentContents restored = ReadTextBackupBytes(bytes, kNow);
        EXPECT_TRUE(restored.changeList.empty());
        // Writing what was restored gives the same file again: every field, dropped occurrence
        // and done state came back (the exact file above pins the keys they are written under).
        ASSERT_EQ(WriteTextBackupBytes(restored), bytes);
    }
}

std::string ValueOr(const CKeyFile& file, const char* section, const char* key,
                    const char* missing = "<missing>") {
    const std::string* value = file.GetValue(section, key);
    return value != nullptr ? *value : missing;
}

TEST(KeyFileTest, ReadingRules) {
    const CKeyFile file = CKeyFile::FromText("orphan=before any section\r\n"
                                             "  [First]  \r\n"
                                             "  Key = spaced value  \r\n"
                                             "Twice=old\r\n"
                                             "Twice=new\r\n"
                                             "no equals sign here\r\n"
                                             "\r\n"
                                             "Eq=a=b=c\r\n"
                                             "Empty=\r\n"
                                             "[Second\r\n"
                                             "[Gone]\n"
                                             "Old=1\n"
                                             "[Cr]\rA=1\r\r"
                                             "[Gone]\n"
                                             "New=2\n"
                                             "[case]\n"
                                             "key=lower");
    using Row = std::tuple<const char*, const char*, const char*, const char*>;
    for (const auto& [name, section, key, value] : {
             Row{"a line before the first section is ignored", "", "orphan", "<missing>"},
             Row{"the key keeps inner blanks, the value its leading one", "First", "Key ",
                 " spaced value"},
             Row{"the later of two values wins", "First", "Twice", "new"},
             Row{"the key ends at the first equals sign", "First", "Eq", "a=b=c"},
             Row{"an empty value", "First", "Empty", ""},
             Row{"a bracket without its end is no header", "Second", "x", "<missing>"},
             Row{"a repeated header empties its section", "Gone", "Old", "<missing>"},
             Row{"keys after the repeated header count", "Gone", "New", "2"},
             Row{"a lone carriage return ends a line", "Cr", "A", "1"},
             Row{"section names compare with case", "Case", "key", "<missing>"},
             Row{"keys compare with case", "case", "Key", "<missing>"},
             Row{"an exact name and key", "case", "key", "lower"},
         }) {
        EXPECT_EQ(ValueOr(file, section, key), value) << name;
    }
    EXPECT_FALSE(file.HasSection("Second"));
    EXPECT_EQ(file.GetSectionCount(), 4u); // First, Gone, Cr, case
}

TEST(KeyFileTest, RefusesNamesThatCannotBeReadBack) {
    CKeyFile file;
    using Row = std::tuple<const char*, const char*, const char*, const char*>;
    for (const auto& [name, section, key, value] :
         {Row{"a line break in the value", "S", "k", "a\nb"},
          Row{"a carriage return in the section", "S\r", "k", "v"},
          Row{"an equals sign in the key", "S", "k=1", "v"}, Row{"an empty key", "S", "", "v"},
          Row{"a key that starts a header", "S", "[k", "v"},
          Row{"blanks around the key", "S", " k", "v"},
          Row{"blanks around the section", " S", "k", "v"}}) {
        EXPECT_THROW(file.SetValue(section, key, value), std::invalid_argument) << name;
    }
    EXPECT_EQ(file.GetSectionCount(), 0u);
}

TEST(KeyFileTest, Encodings) {
    using Row = std::tuple<const char*, const char*, std::string>; // name, UTF-8 value, file
    const std::string ascii = "[S]\r\nk=plain\r\n";
    for (const auto& [name, value, bytes] : {
             Row{"ASCII stays as it is", "plain", ascii},
             Row{"Windows-1252 when every character fits", "caf\xC3\xA9 \xE2\x82\xAC",
                 "[S]\r\nk=caf\xE9 \x80\r\n"},
             Row{"UTF-8 with its mark beyond Windows-1252", "\xCE\xA9",
                 "\xEF\xBB\xBF[S]\r\nk=\xCE\xA9\r\n"},
             // "Ã©" in Windows-1252 is C3 A9, which would read back as "é" in UTF-8.
             Row{"UTF-8 with its mark when Windows-1252 would look like UTF-8", "\xC3\x83\xC2\xA9",
                 "\xEF\xBB\xBF[S]\r\nk=\xC3\x83\xC2\xA9\r\n"},
         }) {
        CKeyFile file;
        file.SetValue("S", "k", value);
        EXPECT_EQ(file.ToBytes(), bytes) << name;
        EXPECT_EQ(ValueOr(CKeyFile::FromBytes(bytes), "S", "k"), value) << name;
    }
    // Hand-edited files: UTF-8 without a mark, UTF-16 with one, damaged UTF-8 after a mark.
    EXPECT_EQ(ValueOr(CKeyFile::FromBytes("[S]\nk=\xCE\xA9\n"), "S", "k"), "\xCE\xA9");
    const std::string utf16("\xFF\xFE[\0S\0]\0\n\0k\0=\0\xA9\x03", 16);
    EXPECT_EQ(ValueOr(CKeyFile::FromBytes(utf16), "S", "k"), "\xCE\xA9");
    EXPECT_EQ(ValueOr(CKeyFile::FromBytes("\xEF\xBB\xBF[S]\nk=a\xFF"
                                          "b\n"),
                      "S", "k"),
              "a\xEF\xBF\xBD"
              "b");
}

} // namespace
} // namespace dv
