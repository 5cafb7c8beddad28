#include "capture/detected_ports.h"

#include "capture/parallel_port_device.h"

namespace kivoly {

const std::array<uint16_t, kDetectedPortSlots>& DetectedPorts() {
    return Process().detectedPorts;
}

void ForgetDetectedPort(uint16_t base) {
    for (uint16_t& entry : Process().detectedPorts) {
        if (entry == base) entry = 0;
    }
}

void RecordDetectedPort(uint16_t base) {
    ForgetDetectedPort(base);
    for (uint16_t& entry : Process().detectedPorts) {
        if (entry == 0) {
            entry = base;
            return;
        }
    }
}

void PowerDownDetectedPorts() {
    // Powering a device up and down rewrites the table, so walk a copy.
    const std::array<uint16_t, kDetectedPortSlots> recorded = DetectedPorts();
    for (uint16_t base : recorded) {
        if (base == 0) continue;
        ParallelPortDevice device(0);
        if (device.TryPort(base)) device.SetPowerSaver(1);
        device.PowerDownFully();
    }
    Process().detectedPorts.fill(0);
}

}  // namespace kivoly
