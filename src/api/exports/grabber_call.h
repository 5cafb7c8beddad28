// How every export reaches its Grabber: the handle is looked up among the Grabbers the library
// handed out (a null, unknown or freed one is refused with `refused`), and the Grabber is held in
// use while the export works, so that a KivoFree reached meanwhile waits for it to return.
#pragma once

#include <utility>

#include "api/grabber.h"

namespace kivoly {

template <typename Result, typename Work>
Result WithGrabber(KivoGrabber* handle, Result refused, Work&& work) {
    Grabber* grabber = Grabber::From(handle);
    if (grabber == nullptr) return refused;
    Grabber::InUse inUse(*grabber);
    return std::forward<Work>(work)(*grabber);
}

template <typename Work>
void WithGrabber(KivoGrabber* handle, Work&& work) {
    Grabber* grabber = Grabber::From(handle);
    if (grabber == nullptr) return;
    Grabber::InUse inUse(*grabber);
    std::forward<Work>(work)(*grabber);
}

}  // namespace kivoly
