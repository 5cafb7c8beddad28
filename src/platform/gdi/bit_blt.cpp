#include "platform/internal/gdi/bit_blt.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/device_context.h"

namespace kivoly::platform {

namespace {

template <typename T>
void Combine(T* dst, const uint32_t* values, int32_t count, RasterOp rop) {
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t d = dst[i];
        const uint32_t s = values[i];
        switch (rop) {
            case RasterOp::SrcCopy:
                dst[i] = static_cast<T>(s);
                break;
            case RasterOp::SrcPaint:
                dst[i] = static_cast<T>(d | s);
                break;
            case RasterOp::SrcAnd:
                dst[i] = static_cast<T>(d & s);
                break;
            case RasterOp::SrcInvert:
                dst[i] = static_cast<T>(d ^ s);
                break;
        }
    }
}

}  // namespace

bool BitBlt(DeviceContext& dest, int32_t x, int32_t y, int32_t width, int32_t height,
            const DeviceContext& source, int32_t srcX, int32_t srcY, RasterOp rop) {
    if (width <= 0 || height <= 0) return false;
    Surface& to = dest.GetSurface();
    const Surface& from = source.GetSurface();
    const Point dOff = dest.SurfaceOffset();
    const Point sOff = source.SurfaceOffset();
    // The source rectangle on its surface, limited to that surface; the destination follows.
    const Rect wanted{srcX + sOff.x, srcY + sOff.y, srcX + sOff.x + width, srcY + sOff.y + height};
    const Rect present = IntersectRect(wanted, from.Bounds());
    if (present.IsEmpty()) return true;
    const int32_t dx = x + dOff.x - wanted.left;
    const int32_t dy = y + dOff.y - wanted.top;
    const Rect target = present.Offset(dx, dy);

    // Source values to destination values.
    const SystemPalette* fromPalette = from.Palette();
    const std::vector<uint8_t>* inverse = nullptr;
    if (to.IsPaletted() && !from.IsPaletted()) {
        inverse = &dest.PaletteInUse().InverseMap(*to.Palette());
    }
    // Read everything first, so that overlapping copies on one surface see the old pixels.
    const int32_t w = present.Width();
    std::vector<uint32_t> buffer(static_cast<size_t>(w) * present.Height());
    for (int32_t row = 0; row < present.Height(); ++row) {
        uint32_t* out = buffer.data() + static_cast<size_t>(row) * w;
        const int32_t sy = present.top + row;
        for (int32_t i = 0; i < w; ++i) {
            const int32_t sx = present.left + i;
            if (from.IsPaletted()) {
                const uint8_t index = from.IndexRow(sy)[sx];
                out[i] = to.IsPaletted() ? index : fromPalette->Colour(index);
            } else {
                const uint32_t pixel = from.Row(sy)[sx];
                out[i] = inverse ? (*inverse)[Palette::InverseKey(pixel)] : pixel;
            }
        }
    }
    for (const Rect& c : dest.ClipRects()) {
        const Rect r = IntersectRect(c, target);
        for (int32_t ty = r.top; ty < r.bottom; ++ty) {
            const uint32_t* values =
                buffer.data() + static_cast<size_t>(ty - target.top) * w + (r.left - target.left);
            if (to.IsPaletted()) {
                Combine(to.IndexRow(ty) + r.left, values, r.Width(), rop);
            } else {
                Combine(to.Row(ty) + r.left, values, r.Width(), rop);
            }
        }
    }
    return true;
}

}  // namespace kivoly::platform
