#include "output/area_resampler.h"

#include <algorithm>
#include <array>

#include "output/colour_tables.h"

namespace kivoly {

namespace {

constexpr int kFieldBits = 21;
constexpr uint64_t kFieldMask = (uint64_t{1} << kFieldBits) - 1;

uint64_t UField(int u) {
    return static_cast<uint64_t>(u + 128) << kFieldBits;
}
uint64_t VField(int v) {
    return static_cast<uint64_t>(v + 128) << (2 * kFieldBits);
}
uint64_t Pack(int y, int u, int v) {
    return y + UField(u) + VField(v);
}

// Exact division of non-negative sums by a divisor fixed for a whole row, as one
// multiplication: with m = 2^32 / d + 1 the quotient of n is (n x m) >> 32 as long as
// n x d < 2^32, which holds for these sums (below 256 x d with d at most 1472).
class RowDivider {
  public:
    explicit RowDivider(int divisor)
        : magic_((uint64_t{1} << 32) / divisor + 1),
          offset_(128 * divisor),
          roundUp_(divisor - 1) {}
    int Positive(uint64_t n) const { return static_cast<int>((n * magic_) >> 32); }
    // A colour difference sum held with 128 x the divisor added (the packed field): the
    // quotient of the signed sum truncated toward zero, plus 128. A negative sum is raised by
    // divisor - 1 first, which turns the rounding down into rounding toward zero.
    int Offset(uint64_t field) const {
        const int64_t n = static_cast<int64_t>(field) - offset_;
        return Positive(field + static_cast<uint64_t>((n >> 63) & roundUp_));
    }

  private:
    uint64_t magic_;
    int64_t offset_;
    int64_t roundUp_;
};

}  // namespace

void AreaResampler::Plan(int sourceWidth, int width) {
    if (sourceWidth == sourceWidth_ && width == width_) return;
    sourceWidth_ = sourceWidth;
    width_ = width;
    // Walk the row twice: once to find the most samples a pixel overlaps, once to record them.
    std::vector<int32_t> pixelWeights;
    taps_ = 1;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            first_.assign(width, 0);
            weights_.assign(static_cast<std::size_t>(width) * taps_, 0);
        }
        int carry = 0;  // units of the last sample read that belong to the next pixel
        int next = 0;
        for (int x = 0; x < width; ++x) {
            pixelWeights.clear();
            const int w0 = std::min(carry, sourceWidth);
            if (w0 > 0) pixelWeights.push_back(w0);
            const int first = w0 > 0 ? next - 1 : next;
            int r = sourceWidth - carry;
            while (r > 0) {
                ++next;
                pixelWeights.push_back(std::min(r, width));
                r -= width;
            }
            carry = -r;
            if (pass == 0) {
                taps_ = std::max(taps_, static_cast<int>(pixelWeights.size()));
            } else {
                first_[x] = first;
                std::copy(pixelWeights.begin(), pixelWeights.end(),
                          &weights_[static_cast<std::size_t>(x) * taps_]);
            }
        }
    }
    samples_.assign(static_cast<std::size_t>(sourceWidth) + taps_, 0);
}

// Each sample carries one colour difference; the other is the last one read, and the new one
// is averaged with the previous sample of its kind.
void AreaResampler::ReadSamples(const ResampleSource& source) {
    const int8_t* c = source.chroma;
    int lastU, lastV;
    if ((source.start & 1) == 0) {
        lastU = c[source.start - 2];
        lastV = c[source.start - 1];
    } else {
        lastU = c[source.start - 1];
        lastV = 0;
    }
    uint64_t* const out = samples_.data();
    const uint8_t* const luma = source.luma;
    const int count = sourceWidth_;
    int index = source.start;
    int n = 0;
    if (source.step == 1 && (source.start & 1) == 0) {
        // Reading every sample from an even one, the last U and V are always the two samples
        // before: each pair of samples follows from the chroma around it alone.
        const uint8_t* const y = luma + index;
        const int8_t* const k = c + index;
        for (; n + 1 < count; n += 2) {
            const int before = k[n - 2], last = k[n - 1], even = k[n], odd = k[n + 1];
            out[n] = y[n] + UField((before + even) / 2) + VField(last);
            out[n + 1] = y[n + 1] + UField(even) + VField((last + odd) / 2);
        }
        if (n < count) out[n] = y[n] + UField((k[n - 2] + k[n]) / 2) + VField(k[n - 1]);
        return;
    }
    if (source.start & 1) {
        out[0] = Pack(luma[index], lastU, (lastV + c[index]) / 2);
        lastV = c[index];
        index += source.step;
        n = 1;
    }
    const int step = source.step;
    for (; n + 1 < count; n += 2) {
        const int even = c[index];
        out[n] = Pack(luma[index], (lastU + even) / 2, lastV);
        lastU = even;
        index += step;
        const int odd = c[index];
        out[n + 1] = Pack(luma[index], lastU, (lastV + odd) / 2);
        lastV = odd;
        index += step;
    }
    if (n < count) out[n] = Pack(luma[index], (lastU + c[index]) / 2, lastV);
}

