#include "support/golden_picture.h"

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/window/display.h"
#include "platform/window/screen_picture.h"
#include "platform/window/window.h"
#include "support/test_pictures.h"

namespace kivoly::test {

::testing::AssertionResult MatchesGolden(const platform::Surface& surface,
                                         const std::string& name) {
    const std::string golden = TestDataPath("golden/" + name);
    if (std::getenv("KIVOLY_UPDATE_GOLDEN")) {
        if (!platform::SaveSurfacePng(surface, golden.c_str())) {
            return ::testing::AssertionFailure() << "cannot write " << golden;
        }
        return ::testing::AssertionSuccess();
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, golden.c_str())) {
        return ::testing::AssertionFailure() << "cannot read " << golden;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> expected(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, expected.data(), 0, nullptr)) {
        return ::testing::AssertionFailure() << "cannot decode " << golden;
    }
    if (static_cast<int>(image.width) != surface.Width() ||
        static_cast<int>(image.height) != surface.Height()) {
        return ::testing::AssertionFailure()
               << name << " is " << image.width << " x " << image.height << ", the surface "
               << surface.Width() << " x " << surface.Height();
    }
    const std::vector<uint32_t> shown = surface.ToRgb();
    int differing = 0;
    size_t first = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        const uint32_t want = (uint32_t{expected[3 * i]} << 16) |
                              (uint32_t{expected[3 * i + 1]} << 8) | expected[3 * i + 2];
        if (shown[i] != want && differing++ == 0) first = i;
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    const std::string actual =
        (std::filesystem::temp_directory_path() / ("drawn-" + name)).string();
    platform::SaveSurfacePng(surface, actual.c_str());
    return ::testing::AssertionFailure()
           << differing << " pixels differ from " << name << ", the first at ("
           << first % surface.Width() << ", " << first / surface.Width() << "); drawn: " << actual;
}

::testing::AssertionResult MatchesGolden(KivoHWnd window, const std::string& name) {
    platform::Rect rect;
    if (!platform::GetWindowRect(window, rect)) return ::testing::AssertionFailure() << "no window";
    platform::Surface part(rect.Width(), rect.Height());
    for (int32_t y = 0; y < rect.Height(); ++y) {
        for (int32_t x = 0; x < rect.Width(); ++x)
            part.Store(x, y, platform::Screen().Pixel(rect.left + x, rect.top + y));
    }
    return MatchesGolden(part, name);
}

}  // namespace kivoly::test
