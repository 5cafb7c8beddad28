// ProcessPanel: the adjustment panel of the main window. Five sliders and four knobs set the
// picture adjustments, each with its value display drawn into the panel; Reset sets all nine
// to 0 and Go asks the host to process the picture again with them. Every change is written
// at once as the Grabber's ProcessInfo, and the small process preview renders the current
// picture through the new settings.
//
// The panel follows the Grabber's ProcessInfo: the main window hands it every write of it
// (ApplySettings), and the panel's own writes go the same way, so the controls always match.
#pragma once

#include <array>
#include <memory>

#include "api/grabber.h"
#include "framework/drag_control.h"
#include "platform/gdi/geometry.h"
#include "platform/window/button.h"
#include "ui/skin_members.h"

namespace kivoly::ui {

class ProcessPreview;

class ProcessPanel : public DragPanel {
  public:
    static constexpr int kControlCount = 9;
    static constexpr int kResetId = 116;
    static constexpr int kGoId = 117;

    // A hidden child of `mainWindow` at (0, 0) with the size of the panel background.
    ProcessPanel(Grabber& grabber, KivoHWnd mainWindow, const SkinMembers& skin);
    ~ProcessPanel() override;

    platform::LResult WindowProc(uint32_t message, platform::WParam first,
                                 platform::LParam second) override;

    // The Grabber's ProcessInfo was written: the controls follow it and the preview renders.
    void ApplySettings(const KivoProcessInfo& info);
    // A command of the panel's controls and buttons, or one that the main window passes on in
    // the adjustment mode (keyboard moves 14-19, Go 9, Reset 10).
    void HandleCommand(int command);
    // Shows the panel and its Reset button, and its Go button only when a picture is shown.
    void ShowPanel(bool pictureShown);
    void HidePanel();

    // DragPanel.
    void DrawValueDisplay(const DragControl& control) override;
    void RefreshPreview() override;
    KivoHWnd FocusWindow() const override { return mainWindow_; }

    // What the preview renders with.
    const KivoProcessInfo& Settings() const { return processInfo_; }
    Grabber& Owner() const { return grabber_; }
    DragControl& Control(int index) const { return *controls_[index]; }
    ProcessPreview& Preview() const { return *preview_; }

  private:
    void Paint();
    void DrawValue(platform::DeviceContext& dc, int index) const;
    void DrawItem(const platform::DrawItemRecord& item);
    void ClickAt(platform::Point point);
    void StoreControlValue(int command);
    void WriteSettings(const KivoProcessInfo& info);
    void ResetAdjustments();
    void Process();
    void StepCurrent(int delta);
    void MoveCurrent(int step);
    int IndexOf(int command) const;

    Grabber& grabber_;
    KivoHWnd mainWindow_;
    const SkinMembers& skin_;
    KivoProcessInfo processInfo_;
    std::array<std::unique_ptr<DragControl>, kControlCount> controls_;
    std::unique_ptr<ProcessPreview> preview_;
    KivoHWnd resetButton_ = nullptr;
    KivoHWnd goButton_ = nullptr;
    KivoHWnd pressedButton_ = nullptr;
    int current_ = -1;  // the control moved by the keyboard (-1: none yet)
};

}  // namespace kivoly::ui
