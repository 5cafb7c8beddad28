// Device exports: the status and the live preview, one-line forwards to the Grabber. A null,
// unknown or freed Grabber is refused without effect (0 or null where a result is due).
#include "api/exports/grabber_call.h"
#include "capture/detected_ports.h"
#include "kivoly/kivoly.h"
#include "platform/global_memory.h"

using kivoly::Grabber;
using kivoly::WithGrabber;

namespace {
// When the library unloads, no device it powered up is left running.
struct UnloadCleanUp {
    ~UnloadCleanUp() { kivoly::PowerDownDetectedPorts(); }
} gUnloadCleanUp;
}  // namespace

extern "C" {

int32_t KivoGetStatus(KivoGrabber* grabber) {
    return WithGrabber(grabber, 0, [](Grabber& g) { return g.Status(); });
}

int32_t KivoSetStatus(KivoGrabber* grabber, int16_t status) {
    return WithGrabber(grabber, 0, [&](Grabber& g) { return g.ChangeStatus(status) ? 1 : 0; });
}

int32_t KivoStartPreviewing(KivoGrabber* grabber) {
    return WithGrabber(grabber, 0, [](Grabber& g) { return g.StartPreviewing() ? 1 : 0; });
}

void KivoStopPreviewing(KivoGrabber* grabber) {
    WithGrabber(grabber, [](Grabber& g) { g.StopPreviewing(); });
}

KivoBitmapInfoHeader* KivoGetPreviewDIB(KivoGrabber* grabber) {
    return WithGrabber(grabber, static_cast<KivoBitmapInfoHeader*>(nullptr),
                       [](Grabber& g) -> KivoBitmapInfoHeader* {
                           if (!g.PreviewBitmap()) return nullptr;
                           auto* header = static_cast<KivoBitmapInfoHeader*>(
                               kivoly::platform::GlobalLock(g.PreviewBitmap()));
                           kivoly::platform::GlobalUnlock(g.PreviewBitmap());  // kept locked
                           return header;
                       });
}

}  // extern "C"
