// A linear-phase low-pass FIR filter: a Blackman-windowed sinc with its half-amplitude point at
// the cut-off, normalised to unity gain at DC. The encoder band-limits luma and the colour
// difference signals with it before they are modulated and sampled, as a camera's encoder does.
#pragma once

#include <span>
#include <vector>

namespace kivoly::sim {

class LowPassFilter {
  public:
    // `cutoff` in cycles per sample (0..0.5); `taps` odd.
    LowPassFilter(double cutoff, int taps);

    // out[i] = sum of the taps around in[i]; samples beyond the ends count as 0. `in` and `out`
    // have the same length and must not overlap.
    void Apply(std::span<const float> in, std::span<float> out) const;

    // Gain at `frequency` cycles per sample.
    double Response(double frequency) const;

  private:
    std::vector<float> taps_;
};

}  // namespace kivoly::sim
