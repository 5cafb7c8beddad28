// The bitmap a conversion fills: Width x Height at 24 bits, whatever ColorCount asks for (the
// rows are converted at 24 bits and would not fit a 1- or 4-bit bitmap).
#pragma once

#include "kivoly/kivoly.h"
#include "platform/global_memory.h"

namespace kivoly {

// A new unlocked bitmap, with the "Creating ..." notice shown while it is made when asked;
// null after telling the user when memory runs out.
platform::GlobalHandle CreateOutputBitmap(const KivoProcessInfo& processInfo, bool showNotice);

}  // namespace kivoly
