// MainWindow: the library's own capture window ("KivolyClass"). A fixed-size window dressed in
// the skin's members: a strip of buttons (capture, Preview, Adjust, Save, Setup, Help), the live
// preview pane with its low-battery and too-bright indicators, the adjustment panel and the
// setup window. It does not capture or convert by itself: it moves the Grabber's status, runs
// the live preview and calls the host's callbacks.
//
// Modes: 0 plain, 1 preview, 2 adjustment panel, 3 setup window, 4 compact (only the button
// strip). The full window is the window's maximised state and the compact strip its restored
// state, so that the caption's maximise box switches between them.
#pragma once

#include <memory>

#include "api/user_interface.h"
#include "framework/window_object.h"
#include "output/skin_archive.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/geometry.h"
#include "ui/commands.h"
#include "ui/skin_members.h"

namespace kivoly {
class Grabber;
}

namespace kivoly::ui {

class CaptureButton;
class ProcessPanel;
class SetupWindow;

inline constexpr const char* kPreviewPaneClass = "PreviewClass";

enum class Mode : int { Plain = 0, Preview = 1, Adjust = 2, Setup = 3, Compact = 4 };

// Where the parts of the main window lie (client co-ordinates of the full window).
inline constexpr platform::Point kStripOrigin{12, 211};  // the compact window's origin
inline constexpr platform::Rect kPreviewArea{332, 42, 492, 162};
inline constexpr platform::Point kLowBatteryAt{162, 161};
inline constexpr platform::Point kTooBrightAt{163, 181};
inline constexpr int kCompactWidth = 528;
inline constexpr int kCompactHeight = 36;
inline constexpr unsigned kPowerSaverTimer = 302;

class MainWindow : public WindowObject, public UserInterface {
  public:
    // Creates the window and its children (the window is null when it could not be made, for
    // instance without the skin's first member).
    MainWindow(Grabber& grabber, KivoHWnd parent, int showCommand);
    ~MainWindow() override;

    platform::LResult WindowProc(uint32_t message, platform::WParam first,
                                 platform::LParam second) override;

    void SetMode(Mode mode);
    Mode CurrentMode() const { return mode_; }

    // UserInterface.
    KivoHWnd Window() const override { return hwnd; }
    void RefreshLowBattery() override;
    void RefreshTooBright() override;
    void ShowPreviewPane() override;
    void ApplySettings(const KivoProcessInfo& info) override;
    void PictureShown(bool shown, bool enablePanel) override;

    KivoHWnd PreviewPane() const { return previewPane_; }
    KivoHWnd Button(int id) const;
    bool LowBatteryShown() const { return lowBattery_; }
    CaptureButton* Capture() const { return captureButton_.get(); }
    ProcessPanel* Panel() const { return processPanel_.get(); }
    SetupWindow* Setup() const { return setupWindow_.get(); }

    // The preview pane's window procedure.
    platform::LResult PreviewPaneProc(KivoHWnd pane, uint32_t message, platform::WParam first,
                                      platform::LParam second);

  private:
    bool LoadSkin();
    void FreeSkin();
    void CreateChildren();
    void Command(int id, platform::WParam first, platform::LParam second);
    void LeaveMode(Mode next);
    void EnterMode(Mode next);
    void EnterCompact();
    void LeaveCompact();
    void MoveButtons(int dx, int dy);
    void CaptureCommand();
    void WaitForVideo();
    void HelpCommand();
    void ShowVersionBox();
    void Paint();
    void DrawItem(const void* record);
    void DrawAround(platform::DeviceContext& painter, const WindowObject* child);
    void PaintPreviewPane();
    bool SaveShown() const;
    platform::Rect MemberRect(int member, platform::Point at) const;
    void InvalidateMember(int member, platform::Point at);
    void Close();

    Grabber& grabber_;
    SkinMembers skin_;
    SkinBitmap skinBitmaps_[kSkinMemberCount + 1] = {};
    std::unique_ptr<CaptureButton> captureButton_;
    std::unique_ptr<ProcessPanel> processPanel_;
    std::unique_ptr<SetupWindow> setupWindow_;
    KivoHWnd buttons_[5] = {};
    platform::DeviceContext* dc_ = nullptr;
    KivoHWnd previewPane_ = nullptr;
    int width_ = 0;  // the full window's size
    int height_ = 0;
    Mode mode_ = Mode::Plain;
    bool compact_ = false;  // the buttons are moved to the compact strip
    bool lowBattery_ = false;
    bool tooBright_ = false;
};

// KivoMakeUI: the Grabber's main window, made once; null when it cannot be made.
KivoHWnd MakeUI(Grabber& grabber, KivoHWnd parent, int showCommand);

}  // namespace kivoly::ui
