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
    // Owners switch a source off with Power(false) before they delete it; deleting never
    // touches the hardware by itself.
    virtual ~VideoSource() = default;
    VideoSource(const VideoSource&) = delete;
    VideoSource& operator=(const VideoSource&) = delete;

    virtual void Rewind() {}
    // Reads `count` samples into `buffer` (null: discard them); BytesRemaining drops by `count`.
    virtual void Read(uint8_t* buffer, uint16_t count) = 0;
    virtual bool AcquireField() = 0;
    virtual void BeginReadout() { readoutActive_ = true; }
    virtual void EndReadout() { readoutActive_ = false; }
    virtual bool Power(int32_t on) = 0;
    virtual bool IsReady() = 0;
    // True on failure.
    virtual bool VerifyReadback(uint8_t* /*buffer*/, uint32_t /*size*/) { return false; }
    virtual void SetIODelay(int16_t /*delay*/) {}
    virtual void SetSyncWait(int32_t /*on*/) {}
    virtual void SetSampleRate(int16_t mode) {
        samplesPerLine_ = static_cast<uint16_t>(kSamplesPerLine / (mode + 1));
    }
    virtual void Preview(uint8_t* /*palette*/, uint8_t* /*bits*/, int32_t /*width*/,
                         int32_t /*height*/, PreviewCallback /*callback*/, void* /*context*/,
                         int32_t /*negative*/, int32_t /*roundCorners*/) {}
    virtual void SetAltLineLength(int32_t on) {
        samplesPerLine_ = on ? kAltSamplesPerLine : kSamplesPerLine;
    }
    virtual void AutoTerminate() {}
    virtual void SetTermination(int32_t /*on*/) {}
    virtual uint16_t SetLines(uint16_t /*value*/, uint16_t /*mask*/) { return 0; }
    virtual uint16_t ReadStatus(uint16_t /*mask*/) { return 0; }

    // When set (the default), switching the device off really powers it down.
    void SetPowerSaver(bool on) { powerSaver_ = on; }

    // The current field capture: the samples not yet read, its FieldFlag bits and the samples
    // of one of its lines.
    int32_t BytesRemaining() const { return bytesRemaining_; }
    uint16_t FieldFlags() const { return fieldFlags_; }
    uint16_t SamplesPerLine() const { return samplesPerLine_; }
    // A finished capture waits in the device to be read (BeginReadout to EndReadout).
    bool ReadoutActive() const { return readoutActive_; }
    // The samples come from the digitizer rather than from a file.
    bool IsHardware() const { return isHardware_; }
    // The too-bright indication: the picture saturates. The device preview sets it per frame
    // and the signal analysis per line; it means nothing before one of them ran.
    bool Clipping() const { return clipping_; }
    void SetClipping(bool on) { clipping_ = on; }

    // What a decode asks of the device around its passes.
    // True when a hardware source's read-back check fails (two reads into `scratch` differ).
    bool ReadbackFails(uint8_t* scratch, uint32_t size) {
        return isHardware_ && VerifyReadback(scratch, size);
    }
    // Back to the full sample rate (kSamplesPerLine a line) from a preview's half rate.
    void UseFullSampleRate() {
        if (samplesPerLine_ == kSamplesPerLine) return;
        SetSampleRate(0);
        EndReadout();
    }
    // The capture is over: the read-out ends and the device is switched off.
    void FinishCapture() {
        EndReadout();
        Power(0);
    }

  protected:
    explicit VideoSource(bool isHardware = false) : isHardware_(isHardware) {}

    bool PowerSaver() const { return powerSaver_; }
    void SetBytesRemaining(int32_t count) { bytesRemaining_ = count; }
    void SetFieldFlags(uint16_t flags) { fieldFlags_ = flags; }
    void AddFieldFlags(uint16_t flags) { fieldFlags_ |= flags; }
    void SetSamplesPerLine(uint16_t count) { samplesPerLine_ = count; }

  private:
    bool powerSaver_ = true;
    bool readoutActive_ = false;
    bool isHardware_;
    bool clipping_ = false;
    int32_t bytesRemaining_ = 0;
    uint16_t fieldFlags_ = 0;
    uint16_t samplesPerLine_ = kSamplesPerLine;
};

}  // namespace kivoly
