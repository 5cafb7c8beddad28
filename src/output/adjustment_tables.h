// AdjustmentTables: the adjustment stage of the RGB conversion for one picture, built from its
// ProcessInfo and its median luma level whenever the adjustments change.
//
// Luma runs through an optional sharpening or softening filter and a brightness/contrast curve
// about the picture's median level, both in sixteenths of a luma level so that the filter's
// fractions survive into the curve. Chroma runs through a rotation by the hue angle and a
// saturation gain (a rotation of the (U, V) plane turns every hue by the same angle).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "decode/yuv_image.h"
#include "kivoly/kivoly.h"
#include "output/conversion_kernels.h"

namespace kivoly {

inline constexpr int kFullLineBytes = kWorkLineBytes;

enum AdjustmentFlags : int {
    kChromaPass = 1,     // Hue or Color set
    kLumaCurvePass = 2,  // Brightness or Contrast set
    kSharpenPass = 4,    // Sharpness set
};

struct AdjustmentTables {
    // The settings the tables were last built from; all bits set until the first build.
    KivoProcessInfo lastBuilt;
    int lastMedianLevel = -1;
    int flags = 0;

    // Luma tables are indexed by luma 0..255, chroma tables by the signed value + 128.
    std::array<int16_t, 256> LumaCurve{};  // sixteenths of a luma level
    std::array<uint8_t, 256> LumaOut{};    // LumaCurve >> 4, limited to 64..255
    std::array<int16_t, 256> ChromaCos{};
    std::array<int16_t, 256> ChromaSin{};
    // 32-bit: with both sharpness and contrast high the gain no longer fits 16 bits.
    std::array<int32_t, 256> SharpenGain{};  // by the high-pass value -128..127
    std::array<int16_t, 256> CentreWeight{};
    std::array<int16_t, 256> BlurWeight{};
    // The sharpening tables above with LumaOut, widened for the row kernels (the curve alone
    // uses `sharpen.out`).
    kernels::SharpenTables sharpen;
    // ChromaCos and ChromaSin, widened for the row kernel.
    kernels::ChromaTables chroma;

    // Adjusted lines, present while their pass is needed.
    std::unique_ptr<uint8_t[]> adjustedLuma;
    std::unique_ptr<uint8_t[]> adjustedChroma;
    int adjustedBytes = 0;

    AdjustmentTables();

    bool NeedsLumaPass() const { return (flags & (kLumaCurvePass | kSharpenPass)) != 0; }

    // Rebuilds the tables when `settings` (Brightness already sign-reversed for a negative) or
    // the median level differ from the last build, then makes the adjusted lines of `lineBytes`
    // bytes follow the flags. False when memory for an adjusted line cannot be had.
    bool Build(const KivoProcessInfo& settings, int medianLevel, int lineBytes);

  private:
    void Rebuild(const KivoProcessInfo& settings, int medianLevel);
};

}  // namespace kivoly
