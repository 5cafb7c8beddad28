#include "decode/half_sample_rows.h"

#include "decode/cubic_table.h"

namespace kivoly {

const uint8_t* HalfSampleRows::Of(const uint8_t* line) {
    ++clock_;
    int victim = 0;
    for (int i = 0; i < kSlots; ++i) {
        if (keys_[i] == line) {
            lastUse_[i] = clock_;
            return rows_[i].data();
        }
        if (lastUse_[i] < lastUse_[victim]) victim = i;
    }
    const CubicTable& half = CubicTableFor(0.5);
    const uint8_t* x = line;
    uint8_t* out = rows_[victim].data();
    constexpr int kLast = kSampleWidth - 1;
    out[0] = CubicSample(half, 64, x[0], x[1], x[2]);
    for (int j = 1; j < kSampleWidth - 2; ++j)
        out[j] = CubicSample(half, x[j - 1], x[j], x[j + 1], x[j + 2]);
    out[kLast - 1] = CubicSample(half, x[kLast - 2], x[kLast - 1], x[kLast], x[kLast]);
    out[kLast] = CubicSample(half, x[kLast - 1], x[kLast], x[kLast], x[kLast]);
    keys_[victim] = line;
    lastUse_[victim] = clock_;
    return out;
}

void HalfSampleRows::Clear() {
    keys_.fill(nullptr);
    lastUse_.fill(0);
    clock_ = 0;
}

}  // namespace kivoly
