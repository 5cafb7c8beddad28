// A picture as the skin builder handles it: 8-bit red, green, blue, top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skin {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3

    const uint8_t* At(int x, int y) const { return &rgb[(std::size_t(y) * width + x) * 3]; }

    // The rectangle at (x, y); columns and rows past the picture's edge repeat its last ones
    // (a member may reach past the window's edge, where it is never seen).
    RgbImage Crop(int x, int y, int cropWidth, int cropHeight) const;
};

// Rasterises the SVG document `svg` with rsvg-convert (`converter`), going through files named
// `stem`.svg and `stem`.png, and returns the picture composed on black. Throws on failure.
RgbImage Rasterise(const std::string& converter, const std::string& svg, const std::string& stem);

// Reads a PNG file into an RgbImage composed on black. Throws on failure.
RgbImage ReadPng(const std::string& path);

}  // namespace skin
