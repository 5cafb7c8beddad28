// Built-in test picture: 75 % colour bars in the studio arrangement. The upper two thirds hold
// the seven bars (grey, yellow, cyan, green, magenta, red, blue at 75 % amplitude), a narrow strip
// the reversed bars (blue, black, magenta, black, cyan, black, grey), and the bottom quarter the
// -I and +Q signals, full white, black and a black-level step (black, 4 % grey, black).
#pragma once

#include "sim/picture.h"

namespace kivoly::sim {

Picture ColourBars(int width = 640, int height = 480);

}  // namespace kivoly::sim
