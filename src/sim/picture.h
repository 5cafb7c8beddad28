// A picture in memory: 8-bit R, G, B per pixel, rows top first, no padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kivoly::sim {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width x height x 3

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3) {}

    bool Empty() const { return width <= 0 || height <= 0; }
    uint8_t* Pixel(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    const uint8_t* Pixel(int x, int y) const {
        return &rgb[(static_cast<size_t>(y) * width + x) * 3];
    }
};

// Resamples `picture` to `width` x `height` with a separable tent filter whose width follows the
// scale, so that shrinking averages and enlarging interpolates. Channels stay in 0..255 as floats
// (R, G, B interleaved), ready for the encoder.
std::vector<float> ScalePicture(const Picture& picture, int width, int height);

}  // namespace kivoly::sim
