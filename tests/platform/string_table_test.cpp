#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kivoly {
namespace {

TEST(StringTable, FindsTextsByIdOnlyAndLoadsThemWithinTheBuffer) {
    EXPECT_STREQ(StringText(80), "Analyzing . . .");
    for (int id : {0, 79, -26, 1000})
        EXPECT_EQ(StringText(id), nullptr) << id;
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(LoadResourceString(83, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "Kivoly ");
    EXPECT_EQ(LoadResourceString(999, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    buffer[0] = 'x';
    EXPECT_EQ(LoadResourceString(26, buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(LoadResourceString(26, nullptr, 8), 0);
}

TEST(StringTable, SkinFileNamesFitTheirThirteenCharacterBuffer) {
    for (int id : {31, 32, 33, 34, 35, 36, 37, 38, 39, 49, 50, 51,
                   53, 54, 55, 68, 69, 70, 71, 72, 73, 74, 75}) {
        ASSERT_NE(StringText(id), nullptr) << id;
        EXPECT_LE(std::strlen(StringText(id)), 13u) << id;
    }
}

}  // namespace
}  // namespace kivoly