void AreaResampler::Run(const ResampleSource& source, int width, uint8_t* dst) {
    Plan(source.width, width);
    ReadSamples(source);
    // Everything the loop reads is held in locals: the byte stores to `dst` may alias anything
    // reached through a pointer, which would otherwise be reloaded after every store.
    const ColourTables& colour = SharedColourTables();
    const int16_t* const yToRgb = colour.YToRgb.data();
    // The chroma terms are indexed by the colour difference + 128, as the divider yields it.
    const std::array<int16_t, 2>* const vTerms = colour.VTerms.data();
    const std::array<int16_t, 2>* const uTerms = colour.UTerms.data();
    const uint8_t* const gamma = colour.ClampedGamma[0].data() + kChannelSumLimit;
    const uint64_t* const samples = samples_.data();
    auto emit = [=](uint8_t* out, int y, int u, int v) {
        // A shift instead of the division: the two differ only below zero, which the gamma
        // tables clamp.
        const int luma = yToRgb[y] + 8;
        const std::array<int16_t, 2>& vt = vTerms[v];
        const std::array<int16_t, 2>& ut = uTerms[u];
        out[0] = gamma[(ut[1] + luma) >> 4];
        out[1] = gamma[kClampedSpan + ((ut[0] + vt[1] + luma) >> 4)];
        out[2] = gamma[2 * kClampedSpan + ((vt[0] + luma) >> 4)];
    };
    if (sourceWidth_ == width) {
        for (int x = 0; x < width; ++x) {
            const uint64_t p = samples[x];
            emit(dst + 3 * x, static_cast<int>(p & kFieldMask),
                 static_cast<int>((p >> kFieldBits) & kFieldMask),
                 static_cast<int>(p >> (2 * kFieldBits)));
        }
        return;
    }
    const RowDivider divide(sourceWidth_);
    const int32_t* const firsts = first_.data();
    const int32_t* const weights = weights_.data();
    auto pixel = [&](uint8_t* out, uint64_t sum) {
        emit(out, divide.Positive(sum & kFieldMask),
             divide.Offset((sum >> kFieldBits) & kFieldMask),
             divide.Offset(sum >> (2 * kFieldBits)));
    };
    // The tap count is fixed for a geometry: a loop of known length per count unrolls fully.
    auto resample = [&]<int kTaps>() {
        const int32_t* w = weights;
        for (int x = 0; x < width; ++x, w += kTaps) {
            const uint64_t* p = samples + firsts[x];
            uint64_t sum = 0;
            for (int t = 0; t < kTaps; ++t)
                sum += static_cast<uint64_t>(w[t]) * p[t];
            pixel(dst + 3 * x, sum);
        }
    };
    switch (taps_) {
        case 2:
            return resample.template operator()<2>();
        case 3:
            return resample.template operator()<3>();
        case 4:
            return resample.template operator()<4>();
        case 5:
            return resample.template operator()<5>();
        case 6:
            return resample.template operator()<6>();
        default:
            break;
    }
    const int taps = taps_;
    const int32_t* w = weights;
    for (int x = 0; x < width; ++x, w += taps) {
        const uint64_t* p = samples + firsts[x];
        uint64_t sum = 0;
        for (int t = 0; t < taps; ++t)
            sum += static_cast<uint64_t>(w[t]) * p[t];
        pixel(dst + 3 * x, sum);
    }
}

}  // namespace kivoly
