#include "support/test_pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "sim/colour_bars.h"
#include "sim/picture_file.h"

namespace kivoly::test {

std::string TestDataPath(const std::string& name) {
    const char* folder = std::getenv("KIVOLY_TEST_DATA");
    return std::string(folder && *folder ? folder : KIVOLY_SOURCE_TEST_DATA) + "/" + name;
}

sim::Picture NaturalPicture() {
    sim::Picture picture;
    std::string error;
    EXPECT_TRUE(sim::ReadPicture(TestDataPath("natural.png"), picture, error)) << error;
    return picture;
}

sim::Picture BarsPicture() {
    return sim::ColourBars(640, 480);
}

}  // namespace kivoly::test
