// ProcessPreview: the small picture of the adjustment panel, 128 x 96, showing the current
// picture through the panel's settings. It renders one row per posted message (command 200),
// with the conversion's quick mode, so that the panel stays responsive while it fills; a white
// line below the last rendered row marks the progress. A refresh restarts a full pass from the
// row it has reached.
#pragma once

#include "framework/window_object.h"
#include "platform/global_memory.h"

namespace kivoly {
class YuvImage;
}

namespace kivoly::ui {

class ProcessPanel;

class ProcessPreview : public WindowObject {
  public:
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 96;
    static constexpr int kRenderCommand = 200;
    static constexpr int kRenderTimer = 301;

    // A child of the panel at (373, 37).
    explicit ProcessPreview(ProcessPanel& panel);
    ~ProcessPreview() override;

    platform::LResult WindowProc(uint32_t message, platform::WParam first,
                                 platform::LParam second) override;

    // The settings changed: render a full pass again (when a picture is shown).
    void Refresh();
    bool IsRendering() const { return rendering_; }
    int NextRow() const { return nextRow_; }

  private:
    void StartRendering(int firstRow, int stopRow);
    void RenderStep();
    bool CanRender() const;
    void RenderRow(YuvImage& picture, int row);
    void Paint();

    ProcessPanel& panel_;
    platform::GlobalHandle row24_ = nullptr;  // owned, 24-bit 128 x 1
    platform::GlobalHandle row8_ = nullptr;   // owned, 8-bit 128 x 1, on palette displays
    int nextRow_ = 0;
    int stopRow_ = 0;
    bool rendering_ = false;
    bool stepPosted_ = false;  // a render command waits in the queue
};

}  // namespace kivoly::ui
