#include "format/PickerFormat.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

TEST(PickerFormat, ListDefaultsConvert) {
    EXPECT_EQ(ToPickerFormat("%m/%d/%Y, %I:%M %p"), "MM/dd/yyyy, hh:mm tt");
    EXPECT_EQ(ToPickerFormat("%#d.%#m."), "d.M.");
}

} // namespace
} // namespace dv
