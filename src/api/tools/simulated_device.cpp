// The simulated digitizer as the program drives it, and what the program asks of a device.
#include "api/grabber.h"
#include "capture/video_source.h"
#include "kivoly/tools.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_faults.h"
#include "sim/simulated_rig.h"

namespace kivoly::tools {

namespace {
// The device status bit that reports a low battery.
constexpr uint16_t kBatteryLowBit = 0x0100;
}  // namespace

const std::vector<FaultName>& SimulatedFaultNames() {
    static const std::vector<FaultName> names = [] {
        std::vector<FaultName> list;
        for (const sim::FaultName& fault : sim::FaultNames())
            list.push_back({fault.name, fault.description});
        return list;
    }();
    return names;
}

bool IsSimulatedFault(const std::string& name) {
    sim::SimulatedFaults check;
    return sim::ApplyFault(name, &check);
}

struct SimulatedDevice::Rig {
    explicit Rig(std::unique_ptr<sim::VideoSignal> signal) : rig(std::move(signal)) {}
    sim::SimulatedRig rig;
};

SimulatedDevice::SimulatedDevice(std::unique_ptr<Rig> rig) : rig_(std::move(rig)) {}
SimulatedDevice::~SimulatedDevice() = default;

std::unique_ptr<SimulatedDevice> SimulatedDevice::Open(const std::string& picture,
                                                       const std::vector<std::string>& faults,
                                                       std::string& error) {
    std::unique_ptr<sim::VideoSignal> signal;
    if (picture.empty()) {
        signal = sim::EncodedSignal::ColourBarSignal();
    } else {
        // The reason names the file.
        signal = sim::EncodedSignal::FromFile(picture, error);
        if (!signal) return nullptr;
    }
    auto rig = std::make_unique<Rig>(std::move(signal));
    sim::SimulatedFaults chosen;
    for (const std::string& name : faults)
        sim::ApplyFault(name, &chosen);
    rig->rig.device.SetFaults(chosen);
    return std::unique_ptr<SimulatedDevice>(new SimulatedDevice(std::move(rig)));
}

int64_t SimulatedDevice::NowUs() const {
    return rig_->rig.NowUs();
}

void SimulatedDevice::PaceWithRealTime() {
    rig_->rig.clock.PaceWithRealTime();
}

bool BatteryLow(KivoGrabber* grabber) {
    const Grabber* object = Grabber::From(grabber);
    return object && object->Source() &&
           (object->Source()->ReadStatus(kBatteryLowBit) & kBatteryLowBit) != 0;
}

}  // namespace kivoly::tools
