// The one status change: every move between idle, connected, armed and video on goes through
// here, so that the port, the device and the capture store always match the status.
#include "api/grabber.h"
#include "capture/video_source.h"
#include "decode/yuv_image.h"
#include "platform/port_io.h"

namespace kivoly {
namespace {

// Gives the claimed port back to the port back end that handed out its handle.
void ClosePort(intptr_t& portHandle) {
    if (portHandle != -1) platform::CurrentPortIo().Release(portHandle);
    portHandle = -1;
}

}  // namespace

bool Grabber::ChangeStatus(int32_t newStatus) {
    if (newStatus == status) return true;
    switch (newStatus) {
        case KivoStatusIdle: {
            delete captureStore;
            captureStore = nullptr;
            if (!portClaimed) portHandle = -1;
            if (videoSource) {
                videoSource->Power(false);
                delete videoSource;
                videoSource = nullptr;
            }
            ClosePort(portHandle);
            status = KivoStatusIdle;
            return true;
        }
        case KivoStatusConnected:
        case KivoStatusArmed:
        case KivoStatusVideoOn:
            // Connecting needs a device back end, which this build does not have yet.
            return false;
        default:
            // Not a status: stored as given, and reported as failed.
            status = newStatus;
            return false;
    }
}

}  // namespace kivoly
