// The hardware palette of an emulated 256-colour display.
//
// A palette display stores one byte per pixel, an index into these 256 entries, and shows each
// pixel in the colour its entry holds now: changing an entry recolours every pixel that uses
// it. In the static use, entries 0-9 and 246-255 are reserved for the display's 20 fixed
// colours and the 236 between them are shared by the logical palettes that are realised; in
// the no-static use only black (0) and white (255) stay reserved.
//
// Realising a logical palette maps each of its entries to a system entry:
// - an explicit entry maps to the system entry it names;
// - an ordinary entry maps to an entry that already holds its colour (a reserved one or one
//   taken during the same realisation), else takes a free entry, else maps to the nearest
//   colour;
// - a no-collapse or reserved entry always takes a free entry while there is one.
// A foreground realisation first frees every entry that is not reserved, so the foreground
// palette gets all 236 of them, in its own order; a background realisation only takes entries
// that no realisation has claimed since the last foreground one.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/gdi/colour.h"

namespace kivoly::platform {

class Palette;

enum class SystemPaletteUse { Static = 1, NoStatic = 2 };

class SystemPalette {
  public:
    static constexpr int kSize = 256;
    static constexpr int kStaticReserved = 20;

    SystemPalette();

    // Tells system palettes apart for the mappings that logical palettes keep (never 0, and
    // never reused by a later system palette, as an address could be).
    uint64_t Id() const { return id_; }

    // The colour an entry holds, 0x00RRGGBB.
    uint32_t Colour(int index) const { return colours_[static_cast<uint8_t>(index)]; }
    const std::array<uint32_t, kSize>& Colours() const { return colours_; }
    // Copies up to `out.size()` entries from `start`; returns the number copied.
    int GetEntries(int start, std::span<PaletteEntry> out) const;

    // 20 in the static use, 2 in the no-static use.
    int ReservedCount() const { return use_ == SystemPaletteUse::Static ? kStaticReserved : 2; }
    bool IsReserved(int index) const;
    // Changes the use; returning to the static use restores the 20 fixed colours. Returns the
    // previous use.
    SystemPaletteUse SetUse(SystemPaletteUse use);

    // Realises `palette` and stores the mapping of its entries in it. Returns the number of
    // system entries whose colour changed.
    int Realize(Palette& palette, bool foreground);

    // The index of the nearest colour among all entries, or among the reserved ones only.
    int NearestIndex(uint32_t pixel) const;
    int NearestReservedIndex(uint32_t pixel) const;

    // Counts every change of the entries' colours; pixels drawn before a change may now show
    // other colours.
    uint32_t Generation() const { return generation_; }
    // The colours as they were before the most recent change (UpdateColors maps from these).
    const std::array<uint32_t, kSize>& PreviousColours() const { return previous_; }

  private:
    enum class Slot : uint8_t { Reserved, Free, Claimed };
    int TakeFree();
    void ResetReserved();

    uint64_t id_;
    std::array<uint32_t, kSize> colours_{};
    std::array<uint32_t, kSize> previous_{};
    std::array<Slot, kSize> slots_{};
    SystemPaletteUse use_ = SystemPaletteUse::Static;
    uint32_t generation_ = 1;
};

// Squared distance of two 0x00RRGGBB colours, the measure of every nearest-colour match.
inline int ColourDistance(uint32_t a, uint32_t b) {
    const int dr = static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF);
    const int dg = static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
    const int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

}  // namespace kivoly::platform
