#include "platform/gdi/device_context.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/internal/gdi/builtin_font.h"

namespace kivoly::platform {

namespace {

constexpr int32_t kUnbounded = 1 << 30;

// Resolves explicit palette entries where there is no system palette (true colour).
const SystemPalette& FixedColours() {
    static const SystemPalette fixed;
    return fixed;
}

}  // namespace

DeviceContext::DeviceContext(Surface& surface)
    : DeviceContext(surface, {0, 0}, Region(surface.Bounds())) {}

DeviceContext::DeviceContext(Surface& surface, Point origin, const Region& clip)
    : surface_(&surface), deviceOrigin_(origin), visible_(clip), palette_(StockDefaultPalette()) {}

void DeviceContext::SetDeviceOrigin(Point origin) {
    deviceOrigin_ = origin;
    clipDirty_ = true;
}

void DeviceContext::SetVisibleRegion(const Region& clip) {
    visible_ = clip;
    clipDirty_ = true;
}

Point DeviceContext::SetWindowOrigin(Point origin) {
    const Point old = windowOrigin_;
    windowOrigin_ = origin;
    return old;
}

Point DeviceContext::SurfaceOffset() const {
    return {deviceOrigin_.x - windowOrigin_.x, deviceOrigin_.y - windowOrigin_.y};
}

void DeviceContext::SelectClipRegion(const Region* region) {
    hasAppClip_ = region != nullptr;
    appClip_ = region ? *region : Region();
    clipDirty_ = true;
}

void DeviceContext::IntersectClipRect(const Rect& logical) {
    const Rect client = logical.Offset(-windowOrigin_.x, -windowOrigin_.y);
    if (hasAppClip_) {
        appClip_.Intersect(client);
    } else {
        appClip_ = Region(client);
        hasAppClip_ = true;
    }
    clipDirty_ = true;
}

void DeviceContext::ExcludeClipRect(const Rect& logical) {
    const Rect client = logical.Offset(-windowOrigin_.x, -windowOrigin_.y);
    if (!hasAppClip_) {
        // Everything but the rectangle, so that the visible region may still change.
        appClip_ = Region(Rect{-kUnbounded, -kUnbounded, kUnbounded, kUnbounded});
        hasAppClip_ = true;
    }
    appClip_.Subtract(client);
    clipDirty_ = true;
}

void DeviceContext::RebuildClip() const {
    Region clip = visible_;
    if (hasAppClip_) clip.Intersect(appClip_);
    clip.Offset(deviceOrigin_.x, deviceOrigin_.y);
    clip.Intersect(surface_->Bounds());
    clipRects_.assign(clip.Rects().begin(), clip.Rects().end());
    clipDirty_ = false;
}

std::span<const Rect> DeviceContext::ClipRects() const {
    // The surface may have been resized since the clip was built.
    if (clipDirty_ || clipSurfaceSize_ != Size{surface_->Width(), surface_->Height()}) {
        RebuildClip();
        clipSurfaceSize_ = {surface_->Width(), surface_->Height()};
    }
    return clipRects_;
}

Pen DeviceContext::SelectPen(const Pen& pen) {
    return std::exchange(pen_, pen);
}
Brush DeviceContext::SelectBrush(const Brush& brush) {
    return std::exchange(brush_, brush);
}

PaletteHandle DeviceContext::SelectPalette(PaletteHandle palette, bool forceBackground) {
    if (LookupPalette(palette) == nullptr) palette = StockDefaultPalette();
    paletteBackground_ = forceBackground;
    return std::exchange(palette_, palette);
}

Palette* DeviceContext::SelectedPalette() const {
    // A palette deleted while selected is treated as the default one.
    Palette* palette = LookupPalette(palette_);
    return palette ? palette : LookupPalette(StockDefaultPalette());
}

int DeviceContext::RealizePalette() {
    SystemPalette* system = surface_->Palette();
    if (system == nullptr) return 0;
    const bool foreground = !paletteBackground_ && (!isForeground_ || isForeground_());
    return system->Realize(*SelectedPalette(), foreground);
}

bool DeviceContext::UpdateColours() {
    SystemPalette* system = surface_->Palette();
    if (system == nullptr) return false;
    std::array<uint8_t, SystemPalette::kSize> remap;
    const auto& before = system->PreviousColours();
    for (int i = 0; i < SystemPalette::kSize; ++i) {
        remap[i] = before[i] == system->Colour(i)
                       ? static_cast<uint8_t>(i)
                       : static_cast<uint8_t>(system->NearestIndex(before[i]));
    }
    for (const Rect& c : ClipRects()) {
        for (int32_t y = c.top; y < c.bottom; ++y) {
            uint8_t* row = surface_->IndexRow(y);
            for (int32_t x = c.left; x < c.right; ++x)
                row[x] = remap[row[x]];
        }
    }
    return true;
}

ColourRef DeviceContext::SetTextColour(ColourRef colour) {
    return std::exchange(textColour_, colour);
}
BackgroundMode DeviceContext::SetBackgroundMode(BackgroundMode mode) {
    return std::exchange(backgroundMode_, mode);
}
uint32_t DeviceContext::SetTextAlign(uint32_t align) {
    return std::exchange(textAlign_, align);
}
StretchMode DeviceContext::SetStretchMode(StretchMode mode) {
    return std::exchange(stretchMode_, mode);
}

uint32_t DeviceContext::DeviceValue(ColourRef colour) const {
    const Palette* palette = SelectedPalette();
    const SystemPalette* system = surface_->Palette();
    const uint32_t pixel = PixelOf(colour);
    switch (KindOf(colour)) {
        case 1: {
            const int index = static_cast<int>(colour & 0xFFFF);
            return system ? palette->SystemIndex(*system, index)
                          : palette->EntryColour(&FixedColours(), index);
        }
        case 2:
            if (system) return palette->MapColour(*system, pixel);
            return palette->EntryColour(&FixedColours(), palette->NearestIndex(pixel));
        default:
            return system ? static_cast<uint32_t>(system->NearestReservedIndex(pixel)) : pixel;
    }
}

ColourRef DeviceContext::GetNearestColour(ColourRef colour) const {
    const uint32_t value = DeviceValue(colour);
    const SystemPalette* system = surface_->Palette();
    return system ? system->Colour(static_cast<int>(value)) : value;
}

void DeviceContext::FillSurfaceRect(const Rect& surfaceRect, uint32_t value) {
    for (const Rect& c : ClipRects()) {
        const Rect r = IntersectRect(c, surfaceRect);
        for (int32_t y = r.top; y < r.bottom; ++y)
            surface_->FillSpan(y, r.left, r.right, value);
    }
}

Point DeviceContext::MoveTo(int32_t x, int32_t y) {
    return std::exchange(position_, {x, y});
}

void DeviceContext::LineTo(int32_t x, int32_t y) {
    if (pen_.style != PenStyle::Null) {
        const Point off = SurfaceOffset();
        DrawLinePixels(position_.x + off.x, position_.y + off.y, x + off.x, y + off.y,
                       DeviceValue(pen_.colour), std::max(pen_.width, 1));
    }
    position_ = {x, y};
}

void DeviceContext::DrawLinePixels(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t value,
                                   int32_t width) {
    // Bresenham's walk; the end point itself is not drawn.
    const int32_t dx = std::abs(x1 - x0);
    const int32_t dy = -std::abs(y1 - y0);
    const int32_t sx = x0 < x1 ? 1 : -1;
    const int32_t sy = y0 < y1 ? 1 : -1;
    int32_t error = dx + dy;
    const int32_t half = (width - 1) / 2;
    while (x0 != x1 || y0 != y1) {
        if (width == 1) {
            const Point p{x0, y0};
            for (const Rect& c : ClipRects()) {
                if (c.Contains(p)) {
                    surface_->Store(x0, y0, value);
                    break;
                }
            }
        } else {
            FillSurfaceRect({x0 - half, y0 - half, x0 - half + width, y0 - half + width}, value);
        }
        const int32_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void DeviceContext::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Rect r{std::min(left, right), std::min(top, bottom), std::max(left, right),
           std::max(top, bottom)};
    if (r.IsEmpty()) return;
    const Point off = SurfaceOffset();
    r = r.Offset(off.x, off.y);
    Rect inside = r;
    if (pen_.style != PenStyle::Null) {
        const int32_t w = std::max(pen_.width, 1);
        const uint32_t value = DeviceValue(pen_.colour);
        FillSurfaceRect({r.left, r.top, r.right, std::min(r.top + w, r.bottom)}, value);
        FillSurfaceRect({r.left, std::max(r.bottom - w, r.top), r.right, r.bottom}, value);
        FillSurfaceRect({r.left, r.top, std::min(r.left + w, r.right), r.bottom}, value);
        FillSurfaceRect({std::max(r.right - w, r.left), r.top, r.right, r.bottom}, value);
        inside = {r.left + w, r.top + w, r.right - w, r.bottom - w};
    }
    if (brush_.style != BrushStyle::Hollow && !inside.IsEmpty()) {
        FillSurfaceRect(inside, DeviceValue(brush_.colour));
    }
}

void DeviceContext::FillRect(const Rect& rect, const Brush& brush) {
    if (brush.style == BrushStyle::Hollow || rect.IsEmpty()) return;
    const Point off = SurfaceOffset();
    FillSurfaceRect(rect.Offset(off.x, off.y), DeviceValue(brush.colour));
}

void DeviceContext::FrameRect(const Rect& rect, const Brush& brush) {
    if (brush.style == BrushStyle::Hollow || rect.IsEmpty()) return;
    const Point off = SurfaceOffset();
    const Rect r = rect.Offset(off.x, off.y);
    const uint32_t value = DeviceValue(brush.colour);
    FillSurfaceRect({r.left, r.top, r.right, r.top + 1}, value);
    FillSurfaceRect({r.left, r.bottom - 1, r.right, r.bottom}, value);
    FillSurfaceRect({r.left, r.top, r.left + 1, r.bottom}, value);
    FillSurfaceRect({r.right - 1, r.top, r.right, r.bottom}, value);
}

void DeviceContext::FillRegion(const Region& region, const Brush& brush) {
    if (brush.style == BrushStyle::Hollow) return;
    const Point off = SurfaceOffset();
    const uint32_t value = DeviceValue(brush.colour);
    for (const Rect& r : region.Rects())
        FillSurfaceRect(r.Offset(off.x, off.y), value);
}

Size DeviceContext::GetTextExtent(std::string_view text) const {
    return {static_cast<int32_t>(text.size()) * BuiltinFont::kCellWidth, BuiltinFont::kHeight};
}

TextMetrics DeviceContext::GetTextMetrics() const {
    return {BuiltinFont::kHeight};
}

void DeviceContext::TextOut(int32_t x, int32_t y, std::string_view text) {
    const int32_t width = GetTextExtent(text).cx;
    if ((textAlign_ & TaCenter) == TaCenter) {
        x -= width / 2;
    } else if (textAlign_ & TaRight) {
        x -= width;
    }
    if ((textAlign_ & TaBaseline) == TaBaseline) {
        y -= BuiltinFont::kAscent;
    } else if (textAlign_ & TaBottom) {
        y -= BuiltinFont::kHeight;
    }
    DrawTextLine(x, y, text);
}

void DeviceContext::DrawTextLine(int32_t x, int32_t top, std::string_view text) {
    const Point off = SurfaceOffset();
    const Rect box =
        Rect{x, top, x + GetTextExtent(text).cx, top + BuiltinFont::kHeight}.Offset(off.x, off.y);
    if (backgroundMode_ == BackgroundMode::Opaque) {
        FillSurfaceRect(box, DeviceValue(Rgb(255, 255, 255)));
    }
    const uint32_t ink = DeviceValue(textColour_);
    for (const Rect& c : ClipRects()) {
        const Rect area = IntersectRect(c, box);
        if (area.IsEmpty()) continue;
        const int32_t first = (area.left - box.left) / BuiltinFont::kCellWidth;
        const int32_t last = (area.right - 1 - box.left) / BuiltinFont::kCellWidth;
        for (int32_t i = first; i <= last; ++i) {
            const BuiltinFont::Glyph& glyph = BuiltinFont::GlyphOf(text[i]);
            const int32_t cellLeft = box.left + i * BuiltinFont::kCellWidth;
            const int32_t x0 = std::max(area.left, cellLeft);
            const int32_t x1 = std::min(area.right, cellLeft + BuiltinFont::kGlyphWidth);
            for (int32_t y = area.top; y < area.bottom; ++y) {
                const uint8_t bits = glyph[y - box.top];
                if (bits == 0) continue;
                for (int32_t px = x0; px < x1; ++px) {
                    if (bits & (0x10 >> (px - cellLeft))) surface_->Store(px, y, ink);
                }
            }
        }
    }
}

int32_t DeviceContext::DrawText(std::string_view text, const Rect& rect, uint32_t format) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n' && !(format & DtSingleLine)) {
            lines.emplace_back();
        } else {
            lines.back().push_back(c == '\n' ? ' ' : c);
        }
    }
    const int32_t height = static_cast<int32_t>(lines.size()) * BuiltinFont::kHeight;
    int32_t top = rect.top;
    if ((format & DtSingleLine) && (format & DtVCenter)) {
        top = rect.top + (rect.Height() - BuiltinFont::kHeight) / 2;
    }
    // Text stays inside the rectangle.
    const bool hadClip = hasAppClip_;
    const Region savedClip = appClip_;
    IntersectClipRect(rect);
    for (const auto& line : lines) {
        const int32_t width = GetTextExtent(line).cx;
        int32_t x = rect.left;
        if (format & DtCenter) x = rect.left + (rect.Width() - width) / 2;
        DrawTextLine(x, top, line);
        top += BuiltinFont::kHeight;
    }
    SelectClipRegion(hadClip ? &savedClip : nullptr);
    return height;
}

