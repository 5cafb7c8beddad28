#include "ui/internal/process_panel.h"

#include <vector>

#include "framework/window_classes.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "ui/commands.h"
#include "ui/internal/adjustment_controls.h"
#include "ui/internal/panel_window.h"
#include "ui/internal/process_preview.h"
#include "ui/internal/skin_drawing.h"

namespace kivoly::ui {

using namespace platform;

namespace {

struct ControlPlace {
    int id;
    bool isSlider;
    int32_t KivoProcessInfo::*setting;
    Point control;  // a slider's column is its x
    Point valueDisplay;
};

// In keyboard order: the five sliders from the left, then the four knobs.
constexpr std::array<ControlPlace, ProcessPanel::kControlCount> kControls = {{
    {110, true, &KivoProcessInfo::Color, {25, 0}, {21, 169}},
    {111, true, &KivoProcessInfo::Brightness, {86, 0}, {86, 169}},
    {112, true, &KivoProcessInfo::Contrast, {147, 0}, {150, 169}},
    {113, true, &KivoProcessInfo::Gamma, {211, 0}, {216, 169}},
    {114, true, &KivoProcessInfo::Sharpness, {272, 0}, {280, 169}},
    {137, false, &KivoProcessInfo::Hue, {65, 18}, {58, 57}},
    {138, false, &KivoProcessInfo::Red, {129, 18}, {122, 57}},
    {139, false, &KivoProcessInfo::Green, {193, 18}, {186, 57}},
    {140, false, &KivoProcessInfo::Blue, {257, 18}, {246, 57}},
}};

constexpr int kValueWidth = 25;
constexpr int kValueHeight = 14;

// A click in a slider's column, between these rows, steps that slider towards the click.
constexpr int kColumnTop = 81;
constexpr int kColumnBottom = 168;
constexpr std::array<std::pair<int, int>, 5> kColumns = {
    {{26, 80}, {87, 141}, {148, 202}, {212, 266}, {273, 327}}};

constexpr Rect kResetButton{356, 181, 434, 198};
constexpr Rect kGoButton{449, 181, 527, 198};
constexpr Point kResetImage{348, 167};
constexpr Point kGoImage{440, 167};

Rect ValueRect(const ControlPlace& place) {
    return {place.valueDisplay.x, place.valueDisplay.y, place.valueDisplay.x + kValueWidth,
            place.valueDisplay.y + kValueHeight};
}

KivoHWnd CreateButton(KivoHWnd panel, int id, const Rect& place) {
    return CreateWindow(0, kButtonClass, "", WsChild | BsOwnerDraw, place.left, place.top,
                        place.Width(), place.Height(), panel, id, nullptr);
}

}  // namespace

ProcessPanel::ProcessPanel(Grabber& grabber, KivoHWnd mainWindow, const SkinMembers& skin)
    : grabber_(grabber), mainWindow_(mainWindow), skin_(skin), processInfo_(grabber.ProcessInfo()) {
    RegisterFrameworkClass(FrameworkClass::Control);
    hwnd = CreatePanelWindow(FrameworkClass::ProcessPanel, 3, skin[kAdjustBackground], mainWindow,
                             this);
    if (!hwnd) return;
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlPlace& place = kControls[i];
        if (place.isSlider) {
            controls_[i] =
                std::make_unique<Slider>(hwnd, place.id, place.control.x, skin[kSliderFrames]);
        } else {
            controls_[i] = std::make_unique<Knob>(hwnd, place.id, place.control, skin[kKnobFrames]);
        }
        controls_[i]->SetValue(processInfo_.*place.setting);
    }
    resetButton_ = CreateButton(hwnd, kResetId, kResetButton);
    goButton_ = CreateButton(hwnd, kGoId, kGoButton);
    preview_ = std::make_unique<ProcessPreview>(*this);
}

ProcessPanel::~ProcessPanel() {
    preview_.reset();
    for (auto& control : controls_)
        control.reset();
    DestroyOwnWindow();
}

