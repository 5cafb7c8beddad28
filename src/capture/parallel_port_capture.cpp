// One capture: the device samples into its own memory of 262,144 bytes from the trigger on, and
// the program reads the memory out afterwards with the sample handshake; the two never overlap.
// With D7 = 1 (command mode) status bit 6 says the capture has finished; with D7 = 0 (read-out
// mode) it is the device's alarm and D6 cycles clock samples out.
#include <cstring>

#include "capture/internal/device_deadline.h"
#include "capture/parallel_port_device.h"

namespace kivoly {

namespace {
constexpr uint16_t kStatus = 1;
constexpr uint16_t kControl = 2;
constexpr uint16_t kRewindClocks = 100;
constexpr double kCaptureSeconds = 0.2;
constexpr double kUnsyncedCaptureSeconds = 0.05;
constexpr double kReadbackPauseSeconds = 1.0 / 60.0;
}  // namespace

void ParallelPortDevice::Rewind() {
    const uint16_t flags = FieldFlags();
    SetLines(0, LineD7);
    SetBytesRemaining(kDeviceCaptureBytes);
    Read(nullptr, kRewindClocks);
    // A D6 pulse in command mode puts the read address back to the first sample.
    SetLines(LineD7, LineD7);
    SetLines(LineD6, LineD6);
    SetLines(0, LineD6);
    SetLines(0, LineD7);
    // The alarm seen while clocking does not belong to the capture.
    SetFieldFlags(flags);
    SetBytesRemaining(kDeviceCaptureBytes);
}

void ParallelPortDevice::SetSyncWait(int32_t on) {
    SetLines(LineD7, LineD7);
    SetLines(0, LineC1);
    if (on) {
        SetLines(LineC1, LineC1);
        SetFieldFlags(0);
    } else {
        AddFieldFlags(SyncWaitOff);
    }
}

void ParallelPortDevice::PulseTrigger() {
    lineShadow_ |= LineC2;
    WritePort(portBase_ + kControl, static_cast<uint8_t>(lineShadow_ & ~LineC2));
    WritePort(portBase_ + kControl, static_cast<uint8_t>(lineShadow_));
}

bool ParallelPortDevice::AcquireField() {
    if (portBase_ == 0 && FindDevice() == 0) return false;
    if (!delayCalibrated_) {
        const uint16_t remembered = SetLines(0, 0);
        CalibrateIODelay();
        SetSampleRate((remembered & LineD1) ? 1 : 0);
        // The calibration captures without sync wait; put the switch back as it was.
        SetSyncWait((remembered & LineC1) ? 1 : 0);
        if (!delayCalibrated_) return false;
    }
    WaitForLock();
    Rewind();
    Read(nullptr, kRewindClocks);
    EndReadout();
    AddFieldFlags(ReadStatus(DeviceAlarm));
    if (FieldFlags() & DeviceAlarm) return false;

    SetLines(LineD7, LineD7 | LineD6);  // command mode
    SetLines(0, LineC2);
    SetLines(LineC2, LineC2);  // the falling and rising edge of C2 trigger the capture

    int32_t deadline = Deadline(kCaptureSeconds);
    uint8_t status = ReadPort(portBase_ + kStatus);
    while (!(status & 0x40)) {
        if (IsPast(deadline)) {
            status = ReadPort(portBase_ + kStatus);
            if (!(status & 0x40)) {
                if (!(lineShadow_ & LineC1)) return false;
                // No sync in time: let the running capture go on without waiting for it.
                AddFieldFlags(NoSync);
                SetSyncWait(false);
                deadline = LaterOf(deadline, Deadline(kUnsyncedCaptureSeconds));
            }
        }
        status = ReadPort(portBase_ + kStatus);
    }
    Rewind();
    AddFieldFlags(ReadStatus(DeviceAlarm));
    BeginReadout();
    AddFieldFlags(status & (NoSync | StatusPE));
    SetBytesRemaining(kDeviceCaptureBytes);
    return true;
}

bool ParallelPortDevice::VerifyReadback(uint8_t* buffer, uint32_t size) {
    const uint32_t half = size / 2;
    auto readInto = [&](uint8_t* into) {
        Rewind();
        for (uint32_t done = 0; done < half;) {
            const uint16_t count =
                static_cast<uint16_t>(half - done > 0xFFFF ? 0xFFFF : half - done);
            Read(into + done, count);
            done += count;
        }
    };
    readInto(buffer);
    WaitUntil(Deadline(kReadbackPauseSeconds));
    readInto(buffer + half);
    bool failed = std::memcmp(buffer, buffer + half, half) != 0;
    if (failed) {
        WaitUntil(Deadline(kReadbackPauseSeconds));
        readInto(buffer);
        failed = std::memcmp(buffer, buffer + half, half) != 0;
    }
    if (failed) {
        AddFieldFlags(ReadbackError);
    } else {
        SetFieldFlags(FieldFlags() & ~ReadbackError);
    }
    return failed;
}

}  // namespace kivoly
