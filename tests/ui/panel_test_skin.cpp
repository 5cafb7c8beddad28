#include "ui/panel_test_skin.h"

#include "output/packed_dib.h"

namespace kivoly::test {

namespace {

struct MemberShape {
    int number;
    int width;
    int frameHeight;
    int frames;  // 1 for plain members
};

constexpr MemberShape kShapes[] = {
    {ui::kValueFrames, 25, 14, ui::kValueFrameCount},
    {ui::kKnobFrames, 36, 39, ui::kKnobFrameCount},
    {ui::kSliderFrames, 56, 30, ui::kSliderFrameCount},
    {ui::kResetPressed, 92, 40, 1},
    {ui::kGoPressed, 92, 40, 1},
    {ui::kGoReleased, 92, 40, 1},
    {ui::kAdjustBackground, 540, 211, 1},
    {ui::kSetupBackground, 540, 211, 1},
    {ui::kSetupMark, 16, 16, 1},
    {ui::kSaveSettingsPressed, 116, 28, 1},
};

void Put(uint8_t* pixel, uint32_t colour) {
    pixel[0] = static_cast<uint8_t>(colour);
    pixel[1] = static_cast<uint8_t>(colour >> 8);
    pixel[2] = static_cast<uint8_t>(colour >> 16);
}

}  // namespace

PanelTestSkin::PanelTestSkin() {
    for (const MemberShape& shape : kShapes) {
        const int height = shape.frameHeight * shape.frames;
        platform::GlobalHandle handle = CreateDib(24, shape.width, height);
        auto* header = LockDib(handle);
        const int stride = DibStride(24, shape.width);
        const bool background =
            shape.number == ui::kAdjustBackground || shape.number == ui::kSetupBackground;
        for (int memoryRow = 0; memoryRow < height; ++memoryRow) {
            // Frame k lies k frames into the rows; rows within a frame run bottom-up.
            const int frame = memoryRow / shape.frameHeight;
            const int y = shape.frameHeight - 1 - memoryRow % shape.frameHeight;
            uint8_t* row = DibPixels(header) + std::size_t(memoryRow) * stride;
            for (int x = 0; x < shape.width; ++x) {
                uint32_t colour =
                    shape.frames > 1 ? FrameColour(shape.number, frame) : FlatColour(shape.number);
                if (background) colour = BackgroundColour(shape.number, x, y);
                Put(row + 3 * x, colour);
            }
        }
        // As the main window hands them on: the strips' headers describe one frame.
        header->biHeight = shape.frameHeight;
        header->biSizeImage /= static_cast<uint32_t>(shape.frames);
        handles_[shape.number] = handle;
        members_.member[static_cast<std::size_t>(shape.number)] = header;
    }
}

PanelTestSkin::~PanelTestSkin() {
    for (platform::GlobalHandle handle : handles_) {
        if (handle == nullptr) continue;
        platform::GlobalUnlock(handle);
        platform::GlobalFree(handle);
    }
}

}  // namespace kivoly::test
