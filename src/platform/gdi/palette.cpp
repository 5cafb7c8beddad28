#include "platform/gdi/palette.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "platform/gdi/system_palette.h"

namespace kivoly::platform {

namespace {

constexpr int kMaxEntries = 65535;

// Every live palette by its handle; the handle is the object's address.
std::unordered_map<PaletteHandle, std::unique_ptr<Palette>>& Registry() {
    static std::unordered_map<PaletteHandle, std::unique_ptr<Palette>> registry;
    return registry;
}

PaletteHandle HandleOf(Palette* palette) {
    return reinterpret_cast<PaletteHandle>(palette);
}

}  // namespace

Palette::Palette(std::span<const PaletteEntry> entries)
    : entries_(entries.begin(), entries.end()) {}

int Palette::SetEntries(int start, std::span<const PaletteEntry> entries) {
    if (start < 0 || start >= Count()) return 0;
    const int count = std::min(static_cast<int>(entries.size()), Count() - start);
    std::copy_n(entries.begin(), count, entries_.begin() + start);
    Invalidate();
    return count;
}

void Palette::Resize(int count) {
    entries_.resize(static_cast<size_t>(std::clamp(count, 0, kMaxEntries)));
    Invalidate();
}

void Palette::Invalidate() {
    mapping_.clear();
    realisedOn_ = 0;
    ++version_;
}

int Palette::NearestIndex(uint32_t pixel) const {
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < Count(); ++i) {
        const int d = ColourDistance(entries_[i].Pixel(), pixel);
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

uint8_t Palette::SystemIndex(const SystemPalette& system, int index) const {
    if (entries_.empty()) return 0;
    index = std::clamp(index, 0, Count() - 1);
    if (realisedOn_ == system.Id() && static_cast<size_t>(index) < mapping_.size()) {
        return mapping_[index];
    }
    const PaletteEntry& e = entries_[index];
    if (e.flags & PcExplicit) return static_cast<uint8_t>(std::min<int>(e.ExplicitIndex(), 255));
    return static_cast<uint8_t>(system.NearestIndex(e.Pixel()));
}

uint32_t Palette::EntryColour(const SystemPalette* system, int index) const {
    if (entries_.empty()) return 0;
    const PaletteEntry& e = entries_[std::clamp(index, 0, Count() - 1)];
    if (!(e.flags & PcExplicit)) return e.Pixel();
    return system ? system->Colour(std::min<int>(e.ExplicitIndex(), 255)) : 0;
}

uint8_t Palette::MapColour(const SystemPalette& system, uint32_t pixel) const {
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < Count(); ++i) {
        const int d = ColourDistance(EntryColour(&system, i), pixel);
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
            if (d == 0) break;
        }
    }
    return best < 0 ? static_cast<uint8_t>(system.NearestIndex(pixel)) : SystemIndex(system, best);
}

const std::vector<uint8_t>& Palette::InverseMap(const SystemPalette& system) const {
    if (inverseSystem_ == system.Id() && inverseGeneration_ == system.Generation() &&
        inverseVersion_ == version_ && !inverse_.empty()) {
        return inverse_;
    }
    // Resolve the entries' colours once; each cell takes the colour at its centre.
    std::vector<uint32_t> colours(entries_.size());
    for (int i = 0; i < Count(); ++i)
        colours[i] = EntryColour(&system, i);
    inverse_.assign(32768, 0);
    for (uint32_t key = 0; key < 32768; ++key) {
        const uint32_t pixel = Rgb(static_cast<uint8_t>(((key >> 10) << 3) | 4),
                                   static_cast<uint8_t>((((key >> 5) & 31) << 3) | 4),
                                   static_cast<uint8_t>(((key & 31) << 3) | 4));
        int best = -1;
        int bestDistance = 0;
        for (size_t i = 0; i < colours.size(); ++i) {
            const int d = ColourDistance(colours[i], pixel);
            if (best < 0 || d < bestDistance) {
                best = static_cast<int>(i);
                bestDistance = d;
            }
        }
        inverse_[key] =
            best < 0 ? static_cast<uint8_t>(system.NearestIndex(pixel)) : SystemIndex(system, best);
    }
    inverseSystem_ = system.Id();
    inverseGeneration_ = system.Generation();
    inverseVersion_ = version_;
    return inverse_;
}

PaletteHandle CreatePalette(std::span<const PaletteEntry> entries) {
    if (entries.empty() || entries.size() > kMaxEntries) return nullptr;
    auto palette = std::make_unique<Palette>(entries);
    const PaletteHandle handle = HandleOf(palette.get());
    Registry().emplace(handle, std::move(palette));
    return handle;
}

bool DeletePalette(PaletteHandle handle) {
    if (handle == nullptr || handle == StockDefaultPalette()) return false;
    return Registry().erase(handle) == 1;
}

Palette* LookupPalette(PaletteHandle handle) {
    auto& registry = Registry();
    const auto it = registry.find(handle);
    return it == registry.end() ? nullptr : it->second.get();
}

int SetPaletteEntries(PaletteHandle handle, int start, std::span<const PaletteEntry> entries) {
    if (handle == StockDefaultPalette()) return 0;
    Palette* palette = LookupPalette(handle);
    return palette ? palette->SetEntries(start, entries) : 0;
}

bool ResizePalette(PaletteHandle handle, int count) {
    if (handle == StockDefaultPalette() || count < 1 || count > kMaxEntries) return false;
    Palette* palette = LookupPalette(handle);
    if (palette == nullptr) return false;
    palette->Resize(count);
    return true;
}

int GetNearestPaletteIndex(PaletteHandle handle, ColourRef colour) {
    const Palette* palette = LookupPalette(handle);
    return palette ? palette->NearestIndex(PixelOf(colour)) : -1;
}

PaletteHandle StockDefaultPalette() {
    static const PaletteHandle handle = [] {
        const SystemPalette fresh;
        std::vector<PaletteEntry> entries;
        for (int i = 0; i < SystemPalette::kSize; ++i) {
            if (!fresh.IsReserved(i)) continue;
            const uint32_t c = fresh.Colour(i);
            entries.push_back({RedOf(c), GreenOf(c), BlueOf(c), 0});
        }
        return CreatePalette(entries);
    }();
    return handle;
}

}  // namespace kivoly::platform
