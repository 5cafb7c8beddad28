// The live preview: small grey frames of the incoming video, refreshed continuously before a
// capture. KivoStartPreviewing brings the device to video on and hands the 160 x 120 preview
// bitmap to the device's preview loop, which returns only when the preview ends. Meanwhile the
// frame callback below keeps the user interface alive, shows every finished frame and loops a
// warning sound while there is no video.
#include "api/grabber.h"
#include "api/settings_io.h"
#include "api/user_interface.h"
#include "capture/video_source.h"
#include "output/packed_dib.h"
#include "platform/clock.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"
#include "platform/profile.h"
#include "platform/sound.h"
#include "platform/window/message.h"
#include "platform/window/message_queue.h"

namespace kivoly {

namespace {
constexpr int kPreviewWidth = 160;
constexpr int kPreviewHeight = 120;

int32_t FrameCallback(void* context, int16_t value) {
    return static_cast<Grabber*>(context)->PreviewFrame(value);
}

// The preview bitmap stays locked while it exists; this is its address.
platform::BitmapInfoHeader* PreviewHeader(KivoHGlobal bitmap) {
    auto* header = static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(bitmap));
    platform::GlobalUnlock(bitmap);
    return header;
}
}  // namespace

bool Grabber::EnsurePreviewBitmap() {
    if (!previewBitmap_) {
        previewBitmap_ = CreateDib(8, kPreviewWidth, kPreviewHeight);
        if (!previewBitmap_) return false;
        platform::GlobalLock(previewBitmap_);
    }
    return true;
}

bool Grabber::StartPreviewing() {
    // One preview at a time, and never over a capture: a preview started inside another (from
    // its frame callback) would end by disconnecting the device the outer one still reads.
    if (previewState_ != 0 || CaptureBusy()) return false;
    if (!EnsurePreviewBitmap()) return false;
    if (!ChangeStatus(KivoStatusVideoOn)) return false;
    previewState_ = 1;
    platform::BitmapInfoHeader* header = PreviewHeader(previewBitmap_);
    uint8_t* palette = reinterpret_cast<uint8_t*>(header) + header->biSize;
    videoSource_->Preview(palette, DibPixels(header), header->biWidth, header->biHeight,
                          &FrameCallback, this, grabInfo_.Negative, previewMode_);
    previewState_ = 0;
    ChangeStatus(KivoStatusIdle);
    return true;
}

void Grabber::StopPreviewing() {
    if (previewState_ == 1) previewState_ = 2;
}

bool Grabber::StopAndRepost(KivoHWnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (previewState_ != 1) return false;
    previewState_ = 2;
    if (message == platform::WmQuit) {
        platform::PostQuitMessage(static_cast<int>(wParam));
    } else {
        platform::PostMessage(window, message, wParam, lParam);
    }
    return true;
}

int32_t Grabber::PreviewFrame(int16_t value) {
    KivoCallback hostCallback = callbacks_[KivoCallbackPreviewFrame];
    if (previewState_ == 1) {
        const int16_t height = static_cast<int16_t>(PreviewHeader(previewBitmap_)->biHeight);
        if (value == -1 || value >= height - 1) {
            // A frame is done: the next is not due before the device would have it.
            platform::SleepUntilClockDue();
            if (hostCallback) return hostCallback();
            if (userInterface_) {
                userInterface_->RefreshLowBattery();
                userInterface_->RefreshTooBright();
            }
            if (value == -1) {
                platform::ReadProfileString(kSoundSection, "NoVideoSound", "", messageBuffer_,
                                            sizeof messageBuffer_, kSettingsFileName);
                if (messageBuffer_[0]) {
                    platform::PlaySound(messageBuffer_, platform::SoundAsync | platform::SoundLoop |
                                                            platform::SoundNoDefault |
                                                            platform::SoundNoStop);
                }
            } else {
                platform::StopSound();
            }
            // The main window paints its preview pane from the preview bitmap.
            if (userInterface_) userInterface_->ShowPreviewPane();
        }
        platform::Message message;
        if (hostCallback) {
            // The host pumps its own messages; only a request to quit ends the preview here.
            if (platform::PeekMessage(message, nullptr, platform::WmQuit, platform::WmQuit,
                                      platform::PmRemove)) {
                StopAndRepost(message.hwnd, message.message, message.wParam, message.lParam);
                return 0;
            }
        } else {
            while (previewState_ == 1 &&
                   platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove)) {
                if (message.message == platform::WmQuit) {
                    StopAndRepost(message.hwnd, message.message, message.wParam, message.lParam);
                    return 0;
                }
                if (!ProcessWindowsMessage(message)) {
                    platform::TranslateMessage(message);
                    platform::DispatchMessage(message);
                }
            }
        }
    } else if (!hostCallback) {
        platform::StopSound();
    }
    return previewState_ == 1;
}

}  // namespace kivoly
