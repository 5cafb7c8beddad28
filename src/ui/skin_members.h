// The 23 skin bitmaps of the main window, as read from the skin archive: their meaning is their
// place in the archive, numbered 1 to 23 in file order. Each is a locked packed bitmap owned by
// the main window; the frame strips (value displays, knobs, sliders) have their headers divided
// so that each describes one frame.
#pragma once

#include <array>

#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"

namespace kivoly::ui {

enum SkinMember : int {
    kMainPanel = 1,        // the client area's size and background
    kPreviewPressed,       // Preview button in the preview mode, at (101, 211)
    kAdjustPressed,        // Adjust button in the adjustment mode, at (189, 211)
    kSavePressed,          // at (277, 211)
    kSaveReleased,         // at (277, 211), while a picture is shown and can be saved
    kSetupPressed,         // Setup button in the setup mode, at (365, 211)
    kHelpPressed,          // at (454, 211)
    kPreviewBackground,    // the panel in the preview mode
    kLowBattery,           // indicator at (162, 161)
    kTooBright,            // indicator at (163, 181)
    kPreviewHint,          // drawn in the preview pane at (43, 20) while no preview runs
    kCaptureWaiting,       // capture button pressed, waiting for video, at (6, 211)
    kCaptureReady,         // capture button pressed with video ready, at (6, 211)
    kValueFrames,          // 101 value displays, -50..50, 25 x 14
    kKnobFrames,           // 101 knob frames, 36 x 39
    kSliderFrames,         // 51 slider frames, 56 x 30
    kResetPressed,         // adjustment panel, at (348, 167)
    kGoPressed,            // adjustment panel, at (440, 167)
    kGoReleased,           // adjustment panel, at (440, 167)
    kAdjustBackground,     // the adjustment panel
    kSetupBackground,      // the setup window
    kSetupMark,            // the selection mark, drawn at an item's left-top corner
    kSaveSettingsPressed,  // the setup window's Save Settings button, at (401, 179)
};

inline constexpr int kSkinMemberCount = 23;
inline constexpr int kValueFrameCount = 101;
inline constexpr int kKnobFrameCount = 101;
inline constexpr int kSliderFrameCount = 51;

struct SkinMembers {
    // Index 0 is unused so that the index is the member's number.
    std::array<platform::BitmapInfoHeader*, kSkinMemberCount + 1> member{};

    platform::BitmapInfoHeader* operator[](int number) const { return member[number]; }
};

}  // namespace kivoly::ui
