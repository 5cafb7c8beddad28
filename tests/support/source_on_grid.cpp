#include "support/source_on_grid.h"

#include <algorithm>
#include <cmath>

#include "sim/ntsc_timing.h"

namespace kivoly::test {

std::vector<uint8_t> SourceOnGrid(const sim::Picture& picture, int width, int height) {
    const int w = sim::kPictureWidth;
    const int rows = sim::kPictureRows;
    const std::vector<float> frame = sim::ScalePicture(picture, w, rows);
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 3);
    for (int r = 0; r < height; ++r) {
        const double y = double(r) / (height - 1) * 479;
        const int y0 = std::clamp(static_cast<int>(y), 0, rows - 1);
        const int y1 = std::min(y0 + 1, rows - 1);
        const double fy = std::clamp(y - y0, 0.0, 1.0);
        for (int x = 0; x < width; ++x) {
            const double left = double(x) * w / width;
            const double right = double(x + 1) * w / width;
            double sum[3] = {};
            for (int c = static_cast<int>(left); c < right && c < w; ++c) {
                const double cover = std::min<double>(c + 1, right) - std::max<double>(c, left);
                for (int k = 0; k < 3; ++k) {
                    const float a = frame[(size_t(y0) * w + c) * 3 + k];
                    const float b = frame[(size_t(y1) * w + c) * 3 + k];
                    sum[k] += cover * (a + fy * (b - a));
                }
            }
            for (int k = 0; k < 3; ++k) {
                out[(size_t(r) * width + x) * 3 + k] = static_cast<uint8_t>(
                    std::clamp(std::lround(sum[k] / (right - left)), 0L, 255L));
            }
        }
    }
    return out;
}

}  // namespace kivoly::test
