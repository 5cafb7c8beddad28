// Drawing speed of the picture sizes the user interface shows: a 640 x 480 true-colour picture
// set one to one, and a 1500 x 1125 picture shrunk to 640 x 480 with halftone averaging.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/device_context.h"

namespace kivoly::platform {
namespace {

// A packed 24-bit bitmap with a smooth test pattern.
std::vector<uint32_t> MakeDib(int32_t width, int32_t height) {
    const size_t stride = ((24 * static_cast<size_t>(width) + 31) & ~size_t{31}) / 8;
    std::vector<uint32_t> words((sizeof(BitmapInfoHeader) + stride * height + 3) / 4);
    BitmapInfoHeader h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biSizeImage = static_cast<uint32_t>(stride * height);
    auto* bytes = reinterpret_cast<uint8_t*>(words.data());
    std::memcpy(bytes, &h, sizeof h);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bytes + sizeof h + stride * y;
        for (int32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(x);
            row[3 * x + 1] = static_cast<uint8_t>(y);
            row[3 * x + 2] = static_cast<uint8_t>(x + y);
        }
    }
    return words;
}

void DrawStretched(benchmark::State& state, Surface& surface, int32_t width, int32_t height) {
    const auto dib = MakeDib(width, height);
    const auto* info = reinterpret_cast<const BitmapInfoHeader*>(dib.data());
    const auto* bits = reinterpret_cast<const uint8_t*>(dib.data()) + sizeof(BitmapInfoHeader);
    DeviceContext dc(surface);
    dc.SetStretchMode(StretchMode::Halftone);
    for (auto _ : state) {
        StretchDIBits(dc, 0, 0, 640, 480, 0, 0, width, height, bits, info, ColourUse::Colours,
                      RasterOp::SrcCopy);
        benchmark::ClobberMemory();
    }
}

void BM_SetDIBitsToDevice640x480(benchmark::State& state) {
    const auto dib = MakeDib(640, 480);
    const auto* info = reinterpret_cast<const BitmapInfoHeader*>(dib.data());
    const auto* bits = reinterpret_cast<const uint8_t*>(dib.data()) + sizeof(BitmapInfoHeader);
    Surface surface(800, 600);
    DeviceContext dc(surface);
    for (auto _ : state) {
        SetDIBitsToDevice(dc, 80, 60, 640, 480, 0, 0, 0, 480, bits, info, ColourUse::Colours);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SetDIBitsToDevice640x480)->Unit(benchmark::kMillisecond);

void BM_HalftoneStretch1500x1125To640x480(benchmark::State& state) {
    Surface surface(640, 480);
    DrawStretched(state, surface, 1500, 1125);
}
BENCHMARK(BM_HalftoneStretch1500x1125To640x480)->Unit(benchmark::kMillisecond);

void BM_HalftoneStretch1500x1125To640x480OnPaletteDisplay(benchmark::State& state) {
    Surface surface(640, 480, nullptr);
    DrawStretched(state, surface, 1500, 1125);
}
BENCHMARK(BM_HalftoneStretch1500x1125To640x480OnPaletteDisplay)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivoly::platform
