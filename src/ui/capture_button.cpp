#include "ui/internal/capture_button.h"

#include "api/grabber.h"
#include "capture/video_source.h"
#include "framework/window_classes.h"
#include "output/display_palette.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/key_state.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/timers.h"
#include "platform/window/window.h"
#include "resources/string_table.h"

namespace kivoly::ui {

using namespace platform;

namespace {
constexpr int kLabelId = 2;
constexpr int kCaptureCommand = 6;
// The system's shortest timer: the state follows the device as fast as the queue allows.
constexpr unsigned kPollMs = 1;
}  // namespace

CaptureButton::CaptureButton(Grabber& grabber, KivoHWnd mainWindow, const SkinMembers& skin)
    : grabber_(grabber), mainWindow_(mainWindow), skin_(skin) {
    RegisterFrameworkClass(FrameworkClass::SkinButton);
    hwnd = CreateWindow(0, FrameworkClassName(FrameworkClass::SkinButton), StringText(kLabelId),
                        WsChild | WsVisible, kWindowRect.left, kWindowRect.top, kWindowRect.Width(),
                        kWindowRect.Height(), mainWindow, 0, this);
}

CaptureButton::~CaptureButton() {
    DestroyOwnWindow();
}

bool CaptureButton::VideoReady() const {
    return grabber_.Source() && grabber_.Source()->IsReady();
}

void CaptureButton::SetState(int state) {
    if (state == state_) return;
    state_ = state;
    Draw();
}

void CaptureButton::Draw() {
    DeviceContext* dc = GetDC(mainWindow_);
    if (!dc) return;
    const platform::BitmapInfoHeader* waiting = skin_[kCaptureWaiting];
    if (state_ == kReleased) {
        if (waiting) {
            DrawDibPart(*dc, kImageAt.x, kImageAt.y, waiting->biWidth, waiting->biHeight,
                        skin_[kMainPanel], kImageAt.x, kImageAt.y);
        }
    } else {
        DrawDibPart(*dc, kImageAt.x, kImageAt.y, 0, 0,
                    state_ == kReady ? skin_[kCaptureReady] : waiting, 0, 0);
    }
    ReleaseDC(mainWindow_, dc);
    CurrentDisplay().Present();
}

void CaptureButton::Poll() {
    if (CaptureBusy()) return;
    const int state = VideoReady() ? kReady : GetCapture() == hwnd ? kWaiting : kReleased;
    SetState(state);
    KillTimer(hwnd, kPollTimer);
    if (state_ == kWaiting) SetTimer(hwnd, kPollTimer, kPollMs);
}

LResult CaptureButton::WindowProc(uint32_t message, WParam first, LParam second) {
    switch (message) {
        case WmLButtonDown:
            if (IsKeyDownNow(VkControl) && IsKeyDownNow(VkMenu)) {
                SendMessage(mainWindow_, WmCommand, kCaptureCommand, 0);
                return 0;
            }
            SetCapture(hwnd);
            if (grabber_.Status() < KivoStatusVideoOn) {
                SetState(kWaiting);
                grabber_.ChangeStatus(KivoStatusVideoOn);
                SetTimer(hwnd, kPollTimer, kPollMs);
            } else {
                SetState(VideoReady() ? kReady : kWaiting);
            }
            return 0;
        case WmTimer:
            if (first == kPollTimer) {
                Poll();
                return 0;
            }
            break;
        case WmLButtonUp:
            if (GetCapture() == hwnd) {
                KillTimer(hwnd, kPollTimer);
                ReleaseCapture();
                SendMessage(mainWindow_, WmCommand, kCaptureCommand, 0);
            }
            return 0;
        case WmPaint: {
            PaintRecord paint;
            BeginPaint(hwnd, paint);
            EndPaint(hwnd, paint);
            Draw();
            return 0;
        }
        case WmEraseBkgnd:
            return 1;
        default:
            break;
    }
    return DefaultProc(message, first, second);
}

}  // namespace kivoly::ui
