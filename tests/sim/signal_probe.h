// A decoder's sync slicer, burst vector and blanking level, written plainly for the encoder's
// tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace kivoly::test {

// The decoder's line finder from `position`: 8 pair sums below 65, stepped back; -1 if none.
inline long FindLineStart(std::span<const uint8_t> x, long position, int samplesPerLine) {
    long s = position + samplesPerLine - 24;
    int n = 0;
    while (n < 8) {
        if (s < 0 || s + 2 > static_cast<long>(x.size())) return -1;
        const int t = x[s] + x[s + 1] - 65;
        ++s;
        n = t < 0 ? n + 1 : (n > 0 ? n - 1 : 0);
    }
    return s - ((910 - samplesPerLine) / 2 + 16);
}

// The first `count` line starts after three lines of warm-up from the start of the capture.
inline std::vector<long> KeptLineStarts(std::span<const uint8_t> x, int samplesPerLine, int count) {
    std::vector<long> starts;
    long position = 0;
    for (int i = 0; i < 3 + count; ++i) {
        position = FindLineStart(x, position, samplesPerLine);
        if (position < 0) break;
        if (i >= 3) starts.push_back(position);
    }
    return starts;
}

struct Burst {
    double a = 0, b = 0, amplitude = 0;
    int blanking = 0;
};

// Burst over the 16 samples from 96 after the line start, in four groups of four.
inline Burst MeasureBurst(std::span<const uint8_t> x, long lineStart) {
    int sa = 0, sb = 0, sum = 0;
    for (int g = 0; g < 4; ++g) {
        const uint8_t* p = &x[static_cast<size_t>(lineStart + 96 + 4 * g)];
        sa += p[2] - p[0];
        sb += p[1] - p[3];
        sum += p[0] + p[1] + p[2] + p[3];
    }
    Burst burst;
    burst.amplitude = std::sqrt(static_cast<double>(sa) * sa + static_cast<double>(sb) * sb);
    burst.a = sa / burst.amplitude;
    burst.b = sb / burst.amplitude;
    burst.blanking = sum / 16;
    return burst;
}

}  // namespace kivoly::test
