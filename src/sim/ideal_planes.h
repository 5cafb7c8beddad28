// What a perfect separation of the composite signal gives, on the decoder's output grid: the
// band-limited luma and colour difference signals the encoder modulated, sampled where the
// decoder's output samples lie and scaled as the decoder scales them (luma in sample levels,
// black 76 and white 224; U and V in sample levels of chroma amplitude for a burst of 20 IRE,
// i.e. U = 148 x 0.492 (B - Y) and V = 148 x 0.877 (R - Y) with R, G, B, Y in 0..1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kivoly::sim {

inline constexpr int kDecodedWidth = 752;

struct IdealPlanes {
    int width = kDecodedWidth;
    int lines = 0;
    std::vector<uint8_t> y;      // lines x width
    std::vector<int8_t> u;       // lines x width, every position
    std::vector<int8_t> v;       // lines x width, every position
    std::vector<int8_t> chroma;  // the decoder's layout: U at even positions, V at odd ones

    void Resize(int lineCount) {
        lines = lineCount;
        const size_t size = static_cast<size_t>(lineCount) * width;
        y.assign(size, 0);
        u.assign(size, 0);
        v.assign(size, 0);
        chroma.assign(size, 0);
    }
};

}  // namespace kivoly::sim
