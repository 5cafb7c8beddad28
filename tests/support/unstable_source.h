// A hardware source over the records of a raw capture file whose signal loses its lock after the
// first frame: every field after the second comes without sync, as from a tape or a camera whose
// signal fails. The decoder's retries and their limit are tested against it.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "capture/memory_raw_source.h"

namespace kivoly::test {

struct UnstableSource : MemoryRawSource {
    explicit UnstableSource(std::vector<uint8_t> file) : MemoryRawSource(std::move(file), true) {}
    bool AcquireField() override {
        const bool ok = MemoryRawSource::AcquireField();
        if (acquisitions > 2) SetFieldFlags(NoSync | StatusPE);
        return ok;
    }
};

}  // namespace kivoly::test
