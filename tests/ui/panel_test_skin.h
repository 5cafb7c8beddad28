// The skin that the build makes, for the panel tests: its 23 members as the main window hands
// them on (the strips' headers describing one frame), and comparisons of what a window shows
// with them.
#pragma once

#include <cstdint>

#include "platform/gdi/geometry.h"
#include "platform/global_memory.h"
#include "ui/skin_members.h"

namespace kivoly::test {

class BuiltSkin {
  public:
    BuiltSkin();
    ~BuiltSkin();
    BuiltSkin(const BuiltSkin&) = delete;
    BuiltSkin& operator=(const BuiltSkin&) = delete;

    const ui::SkinMembers& Members() const { return members_; }
    bool Complete() const;

    // The colour (0x00RRGGBB) of pixel (x, y) of a frame of a member (a plain member has one),
    // frames counted from the top of the strip.
    uint32_t Pixel(int member, int x, int y, int frame = 0, int frameCount = 1) const;
    // Whether `window` shows the whole frame at `at` (client co-ordinates).
    bool Shows(KivoHWnd window, platform::Point at, int member, int frame = 0,
               int frameCount = 1) const;
    // Whether `window` shows the member's pixels of `area` at the same place.
    bool ShowsPart(KivoHWnd window, int member, const platform::Rect& area) const;

  private:
    ui::SkinMembers members_;
    platform::GlobalHandle handles_[ui::kSkinMemberCount + 1] = {};
};

// The stand-in for the main window: a top-level window that records the commands it gets.
KivoHWnd CreateTestMainWindow();
int LastMainCommand();

// Saves the screen for a person to look at when KIVOLY_SCREEN_DIR names a folder.
void SaveScreen(const char* name);

}  // namespace kivoly::test
