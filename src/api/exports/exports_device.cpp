// Device exports: the status and the live preview, one-line forwards to the Grabber. A null
// Grabber is refused without effect (0 or null where a result is due).
#include "api/grabber.h"
#include "capture/detected_ports.h"
#include "kivoly/kivoly.h"
#include "platform/global_memory.h"

using kivoly::Grabber;

namespace {
// When the library unloads, no device it powered up is left running.
struct UnloadCleanUp {
    ~UnloadCleanUp() { kivoly::PowerDownDetectedPorts(); }
} gUnloadCleanUp;
}  // namespace

extern "C" {

int32_t KivoGetStatus(KivoGrabber* grabber) {
    return grabber ? Grabber::From(grabber)->status : 0;
}

int32_t KivoSetStatus(KivoGrabber* grabber, int16_t status) {
    return grabber ? Grabber::From(grabber)->ChangeStatus(status) : 0;
}

int32_t KivoStartPreviewing(KivoGrabber* grabber) {
    return grabber ? Grabber::From(grabber)->StartPreviewing() : 0;
}

void KivoStopPreviewing(KivoGrabber* grabber) {
    if (grabber) Grabber::From(grabber)->StopPreviewing();
}

KivoBitmapInfoHeader* KivoGetPreviewDIB(KivoGrabber* grabber) {
    if (!grabber || !Grabber::From(grabber)->previewBitmap) return nullptr;
    KivoHGlobal bitmap = Grabber::From(grabber)->previewBitmap;
    auto* header = static_cast<KivoBitmapInfoHeader*>(kivoly::platform::GlobalLock(bitmap));
    kivoly::platform::GlobalUnlock(bitmap);  // it stays locked by its owner
    return header;
}

}  // extern "C"
