// DragControl: the base of the adjustment controls that the user drags with the mouse (sliders
// and knobs). A press captures the mouse, hides the cursor and marks the parent panel as
// dragging, so that only one control of a panel is dragged at a time; moves become DragTo
// calls in screen co-ordinates; the release puts the cursor back where it was pressed, shows
// it again and sends the parent exactly one command message with the control's identifier and
// its value.
//
// The parent is a DragPanel, reached through its window's object binding.
#pragma once

#include "framework/window_object.h"
#include "platform/gdi/geometry.h"

namespace kivoly {

class DragControl;

// The window that holds drag controls: it keeps the drag-in-progress flag they share.
class DragPanel : public WindowObject {
  public:
    int32_t dragInProgress = 0;

    // Draws the value display of `control` into the panel.
    virtual void DrawValueDisplay(const DragControl& control) = 0;
    // A control's value changed: the panel's preview renders again.
    virtual void RefreshPreview() = 0;
    // The window that takes the keyboard focus after every release of the button.
    virtual KivoHWnd FocusWindow() const = 0;
};

class DragControl : public WindowObject {
  public:
    static constexpr int kMinValue = -50;
    static constexpr int kMaxValue = 50;

    platform::LResult WindowProc(uint32_t message, platform::WParam first,
                                 platform::LParam second) override;
    // Draws the control's current frame.
    virtual void Paint() = 0;
    // Stores a new value, clamped to -50..50, and redraws.
    virtual void SetValue(int newValue) = 0;
    // Turns a pointer position (screen co-ordinates) during a drag into a new value.
    virtual void DragTo(platform::Point screen) = 0;

    // Sends the parent the command message of a changed value.
    void NotifyParent();
    DragPanel* Panel() const;

    int id = 0;  // the command identifier sent with notifications
    platform::Point position;
    int value = 0;
    platform::Point pressPoint;   // screen co-ordinates
    platform::Point savedCursor;  // where the cursor returns after a drag
    KivoHWnd parent = nullptr;

  protected:
    static int Clamp(int newValue);

  private:
    void EndDrag(DragPanel& panel);

    bool dragging_ = false;  // this control holds the panel's drag
};

}  // namespace kivoly
