// The vectorised signal kernels against their scalar forms, byte for byte, on every target, over
// lengths leaving every remainder and inputs reaching the ends of their ranges.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "decode/internal/signal_kernels.h"
#include "support/every_target.h"

namespace kivoly {
namespace {

constexpr int kPad = 8;  // readable samples either side of a line

struct Lines {
    std::vector<int16_t> a, b, c;
    std::vector<int32_t> z;
    std::vector<uint8_t> bytes, bytes2, bytes3;
};

// Mostly picture-like values, with one in twenty at each end of the range the decoders produce.
Lines RandomLines(std::mt19937& random, int n) {
    std::uniform_int_distribution<int> pick(0, 19);
    auto value = [&](int low, int high) {
        const int p = pick(random);
        return p < 2 ? (p ? high : low) : std::uniform_int_distribution<int>(low, high)(random);
    };
    Lines l;
    for (auto* stream : {&l.a, &l.b, &l.c}) {
        for (int i = 0; i < n + 2 * kPad; ++i)
            stream->push_back(
                static_cast<int16_t>(pick(random) < 16 ? value(0, 255) : value(0, 510)));
    }
    for (int i = 0; i < n; ++i)
        l.z.push_back(value(-1020, 1020));
    for (auto* bytes : {&l.bytes, &l.bytes2, &l.bytes3}) {
        for (int i = 0; i < n + 2 * kPad; ++i)
            bytes->push_back(static_cast<uint8_t>(value(0, 255)));
    }
    return l;
}

void CompareOnThisTarget(const std::string& target) {
    std::mt19937 random(7);
    for (int n : {0, 1, 3, 4, 5, 15, 16, 17, 31, 33, 63, 64, 65, 751, 752}) {
        for (int round = 0; round < 4; ++round) {
            const Lines l = RandomLines(random, n);
            const int16_t* a = l.a.data() + kPad;
            const int16_t* b = l.b.data() + kPad;
            const int16_t* c = l.c.data() + kPad;
            const std::string where = target + " n=" + std::to_string(n);

            for (bool colour : {false, true}) {
                std::vector<uint8_t> luma(n + 1, 0xAA), lumaRef(n + 1, 0xAA);
                std::vector<int32_t> z(n + 1, -7), zRef(n + 1, -7);
                kernels::CombLine(a, b, n, colour, luma.data(), z.data());
                kernels::reference::CombLine(a, b, n, colour, lumaRef.data(), zRef.data());
                ASSERT_EQ(luma, lumaRef) << "comb luma " << where;
                ASSERT_EQ(z, zRef) << "comb chroma " << where;
            }

            for (auto [wA, wB] : {std::pair{16383, -16384}, {-5000, 731}, {0, 1024}}) {
                std::vector<int8_t> out(n + 1, 3), ref(n + 1, 3);
                kernels::Demodulate(l.z.data(), n, wA, wB, out.data());
                kernels::reference::Demodulate(l.z.data(), n, wA, wB, ref.data());
                ASSERT_EQ(out, ref) << "demodulation " << where << " weights " << wA;
            }

            int high = 76, low = 224, highRef = 76, lowRef = 224;
            kernels::MovingAverageExtremes(l.bytes.data(), n, high, low);
            kernels::reference::MovingAverageExtremes(l.bytes.data(), n, highRef, lowRef);
            ASSERT_EQ(high, highRef) << "moving average " << where;
            ASSERT_EQ(low, lowRef) << "moving average " << where;

            std::vector<int32_t> estimates(n + 1, 9), estimatesRef(n + 1, 9);
            kernels::SeparatorEstimates(a, b, c, n, estimates.data());
            kernels::reference::SeparatorEstimates(a, b, c, n, estimatesRef.data());
            ASSERT_EQ(estimates, estimatesRef) << "separator " << where;

            std::vector<uint8_t> smooth(n + 1, 1), smoothRef(n + 1, 1);
            const uint8_t* centre = l.bytes.data() + kPad;
            kernels::Smooth121(l.bytes2.data() + kPad, centre, l.bytes3.data() + kPad, n,
                               smooth.data());
            kernels::reference::Smooth121(l.bytes2.data() + kPad, centre, l.bytes3.data() + kPad, n,
                                          smoothRef.data());
            ASSERT_EQ(smooth, smoothRef) << "smoothing " << where;
        }
    }
}

TEST(SignalKernels, EveryInstructionSetGivesTheScalarResults) {
    test::OnEveryTarget(CompareOnThisTarget);
}

// A sample exactly 64 (in sums of both frames, times 16) from the seven-tap mean keeps its own
// value, on either side, whether the kernel's body or its scalar tail takes the position.
TEST(SignalKernels, CombLineKeepsSamplesAtTheEdgeOfTheSmoothingBand) {
    test::OnEveryTarget([](const std::string& target) {
        for (const int far : {36, 164}) {
            for (const int n : {1, 40}) {
                std::vector<int16_t> x(n + 2 * kPad, 100), y(n + 2 * kPad, 100);
                x[kPad + 3] = static_cast<int16_t>(far);  // the outermost tap, weight 1
                std::vector<uint8_t> luma(n);
                std::vector<int32_t> z(n);
                kernels::CombLine(x.data() + kPad, y.data() + kPad, n, false, luma.data(),
                                  z.data());
                EXPECT_EQ(luma[0], 100) << target << " " << far << " n " << n;
            }
        }
    });
}

// The separator's division is done in floating point and corrected: quotients just below a
// whole number still round towards zero, over many ratios of the blend's activities.
TEST(SignalKernels, SeparatorDivisionRoundsTowardsZeroAtTheEdges) {
    for (int step = 1; step < 200; ++step) {
        std::vector<int16_t> m(24, 100), north(24, 100), south(24, 100);
        m[12] = static_cast<int16_t>(100 + step);
        m[14] = static_cast<int16_t>(100 - step / 3);
        north[11] = static_cast<int16_t>(100 + step % 17);
        south[13] = static_cast<int16_t>(510 - step);
        int32_t out[16], ref[16];
        kernels::SeparatorEstimates(m.data() + 4, north.data() + 4, south.data() + 4, 16, out);
        kernels::reference::SeparatorEstimates(m.data() + 4, north.data() + 4, south.data() + 4, 16,
                                               ref);
        for (int k = 0; k < 16; ++k)
            ASSERT_EQ(out[k], ref[k]) << step << " at " << k;
    }
}

}  // namespace
}  // namespace kivoly
