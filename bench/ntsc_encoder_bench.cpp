// Speed of the composite encoder: building the frame from a picture, and synthesising the
// captures that a decode reads or that the simulated digitizer fills its memory with.
#include <benchmark/benchmark.h>

#include <vector>

#include "sim/capture_sequence.h"
#include "sim/colour_bars.h"
#include "sim/ntsc_encoder.h"

namespace {

using kivoly::sim::ColourBars;
using kivoly::sim::NtscEncoder;

const NtscEncoder& Encoder() {
    static const NtscEncoder encoder(ColourBars());
    return encoder;
}

void BM_EncodePicture(benchmark::State& state) {
    const auto bars = ColourBars();
    for (auto _ : state) {
        NtscEncoder encoder(bars);
        benchmark::DoNotOptimize(&encoder);
    }
}
BENCHMARK(BM_EncodePicture)->Unit(benchmark::kMillisecond);

// One field capture of 262,144 samples at the given clock.
void BM_CaptureField(benchmark::State& state) {
    const int samplesPerLine = static_cast<int>(state.range(0));
    std::vector<uint8_t> samples(kivoly::sim::kRecordSamples);
    int64_t field = 0;
    for (auto _ : state) {
        Encoder().CaptureField(field++, samplesPerLine, samples);
        benchmark::DoNotOptimize(samples.data());
    }
    state.SetItemsProcessed(state.iterations() * kivoly::sim::kRecordSamples);
}
BENCHMARK(BM_CaptureField)->Arg(910)->Arg(908)->Arg(455)->Unit(benchmark::kMillisecond);

// All eight captures of the finest quality.
void BM_CaptureQuality3(benchmark::State& state) {
    for (auto _ : state) {
        auto records = kivoly::sim::EncodeCaptureRecords(Encoder(), 3);
        benchmark::DoNotOptimize(records.data());
    }
}
BENCHMARK(BM_CaptureQuality3)->Unit(benchmark::kMillisecond);

}  // namespace
