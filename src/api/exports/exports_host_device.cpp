// The host's choice of the port back end (kivoly/host.h): the real port through ppdev or
// direct port instructions, nothing, or the simulated digitizer with its video and faults.
#include <cstdlib>
#include <memory>
#include <string>

#include "api/exports/host_device.h"
#include "kivoly/host.h"
#include "platform/port_io.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_faults.h"
#include "sim/simulated_rig.h"

namespace kivoly {
namespace {

constexpr const char* kDefaultDevice = "ppdev:/dev/parport0";

// Never destroyed: at unload the library still powers devices down through the chosen port.
platform::PortIo* gChosenPort = nullptr;
sim::SimulatedRig* gRig = nullptr;
bool gChosen = false;

void Replace(std::unique_ptr<platform::PortIo> port, std::unique_ptr<sim::SimulatedRig> rig) {
    // The old simulation gives the port and the clock back before the new one takes them.
    delete gRig;
    gRig = rig.release();
    platform::ChooseHostPortIo(port.get());
    delete gChosenPort;
    gChosenPort = port.release();
    gChosen = true;
}

std::unique_ptr<platform::PortIo> RealPort(const std::string& text) {
    using namespace platform;
    if (text == "none") return MakeNonePortIo();
    if (text.rfind("ppdev:", 0) == 0 && text.size() > 6) return MakePpdevPortIo(text.substr(6));
    if (text == "direct") return MakeDirectPortIo(0);
    if (text.rfind("direct:", 0) == 0) {
        char* end = nullptr;
        const unsigned long base = std::strtoul(text.c_str() + 7, &end, 0);
        for (int number = 1; number <= 3; ++number) {
            if (end && *end == '\0' && end != text.c_str() + 7 &&
                base == StandardPortBase(number)) {
                return MakeDirectPortIo(static_cast<uint16_t>(base));
            }
        }
    }
    return nullptr;
}

bool Simulate(const char* picture, const char* faultList) {
    sim::SimulatedFaults faults;
    const std::string list = faultList ? faultList : "";
    for (std::size_t at = 0; at < list.size();) {
        std::size_t comma = list.find(',', at);
        if (comma == std::string::npos) comma = list.size();
        const std::string name = list.substr(at, comma - at);
        if (!name.empty() && !sim::ApplyFault(name, &faults)) return false;
        at = comma + 1;
    }
    std::unique_ptr<sim::VideoSignal> signal;
    if (picture && *picture) {
        std::string error;
        signal = sim::EncodedSignal::FromFile(picture, error);
        if (!signal) return false;
    } else {
        signal = sim::EncodedSignal::ColourBarSignal();
    }
    delete gRig;  // one simulation at a time: the port and the clock are the new one's
    gRig = nullptr;
    auto rig = std::make_unique<sim::SimulatedRig>(std::move(signal));
    rig->device.SetFaults(faults);
    Replace(nullptr, std::move(rig));
    return true;
}

bool Choose(const std::string& text) {
    if (text == "sim") return Simulate(nullptr, nullptr);
    if (text.rfind("sim:", 0) == 0) return text.size() > 4 && Simulate(text.c_str() + 4, nullptr);
    std::unique_ptr<platform::PortIo> port = RealPort(text);
    if (!port) return false;
    Replace(std::move(port), nullptr);
    return true;
}

}  // namespace

void EnsureDeviceChosen() {
    // A host that installed a back end of its own (the program's or a test's simulated
    // digitizer) has chosen too.
    if (gChosen || platform::PortIoInstalled()) return;
    const char* named = std::getenv("KIVOLY_DEVICE");
    if (!Choose(named && *named ? named : kDefaultDevice)) Choose("none");
}

}  // namespace kivoly

extern "C" {

int32_t KivolyHostSetDevice(const char* choice) {
    return choice && kivoly::Choose(choice) ? 1 : 0;
}

int32_t KivolyHostUseSimulatedDevice(const char* picture, const char* faults) {
    return kivoly::Simulate(picture, faults) ? 1 : 0;
}
}
