// An open device: its Grabber, its options, and the picture of the scan in progress.
//
// A scan is a capture in Start (the whole picture is in memory when it returns) and then reads
// of its lines. Cancel only raises a flag, so it may be called from another thread or a signal
// handler at any time: a capture polls it and ends early, a read sees it and ends the scan.
#pragma once

#include <sane/sane.h>

#include <atomic>
#include <memory>

#include "kivoly/kivoly.h"
#include "sane/device_config.h"
#include "sane/picture_capture.h"
#include "sane/scan_options.h"

namespace kivoly::sane {

class ScanHandle {
  public:
    // INVAL for a device whose port does not exist, NO_MEM when the Grabber cannot be made.
    static SANE_Status Open(const DeviceEntry& device, std::unique_ptr<ScanHandle>& handle);
    ~ScanHandle();
    ScanHandle(const ScanHandle&) = delete;
    ScanHandle& operator=(const ScanHandle&) = delete;

    const SANE_Option_Descriptor* Descriptor(SANE_Int option) const;
    SANE_Status Control(SANE_Int option, SANE_Action action, void* value, SANE_Int* info);
    SANE_Status GetParameters(SANE_Parameters* parameters) const;
    SANE_Status Start();
    SANE_Status Read(SANE_Byte* data, SANE_Int maxLength, SANE_Int* length);
    void Cancel();
    SANE_Status SetIoMode(SANE_Bool nonBlocking) const;

  private:
    enum class Phase { Idle, Capturing, Reading };

    ScanHandle(const DeviceEntry& device, KivoGrabber* grabber);
    void EndScan();

    const DeviceEntry device_;
    KivoGrabber* const grabber_;
    ScanOptions options_;
    std::atomic<Phase> phase_{Phase::Idle};
    std::atomic<bool> cancel_{false};
    CapturedPicture picture_;
    std::size_t readOffset_ = 0;
};

}  // namespace kivoly::sane
