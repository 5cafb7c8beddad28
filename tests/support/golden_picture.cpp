#include "support/golden_picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/window/window.h"
#include "sim/picture_file.h"
#include "support/window_session.h"

namespace kivoly::test {

namespace {

namespace fs = std::filesystem;

// A golden whose PNG is larger than this is kept as its checksum.
constexpr std::uintmax_t kLargestPngGolden = 16 * 1024;

std::string PictureSum(const sim::Picture& picture) {
    return std::to_string(picture.width) + " " + std::to_string(picture.height) + " " +
           Checksum(picture.rgb).Hex() + "\n";
}

// Writes `picture` to golden-actual/NAME.png and says where, for the failure message.
std::string Keep(const std::string& name, const sim::Picture& picture) {
    const fs::path path = fs::absolute("golden-actual") / (name + ".png");
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    std::string error;
    return sim::WritePng(path.string(), picture, error) ? path.string() : error;
}

}  // namespace

bool UpdatingGoldens() {
    const char* update = std::getenv("KIVOLY_UPDATE_GOLDEN");
    return update && *update == '1';
}

void ExpectGolden(const std::string& name, const sim::Picture& picture) {
    const std::string golden = std::string(KIVOLY_SOURCE_TEST_DATA) + "/golden/" + name;
    std::string error;
    if (UpdatingGoldens()) {
        ASSERT_TRUE(sim::WritePng(golden + ".png", picture, error)) << error;
        const bool small = fs::file_size(golden + ".png") <= kLargestPngGolden;
        fs::remove(small ? golden + ".sum" : golden + ".png");
        if (!small) std::ofstream(golden + ".sum") << PictureSum(picture);
        Keep(name, picture);  // to be looked at
        return;
    }
    sim::Picture expected;
    if (sim::ReadPicture(golden + ".png", expected, error)) {
        if (expected.rgb == picture.rgb && expected.width == picture.width) return;
        // The golden with the differing pixels in magenta and the others dimmed.
        int count = 0;
        const bool sameSize = expected.rgb.size() == picture.rgb.size();
        for (std::size_t i = 0; sameSize && i < expected.rgb.size(); i += 3) {
            const auto at = expected.rgb.begin() + std::ptrdiff_t(i);
            const bool differs = !std::equal(at, at + 3, picture.rgb.begin() + std::ptrdiff_t(i));
            count += differs;
            for (std::size_t c = 0; c < 3; ++c)
                expected.rgb[i + c] = differs ? (c == 1 ? 0 : 255) : expected.rgb[i + c] / 4;
        }
        ADD_FAILURE() << "golden " << name << ": "
                      << (sameSize ? std::to_string(count) + " pixels differ" : "the size differs")
                      << "; got " << Keep(name, picture)
                      << (sameSize ? ", differences in " + Keep(name + "-diff", expected) : "");
        return;
    }
    std::ifstream sum(golden + ".sum");
    const std::string expectedSum{std::istreambuf_iterator<char>(sum), {}};
    if (expectedSum != PictureSum(picture)) {
        ADD_FAILURE() << "golden " << name << (expectedSum.empty() ? " is missing" : " differs")
                      << " (KIVOLY_UPDATE_GOLDEN=1 makes it again, to be looked at); got "
                      << Keep(name, picture);
    }
}

void ExpectGolden(const std::string& name, const platform::Surface& surface) {
    sim::Picture picture(surface.Width(), surface.Height());
    const std::vector<uint32_t> shown = surface.ToRgb();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        picture.rgb[3 * i] = uint8_t(shown[i] >> 16);
        picture.rgb[3 * i + 1] = uint8_t(shown[i] >> 8);
        picture.rgb[3 * i + 2] = uint8_t(shown[i]);
    }
    ExpectGolden(name, picture);
}

sim::Picture ClientPicture(KivoHWnd window, platform::Rect area) {
    if (area.Width() <= 0) platform::GetClientRect(window, area);
    sim::Picture picture(area.Width(), area.Height());
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t colour = ClientPixel(window, area.left + x, area.top + y);
            uint8_t* pixel = picture.Pixel(x, y);
            pixel[0] = uint8_t(colour >> 16);
            pixel[1] = uint8_t(colour >> 8);
            pixel[2] = uint8_t(colour);
        }
    }
    return picture;
}

}  // namespace kivoly::test
