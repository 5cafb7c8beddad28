// The calls of kivoly/host.h that the platform and framework layers define. Nothing inside the
// library calls them, so a static link would leave them out of the shared library; naming them
// here keeps them in, and the symbol test fails when a call is declared but not listed.
#include "kivoly/host.h"

namespace {

[[maybe_unused]] __attribute__((used)) const void* const kHostCalls[] = {
    reinterpret_cast<const void*>(&KivolyHostSetSettingsFolder),
    reinterpret_cast<const void*>(&KivolyHostSetKeyDown),
    reinterpret_cast<const void*>(&KivolyHostReleaseAllKeys),
    reinterpret_cast<const void*>(&KivolyHostSetMessageBoxResponder),
    reinterpret_cast<const void*>(&KivolyHostSetSaveFileResponder),
    reinterpret_cast<const void*>(&KivolyHostSetSoundBackend),
    reinterpret_cast<const void*>(&KivolyHostSetClock),
    reinterpret_cast<const void*>(&KivolyHostNowMs),
    reinterpret_cast<const void*>(&KivolyHostUseHeadlessDisplay),
    reinterpret_cast<const void*>(&KivolyHostGetMessage),
    reinterpret_cast<const void*>(&KivolyHostPeekMessage),
    reinterpret_cast<const void*>(&KivolyHostTranslateMessage),
    reinterpret_cast<const void*>(&KivolyHostDispatchMessage),
    reinterpret_cast<const void*>(&KivolyHostPostQuitMessage),
    reinterpret_cast<const void*>(&KivolyHostInjectMouseButton),
    reinterpret_cast<const void*>(&KivolyHostInjectKey),
    reinterpret_cast<const void*>(&KivolyHostSaveScreen),
    reinterpret_cast<const void*>(&KivolyHostSetProgressObserver),
    reinterpret_cast<const void*>(&KivolyHostLockBitmap),
    reinterpret_cast<const void*>(&KivolyHostUnlockBitmap),
    reinterpret_cast<const void*>(&KivolyHostBitmapSize),
};

}  // namespace
