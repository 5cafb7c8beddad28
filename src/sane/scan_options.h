// The options of an open device, as SANE describes them to front ends: the capture mode, quality
// and picture size (also offered as a resolution, for front ends that only know resolutions), the
// input, negative, termination and preview, and the nine adjustments of the conversion.
//
// The colour adjustments (hue, saturation, red, green, blue) are inactive in Gray mode: a grey
// picture is the same for any of them. Values start from the library's records (the settings file)
// and go back into them at the start of a scan. Every value is checked against its constraint: a
// bad one is refused, never stored.
#pragma once

#include <sane/sane.h>

#include <array>

#include "kivoly/kivoly.h"

namespace kivoly::sane {

enum Option : SANE_Int {
    kOptionCount,
    kGroupCapture,
    kOptionMode,
    kOptionQuality,
    kOptionSize,
    kOptionResolution,
    kOptionSource,
    kOptionNegative,
    kOptionTermination,
    kOptionPreview,
    kGroupEnhancement,
    kOptionHue,
    kOptionSaturation,
    kOptionBrightness,
    kOptionContrast,
    kOptionSharpness,
    kOptionGamma,
    kOptionRed,
    kOptionGreen,
    kOptionBlue,
    kOptions
};

class ScanOptions {
  public:
    ScanOptions(const KivoGrabInfo& grabInfo, const KivoProcessInfo& processInfo);

    // Null for an index outside the options.
    const SANE_Option_Descriptor* Descriptor(SANE_Int option) const;
    // sane_control_option: INVAL for an unknown option, a bad value or an action the option does
    // not allow; `info` gets SANE's reload and inexact bits.
    SANE_Status Control(SANE_Int option, SANE_Action action, void* value, SANE_Int* info);

    // The options written into the records (a preview captures quickly at the smallest size).
    void Apply(KivoGrabInfo& grabInfo, KivoProcessInfo& processInfo) const;
    // What a scan with these options delivers.
    SANE_Parameters Parameters() const;
    bool Grey() const;

  private:
    SANE_Status SetValue(SANE_Int option, void* value, SANE_Int* info);
    // The colour adjustments are inactive while the mode is Gray.
    void FollowMode();
    int SizeIndex() const;

    std::array<SANE_Option_Descriptor, kOptions> descriptors_{};
    // Integers and booleans as they stand; list options as the index of their value.
    std::array<SANE_Word, kOptions> values_{};
};

}  // namespace kivoly::sane
