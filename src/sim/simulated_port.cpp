#include "sim/simulated_port.h"

namespace kivoly::sim {

namespace {
// Every port access takes a microsecond of the virtual clock.
constexpr int64_t kAccessCostUs = 1;
}  // namespace

SimulatedPort::SimulatedPort(SimulatedDigitizer& device, platform::VirtualClock& clock,
                             int devicePort)
    : device_(device), clock_(clock), devicePort_(devicePort) {}

void SimulatedPort::SetEcp(bool ecp) {
    ecp_ = ecp;
}

int SimulatedPort::PortOf(uint16_t address, uint16_t* offset) const {
    for (int i = 0; i < 3; ++i) {
        const uint16_t base = platform::StandardPortBase(i + 1);
        if (address >= base && address <= base + 2) {
            *offset = address - base;
            return i;
        }
        if (address == base + 0x402) {
            *offset = 0x402;
            return i;
        }
    }
    return -1;
}

void SimulatedPort::Tick(uint16_t address, uint8_t value, bool write) {
    ++accesses_;
    clock_.AdvanceUs(kAccessCostUs);
    if (recording_) log_.push_back({address, value, write});
}

uint8_t SimulatedPort::DeviceStatus() {
    const uint8_t now = device_.Status(clock_.NowUs());
    if (now != settledStatus_) {
        previousStatus_ = settledStatus_;
        settledStatus_ = now;
        statusChangedAt_ = accesses_;
    }
    const int delay = device_.Faults().slowPortDelay;
    if (delay > 0 && accesses_ - statusChangedAt_ < 2 * delay - 1) {
        const uint8_t moving = now ^ previousStatus_;
        return static_cast<uint8_t>(now ^ (random_() & moving));
    }
    return now;
}

uint8_t SimulatedPort::In(uint16_t address) {
    uint16_t offset = 0;
    const int port = PortOf(address, &offset);
    uint8_t value = 0xFF;
    if (port >= 0) {
        if (offset == 0) {
            value = data_[port];
        } else if (offset == 1) {
            value = port + 1 == devicePort_ ? 0 : 0x7F;
        } else if (offset == 2) {
            value = static_cast<uint8_t>((control_[port] & 0x1F) | 0xE0);
        } else if (ecp_) {
            value = ecr_[port];
        }
    }
    Tick(address, value, false);
    if (port >= 0 && offset == 1 && port + 1 == devicePort_) {
        value = DeviceStatus();
        if (recording_) log_.back().value = value;
    }
    return value;
}

void SimulatedPort::Out(uint16_t address, uint8_t value) {
    uint16_t offset = 0;
    const int port = PortOf(address, &offset);
    Tick(address, value, true);
    if (port < 0) return;
    if (offset == 0) {
        data_[port] = value;
    } else if (offset == 2) {
        control_[port] = value;
    } else if (offset == 0x402) {
        if (ecp_) ecr_[port] = value;
        return;
    } else {
        return;
    }
    if (port + 1 == devicePort_) {
        device_.Lines(data_[port], control_[port], clock_.NowUs());
        DeviceStatus();  // the output may start to change now
    }
}

intptr_t SimulatedPort::Claim(int number) {
    if (number < 1 || number > 3 || claimed_[number - 1] || busy_[number - 1]) return -1;
    claimed_[number - 1] = true;
    return number;
}

void SimulatedPort::Release(intptr_t handle) {
    if (handle >= 1 && handle <= 3) claimed_[handle - 1] = false;
}

}  // namespace kivoly::sim
