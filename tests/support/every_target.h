// Runs a check once on every instruction set this processor and build offer, with the target's
// name for its messages, and returns to the best one afterwards.
#pragma once

#include <hwy/targets.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kivoly::test {

template <typename Check>
void OnEveryTarget(const Check& check) {
    for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        check(std::string(hwy::TargetName(target)));
    }
    hwy::SetSupportedTargetsForTest(0);
}

// A luma line and a chroma line of `length` samples for round `round` of a kernel check: random,
// with runs of the extremes every fourth round (luma) and the round after (chroma).
struct TestLines {
    std::vector<uint8_t> luma;
    std::vector<int8_t> chroma;
};

inline TestLines RandomLines(int length, int round, std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    TestLines lines{std::vector<uint8_t>(length), std::vector<int8_t>(length)};
    for (int i = 0; i < length; ++i) {
        const int value = round % 4 == 0 ? (i / 5 % 2) * 255 : byte(random);
        lines.luma[i] = static_cast<uint8_t>(value);
        lines.chroma[i] =
            static_cast<int8_t>(round % 4 == 1 ? (i % 3 ? -128 : 127) : byte(random) - 128);
    }
    return lines;
}

}  // namespace kivoly::test
