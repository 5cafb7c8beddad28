// One capture for the backend: installs the device's port back end (or the simulated digitizer)
// for its length, keeps the library silent (its message boxes are answered at once and their
// texts kept for the log; no progress is shown) and turns the library's bitmap into the lines a
// SANE front end reads.
//
// The library is single-threaded and its services are process-wide, so every call into it holds
// LibraryMutex(). A cancel request may come from any thread, or from a signal handler: it is only
// an atomic flag, which the library's own progress feedback polls on the capturing thread.
#pragma once

#include <sane/sane.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "kivoly/kivoly.h"
#include "sane/device_config.h"

namespace kivoly::sane {

std::mutex& LibraryMutex();

struct CapturedPicture {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 3;      // 3: R, G, B; 1: grey
    std::vector<uint8_t> rows;  // top row first, no padding
};

// Captures one picture with the Grabber's records; GOOD with `picture` filled, CANCELLED when
// `cancel` was set, IO_ERROR or NO_MEM (with the library's texts logged) when it failed. The
// caller holds LibraryMutex().
SANE_Status CapturePicture(KivoGrabber* grabber, const DeviceEntry& device,
                           const std::atomic<bool>& cancel, bool grey, CapturedPicture& picture);

}  // namespace kivoly::sane
