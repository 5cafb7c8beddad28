#include "output/display_palette.h"

#include <array>
#include <cstring>
#include <vector>

#include "output/internal/default_palette.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/palette.h"
#include "platform/window/display.h"

namespace kivoly {

namespace {

using platform::DeviceCap;
using platform::DeviceContext;
using platform::PaletteEntry;

constexpr int kStandardReserved = 20;

KivoHPalette& DefaultHandle() {
    static KivoHPalette handle = nullptr;
    return handle;
}

PaletteEntry Explicit(int systemIndex) {
    return {static_cast<uint8_t>(systemIndex & 0xFF), static_cast<uint8_t>(systemIndex >> 8), 0,
            platform::PcExplicit};
}

std::vector<PaletteEntry> EntriesOf(KivoHPalette palette) {
    const platform::Palette* object = platform::LookupPalette(palette);
    return object ? object->Entries() : std::vector<PaletteEntry>{};
}

}  // namespace

bool IsPaletteDevice(DeviceContext& dc) {
    return (dc.GetDeviceCaps(DeviceCap::RasterCaps) & platform::RcPalette) != 0 &&
           dc.GetDeviceCaps(DeviceCap::SizePalette) <= 256;
}

bool IsTrueColourDisplay() {
    DeviceContext dc(platform::Screen());
    return !((dc.GetDeviceCaps(DeviceCap::RasterCaps) & platform::RcPalette) != 0 &&
             dc.GetDeviceCaps(DeviceCap::SizePalette) == 256);
}

void ArrangePalette(KivoHPalette palette, DeviceContext& display) {
    if (palette == nullptr || !IsPaletteDevice(display)) return;
    const int n = display.GetDeviceCaps(DeviceCap::SizePalette);
    int s = display.GetDeviceCaps(DeviceCap::NumReserved);
    if (s > n) s = kStandardReserved;
    // Leaving and re-entering the static use resets the reserved entries.
    display.SetSystemPaletteUse(platform::SystemPaletteUse::NoStatic);
    display.SetSystemPaletteUse(platform::SystemPaletteUse::Static);
    const KivoHPalette previous = display.SelectPalette(palette, false);
    display.RealizePalette();
    display.SelectPalette(previous, false);
    std::vector<PaletteEntry> system(n);
    display.GetSystemPaletteEntries(0, system);
    std::vector<PaletteEntry> arranged(n);
    for (int i = 0; i < n; ++i) {
        if (i < s / 2 || i >= n - s / 2) {
            arranged[i] = Explicit(i);
        } else {
            arranged[i] = system[i];
            arranged[i].flags = platform::PcNoCollapse;
        }
    }
    platform::ResizePalette(palette, n);
    platform::SetPaletteEntries(palette, 0, arranged);
}

void FlushSystemPalette(DeviceContext& display) {
    std::vector<PaletteEntry> black(kPaletteEntries, PaletteEntry{0, 0, 0, platform::PcNoCollapse});
    KivoHPalette flush = platform::CreatePalette(black);
    if (flush == nullptr) return;
    const KivoHPalette previous = display.SelectPalette(flush, false);
    display.RealizePalette();
    display.SelectPalette(previous, false);
    platform::DeletePalette(flush);
}

void FlushSystemPalette() {
    DeviceContext dc(platform::Screen());
    FlushSystemPalette(dc);
}

KivoHPalette CreateArrangedPalette(DeviceContext& display) {
    std::array<PaletteEntry, kPaletteEntries> entries{};
    const auto& table = BuiltInColourTable();
    for (int i = 0; i < kPaletteEntries; ++i) {
        entries[i] = {table[i].red, table[i].green, table[i].blue, 0};
    }
    KivoHPalette palette = platform::CreatePalette(entries);
    ArrangePalette(palette, display);
    return palette;
}

KivoHPalette DefaultPalette() {
    KivoHPalette& handle = DefaultHandle();
    if (handle == nullptr) {
        DeviceContext screen(platform::Screen());
        handle = CreateArrangedPalette(screen);
    }
    return handle;
}

KivoHPalette ExistingDefaultPalette() {
    return DefaultHandle();
}

void DeleteDefaultPalette() {
    KivoHPalette& handle = DefaultHandle();
    if (handle != nullptr) platform::DeletePalette(handle);
    handle = nullptr;
}

void RealizeUiPalette(DeviceContext& dc) {
    const KivoHPalette palette = ExistingDefaultPalette();
    if (palette == nullptr) return;
    dc.SelectPalette(palette, false);
    dc.RealizePalette();
}

int SetDibColourTable(platform::BitmapInfoHeader* header, KivoHPalette palette, ColourUsage usage) {
    int colours = DibColours(*header);
    if (header->biCompression == kBitFields || colours < 1) return 1;
    uint8_t* table = reinterpret_cast<uint8_t*>(header) + header->biSize;
    if (usage == ColourUsage::Indices) {
        for (int i = 0; i < colours; ++i) {
            const uint16_t index = static_cast<uint16_t>(i);
            std::memcpy(table + 2 * i, &index, sizeof index);
        }
        return 1;
    }
    if (colours > kPaletteEntries) colours = kPaletteEntries;
    const platform::Palette* object =
        platform::LookupPalette(palette != nullptr ? palette : DefaultPalette());
    const platform::SystemPalette* system = ScreenSystemPalette();
    for (int i = 0; i < colours; ++i) {
        const uint32_t colour =
            object != nullptr && i < object->Count() ? object->EntryColour(system, i) : 0;
        table[4 * i] = static_cast<uint8_t>(colour);
        table[4 * i + 1] = static_cast<uint8_t>(colour >> 8);
        table[4 * i + 2] = static_cast<uint8_t>(colour >> 16);
        table[4 * i + 3] = 0;
    }
    return 1;
}

const platform::SystemPalette* ScreenSystemPalette() {
    return platform::Screen().Palette();
}

void ResolveReservedEntries(KivoHPalette palette, const platform::SystemPalette* system) {
    platform::Palette* object = platform::LookupPalette(palette);
    if (object == nullptr) return;
    std::vector<PaletteEntry> entries = object->Entries();
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        if (!(entries[i].flags & platform::PcExplicit)) continue;
        const uint32_t colour = object->EntryColour(system, i);
        entries[i] = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                      static_cast<uint8_t>(colour), 0};
    }
    object->SetEntries(0, entries);
}

