// DetectedPorts: the process-wide table of the ports on which this process has powered up a
// device that has not been powered down since (0 marks a free entry). When the library unloads,
// every device recorded here is powered down, so no device is left running by accident.
#pragma once

#include <array>
#include <cstdint>

#include "platform/process_state.h"

namespace kivoly {

const std::array<uint16_t, kDetectedPortSlots>& DetectedPorts();
// Clears every entry equal to `base`, then stores it in the first free entry (if there is one).
void RecordDetectedPort(uint16_t base);
// Clears every entry equal to `base`.
void ForgetDetectedPort(uint16_t base);
// The clean-up at unload: powers down the device on every recorded port, then empties the table.
void PowerDownDetectedPorts();

}  // namespace kivoly
