#include "output/internal/trig_milli.h"

#include <array>
#include <cmath>

namespace kivoly {

namespace {

// 10000 x cos(k degrees), rounded, k = 0..90.
const std::array<int32_t, 91>& CosineTable() {
    static const std::array<int32_t, 91> table = [] {
        std::array<int32_t, 91> built{};
        for (int k = 0; k <= 90; ++k) {
            built[k] = static_cast<int32_t>(std::lround(10000.0 * std::cos(k * M_PI / 180.0)));
        }
        return built;
    }();
    return table;
}

// Folds the angle into the first quadrant; `quadrant` tells which one it came from.
int32_t FoldAngle(int64_t angle, int& quadrant) {
    // The host's hue is not range-checked: fold whole turns arithmetically, not by looping.
    angle %= 360000;
    if (angle < 0) angle += 360000;
    quadrant = 0;
    while (angle > 90000) {
        angle -= 90000;
        ++quadrant;
    }
    if (quadrant & 1) angle = 90000 - angle;
    return static_cast<int32_t>(angle);
}

}  // namespace

int32_t CosMilli(int32_t angle) {
    const auto& table = CosineTable();
    int quadrant = 0;
    const int32_t a = FoldAngle(angle, quadrant);
    const int idx = a / 1000;
    const int frac = a % 1000;
    int32_t v = table[idx];
    if (frac != 0) v -= ((table[idx] - table[idx + 1]) * frac + 500) / 1000;
    return (quadrant == 1 || quadrant == 2) ? -v : v;
}

int32_t SinMilli(int32_t angle) {
    const auto& table = CosineTable();
    int quadrant = 0;
    const int32_t a = FoldAngle(angle, quadrant);
    const int idx = a / 1000;
    const int frac = a % 1000;
    const int j = 90 - idx;
    int32_t v = table[j];
    if (frac != 0) v += ((table[j - 1] - table[j]) * frac + 500) / 1000;
    return (quadrant == 2 || quadrant == 3) ? -v : v;
}

}  // namespace kivoly
