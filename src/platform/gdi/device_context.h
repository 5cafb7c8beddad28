// A device context: the state with which drawing calls reach a Surface.
//
// How the window system makes one for a window (BeginPaint, GetDC, a window's own context):
//
//     DeviceContext dc(screenSurface, clientOriginOnSurface, visibleRegion);
//
// `origin` is where the window's client point (0, 0) lies on the surface; `clip` is the part
// of the client area that may be drawn, in client co-ordinates (for BeginPaint: the visible
// part of the client area intersected with the update region). Pixels outside the surface are
// never touched, whatever the clip says. A window that keeps its own context calls
// SetDeviceOrigin and SetVisibleRegion when it moves or is covered, and again around painting.
//
// Three co-ordinate spaces meet here:
//   surface = client + device origin
//   client  = logical - window origin
// Drawing calls take logical co-ordinates. Clip regions given with SelectClipRegion and
// SetVisibleRegion are in client co-ordinates; IntersectClipRect and ExcludeClipRect take
// logical ones.
//
// Shapes follow the usual rules: a rectangle covers left..right-1 and top..bottom-1, its
// outline is drawn with the selected pen inside those bounds and its interior filled with the
// selected brush; LineTo draws from the current position up to, but not including, the end
// point and makes the end point current.
//
// On a palette surface colours become system palette indices as colour.h describes; with the
// palette calls an application selects a logical palette and realises it into the surface's
// system palette (in the foreground unless the window system reports the window as
// background, or the palette was selected for the background).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gdi/colour.h"
#include "platform/gdi/dib_drawing.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"

namespace kivoly::platform {

enum class BackgroundMode { Transparent = 1, Opaque = 2 };

// Text alignment bits (SetTextAlign): one horizontal and one vertical choice.
enum TextAlign : uint32_t {
    TaLeft = 0,
    TaRight = 2,
    TaCenter = 6,
    TaTop = 0,
    TaBottom = 8,
    TaBaseline = 24,
};

// DrawText format bits.
enum DrawTextFormat : uint32_t {
    DtLeft = 0x0000,
    DtCenter = 0x0001,
    DtVCenter = 0x0004,  // with DtSingleLine
    DtSingleLine = 0x0020,
};

enum class DeviceCap {
    HorzRes,      // width in pixels
    VertRes,      // height in pixels
    BitsPixel,    // 8 on a palette display, the surface's depth on true colour
    Planes,       // 1
    NumColours,   // reserved colours on a palette display, -1 on true colour
    RasterCaps,   // RcPalette on a palette display, with the bitmap capabilities
    SizePalette,  // 256 on a palette display, 0 on true colour
    NumReserved,  // 20 (2 in the no-static use) on a palette display, 0 on true colour
};

enum RasterCapBits : int {
    RcBitBlt = 0x0001,
    RcDiBitmap = 0x0080,
    RcPalette = 0x0100,
    RcDiBitsToDevice = 0x0200,
    RcStretchDib = 0x2000,
};

struct TextMetrics {
    int32_t height = 0;
};

class DeviceContext {
  public:
    // A context for the whole surface: origin (0, 0), clipped only by the surface's bounds.
    explicit DeviceContext(Surface& surface);
    DeviceContext(Surface& surface, Point origin, const Region& clip);

    Surface& GetSurface() const { return *surface_; }

    // ---- Set by the window system ----
    void SetDeviceOrigin(Point origin);
    const Region& VisibleRegion() const { return visible_; }
    void SetVisibleRegion(const Region& clip);
    // Asked at every realisation whether the window is the foreground one (default: yes).
    void SetForegroundQuery(std::function<bool()> query) { isForeground_ = std::move(query); }

    // ---- Co-ordinates and clipping ----
    Point WindowOrigin() const { return windowOrigin_; }
    Point SetWindowOrigin(Point origin);  // returns the previous one
    // Replaces the application clip region (client co-ordinates); null removes it.
    void SelectClipRegion(const Region* region);
    void IntersectClipRect(const Rect& logical);
    void ExcludeClipRect(const Rect& logical);
    // The effective clip in surface co-ordinates: visible region, application clip and the
    // surface's bounds together.
    std::span<const Rect> ClipRects() const;
    // Logical co-ordinates to surface co-ordinates: add this offset.
    Point SurfaceOffset() const;

