// Relations between two burst vectors, each a unit vector (a, b) of a line's colour burst.
//
// At four samples per subcarrier cycle a line start moved by one sample turns the burst by a
// quarter cycle, and the same line one frame later (or the next line) carries the inverse burst.
// Two vectors are compared by the sum of the absolute differences of their components against
// 0.75, which separates the four quarter-cycle positions with a wide margin.
#pragma once

#include <cmath>

namespace kivoly {

inline constexpr double kBurstTolerance = 0.75;

// (a, b) equals the reference (A, B).
inline bool BurstMatches(double a, double b, double A, double B) {
    return std::fabs(a - A) + std::fabs(b - B) <= kBurstTolerance;
}

// (a, b) is the inverse of the reference.
inline bool BurstIsInverse(double a, double b, double A, double B) {
    return std::fabs(a + A) + std::fabs(b + B) <= kBurstTolerance;
}

// (a, b) = (-B, A): the inverse reference turned a quarter cycle back; a line start one sample
// later brings it onto the inverse.
inline bool BurstQuarterBehind(double a, double b, double A, double B) {
    return std::fabs(a + B) + std::fabs(A - b) < kBurstTolerance;
}

// (a, b) = (B, -A): a quarter cycle the other way; a line start one sample earlier fixes it.
inline bool BurstQuarterAhead(double a, double b, double A, double B) {
    return std::fabs(a - B) + std::fabs(b + A) < kBurstTolerance;
}

}  // namespace kivoly
