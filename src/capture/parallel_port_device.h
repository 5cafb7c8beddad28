// ParallelPortDevice: the digitizer on the parallel port, driven entirely through the port's
// registers. The program writes output lines on the data and control registers and reads the
// device's answers on the status register:
//
//   D0 input termination   D1 half rate        D2 configuration reset (low)   D3 unused
//   D4 status select       D5 alt line length  D6 sample clock / select       D7 command mode
//   C0 status select       C1 sync wait        C2 capture trigger / config data
//   C3 power (0 = on)      status 3-7: answers, sample bits, capture done / alarm (bit 6)
//
// Every output change goes through one shadow word (SetLines), every register access is repeated
// `ioDelay` times for slow ports, and every wait busy-waits on a millisecond deadline of the
// platform clock. The work is split by concern: parallel_port_access.cpp (registers, the sample
// handshake, the delay calibration), parallel_port_power.cpp (detection, configuration, power and
// the switches), parallel_port_capture.cpp (trigger and read-out) and parallel_port_preview.cpp
// (the live preview).
#pragma once

#include <cstdint>

#include "capture/video_source.h"

namespace kivoly {

// Lines of the shadow word: the data register in the high byte, the control register below.
enum PortLine : uint16_t {
    LineC0 = 0x0001,
    LineC1 = 0x0002,
    LineC2 = 0x0004,
    LineC3 = 0x0008,
    LineD0 = 0x0100,
    LineD1 = 0x0200,
    LineD2 = 0x0400,
    LineD3 = 0x0800,
    LineD4 = 0x1000,
    LineD5 = 0x2000,
    LineD6 = 0x4000,
    LineD7 = 0x8000,
};

// The base address of port `number` (1 to 3), 0 for any other number.
uint16_t PortBaseForNumber(uint16_t number);
// A base lies between 0x100 and 0x3FF and is a multiple of 4.
bool IsValidPortBase(uint16_t base);

class ParallelPortDevice : public VideoSource {
  public:
    explicit ParallelPortDevice(uint16_t base);

    // VideoSource.
    void Rewind() override;
    void Read(uint8_t* buffer, uint16_t count) override;
    bool AcquireField() override;
    bool Power(int32_t on) override;
    bool IsReady() override;
    bool VerifyReadback(uint8_t* buffer, uint32_t size) override;
    void SetIODelay(int16_t delay) override { ioDelay_ = delay; }
    void SetSyncWait(int32_t on) override;
    void SetSampleRate(int16_t mode) override;
    void Preview(uint8_t* palette, uint8_t* bits, int32_t width, int32_t height,
                 PreviewCallback callback, void* context, int32_t negative,
                 int32_t roundCorners) override;
    void SetAltLineLength(int32_t on) override;
    void AutoTerminate() override;
    void SetTermination(int32_t on) override;
    uint16_t SetLines(uint16_t value, uint16_t mask) override;
    uint16_t ReadStatus(uint16_t mask) override;

    // Port access.
    uint8_t ReadPort(uint16_t address);
    void WritePort(uint16_t address, uint8_t value);
    void SetPort(uint16_t base);
    bool ProbeDevice();
    int16_t CalibrateIODelay();

    // Detection and power.
    void SetLockTime(double seconds);
    uint16_t TryPort(uint16_t port);
    uint16_t FindDevice();
    // What destroying the device as itself did: power the device down whatever `powerSaver`
    // said. Deleting a source never touches the hardware; the DetectedPorts clean-up calls this.
    void PowerDownFully();

    // Preview.
    // Where the preview draws: `height` rows of `width` bytes, bottom-up, shown as a negative or
    // with faded corners. Preview sets it; PreviewFrame, ReadPreviewLine and RoundPreviewCorners
    // use it.
    void SetPreviewBitmap(uint8_t* bits, int16_t width, int16_t height, bool negative,
                          bool roundCorners);
    void PreviewFrame(PreviewCallback callback, void* context);
    void ReadPreviewLine(uint8_t* destination, int16_t width);
    void RoundPreviewCorners(int16_t row);

    uint16_t PortBase() const { return portBase_; }
    // 0 initial, 1 switched off or being powered up, 2 on (configured and answering).
    int32_t PowerState() const { return powerState_; }
    int16_t IODelay() const { return ioDelay_; }
    // Set once the port access delay has been settled.
    bool DelayCalibrated() const { return delayCalibrated_; }
    double LockTime() const { return lockTime_; }

  private:
    void EcpByteMode();
    void TakeOverLines();
    bool Configure();
    bool SendImage(uint16_t clockMask, bool clockOnData, uint8_t activeLevel);
    void ArmLockDeadline(int32_t deadline);
    void WaitForLock();
    void PulseTrigger();
    bool WaitForCapture(int32_t deadline, uint8_t* status);
    void NoiseDisplay(PreviewCallback callback, void* context, bool ok);
    void ClipCheck();
    // One sample handshake without the closing status read; `keep` false only clocks it.
    uint8_t ClockSample(bool keep);
    int Repeats() const { return ioDelay_ > 0 ? ioDelay_ : 1; }

    uint16_t portBase_ = 0;
    bool delayCalibrated_ = false;
    int32_t powerState_ = 0;
    uint16_t lineShadow_ = 0;
    uint16_t cachedStatus_ = 0;
    int16_t ioDelay_ = -1;
    double lockTime_ = 0.5;
    int32_t lockDeadline_ = 0;
    int16_t previewWidth_ = 0;
    int16_t previewHeight_ = 0;
    bool previewRoundCorners_ = false;
    uint8_t* previewBits_ = nullptr;
    bool previewNegative_ = false;
};

}  // namespace kivoly
