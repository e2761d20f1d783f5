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
    struct Row {
        const char* name;
        const char* text;
        bool valid;
    };
    const Row rows[] = {
        {"upper case", "{0F8FAD5B-D9CB-469F-A165-70867728950E}", true},
        {"lower case from another generator", "{0f8fad5b-d9cb-469f-a165-70867728950e}", true},
        {"any version", "{0F8FAD5B-D9CB-169F-0165-70867728950E}", true},
        {"no braces", "0F8FAD5B-D9CB-469F-A165-70867728950E", false},
        {"one digit short", "{0F8FAD5B-D9CB-469F-A165-70867728950}", false},
        {"hyphen moved", "{0F8FAD5BD-9CB-469F-A165-70867728950E}", false},
        {"non-hex digit", "{0F8FAD5B-D9CB-469F-A165-70867728950G}", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsGuidString(row.text), row.valid) << row.name;
    }
}

} // namespace
} // namespace dv
