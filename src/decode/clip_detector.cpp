#include "decode/internal/clip_detector.h"

#include <cstring>

#include "capture/video_source.h"

namespace kivoly {

bool LineClips(VideoSource& source, const uint8_t* samples, int count) {
    if (source.Clipping()) return true;
    if (std::memchr(samples, 255, count) == nullptr) return false;
    // Five small counters (overall and per subcarrier phase): a saturated sample counts up, any
    // other counts down; four net saturated samples reach the absorbing state 5.
    static constexpr uint8_t kNext[10] = {0, 0, 1, 2, 3, 5, 5, 5, 2, 0};
    uint8_t overall = 0;
    uint8_t phase[4] = {};
    for (int i = 0; i < count; ++i) {
        const int step = samples[i] > 254 ? 2 : 0;
        overall = kNext[overall + step];
        uint8_t& p = phase[i & 3];
        p = kNext[p + step];
    }
    if (overall == 5 || phase[0] == 5 || phase[1] == 5 || phase[2] == 5 || phase[3] == 5) {
        source.SetClipping(true);
    }
    return source.Clipping();
}

}  // namespace kivoly
