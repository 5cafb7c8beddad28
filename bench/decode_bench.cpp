// Decode of an in-memory raw capture, per quality: the whole capture-pass road from the raw
// records to the decoded picture (sync search, alignment, frame comb or single-frame decoder,
// field interpolation), without the disk.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "capture/memory_raw_source.h"
#include "capture/raw_capture_file.h"
#include "decode/yuv_image.h"
#include "sim/capture_sequence.h"
#include "sim/colour_bars.h"
#include "sim/ntsc_encoder.h"
#include "sim/picture_file.h"

namespace {

using namespace kivoly;

// The photograph of the tests, by the path the build gives (a path taken from the source file's
// name is relative under a compiler cache, and would find the photograph only from one folder),
// or the bars when it cannot be read.
sim::Picture BenchPicture() {
    sim::Picture picture;
    std::string error;
    if (!sim::ReadPicture(KIVOLY_PHOTOGRAPH, picture, error)) picture = sim::ColourBars();
    return picture;
}

std::vector<uint8_t> Capture(int quality) {
    static const sim::NtscEncoder encoder(BenchPicture());
    std::vector<uint8_t> file;
    for (const sim::CaptureRecord& record : sim::EncodeCaptureRecords(encoder, quality)) {
        AppendRawRecord(file, record.fieldFlags, record.samples);
    }
    return file;
}

void BM_Decode(benchmark::State& state) {
    const int quality = static_cast<int>(state.range(0));
    const std::vector<uint8_t> file = Capture(quality);
    KivoGrabInfo info{};
    info.Quality = quality;
    info.UseColor = 1;
    info.CameraInput = 1;
    YuvImage image(info, nullptr);
    // Decode switches the source off at its end; the next one opens it at its start again.
    MemoryRawSource source(file);
    for (auto _ : state) {
        const DecodeResult result = image.Decode(info, nullptr, nullptr, &source);
        if (result != DecodeOk) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.lineTable.Line(100)[300]);
    }
}
BENCHMARK(BM_Decode)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
