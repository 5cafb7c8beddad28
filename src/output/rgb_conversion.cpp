#include "output/rgb_conversion.h"

#include <algorithm>
#include <new>

#include "decode/line_interpolators.h"
#include "decode/yuv_image.h"
#include "output/adjustment_tables.h"
#include "output/area_resampler.h"
#include "output/conversion_kernels.h"
#include "output/internal/colour_tables.h"
#include "output/rgb_converter.h"
#include "platform/mul_div.h"

namespace kivoly {

namespace {

constexpr int kMaxOutputSize = 4096;
constexpr int kQuickLineSamples = kSampleWidth;
constexpr int kQuickSourceWidth = 736;
// The first active line: the lines before it are blanking that the decoder leaves.
constexpr int kFirstActiveLine = 2;

RgbConverter& ConverterOf(YuvImage& yuv) {
    return static_cast<RgbConverter&>(*yuv.conversion);
}

// Moves a position between stored lines up while the four lines around it would run past the
// last stored line, keeping the interpolated point where it was.
void BottomGuard(int& line, int& fraction, int height, int count) {
    if (line + 1 >= count) {
        fraction += height;
        --line;
    }
    if (line + 2 >= count) {
        fraction += height;
        --line;
    }
}

// Where an output row of the full mode lies: `fraction / denominator` of the way from stored
// line `line` to the next; `step` is one output row in the same units.
struct RowPlace {
    int line;
    int fraction;
    int denominator;
    int step;
};

// A two-field picture spreads its active lines over the output height. A one-field picture
// holds the first field only, whose stored line L is line 2L + 1 of the two-field picture, so
// that it is placed where the two-field picture has the same scene.
RowPlace PlaceOfRow(const YuvImage& yuv, const RgbConverter& converter, int row) {
    const int height = converter.processInfo.Height;
    const int lines = converter.outputLines;
    if (yuv.twoFields) {
        const int64_t t = int64_t{lines - 1} * row;
        return {static_cast<int>(t / (height - 1)) + converter.topSkip,
                static_cast<int>(t % (height - 1)), height, lines};
    }
    // Two-field line P = row (2 lines - 1) / (height - 1) + topSkip lies at field line
    // (P - 1) / 2.
    const int64_t t = int64_t{2 * lines - 1} * row + int64_t{converter.topSkip - 1} * (height - 1);
    const int64_t d = 2 * int64_t{height - 1};
    return {static_cast<int>(t / d), static_cast<int>(t % d), 2 * height, 2 * lines};
}

class LineSource {
  public:
    explicit LineSource(const YuvImage& yuv) : yuv_(yuv) {}
    const uint8_t* Luma(const LineTable& table, int i) const {
        return table.Line(std::clamp(i, 0, yuv_.lineCount - 1));
    }
    const int8_t* Chroma(int i) const {
        return reinterpret_cast<const int8_t*>(Luma(yuv_.lineTable, i) + kSampleWidth);
    }

