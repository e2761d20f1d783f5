#include "format/StringTable.h"

#include "format/StringIds.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

TEST(StringTable, DateFormatDefault) {
    EXPECT_EQ(EnglishString(kIdsDateFormat), "%B %d, %Y");
}

} // namespace
} // namespace dv
