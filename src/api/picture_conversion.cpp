#include "api/picture_conversion.h"

#include "api/grabber.h"
#include "api/handed_out.h"
#include "decode/yuv_image.h"
#include "output/output_bitmap.h"
#include "output/packed_dib.h"
#include "output/picture_window.h"
#include "output/rgb_conversion.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/global_memory.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/mul_div.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "resources/string_table.h"

namespace kivoly {

namespace {

// The caller's bitmap when it can take the picture as it is; otherwise it is freed.
platform::BitmapInfoHeader* AcceptBitmap(KivoHGlobal& dib, const KivoProcessInfo& info) {
    if (dib == nullptr) return nullptr;
    if (!platform::GlobalIsValid(dib)) {
        // Not a block of ours: neither used nor freed, and not handed back.
        dib = nullptr;
        return nullptr;
    }
    platform::BitmapInfoHeader* header = LockDib(dib);
    if (header != nullptr && header->biWidth == info.Width && header->biHeight == info.Height &&
        header->biBitCount == 24 && header->biCompression == 0) {
        return header;
    }
    if (header != nullptr) platform::GlobalUnlock(dib);
    platform::GlobalFree(dib);
    dib = nullptr;
    return nullptr;
}

constexpr int kAbortCaption = 84;
constexpr int kAbortQuestion = 85;

// Shows the rows converted so far in the picture window: one screen row for each picture row
// that lands on it, with a white line just below as the growing edge.
class GrowingPicture {
  public:
    explicit GrowingPicture(int pictureHeight) : pictureHeight_(pictureHeight) {
        window_ = PictureWindow();
        if (window_ == nullptr) return;
        const platform::Rect area = PictureArea();
        platform::GetClientRect(window_, refresh_);
        refresh_.top += area.top;
        refresh_.bottom = refresh_.top + 1;
        shownHeight_ = area.bottom - area.top;
        pictureWidth_ = area.right - area.left;
        left_ = area.left;
    }

    void RowDone(int row) {
        if (window_ == nullptr || PictureWindow() != window_) return;
        if (platform::MulDiv(shown_, pictureHeight_, shownHeight_) > row) return;
        if (shown_ + 1 < shownHeight_) {
            if (platform::DeviceContext* dc = platform::GetDC(window_)) {
                const platform::Brush white =
                    platform::CreateSolidBrush(platform::Rgb(255, 255, 255));
                dc->FillRect({left_, refresh_.top + 1, left_ + pictureWidth_, refresh_.top + 2},
                             white);
                platform::ReleaseDC(window_, dc);
            }
        }
        platform::InvalidateRect(window_, &refresh_, false);
        platform::UpdateWindow(window_);
        refresh_.top += 1;
        refresh_.bottom += 1;
        ++shown_;
    }