int ProcessPanel::IndexOf(int command) const {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].id == command) return static_cast<int>(i);
    }
    return -1;
}

void ProcessPanel::ApplySettings(const KivoProcessInfo& info) {
    processInfo_ = info;
    if (!hwnd) return;
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const int setting = info.*kControls[i].setting;
        if (controls_[i]->value != setting) controls_[i]->SetValue(setting);
    }
    RefreshPreview();
}

void ProcessPanel::RefreshPreview() {
    if (preview_) preview_->Refresh();
}

void ProcessPanel::ShowPanel(bool pictureShown) {
    ShowWindow(hwnd, SwShow);
    ShowWindow(resetButton_, SwShow);
    ShowWindow(goButton_, pictureShown ? SwShow : SwHide);
    InvalidateRect(hwnd, nullptr, false);
    UpdateWindow(hwnd);
}

void ProcessPanel::HidePanel() {
    ShowWindow(hwnd, SwHide);
    ShowWindow(resetButton_, SwHide);
    ShowWindow(goButton_, SwHide);
}

void ProcessPanel::StoreControlValue(int command) {
    const int index = IndexOf(command);
    KivoProcessInfo info = grabber_.ProcessInfo();
    info.*kControls[static_cast<std::size_t>(index)].setting = controls_[index]->value;
    WriteSettings(info);
}

void ProcessPanel::WriteSettings(const KivoProcessInfo& info) {
    // With the main window, the Grabber hands the record back here already; following it twice
    // changes nothing, and without one the panel still follows its own write.
    grabber_.SetProcessInfo(info);
    ApplySettings(grabber_.ProcessInfo());
}

void ProcessPanel::ResetAdjustments() {
    KivoProcessInfo info = grabber_.ProcessInfo();
    for (const ControlPlace& place : kControls)
        info.*place.setting = 0;
    WriteSettings(info);
    SetFocus(mainWindow_);
}

void ProcessPanel::Process() {
    grabber_.Call(KivoCallbackProcess);
    if (mainWindow_ && !IsWindowVisible(mainWindow_)) ShowWindow(mainWindow_, SwShow);
    SetFocus(mainWindow_);
}

void ProcessPanel::StepCurrent(int delta) {
    if (current_ < 0) return;
    DragControl& control = *controls_[current_];
    control.SetValue(control.value + delta);
    control.NotifyParent();
    RefreshPreview();
}

void ProcessPanel::MoveCurrent(int step) {
    current_ = current_ < 0 ? (step > 0 ? 0 : kControlCount - 1)
                            : (current_ + step + kControlCount) % kControlCount;
    const DragControl& control = *controls_[current_];
    PutCursorOnCentre(control,
                      kControls[current_].isSlider ? Slider::kDragCentre : Knob::kDragCentre);
}

void ProcessPanel::HandleCommand(int command) {
    if (!hwnd) return;
    if (IndexOf(command) >= 0) {
        StoreControlValue(command);
        return;
    }
    switch (command) {
        case kResetId:
        case kCmdReset:
            ResetAdjustments();
            break;
        case kGoId:
        case kCmdProcess:
            Process();
            break;
        case kCmdUp:
            StepCurrent(1);
            break;
        case kCmdDown:
            StepCurrent(-1);
            break;
        case kCmdShiftUp:
            StepCurrent(10);
            break;
        case kCmdShiftDown:
            StepCurrent(-10);
            break;
        case kCmdNext:
            MoveCurrent(1);
            break;
        case kCmdPrevious:
            MoveCurrent(-1);
            break;
        default:
            break;
    }
}

void ProcessPanel::ClickAt(Point point) {
    if (point.y < kColumnTop || point.y > kColumnBottom) return;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (point.x < kColumns[i].first || point.x > kColumns[i].second) continue;
        current_ = static_cast<int>(i);
        const int top = Slider::Top(controls_[i]->value);
        if (point.y < top) {
            StepCurrent(1);
        } else if (point.y >= top + Slider::kHeight) {
            StepCurrent(-1);
        }
        return;
    }
}

