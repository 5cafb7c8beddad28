// The port-selection dialog (resource dialog 101): the device was not found on the expected
// port, and the user picks another or cancels.
#pragma once

#include <cstdint>

namespace kivoly {

// Shows the dialog modally without an owner. A port button stores 1, 2 or 3 in `*port` and
// gives 1; Cancel gives 0 and leaves `*port` alone; -1 when the dialog cannot be shown.
intptr_t AskForPort(int32_t* port);

}  // namespace kivoly
