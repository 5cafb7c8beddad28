// The port back end a host stands behind the library: its choice through kivoly/host.h, or, when
// it makes none, the one $KIVOLY_DEVICE names, else the real port (ppdev:/dev/parport0).
#pragma once

namespace kivoly {

// Applies $KIVOLY_DEVICE (or the real port) once, unless the host has chosen already or
// installed a back end of its own. A text
// that names no back end, or a simulation whose picture cannot be read, leaves nothing behind
// the port rather than a device the user did not ask for.
void EnsureDeviceChosen();

}  // namespace kivoly
