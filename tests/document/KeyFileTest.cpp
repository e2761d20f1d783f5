#include "document/CKeyFile.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace dv {
namespace {

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
    struct Row {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
    };
    for (const Row& row : {
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
        EXPECT_EQ(ValueOr(file, row.section, row.key), row.value) << row.name;
    }
    EXPECT_FALSE(file.HasSection("Second"));
    EXPECT_EQ(file.GetSectionCount(), 4u); // First, Gone, Cr, case
}

TEST(KeyFileTest, RefusesNamesThatCannotBeReadBack) {
    CKeyFile file;
    struct Row {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
    };
    for (const Row& row :
         {Row{"a line break in the value", "S", "k", "a\nb"},
          Row{"a carriage return in the section", "S\r", "k", "v"},
          Row{"an equals sign in the key", "S", "k=1", "v"}, Row{"an empty key", "S", "", "v"},
          Row{"a key that starts a header", "S", "[k", "v"},
          Row{"blanks around the key", "S", " k", "v"},
          Row{"blanks around the section", " S", "k", "v"}}) {
        EXPECT_THROW(file.SetValue(row.section, row.key, row.value), std::invalid_argument)
            << row.name;
    }
    EXPECT_EQ(file.GetSectionCount(), 0u);
}

TEST(KeyFileTest, Encodings) {
    struct Row {
        const char* name;
        const char* value; // UTF-8
        std::string bytes; // the file
    };
    const std::string ascii = "[S]\r\nk=plain\r\n";
    for (const Row& row : {
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
        file.SetValue("S", "k", row.value);
        EXPECT_EQ(file.ToBytes(), row.bytes) << row.name;
        EXPECT_EQ(ValueOr(CKeyFile::FromBytes(row.bytes), "S", "k"), row.value) << row.name;
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