    // ---- Objects ----
    Pen SelectPen(const Pen& pen);
    Brush SelectBrush(const Brush& brush);
    // Selects a logical palette (null: the stock default palette); returns the previous one.
    PaletteHandle SelectPalette(PaletteHandle palette, bool forceBackground);
    // Realises the selected palette into the system palette of a palette surface; returns the
    // number of system entries that changed (0 on true colour).
    int RealizePalette();
    // Recolours the pixels inside the clip so that they keep the colours they showed before
    // the latest change of the system palette (nearest match). Returns false on true colour.
    bool UpdateColours();

    // ---- Attributes ----
    ColourRef SetTextColour(ColourRef colour);
    BackgroundMode SetBackgroundMode(BackgroundMode mode);
    uint32_t SetTextAlign(uint32_t align);
    StretchMode SetStretchMode(StretchMode mode);
    StretchMode GetStretchMode() const { return stretchMode_; }

    // ---- Colours ----
    // The value stored on the surface for `colour`: 0x00RRGGBB on true colour, a system
    // palette index on a palette surface.
    uint32_t DeviceValue(ColourRef colour) const;
    // The colour that drawing with `colour` shows.
    ColourRef GetNearestColour(ColourRef colour) const;
    // The logical palette drawing goes through: the selected one, or the stock default
    // palette when the selected one was deleted.
    const Palette& PaletteInUse() const { return *SelectedPalette(); }

    // ---- Drawing ----
    Point MoveTo(int32_t x, int32_t y);  // returns the previous position
    void LineTo(int32_t x, int32_t y);
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void FillRect(const Rect& rect, const Brush& brush);
    // A one-pixel border of the rectangle in the brush's colour.
    void FrameRect(const Rect& rect, const Brush& brush);
    // Fills a region given in logical co-ordinates.
    void FillRegion(const Region& region, const Brush& brush);

    // ---- Text (the built-in font) ----
    // Draws the text with the text colour at (x, y) as the alignment says; an opaque
    // background fills each character cell with white first.
    void TextOut(int32_t x, int32_t y, std::string_view text);
    Size GetTextExtent(std::string_view text) const;
    TextMetrics GetTextMetrics() const;
    // Draws lines of text (split at '\n') formatted in `rect` and cut to it; returns the text's
    // height.
    int32_t DrawText(std::string_view text, const Rect& rect, uint32_t format);

    // ---- The device ----
    int GetDeviceCaps(DeviceCap cap) const;
    // Copies system palette entries; 0 on true colour.
    int GetSystemPaletteEntries(int start, std::span<PaletteEntry> out) const;
    // Changes the use of reserved entries of a palette surface; returns the previous use
    // (the static use on true colour, which has no system palette to change).
    SystemPaletteUse SetSystemPaletteUse(SystemPaletteUse use);

  private:
    void RebuildClip() const;
    void FillSurfaceRect(const Rect& surfaceRect, uint32_t value);
    void DrawLinePixels(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t value,
                        int32_t width);
    void DrawTextLine(int32_t x, int32_t top, std::string_view text);
    Palette* SelectedPalette() const;

    Surface* surface_;
    Point deviceOrigin_;
    Region visible_;
    Region appClip_;
    bool hasAppClip_ = false;
    Point windowOrigin_;
    mutable std::vector<Rect> clipRects_;
    mutable bool clipDirty_ = true;
    mutable Size clipSurfaceSize_;
    std::function<bool()> isForeground_;

    Pen pen_;
    Brush brush_;
    PaletteHandle palette_;
    bool paletteBackground_ = false;
    ColourRef textColour_ = Rgb(0, 0, 0);
    BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
    uint32_t textAlign_ = TaLeft | TaTop;
    StretchMode stretchMode_ = StretchMode::ColourOnColour;
    Point position_;
};

}  // namespace kivoly::platform
