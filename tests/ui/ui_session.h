// A Grabber with its main window on the headless display, over the simulated digitizer and a
// fresh settings folder, with the skin the build draws.
#pragma once

#include <string>

#include "api/grabber.h"
#include "kivoly/kivoly.h"
#include "sim/simulated_rig.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"
#include "ui/main_window.h"

namespace kivoly::test {

class UiSession {
  public:
    UiSession();
    ~UiSession();

    // KivoMakeUI; null when it failed.
    KivoHWnd Make();
    Grabber& grabber() { return *Grabber::From(handle); }
    ui::MainWindow& main() { return *static_cast<ui::MainWindow*>(grabber().userInterface); }
    // The host's message loop until nothing waits: every message offered to the library first.
    void Pump();
    // Clicks at a point of the main window's client area and handles what follows.
    void ClickAt(int x, int y);
    // Presses and releases a key (Shift, Ctrl, Alt held as `modifiers` says) and handles it.
    void Press(int virtualKey, unsigned modifiers = 0);
    // The colour shown at a point of the main window's client area (0x00RRGGBB).
    uint32_t Pixel(int x, int y);
    // The colour of member `member` at (x, y) of its own pixels, top row 0.
    uint32_t MemberPixel(int member, int x, int y);

    WindowSession windows;
    TempSettingsFolder folder;
    sim::SimulatedRig rig;
    KivoGrabber* handle = nullptr;
    KivoHWnd window = nullptr;
};

}  // namespace kivoly::test
