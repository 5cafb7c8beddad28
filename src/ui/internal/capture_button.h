// CaptureButton: the main window's skinned capture button ("KivoBtnClass"). Holding it switches
// the device's video on and shows whether the device reports video ready; releasing it sends
// the main window the capture command. With Ctrl and Alt held a press captures at once (from the
// raw file, without the device).
//
// The button's window lies at (18, 219); its image is larger and is drawn into the main window
// at (6, 211): released the main panel's pixels, pressed and waiting for video member 12,
// pressed with video ready member 13.
#pragma once

#include "framework/window_object.h"
#include "platform/gdi/geometry.h"
#include "ui/skin_members.h"

namespace kivoly {
class Grabber;
}

namespace kivoly::ui {

class CaptureButton : public WindowObject {
  public:
    enum State : int { kReleased = -1, kWaiting = 0, kReady = 1 };
    static constexpr platform::Point kImageAt{6, 211};
    static constexpr platform::Rect kWindowRect{18, 219, 96, 236};
    static constexpr unsigned kPollTimer = 303;

    CaptureButton(Grabber& grabber, KivoHWnd mainWindow, const SkinMembers& skin);
    ~CaptureButton() override;

    platform::LResult WindowProc(uint32_t message, platform::WParam first,
                                 platform::LParam second) override;

    // Changes the state and draws it when it changed.
    void SetState(int state);
    int GetState() const { return state_; }
    // Draws the image of the current state into the main window.
    void Draw();

  private:
    bool VideoReady() const;
    void Poll();

    Grabber& grabber_;
    KivoHWnd mainWindow_;
    const SkinMembers& skin_;
    int state_ = kReleased;
};

}  // namespace kivoly::ui
