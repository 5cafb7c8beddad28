#include "decode/half_sample_rows.h"

#include "decode/internal/half_sample_kernel.h"

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
    uint8_t* out = rows_[victim].data();
    kernels::HalfSampleRow(line, out);
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
