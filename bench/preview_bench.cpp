// The simulated digitizer's live preview through the library, paced to the device's frame rate
// as the program shows it (argument 1) or as fast as it can be simulated (argument 0). The time
// column is real time per ten frames, the CPU column the processor's: their ratio is the share
// of a core that the preview keeps busy.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "kivoly/kivoly.h"
#include "platform/process_state.h"
#include "sim/simulated_rig.h"

namespace kivoly {
namespace {

constexpr int kFrames = 10;
int gFramesLeft = 0;

int32_t CountFrame() {
    return --gFramesLeft > 0 ? 1 : 0;
}

void SimulatedPreview(benchmark::State& state) {
    // The settings of no user: the device on the first port, as the simulated one hangs.
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "kivoly-bench-home";
    std::filesystem::create_directories(home);
    setenv("KIVOLY_HOME", home.c_str(), 1);
    sim::SimulatedRig rig;
    if (state.range(0) != 0) rig.clock.PaceWithRealTime();
    KivoGrabber* handle = KivoAlloc();
    KivoSetCallback(handle, KivoCallbackPreviewFrame, &CountFrame);
    for (auto _ : state) {
        gFramesLeft = kFrames;
        if (KivoStartPreviewing(handle) != 1) {
            state.SkipWithError("the preview did not start");
            break;
        }
    }
    KivoFree(handle);
    ResetProcessState();
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.SetLabel(state.range(0) != 0 ? "paced" : "as fast as simulated");
}
BENCHMARK(SimulatedPreview)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivoly
