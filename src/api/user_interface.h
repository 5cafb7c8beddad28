// UserInterface: what the Grabber asks of the library's own window once a host has made it
// (KivoMakeUI). The window lives in the layer above; the Grabber owns it through this face and
// deletes it with KivoDestroyUI or KivoFree.
#pragma once

#include "kivoly/kivoly.h"

namespace kivoly {

class UserInterface {
  public:
    virtual ~UserInterface() = default;

    // The main window's handle (null once the window was closed for good).
    virtual KivoHWnd Window() const = 0;

    // Called for every finished preview frame: the device's battery state and its too-bright
    // flag, then the preview pane, which shows the preview bitmap.
    virtual void RefreshLowBattery() = 0;
    virtual void RefreshTooBright() = 0;
    virtual void ShowPreviewPane() = 0;

    // The Grabber's ProcessInfo was written: the adjustment controls follow it.
    virtual void ApplySettings(const KivoProcessInfo& info) = 0;

    // A picture is shown (or no longer): the Save control and the adjustment panel follow;
    // `enablePanel` enables the panel while a picture is shown.
    virtual void PictureShown(bool shown, bool enablePanel) = 0;
};

}  // namespace kivoly
