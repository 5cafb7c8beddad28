#include "sim/ntsc_encoder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sim/internal/low_pass_filter.h"
#include "sim/internal/ntsc_line_layout.h"
#include "sim/internal/sample_interpolator.h"

namespace kivoly::sim {

namespace {

constexpr double kLumaCutoff = 4.2 / 14.31818;  // cycles per sample
constexpr double kChromaCutoff = 1.3 / 14.31818;
constexpr int kFilterTaps = 41;

// The alternate line length: the normal clock half a sample later, 908 samples a line. A line
// is stored from line sample kAltLineFirst on; the clock holds one sample of the sync tip for
// two (kAltRepeated), and the three samples that then do not fit fall in the front porch before
// the next line's sync.
constexpr int kAltLineSamples = 908;
constexpr double kAltDelay = 0.5;
constexpr int kAltLineFirst = -9;
constexpr int kAltRepeated = 30;

// The line sample that stored sample `place` (0 to 907) of a line holds.
int AltLineSample(int place) {
    const int sample = kAltLineFirst + place;
    return sample <= kAltRepeated ? sample : sample - 1;
}

// The first stored sample of the alternate clock at or after `time` (less its delay): its line's
// start and its place in the line.
double AltLineAt(double time, int* place) {
    const double fromFirst = time - kAltDelay - kAltLineFirst;
    double line = std::floor(fromFirst / kLineSamples);
    const double within = fromFirst - line * kLineSamples;
    *place = 0;
    while (*place < kAltLineSamples && AltLineSample(*place) - kAltLineFirst < within - 1e-9)
        ++*place;
    if (*place == kAltLineSamples) {
        line += 1;
        *place = 0;
    }
    return line * kLineSamples;
}
// Raised-cosine step from 0 (well before `at`) to 1 (well after), half-width `halfWidth`.
double Step(double h, double at, double halfWidth) {
    const double x = (h - at) / halfWidth;
    if (x <= -1) return 0;
    if (x >= 1) return 1;
    return 0.5 * (1 + std::sin(x * std::numbers::pi / 2));
}

// 1 between `from` and `to`, with raised-cosine transitions.
double Window(double h, double from, double to, double halfWidth) {
    return Step(h, from, halfWidth) - Step(h, to, halfWidth);
}

double PulseWidth(SyncPulse pulse) {
    switch (pulse) {
        case SyncPulse::Horizontal:
            return kHSyncWidth;
        case SyncPulse::Equalising:
            return kEqualisingWidth;
        case SyncPulse::Broad:
            return kBroadPulseWidth;
        case SyncPulse::None:
            break;
    }
    return 0;
}

// Depth of the sync pulses at sample h of a line: 0 at blanking, 1 at the sync tip. The next
// line's first pulse begins before that line's sample 0, so its edge reaches into this line.
double SyncDepth(double h, const LineLayout& layout, const LineLayout& next) {
    double depth = 0;
    const SyncPulse pulses[3] = {layout.firstHalf, layout.secondHalf, next.firstHalf};
    for (int half = 0; half < 3; ++half) {
        const double width = PulseWidth(pulses[half]);
        if (width <= 0) continue;
        const double edge = half * kHalfLine + kSyncEdge;
        depth += Window(h, edge, edge + width, kEdgeHalfWidth);
    }
    return depth;
}

int64_t Wrap(int64_t index, int64_t period) {
    const int64_t r = index % period;
    return r < 0 ? r + period : r;
}

double WrapTime(double time, double period) {
    return time - std::floor(time / period) * period;
}

uint8_t Quantise(double value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

NtscEncoder::NtscEncoder(const Picture& picture)
    : base_(kFrameSamples), u_(kFrameSamples), v_(kFrameSamples) {
    std::vector<float> chroma(kFrameSamples);  // first colour frame, with burst
    const std::vector<float> scaled =
        picture.Empty() ? std::vector<float>(static_cast<size_t>(kPictureWidth) * kPictureRows * 3)
                        : ScalePicture(picture, kPictureWidth, kPictureRows);
    const LowPassFilter lumaFilter(kLumaCutoff, kFilterTaps);
    const LowPassFilter chromaFilter(kChromaCutoff, kFilterTaps);

    std::vector<float> luma(kLineSamples), u(kLineSamples), v(kLineSamples);
    std::vector<float> lumaOut(kLineSamples), uOut(kLineSamples), vOut(kLineSamples);
    for (int number = 1; number <= kFrameLines; ++number) {
        const LineLayout layout = FrameLineLayout(number);
        const LineLayout next = FrameLineLayout(number % kFrameLines + 1);
        std::fill(luma.begin(), luma.end(), 0.0f);
        std::fill(u.begin(), u.end(), 0.0f);
        std::fill(v.begin(), v.end(), 0.0f);
        if (layout.activeFrom < layout.activeTo) {
            const float* row = &scaled[static_cast<size_t>(layout.pictureRow) * kPictureWidth * 3];
            for (int h = 0; h < kLineSamples; ++h) {
                const double gain = Window(h, layout.activeFrom, layout.activeTo, kActiveRamp);
                if (gain <= 0) continue;
                const int column = std::clamp(h - kPictureStart, 0, kPictureWidth - 1);
                const double r = row[column * 3] / 255.0;
                const double g = row[column * 3 + 1] / 255.0;
                const double b = row[column * 3 + 2] / 255.0;
                const double y = 0.299 * r + 0.587 * g + 0.114 * b;
                luma[h] = static_cast<float>(gain * (kBlackLevel - kBlankLevel + kLumaScale * y));
                u[h] = static_cast<float>(gain * kLumaScale * 0.492 * (b - y));
                v[h] = static_cast<float>(gain * kLumaScale * 0.877 * (r - y));
            }
        }
        lumaFilter.Apply(luma, lumaOut);
        chromaFilter.Apply(u, uOut);
        chromaFilter.Apply(v, vOut);

        const size_t lineStart = static_cast<size_t>(number - 1) * kLineSamples;
        // Subcarrier phase of the line's sample 0 in quarter cycles (910 = 2 mod 4).
        const int phase0 = (2 * (number - 1)) % 4;
        for (int h = 0; h < kLineSamples; ++h) {
            const size_t i = lineStart + static_cast<size_t>(h);
            base_[i] =
                static_cast<float>(kBlankLevel + lumaOut[h] -
                                   (kBlankLevel - kSyncTipLevel) * SyncDepth(h, layout, next));
            u_[i] = uOut[h];
            v_[i] = vOut[h];
            const double burst =
                layout.burst ? kBurstAmplitude * Window(h, kSyncEdge + kBurstStart,
                                                        kSyncEdge + kBurstStart + kBurstLength,
                                                        kBurstRamp / 2)
                             : 0.0;
            // U sin(wt) + V cos(wt) - burst sin(wt) on the four sample phases.
            switch ((phase0 + h) % 4) {
                case 0:
                    chroma[i] = vOut[h];
                    break;
                case 1:
                    chroma[i] = static_cast<float>(uOut[h] - burst);
                    break;
                case 2:
                    chroma[i] = -vOut[h];
                    break;
                default:
                    chroma[i] = static_cast<float>(-uOut[h] + burst);
                    break;
            }
        }
    }

    // The second frame of the sequence carries the inverted subcarrier.
    composite_.resize(kSequenceSamples);
    samples_.resize(kSequenceSamples);
    for (int64_t i = 0; i < kFrameSamples; ++i) {
        const float plus = base_[static_cast<size_t>(i)] + chroma[static_cast<size_t>(i)];
        const float minus = base_[static_cast<size_t>(i)] - chroma[static_cast<size_t>(i)];
        composite_[static_cast<size_t>(i)] = plus;
        composite_[static_cast<size_t>(i + kFrameSamples)] = minus;
        samples_[static_cast<size_t>(i)] = Quantise(plus);
        samples_[static_cast<size_t>(i + kFrameSamples)] = Quantise(minus);
    }
}

double NtscEncoder::SampleStep(int samplesPerLine) {
    return static_cast<double>(kLineSamples) / samplesPerLine;
}

double NtscEncoder::CompositeAt(double time) const {
    int64_t first = 0;
    const float* kernel = Interpolator().Kernel(time, first);
    double sum = 0;
    if (first >= 0 && first + SampleInterpolator::kTaps <= kSequenceSamples) {
        const float* x = &composite_[static_cast<size_t>(first)];
        for (int k = 0; k < SampleInterpolator::kTaps; ++k)
            sum += kernel[k] * x[k];
    } else {
        for (int k = 0; k < SampleInterpolator::kTaps; ++k) {
            sum += kernel[k] * composite_[static_cast<size_t>(Wrap(first + k, kSequenceSamples))];
        }
    }
    return sum;
}

void NtscEncoder::Sample(double time, int samplesPerLine, std::span<uint8_t> out) const {
    double t = WrapTime(time, static_cast<double>(kSequenceSamples));
    if (samplesPerLine == kAltLineSamples) {
        int place = 0;
        double lineStart = AltLineAt(t, &place);
        for (uint8_t& sample : out) {
            sample = Quantise(CompositeAt(WrapTime(lineStart + AltLineSample(place) + kAltDelay,
                                                   static_cast<double>(kSequenceSamples))));
            if (++place == kAltLineSamples) {
                place = 0;
                lineStart += kLineSamples;
            }
        }
        return;
    }
    const double step = SampleStep(samplesPerLine);
    if (step == std::floor(step) && t == std::floor(t)) {
        // A clock in step with the subcarrier: the samples are the frame's own.
        const int64_t stride = static_cast<int64_t>(step);
        int64_t index = static_cast<int64_t>(t);
        for (uint8_t& sample : out) {
            sample = samples_[static_cast<size_t>(index)];
            index += stride;
            if (index >= kSequenceSamples) index -= kSequenceSamples;
        }
        return;
    }
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = Quantise(CompositeAt(t));
        t += step;
        if (t >= kSequenceSamples) t -= kSequenceSamples;
    }
}

double NtscEncoder::CaptureStart(int64_t field, int samplesPerLine, int64_t delay) {
    const int64_t start = field * kFieldSamples + kVerticalSyncOffset + delay;
    if (samplesPerLine != kAltLineSamples) return static_cast<double>(start);
    int place = 0;
    const double lineStart = AltLineAt(static_cast<double>(start), &place);
    return lineStart + AltLineSample(place) + kAltDelay;
}

void NtscEncoder::CaptureField(int64_t field, int samplesPerLine, std::span<uint8_t> out) const {
    Sample(CaptureStart(field, samplesPerLine), samplesPerLine, out);
}

IdealPlanes NtscEncoder::IdealField(int64_t field, int samplesPerLine) const {
    constexpr int kStoredLines = 242;
    // The alternate clock samples every place half a sample after the normal one.
    const double delay = samplesPerLine == kAltLineSamples ? kAltDelay : 0.0;
    const bool secondField = Wrap(field, 2) == 1;

    IdealPlanes planes;
    planes.Resize(kStoredLines);
    const SampleInterpolator& interpolator = Interpolator();
    for (int j = 0; j < kStoredLines; ++j) {
        const int number = StoredLineToFrameLine(secondField, j);
        const double lineStart = static_cast<double>(number - 1) * kLineSamples;
        for (int k = 0; k < planes.width; ++k) {
            const double t = lineStart - 1.0 + 140 + k + delay;
            int64_t first = 0;
            const float* kernel = interpolator.Kernel(t, first);
            double y = 0, u = 0, v = 0;
            for (int tap = 0; tap < SampleInterpolator::kTaps; ++tap) {
                const size_t i = static_cast<size_t>(Wrap(first + tap, kFrameSamples));
                y += kernel[tap] * base_[i];
                u += kernel[tap] * u_[i];
                v += kernel[tap] * v_[i];
            }
            const size_t at = static_cast<size_t>(j) * planes.width + static_cast<size_t>(k);
            planes.y[at] = Quantise(y);
            planes.u[at] = static_cast<int8_t>(std::clamp(std::lround(u), -128L, 127L));
            planes.v[at] = static_cast<int8_t>(std::clamp(std::lround(v), -128L, 127L));
            planes.chroma[at] = k % 2 == 0 ? planes.u[at] : planes.v[at];
        }
    }
    return planes;
}

}  // namespace kivoly::sim
