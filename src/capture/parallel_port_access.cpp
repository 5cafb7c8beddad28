// The register layer of the device: the shadow word, repeated register accesses for slow ports,
// the device-present handshake, the sample handshake and the choice of the access delay.
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "capture/parallel_port_device.h"
#include "platform/port_io.h"

namespace kivoly {

namespace {
constexpr uint16_t kData = 0;
constexpr uint16_t kStatus = 1;
constexpr uint16_t kControl = 2;
constexpr uint16_t kExtendedControl = 0x402;
}  // namespace

uint16_t PortBaseForNumber(uint16_t number) {
    uint16_t base = 0;
    switch (number) {
        case 1:
            base = 0x378;
            break;
        case 2:
            base = 0x278;
            break;
        case 3:
            base = 0x3BC;
            break;
        default:
            break;
    }
    return IsValidPortBase(base) ? base : 0;
}

bool IsValidPortBase(uint16_t base) {
    return base >= 0x100 && base <= 0x3FF && base % 4 == 0;
}

uint8_t ParallelPortDevice::ReadPort(uint16_t address) {
    platform::PortIo& io = platform::CurrentPortIo();
    uint8_t value = 0;
    for (int i = Repeats(); i > 0; --i)
        value = io.In(address);
    return value;
}

void ParallelPortDevice::WritePort(uint16_t address, uint8_t value) {
    platform::PortIo& io = platform::CurrentPortIo();
    for (int i = Repeats(); i > 0; --i)
        io.Out(address, value);
}

uint16_t ParallelPortDevice::SetLines(uint16_t value, uint16_t mask) {
    if (mask == 0 || portBase_ == 0) return lineShadow_;
    const uint16_t old = lineShadow_;
    lineShadow_ = ((old & ~mask) | (value & mask)) & 0xFF1F;
    const uint16_t changed = lineShadow_ ^ old;
    if (changed & 0xFF00) {
        // D3 belongs to nobody: keep whatever level the port has unless the caller sets it.
        if (!(mask & LineD3)) {
            const uint8_t data = ReadPort(portBase_ + kData);
            lineShadow_ = (lineShadow_ & ~LineD3) | ((data & 0x08) << 8);
        }
        WritePort(portBase_ + kData, static_cast<uint8_t>(lineShadow_ >> 8));
    }
    if (changed & 0x001F) WritePort(portBase_ + kControl, static_cast<uint8_t>(lineShadow_));
    return lineShadow_;
}

void ParallelPortDevice::SetPort(uint16_t base) {
    if (base != portBase_) {
        ioDelay_ = -1;
        delayCalibrated_ = false;
    }
    portBase_ = base;
    if (base != 0) TakeOverLines();
}

void ParallelPortDevice::TakeOverLines() {
    lineShadow_ = static_cast<uint16_t>((ReadPort(portBase_ + kData) << 8) |
                                        (ReadPort(portBase_ + kControl) & 0x0F));
    const uint16_t saved = lineShadow_;
    if (lineShadow_ & LineC3) {
        // Powered down, or left running by someone who powered it down without losing it.
        SetLines(0, LineC3);
        if (ProbeDevice()) {
            powerState_ = 2;
        } else {
            SetLines(saved, LineD7 | LineD6 | LineD4 | LineC3);
        }
    }
}

bool ParallelPortDevice::ProbeDevice() {
    if (portBase_ == 0) return false;
    SetLines(LineD7 | LineD6, LineD7 | LineD6 | LineD4);
    const bool first = (ReadPort(portBase_ + kStatus) & 0xA0) == 0x20;
    SetLines(LineD4, LineD4);
    const bool second = (ReadPort(portBase_ + kStatus) & 0xA0) == 0x80;
    return first && second;
}

void ParallelPortDevice::EcpByteMode() {
    const uint8_t ecr = ReadPort(portBase_ + kExtendedControl);
    if ((ecr & 0x03) != 0x01 || (ecr & 0xE0) == 0x20) return;
    // A port without an extended control register may mirror the control register there.
    const uint8_t control = ReadPort(portBase_ + kControl);
    if ((control & 0x03) != (ecr & 0x03)) WritePort(portBase_ + kExtendedControl, ecr | 0x20);
}

// The device presents a sample's bits 7, 5, 4 and 3 while D6 is high and bits 6, 2, 1 and 0
// while it is low, each on the status bit of the same weight except bit 6, which comes on status
// bit 7. The arithmetic shift of the second read brings status bit 7 down to sample bit 6 and
// status bits 5, 4, 3 down to sample bits 2, 1, 0.
static inline uint8_t CombineSample(uint8_t high, uint8_t low) {
    return static_cast<uint8_t>((high & 0xB8) | ((static_cast<int8_t>(low) >> 3) & 0x47));
}

uint8_t ParallelPortDevice::ClockSample(bool keep) {
    if (ioDelay_ <= 0) {
        platform::PortIo& io = platform::CurrentPortIo();
        const uint8_t low = static_cast<uint8_t>(lineShadow_ >> 8) & ~0x40;
        io.Out(portBase_ + kData, low | 0x40);
        const uint8_t a = keep ? io.In(portBase_ + kStatus) : 0;
        io.Out(portBase_ + kData, low);
        const uint8_t b = keep ? io.In(portBase_ + kStatus) : 0;
        return CombineSample(a, b);
    }
    lineShadow_ |= LineD6;
    WritePort(portBase_ + kData, static_cast<uint8_t>(lineShadow_ >> 8));
    const uint8_t a = keep ? ReadPort(portBase_ + kStatus) : 0;
    lineShadow_ &= ~LineD6;
    WritePort(portBase_ + kData, static_cast<uint8_t>(lineShadow_ >> 8));
    const uint8_t b = keep ? ReadPort(portBase_ + kStatus) : 0;
    return CombineSample(a, b);
}

void ParallelPortDevice::Read(uint8_t* buffer, uint16_t count) {
    SetBytesRemaining(BytesRemaining() - count);
    if (portBase_ == 0) return;
    if (ioDelay_ <= 0) {
        // The fast path: the two data bytes are prepared once, no repeats, no shadow updates.
        SetLines(0, LineD6);
        platform::PortIo& io = platform::CurrentPortIo();
        const uint16_t data = portBase_ + kData;
        const uint16_t status = portBase_ + kStatus;
        const uint8_t low = static_cast<uint8_t>(lineShadow_ >> 8);
        const uint8_t high = low | 0x40;
        if (buffer) {
            for (uint16_t i = 0; i < count; ++i) {
                io.Out(data, high);
                const uint8_t a = io.In(status);
                io.Out(data, low);
                const uint8_t b = io.In(status);
                buffer[i] = CombineSample(a, b);
            }
        } else {
            for (uint16_t i = 0; i < count; ++i) {
                io.Out(data, high);
                io.Out(data, low);
            }
        }
    } else {
        for (uint16_t i = 0; i < count; ++i) {
            const uint8_t sample = ClockSample(buffer != nullptr);
            if (buffer) buffer[i] = sample;
        }
    }
    AddFieldFlags(ReadPort(portBase_ + kStatus) & DeviceAlarm);
}

int16_t ParallelPortDevice::CalibrateIODelay() {
    if (ioDelay_ >= 0) {
        delayCalibrated_ = true;
        return ioDelay_;
    }
    ioDelay_ = 0;
    if (!Power(true)) return 0;
    delayCalibrated_ = true;
    ioDelay_ = 0;
    SetSampleRate(1);
    SetSyncWait(true);
    SetSyncWait(false);
    if (!AcquireField()) {
        delayCalibrated_ = false;
        return 0;
    }
    constexpr uint16_t kProbeSamples = 256;
    std::array<uint8_t, kProbeSamples> first{};
    std::array<uint8_t, kProbeSamples> second{};
    uint8_t* p = first.data();
    uint8_t* q = second.data();
    auto readAt = [&](uint8_t* into) {
        Rewind();
        Read(nullptr, 100);
        Read(into, kProbeSamples);
    };
    auto same = [&] { return std::memcmp(p, q, kProbeSamples) == 0; };
    readAt(q);  // the reference, at delay 0

    // Raise the delay until two readings agree, then check that they still agree one step
    // lower: the result is the smallest delay at which the read-out is stable.
    ioDelay_ = -1;
    for (;;) {
        ioDelay_ += 1;
        for (;;) {
            ioDelay_ += 1;
            readAt(p);
            if (std::all_of(p, p + kProbeSamples, [&](uint8_t v) { return v == p[0]; })) {
                q[0] = p[0] == 0 ? 1 : 0;  // a flat reading never counts as a match
            }
            std::swap(p, q);
            if (same() || ioDelay_ >= 5) break;
        }
        ioDelay_ -= 1;
        readAt(p);
        std::swap(p, q);
        if (same() || ioDelay_ >= 5) break;
    }
    return ioDelay_;
}

}  // namespace kivoly
