// Skin members for the panel tests, made in memory: every frame and member is one flat colour
// that names it, so that a pixel on the screen tells which member and frame was drawn there.
// The two backgrounds are gradients, so that a copied area shows where it was copied from.
#pragma once

#include <cstdint>

#include "platform/global_memory.h"
#include "ui/skin_members.h"

namespace kivoly::test {

class PanelTestSkin {
  public:
    PanelTestSkin();
    ~PanelTestSkin();
    PanelTestSkin(const PanelTestSkin&) = delete;
    PanelTestSkin& operator=(const PanelTestSkin&) = delete;

    const ui::SkinMembers& Members() const { return members_; }

    // The colour (0x00RRGGBB) of a frame of the strips 14, 15 and 16, and of the flat members.
    static uint32_t FrameColour(int member, int frame) {
        return (uint32_t(frame) << 16) | (uint32_t(member) << 8) | 0x80;
    }
    static uint32_t FlatColour(int member) { return 0xC00000 | (uint32_t(member) << 8); }
    // The background members (20, 21) at (x, y).
    static uint32_t BackgroundColour(int member, int x, int y) {
        return (uint32_t(x % 256) << 16) | (uint32_t(y) << 8) | uint32_t(member);
    }

  private:
    ui::SkinMembers members_;
    platform::GlobalHandle handles_[ui::kSkinMemberCount + 1] = {};
};

}  // namespace kivoly::test