  private:
    KivoHWnd window_ = nullptr;
    platform::Rect refresh_{};
    int pictureHeight_;
    int shownHeight_ = 0;
    int pictureWidth_ = 0;
    int left_ = 0;
    int shown_ = 0;
};

// The user asks to stop with the right mouse button held or Escape in the picture window, or,
// without the window, with Escape (the thread's keyboard messages are taken out of the queue).
// True when the answer to "Abort Processing?" is Yes.
bool AbortRequested() {
    KivoHWnd window = PictureWindow();
    bool asked = window != nullptr && platform::IsKeyDownNow(platform::VkRButton);
    platform::Message message;
    while (platform::PeekMessage(message, window, platform::WmKeyDown, platform::WmSysChar,
                                 platform::PmRemove)) {
        if (message.message == platform::WmKeyDown && message.wParam == platform::VkEscape) {
            asked = true;
        }
    }
    if (!asked) return false;
    char text[80];
    char caption[80];
    LoadResourceString(kAbortQuestion, text, sizeof text);
    LoadResourceString(kAbortCaption, caption, sizeof caption);
    return platform::MessageBox(window, text, caption,
                                platform::MbYesNo | platform::MbDefButton2 |
                                    platform::MbIconQuestion) == platform::IdYes;
}

}  // namespace

KivoHGlobal ConvertPicture(Grabber& grabber, YuvImage* yuv, KivoHGlobal dib) {
    if (yuv != nullptr) grabber.SetCurrentPicture(yuv);
    YuvImage* picture = grabber.CurrentPicture();
    grabber.ChangeStatus(KivoStatusIdle);
    if (picture == nullptr) return nullptr;
    const KivoProcessInfo info = grabber.ProcessInfo();
    platform::BitmapInfoHeader* header = AcceptBitmap(dib, info);
    if (header == nullptr) {
        dib = CreateOutputBitmap(info, info.ShowWhileProcessing != 0);
        header = LockDib(dib);
    }
    bool converted = false;
    if (header != nullptr && PrepareConversion(*picture, info)) {
        if (info.ShowWhileProcessing) OpenPictureWindow(grabber.MainWindow(), header);
        platform::SetCursor(platform::Cursor::Wait);
        GrowingPicture growing(info.Height);
        const int height = header->biHeight;
        const int stride = DibStride(header->biBitCount, header->biWidth);
        uint8_t* pixels = DibPixels(header);
        converted = true;
        for (int row = 0; row < height && converted; ++row) {
            ConvertRow(*picture, pixels + static_cast<std::size_t>(stride) * (height - 1 - row),
                       row, false);
            growing.RowDone(row);
            // The question may be answered by a host that frees the picture meanwhile.
            converted = !AbortRequested() && grabber.CurrentPicture() == picture;
        }
    }
    platform::SetCursor(platform::Cursor::Arrow);
    if (converted) {
        platform::ShowCursor(true);
        // The picture stays up until the user closes it.
        RunPictureWindow();
    } else {
        ClosePictureWindow();
    }
    if (header != nullptr) platform::GlobalUnlock(dib);
    if (!converted) grabber.ChangeStatus(KivoStatusIdle);
    return dib;
}

void ConvertPictureRow(Grabber& grabber, uint8_t* dst, int row, YuvImage* yuv) {
    if (yuv == nullptr || !PrepareConversion(*yuv, grabber.ProcessInfo())) return;
    grabber.SetCurrentPicture(yuv);
    if (dst == nullptr || row < 0 || row >= grabber.ProcessInfo().Height) return;
    ConvertRow(*yuv, dst, row, false);
}

bool UsePicture(Grabber& grabber, YuvImage* yuv) {
    // Using the same picture again must not destroy it first. Only a picture the library
    // handed out is destroyed; one of the library's own making stays its maker's.
    if (grabber.CurrentPicture() != yuv) DestroyPicture(grabber.CurrentPicture());
    grabber.SetCurrentPicture(yuv);
    return yuv != nullptr && PrepareConversion(*yuv, grabber.ProcessInfo());
}

}  // namespace kivoly

namespace kivoly {

KivoHGlobal CaptureAndConvert(Grabber& grabber, KivoHGlobal dib) {
    // One busy section spans capture and conversion, so one progress window shows both.
    grabber.BeginBusy();
    KivoHGlobal result = nullptr;
    if (YuvImage* yuv = grabber.Capture()) {
        result = ConvertPicture(grabber, yuv, dib);
        grabber.FreeYuv(yuv);
    }
    grabber.EndBusy();
    return result;
}

int32_t ShowPicture(Grabber& grabber, KivoHGlobal dib) {
    platform::BitmapInfoHeader* header = LockDib(dib);
    if (header == nullptr) return 0;
    if (OpenPictureWindow(grabber.MainWindow(), header)) {
        platform::InvalidateRect(PictureWindow(), nullptr, true);
        RunPictureWindow();
    }
    if (grabber.MainWindow() != nullptr && !platform::IsWindowVisible(grabber.MainWindow())) {
        platform::ShowWindow(grabber.MainWindow(), platform::SwShow);
    }
    return platform::GlobalUnlock(dib) ? 1 : 0;
}

}  // namespace kivoly
