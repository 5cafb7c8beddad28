#include "platform/gdi/system_palette.h"

#include <algorithm>
#include <utility>

#include "platform/gdi/palette.h"

namespace kivoly::platform {

namespace {

// The display's fixed colours: the first ten take entries 0-9, the last ten 246-255.
constexpr std::array<uint32_t, SystemPalette::kStaticReserved> kStaticColours = {
    Rgb(0, 0, 0),       Rgb(128, 0, 0),     Rgb(0, 128, 0),     Rgb(128, 128, 0),
    Rgb(0, 0, 128),     Rgb(128, 0, 128),   Rgb(0, 128, 128),   Rgb(192, 192, 192),
    Rgb(192, 220, 192), Rgb(166, 202, 240), Rgb(255, 251, 240), Rgb(160, 160, 164),
    Rgb(128, 128, 128), Rgb(255, 0, 0),     Rgb(0, 255, 0),     Rgb(255, 255, 0),
    Rgb(0, 0, 255),     Rgb(255, 0, 255),   Rgb(0, 255, 255),   Rgb(255, 255, 255),
};

constexpr int kHalf = SystemPalette::kStaticReserved / 2;

}  // namespace

SystemPalette::SystemPalette() {
    static uint64_t lastId = 0;
    id_ = ++lastId;
    slots_.fill(Slot::Free);
    ResetReserved();
    previous_ = colours_;
}

void SystemPalette::ResetReserved() {
    if (use_ == SystemPaletteUse::Static) {
        for (int i = 0; i < kHalf; ++i) {
            colours_[i] = kStaticColours[i];
            colours_[kSize - kHalf + i] = kStaticColours[kHalf + i];
            slots_[i] = Slot::Reserved;
            slots_[kSize - kHalf + i] = Slot::Reserved;
        }
    } else {
        colours_[0] = Rgb(0, 0, 0);
        colours_[kSize - 1] = Rgb(255, 255, 255);
        slots_[0] = Slot::Reserved;
        slots_[kSize - 1] = Slot::Reserved;
    }
}

int SystemPalette::GetEntries(int start, std::span<PaletteEntry> out) const {
    if (start < 0 || start >= kSize) return 0;
    const int count = std::min(static_cast<int>(out.size()), kSize - start);
    for (int i = 0; i < count; ++i) {
        const uint32_t c = colours_[start + i];
        out[i] = {RedOf(c), GreenOf(c), BlueOf(c), 0};
    }
    return count;
}

bool SystemPalette::IsReserved(int index) const {
    return index >= 0 && index < kSize && slots_[index] == Slot::Reserved;
}

SystemPaletteUse SystemPalette::SetUse(SystemPaletteUse use) {
    const SystemPaletteUse old = use_;
    const auto before = colours_;
    for (auto& slot : slots_) {
        if (slot == Slot::Reserved) slot = Slot::Free;
    }
    use_ = use;
    ResetReserved();
    if (before != colours_) {
        previous_ = before;
        ++generation_;
    }
    return old;
}

int SystemPalette::TakeFree() {
    for (int i = 0; i < kSize; ++i) {
        if (slots_[i] == Slot::Free) {
            slots_[i] = Slot::Claimed;
            return i;
        }
    }
    return -1;
}

int SystemPalette::Realize(Palette& palette, bool foreground) {
    const auto before = colours_;
    if (foreground) {
        for (auto& slot : slots_) {
            if (slot == Slot::Claimed) slot = Slot::Free;
        }
    }
    std::vector<uint8_t> mapping(palette.entries_.size());
    for (size_t i = 0; i < palette.entries_.size(); ++i) {
        const PaletteEntry& e = palette.entries_[i];
        if (e.flags & PcExplicit) {
            mapping[i] = static_cast<uint8_t>(std::min<int>(e.ExplicitIndex(), kSize - 1));
            continue;
        }
        const uint32_t pixel = e.Pixel();
        int index = -1;
        if (!(e.flags & (PcNoCollapse | PcReserved))) {
            for (int j = 0; j < kSize && index < 0; ++j) {
                if (slots_[j] != Slot::Free && colours_[j] == pixel) index = j;
            }
        }
        if (index < 0) {
            index = TakeFree();
            if (index >= 0) colours_[index] = pixel;
        }
        if (index < 0) index = NearestIndex(pixel);
        mapping[i] = static_cast<uint8_t>(index);
    }
    int changed = 0;
    for (int i = 0; i < kSize; ++i)
        changed += colours_[i] != before[i];
    if (changed > 0) {
        previous_ = before;
        ++generation_;
    }
    palette.mapping_ = std::move(mapping);
    palette.realisedOn_ = id_;
    ++palette.version_;
    return changed;
}

int SystemPalette::NearestIndex(uint32_t pixel) const {
    int best = 0;
    int bestDistance = ColourDistance(colours_[0], pixel);
    for (int i = 1; i < kSize && bestDistance > 0; ++i) {
        const int d = ColourDistance(colours_[i], pixel);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

int SystemPalette::NearestReservedIndex(uint32_t pixel) const {
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < kSize; ++i) {
        if (slots_[i] != Slot::Reserved) continue;
        const int d = ColourDistance(colours_[i], pixel);
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace kivoly::platform