KivoHPalette CopyPalette(KivoHPalette palette) {
    const std::vector<PaletteEntry> entries = EntriesOf(palette);
    return entries.empty() ? nullptr : platform::CreatePalette(entries);
}

bool MapDibToPalette(platform::GlobalHandle dib, KivoHPalette palette,
                     const platform::SystemPalette* system) {
    KivoHPalette resolved = CopyPalette(palette);
    if (resolved == nullptr) return false;
    ResolveReservedEntries(resolved, system);
    const int paletteCount = platform::LookupPalette(resolved)->Count();
    platform::BitmapInfoHeader* header = LockDib(dib);
    bool ok = header != nullptr && header->biBitCount <= 8 && header->biCompression == 0;
    if (ok) {
        const int colours = DibColours(*header);
        uint8_t* table = reinterpret_cast<uint8_t*>(header) + header->biSize;
        std::vector<uint16_t> indices(std::max(colours, paletteCount), 0);
        for (int i = 0; i < colours; ++i) {
            const platform::ColourRef colour =
                platform::Rgb(table[4 * i + 2], table[4 * i + 1], table[4 * i]);
            indices[i] = static_cast<uint16_t>(platform::GetNearestPaletteIndex(resolved, colour));
        }
        // The table becomes the palette's size: move the pixels to follow it.
        const std::size_t oldTable = 4 * static_cast<std::size_t>(colours);
        const std::size_t newTable = 4 * static_cast<std::size_t>(paletteCount);
        const std::size_t imageBytes = header->biSizeImage;
        const std::size_t headerSize = header->biSize;
        if (newTable > oldTable) {
            platform::GlobalUnlock(dib);
            ok = platform::GlobalReAlloc(dib, headerSize + newTable + imageBytes) != nullptr;
            header = static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(dib));
            table = reinterpret_cast<uint8_t*>(header) + headerSize;
        }
        if (ok) {
            std::memmove(table + newTable, table + oldTable, imageBytes);
            std::memset(table, 0, newTable);
            std::memcpy(table, indices.data(), 2 * static_cast<std::size_t>(paletteCount));
            header->biClrUsed = static_cast<uint32_t>(paletteCount);
        }
        platform::GlobalUnlock(dib);
        if (ok && newTable < oldTable) {
            platform::GlobalReAlloc(dib, headerSize + newTable + imageBytes);
        }
    } else if (header != nullptr) {
        platform::GlobalUnlock(dib);
    }
    platform::DeletePalette(resolved);
    return ok;
}

int DrawDib(DeviceContext& dc, int x, int y, int width, int height,
            const platform::BitmapInfoHeader* dib, int sourceX, int sourceY, int sourceWidth,
            int sourceHeight, platform::ColourUse usage, platform::RasterOp rop) {
    if (dib == nullptr) return 0;
    if (sourceWidth == -1 && sourceHeight == -1) {
        sourceWidth = dib->biWidth;
        sourceHeight = dib->biHeight;
    }
    if (width == -1 && height == -1) {
        width = sourceWidth;
        height = sourceHeight;
    }
    dc.SetStretchMode(platform::StretchMode::Halftone);
    const void* bits = DibPixels(dib);
    // Rows of a bottom-up bitmap are counted from the bottom.
    const int bottomY = dib->biHeight - (sourceY + sourceHeight);
    if (width == sourceWidth && height == sourceHeight) {
        return platform::SetDIBitsToDevice(dc, x, y, sourceWidth, sourceHeight, sourceX, bottomY, 0,
                                           dib->biHeight, bits, dib, usage);
    }
    return platform::StretchDIBits(dc, x, y, width, height, sourceX, bottomY, sourceWidth,
                                   sourceHeight, bits, dib, usage, rop);
}

int DrawDibPart(DeviceContext& dc, int x, int y, int width, int height,
                const platform::BitmapInfoHeader* dib, int sourceX, int sourceY) {
    if (dib == nullptr) return 0;
    RealizeUiPalette(dc);
    if (width == 0) width = dib->biWidth;
    if (height == 0) height = dib->biHeight;
    const platform::ColourUse usage =
        IsPaletteDevice(dc) ? platform::ColourUse::PaletteIndices : platform::ColourUse::Colours;
    return DrawDib(dc, x, y, width, height, dib, sourceX, sourceY, width, height, usage,
                   platform::RasterOp::SrcCopy);
}

}  // namespace kivoly
