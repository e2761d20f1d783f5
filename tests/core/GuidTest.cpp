#include "core/Guid.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace dv {
namespace {

TEST(Guid, NewGuidsHaveTheRegistryFormVersionVariantAndRandomBits) {
    // A generator that fills only part of the value (or repeats a byte) leaves some digit constant.
    std::vector<std::set<char>> seen(38);
    for (int i = 0; i < 4000; ++i) {
        const std::string guid = NewGuidString();
        ASSERT_TRUE(IsGuidString(guid)) << guid;
        for (size_t k = 0; k < guid.size(); ++k) {
            ASSERT_FALSE(guid[k] >= 'a' && guid[k] <= 'f') << "lower-case digit in " << guid;
            seen[k].insert(guid[k]);
        }
    }
    EXPECT_EQ(seen[15], std::set<char>{'4'}) << "version";
    EXPECT_EQ(seen[20], (std::set<char>{'8', '9', 'A', 'B'})) << "variant";
    for (size_t k = 1; k < 37; ++k) {
        if (k != 9 && k != 14 && k != 15 && k != 19 && k != 20 && k != 24) {
            EXPECT_EQ(seen[k].size(), 16u) << "position " << k;
        }
    }
}

TEST(Guid, RecognisesOnlyTheBracedForm) {
    // Upper or lower case (from another generator), any version.
    for (const char* valid :
         {"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "{0f8fad5b-d9cb-469f-a165-70867728950e}",
          "{0F8FAD5B-D9CB-169F-0165-70867728950E}"}) {
        EXPECT_TRUE(IsGuidString(valid)) << valid;
    }
    // No braces, one digit short, a hyphen moved, a non-hex digit.
    for (const char* invalid :
         {"0F8FAD5B-D9CB-469F-A165-70867728950E", "{0F8FAD5B-D9CB-469F-A165-70867728950}",
          "{0F8FAD5BD-9CB-469F-A165-70867728950E}", "{0F8FAD5B-D9CB-469F-A165-70867728950G}"}) {
        EXPECT_FALSE(IsGuidString(invalid)) << invalid;
    }
}

} // namespace
} // namespace dv
