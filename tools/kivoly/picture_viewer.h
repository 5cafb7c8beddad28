// The program's own picture windows: each shows a converted picture at its size (fitted to the
// screen when larger) under a title, and is closed by the window manager like any other.
#pragma once

#include <string>

#include "kivoly/kivoly.h"

namespace kivoly::cli {

class PictureViewer {
  public:
    PictureViewer();
    ~PictureViewer();
    PictureViewer(const PictureViewer&) = delete;
    PictureViewer& operator=(const PictureViewer&) = delete;

    // Shows `dib` (the caller keeps it alive while it is shown) in a new window, or in the
    // latest one when `newWindow` is false and one is open.
    void Show(KivoHGlobal dib, const std::string& title, bool newWindow);
    // The latest window, null when none is open.
    KivoHWnd Latest() const { return latest_; }
    // Every window made by this viewer is closed.
    void CloseAll();

  private:
    KivoHWnd latest_ = nullptr;
};

}  // namespace kivoly::cli
