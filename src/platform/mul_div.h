// MulDiv: a * b / c through a 64-bit product, rounded to the nearest integer (halves away from
// zero); -1 when c is 0 or the result does not fit in 32 bits, as the system's call answers.
#pragma once

#include <cstdint>
#include <limits>

namespace kivoly::platform {

constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
    bool negative = (product < 0) != (c < 0);
    int64_t magnitude = (product < 0 ? -product : product) + half;
    int64_t quotient = magnitude / (c < 0 ? -static_cast<int64_t>(c) : c);
    int64_t result = negative ? -quotient : quotient;
    if (result > std::numeric_limits<int32_t>::max() ||
        result < std::numeric_limits<int32_t>::min()) {
        return -1;
    }
    return static_cast<int32_t>(result);
}

}  // namespace kivoly::platform
