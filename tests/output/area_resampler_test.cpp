#include "output/area_resampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "output/internal/colour_tables.h"

namespace kivoly {
namespace {

// The horizontal stage against a plain statement of it: samples read one by one, each colour
// difference averaged with the last of its kind, weighted sums divided with truncation and the
// colour matrix clamped into the gamma tables. Covers the even start read in one sweep, the odd
// start and the stepped read of the quick mode, with chroma at both extremes.
TEST(AreaResampler, MatchesTheWeightedMeansOfTheSamplesAsRead) {
    constexpr int kLine = 1504;
    std::vector<uint8_t> luma(kLine);
    std::vector<int8_t> chroma(kLine);
    for (int i = 0; i < kLine; ++i) {
        luma[i] = static_cast<uint8_t>((i * 53 + i / 7) % 256);
        chroma[i] = static_cast<int8_t>((i * 97 + i / 3) % 256 - 128);
    }
    ColourTables& colour = SharedColourTables();
    colour.Configure(230, 76, 0.8, false, 1.2, 1.0, 0.9);
    struct Case {
        int start, count, step, width;
    };
    for (const Case& c : {Case{2, 1472, 1, 640}, Case{2, 1472, 1, 1500}, Case{2, 1472, 1, 1472},
                          Case{3, 1471, 1, 320}, Case{1, 147, 5, 100}, Case{1, 736, 1, 736},
                          Case{2, 1472, 1, 1}, Case{2, 1472, 1, 3}, Case{2, 1472, 1, 736},
                          Case{2, 1472, 1, 1471}, Case{2, 1, 1, 5}, Case{1, 289, 5, 97}}) {
        std::vector<int> ys, us, vs;
        int lastU = c.start % 2 == 0 ? chroma[c.start - 2] : chroma[c.start - 1];
        int lastV = c.start % 2 == 0 ? chroma[c.start - 1] : 0;
        for (int n = 0, i = c.start; n < c.count; ++n, i += c.step) {
            if (i % 2 == 0) {
                us.push_back((lastU + chroma[i]) / 2);
                vs.push_back(lastV);
                lastU = chroma[i];
            } else {
                us.push_back(lastU);
                vs.push_back((lastV + chroma[i]) / 2);
                lastV = chroma[i];
            }
            ys.push_back(luma[i]);
        }
        AreaResampler resampler;
        std::vector<uint8_t> out(3 * c.width);
        resampler.Run({luma.data(), chroma.data(), c.start, c.count, c.step}, c.width, out.data());
        for (int x = 0; x < c.width; ++x) {
            int y = 0, u = 0, v = 0;
            if (c.count == c.width) {
                y = ys[x];
                u = us[x];
                v = vs[x];
            } else {
                int sy = 0, su = 0, sv = 0;
                for (int t = 0; t < resampler.Taps(); ++t) {
                    const int s = std::min(resampler.FirstSample(x) + t, c.count - 1);
                    sy += resampler.Weights(x)[t] * ys[s];
                    su += resampler.Weights(x)[t] * us[s];
                    sv += resampler.Weights(x)[t] * vs[s];
                }
                y = sy / c.count;
                u = su / c.count;
                v = sv / c.count;
            }
            const int l = colour.YToRgb[y];
            const int r = std::clamp((colour.VToR[v + 128] + l + 8) >> 4, 0, 1023);
            const int g =
                std::clamp((colour.UToG[u + 128] + colour.VToG[v + 128] + l + 8) >> 4, 0, 1023);
            const int b = std::clamp((colour.UToB[u + 128] + l + 8) >> 4, 0, 1023);
            ASSERT_EQ(out[3 * x], colour.GammaB[b]) << c.start << " " << c.width << " " << x;
            ASSERT_EQ(out[3 * x + 1], colour.GammaG[g]) << c.start << " " << c.width << " " << x;
            ASSERT_EQ(out[3 * x + 2], colour.GammaR[r]) << c.start << " " << c.width << " " << x;
        }
    }
    colour.Configure(224, 76, 1.0, false, 1.0, 1.0, 1.0);
}

}  // namespace
}  // namespace kivoly
