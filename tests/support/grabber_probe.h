// What tests and benchmarks put in place inside a Grabber, where no export reaches: a device or a
// capture store at a status, a port claim, a preview said to be running, records changed in use.
#pragma once

#include <cstdint>

#include "api/grabber.h"
#include "capture/video_source.h"
#include "decode/yuv_image.h"

namespace kivoly::test {

struct GrabberProbe {
    // Takes `source` and `store` (either may be null) and sets the status they belong to.
    static void Hold(Grabber& grabber, VideoSource* source, YuvImage* store, int32_t status) {
        grabber.videoSource_.reset(source);
        grabber.captureStore_.reset(store);
        grabber.status_ = status;
    }
    static void ClaimPort(Grabber& grabber, bool claimed, intptr_t handle, int32_t status) {
        grabber.portClaimed_ = claimed;
        grabber.portHandle_ = handle;
        grabber.status_ = status;
    }
    static intptr_t PortHandle(const Grabber& grabber) { return grabber.portHandle_; }
    static void SetPreviewState(Grabber& grabber, int32_t state) { grabber.previewState_ = state; }
    // A window of the caller's that shows a picture, as the main window does.
    static void ShowPicture(Grabber& grabber, KivoHWnd window) {
        grabber.mainWindow_ = window;
        grabber.pictureShown_ = true;
    }
    static void SetPreviewBitmap(Grabber& grabber, KivoHGlobal bitmap) {
        grabber.previewBitmap_ = bitmap;
    }
    // The ProcessInfo in use, which a capture returns to the committed one.
    static KivoProcessInfo& InUse(Grabber& grabber) { return grabber.processInfo_; }
};

}  // namespace kivoly::test
