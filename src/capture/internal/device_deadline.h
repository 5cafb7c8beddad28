// Device timing: every wait of the device busy-waits on a millisecond deadline of the platform
// clock. A deadline for t seconds is now + 1,000 t + 2 ms, truncated; the 2 ms make up for the
// clock's granularity, so a wait never ends early.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace kivoly {

inline int32_t Deadline(double seconds) {
    return platform::NowMs() + static_cast<int32_t>(1000.0 * seconds + 2.0);
}

// True once the clock is past `deadline` (the difference keeps this right across a wrap).
inline bool IsPast(int32_t deadline) {
    return platform::NowMs() - deadline > 0;
}

inline int32_t LaterOf(int32_t a, int32_t b) {
    return a - b > 0 ? a : b;
}

inline void WaitUntil(int32_t deadline) {
    while (!IsPast(deadline)) {
    }
}

}  // namespace kivoly
