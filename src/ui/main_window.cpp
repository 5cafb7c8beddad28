#include "ui/main_window.h"

#include <strings.h>

#include <algorithm>
#include <memory>
#include <new>

#include "api/grabber.h"
#include "api/settings_io.h"
#include "capture/video_source.h"
#include "framework/window_classes.h"
#include "output/display_palette.h"
#include "output/packed_dib.h"
#include "output/picture_window.h"
#include "output/skin_archive.h"
#include "platform/clock.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"
#include "platform/key_state.h"
#include "platform/profile.h"
#include "platform/sound.h"
#include "platform/window/accelerators.h"
#include "platform/window/button.h"
#include "platform/window/display.h"
#include "platform/window/host_display.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/timers.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"
#include "resources/string_table.h"
#include "ui/internal/capture_button.h"
#include "ui/internal/help.h"
#include "ui/internal/process_panel.h"
#include "ui/internal/setup_window.h"

namespace kivoly::ui {

using namespace platform;

namespace {

constexpr int kTitleId = 52;
constexpr int kPreviewSize[2] = {160, 120};
constexpr uint32_t kMainStyle = WsCaption | WsSysMenu | WsMinimizeBox | WsMaximizeBox;
constexpr unsigned kPowerSaverMs = 60000;
constexpr int kButtonWidth = 78;
constexpr int kButtonHeight = 17;
constexpr int kButtonTop = 219;
constexpr int kPreviewHintAt[2] = {43, 20};
constexpr int32_t kVideoWaitMs = 5000;

// The five owner-drawn buttons: their command, label, place and the member drawn while pressed.
struct ButtonEntry {
    int id;
    int labelId;
    int x;
    int pressedMember;
    Point memberAt;
};
constexpr ButtonEntry kButtons[5] = {
    {kPreviewButtonId, 24, 106, kPreviewPressed, {101, 211}},
    {kAdjustButtonId, 3, 194, kAdjustPressed, {189, 211}},
    {kSaveButtonId, 6, 282, kSavePressed, {277, 211}},
    {kSetupButtonId, 4, 370, kSetupPressed, {365, 211}},
    {kHelpButtonId, 5, 458, kHelpPressed, {454, 211}},
};

constexpr std::pair<int, int> kFrameStrips[3] = {{kSliderFrames, kSliderFrameCount},
                                                 {kKnobFrames, kKnobFrameCount},
                                                 {kValueFrames, kValueFrameCount}};

int ButtonIndex(int id) {
    return id >= kPreviewButtonId && id <= kHelpButtonId ? id - kPreviewButtonId : -1;
}

MainWindow* PaneOwner(KivoHWnd pane) {
    return dynamic_cast<MainWindow*>(ObjectFromWindow(GetParent(pane)));
}

LResult PreviewPaneWindowProc(KivoHWnd pane, uint32_t message, WParam first, LParam second) {
    if (MainWindow* owner = PaneOwner(pane)) {
        return owner->PreviewPaneProc(pane, message, first, second);
    }
    return DefWindowProc(pane, message, first, second);
}

void RegisterPreviewPaneClass() {
    WindowClass paneClass;
    paneClass.name = kPreviewPaneClass;
    paneClass.procedure = &PreviewPaneWindowProc;
    paneClass.style = CsOwnDc | CsByteAlignClient;
    paneClass.cursor = Cursor::Arrow;
    paneClass.background = ClassBackground::Hollow;
    RegisterClass(paneClass);
}

}  // namespace

MainWindow::MainWindow(Grabber& grabber, KivoHWnd parent, int showCommand) : grabber_(grabber) {
    // A: the palette first, so that the skin's members are mapped onto it.
    FlushSystemPalette();
    DefaultPalette();
    const KivoHWnd active = GetActiveWindow() ? GetActiveWindow() : GetDesktopWindow();
    if (DeviceContext* dc = GetDC(active)) {
        RealizeUiPalette(*dc);
        ReleaseDC(active, dc);
    }
    grabber_.ResetPreviewState();
    if (!LoadSkin()) return;

    Rect frame{0, 0, skin_[kMainPanel]->biWidth, skin_[kMainPanel]->biHeight};
    AdjustWindowRectEx(frame, kMainStyle, false, 0);
    width_ = frame.Width();
    height_ = frame.Height();
    Rect desktop;
    GetClientRect(GetDesktopWindow(), desktop);
    const int x = (desktop.Width() - width_) / 2;
    const int y = (desktop.Height() - height_) / 4;

    char title[120];
    LoadResourceString(kTitleId, title, sizeof title);
    RegisterFrameworkClass(FrameworkClass::Main);
    hwnd = CreateWindow(0, FrameworkClassName(FrameworkClass::Main), title, kMainStyle, x, y,
                        width_, height_, parent, 0, this);
    if (!hwnd) return;
    dc_ = GetDC(hwnd);
    CreateChildren();
    // The full window is the maximised state: the maximise box then switches to the strip.
    const bool plainShow =
        showCommand == SwShow || showCommand == SwShowNormal || showCommand == SwRestore;
    ShowWindow(hwnd, plainShow ? SwShowMaximized : showCommand);
    UpdateWindow(hwnd);
}

MainWindow::~MainWindow() {
    KillTimer(hwnd, kPowerSaverTimer);
    setupWindow_.reset();
    processPanel_.reset();
    captureButton_.reset();
    if (previewPane_) DestroyWindow(previewPane_);
    DestroyOwnWindow();
    FreeSkin();
    DeleteDefaultPalette();
}

bool MainWindow::LoadSkin() {
    for (int number = 1; number <= kSkinMemberCount; ++number) {
        skinBitmaps_[number] = ReadNextSkinBitmap(false);
        skin_.member[number] = skinBitmaps_[number].header;
    }
    ReadNextSkinBitmap(true);
    if (!skin_[kMainPanel]) return false;
    // The frame strips: each header describes one frame.
    for (auto [number, frames] : kFrameStrips) {
        if (platform::BitmapInfoHeader* strip = skin_[number]) {
            strip->biHeight /= frames;
            strip->biSizeImage /= frames;
        }
    }
    return true;
}

void MainWindow::FreeSkin() {
    for (auto [number, frames] : kFrameStrips) {
        if (platform::BitmapInfoHeader* strip = skin_[number]) {
            strip->biHeight *= frames;
            strip->biSizeImage *= frames;
        }
    }
    for (int number = 1; number <= kSkinMemberCount; ++number) {
        FreeSkinBitmap(skinBitmaps_[number]);
        skin_.member[number] = nullptr;
    }
}

void MainWindow::CreateChildren() {
    LoadAccelerators(kMainAccelerators);
    RegisterPreviewPaneClass();
    previewPane_ = CreateWindow(0, kPreviewPaneClass, "PreviewWindow", WsChild, kPreviewArea.left,
                                kPreviewArea.top, kPreviewArea.Width(), kPreviewArea.Height(), hwnd,
                                0, nullptr);

    for (int i = 0; i < 5; ++i) {
        const ButtonEntry& entry = kButtons[i];
        const uint32_t visible = entry.id == kSaveButtonId ? 0 : WsVisible;
        buttons_[i] = CreateWindow(0, kButtonClass, StringText(entry.labelId),
                                   WsChild | visible | BsOwnerDraw, entry.x, kButtonTop,
                                   kButtonWidth, kButtonHeight, hwnd, entry.id, nullptr);
    }

    grabber_.EnsurePreviewBitmap();

    captureButton_ = std::make_unique<CaptureButton>(grabber_, hwnd, skin_);
    processPanel_ = std::make_unique<ProcessPanel>(grabber_, hwnd, skin_);
    setupWindow_ = std::make_unique<SetupWindow>(grabber_, hwnd, skin_);
}

KivoHWnd MainWindow::Button(int id) const {
    const int index = ButtonIndex(id);
    return index < 0 ? nullptr : buttons_[index];
}

bool MainWindow::SaveShown() const {
    return grabber_.PictureShown() && grabber_.HasCallback(KivoCallbackSave);
}

Rect MainWindow::MemberRect(int member, Point at) const {
    const platform::BitmapInfoHeader* header = skin_[member];
    if (!header) return {};
    return {at.x, at.y, at.x + header->biWidth, at.y + header->biHeight};
}

void MainWindow::InvalidateMember(int member, Point at) {
    // Member places are in the full window's co-ordinates; the strip is drawn shifted.
    const Point origin = compact_ ? kStripOrigin : Point{0, 0};
    const Rect area = MemberRect(member, at).Offset(-origin.x, -origin.y);
    InvalidateRect(hwnd, &area, false);
}

// ---- Modes -------------------------------------------------------------------------------

void MainWindow::SetMode(Mode next) {
    if (next == mode_ && next != Mode::Preview) return;
    grabber_.StopPreviewing();
    LeaveMode(next);
    const Point origin = next == Mode::Compact ? kStripOrigin : Point{0, 0};
    if (dc_) dc_->SetWindowOrigin(origin);
    if (next != mode_) {
        mode_ = next;
        InvalidateRect(hwnd, nullptr, true);
    }
    EnterMode(next);
    const KivoHWnd focus = GetFocus();
    if (focus && focus != hwnd && IsChild(hwnd, focus)) SetFocus(hwnd);
}

void MainWindow::LeaveMode(Mode next) {
    switch (mode_) {
        case Mode::Preview:
            if (next != Mode::Preview) {
                ShowWindow(Button(kPreviewButtonId), SwShow);
                if (grabber_.GrabInfo().PowerSaver) grabber_.ChangeStatus(KivoStatusIdle);
                if (platform::BitmapInfoHeader* header = LockDib(grabber_.PreviewBitmap())) {
                    std::fill_n(DibPixels(header), DibTotalBytes(*header) - DibPixelOffset(*header),
                                uint8_t{0});
                    GlobalUnlock(grabber_.PreviewBitmap());
                }
            }
            grabber_.SetPreviewMode(0);
            StopSound();
            ShowWindow(previewPane_, SwHide);
            lowBattery_ = false;
            tooBright_ = false;
            break;
        case Mode::Adjust:
            ShowWindow(Button(kAdjustButtonId), SwShow);
            if (processPanel_) processPanel_->HidePanel();
            break;
        case Mode::Setup:
            ShowWindow(Button(kSetupButtonId), SwShow);
            if (setupWindow_) setupWindow_->Show(SwHide);
            break;
        case Mode::Compact:
            LeaveCompact();
            break;
        case Mode::Plain:
            break;
    }
}

void MainWindow::EnterMode(Mode next) {
    switch (next) {
        case Mode::Preview:
            ShowWindow(Button(kPreviewButtonId), SwHide);
            UpdateWindow(hwnd);
            if (grabber_.PreviewState() != 0) break;
            lowBattery_ = false;
            InvalidateMember(kLowBattery, kLowBatteryAt);
            InvalidateMember(kTooBright, kTooBrightAt);
            UpdateWindow(hwnd);
            if (!grabber_.ChangeStatus(KivoStatusVideoOn)) {
                SetMode(Mode::Plain);
                break;
            }
            if (grabber_.GrabInfo().PowerSaver) SetTimer(hwnd, kPowerSaverTimer, kPowerSaverMs);
            grabber_.SetPreviewMode(1);
            grabber_.StartPreviewing();
            if (mode_ == Mode::Preview && hwnd) InvalidateRect(hwnd, &kPreviewArea, false);
            break;
        case Mode::Adjust:
            ShowWindow(Button(kAdjustButtonId), SwHide);
            if (processPanel_) {
                processPanel_->ShowPanel(grabber_.PictureShown());
                InvalidateRect(processPanel_->GetWindow(), nullptr, false);
                processPanel_->Update();
            }
            break;
        case Mode::Setup:
            ShowWindow(Button(kSetupButtonId), SwHide);
            if (setupWindow_) {
                setupWindow_->Show(SwShow);
                setupWindow_->Update();
            }
            break;
        case Mode::Compact:
            EnterCompact();
            break;
        case Mode::Plain:
            break;
    }
}

void MainWindow::MoveButtons(int dx, int dy) {
    auto move = [&](KivoHWnd button) {
        Rect rect;
        if (!button || !GetWindowRect(button, rect)) return;
        Point topLeft{rect.left, rect.top};
        ScreenToClient(hwnd, topLeft);
        MoveWindow(button, topLeft.x + dx, topLeft.y + dy, rect.Width(), rect.Height(), false);
    };
    if (captureButton_) move(captureButton_->GetWindow());
    for (KivoHWnd button : buttons_)
        move(button);
}

void MainWindow::EnterCompact() {
    if (compact_) return;
    Rect window;
    GetWindowRect(hwnd, window);
    Rect strip{0, 0, kCompactWidth, kCompactHeight};
    AdjustWindowRectEx(strip, kMainStyle, false, 0);
    WindowPlacement placement;
    GetWindowPlacement(hwnd, placement);
    placement.normalPosition = {window.right - strip.Width(), window.top, window.right,
                                window.top + strip.Height()};
    MoveButtons(-kStripOrigin.x, -kStripOrigin.y);
    compact_ = true;
    ShowWindow(Button(kSaveButtonId), SaveShown() ? SwShow : SwHide);
    InvalidateRect(hwnd, nullptr, true);
    if (IsZoomed(hwnd)) {
        SetWindowPlacement(hwnd, placement);
        ShowWindow(hwnd, SwRestore);
    } else {
        placement.showCommand = SwShowNormal;
        SetWindowPlacement(hwnd, placement);
    }
}

void MainWindow::LeaveCompact() {
    if (!compact_) return;
    Rect window;
    GetWindowRect(hwnd, window);
    Rect desktop;
    GetClientRect(GetDesktopWindow(), desktop);
    // Right edge kept; the top moves up as far as needed to keep the window on the desktop.
    int top = window.top;
    if (top + height_ > desktop.bottom) top = std::max(0, desktop.bottom - height_);
    WindowPlacement placement;
    GetWindowPlacement(hwnd, placement);
    placement.normalPosition = {window.right - width_, top, window.right, top + height_};
    placement.showCommand = SwShowNormal;
    SetWindowPlacement(hwnd, placement);
    MoveButtons(kStripOrigin.x, kStripOrigin.y);
    compact_ = false;
    ShowWindow(hwnd, SwShowMaximized);
}

// ---- The window's messages ---------------------------------------------------------------

LResult MainWindow::WindowProc(uint32_t message, WParam first, LParam second) {
    switch (message) {
        case WmCommand:
            if (CaptureBusy()) return 0;
            Command(LoWord(first), first, second);
            return 0;
        case WmPaint:
            Paint();
            return 0;
        case WmEraseBkgnd:
            return 1;
        case WmDrawItem:
            DrawItem(reinterpret_cast<const void*>(second));
            return 1;
        case WmActivate:
            if (LoWord(first) == WaInactive) {
                if (grabber_.PreviewState() == 1) {
                    grabber_.StopAndRepost(hwnd, message, first, second);
                    KillTimer(hwnd, kPowerSaverTimer);
                    InvalidateRect(previewPane_, nullptr, false);
                    ShowWindow(previewPane_, SwShow);
                }
            } else if (grabber_.PreviewState() == 0 && !CaptureBusy()) {
                SetFocus(hwnd);
                grabber_.Call(KivoCallbackActivate);
            }
            return 0;
        case WmGetMinMaxInfo: {
            // The largest size is the full window at its place: maximised is the full window.
            auto* info = reinterpret_cast<MinMaxInfo*>(second);
            WindowPlacement placement;
            GetWindowPlacement(hwnd, placement);
            info->maxSize = {width_, height_};
            info->maxTrackSize = {width_, height_};
            info->maxPosition = {placement.normalPosition.left, placement.normalPosition.top};
            if (!compact_ && placement.normalPosition.Width() != width_) {
                Rect window;
                GetWindowRect(hwnd, window);
                info->maxPosition = {window.left, window.top};
            }
            return 0;
        }
        case WmNcLButtonDblClk:
            if (first != HtCaption) break;
            if (grabber_.StopAndRepost(hwnd, message, first, second)) return 0;
            if (IsZoomed(hwnd)) {
                SetMode(Mode::Compact);
            } else if (!IsIconic(hwnd)) {
                SetMode(Mode::Plain);
            }
            return 0;
        case WmSysCommand:
            if (grabber_.StopAndRepost(hwnd, message, first, second)) return 0;
            if ((first & 0xFFF0) == ScMaximize) {
                SetMode(Mode::Plain);
            } else if ((first & 0xFFF0) == ScRestore && !IsIconic(hwnd)) {
                SetMode(Mode::Compact);
            }
            break;
        case WmMouseMove:
            if (GetActiveWindow() != hwnd) break;
            if (grabber_.PreviewState() == 1) {
                if (grabber_.GrabInfo().PowerSaver) SetTimer(hwnd, kPowerSaverTimer, kPowerSaverMs);
            } else if (mode_ == Mode::Preview && grabber_.PreviewState() == 0 && !CaptureBusy()) {
                SetMode(Mode::Preview);
            }
            return 0;
        case WmTimer:
            if (first != kPowerSaverTimer) break;
            grabber_.StopAndRepost(hwnd, message, first, second);
            KillTimer(hwnd, kPowerSaverTimer);
            return 0;
        case WmClose:
            Close();
            return 0;
        case WmQuit:
            if (!CaptureBusy()) grabber_.StopAndRepost(hwnd, message, first, second);
            return 0;
        case WmQueryNewPalette:
        case WmPaletteChanged: {
            if (message == WmPaletteChanged && reinterpret_cast<KivoHWnd>(first) == hwnd) return 0;
            if (!dc_) return 0;
            dc_->SelectPalette(ExistingDefaultPalette(), false);
            const int changed = dc_->RealizePalette();
            if (changed) dc_->UpdateColours();
            return changed;
        }
        case WmPowerBroadcast:
            if (grabber_.Status() > KivoStatusArmed) grabber_.ChangeStatus(KivoStatusIdle);
            return 1;
        default:
            break;
    }
    return DefaultProc(message, first, second);
}

void MainWindow::Close() {
    if (CaptureBusy()) return;
    grabber_.StopPreviewing();
    ShowWindow(hwnd, SwHide);
    if (grabber_.HasCallback(KivoCallbackClose)) {
        grabber_.Call(KivoCallbackClose);
        return;
    }
    KillTimer(hwnd, kPowerSaverTimer);
    DestroyWindow(hwnd);
    grabber_.ForgetMainWindow();
    PostQuitMessage(0);
}

void MainWindow::Command(int id, WParam first, LParam second) {
    auto tookIt = [&] { return grabber_.StopAndRepost(hwnd, WmCommand, first, second); };
    switch (id) {
        case kCmdStopPreview:
            grabber_.StopPreviewing();
            return;
        case kCmdPreview:
        case kPreviewButtonId:
            if (!tookIt()) SetMode(Mode::Preview);
            return;
        case kCmdSetup:
        case kSetupButtonId:
            if (!tookIt()) SetMode(Mode::Setup);
            return;
        case kCmdSetupItem: {
            const Mode previous = mode_;
            if (mode_ == Mode::Preview) SetMode(Mode::Plain);
            if (setupWindow_) setupWindow_->HandleCommand(id);
            SetMode(previous);
            return;
        }
        case kCmdAdjust:
        case kAdjustButtonId:
            if (!tookIt()) SetMode(Mode::Adjust);
            return;
        case kCmdCapture:
        case kCaptureButtonId:
            // A running preview holds the device: it ends first, then the capture is made.
            if (!tookIt()) CaptureCommand();
            return;
        case kCmdHelp:
        case kHelpButtonId:
            HelpCommand();
            return;
        case kCmdSave:
        case kSaveButtonId:
            if (tookIt()) {
                if (mode_ == Mode::Preview) SetMode(Mode::Plain);
            } else {
                grabber_.Call(KivoCallbackSave);
            }
            return;
        case kCmdProcess:
        case kCmdReset:
        case kCmdUp:
        case kCmdDown:
        case kCmdNext:
        case kCmdPrevious:
        case kCmdShiftUp:
        case kCmdShiftDown:
            if (mode_ == Mode::Adjust && processPanel_) processPanel_->HandleCommand(id);
            if (mode_ == Mode::Setup && setupWindow_) setupWindow_->HandleCommand(id);
            return;
        case kCmdSaveSettings:
            grabber_.SaveSettings();
            grabber_.Call(KivoCallbackSettingsSaved);
            return;
        default:
            DefaultProc(WmCommand, first, second);
            return;
    }
}

// D: the capture command. The device's video is switched on and awaited first, so that the
// host's capture starts at once; with Ctrl and Alt held the capture reads the raw file instead
// and the device is left alone.
void MainWindow::CaptureCommand() {
    const bool wasPreview = mode_ == Mode::Preview;
    if (wasPreview) {
        ShowWindow(previewPane_, SwHide);
        mode_ = Mode::Plain;
    }
    const bool fromFile = IsKeyDownNow(VkControl) && IsKeyDownNow(VkMenu);
    VideoSource* source = grabber_.Source();
    bool capture = true;
    if (!(source && source->IsReady() && grabber_.Status() >= KivoStatusVideoOn)) {
        if (captureButton_) captureButton_->SetState(CaptureButton::kWaiting);
        if (!fromFile && grabber_.ChangeStatus(KivoStatusVideoOn)) WaitForVideo();
        capture = fromFile || grabber_.Status() >= KivoStatusVideoOn;
        if (capture && captureButton_) captureButton_->SetState(CaptureButton::kReady);
    }
    if (capture) {
        grabber_.Call(KivoCallbackCapture);
        // Commands given while the capture ran are dropped: they were meant for before it.
        Message dropped;
        while (hwnd && PeekMessage(dropped, hwnd, WmCommand, WmCommand, PmRemove)) {
        }
    }
    // The host may have closed the window for good from its callback.
    if (!hwnd || grabber_.Interface() != static_cast<UserInterface*>(this)) return;
    SetActiveWindow(hwnd);
    if (!IsWindowVisible(hwnd)) ShowWindow(hwnd, SwShow);
    if (captureButton_) captureButton_->SetState(CaptureButton::kReleased);
    ShowWindow(Button(kPreviewButtonId), SwShow);
    if (wasPreview) {
        mode_ = Mode::Preview;
        SetMode(Mode::Plain);
    }
}

void MainWindow::WaitForVideo() {
    // A device that never reports video must not hang the window: the capture then tells the
    // user that there is no signal.
    const int32_t deadline = NowMs() + kVideoWaitMs;
    while (grabber_.Source() && !grabber_.Source()->IsReady() && NowMs() - deadline < 0) {
    }
}

void MainWindow::HelpCommand() {
    if (IsKeyDownNow(VkShift)) {
        ShowVersionBox();
    } else {
        OpenUserGuide(hwnd);
    }
}

void MainWindow::ShowVersionBox() {
    ShowVersionMessage(hwnd, dc_);
}

// ---- Painting ----------------------------------------------------------------------------

void MainWindow::Paint() {
    PaintRecord paint;
    DeviceContext* painter = BeginPaint(hwnd, paint);
    if (!painter) {
        EndPaint(hwnd, paint);
        return;
    }
    const platform::BitmapInfoHeader* panel = skin_[kMainPanel];
    const int stripHeight = panel->biHeight - kStripOrigin.y;
    BackgroundMode previous = painter->SetBackgroundMode(BackgroundMode::Transparent);
    auto strip = [&] {
        DrawDibPart(*painter, 0, kStripOrigin.y, panel->biWidth, stripHeight, panel, 0,
                    kStripOrigin.y);
    };
    auto member = [&](int number, Point at) {
        if (skin_[number]) DrawDibPart(*painter, at.x, at.y, 0, 0, skin_[number], 0, 0);
    };
    switch (mode_) {
        case Mode::Preview: {
            const platform::BitmapInfoHeader* background =
                CaptureBusy() || !skin_[kPreviewBackground] ? panel : skin_[kPreviewBackground];
            DrawDibPart(*painter, 0, 0, panel->biWidth, kStripOrigin.y, background, 0, 0);
            strip();
            InvalidateRect(previewPane_, nullptr, false);
            member(kPreviewPressed, kButtons[0].memberAt);
            if (lowBattery_) member(kLowBattery, kLowBatteryAt);
            if (tooBright_) member(kTooBright, kTooBrightAt);
            break;
        }
        case Mode::Adjust:
            DrawAround(*painter, processPanel_.get());
            member(kAdjustPressed, kButtons[1].memberAt);
            break;
        case Mode::Setup:
            DrawAround(*painter, setupWindow_.get());
            member(kSetupPressed, kButtons[3].memberAt);
            break;
        case Mode::Plain:
        case Mode::Compact:
            DrawDibPart(*painter, 0, 0, 0, 0, panel, 0, 0);
            break;
    }
    // The Save place: its released image while a picture can be saved, else the panel.
    const Point saveAt = kButtons[2].memberAt;
    if (SaveShown() && skin_[kSaveReleased]) {
        member(kSaveReleased, saveAt);
    } else if (const platform::BitmapInfoHeader* pressed = skin_[kSavePressed]) {
        DrawDibPart(*painter, saveAt.x, saveAt.y, pressed->biWidth, pressed->biHeight, panel,
                    saveAt.x, saveAt.y);
    }
    painter->SetBackgroundMode(previous);
    EndPaint(hwnd, paint);
    if ((CaptureBusy() || grabber_.PreviewState() != 0) && captureButton_) {
        InvalidateRect(captureButton_->GetWindow(), nullptr, false);
    }
}

// The main panel around a child that covers part of the window: drawing over the child would
// wipe it until it repainted.
void MainWindow::DrawAround(DeviceContext& painter, const WindowObject* child) {
    Rect covered;
    if (child && IsWindowVisible(child->GetWindow()) &&
        GetWindowRect(child->GetWindow(), covered)) {
        Point topLeft{covered.left, covered.top};
        ScreenToClient(hwnd, topLeft);
        painter.ExcludeClipRect(covered.Offset(topLeft.x - covered.left, topLeft.y - covered.top));
    }
    DrawDibPart(painter, 0, 0, 0, 0, skin_[kMainPanel], 0, 0);
    painter.SelectClipRegion(nullptr);
}

void MainWindow::DrawItem(const void* data) {
    const auto& record = *static_cast<const DrawItemRecord*>(data);
    const int index = ButtonIndex(static_cast<int>(record.controlId));
    if (index < 0 || !dc_) return;
    const ButtonEntry& entry = kButtons[index];
    const bool modeButton = (entry.id == kPreviewButtonId && mode_ == Mode::Preview) ||
                            (entry.id == kAdjustButtonId && mode_ == Mode::Adjust) ||
                            (entry.id == kSetupButtonId && mode_ == Mode::Setup);
    const platform::BitmapInfoHeader* pressed = skin_[entry.pressedMember];
    if ((record.itemState & OdsSelected) || modeButton) {
        if (pressed) DrawDibPart(*dc_, entry.memberAt.x, entry.memberAt.y, 0, 0, pressed, 0, 0);
    } else if (entry.id == kSaveButtonId && skin_[kSaveReleased]) {
        DrawDibPart(*dc_, entry.memberAt.x, entry.memberAt.y, 0, 0, skin_[kSaveReleased], 0, 0);
    } else if (pressed) {
        DrawDibPart(*dc_, entry.memberAt.x, entry.memberAt.y, pressed->biWidth, pressed->biHeight,
                    skin_[kMainPanel], entry.memberAt.x, entry.memberAt.y);
    }
    CurrentDisplay().Present();
}

// ---- Preview pane and indicators ---------------------------------------------------------

LResult MainWindow::PreviewPaneProc(KivoHWnd pane, uint32_t message, WParam first, LParam second) {
    switch (message) {
        case WmSetFocus:
            SetFocus(hwnd);
            return 0;
        case WmEraseBkgnd:
            return 1;
        case WmPaint:
            PaintPreviewPane();
            return 0;
        default:
            return DefWindowProc(pane, message, first, second);
    }
}

void MainWindow::PaintPreviewPane() {
    PaintRecord paint;
    DeviceContext* painter = BeginPaint(previewPane_, paint);
    platform::BitmapInfoHeader* preview =
        grabber_.PreviewBitmap() ? LockDib(grabber_.PreviewBitmap()) : nullptr;
    if (painter && preview) {
        if (grabber_.PreviewState() != 0) {
            // Entries the device leaves nearly black would be taken for the display's reserved
            // black; they become a dark grey of the palette.
            uint8_t* table = reinterpret_cast<uint8_t*>(preview) + preview->biSize;
            for (int i = 0; i < DibColours(*preview); ++i) {
                uint8_t* entry = table + 4 * i;
                if (entry[2] == 1 || entry[2] == 2) entry[0] = entry[1] = entry[2] = 3;
            }
            DrawDibPart(*painter, 0, 0, kPreviewSize[0], kPreviewSize[1], preview, 0, 0);
        } else {
            if (const platform::BitmapInfoHeader* background = skin_[kPreviewBackground]) {
                DrawDibPart(*painter, 0, 0, kPreviewArea.Width(), kPreviewArea.Height(), background,
                            kPreviewArea.left, kPreviewArea.top);
            }
            if (!CaptureBusy() && skin_[kPreviewHint]) {
                DrawDibPart(*painter, kPreviewHintAt[0], kPreviewHintAt[1], 0, 0,
                            skin_[kPreviewHint], 0, 0);
            }
        }
    }
    if (preview) GlobalUnlock(grabber_.PreviewBitmap());
    EndPaint(previewPane_, paint);
}

void MainWindow::RefreshLowBattery() {
    VideoSource* source = grabber_.Source();
    const bool low = source && (source->ReadStatus(0x0100) & 0x0100) != 0;
    if (low == lowBattery_) return;
    lowBattery_ = low;
    InvalidateMember(kLowBattery, kLowBatteryAt);
    if (!low) return;
    char sound[120];
    ReadProfileString(kSoundSection, "LowBatterySound", "", sound, sizeof sound, kSettingsFileName);
    if (strcasecmp(sound, "None") == 0) return;
    if (!PlaySound(sound, SoundAsync | SoundNoStop)) MessageBeep(0);
}

void MainWindow::RefreshTooBright() {
    const bool clipped = grabber_.Source() && grabber_.Source()->Clipping();
    if (clipped == tooBright_) return;
    tooBright_ = clipped;
    InvalidateMember(kTooBright, kTooBrightAt);
}

void MainWindow::ShowPreviewPane() {
    InvalidateRect(previewPane_, nullptr, false);
    ShowWindow(previewPane_, SwShow);
}

// ---- Picture and settings ----------------------------------------------------------------

void MainWindow::PictureShown(bool shown, bool enablePanel) {
    ShowWindow(Button(kSaveButtonId),
               shown && grabber_.HasCallback(KivoCallbackSave) ? SwShow : SwHide);
    if (!shown) InvalidateRect(hwnd, nullptr, false);
    if (!processPanel_) return;
    EnableWindow(processPanel_->GetWindow(), shown && enablePanel);
    if (mode_ == Mode::Adjust) processPanel_->ShowPanel(shown);
    InvalidateRect(processPanel_->GetWindow(), nullptr, false);
}

void MainWindow::ApplySettings(const KivoProcessInfo& info) {
    if (processPanel_) processPanel_->ApplySettings(info);
}

// ---- KivoMakeUI --------------------------------------------------------------------------

KivoHWnd MakeUI(Grabber& grabber, KivoHWnd parent, int showCommand) {
    if (grabber.Interface() && grabber.MainWindow()) return grabber.MainWindow();
    grabber.DestroyUserInterface();  // a window closed for good is made anew
    EnsureHostDisplay();
    auto* window = new (std::nothrow) MainWindow(grabber, parent, showCommand);
    if (!window) return nullptr;
    const KivoHWnd handle = window->GetWindow();
    if (!handle) {
        delete window;
        return nullptr;
    }
    grabber.AttachUserInterface(std::unique_ptr<UserInterface>(window), handle);
    RegisterPictureWindowClass();
    return handle;
}

}  // namespace kivoly::ui
