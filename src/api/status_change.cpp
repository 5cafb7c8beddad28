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
    portHandle = handle;
    portClaimed = 1;
    return true;
}

void Grabber::ClosePort() {
    if (portHandle != -1) platform::CurrentPortIo().Release(portHandle);
    portHandle = -1;
}

bool Grabber::ChangeStatus(int32_t newStatus) {
    if (newStatus == status) return true;
    if (previewState != 0) {
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
            if (status < KivoStatusArmed && !ChangeStatus(KivoStatusConnected)) return false;
            if (!Arm()) {
                // Armed without a usable store, a later change to video on would not arm again
                // and a capture would run on nothing: stay connected instead.
                status = KivoStatusConnected;
                return false;
            }
            result = true;
            break;
        case KivoStatusVideoOn:
            if (status != KivoStatusArmed && !ChangeStatus(KivoStatusArmed)) return false;
            if (!videoSource || !videoSource->Power(true)) return false;
            result = true;
            break;
        default:
            // Not a status: stored as given, and reported as failed.
            break;
    }
    status = newStatus;
    return result;
}

void Grabber::Disconnect() {
    delete captureStore;
    captureStore = nullptr;
    if (!portClaimed) portHandle = -1;
    if (videoSource) {
        videoSource->Power(false);
        delete videoSource;
        videoSource = nullptr;
    }
    ClosePort();
}

bool Grabber::Connect() {
    const int32_t previous = status;
    if (!videoSource) {
        const int32_t configuredPort = grabInfo.ParallelPort;
        auto* device = new (std::nothrow) ParallelPortDevice(0);
        if (!device) return false;
        videoSource = device;
        device->SetLockTime(ReadVideoLockTime(*settingsFile));
        device->SetPowerSaver(grabInfo.PowerSaver ? 1 : 0);
        for (;;) {
            const int32_t port = grabInfo.ParallelPort;
            // A port that failed gives the device back to no port, which forgets the delay.
            device->SetIODelay(static_cast<int16_t>(grabInfo.IODelay));
            if (OpenPort(port) && device->TryPort(static_cast<uint16_t>(port)) != 0) break;
            const intptr_t answer = AskForPort(&grabInfo.ParallelPort);
            if (answer > 0) {
                if (grabInfo.ParallelPort != port) ClosePort();
                continue;
            }
            ClosePort();
            if (answer == -1) {
                platform::MessageBox(nullptr, "Unable to Find Kivoly", "Error",
                                     platform::MbOk | platform::MbIconExclamation);
            }
            delete videoSource;
            videoSource = nullptr;
            return false;
        }
        if (grabInfo.ParallelPort != configuredPort) {
            settingsFile->WriteInt(kAcquireSection, "ParallelPort", grabInfo.ParallelPort);
        }
    }
    videoSource->Power(false);
    if (previous < KivoStatusConnected) videoSource->SetTermination(grabInfo.TerminateVideo);
    return true;
}

bool Grabber::Arm() {
    if (captureStore) {
        captureStore = YuvImage::ReuseOrCreate(captureStore, grabInfo, nullptr);
    } else {
        captureStore = new (std::nothrow) YuvImage(grabInfo, nullptr);
        if (captureStore && !captureStore->HasLines()) {
            delete captureStore;
            captureStore = nullptr;
        }
    }
    const bool ready = captureStore && captureStore->chunk.Ensure();
    if (!ready) ShowMessage(kNoMemoryForSettingsId, nullptr);
    return ready;
}

}  // namespace kivoly
