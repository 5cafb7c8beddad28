#include "decode/luma_smoothers.h"

#include <cstring>

#include "decode/yuv_image.h"

namespace kivoly {

namespace {

// The smoothing rule for b between neighbours a and d.
uint8_t Smooth(int a, int b, int d) {
    const int t = a + 2 * b + d;
    const int diff = 4 * b - t;
    return static_cast<uint8_t>((diff > -8 && diff < 8) ? t >> 2 : b);
}

}  // namespace

void SmoothLumaLine(uint8_t* luma) {
    int a = luma[0];
    for (int j = 0; j < kSampleWidth - 1; ++j) {
        const int b = luma[j];
        luma[j] = Smooth(a, b, luma[j + 1]);
        a = b;
    }
}

void MergeSampleSets(uint8_t* second, uint8_t* first) {
    uint8_t f[kSampleWidth];
    uint8_t s[kSampleWidth];
    std::memcpy(f, first, kSampleWidth);
    std::memcpy(s, second, kSampleWidth);
    for (int i = 1; i < kSampleWidth; ++i) {
        first[i - 1] = Smooth(i == 1 ? f[0] : s[i - 2], f[i - 1], s[i - 1]);
        second[i - 1] = Smooth(f[i - 1], s[i - 1], f[i]);
    }
}

}  // namespace kivoly
