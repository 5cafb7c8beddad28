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

// What a window shows where it draws a member of the skin (see the skin archive's test).
inline std::string MemberGolden(int member) {
    return "skin-member-" + std::to_string(member);
}

class UiSession {
  public:
    UiSession();
    ~UiSession();

    KivoHWnd Make();  // KivoMakeUI; null when it failed
    Grabber& grabber() { return *Grabber::From(handle); }
    ui::MainWindow& main() { return *static_cast<ui::MainWindow*>(grabber().Interface()); }
    // The host's message loop until nothing waits: every message offered to the library first.
    void Pump();
    // Presses and releases a key (Shift, Ctrl, Alt held as `modifiers` says) and handles it.
    void Press(int virtualKey, unsigned modifiers = 0);
    // Presses (`down`) or releases the left mouse button at screen point `at` and handles it.
    void Button(bool down, platform::Point at);
    // Holds what `window` (the main window by default) shows of `area` (all of its client area
    // when empty) against the golden `name`.
    void ExpectShows(const std::string& name, platform::Rect area = {}, KivoHWnd window = nullptr);

    WindowSession windows;
    TempSettingsFolder folder;
    sim::SimulatedRig rig;
    KivoGrabber* handle = nullptr;
    KivoHWnd window = nullptr;
};

}  // namespace kivoly::test
