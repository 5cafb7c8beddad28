// kivoly ui as a person drives it headless (its --script): capture, adjust, Go, save.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/run_command.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;

class UiCommandTest : public ::testing::Test {
  protected:
    UiCommandTest() : folder(fs::path(::testing::TempDir()) / "ui_command") {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    ~UiCommandTest() override { fs::remove_all(folder); }

    test::CommandResult Ui(const std::string& script, const std::string& saveAs) {
        return test::RunKivoly(folder.string(), "ui --simulate --step-ms 20 --script '" + script +
                                                    "' --save-as " + test::ShellQuote(In(saveAs)));
    }
    std::string In(const std::string& name) { return (folder / name).string(); }
    std::string Bytes(const std::string& name) {
        std::ifstream file(In(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    fs::path folder;
};

TEST_F(UiCommandTest, CapturedAdjustedAndSavedThroughTheWindow) {
    auto plain = Ui("space s", "plain.png");
    ASSERT_EQ(plain.exitCode, 0) << plain.output;
    EXPECT_NE(plain.output.find("plain.png"), std::string::npos);
    EXPECT_EQ(Bytes("plain.png").substr(1, 3), "PNG");

    // The brightness slider dragged 30 pixels up, then Go converts the picture again.
    auto adjusted = Ui("space a drag:114,132,0,-30 click:480,190 s", "bright.bmp");
    ASSERT_EQ(adjusted.exitCode, 0) << adjusted.output;
    const std::string bitmap = Bytes("bright.bmp");
    ASSERT_GT(bitmap.size(), 54u + 640u * 480u * 3u - 1u);
    EXPECT_EQ(bitmap.substr(0, 2), "BM");

    // Space during the live preview ends it and captures.
    auto fromPreview = Ui("p wait wait space s", "preview.png");
    EXPECT_EQ(fromPreview.exitCode, 0) << fromPreview.output;
    EXPECT_EQ(Bytes("preview.png").substr(1, 3), "PNG");

    auto again = Ui("space s", "plain.bmp");
    ASSERT_EQ(again.exitCode, 0) << again.output;
    const std::string plainBitmap = Bytes("plain.bmp");
    ASSERT_EQ(plainBitmap.size(), bitmap.size());
    // Brighter on average: the sum of the bytes grows.
    long plainSum = 0, brightSum = 0;
    for (std::size_t i = 54; i < bitmap.size(); ++i) {
        plainSum += static_cast<unsigned char>(plainBitmap[i]);
        brightSum += static_cast<unsigned char>(bitmap[i]);
    }
    EXPECT_GT(brightSum, plainSum);
}

TEST_F(UiCommandTest, RefusesWhatItCannotDo) {
    auto badStep = Ui("space jump", "x.png");
    EXPECT_EQ(badStep.exitCode, 2);
    EXPECT_NE(badStep.output.find("unknown script step 'jump'"), std::string::npos);
    auto nobody =
        test::RunCommand(KIVOLY_PROGRAM + std::string(" ui --simulate --display headless"));
    EXPECT_EQ(nobody.exitCode, 2);
    EXPECT_NE(nobody.output.find("needs a --script"), std::string::npos) << nobody.output;
    auto nothingToSave = Ui("s", "nothing.png");
    EXPECT_EQ(nothingToSave.exitCode, 1);
    EXPECT_NE(nothingToSave.output.find("saved no picture"), std::string::npos);
    auto badName = Ui("space s", "picture.gif");
    EXPECT_EQ(badName.exitCode, 1);
    EXPECT_NE(badName.output.find("must end in .bmp or .png"), std::string::npos);
    EXPECT_FALSE(fs::exists(In("picture.gif")));
}

}  // namespace
}  // namespace kivoly
