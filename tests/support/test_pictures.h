// The pictures the tests encode and decode: the photograph in tests/data (natural.png, 640 x 480,
// see tests/data/README.md) and the built-in colour bars.
#pragma once

#include <string>

#include "sim/picture.h"

namespace kivoly::test {

// Path of a file in tests/data ($KIVOLY_TEST_DATA, set by CTest, else the source tree's).
std::string TestDataPath(const std::string& name);

// The photograph; fails the calling test (and returns an empty picture) when it cannot be read.
sim::Picture NaturalPicture();

// 75 % colour bars, 640 x 480.
sim::Picture BarsPicture();

}  // namespace kivoly::test