void ProcessPanel::DrawValue(DeviceContext& dc, int index) const {
    const DragControl* control = controls_[static_cast<std::size_t>(index)].get();
    if (!control) return;  // still being made
    const Point at = kControls[static_cast<std::size_t>(index)].valueDisplay;
    DrawSkinFrame(dc, at.x, at.y, skin_[kValueFrames], control->value - DragControl::kMinValue,
                  kValueFrameCount);
}

void ProcessPanel::DrawValueDisplay(const DragControl& control) {
    const int index = IndexOf(control.id);
    if (index < 0 || !hwnd) return;
    DeviceContext* dc = GetDC(hwnd);
    if (!dc) return;
    DrawValue(*dc, index);
    ReleaseDC(hwnd, dc);
}

void ProcessPanel::Paint() {
    PaintRecord paint;
    DeviceContext* dc = BeginPaint(hwnd, paint);
    if (dc) {
        // The background goes around the controls and the preview: drawn over them, a moving
        // slider would vanish until its own repaint came through the queue.
        std::vector<KivoHWnd> covering;
        for (const auto& control : controls_) {
            if (control) covering.push_back(control->hwnd);
        }
        if (preview_) covering.push_back(preview_->hwnd);
        for (KivoHWnd child : covering) {
            Rect place;
            if (!child || !IsWindowVisible(child) || !GetWindowRect(child, place)) continue;
            Point topLeft{place.left, place.top};
            ScreenToClient(hwnd, topLeft);
            dc->ExcludeClipRect(place.Offset(topLeft.x - place.left, topLeft.y - place.top));
        }
        DrawSkinPart(*dc, skin_[kAdjustBackground], paint.paint);
        for (std::size_t i = 0; i < kControls.size(); ++i) {
            if (IntersectRect(ValueRect(kControls[i]), paint.paint).IsEmpty()) continue;
            DrawValue(*dc, static_cast<int>(i));
        }
    }
    EndPaint(hwnd, paint);
}

void ProcessPanel::DrawItem(const DrawItemRecord& item) {
    const bool isGo = item.controlId == static_cast<unsigned>(kGoId);
    const Point at = isGo ? kGoImage : kResetImage;
    DeviceContext* dc = GetDC(hwnd);
    if (!dc) return;
    if (item.itemState & OdsSelected) {
        pressedButton_ = item.item;
        DrawSkinMember(*dc, at.x, at.y, skin_[isGo ? kGoPressed : kResetPressed]);
    } else if (pressedButton_ == item.item || pressedButton_ == nullptr) {
        pressedButton_ = nullptr;
        if (!isGo) {
            const platform::BitmapInfoHeader* pressed = skin_[kResetPressed];
            if (pressed) {
                DrawSkinPart(*dc, skin_[kAdjustBackground],
                             {at.x, at.y, at.x + pressed->biWidth, at.y + pressed->biHeight});
            }
        } else if (grabber_.PictureShown()) {
            DrawSkinMember(*dc, at.x, at.y, skin_[kGoReleased]);
        }
    }
    ReleaseDC(hwnd, dc);
}

LResult ProcessPanel::WindowProc(uint32_t message, WParam first, LParam second) {
    switch (message) {
        case WmEraseBkgnd:
            return 1;
        case WmPaint:
            Paint();
            return 0;
        case WmClose:
            HidePanel();
            return 0;
        case WmShowWindow:
            if (first) ShowWindow(goButton_, grabber_.PictureShown() ? SwShow : SwHide);
            return 0;
        case WmDrawItem:
            DrawItem(*reinterpret_cast<const DrawItemRecord*>(second));
            return 1;
        case WmCommand:
            HandleCommand(LoWord(first));
            return 0;
        case WmLButtonDown:
            ClickAt({PointX(second), PointY(second)});
            return 0;
        default:
            break;
    }
    return DefaultProc(message, first, second);
}

}  // namespace kivoly::ui
