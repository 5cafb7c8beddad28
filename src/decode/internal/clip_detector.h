// The saturation detector: a digitizer driven too hard clips samples at 255. Once a line shows
// it, the source's clip flag is set and the decoders estimate clipped samples from their
// neighbours.
#pragma once

#include <cstdint>

namespace kivoly {

class VideoSource;

// True when the source's clip flag is set, or `samples` clip: four more saturated samples than
// others in a run, overall or at one subcarrier phase (which then sets the flag).
bool LineClips(VideoSource& source, const uint8_t* samples, int count);

}  // namespace kivoly