  private:
    const YuvImage& yuv_;
};

// Interpolates the luma of the row at fraction f / h below stored line `line` into `out`.
void InterpolateLumaRow(const YuvImage& yuv, HalfSampleRows& halves, uint8_t* out, int line, int f,
                        int h) {
    const LineSource lines(yuv);
    const LineTable& a = yuv.lineTable;
    if (yuv.passesDone == 8 && yuv.lineTable2.entries != nullptr) {
        const LineTable& b = yuv.lineTable2;
        InterpolatePaired(out, lines.Luma(a, line - 1), lines.Luma(b, line - 1),
                          lines.Luma(a, line), lines.Luma(b, line), lines.Luma(a, line + 1),
                          lines.Luma(b, line + 1), lines.Luma(a, line + 2), lines.Luma(b, line + 2),
                          f, h);
    } else {
        InterpolateDoubled(out, lines.Luma(a, line - 1), lines.Luma(a, line),
                           lines.Luma(a, line + 1), lines.Luma(a, line + 2), f, h, halves);
    }
}

}  // namespace

const RgbConverter* ConverterOf(const YuvImage& yuv) {
    return static_cast<const RgbConverter*>(yuv.conversion.get());
}

double GammaExponent(int gamma) {
    if (gamma >= 0) return (gamma / 10.0 + (50 - gamma)) / 50.0;
    return 1.0 / ((gamma * 0.1 + (-50 - gamma)) / -50.0);
}

bool PrepareConversion(YuvImage& yuv, const KivoProcessInfo& processInfo) {
    if (!yuv.HasLines() || yuv.lineCount == 0) return false;
    if (processInfo.Width < 1 || processInfo.Width > kMaxOutputSize || processInfo.Height < 2 ||
        processInfo.Height > kMaxOutputSize) {
        return false;
    }
    if (!yuv.conversion) {
        auto* converter = new (std::nothrow) RgbConverter;
        if (converter == nullptr) return false;
        yuv.conversion.reset(converter);
    }
    RgbConverter& converter = ConverterOf(yuv);
    converter.processInfo = processInfo;
    // The picture's lines may have been decoded anew since the last conversion.
    converter.halfSamples.Clear();
    // The full mode interpolates into four lines of 1504 samples, whatever the picture's size.
    if (!converter.workLines) {
        converter.workLines.reset(new (std::nothrow) uint8_t[4 * kFullLineBytes]());
        if (!converter.workLines) return false;
    }

    // A negative's luma runs the other way, so brightness is reversed to still brighten.
    KivoProcessInfo settings = processInfo;
    if (yuv.negative) settings.Brightness = -settings.Brightness;
    if (!converter.tables.Build(settings, yuv.medianLevel, kFullLineBytes)) return false;

    SharedColourTables().Configure(
        std::max<int>(yuv.whiteLevel, 224), std::min<int>(yuv.blackLevel, 64),
        GammaExponent(processInfo.Gamma), yuv.negative != 0, (processInfo.Red + 50) / 50.0,
        (processInfo.Green + 50) / 50.0, (processInfo.Blue + 50) / 50.0);

    converter.topSkip = kFirstActiveLine;
    converter.outputLines =
        static_cast<int16_t>((kFieldLines - kFirstActiveLine) * (yuv.twoFields ? 2 : 1));
    return true;
}

void ConvertRow(YuvImage& yuv, uint8_t* dst, int row, bool quick) {
    RgbConverter& converter = ConverterOf(yuv);
    AdjustmentTables& tables = converter.tables;
    const int height = converter.processInfo.Height;
    const int width = converter.processInfo.Width;
    const int lines = converter.outputLines;
    const int count = yuv.lineCount;
    const bool sharpen = tables.adjustedLuma && (tables.flags & kSharpenPass);
    const LineSource source(yuv);

    const uint8_t* luma;
    const uint8_t* above = nullptr;
    const uint8_t* below = nullptr;
    const int8_t* chroma;
    int n;
    ResampleSource horizontal{};
    if (!quick) {
        uint8_t* work[4];
        for (int i = 0; i < 4; ++i)
            work[i] = converter.workLines.get() + i * kFullLineBytes;
        const RowPlace place = PlaceOfRow(yuv, converter, row);
        int line = place.line;
        int f = place.fraction;
        const int d = place.denominator;
        if (sharpen) {
            int fa = f - place.step, la = line;
            while (fa < 0) {
                fa += d;
                --la;
            }
            la = std::max(la, 0);
            int fb = f + place.step, lb = line;
            while (fb >= d) {
                fb -= d;
                ++lb;
            }
            if (yuv.passesDone != 8) BottomGuard(la, fa, d, count);
            BottomGuard(lb, fb, d, count);
            InterpolateLumaRow(yuv, converter.halfSamples, work[1], la, fa, d);
            InterpolateLumaRow(yuv, converter.halfSamples, work[2], lb, fb, d);
            above = work[1];
            below = work[2];
        }
        BottomGuard(line, f, d, count);
        InterpolateLumaRow(yuv, converter.halfSamples, work[0], line, f, d);
        InterpolateChroma(reinterpret_cast<int8_t*>(work[3]), source.Chroma(line - 1),
                          source.Chroma(line), source.Chroma(line + 1), source.Chroma(line + 2), f,
                          d);
        luma = work[0];
        chroma = reinterpret_cast<const int8_t*>(work[3]);
        n = kFullLineBytes;
        horizontal = {nullptr, nullptr, 2, n - 16 * (n / kSampleWidth), 1};
    } else {
        const int line = std::min(platform::MulDiv(row, lines, height), count - 1);
        luma = source.Luma(yuv.lineTable, line);
        above = source.Luma(yuv.lineTable, std::max(line - 1, 0));
        below = source.Luma(yuv.lineTable, std::min(line + 1, lines - 1));
        chroma = source.Chroma(line);
        n = kQuickLineSamples;
        int step = 1;
        int sourceWidth = kQuickSourceWidth;
        if (width < kQuickLineSamples) {
            step = ((kQuickSourceWidth - 2 * width) / (4 * width)) * 4 + 1;
            sourceWidth = kQuickSourceWidth / step;
        }
        horizontal = {nullptr, nullptr, 1, sourceWidth, step};
    }

    if (tables.adjustedLuma) {
        if (sharpen) {
            // Sharpening adds a gain times the high-pass (centre against the 3 x 5
            // neighbourhood); softening mixes the centre with the neighbourhood's mean. The
            // brightness/contrast curve follows.
            kernels::SharpenRow(above, luma, below, n, tables.sharpen, tables.adjustedLuma.get());
        } else {
            kernels::LumaCurveRow(luma, n, tables.sharpen.out, tables.adjustedLuma.get());
        }
        luma = tables.adjustedLuma.get();
    }
    if (tables.adjustedChroma) {
        auto* adjusted = reinterpret_cast<int8_t*>(tables.adjustedChroma.get());
        // Rotates every (U, V) pair by the hue angle and scales it by the saturation.
        kernels::ChromaRow(chroma, n, tables.chroma, adjusted);
        chroma = adjusted;
    }
    horizontal.luma = luma;
    horizontal.chroma = chroma;
    converter.resampler.Run(horizontal, width, dst);
}

}  // namespace kivoly
