// The one status change: every move between idle, connected, armed and video on goes through
// here, so that the port, the device and the capture store always match the status.
//
//   0 idle       no port claimed, no device, no capture store
//   1 connected  the port is claimed and the device answers; its video is off
//   2 armed      the capture store exists as well
//   3 video on   the device is powered for a capture or a preview
#include <new>

#include "api/grabber.h"
#include "api/internal/port_selection.h"
#include "api/settings_io.h"
#include "capture/parallel_port_device.h"
#include "decode/yuv_image.h"
#include "framework/settings_file.h"
#include "platform/message_box.h"
#include "platform/port_io.h"

namespace kivoly {

namespace {
constexpr int kNoMemoryForSettingsId = 62;
}

bool Grabber::OpenPort(int32_t number) {
    if (number < 1 || number > 3) return true;
    // Claiming again what we hold: give it back first, as an exclusive claim cannot be doubled.
    ClosePort();
    const intptr_t handle = platform::CurrentPortIo().Claim(number);
    if (handle < 0) return false;
    portHandle_ = handle;
    portClaimed_ = true;
    return true;
}

void Grabber::ClosePort() {
    if (portHandle_ != -1) platform::CurrentPortIo().Release(portHandle_);
    portHandle_ = -1;
}

bool Grabber::ChangeStatus(int32_t newStatus) {
    if (newStatus == status_) return true;
    if (previewState_ != 0) {
        StopPreviewing();
        return false;
    }
    // A change asked for from a message that a capture pumps would wait for ever on this one
    // thread; it is refused instead and leaves the capture alone.
    if (CaptureBusy()) return false;

    bool result = false;
    switch (newStatus) {
        case KivoStatusIdle:
            Disconnect();
            result = true;
            break;
        case KivoStatusConnected:
            if (!Connect()) return false;
            result = true;
            break;
        case KivoStatusArmed:
            if (status_ < KivoStatusArmed && !ChangeStatus(KivoStatusConnected)) return false;
            if (!Arm()) {
                // Armed without a usable store, a later change to video on would not arm again
                // and a capture would run on nothing: stay connected instead.
                status_ = KivoStatusConnected;
                return false;
            }
            result = true;
            break;
        case KivoStatusVideoOn:
            if (status_ != KivoStatusArmed && !ChangeStatus(KivoStatusArmed)) return false;
            if (!videoSource_ || !videoSource_->Power(true)) return false;
            result = true;
            break;
        default:
            // Not a status: stored as given, and reported as failed.
            break;
    }
    status_ = newStatus;
    return result;
}

void Grabber::Disconnect() {
    captureStore_.reset();
    if (!portClaimed_) portHandle_ = -1;
    if (videoSource_) {
        videoSource_->Power(false);
        videoSource_.reset();
    }
    ClosePort();
}

bool Grabber::Connect() {
    const int32_t previous = status_;
    if (!videoSource_) {
        const int32_t configuredPort = grabInfo_.ParallelPort;
        auto* device = new (std::nothrow) ParallelPortDevice(0);
        if (!device) return false;
        videoSource_.reset(device);
        device->SetLockTime(ReadVideoLockTime(*settingsFile_));
        device->SetPowerSaver(grabInfo_.PowerSaver ? 1 : 0);
        for (;;) {
            const int32_t port = grabInfo_.ParallelPort;
            // A port that failed gives the device back to no port, which forgets the delay.
            device->SetIODelay(static_cast<int16_t>(grabInfo_.IODelay));
            if (OpenPort(port) && device->TryPort(static_cast<uint16_t>(port)) != 0) break;
            const intptr_t answer = AskForPort(&grabInfo_.ParallelPort);
            if (answer > 0) {
                if (grabInfo_.ParallelPort != port) ClosePort();
                continue;
            }
            ClosePort();
            if (answer == -1) {
                platform::MessageBox(nullptr, "Unable to Find Kivoly", "Error",
                                     platform::MbOk | platform::MbIconExclamation);
            }
            videoSource_.reset();
            return false;
        }
        if (grabInfo_.ParallelPort != configuredPort) {
            settingsFile_->WriteInt(kAcquireSection, "ParallelPort", grabInfo_.ParallelPort);
        }
    }
    videoSource_->Power(false);
    if (previous < KivoStatusConnected) videoSource_->SetTermination(grabInfo_.TerminateVideo);
    return true;
}

bool Grabber::Arm() {
    if (captureStore_) {
        captureStore_.reset(YuvImage::ReuseOrCreate(captureStore_.release(), grabInfo_, nullptr));
    } else {
        captureStore_.reset(new (std::nothrow) YuvImage(grabInfo_, nullptr));
        if (captureStore_ && !captureStore_->HasLines()) captureStore_.reset();
    }
    const bool ready = captureStore_ && captureStore_->chunk.Ensure();
    if (!ready) ShowMessage(kNoMemoryForSettingsId, nullptr);
    return ready;
}

}  // namespace kivoly
