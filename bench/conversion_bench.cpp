// Conversion speed: one decoded picture into a 24-bit bitmap at each output size, with and
// without adjustments; the per-pixel kernels against their scalar forms.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "capture/memory_raw_source.h"
#include "capture/raw_capture_file.h"
#include "decode/internal/half_sample_kernel.h"
#include "decode/yuv_image.h"
#include "output/conversion_kernels.h"
#include "output/internal/colour_tables.h"
#include "output/packed_dib.h"
#include "output/rgb_conversion.h"
#include "sim/capture_sequence.h"
#include "sim/colour_bars.h"
#include "sim/ntsc_encoder.h"

namespace kivoly {
namespace {

std::unique_ptr<YuvImage> TestPicture(bool twoFields) {
    auto yuv = std::make_unique<YuvImage>(kSampleWidth, twoFields ? 484 : 242, twoFields, false, 0);
    for (int line = 0; line < yuv->lineCount; ++line) {
        uint8_t* samples = yuv->lineTable.Line(line);
        for (int x = 0; x < kSampleWidth; ++x) {
            samples[x] = static_cast<uint8_t>(76 + (x * 3 + line * 5) % 150);
            samples[kSampleWidth + x] =
                static_cast<uint8_t>(static_cast<int8_t>((x + line) % 120 - 60));
        }
    }
    yuv->medianLevel = 140;
    yuv->whiteLevel = 224;
    return yuv;
}

void ConvertPicture(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = width * 3 / 4;
    const bool adjusted = state.range(1) != 0;
    auto yuv = TestPicture(width > 320);
    KivoProcessInfo info = {};
    info.Width = width;
    info.Height = height;
    info.ColorCount = 16777216;
    if (adjusted) {
        info.Hue = 5;
        info.Color = 10;
        info.Brightness = 4;
        info.Contrast = 6;
        info.Sharpness = 20;
        info.Gamma = 10;
    }
    const int stride = DibStride(24, width);
    std::vector<uint8_t> bitmap(static_cast<size_t>(stride) * height);
    for (auto _ : state) {
        PrepareConversion(*yuv, info);
        for (int row = 0; row < height; ++row) {
            ConvertRow(*yuv, bitmap.data() + static_cast<size_t>(stride) * (height - 1 - row), row,
                       false);
        }
        benchmark::DoNotOptimize(bitmap.data());
    }
    state.SetLabel(adjusted ? "adjusted" : "plain");
}
BENCHMARK(ConvertPicture)->ArgsProduct({{320, 640, 1500}, {0, 1}})->Unit(benchmark::kMillisecond);

// The whole road of one capture: raw samples in memory, decoded at the benchmark's quality and
// converted into a 640 x 480 bitmap.
void RawToBitmap(benchmark::State& state) {
    const int quality = static_cast<int>(state.range(0));
    const sim::NtscEncoder encoder(sim::ColourBars(640, 480));
    std::vector<uint8_t> nsr;
    for (const sim::CaptureRecord& record : sim::EncodeCaptureRecords(encoder, quality)) {
        AppendRawRecord(nsr, record.fieldFlags, record.samples);
    }
    KivoGrabInfo grabInfo = {};
    grabInfo.Quality = quality;
    grabInfo.UseColor = 1;
    grabInfo.CameraInput = 1;
    KivoProcessInfo info = {};
    info.Width = 640;
    info.Height = 480;
    info.ColorCount = 16777216;
    YuvImage yuv(grabInfo, nullptr);
    const int stride = DibStride(24, 640);
    std::vector<uint8_t> bitmap(static_cast<size_t>(stride) * 480);
    for (auto _ : state) {
        MemoryRawSource source(nsr);
        if (yuv.Decode(grabInfo, nullptr, nullptr, &source) != DecodeOk) {
            state.SkipWithError("the capture did not decode");
            break;
        }
        PrepareConversion(yuv, info);
        for (int row = 0; row < 480; ++row) {
            ConvertRow(yuv, bitmap.data() + static_cast<size_t>(stride) * (479 - row), row, false);
        }
        benchmark::DoNotOptimize(bitmap.data());
    }
}
BENCHMARK(RawToBitmap)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// The per-pixel kernels on one row, chosen for this processor (argument 1) or in their scalar
// reference form (argument 0).
void ConversionKernels(benchmark::State& state) {
    const bool fast = state.range(0) != 0;
    const int width = 1500;
    std::vector<uint8_t> luma(kSampleWidth * 2 + 4), half(kSampleWidth), pixels(3 * width);
    std::vector<int8_t> chroma(kSampleWidth * 2 + 4);
    for (size_t i = 0; i < luma.size(); ++i) {
        luma[i] = static_cast<uint8_t>(76 + i * 7 % 150);
        chroma[i] = static_cast<int8_t>(i * 13 % 200 - 100);
    }
    std::vector<uint64_t> packed(kWorkLineBytes);
    const kernels::PixelTables& tables = SharedColourTables().pixelTables;
    for (auto _ : state) {
        if (fast) {
            kernels::HalfSampleRow(luma.data(), half.data());
            kernels::PackRow(luma.data() + 2, chroma.data() + 2, 1472, packed.data());
            kernels::ResolvePixels(packed.data(), width, 1, tables, pixels.data());
        } else {
            kernels::reference::HalfSampleRow(luma.data(), half.data());
            kernels::reference::PackRow(luma.data() + 2, chroma.data() + 2, 1472, packed.data());
            kernels::reference::ResolvePixels(packed.data(), width, 1, tables, pixels.data());
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::DoNotOptimize(half.data());
    }
    state.SetLabel(fast ? "vectorised" : "scalar");
}
BENCHMARK(ConversionKernels)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kivoly
