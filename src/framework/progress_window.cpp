#include "framework/progress_window.h"

#include "framework/progress_feedback.h"
#include "framework/window_classes.h"
#include "platform/mul_div.h"
#include "platform/window/button.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"

namespace kivoly {

using namespace platform;

namespace {

constexpr Rect kClientRect{0, 0, 320, 99};
constexpr int kBarLeft = 20;
constexpr int kBarTop = 30;
constexpr int kBarBottom = 50;
constexpr int kBarWidth = 280;
constexpr int kTextTop = 8;
constexpr int kTextBand = 31;  // a paint that begins above this row includes the text
constexpr Rect kCancelRect{90, 60, 230, 90};

}  // namespace

ProgressWindow::ProgressWindow(ProgressFeedback& shown) : feedback(&shown) {
    Rect frame = kClientRect;
    AdjustWindowRectEx(frame, WsPopup | WsCaption | WsSysMenu, false, WsExDlgModalFrame);
    width = frame.Width() + 1;
    height = frame.Height() + 1;
    Rect desktop;
    GetClientRect(GetDesktopWindow(), desktop);
    const char* name = FrameworkClassName(FrameworkClass::Progress);
    hwnd =
        CreateWindow(WsExDlgModalFrame, name, name, WsCaption, (desktop.Width() - width) / 2,
                     (desktop.Height() - height) / 2, width, height, GetDesktopWindow(), 0, this);
    if (!hwnd) return;
    dc = GetDC(hwnd);
    yellowBrush = CreateSolidBrush(dc->GetNearestColour(Rgb(255, 245, 48)));
    displacedBrush = dc->SelectBrush(yellowBrush);
    cancelButton = CreateWindow(0, kButtonClass, "Cancel", WsChild | BsDefPushButton,
                                kCancelRect.left, kCancelRect.top, kCancelRect.Width(),
                                kCancelRect.Height(), hwnd, kCancelId, nullptr);
    ShowCancel(feedback->IsCancellable());
    ShowWindow(hwnd, SwShow);
    UpdateWindow(hwnd);
}

ProgressWindow::~ProgressWindow() {
    if (dc) dc->SelectBrush(displacedBrush);
    DestroyOwnWindow();
}

void ProgressWindow::ShowCancel(bool show) {
    if (!cancelButton) return;
    ShowWindow(cancelButton, show ? SwShow : SwHide);
    if (show) UpdateWindow(cancelButton);
}

LResult ProgressWindow::WindowProc(uint32_t message, WParam first, LParam second) {
    switch (message) {
        case WmPaint:
            Paint();
            return 0;
        case WmEraseBkgnd:
            return 0;
        case WmCommand:
            if (LoWord(first) == kCancelId && feedback->IsCancellable()) {
                feedback->RequestAbort();
                return 0;
            }
            break;
        case WmQuit:
            feedback->RequestAbort();
            break;
        default:
            break;
    }
    return DefaultProc(message, first, second);
}

void ProgressWindow::Paint() {
    PaintRecord paint;
    DeviceContext* painter = BeginPaint(hwnd, paint);
    if (!painter || paint.paint.IsEmpty()) {
        EndPaint(hwnd, paint);
        return;
    }
    int bar = MulDiv(kBarWidth, feedback->Reached(), feedback->Limit());
    Rect barRect{kBarLeft, kBarTop, kBarLeft + bar, kBarBottom};
    painter->Rectangle(barRect.left, barRect.top, barRect.right, barRect.bottom);
    Region rest(paint.paint);
    rest.Subtract(barRect);
    painter->FillRegion(rest, StockBrush(StockObject::LightGreyBrush));
    if (feedback->IsCancellable()) {
        // A sunken frame: shadow on the left and top, light on the right and bottom.
        Pen previous = painter->SelectPen(CreatePen(PenStyle::Solid, 1, Rgb(128, 128, 128)));
        painter->MoveTo(kBarLeft - 1, kBarBottom);
        painter->LineTo(kBarLeft - 1, kBarTop - 1);
        painter->LineTo(kBarLeft + kBarWidth, kBarTop - 1);
        painter->SelectPen(CreatePen(PenStyle::Solid, 1, Rgb(255, 255, 255)));
        painter->LineTo(kBarLeft + kBarWidth, kBarBottom);
        painter->LineTo(kBarLeft, kBarBottom);
        painter->SelectPen(previous);
    }
    if (paint.paint.top < kTextBand) {
        BackgroundMode mode = painter->SetBackgroundMode(BackgroundMode::Transparent);
        uint32_t align = painter->SetTextAlign(TaCenter | TaTop);
        painter->TextOut(width / 2, kTextTop, feedback->Text());
        painter->SetTextAlign(align);
        painter->SetBackgroundMode(mode);
    }
    EndPaint(hwnd, paint);
}

}  // namespace kivoly