int DeviceContext::GetDeviceCaps(DeviceCap cap) const {
    const SystemPalette* system = surface_->Palette();
    switch (cap) {
        case DeviceCap::HorzRes:
            return surface_->Width();
        case DeviceCap::VertRes:
            return surface_->Height();
        case DeviceCap::BitsPixel:
            return surface_->BitsPerPixel();
        case DeviceCap::Planes:
            return 1;
        case DeviceCap::NumColours:
            return system ? system->ReservedCount() : -1;
        case DeviceCap::RasterCaps:
            return RcBitBlt | RcDiBitmap | RcDiBitsToDevice | RcStretchDib |
                   (system ? RcPalette : 0);
        case DeviceCap::SizePalette:
            return system ? SystemPalette::kSize : 0;
        case DeviceCap::NumReserved:
            return system ? system->ReservedCount() : 0;
    }
    return 0;
}

int DeviceContext::GetSystemPaletteEntries(int start, std::span<PaletteEntry> out) const {
    const SystemPalette* system = surface_->Palette();
    return system ? system->GetEntries(start, out) : 0;
}

SystemPaletteUse DeviceContext::SetSystemPaletteUse(SystemPaletteUse use) {
    SystemPalette* system = surface_->Palette();
    return system ? system->SetUse(use) : SystemPaletteUse::Static;
}

}  // namespace kivoly::platform
