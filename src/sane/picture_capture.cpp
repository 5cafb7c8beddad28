#include "sane/picture_capture.h"

#include <cstring>
#include <memory>
#include <string>

#include "api/grabber.h"
#include "kivoly/host.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"
#include "platform/message_box.h"
#include "resources/dialog_template.h"
#include "resources/string_table.h"
#include "sane/backend_log.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_faults.h"
#include "sim/simulated_rig.h"

namespace kivoly::sane {

namespace {

constexpr const char* kPortDialogCaption = "Kivoly hardware not found!";
constexpr int kStringNoMemory = 30;

struct CaptureContext {
    KivoGrabber* grabber;
    const std::atomic<bool>& cancel;
    std::vector<std::string> messages;
};

// No one is there to answer: every box takes its default button, and the port dialog (which
// would ask for another port) is cancelled. The texts are what the user is told instead.
int32_t AnswerSilently(KivoHWnd, const char* text, const char* caption, uint32_t style,
                       void* context) {
    auto& capture = *static_cast<CaptureContext*>(context);
    const std::string message = text ? text : "";
    if (caption && std::strcmp(caption, kPortDialogCaption) == 0) {
        capture.messages.push_back(std::string(caption) + " " +
                                   message.substr(0, message.find('\n')));
        return kDialogCancelId;
    }
    capture.messages.push_back(message);
    return platform::DefaultAnswer(style);
}

// Runs on the capturing thread whenever the feedback reports: the abort is requested there, so
// that the library sees it where it looks for it.
void PollCancel(const char*, uint32_t, uint32_t, void* context) {
    auto& capture = *static_cast<CaptureContext*>(context);
    Grabber* grabber = Grabber::From(capture.grabber);
    if (capture.cancel.load() && grabber) grabber->RequestAbort();
}

// The back end behind the port registers for a capture. The simulated digitizer goes with the
// capture; a port back end stays until another capture chooses, as a program's would, so that
// the library's clean-up at unload powers the device down through it (it holds no port between
// captures: the capture releases its claim).
class DeviceBackEnd {
  public:
    bool Install(const DeviceEntry& device, std::string& error) {
        if (!device.Simulated()) {
            if (KivolyHostSetDevice(device.backEnd.c_str())) return true;
            error = "unknown device back end " + device.backEnd;
            return false;
        }
        std::unique_ptr<sim::VideoSignal> signal;
        if (!device.picture.empty()) {
            std::string reason;
            signal = sim::EncodedSignal::FromFile(device.picture, reason);
            if (!signal) {
                error = device.picture + ": " + reason;
                return false;
            }
        }
        rig_ = std::make_unique<sim::SimulatedRig>(std::move(signal), device.port);
        sim::SimulatedFaults faults;
        for (const std::string& name : device.faults)
            sim::ApplyFault(name, &faults);
        rig_->device.SetFaults(faults);
        return true;
    }

  private:
    std::unique_ptr<sim::SimulatedRig> rig_;
};

// The bitmap's bottom-up B, G, R rows as top-down R, G, B or grey rows. The library's grey
// pictures carry the same value in the three channels.
bool CopyRows(KivoHGlobal dib, bool grey, CapturedPicture& picture) {
    const platform::BitmapInfoHeader* header = LockDib(dib);
    if (!header) return false;
    const bool usable = header->biBitCount == 24 && header->biWidth > 0 && header->biHeight > 0;
    if (usable) {
        picture.width = header->biWidth;
        picture.height = header->biHeight;
        picture.bytesPerPixel = grey ? 1 : 3;
        picture.rows.resize(static_cast<std::size_t>(picture.width) * picture.height *
                            picture.bytesPerPixel);
        const int stride = DibStride(24, picture.width);
        const uint8_t* pixels = DibPixels(header);
        uint8_t* out = picture.rows.data();
        for (int y = 0; y < picture.height; ++y) {
            const uint8_t* in =
                pixels + static_cast<std::size_t>(stride) * (picture.height - 1 - y);
            for (int x = 0; x < picture.width; ++x, in += 3) {
                if (grey) {
                    *out++ = in[1];
                } else {
                    *out++ = in[2];
                    *out++ = in[1];
                    *out++ = in[0];
                }
            }
        }
    }
    platform::GlobalUnlock(dib);
    return usable;
}

SANE_Status StatusOfFailure(const std::vector<std::string>& messages) {
    char noMemory[120];
    LoadResourceString(kStringNoMemory, noMemory, sizeof noMemory);
    for (const std::string& message : messages) {
        if (message == noMemory) return SANE_STATUS_NO_MEM;
    }
    return SANE_STATUS_IO_ERROR;
}

}  // namespace

std::mutex& LibraryMutex() {
    static std::mutex mutex;
    return mutex;
}

SANE_Status CapturePicture(KivoGrabber* grabber, const DeviceEntry& device,
                           const std::atomic<bool>& cancel, bool grey, CapturedPicture& picture) {
    CaptureContext context{grabber, cancel, {}};
    DeviceBackEnd backEnd;
    std::string error;
    if (!backEnd.Install(device, error)) {
        Log(kLogError, "%s: %s", device.name.c_str(), error.c_str());
        return SANE_STATUS_IO_ERROR;
    }
    if (cancel.load()) return SANE_STATUS_CANCELLED;

    Log(kLogCall, "%s: capturing", device.name.c_str());
    KivolyHostSetMessageBoxResponder(&AnswerSilently, &context);
    const KivolyProgressObserver observer{&PollCancel, nullptr, &context};
    KivolyHostSetProgressObserver(&observer);
    KivoHGlobal dib = KivoScanAndProcess(grabber, nullptr);
    KivolyHostSetProgressObserver(nullptr);
    KivolyHostSetMessageBoxResponder(nullptr, nullptr);

    for (const std::string& message : context.messages)
        Log(kLogError, "%s: %s", device.name.c_str(), message.c_str());
    SANE_Status status = SANE_STATUS_GOOD;
    if (cancel.load()) {
        status = SANE_STATUS_CANCELLED;
    } else if (!dib) {
        if (context.messages.empty()) {
            Log(kLogError, "%s: no picture was captured", device.name.c_str());
        }
        status = StatusOfFailure(context.messages);
    } else if (!CopyRows(dib, grey, picture)) {
        Log(kLogError, "%s: the library's bitmap is not 24-bit", device.name.c_str());
        status = SANE_STATUS_IO_ERROR;
    }
    if (dib) KivoFreeDib(dib);
    return status;
}

}  // namespace kivoly::sane
