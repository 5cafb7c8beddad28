#include "output/area_resampler.h"

#include <algorithm>

#include "output/colour_tables.h"

namespace kivoly {

namespace {

// Exact truncating division by a divisor fixed for a whole row, as one multiplication: with
// m = 2^32 / d + 1 the quotient of n is (n x m) >> 32 as long as |n| x d < 2^32, which holds
// for these sums (at most 255 x d with d at most 1472).
class RowDivider {
  public:
    explicit RowDivider(int divisor) : magic_((uint64_t{1} << 32) / divisor + 1) {}
    // For sums that cannot be negative (luma).
    int Positive(int n) const {
        return static_cast<int>((static_cast<uint64_t>(n) * magic_) >> 32);
    }
    int operator()(int n) const {
        const int64_t sign = n >> 31;
        const uint64_t magnitude = static_cast<uint64_t>((n ^ sign) - sign);
        const int64_t quotient = static_cast<int64_t>((magnitude * magic_) >> 32);
        return static_cast<int>((quotient ^ sign) - sign);
    }

  private:
    uint64_t magic_;
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
    const std::size_t padded = static_cast<std::size_t>(sourceWidth) + taps_;
    y_.assign(padded, 0);
    u_.assign(padded, 0);
    v_.assign(padded, 0);
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
    int32_t* const ys = y_.data();
    int32_t* const us = u_.data();
    int32_t* const vs = v_.data();
    const uint8_t* const luma = source.luma;
    const int count = sourceWidth_;
    int index = source.start;
    int n = 0;
    if (source.start & 1) {
        vs[0] = (lastV + c[index]) / 2;
        us[0] = lastU;
        lastV = c[index];
        ys[0] = luma[index];
        index += source.step;
        n = 1;
    }
    const int step = source.step;
    for (; n + 1 < count; n += 2) {
        const int even = c[index];
        ys[n] = luma[index];
        us[n] = (lastU + even) / 2;
        vs[n] = lastV;
        lastU = even;
        index += step;
        const int odd = c[index];
        ys[n + 1] = luma[index];
        vs[n + 1] = (lastV + odd) / 2;
        us[n + 1] = lastU;
        lastV = odd;
        index += step;
    }
    if (n < count) {
        ys[n] = luma[index];
        us[n] = (lastU + c[index]) / 2;
        vs[n] = lastV;
    }
}

void AreaResampler::Run(const ResampleSource& source, int width, uint8_t* dst) {
    Plan(source.width, width);
    ReadSamples(source);
    // Everything the loop reads is held in locals: the byte stores to `dst` may alias anything
    // reached through a pointer, which would otherwise be reloaded after every store.
    const ColourTables& colour = SharedColourTables();
    const int16_t* const yToRgb = colour.YToRgb.data();
    const int16_t* const vToR = colour.VToR.data() + 128;
    const int16_t* const vToG = colour.VToG.data() + 128;
    const int16_t* const uToG = colour.UToG.data() + 128;
    const int16_t* const uToB = colour.UToB.data() + 128;
    const uint8_t* const gammaR = colour.GammaR.data();
    const uint8_t* const gammaG = colour.GammaG.data();
    const uint8_t* const gammaB = colour.GammaB.data();
    const int32_t* const ys = y_.data();
    const int32_t* const us = u_.data();
    const int32_t* const vs = v_.data();
    auto emit = [=](uint8_t* out, int y, int u, int v) {
        const int luma = yToRgb[y];
        // A shift instead of the division: the two differ only below zero, which is clamped.
        const int r = std::clamp((vToR[v] + luma + 8) >> 4, 0, 1023);
        const int g = std::clamp((uToG[u] + vToG[v] + luma + 8) >> 4, 0, 1023);
        const int b = std::clamp((uToB[u] + luma + 8) >> 4, 0, 1023);
        out[0] = gammaB[b];
        out[1] = gammaG[g];
        out[2] = gammaR[r];
    };
    if (sourceWidth_ == width) {
        for (int x = 0; x < width; ++x)
            emit(dst + 3 * x, ys[x], us[x], vs[x]);
        return;
    }
    const RowDivider divide(sourceWidth_);
    const int32_t* const firsts = first_.data();
    const int32_t* const weights = weights_.data();
    // The tap count is fixed for a geometry: a loop of known length per count unrolls fully.
    auto resample = [&]<int kTaps>() {
        const int32_t* w = weights;
        for (int x = 0; x < width; ++x, w += kTaps) {
            const int s = firsts[x];
            int sumY = 0, sumU = 0, sumV = 0;
            for (int t = 0; t < kTaps; ++t) {
                sumY += w[t] * ys[s + t];
                sumU += w[t] * us[s + t];
                sumV += w[t] * vs[s + t];
            }
            emit(dst + 3 * x, divide.Positive(sumY), divide(sumU), divide(sumV));
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
        const int s = firsts[x];
        int sumY = 0, sumU = 0, sumV = 0;
        for (int t = 0; t < taps; ++t) {
            sumY += w[t] * ys[s + t];
            sumU += w[t] * us[s + t];
            sumV += w[t] * vs[s + t];
        }
        emit(dst + 3 * x, divide.Positive(sumY), divide(sumU), divide(sumV));
    }
}

}  // namespace kivoly
