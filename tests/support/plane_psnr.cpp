#include "support/plane_psnr.h"

#include <cmath>
#include <limits>

namespace kivoly::test {

namespace {

template <typename T>
double PsnrOf(std::span<const T> a, std::span<const T> b, int width, int height, Crop crop,
              int stride, int channels) {
    if (stride == 0) stride = width * channels;
    double sum = 0;
    long count = 0;
    for (int y = crop.top; y < height - crop.bottom; ++y) {
        for (int x = crop.left * channels; x < (width - crop.right) * channels; ++x) {
            const size_t i =
                static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x);
            if (i >= a.size() || i >= b.size()) return 0;
            const double d = static_cast<double>(a[i]) - static_cast<double>(b[i]);
            sum += d * d;
            ++count;
        }
    }
    if (count == 0) return 0;
    if (sum == 0) return std::numeric_limits<double>::infinity();
    return 10 * std::log10(255.0 * 255.0 * static_cast<double>(count) / sum);
}

}  // namespace

double Psnr(std::span<const uint8_t> a, std::span<const uint8_t> b, int width, int height,
            Crop crop, int stride) {
    return PsnrOf(a, b, width, height, crop, stride, 1);
}

double Psnr(std::span<const int8_t> a, std::span<const int8_t> b, int width, int height, Crop crop,
            int stride) {
    return PsnrOf(a, b, width, height, crop, stride, 1);
}

double PsnrRgb(std::span<const uint8_t> a, std::span<const uint8_t> b, int width, int height,
               Crop crop) {
    return PsnrOf(a, b, width, height, crop, width * 3, 3);
}

}  // namespace kivoly::test
