#include "decode/internal/luma_smoothers.h"

#include <cstring>

#include "decode/internal/signal_kernels.h"
#include "decode/yuv_image.h"

namespace kivoly {

void SmoothLumaLine(uint8_t* luma) {
    // The line as it was, with its first sample repeated before it.
    uint8_t line[kSampleWidth + 1];
    line[0] = luma[0];
    std::memcpy(line + 1, luma, kSampleWidth);
    kernels::Smooth121(line, line + 1, line + 2, kSampleWidth - 1, luma);
}

void MergeSampleSets(uint8_t* second, uint8_t* first) {
    uint8_t f[kSampleWidth];
    uint8_t s[kSampleWidth + 1];  // the second set, with the first set's first sample before it
    std::memcpy(f, first, kSampleWidth);
    s[0] = f[0];
    std::memcpy(s + 1, second, kSampleWidth);
    // In capture order a sample of one set lies between two of the other.
    kernels::Smooth121(s, f, s + 1, kSampleWidth - 1, first);
    kernels::Smooth121(f, s + 1, f + 1, kSampleWidth - 1, second);
}

}  // namespace kivoly
