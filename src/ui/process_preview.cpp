#include "ui/internal/process_preview.h"

#include "api/grabber.h"
#include "decode/yuv_image.h"
#include "framework/window_classes.h"
#include "output/display_palette.h"
#include "output/ordered_dither.h"
#include "output/packed_dib.h"
#include "output/rgb_conversion.h"
#include "output/rgb_converter.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "ui/internal/process_panel.h"

namespace kivoly::ui {

using namespace platform;

namespace {

constexpr Point kPlace{373, 37};
constexpr uint32_t kTrueColour = 16777216;

// Takes one waiting message of the thread and handles it as the host's loop would, so that
// input and painting go on while the rows render: the library's own messages as
// KivoProcessWindowsMsg takes them, the others dispatched too rather than dropped.
void HandleOneMessage(Grabber& grabber) {
    Message message;
    if (!PeekMessage(message, nullptr, 0, 0, PmRemove)) return;
    if (message.message == WmQuit) {
        // The loop that asked to end must still see it.
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
    }
    if (grabber.ProcessWindowsMessage(message)) return;
    TranslateMessage(message);
    DispatchMessage(message);
}

}  // namespace

ProcessPreview::ProcessPreview(ProcessPanel& panel) : panel_(panel) {
    RegisterFrameworkClass(FrameworkClass::ProcessPreview);
    row24_ = CreateDib(24, kWidth, 1);
    if (!IsTrueColourDisplay()) row8_ = CreateDib(8, kWidth, 1);
    hwnd =
        CreateWindow(0, FrameworkClassName(FrameworkClass::ProcessPreview), "ProcView",
                     WsChild | WsVisible, kPlace.x, kPlace.y, kWidth, kHeight, panel.hwnd, 0, this);
}

ProcessPreview::~ProcessPreview() {
    DestroyOwnWindow();
    GlobalFree(row24_);
    GlobalFree(row8_);
}

bool ProcessPreview::CanRender() const {
    const Grabber& grabber = panel_.Owner();
    return hwnd != nullptr && row24_ != nullptr && grabber.PictureShown() &&
           grabber.CurrentPicture() != nullptr && IsWindowVisible(panel_.hwnd);
}

void ProcessPreview::StartRendering(int firstRow, int stopRow) {
    nextRow_ = firstRow;
    stopRow_ = stopRow;
    rendering_ = true;
    if (!stepPosted_) {
        stepPosted_ = PostMessage(hwnd, WmCommand, kRenderCommand, 0);
    }
}

void ProcessPreview::Refresh() {
    if (!hwnd || !panel_.Owner().PictureShown()) return;
    StartRendering(nextRow_, (nextRow_ + kHeight - 1) % kHeight);
}

void ProcessPreview::RenderStep() {
    if (!rendering_) return;
    if (!CanRender()) {
        // Painting starts again when the panel shows a picture.
        rendering_ = false;
        nextRow_ = stopRow_ = 0;
        return;
    }
    HandleOneMessage(panel_.Owner());
    // The message may have ended the picture, the panel or this window.
    if (!rendering_ || !CanRender()) return;

    KivoProcessInfo settings = panel_.Settings();
    settings.Width = kWidth;
    settings.Height = kHeight;
    settings.ColorCount = kTrueColour;
    YuvImage& picture = *panel_.Owner().CurrentPicture();
    const int row = nextRow_;
    // The picture keeps one conversion set-up, and a step may run inside a host's conversion
    // of it (from a dialog's message loop): that set-up is given back as it was found.
    const RgbConverter* converter = ConverterOf(picture);
    const bool prepared = converter != nullptr;
    const KivoProcessInfo found = prepared ? converter->processInfo : KivoProcessInfo{};
    if (PrepareConversion(picture, settings)) RenderRow(picture, row);
    if (prepared) PrepareConversion(picture, found);

    if (row == stopRow_) {
        rendering_ = false;
        nextRow_ = stopRow_ = 0;
        return;
    }
    nextRow_ = (row + 1) % kHeight;
    if (nextRow_ != stopRow_) {
        if (DeviceContext* dc = GetDC(hwnd)) {
            dc->FillRect({0, nextRow_, kWidth, nextRow_ + 1}, StockBrush(StockObject::WhiteBrush));
            ReleaseDC(hwnd, dc);
        }
    }
    if (!stepPosted_) stepPosted_ = PostMessage(hwnd, WmCommand, kRenderCommand, 0);
}

void ProcessPreview::RenderRow(YuvImage& picture, int row) {
    auto* row24 = static_cast<platform::BitmapInfoHeader*>(GlobalLock(row24_));
    ConvertRow(picture, DibPixels(row24), row, true);
    DeviceContext* dc = GetDC(hwnd);
    if (dc == nullptr) {
        GlobalUnlock(row24_);
        return;
    }
    auto* row8 = row8_ ? static_cast<platform::BitmapInfoHeader*>(GlobalLock(row8_)) : nullptr;
    if (row8 != nullptr && IsPaletteDevice(*dc)) {
        DitherRowTo8(DibPixels(row8), DibPixels(row24), kWidth, nullptr, row);
        DrawDibPart(*dc, 0, row, kWidth, 1, row8, 0, 0);
    } else {
        DrawDibPart(*dc, 0, row, kWidth, 1, row24, 0, 0);
    }
    if (row8 != nullptr) GlobalUnlock(row8_);
    GlobalUnlock(row24_);
    ReleaseDC(hwnd, dc);
}

void ProcessPreview::Paint() {
    PaintRecord paint;
    DeviceContext* dc = BeginPaint(hwnd, paint);
    if (dc != nullptr && !paint.paint.IsEmpty()) {
        if (rendering_) {
            StartRendering(0, kHeight - 1);
        } else {
            dc->FillRect(paint.paint, StockBrush(StockObject::BlackBrush));
            StartRendering(paint.paint.top % kHeight, (paint.paint.bottom - 1) % kHeight);
        }
    }
    EndPaint(hwnd, paint);
}

LResult ProcessPreview::WindowProc(uint32_t message, WParam first, LParam second) {
    switch (message) {
        case WmCommand:
            if (LoWord(first) != kRenderCommand) break;
            stepPosted_ = false;
            RenderStep();
            return 0;
        case WmTimer:
            if (first != kRenderTimer) break;
            if (!CaptureBusy()) RenderStep();
            return 0;
        case WmPaint:
            Paint();
            return 0;
        case WmClose:
            ShowWindow(hwnd, SwHide);
            return 0;
        default:
            break;
    }
    return DefaultProc(message, first, second);
}

}  // namespace kivoly::ui
