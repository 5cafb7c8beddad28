// Pictures held against their goldens: pictures the code made in a run that a person looked at
// and found right, kept in tests/data/golden as a PNG when small, else as the checksum of the
// pixels (NAME.sum: width, height, 64-bit FNV-1a of the RGB bytes). On a mismatch the test fails
// naming the golden, and the picture it got is written to golden-actual/NAME.png in the working
// folder (with NAME-diff.png marking the differing pixels when the golden is a PNG) for a person
// to look at. With KIVOLY_UPDATE_GOLDEN=1 the goldens are written again instead, and every
// picture to golden-actual, to be looked at before they are committed.
#pragma once

#include <string>

#include "kivoly/kivoly.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"
#include "sim/picture.h"

namespace kivoly::test {

void ExpectGolden(const std::string& name, const sim::Picture& picture);
void ExpectGolden(const std::string& name, const platform::Surface& surface);

// What the screen shows of `area` of a window's client area (all of it when `area` is empty).
sim::Picture ClientPicture(KivoHWnd window, platform::Rect area = {});

}  // namespace kivoly::test
