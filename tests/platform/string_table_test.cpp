#include "resources/string_table.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kivoly
