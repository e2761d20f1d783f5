#include "core/Guid.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace dv {
namespace {

TEST(Guid, NewGuidsHaveTheRegistryFormVersionAndVariant) {
    for (int i = 0; i < 2000; ++i) {
        const std::string guid = NewGuidString();
        ASSERT_EQ(guid.size(), 38u) << guid;
        ASSERT_TRUE(IsGuidString(guid)) << guid;
        for (char c : guid) {
            ASSERT_FALSE(c >= 'a' && c <= 'f') << "lower-case digit in " << guid;
        }
        EXPECT_EQ(guid[15], '4') << "version nibble of " << guid;
        EXPECT_NE(std::string("89AB").find(guid[20]), std::string::npos) << "variant of " << guid;
    }
}

TEST(Guid, EveryBitOutsideVersionAndVariantVaries) {
    // A generator that fills only part of the value (or repeats a byte) leaves some digit constant.
    std::vector<std::set<char>> seen(38);
    for (int i = 0; i < 4000; ++i) {
        const std::string guid = NewGuidString();
        for (size_t k = 0; k < guid.size(); ++k) {
            seen[k].insert(guid[k]);
        }
    }
    for (size_t k = 1; k < 37; ++k) {
        if (k == 9 || k == 14 || k == 19 || k == 24 || k == 15) {
            EXPECT_EQ(seen[k].size(), 1u) << "position " << k;
        } else if (k == 20) {
            EXPECT_EQ(seen[k].size(), 4u) << "variant position";
        } else {
            EXPECT_EQ(seen[k].size(), 16u) << "position " << k;
        }
    }
}

TEST(Guid, UniqueAcrossThreads) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 5000;
    std::vector<std::vector<std::string>> made(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&made, t] {
            for (int i = 0; i < kPerThread; ++i) {
                made[t].push_back(NewGuidString());
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::set<std::string> all;
    for (const auto& list : made) {
        all.insert(list.begin(), list.end());
    }
    EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kPerThread));
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
