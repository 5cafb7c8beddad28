// A whole capture from the simulated digitizer: power-up, delay calibration, the capture passes
// of one quality and the read-out, as the decoder drives them. The counters give the simulated
// device time (one microsecond a port access), which is what the hardware would take.
#include <benchmark/benchmark.h>

#include "capture/parallel_port_device.h"
#include "decode/yuv_image.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_rig.h"

namespace kivoly {
namespace {

void BM_SimulatedCapture(benchmark::State& state) {
    const int quality = static_cast<int>(state.range(0));
    sim::SimulatedRig rig;
    const KivoGrabInfo info{quality, 1, 1, 1, -1, 1, 1, 0};
    double deviceSeconds = 0;
    int64_t accesses = 0;
    for (auto _ : state) {
        // Each round starts from a powered-down device, as a capture of the program does.
        ParallelPortDevice device(0);
        YuvImage store(info, nullptr);
        const int64_t startUs = rig.NowUs();
        const int64_t startAccesses = rig.port.Accesses();
        if (device.TryPort(1) == 0 || store.Decode(info, nullptr, nullptr, &device) != DecodeOk) {
            state.SkipWithError("the capture failed");
            break;
        }
        deviceSeconds = (rig.NowUs() - startUs) / 1e6;
        accesses = rig.port.Accesses() - startAccesses;
        device.PowerDownFully();
    }
    state.counters["device_s"] = deviceSeconds;
    state.counters["port_accesses"] = static_cast<double>(accesses);
}
BENCHMARK(BM_SimulatedCapture)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivoly
