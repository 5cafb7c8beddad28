// The two drag controls of the adjustment panel. Both show one frame of a skin strip for their
// value (-50..50) and turn the pointer's travel during a drag into steps of one per 3 pixels,
// putting the cursor back on their drag centre after every step so that it stays put.
//
// Slider: a 56 x 30 window that travels up and down its column of the panel; frame
// k = (50 - value) / 2, rounded, of a strip of 51 gives its look and the track table its height.
// Knob: a fixed 36 x 39 window showing frame value + 50 of a strip of 101; dragging to the
// right turns it up.
#pragma once

#include "framework/drag_control.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/geometry.h"

namespace kivoly::ui {

class Slider : public DragControl {
  public:
    static constexpr int kWidth = 56;
    static constexpr int kHeight = 30;
    static constexpr int kTrackTop = 80;
    static constexpr platform::Point kDragCentre{28, 15};

    // A child of the panel in column `x`, at value 0.
    Slider(KivoHWnd panel, int controlId, int x, const platform::BitmapInfoHeader* frames);
    ~Slider() override;

    void Paint() override;
    void SetValue(int newValue) override;
    void DragTo(platform::Point screen) override;

    // The strip frame for a value, and the window's top edge in the panel for it.
    static int Frame(int value);
    static int Top(int value);

  private:
    const platform::BitmapInfoHeader* frames_;  // not owned: one frame's header, 51 frames
};

class Knob : public DragControl {
  public:
    static constexpr int kWidth = 36;
    static constexpr int kHeight = 39;
    static constexpr platform::Point kDragCentre{18, 19};

    Knob(KivoHWnd panel, int controlId, platform::Point at,
         const platform::BitmapInfoHeader* frames);
    ~Knob() override;

    void Paint() override;
    void SetValue(int newValue) override;
    void DragTo(platform::Point screen) override;

  private:
    const platform::BitmapInfoHeader* frames_;  // not owned: one frame's header, 101 frames
};

// Moves the cursor onto a control's drag centre; returns that point (screen co-ordinates).
platform::Point PutCursorOnCentre(const DragControl& control, platform::Point centre);

}  // namespace kivoly::ui
