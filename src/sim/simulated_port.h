// SimulatedPort: the port I/O back end of the simulated digitizer. It holds the registers of
// the three standard parallel ports (LPT1 to LPT3: a data latch that reads back what was
// written, a control register, and, when asked for, an extended control register in standard
// mode), hangs the digitizer on one of them, and charges every register access to the virtual
// clock, so that device waits run in simulated time.
//
// A slow port (the slow-port fault) is modelled at the status lines: after the device's output
// changes they need 2 D - 1 further port accesses to settle (D the fault's delay), and a read
// before that sees the changing bits at random; reading with D repeats of every access is just
// enough. Every access can be recorded for register-level checks.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "platform/clock.h"
#include "platform/port_io.h"
#include "sim/simulated_digitizer.h"

namespace kivoly::sim {

struct PortAccess {
    uint16_t address;
    uint8_t value;
    bool write;
};

class SimulatedPort : public platform::PortIo {
  public:
    // The digitizer hangs on port `devicePort` (1 to 3). Neither argument is owned.
    SimulatedPort(SimulatedDigitizer& device, platform::VirtualClock& clock, int devicePort = 1);

    uint8_t In(uint16_t address) override;
    void Out(uint16_t address, uint8_t value) override;
    intptr_t Claim(int number) override;
    void Release(intptr_t handle) override;

    void SetEcp(bool ecp);
    // Makes `number` fail to claim, as a port that another program holds.
    void SetPortBusy(int number, bool busy) { busy_[number - 1] = busy; }
    void SetRecording(bool on) { recording_ = on; }

    int64_t Accesses() const { return accesses_; }
    const std::vector<PortAccess>& Log() const { return log_; }
    bool Claimed(int number) const { return claimed_[number - 1]; }
    uint8_t DataRegister(int number) const { return data_[number - 1]; }
    uint8_t ControlRegister(int number) const { return control_[number - 1]; }
    uint8_t ExtendedControl(int number) const { return ecr_[number - 1]; }

  private:
    int PortOf(uint16_t address, uint16_t* offset) const;
    void Tick(uint16_t address, uint8_t value, bool write);
    uint8_t DeviceStatus();

    SimulatedDigitizer& device_;
    platform::VirtualClock& clock_;
    int devicePort_;
    int64_t accesses_ = 0;
    bool ecp_ = false;
    uint8_t data_[3] = {};
    uint8_t control_[3] = {0x0C, 0x0C, 0x0C};  // as a port comes up: device unpowered
    uint8_t ecr_[3] = {0x15, 0x15, 0x15};
    bool claimed_[3] = {};
    bool busy_[3] = {};
    bool recording_ = false;
    std::vector<PortAccess> log_;
    // Settling of the status lines.
    uint8_t settledStatus_ = 0;
    uint8_t previousStatus_ = 0;
    int64_t statusChangedAt_ = 0;
    std::minstd_rand random_{777};
};

}  // namespace kivoly::sim
