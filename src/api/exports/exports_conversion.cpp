// Capture and conversion exports: one-line forwards to the Grabber. A picture must be one the
// library handed out and the host has not freed; any other non-null pointer is refused.
#include "api/exports/grabber_call.h"
#include "api/handed_out.h"
#include "api/picture_conversion.h"
#include "kivoly/kivoly.h"

using kivoly::Grabber;
using kivoly::WithGrabber;

extern "C" {

// The bytes of one converted line: three a pixel, not padded to four.
int32_t KivoGetLineSize(KivoGrabber* grabber) {
    // Computed wide: a host may have stored any width.
    return WithGrabber(grabber, 0, [](Grabber& g) {
        return static_cast<int32_t>(int64_t{g.ProcessInfo().Width} * 3);
    });
}

int32_t KivoUseYUV(KivoGrabber* grabber, KivoYuvImage* yuv) {
    kivoly::YuvImage* picture = kivoly::FindPicture(yuv);
    if (yuv && !picture) return 0;
    return WithGrabber(grabber, 0,
                       [&](Grabber& g) { return kivoly::UsePicture(g, picture) ? 1 : 0; });
}

KivoHGlobal KivoProcYUVToRGB(KivoGrabber* grabber, KivoYuvImage* yuv, KivoHGlobal dib) {
    kivoly::YuvImage* picture = kivoly::FindPicture(yuv);
    if (yuv && !picture) return nullptr;
    return WithGrabber(grabber, KivoHGlobal{},
                       [&](Grabber& g) { return kivoly::ConvertPicture(g, picture, dib); });
}

void KivoProcYUVToRGBLineSeg(KivoGrabber* grabber, uint8_t* line, int16_t row, int32_t, int32_t,
                             KivoYuvImage* yuv) {
    kivoly::YuvImage* picture = kivoly::FindPicture(yuv);
    WithGrabber(grabber, [&](Grabber& g) { kivoly::ConvertPictureRow(g, line, row, picture); });
}

KivoHGlobal KivoScanAndProcess(KivoGrabber* grabber, KivoHGlobal dib) {
    return WithGrabber(grabber, KivoHGlobal{},
                       [&](Grabber& g) { return kivoly::CaptureAndConvert(g, dib); });
}
}
