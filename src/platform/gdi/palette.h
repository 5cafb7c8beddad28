// Logical palettes: the colours an application wants a palette display to show.
//
// A palette is reached through its handle (KivoHPalette, as the C interface hands it out);
// handles that this layer did not create, or that were deleted, are refused by every call. A
// realisation (SystemPalette::Realize) stores in the palette which system entry each of its
// entries maps to; device contexts translate palette indices and palette colours through it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/colour.h"
#include "platform/handles.h"

namespace kivoly::platform {

class SystemPalette;
using PaletteHandle = KivoHPalette;

class Palette {
  public:
    explicit Palette(std::span<const PaletteEntry> entries);

    int Count() const { return static_cast<int>(entries_.size()); }
    const std::vector<PaletteEntry>& Entries() const { return entries_; }
    // Stores entries from `start`; entries past the end are not added. Returns the number
    // stored. The palette must be realised again before its changes show.
    int SetEntries(int start, std::span<const PaletteEntry> entries);
    // Grows (with black entries) or shrinks the palette to `count` entries.
    void Resize(int count);
    // The index of the entry nearest to `pixel` (0x00RRGGBB), comparing the entries as stored;
    // the lowest index among equals; -1 for an empty palette.
    int NearestIndex(uint32_t pixel) const;

    // The system entry that entry `index` was mapped to at the last realisation on `system`,
    // or the nearest system entry to the entry's colour when the palette was not realised
    // there since its last change. Indices past the end map as the last entry.
    uint8_t SystemIndex(const SystemPalette& system, int index) const;
    // The colour entry `index` shows: explicit entries resolved through `system` (or taken as
    // black when `system` is null).
    uint32_t EntryColour(const SystemPalette* system, int index) const;
    // The system entry used to draw `pixel` through this palette: the nearest entry (by the
    // colour it shows), then its mapping.
    uint8_t MapColour(const SystemPalette& system, uint32_t pixel) const;
    // MapColour for every colour of a 5-bit-per-component cube, indexed by
    // (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3; built on first use after a change of
    // this palette or of `system`. For drawing 24-bit pixels, where an exact search per pixel
    // would be too slow.
    const std::vector<uint8_t>& InverseMap(const SystemPalette& system) const;
    static uint32_t InverseKey(uint32_t pixel) {
        return ((pixel >> 9) & 0x7C00) | ((pixel >> 6) & 0x03E0) | ((pixel >> 3) & 0x001F);
    }

  private:
    friend class SystemPalette;
    void Invalidate();

    std::vector<PaletteEntry> entries_;
    // Mapping of the last realisation and the identity of the system palette it was made on.
    std::vector<uint8_t> mapping_;
    uint64_t realisedOn_ = 0;
    // Counts changes of the entries and of the mapping.
    uint32_t version_ = 1;
    // The inverse colour map of InverseMap and the state it was built for.
    mutable std::vector<uint8_t> inverse_;
    mutable uint64_t inverseSystem_ = 0;
    mutable uint32_t inverseGeneration_ = 0;
    mutable uint32_t inverseVersion_ = 0;
};

// Creates a palette from the entries; null when there are none or more than 65535.
PaletteHandle CreatePalette(std::span<const PaletteEntry> entries);
// Frees a palette; false for an unknown handle or the stock default palette.
bool DeletePalette(PaletteHandle handle);
// The palette behind a live handle, or null.
Palette* LookupPalette(PaletteHandle handle);
// Palette calls on handles; unknown handles give 0 (GetNearestPaletteIndex: -1).
int SetPaletteEntries(PaletteHandle handle, int start, std::span<const PaletteEntry> entries);
bool ResizePalette(PaletteHandle handle, int count);
int GetNearestPaletteIndex(PaletteHandle handle, ColourRef colour);
// The stock default palette: the 20 reserved colours of a palette display. Never deleted.
PaletteHandle StockDefaultPalette();

}  // namespace kivoly::platform
