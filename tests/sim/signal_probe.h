// Measurements a decoder makes on raw samples, written plainly so that the encoder's tests can
// check that its signal meets them: the sync slicer in its two modes, the burst vector and the
// blanking level of a line.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace kivoly::test {

// Line start found by a sync search from `position`, as the decoder's line finder does: it
// starts samplesPerLine - 24 on, counts 8 samples below the slicing level (a pair sum below
// 64 + level in mode 0, a weighted triple below 128 + 2 level in mode 1) and steps back 16
// samples (and half the line-length difference). -1 when no sync is found.
inline long FindLineStart(std::span<const uint8_t> x, long position, int samplesPerLine, int level,
                          int mode) {
    long s = position + samplesPerLine - 24;
    int n = 0;
    while (n < 8) {
        if (s < 0 || s + 3 > static_cast<long>(x.size())) return -1;
        const int t = mode == 0 ? x[s] + x[s + 1] - (level + 64)
                                : x[s] + 2 * x[s + 1] + x[s + 2] - (2 * level + 128);
        ++s;
        n = t < 0 ? n + 1 : (n > 0 ? n - 1 : 0);
    }
    return s - ((910 - samplesPerLine) / 2 + 16);
}

// The first `count` line starts after three lines of warm-up from the start of the capture.
inline std::vector<long> KeptLineStarts(std::span<const uint8_t> x, int samplesPerLine, int count,
                                        int level, int mode) {
    std::vector<long> starts;
    long position = 0;
    for (int i = 0; i < 3 + count; ++i) {
        position = FindLineStart(x, position, samplesPerLine, level, mode);
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

// The decoder's comparison of two burst vectors: 0 when they match, 1 when the first is a
// quarter cycle early (read one sample later), -1 a quarter cycle late, 2 otherwise.
inline int PhaseShift(const Burst& now, const Burst& before) {
    if (std::abs(now.b - before.b) + std::abs(now.a - before.a) <= 0.75) return 0;
    if (std::abs(now.b + before.a) + std::abs(now.a - before.b) < 0.75) return 1;
    if (std::abs(now.a + before.b) + std::abs(before.a - now.b) < 0.75) return -1;
    return 2;
}

inline bool Inverse(const Burst& x, const Burst& y) {
    return std::abs(x.a + y.a) + std::abs(x.b + y.b) <= 0.75;
}

}  // namespace kivoly::test
