// Peak signal-to-noise ratio of 8-bit planes, the measure the decode and conversion tests hold
// against their thresholds: 10 log10(255^2 / mean squared difference), over a window of the
// planes so that edges a stage does not define can be left out.
#pragma once

#include <cstdint>
#include <span>

namespace kivoly::test {

// A window of a plane: columns [left, width - right), rows [top, height - bottom).
struct Crop {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Planes of `width` x `height` samples, rows `stride` apart (0: stride = width). Identical
// windows give +infinity; an empty window gives 0.
double Psnr(std::span<const uint8_t> a, std::span<const uint8_t> b, int width, int height,
            Crop crop = {}, int stride = 0);
double Psnr(std::span<const int8_t> a, std::span<const int8_t> b, int width, int height,
            Crop crop = {}, int stride = 0);

// PSNR of interleaved RGB pictures over all three channels.
double PsnrRgb(std::span<const uint8_t> a, std::span<const uint8_t> b, int width, int height,
               Crop crop = {});

}  // namespace kivoly::test
