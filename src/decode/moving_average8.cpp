#include "decode/internal/level_recorder.h"

namespace kivoly {

void MovingAverage8::Reset(int16_t value, int n) {
    *this = MovingAverage8();
    if (n < 0) n = 8;
    for (int i = 0; i < n; ++i)
        Push(value);
}

void MovingAverage8::Push(int16_t value) {
    if (count < 8) {
        ++count;
    } else {
        sum = static_cast<int16_t>(sum - history[index]);
    }
    sum = static_cast<int16_t>(sum + value);
    history[index] = value;
    index = static_cast<int16_t>((index + 1) % 8);
}

int16_t MovingAverage8::Average() const {
    if (count == 0) return 0;
    return static_cast<int16_t>((sum + count / 2) / count);
}

}  // namespace kivoly
