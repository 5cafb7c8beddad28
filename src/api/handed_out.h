// What the library has handed out through its exports: the Grabbers (KivoAlloc) and the
// pictures (KivoScanAndMakeYUV). The exports look every handle up here, so a handle that was
// never handed out, or was freed already, is refused instead of trusted; and a picture is
// destroyed only here, which clears every Grabber's reference to it first.
#pragma once

#include "kivoly/kivoly.h"

namespace kivoly {

class Grabber;
class YuvImage;

// Every Grabber is known from its construction to its destruction.
void RememberGrabber(Grabber* grabber);
void ForgetGrabber(Grabber* grabber);
// The Grabber behind `handle` while it exists and its host has not freed it, or null.
Grabber* FindGrabber(KivoGrabber* handle);

// Hands `picture` out (owned by the caller from now on); null stays null.
KivoYuvImage* HandOutPicture(YuvImage* picture);
// The live picture behind `handle`, or null.
YuvImage* FindPicture(KivoYuvImage* handle);
// Destroys a picture handed out, after clearing it as the current picture of every Grabber;
// false (and nothing done) for any other pointer.
bool DestroyPicture(YuvImage* picture);

}  // namespace kivoly
