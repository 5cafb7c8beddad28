// ProgressWindow: the small window of a progress feedback: its text centred at the top, a
// yellow bar that grows to 280 pixels at the limit, a sunken frame around the bar while the
// operation can be cancelled, and a Cancel button (command 1) that requests the abort.
#pragma once

#include "framework/window_object.h"
#include "platform/gdi/device_context.h"

namespace kivoly {

class ProgressFeedback;

class ProgressWindow : public WindowObject {
  public:
    static constexpr int kCancelId = 1;

    explicit ProgressWindow(ProgressFeedback& feedback);
    ~ProgressWindow() override;

    platform::LResult WindowProc(uint32_t message, platform::WParam first,
                                 platform::LParam second) override;
    // Shows the Cancel button (and paints it at once) or hides it.
    void ShowCancel(bool show);

    ProgressFeedback* feedback;  // not owned
    platform::Brush yellowBrush;
    platform::Brush displacedBrush;
    int width = 0;
    int height = 0;
    platform::DeviceContext* dc = nullptr;  // the window's own context
    KivoHWnd cancelButton = nullptr;

  private:
    void Paint();
};

}  // namespace kivoly
