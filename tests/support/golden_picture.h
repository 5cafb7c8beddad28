// Compares what a surface shows with a golden picture in tests/data/golden, pixel for pixel.
// A mismatch saves what was drawn as drawn-<name> in the system's temporary folder, to look at.
// With KIVOLY_UPDATE_GOLDEN set the picture is written instead (look at it before committing).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "kivoly/kivoly.h"
#include "platform/gdi/surface.h"

namespace kivoly::test {

::testing::AssertionResult MatchesGolden(const platform::Surface& surface, const std::string& name);
// The part of the screen that `window` covers, frame included.
::testing::AssertionResult MatchesGolden(KivoHWnd window, const std::string& name);

}  // namespace kivoly::test
