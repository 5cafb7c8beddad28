#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kivoly {
namespace {

TEST(StringTable, FindsTextsByIdAndNothingBetweenThem) {
    EXPECT_STREQ(StringText(26), "Error");
    EXPECT_STREQ(StringText(80), "Analyzing . . .");
    EXPECT_EQ(StringText(0), nullptr);
    EXPECT_EQ(StringText(79), nullptr);
    EXPECT_EQ(StringText(-26), nullptr);
    EXPECT_EQ(StringText(1000), nullptr);
}

TEST(StringTable, SkinFileNamesFitTheirThirteenCharacterBuffer) {
    for (int id : {31, 32, 33, 34, 35, 36, 37, 38, 39, 49, 50, 51,
                   53, 54, 55, 68, 69, 70, 71, 72, 73, 74, 75}) {
        ASSERT_NE(StringText(id), nullptr) << id;
        EXPECT_LE(std::strlen(StringText(id)), 13u) << id;
    }
}

TEST(StringTable, LoadingKeepsToTheBuffer) {
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

}  // namespace
}  // namespace kivoly
