// The source picture where the RGB conversion puts it, the reference that the end-to-end roads
// are measured against: output column x covers picture columns [x w / W, (x + 1) w / W) of the
// encoder's 736-column picture (a box average); output row r lies at frame row r x 479 / (H - 1),
// linearly between its neighbours, whether the capture holds one field or two.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/picture.h"

namespace kivoly::test {

// R, G, B of `width` x `height` pixels, top row first.
std::vector<uint8_t> SourceOnGrid(const sim::Picture& picture, int width, int height);

}  // namespace kivoly::test
