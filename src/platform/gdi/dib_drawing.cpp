// Set-bits and stretch of packed bitmaps.
//
// Both calls work a row at a time: the needed part of a source row is decoded into a row of
// values (device values for direct copies, 0x00RRGGBB colours where halftone averaging needs
// real colours), and the row is then written span by span into the clip rectangles. Colour
// tables are resolved once per call into a 256-entry table, so the per-pixel work is a
// look-up; 24-bit pixels on a palette surface go through the palette's inverse colour map.
//
// Halftone stretching gives each destination pixel the rounded mean of the source pixels
// whose box falls on it: box columns [floor(i * sw / w), floor((i + 1) * sw / w)) and the same
// for rows, at least one pixel wide. Per destination row, the box rows are summed column by
// column, the column sums are turned into prefix sums, and each destination pixel takes the
// difference of two prefix sums divided by the box area through a reciprocal.
#include "platform/gdi/dib_drawing.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <vector>

#include "platform/gdi/device_context.h"

namespace kivoly::platform {

namespace {

constexpr size_t kMaxDimension = 1 << 20;
// Positions and sizes beyond this are refused, so that their sums cannot overflow.
constexpr int32_t kMaxCoordinate = 1 << 28;

bool WithinRange(std::initializer_list<int32_t> values) {
    return std::all_of(values.begin(), values.end(),
                       [](int32_t v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; });
}

// Index to value tables of one call: device values and plain colours.
struct ColourTable {
    std::array<uint32_t, 256> device{};
    std::array<uint32_t, 256> rgb{};
};

void BuildColourTable(const DeviceContext& dc, const BitmapInfoHeader* info,
                      const DibLayout& layout, ColourUse usage, ColourTable& table) {
    const SystemPalette* system = dc.GetSurface().Palette();
    const Palette& palette = dc.PaletteInUse();
    static const SystemPalette fixed;
    const SystemPalette& resolver = system ? *system : fixed;
    const uint8_t* entries = reinterpret_cast<const uint8_t*>(info) + info->biSize;
    // Indices past the table draw black.
    table.device.fill(dc.DeviceValue(Rgb(0, 0, 0)));
    table.rgb.fill(0);
    const int count = std::min(layout.colours, 256);
    for (int i = 0; i < count; ++i) {
        if (usage == ColourUse::PaletteIndices) {
            const int index = entries[2 * i] | (entries[2 * i + 1] << 8);
            table.rgb[i] = palette.EntryColour(&resolver, index);
            table.device[i] = system ? palette.SystemIndex(*system, index) : table.rgb[i];
        } else {
            table.rgb[i] = Rgb(entries[4 * i + 2], entries[4 * i + 1], entries[4 * i]);
            table.device[i] = system ? palette.MapColour(*system, table.rgb[i]) : table.rgb[i];
        }
    }
}

// Decodes columns [x0, x0 + count) of a row of 1, 4 or 8 bits through `lut`.
void DecodeIndexed(const uint8_t* row, int bitCount, int32_t x0, int32_t count, const uint32_t* lut,
                   uint32_t* out) {
    switch (bitCount) {
        case 8:
            for (int32_t i = 0; i < count; ++i)
                out[i] = lut[row[x0 + i]];
            break;
        case 4:
            for (int32_t i = 0; i < count; ++i) {
                const int32_t x = x0 + i;
                const uint8_t b = row[x >> 1];
                out[i] = lut[(x & 1) ? (b & 0x0F) : (b >> 4)];
            }
            break;
        default:
            for (int32_t i = 0; i < count; ++i) {
                const int32_t x = x0 + i;
                out[i] = lut[(row[x >> 3] >> (7 - (x & 7))) & 1];
            }
            break;
    }
}

void DecodeRgb24(const uint8_t* row, int32_t x0, int32_t count, uint32_t* out) {
    const uint8_t* p = row + 3 * static_cast<size_t>(x0);
    for (int32_t i = 0; i < count; ++i, p += 3) {
        out[i] = (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
    }
}

// Decodes a row into colours (asColours) or device values.
class RowDecoder {
  public:
    RowDecoder(const DeviceContext& dc, const BitmapInfoHeader* info, const DibLayout& layout,
               ColourUse usage)
        : layout_(layout) {
        if (layout.bitCount <= 8) BuildColourTable(dc, info, layout, usage, table_);
        const SystemPalette* system = dc.GetSurface().Palette();
        if (system && layout.bitCount == 24) inverse_ = &dc.PaletteInUse().InverseMap(*system);
    }

    // Adds the red, green and blue values of columns [x0, x0 + count) to the sums; `scratch`
    // holds `count` values.
    void Accumulate(const uint8_t* row, int32_t x0, int32_t count, uint32_t* scratch,
                    uint32_t* sumR, uint32_t* sumG, uint32_t* sumB) const {
        if (layout_.bitCount == 24) {
            const uint8_t* p = row + 3 * static_cast<size_t>(x0);
            for (int32_t i = 0; i < count; ++i, p += 3) {
                sumB[i] += p[0];
                sumG[i] += p[1];
                sumR[i] += p[2];
            }
            return;
        }
        DecodeIndexed(row, layout_.bitCount, x0, count, table_.rgb.data(), scratch);
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t v = scratch[i];
            sumR[i] += v >> 16;
            sumG[i] += (v >> 8) & 0xFF;
            sumB[i] += v & 0xFF;
        }
    }

    void DeviceValues(const uint8_t* row, int32_t x0, int32_t count, uint32_t* out) const {
        if (layout_.bitCount != 24) {
            DecodeIndexed(row, layout_.bitCount, x0, count, table_.device.data(), out);
            return;
        }
        DecodeRgb24(row, x0, count, out);
        if (inverse_) ToDevice(out, count);
    }

    // Colours to device values, in place.
    void ToDevice(uint32_t* values, int32_t count) const {
        if (!inverse_) return;
        const uint8_t* map = inverse_->data();
        for (int32_t i = 0; i < count; ++i)
            values[i] = map[Palette::InverseKey(values[i])];
    }

    void NeedInverse(const DeviceContext& dc) {
        const SystemPalette* system = dc.GetSurface().Palette();
        if (system) inverse_ = &dc.PaletteInUse().InverseMap(*system);
    }

  private:
    const DibLayout& layout_;
    ColourTable table_;
    const std::vector<uint8_t>* inverse_ = nullptr;
};

template <typename T, typename Combine>
void CombineSpan(T* dst, const uint32_t* values, int32_t count, Combine combine) {
    for (int32_t i = 0; i < count; ++i)
        dst[i] = static_cast<T>(combine(dst[i], values[i]));
}

template <typename T>
void WriteSpanTo(T* dst, const uint32_t* values, int32_t count, RasterOp rop) {
    switch (rop) {
        case RasterOp::SrcCopy:
            for (int32_t i = 0; i < count; ++i)
                dst[i] = static_cast<T>(values[i]);
            break;
        case RasterOp::SrcPaint:
            CombineSpan(dst, values, count, [](uint32_t d, uint32_t s) { return d | s; });
            break;
        case RasterOp::SrcAnd:
            CombineSpan(dst, values, count, [](uint32_t d, uint32_t s) { return d & s; });
            break;
        case RasterOp::SrcInvert:
            CombineSpan(dst, values, count, [](uint32_t d, uint32_t s) { return d ^ s; });
            break;
    }
}

// Writes values[0..) for destination columns [left, left + count) of surface row y, clipped.
void WriteRow(Surface& surface, std::span<const Rect> clip, int32_t y, int32_t left,
              const uint32_t* values, int32_t count, RasterOp rop) {
    for (const Rect& c : clip) {
        if (y < c.top || y >= c.bottom) continue;
        const int32_t x0 = std::max(c.left, left);
        const int32_t x1 = std::min(c.right, left + count);
        if (x0 >= x1) continue;
        if (surface.IsPaletted()) {
            WriteSpanTo(surface.IndexRow(y) + x0, values + (x0 - left), x1 - x0, rop);
        } else {
            WriteSpanTo(surface.Row(y) + x0, values + (x0 - left), x1 - x0, rop);
        }
    }
}

bool RowVisible(std::span<const Rect> clip, int32_t y) {
    return std::any_of(clip.begin(), clip.end(),
                       [y](const Rect& c) { return y >= c.top && y < c.bottom; });
}

bool KnownRasterOp(RasterOp rop) {
    return rop == RasterOp::SrcCopy || rop == RasterOp::SrcPaint || rop == RasterOp::SrcAnd ||
           rop == RasterOp::SrcInvert;
}

// floor(a * b / c) for non-negative values.
int32_t ScaleDown(int64_t a, int64_t b, int64_t c) {
    return static_cast<int32_t>(a * b / c);
}

// Division by a box area through a reciprocal: exact for dividends below 256 x area (a box of
// 8-bit values) and areas up to 65536; larger areas divide.
struct Reciprocal {
    uint64_t factor = 0;
    uint32_t area = 1;
    static Reciprocal For(uint32_t area) {
        return {area <= 65536 ? (uint64_t{1} << 40) / area + 1 : 0, area};
    }
    uint32_t Mean(uint64_t sum) const {
        const uint64_t rounded = sum + area / 2;
        return factor ? static_cast<uint32_t>((rounded * factor) >> 40)
                      : static_cast<uint32_t>(rounded / area);
    }
};

}  // namespace

bool DibLayout::Parse(const BitmapInfoHeader* header, DibLayout& layout) {
    if (header == nullptr || header->biSize < sizeof(BitmapInfoHeader)) return false;
    if (header->biCompression != 0) return false;
    const int32_t bitCount = header->biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
    if (header->biWidth <= 0 || header->biHeight == 0 ||
        header->biHeight == std::numeric_limits<int32_t>::min()) {
        return false;
    }
    const size_t width = static_cast<size_t>(header->biWidth);
    const size_t height = static_cast<size_t>(std::abs(header->biHeight));
    if (width > kMaxDimension || height > kMaxDimension) return false;
    int64_t colours = header->biClrUsed;
    if (colours == 0 && bitCount <= 8) colours = int64_t{1} << bitCount;
    if (bitCount <= 8 && colours > (int64_t{1} << bitCount)) return false;
    if (colours > 256) return false;
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(height);
    layout.bottomUp = header->biHeight > 0;
    layout.bitCount = bitCount;
    layout.colours = static_cast<int32_t>(colours);
    layout.stride = ((static_cast<size_t>(bitCount) * width + 31) & ~size_t{31}) / 8;
    return true;
}

int SetDIBitsToDevice(DeviceContext& dc, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t srcX, int32_t srcY, int32_t startScan, int32_t scanCount,
                      const void* bits, const BitmapInfoHeader* info, ColourUse usage) {
    DibLayout layout;
    if (bits == nullptr || !DibLayout::Parse(info, layout) || width <= 0 || height <= 0 ||
        scanCount <= 0 || startScan < 0) {
        return 0;
    }
    const Point off = dc.SurfaceOffset();
    if (!WithinRange({x, y, width, height, srcX, srcY, startScan, scanCount, off.x, off.y})) {
        return 0;
    }
    // Source rows (in the bitmap's own orientation) that are both asked for and present.
    const int64_t rowFirst = std::max<int64_t>({srcY, startScan, 0});
    const int64_t rowEnd =
        std::min<int64_t>({int64_t{srcY} + height, int64_t{startScan} + scanCount, layout.height});
    if (rowFirst >= rowEnd) return 0;
    const int32_t colFirst = std::max(srcX, 0);
    const int32_t colEnd =
        static_cast<int32_t>(std::min<int64_t>(int64_t{srcX} + width, layout.width));

    const auto clip = dc.ClipRects();
    const int32_t left = x + off.x + (colFirst - srcX);
    const auto* base = static_cast<const uint8_t*>(bits);
    RowDecoder decoder(dc, info, layout, usage);
    std::vector<uint32_t> values(static_cast<size_t>(std::max(colEnd - colFirst, 0)));
    for (int64_t r = rowFirst; colFirst < colEnd && r < rowEnd; ++r) {
        const int64_t destRow = layout.bottomUp ? int64_t{srcY} + height - 1 - r : r - srcY;
        const auto surfaceY = static_cast<int32_t>(destRow + y + off.y);
        if (!RowVisible(clip, surfaceY)) continue;
        const uint8_t* row = base + static_cast<size_t>(r - startScan) * layout.stride;
        decoder.DeviceValues(row, colFirst, colEnd - colFirst, values.data());
        WriteRow(dc.GetSurface(), clip, surfaceY, left, values.data(), colEnd - colFirst,
                 RasterOp::SrcCopy);
    }
    return static_cast<int>(rowEnd - rowFirst);
}

int StretchDIBits(DeviceContext& dc, int32_t x, int32_t y, int32_t width, int32_t height,
                  int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, const void* bits,
                  const BitmapInfoHeader* info, ColourUse usage, RasterOp rop) {
    DibLayout layout;
    if (bits == nullptr || !DibLayout::Parse(info, layout) || width <= 0 || height <= 0 ||
        srcWidth <= 0 || srcHeight <= 0 || !KnownRasterOp(rop)) {
        return 0;
    }
    const Point off = dc.SurfaceOffset();
    if (!WithinRange({x, y, width, height, srcX, srcY, srcWidth, srcHeight, off.x, off.y})) {
        return 0;
    }
    const auto clip = dc.ClipRects();
    const Rect dest{x + off.x, y + off.y, x + off.x + width, y + off.y + height};
    Rect visible;
    for (const Rect& c : clip)
        visible = UnionRect(visible, IntersectRect(c, dest));
    if (visible.IsEmpty()) return srcHeight;
    const bool halftone = dc.GetStretchMode() == StretchMode::Halftone;

    // Source box of each visible destination column, clipped to the bitmap.
    const int32_t cols = visible.Width();
    std::vector<int32_t> boxLeft(cols);
    std::vector<int32_t> boxRight(cols);
    int32_t colMin = layout.width;
    int32_t colMax = 0;
    for (int32_t i = 0; i < cols; ++i) {
        const int32_t d = visible.left - dest.left + i;
        int64_t a;
        int64_t b;
        if (halftone) {
            a = srcX + int64_t{ScaleDown(d, srcWidth, width)};
            b = srcX + int64_t{ScaleDown(d + 1, srcWidth, width)};
            if (b == a) b = a + 1;
        } else {
            a = srcX + int64_t{ScaleDown(2 * int64_t{d} + 1, srcWidth, 2 * int64_t{width})};
            b = a + 1;
        }
        a = std::max<int64_t>(a, 0);
        b = std::min<int64_t>(b, layout.width);
        boxLeft[i] = static_cast<int32_t>(a);
        boxRight[i] = static_cast<int32_t>(std::max(a, b));
        if (a < b) {
            colMin = std::min(colMin, boxLeft[i]);
            colMax = std::max(colMax, boxRight[i]);
        }
    }
    if (colMin >= colMax) return srcHeight;
    const int32_t span = colMax - colMin;
    // Columns whose box lies outside the bitmap are not drawn; boxes move monotonically, so
    // the drawn columns are one run [i0, i1).
    int32_t i0 = 0;
    while (i0 < cols && boxLeft[i0] >= boxRight[i0])
        ++i0;
    int32_t i1 = cols;
    while (i1 > i0 && boxLeft[i1 - 1] >= boxRight[i1 - 1])
        --i1;

    const auto* base = static_cast<const uint8_t*>(bits);
    auto memoryRow = [&](int64_t k) {  // k counts from the top of the source rectangle
        const int64_t r = layout.bottomUp ? int64_t{srcY} + srcHeight - 1 - k : srcY + k;
        return r;
    };
    RowDecoder decoder(dc, info, layout, usage);
    if (halftone) decoder.NeedInverse(dc);
    std::vector<uint32_t> decoded(span);
    std::vector<uint32_t> out(cols);
    std::vector<uint32_t> sumR(span), sumG(span), sumB(span);
    std::vector<uint64_t> prefixR(span + 1), prefixG(span + 1), prefixB(span + 1);
    std::vector<Reciprocal> reciprocals(cols);
    int64_t reciprocalRows = -1;
    int64_t lastFirst = -1;
    int64_t lastEnd = -1;
    bool lastValid = false;

    for (int32_t yy = visible.top; yy < visible.bottom; ++yy) {
        if (!RowVisible(clip, yy)) continue;
        const int32_t j = yy - dest.top;
        int64_t k0;
        int64_t k1;
        if (halftone) {
            k0 = ScaleDown(j, srcHeight, height);
            k1 = ScaleDown(j + 1, srcHeight, height);
            if (k1 == k0) k1 = k0 + 1;
        } else {
            k0 = ScaleDown(2 * int64_t{j} + 1, srcHeight, 2 * int64_t{height});
            k1 = k0 + 1;
        }
        // Rows of the box that exist in the bitmap (memory rows run opposite to k when the
        // bitmap is bottom-up, so take the range from both ends).
        int64_t first = std::min(memoryRow(k0), memoryRow(k1 - 1));
        int64_t end = std::max(memoryRow(k0), memoryRow(k1 - 1)) + 1;
        first = std::max<int64_t>(first, 0);
        end = std::min<int64_t>(end, layout.height);
        if (first >= end) continue;
        if (!(lastValid && first == lastFirst && end == lastEnd)) {
            if (halftone) {
                std::fill(sumR.begin(), sumR.end(), 0);
                std::fill(sumG.begin(), sumG.end(), 0);
                std::fill(sumB.begin(), sumB.end(), 0);
                for (int64_t r = first; r < end; ++r) {
                    decoder.Accumulate(base + static_cast<size_t>(r) * layout.stride, colMin, span,
                                       decoded.data(), sumR.data(), sumG.data(), sumB.data());
                }
                for (int32_t c = 0; c < span; ++c) {
                    prefixR[c + 1] = prefixR[c] + sumR[c];
                    prefixG[c + 1] = prefixG[c] + sumG[c];
                    prefixB[c + 1] = prefixB[c] + sumB[c];
                }
                const int64_t rows = end - first;
                if (rows != reciprocalRows) {
                    for (int32_t i = 0; i < cols; ++i) {
                        reciprocals[i] = Reciprocal::For(
                            static_cast<uint32_t>((boxRight[i] - boxLeft[i]) * rows));
                    }
                    reciprocalRows = rows;
                }
                for (int32_t i = 0; i < cols; ++i) {
                    if (boxLeft[i] >= boxRight[i]) continue;
                    const int32_t a = boxLeft[i] - colMin;
                    const int32_t b = boxRight[i] - colMin;
                    const Reciprocal& rec = reciprocals[i];
                    out[i] = (rec.Mean(prefixR[b] - prefixR[a]) << 16) |
                             (rec.Mean(prefixG[b] - prefixG[a]) << 8) |
                             rec.Mean(prefixB[b] - prefixB[a]);
                }
                decoder.ToDevice(out.data(), cols);
            } else {
                decoder.DeviceValues(base + static_cast<size_t>(first) * layout.stride, colMin,
                                     span, decoded.data());
                for (int32_t i = 0; i < cols; ++i) {
                    if (boxLeft[i] < boxRight[i]) out[i] = decoded[boxLeft[i] - colMin];
                }
            }
            lastFirst = first;
            lastEnd = end;
            lastValid = true;
        }
        WriteRow(dc.GetSurface(), clip, yy, visible.left + i0, out.data() + i0, i1 - i0, rop);
    }
    return srcHeight;
}

}  // namespace kivoly::platform
