// Capture exports: one-line forwards to the Grabber. The pictures they hand out are remembered,
// so that the other exports can refuse any other pointer.
#include "api/exports/grabber_call.h"
#include "api/handed_out.h"
#include "kivoly/kivoly.h"

using kivoly::Grabber;
using kivoly::WithGrabber;

extern "C" {

KivoYuvImage* KivoScanAndMakeYUV(KivoGrabber* grabber) {
    return WithGrabber(grabber, static_cast<KivoYuvImage*>(nullptr),
                       [](Grabber& g) { return kivoly::HandOutPicture(g.Capture()); });
}

// The picture is the host's, not the Grabber's: it is freed whichever Grabber is named, as long
// as one is (a null Grabber does nothing, as it always did). Freeing twice does nothing.
void KivoFreeYUV(KivoGrabber* grabber, KivoYuvImage* image) {
    if (grabber) kivoly::DestroyPicture(kivoly::FindPicture(image));
}
}
