// Runs a check once on every instruction set this processor and build offer, with the target's
// name for its messages, and returns to the best one afterwards.
#pragma once

#include <hwy/targets.h>

#include <cstdint>
#include <string>

namespace kivoly::test {

template <typename Check>
void OnEveryTarget(const Check& check) {
    for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        check(std::string(hwy::TargetName(target)));
    }
    hwy::SetSupportedTargetsForTest(0);
}

}  // namespace kivoly::test
