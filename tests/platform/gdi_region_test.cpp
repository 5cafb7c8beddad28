#include <gtest/gtest.h>

#include <array>
#include <random>

#include "platform/gdi/geometry.h"

namespace kivoly::platform {
namespace {

constexpr int kGrid = 24;
using Pixels = std::array<std::array<bool, kGrid>, kGrid>;

Pixels Rasterise(const Region& region) {
    Pixels p{};
    for (const Rect& r : region.Rects()) {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x)
                p[y][x] = true;
        }
    }
    return p;
}

// The rectangles of a region are disjoint, banded and sorted.
void ExpectCanonical(const Region& region) {
    const auto rects = region.Rects();
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_FALSE(rects[i].IsEmpty());
        for (size_t j = i + 1; j < rects.size(); ++j) {
            EXPECT_TRUE(IntersectRect(rects[i], rects[j]).IsEmpty());
            const bool sameBand = rects[i].top == rects[j].top;
            EXPECT_TRUE(sameBand ? rects[i].right < rects[j].left : rects[i].bottom <= rects[j].top)
                << "rects " << i << " and " << j << " out of band order";
        }
    }
}

TEST(RegionTest, SetOperationsMatchPixelSetsAndStayCanonical) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(0, kGrid);
    auto randomRect = [&] {
        const int a = coord(rng), b = coord(rng), c = coord(rng), d = coord(rng);
        return Rect{std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)};
    };
    for (int trial = 0; trial < 300; ++trial) {
        Region region;
        Pixels expected{};
        for (int step = 0; step < 6; ++step) {
            const Rect r = randomRect();
            const int op = static_cast<int>(rng() % 3);
            for (int y = 0; y < kGrid; ++y) {
                for (int x = 0; x < kGrid; ++x) {
                    const bool in = r.Contains({x, y});
                    expected[y][x] = op == 0   ? (expected[y][x] || in)
                                     : op == 1 ? (expected[y][x] && !in)
                                               : (expected[y][x] && in);
                }
            }
            if (op == 0) region.Union(r);
            if (op == 1) region.Subtract(r);
            if (op == 2) region.Intersect(r);
            ASSERT_EQ(Rasterise(region), expected) << "trial " << trial << " step " << step;
            ExpectCanonical(region);
        }
    }
}

}  // namespace
}  // namespace kivoly::platform
