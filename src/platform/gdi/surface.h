// A drawing surface: the pixels that device contexts draw into (a display's screen or an
// off-screen picture).
//
// A true-colour surface keeps one 32-bit 0x00RRGGBB value per pixel. A palette surface
// emulates a 256-colour display: it keeps one byte per pixel, an index into its system
// palette, and its pixels show whatever colour their entry holds now. Rows run from the top,
// without padding.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/gdi/system_palette.h"

namespace kivoly::platform {

enum class SurfaceFormat { TrueColour, Palette8 };

class Surface {
  public:
    // A true-colour surface filled with black.
    Surface(int32_t width, int32_t height);
    // A palette surface over `palette` (shared with other surfaces of the same display, or a
    // new one when null), filled with index 0.
    Surface(int32_t width, int32_t height, std::shared_ptr<SystemPalette> palette);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    Rect Bounds() const { return {0, 0, width_, height_}; }
    SurfaceFormat Format() const { return format_; }
    bool IsPaletted() const { return format_ == SurfaceFormat::Palette8; }
    // The depth the surface reports as a device; true-colour pixels are stored as 0x00RRGGBB.
    int BitsPerPixel() const { return IsPaletted() ? 8 : 24; }
    // Null on a true-colour surface.
    SystemPalette* Palette() const { return palette_.get(); }

    // Row access: Row() on true-colour surfaces, IndexRow() on palette surfaces.
    uint32_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint32_t* Row(int32_t y) const {
        return pixels_.data() + static_cast<size_t>(y) * width_;
    }
    uint8_t* IndexRow(int32_t y) { return indices_.data() + static_cast<size_t>(y) * width_; }
    const uint8_t* IndexRow(int32_t y) const {
        return indices_.data() + static_cast<size_t>(y) * width_;
    }

    // The colour shown at (x, y), 0x00RRGGBB; 0 outside the surface.
    uint32_t Pixel(int32_t x, int32_t y) const;
    // Every pixel as shown, rows from the top (for saving the screen as a picture).
    std::vector<uint32_t> ToRgb() const;

    // Writes a device value at (x, y): a colour on true colour, an index on a palette surface.
    // Does nothing outside the surface.
    void Store(int32_t x, int32_t y, uint32_t value);
    // Writes `value` to pixels [x0, x1) of row y; the span must lie inside the surface.
    void FillSpan(int32_t y, int32_t x0, int32_t x1, uint32_t value);
    // Changes the size; the content is kept where the old and new sizes overlap.
    void Resize(int32_t width, int32_t height);

  private:
    int32_t width_;
    int32_t height_;
    SurfaceFormat format_;
    std::shared_ptr<SystemPalette> palette_;
    std::vector<uint32_t> pixels_;
    std::vector<uint8_t> indices_;
};

}  // namespace kivoly::platform
