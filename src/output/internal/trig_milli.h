// Integer cosine and sine for the hue rotation: the angle is in thousandths of a degree and the
// result is the function times 10000, interpolated linearly in a table of whole degrees.
#pragma once

#include <cstdint>

namespace kivoly {

int32_t CosMilli(int32_t angle);
int32_t SinMilli(int32_t angle);

}  // namespace kivoly
