#include "ui/internal/adjustment_controls.h"

#include <array>

#include "framework/window_classes.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/mul_div.h"
#include "platform/window/input.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "ui/internal/skin_drawing.h"
#include "ui/skin_members.h"

namespace kivoly::ui {

using namespace platform;

namespace {

// The slider's height above its lowest place, by frame: the track bends, so equal value steps
// do not move it equally.
constexpr std::array<int, 51> kTrack = {0,  0,  1,  1,  3,  4,  6,  8,  9,  10, 11, 13, 15,
                                        18, 19, 21, 23, 25, 27, 29, 31, 33, 35, 35, 37, 39,
                                        41, 41, 43, 43, 45, 45, 45, 47, 47, 47, 49, 51, 53,
                                        55, 57, 59, 59, 59, 59, 59, 59, 59, 59, 59, 59};

constexpr int kDragStep = 3;  // pixels of pointer travel per value step

KivoHWnd CreateControl(DragControl& control, KivoHWnd panel, int controlId, Rect place) {
    RegisterFrameworkClass(FrameworkClass::Control);
    control.id = controlId;
    control.parent = panel;
    control.position = {place.left, place.top};
    return CreateWindow(0, FrameworkClassName(FrameworkClass::Control), "", WsChild | WsVisible,
                        place.left, place.top, place.Width(), place.Height(), panel, controlId,
                        &control);
}

void PaintFrame(KivoHWnd window, const platform::BitmapInfoHeader* frames, int frame,
                int frameCount) {
    PaintRecord paint;
    DeviceContext* dc = BeginPaint(window, paint);
    if (dc) DrawSkinFrame(*dc, 0, 0, frames, frame, frameCount);
    EndPaint(window, paint);
}

}  // namespace

Point PutCursorOnCentre(const DragControl& control, Point centre) {
    ClientToScreen(control.hwnd, centre);
    SetCursorPos(centre.x, centre.y);
    return centre;
}

Slider::Slider(KivoHWnd panel, int controlId, int x, const platform::BitmapInfoHeader* frames)
    : frames_(frames) {
    hwnd = CreateControl(*this, panel, controlId, {x, Top(0), x + kWidth, Top(0) + kHeight});
    position.y = kTrackTop;
}

Slider::~Slider() {
    DestroyOwnWindow();
}

int Slider::Frame(int value) {
    return MulDiv(kMaxValue - Clamp(value), 50, 100);
}

int Slider::Top(int value) {
    return kTrackTop + kTrack[static_cast<std::size_t>(Frame(value))];
}

void Slider::Paint() {
    PaintFrame(hwnd, frames_, Frame(value), kSliderFrameCount);
}

void Slider::SetValue(int newValue) {
    const int oldTop = Top(value);
    value = Clamp(newValue);
    const int newTop = Top(value);
    MoveWindow(hwnd, position.x, newTop, kWidth, kHeight, false);
    InvalidateRect(hwnd, nullptr, false);
    UpdateWindow(hwnd);
    if (oldTop != newTop) {
        // The panel shows its background where the slider was.
        const Rect uncovered{position.x, std::min(oldTop, newTop), position.x + kWidth,
                             std::max(oldTop, newTop) + kHeight};
        InvalidateRect(parent, &uncovered, false);
        UpdateWindow(parent);
    }
    if (DragPanel* panel = Panel()) panel->DrawValueDisplay(*this);
}

void Slider::DragTo(Point screen) {
    const int travel = pressPoint.y - screen.y;
    const int steps = travel / kDragStep;
    if (steps == 0) return;
    SetValue(value + steps);
    // The travel short of a whole step counts towards the next one, so that the pointer's
    // motion gives one step per 3 pixels however finely the moves come.
    pressPoint = PutCursorOnCentre(*this, kDragCentre);
    pressPoint.y += travel - steps * kDragStep;
}

Knob::Knob(KivoHWnd panel, int controlId, Point at, const platform::BitmapInfoHeader* frames)
    : frames_(frames) {
    hwnd = CreateControl(*this, panel, controlId, {at.x, at.y, at.x + kWidth, at.y + kHeight});
}

Knob::~Knob() {
    DestroyOwnWindow();
}

void Knob::Paint() {
    PaintFrame(hwnd, frames_, value - kMinValue, kKnobFrameCount);
}

void Knob::SetValue(int newValue) {
    value = Clamp(newValue);
    InvalidateRect(hwnd, nullptr, false);
    UpdateWindow(hwnd);
    if (DragPanel* panel = Panel()) panel->DrawValueDisplay(*this);
}

void Knob::DragTo(Point screen) {
    const int travel = screen.x - pressPoint.x;
    const int steps = travel / kDragStep;
    if (steps == 0) return;
    SetValue(value + steps);
    pressPoint = PutCursorOnCentre(*this, kDragCentre);
    pressPoint.x -= travel - steps * kDragStep;
}

}  // namespace kivoly::ui
