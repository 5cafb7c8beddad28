// Detection, configuration and power of the device, the lock time after power-up, the sampling
// and termination switches, and the multiplexed status word.
#include <algorithm>

#include "capture/detected_ports.h"
#include "capture/internal/configuration_image.h"
#include "capture/internal/device_deadline.h"
#include "capture/parallel_port_device.h"

namespace kivoly {

namespace {
constexpr uint16_t kData = 0;
constexpr uint16_t kStatus = 1;
constexpr uint16_t kControl = 2;
constexpr int kConfigurationAttempts = 8;
constexpr double kResetSeconds = 0.033;
constexpr double kTerminationSettleSeconds = 0.1;

// The clock line of each configuration method, in the order they are tried. The device is
// clocked on the change from the idle to the active level.
struct ClockMethod {
    uint16_t line;    // in the shadow word
    bool onData;      // data register (else control register)
    bool activeHigh;  // register level of the active edge
};
constexpr ClockMethod kClockMethods[4] = {
    {LineC1, false, true},
    {LineD6, true, false},
    {LineD5, true, false},
    {LineD7, true, true},
};

// The device echoes the stream one clock late on status bit 3. The echo is only defined in
// bytes 1 to 3 (the header) and in the bytes 3 to 24 bytes before the end (the start-up frame).
constexpr bool EchoChecked(std::size_t index) {
    const std::size_t after = kConfigurationImageSize - 1 - index;
    return (index >= 1 && index <= 3) || (after >= 3 && after <= 24);
}
}  // namespace

ParallelPortDevice::ParallelPortDevice(uint16_t base) : VideoSource(true) {
    lockDeadline_ = platform::NowMs() + 2;
    ArmLockDeadline(Deadline(lockTime_));
    SetPort(base);
}

void ParallelPortDevice::ArmLockDeadline(int32_t deadline) {
    lockDeadline_ = LaterOf(lockDeadline_, deadline);
}

void ParallelPortDevice::WaitForLock() {
    WaitUntil(lockDeadline_);
}

void ParallelPortDevice::SetLockTime(double seconds) {
    if (seconds > 0.3 && seconds < 2.0) lockTime_ = seconds;
}

bool ParallelPortDevice::IsReady() {
    return powerState_ == 2 && IsPast(lockDeadline_);
}

uint16_t ParallelPortDevice::TryPort(uint16_t port) {
    const uint16_t previous = portBase_;
    const uint16_t base = port <= 4 ? PortBaseForNumber(port) : port;
    if (base == 0 || !IsValidPortBase(base)) {
        SetPort(previous);
        return 0;
    }
    portBase_ = base;
    EcpByteMode();

    const uint8_t d0 = ReadPort(base + kData);
    const uint8_t control = ReadPort(base + kControl);
    uint8_t restore = control & 0x1F;
    WritePort(base + kControl, control & 0x17);  // C3 = 0: device power on
    if (ReadPort(base + kControl) & 0x08) restore &= ~0x08;
    // A port in reverse mode does not hold what is written to its data register.
    const uint8_t d1 = ReadPort(base + kData);
    if (d1 != d0) {
        restore |= 0x20;
    } else {
        WritePort(base + kData, d0);
        if (ReadPort(base + kData) != d0) restore |= 0x20;
    }
    TakeOverLines();
    if (Power(true)) return portBase_;
    WritePort(base + kControl, restore);
    SetPort(previous);
    return 0;
}

uint16_t ParallelPortDevice::FindDevice() {
    constexpr uint16_t kCandidates[] = {1, 2, 3, 0x378, 0x278, 0x3BC};
    powerState_ = 0;
    portBase_ = 0;
    for (uint16_t candidate : kCandidates) {
        if (TryPort(candidate) != 0) {
            TakeOverLines();
            return portBase_;
        }
    }
    lineShadow_ = 0;
    return 0;
}

bool ParallelPortDevice::SendImage(uint16_t clockLine, bool clockOnData, uint8_t activeHigh) {
    const uint16_t control = portBase_ + kControl;
    const uint16_t data = portBase_ + kData;
    const uint8_t clockBit =
        clockOnData ? static_cast<uint8_t>(clockLine >> 8) : static_cast<uint8_t>(clockLine);
    int previousBit = 0;
    for (std::size_t index = 0; index < kConfigurationImageSize; ++index) {
        const uint8_t byte = kConfigurationImage[index];
        const bool checked = EchoChecked(index);
        for (int shift = 7; shift >= 0; --shift) {
            const int bit = (byte >> shift) & 1;
            lineShadow_ = (lineShadow_ & ~LineC2) | (bit ? LineC2 : 0);
            const uint8_t controlByte = static_cast<uint8_t>(lineShadow_);
            WritePort(control, controlByte);
            const uint16_t address = clockOnData ? data : control;
            const uint8_t idle = clockOnData ? static_cast<uint8_t>(lineShadow_ >> 8) : controlByte;
            const uint8_t active = activeHigh ? (idle | clockBit) : (idle & ~clockBit);
            WritePort(address, active);
            WritePort(address, idle);
            const uint8_t status = ReadPort(portBase_ + kStatus);
            if (checked && ((status >> 3) & 1) != previousBit) return false;
            previousBit = bit;
        }
    }
    return true;
}

bool ParallelPortDevice::Configure() {
    for (int attempt = 0;;) {
        SetLines(0, LineD2);  // configuration reset
        SetLines(0xFFF7, LineC3);
        WaitUntil(Deadline(kResetSeconds));
        const ClockMethod& method = kClockMethods[attempt % 4];
        // D7 = 1, D6 = 0, D5 = 0, C1 = 1, except the clock line, which goes to its idle level.
        SetLines(method.line ^ (LineD7 | LineC1), LineD7 | LineD6 | LineD5 | LineC1);
        SetLines(LineD2, LineD2);
        if (SendImage(method.line, method.onData, method.activeHigh) && ProbeDevice()) {
            return true;
        }
        if (++attempt == kConfigurationAttempts) return false;
        if (attempt % 2 == 0) ioDelay_ += 2;
    }
}

bool ParallelPortDevice::Power(int32_t on) {
    if (!on) {
        if (portBase_ == 0) return false;
        if (PowerSaver()) {
            powerState_ = 1;
            // The device loses its configuration and its power.
            SetLines(0x000F, 0xF60E);
        } else {
            SetLines(0x0407, 0xF60E);
        }
        ForgetDetectedPort(portBase_);
        if (powerState_ == 2) RecordDetectedPort(portBase_);
        return powerState_ == 2;
    }

    if (portBase_ == 0 && FindDevice() == 0) return false;
    powerState_ = 1;
    TakeOverLines();
    if (powerState_ != 2) {
        // The port must hold what is written to its data register.
        const uint8_t d = ReadPort(portBase_ + kData);
        WritePort(portBase_ + kData, d ^ 0x08);
        const bool holds = ReadPort(portBase_ + kData) == (d ^ 0x08);
        WritePort(portBase_ + kData, d);
        if (!holds) return false;

        const int16_t savedDelay = ioDelay_;
        ioDelay_ = 0;
        if (!ProbeDevice() && !Configure()) {
            ioDelay_ = savedDelay;
            Power(false);
            return false;
        }
        ioDelay_ = savedDelay;
        powerState_ = 2;
        ArmLockDeadline(Deadline(lockTime_));
    }
    RecordDetectedPort(portBase_);
    SetSyncWait(true);
    SetSampleRate(0);
    SetAltLineLength(false);
    EndReadout();
    return true;
}

void ParallelPortDevice::PowerDownFully() {
    SetPowerSaver(true);
    Power(false);
}

void ParallelPortDevice::SetSampleRate(int16_t mode) {
    SetLines(mode != 0 ? LineD1 : 0, LineD1);
    const uint16_t n = (lineShadow_ & LineD5) ? kAltSamplesPerLine : kSamplesPerLine;
    if (mode == 0) {
        SetSamplesPerLine(n);
    } else if (mode == 1) {
        SetSamplesPerLine(n / 2);
    } else if (mode == 3) {
        SetSamplesPerLine(192);
    }
}

void ParallelPortDevice::SetAltLineLength(int32_t on) {
    SetLines(on ? LineD5 : 0, LineD5);
    SetSamplesPerLine(static_cast<uint16_t>((on ? kAltSamplesPerLine : kSamplesPerLine) /
                                            ((lineShadow_ & LineD1) ? 2 : 1)));
}

void ParallelPortDevice::SetTermination(int32_t on) {
    SetLines(on ? LineD0 : 0, LineD0);
    ArmLockDeadline(Deadline(kTerminationSettleSeconds));
}

uint16_t ParallelPortDevice::ReadStatus(uint16_t mask) {
    if (portBase_ == 0) return 0;
    const uint16_t status = portBase_ + kStatus;
    if (mask == DeviceAlarm) return ReadPort(status) & 0x40;
    // During a read-out the select lines must not move: answer from the cache.
    if (!((!ReadoutActive() && powerState_ == 2) || (mask & 0x0001))) return cachedStatus_;

    constexpr uint16_t kSelect = LineD7 | LineD6 | LineD4 | LineC0;
    const uint16_t remembered = SetLines(0, 0);
    uint16_t word = 0;
    if (mask & 0xEE00) {
        SetLines(LineD6, LineD6);
        SetLines(LineD7 | LineD6 | LineC0, kSelect);
        const uint8_t s = ReadPort(status);
        word |= static_cast<uint16_t>((s & 0xEE) << 8);
    }
    if (mask & 0x1000) {
        SetLines(LineD7 | LineD6 | LineD4 | LineC0, kSelect);
        word |= static_cast<uint16_t>((ReadPort(status) & 0x10) << 8);
    }
    if (mask & 0x0100) {
        SetLines(LineD7 | LineD6, kSelect);
        word |= static_cast<uint16_t>((ReadPort(status) & 0x10) << 4);
    }
    if (mask & 0x00FF) {
        SetLines(LineD7 | LineC0, kSelect);
        word |= ReadPort(status);
    }
    SetLines(remembered, static_cast<uint16_t>(~LineD3));
    cachedStatus_ = word;
    return word;
}

void ParallelPortDevice::AutoTerminate() {
    if (portBase_ == 0 && FindDevice() == 0) return;
    bool poweredHere = false;
    if (ReadPort(portBase_ + kControl) & 0x08) {
        if (!Power(true)) return;
        poweredHere = true;
    }
    SetSyncWait(false);
    if (AcquireField()) {
        Read(nullptr, 893);
        int high = 0;
        int low = 0;
        for (int line = 0; line < 64; ++line) {
            uint8_t ring[16];
            Read(ring, 16);
            int sum = 0;
            for (uint8_t v : ring)
                sum += v;
            int oldest = 0;
            auto slide = [&] {
                uint8_t next = 0;
                Read(&next, 1);
                sum += next - ring[oldest];
                ring[oldest] = next;
                oldest = (oldest + 1) % 16;
            };
            // Find the sync tip, then leave it.
            for (int taken = 0; sum > 512 && taken < 3640; ++taken)
                slide();
            int minimum = sum;
            // Bounded, so that a flat signal cannot hold the loop.
            for (int taken = 0; sum < minimum + 8 && taken < SamplesPerLine(); ++taken) {
                slide();
                minimum = std::min(minimum, sum);
            }
            Read(nullptr, 79);
            Read(ring, 16);
            int porch = 0;
            for (uint8_t v : ring)
                porch += v;
            if (porch > 1280) {
                ++high;
            } else if (porch - minimum >= 0 && porch - minimum < 640) {
                ++low;
            }
        }
        if (low + 4 < high) {
            SetTermination(true);
        } else if (high + 4 < low) {
            SetTermination(false);
        }
    }
    if (poweredHere) Power(false);
}

}  // namespace kivoly
