// VideoSource: everything that produces raw composite samples stands behind this class, so the
// capture driver and the decoder never know whether the samples come from the digitizer on the
// parallel port or from a raw capture file.
//
// One successful AcquireField makes one field capture available, read in order with Read:
// unsigned 8-bit samples at four times the colour subcarrier (910 a line, 908 in the alternate
// line-length mode, 455 or 454 at half rate), line after line without headers or gaps. Sync tips
// lie below 32, black near 64, white near 224. A device capture is 262,144 samples.
#pragma once

#include <cstdint>

namespace kivoly {

// Bits of VideoSource::fieldFlags.
enum FieldFlag : uint16_t {
    SyncWaitOff = 0x0001,    // captured without waiting for the sync condition
    ReadbackError = 0x0002,  // two reads of the same samples differed
    NoSync = 0x0008,         // not locked to the vertical sync
    StatusPE = 0x0020,       // the device's state line at the end of the capture
    DeviceAlarm = 0x0040,    // the device reports an alarm
};

// Samples a line at four times the subcarrier, and in the alternate line-length mode.
inline constexpr uint16_t kSamplesPerLine = 910;
inline constexpr uint16_t kAltSamplesPerLine = 908;
inline constexpr uint32_t kDeviceCaptureBytes = 262144;  // the device's sample memory

// Called by Preview as lines complete: `value` is the last line completed, or -1 when the
// device finds no video. A result of 0 ends the preview.
using PreviewCallback = int32_t (*)(void* context, int16_t value);

class VideoSource {
  public:
    VideoSource() = default;
    // Owners switch a source off with Power(false) before they delete it; deleting never
    // touches the hardware by itself.
    virtual ~VideoSource() = default;
    VideoSource(const VideoSource&) = delete;
    VideoSource& operator=(const VideoSource&) = delete;

    virtual void Rewind() {}
    // Reads `count` samples into `buffer` (null: discard them); bytesRemaining drops by `count`.
    virtual void Read(uint8_t* buffer, uint16_t count) = 0;
    virtual bool AcquireField() = 0;
    virtual void BeginReadout() { readoutActive = 1; }
    virtual void EndReadout() { readoutActive = 0; }
    virtual bool Power(int32_t on) = 0;
    virtual bool IsReady() = 0;
    // True on failure.
    virtual bool VerifyReadback(uint8_t* /*buffer*/, uint32_t /*size*/) { return false; }
    virtual void SetIODelay(int16_t /*delay*/) {}
    virtual void SetSyncWait(int32_t /*on*/) {}
    virtual void SetSampleRate(int16_t mode) {
        samplesPerLine = static_cast<uint16_t>(kSamplesPerLine / (mode + 1));
    }
    virtual void Preview(uint8_t* /*palette*/, uint8_t* /*bits*/, int32_t /*width*/,
                         int32_t /*height*/, PreviewCallback /*callback*/, void* /*context*/,
                         int32_t /*negative*/, int32_t /*roundCorners*/) {}
    virtual void SetAltLineLength(int32_t on) {
        samplesPerLine = on ? kAltSamplesPerLine : kSamplesPerLine;
    }
    virtual void AutoTerminate() {}
    virtual void SetTermination(int32_t /*on*/) {}
    virtual uint16_t SetLines(uint16_t /*value*/, uint16_t /*mask*/) { return 0; }
    virtual uint16_t ReadStatus(uint16_t /*mask*/) { return 0; }

    void SetPowerSaver(int32_t flag) { powerSaver = flag; }

    // What a decode asks of the device around its passes.
    // True when a hardware source's read-back check fails (two reads into `scratch` differ).
    bool ReadbackFails(uint8_t* scratch, uint32_t size) {
        return isHardware && VerifyReadback(scratch, size);
    }
    // Back to the full sample rate (kSamplesPerLine a line) from a preview's half rate.
    void UseFullSampleRate() {
        if (samplesPerLine == kSamplesPerLine) return;
        SetSampleRate(0);
        EndReadout();
    }
    // The capture is over: the read-out ends and the device is switched off.
    void FinishCapture() {
        EndReadout();
        Power(0);
    }

    int32_t powerSaver = 1;
    int32_t readoutActive = 0;
    int32_t isHardware = 0;
    int32_t delayCalibrated = 0;
    uint16_t portBase = 0;
    int32_t clipFlag = 0;
    int32_t bytesRemaining = 0;
    uint16_t fieldFlags = 0;
    uint16_t samplesPerLine = kSamplesPerLine;
};

}  // namespace kivoly
