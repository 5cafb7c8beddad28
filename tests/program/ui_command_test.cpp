// kivoly ui as a person drives it headless (its --script): capture, adjust, Go, save.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <string>

#include "support/program_test.h"

namespace kivoly {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

class UiCommandTest : public test::ProgramTest {
  protected:
    test::CommandResult Ui(const std::string& script, const std::string& saveAs) const {
        return Kivoly("ui --simulate --step-ms 20 --script '" + script + "' --save-as " +
                      Path(saveAs));
    }
};

long Sum(const sim::Picture& picture) {
    return std::accumulate(picture.rgb.begin(), picture.rgb.end(), 0L);
}

TEST_F(UiCommandTest, CapturedAdjustedAndSavedThroughTheWindow) {
    const test::CommandResult plain = Ui("space s", "plain.bmp");
    ASSERT_EQ(plain.exitCode, 0) << plain.output;
    EXPECT_THAT(plain.output, HasSubstr("plain.bmp"));
    EXPECT_EQ(fs::file_size(Path("plain.bmp")), 54u + 640u * 480u * 3u);

    // The brightness slider dragged 30 pixels up, then Go converts the picture again: brighter.
    const test::CommandResult adjusted = Ui("space a drag:114,132,0,-30 click:480,190 s", "b.bmp");
    ASSERT_EQ(adjusted.exitCode, 0) << adjusted.output;
    EXPECT_GT(Sum(Picture("b.bmp")), Sum(Picture("plain.bmp")));

    // Space during the live preview ends it and captures.
    const test::CommandResult fromPreview = Ui("p wait wait space s", "preview.png");
    EXPECT_EQ(fromPreview.exitCode, 0) << fromPreview.output;
    EXPECT_EQ(Picture("preview.png").width, 640);
}

TEST_F(UiCommandTest, RefusesWhatItCannotDo) {
    const struct {
        const char *script, *saveAs;
        int exitCode;
        const char* message;
    } cases[] = {
        {"space jump", "x.png", 2, "unknown script step 'jump'"},
        {"s", "nothing.png", 1, "saved no picture"},
        {"space s", "picture.gif", 1, "must end in .bmp or .png"},
    };
    for (const auto& c : cases) {
        const test::CommandResult run = Ui(c.script, c.saveAs);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.script;
        EXPECT_THAT(run.output, HasSubstr(c.message));
        EXPECT_FALSE(fs::exists(Path(c.saveAs)));
    }
    const test::CommandResult nobody = Kivoly("ui --simulate --display headless");
    EXPECT_EQ(nobody.exitCode, 2);
    EXPECT_THAT(nobody.output, HasSubstr("needs a --script"));
}

}  // namespace
}  // namespace kivoly
