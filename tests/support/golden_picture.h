// Pictures held against their goldens: pictures the code made in a run that a person looked at
// and found right, kept in tests/data/golden as a PNG when small, else as the checksum of the
// pixels (NAME.sum: width, height, 64-bit FNV-1a of the RGB bytes). On a mismatch the test fails
// naming the golden, and the picture it got is written to golden-actual/NAME.png in the working
// folder (with NAME-diff.png marking the differing pixels when the golden is a PNG) for a person
// to look at. With KIVOLY_UPDATE_GOLDEN=1 the goldens are written again instead, and every
// picture to golden-actual, to be looked at before they are committed.
#pragma once

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "kivoly/kivoly.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"
#include "sim/picture.h"

namespace kivoly::test {

// True when KIVOLY_UPDATE_GOLDEN=1 asks for recorded results to be written again.
bool UpdatingGoldens();

// 64-bit FNV-1a.
class Checksum {
  public:
    Checksum() = default;
    explicit Checksum(const std::vector<uint8_t>& bytes) { Add(bytes.data(), bytes.size()); }
    void Add(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i)
            value_ = (value_ ^ p[i]) * 0x100000001b3ULL;
    }
    void Add(int32_t v) { Add(&v, sizeof v); }
    std::string Hex() const {
        char text[17];
        std::snprintf(text, sizeof text, "%016" PRIx64, value_);
        return text;
    }

  private:
    uint64_t value_ = 0xcbf29ce484222325ULL;
};

void ExpectGolden(const std::string& name, const sim::Picture& picture);
void ExpectGolden(const std::string& name, const platform::Surface& surface);

// What the screen shows of `area` of a window's client area (all of it when `area` is empty).
sim::Picture ClientPicture(KivoHWnd window, platform::Rect area = {});

}  // namespace kivoly::test
