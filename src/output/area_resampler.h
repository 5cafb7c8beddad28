// AreaResampler: the horizontal stage of the conversion. It resamples one row of luma and
// alternating chroma to the output width and applies the colour matrix and gamma tables.
//
// Every output pixel spans the source width in units and every source sample spans the output
// width, so each pixel is the weighted mean of the samples it overlaps and its weights add up to
// exactly the source width: nothing is lost or gained, and no pixel is brighter than the
// brightest sample it covers. The overlap pattern is the same on every row, so the weights are
// worked out once per geometry and the row loop only multiplies and adds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kivoly {

struct ResampleSource {
    const uint8_t* luma;
    const int8_t* chroma;  // U at even, V at odd positions
    int start;             // the first sample read; the two before it prime the chroma
    int width;             // samples read
    int step;              // 1 more than a multiple of 4, so the parity alternates per read
};

class AreaResampler {
  public:
    // Writes `width` pixels of blue, green, red.
    void Run(const ResampleSource& source, int width, uint8_t* dst);

    void Plan(int sourceWidth, int width);

  private:
    void ReadSamples(const ResampleSource& source);

    int sourceWidth_ = 0;
    int width_ = 0;
    int taps_ = 0;
    std::vector<int32_t> first_;
    std::vector<int32_t> weights_;
    // Narrowing, where a pixel overlaps three samples or more: where pixel x ends, as the
    // sample it ends in and the units of that sample before the end.
    std::vector<int32_t> endSample_;
    std::vector<int32_t> endUnits_;
    // One row's samples as read, each with both colour differences, packed into one word so
    // that a pixel's three weighted sums take one multiplication per tap: luma in bits 0..20,
    // U + 128 in bits 21..41, V + 128 from bit 42. A field's sum is at most 255 x the source
    // width, so no field carries into the next.
    std::vector<uint64_t> samples_;
    // One row's weighted sums per output pixel, packed in the same way.
    std::vector<uint64_t> sums_;
    // Narrowing: the running sums of the row's samples, the first being 0.
    std::vector<uint64_t> runningSums_;
};

}  // namespace kivoly
