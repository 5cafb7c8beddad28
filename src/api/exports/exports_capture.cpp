// Capture exports: one-line forwards to the Grabber.
#include "api/grabber.h"
#include "decode/yuv_image.h"
#include "kivoly/kivoly.h"

using kivoly::Grabber;
using kivoly::YuvImage;

extern "C" {

KivoYuvImage* KivoScanAndMakeYUV(KivoGrabber* grabber) {
    return grabber ? reinterpret_cast<KivoYuvImage*>(Grabber::From(grabber)->Capture()) : nullptr;
}

void KivoFreeYUV(KivoGrabber* grabber, KivoYuvImage* image) {
    if (grabber && image) Grabber::From(grabber)->FreeYuv(reinterpret_cast<YuvImage*>(image));
}
}
