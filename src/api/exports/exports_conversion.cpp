// Capture and conversion exports: one-line forwards to the Grabber.
#include "api/grabber.h"
#include "kivoly/kivoly.h"

using kivoly::Grabber;

extern "C" {

// The bytes of one converted line: three a pixel, not padded to four.
int32_t KivoGetLineSize(KivoGrabber* grabber) {
    // Computed wide: a host may have stored any width.
    return grabber ? static_cast<int32_t>(int64_t{Grabber::From(grabber)->processInfo.Width} * 3)
                   : 0;
}
}
