// What each of the 23 members of the skin is made from. A member is either a whole source, a
// rectangle cut from a source drawn with other variables (so that a pressed button carries
// exactly the panel's pixels around it), or a strip of frames, each a frame template drawn with
// the frame's value.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "svg_template.h"

namespace skin {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct MemberRecipe {
    const char* purpose;  // for messages and the preview files
    const char* source;   // an SVG file of the skin folder
    Variables variables;  // on top of the source's defaults
    Rect cut;             // the member's rectangle in the drawn source
    int frames = 1;       // > 1: a strip of frames of cut's size, stacked top to bottom
    std::function<Variables(int frame)> frameVariables;
};

// The members in archive order.
std::vector<MemberRecipe> SkinRecipe();

// The variables a source is drawn with when a member does not say otherwise.
Variables SourceDefaults(const std::string& source);

}  // namespace skin
