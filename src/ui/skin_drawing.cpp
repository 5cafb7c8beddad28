#include "ui/internal/skin_drawing.h"

#include "output/display_palette.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/dib_drawing.h"

namespace kivoly::ui {

using namespace platform;

void DrawSkinMember(DeviceContext& dc, int x, int y, const platform::BitmapInfoHeader* member) {
    DrawDibPart(dc, x, y, 0, 0, member, 0, 0);
}

void DrawSkinFrame(DeviceContext& dc, int x, int y, const platform::BitmapInfoHeader* strip,
                   int frame, int frameCount) {
    if (strip == nullptr || frame < 0 || frame >= frameCount) return;
    RealizeUiPalette(dc);
    const int width = strip->biWidth;
    const int height = strip->biHeight;
    const std::size_t frameBytes = std::size_t(DibStride(strip->biBitCount, width)) * height;
    const uint8_t* bits = DibPixels(strip) + std::size_t(frameCount - 1 - frame) * frameBytes;
    const ColourUse usage = IsPaletteDevice(dc) ? ColourUse::PaletteIndices : ColourUse::Colours;
    SetDIBitsToDevice(dc, x, y, width, height, 0, 0, 0, height, bits, strip, usage);
}

void DrawSkinPart(DeviceContext& dc, const platform::BitmapInfoHeader* member, const Rect& area,
                  int x, int y) {
    if (member == nullptr) return;
    const Rect part = IntersectRect(area, {0, 0, member->biWidth, member->biHeight});
    if (part.IsEmpty()) return;
    DrawDibPart(dc, part.left + x, part.top + y, part.Width(), part.Height(), member, part.left,
                part.top);
}

}  // namespace kivoly::ui
