#include "output/area_resampler.h"

#include <algorithm>

#include "output/conversion_kernels.h"
#include "output/internal/colour_tables.h"

namespace kivoly {

namespace {

constexpr int kFieldBits = 21;

uint64_t UField(int u) {
    return static_cast<uint64_t>(u + 128) << kFieldBits;
}
uint64_t VField(int v) {
    return static_cast<uint64_t>(v + 128) << (2 * kFieldBits);
}
uint64_t Pack(int y, int u, int v) {
    return y + UField(u) + VField(v);
}

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
    sums_.assign(static_cast<std::size_t>(width), 0);
    endSample_.clear();
    endUnits_.clear();
    runningSums_.clear();
    if (taps_ > 2) {
        // Pixel x ends (x + 1) sourceWidth units into the row, each sample being width units.
        for (int x = 0; x < width; ++x) {
            const int64_t end = int64_t{x + 1} * sourceWidth;
            endSample_.push_back(static_cast<int32_t>(end / width));
            endUnits_.push_back(static_cast<int32_t>(end % width));
        }
        runningSums_.assign(static_cast<std::size_t>(sourceWidth) + 1, 0);
    }
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
        // before: each sample follows from the chroma around it alone.
        kernels::PackRow(luma + index, c + index, count, out);
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
    const uint64_t* const samples = samples_.data();
    const kernels::PixelTables& tables = SharedColourTables().pixelTables;
    if (sourceWidth_ == width) {
        kernels::ResolvePixels(samples, width, 1, tables, dst);
        return;
    }
    uint64_t* const sums = sums_.data();
    const int32_t* const firsts = first_.data();
    const int32_t* const weights = weights_.data();
    if (taps_ > 2) {
        // The weighted sum of everything left of a point u of the row is
        // width x (the samples wholly left of it) + (its units into its sample) x that sample,
        // and a pixel's sum is that at its end less that at its start: two products a pixel
        // however many samples it spans. The packed arithmetic wraps modulo 2^64 on the way,
        // which leaves the differences exact, and they fit their fields.
        uint64_t* const running = runningSums_.data();
        kernels::RunningSums(samples, sourceWidth_, running);
        const uint64_t sampleUnits = static_cast<uint64_t>(width);
        uint64_t start = 0;
        for (int x = 0; x < width; ++x) {
            const int i = endSample_[x];
            const uint64_t end =
                sampleUnits * running[i] + static_cast<uint64_t>(endUnits_[x]) * samples[i];
            sums[x] = end - start;
            start = end;
        }
    } else {
        // Widening (or narrowing to whole pairs): at most two samples a pixel.
        kernels::WeighSamples(samples, static_cast<int>(samples_.size()), firsts, weights, taps_,
                              width, sums);
    }
    kernels::ResolvePixels(sums, width, sourceWidth_, tables, dst);
}

}  // namespace kivoly
