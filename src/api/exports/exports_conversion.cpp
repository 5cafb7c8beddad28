// Capture and conversion exports: one-line forwards to the Grabber.
#include "api/grabber.h"
#include "api/picture_conversion.h"
#include "kivoly/kivoly.h"

using kivoly::Grabber;

namespace {

kivoly::YuvImage* Picture(KivoYuvImage* yuv) {
    return reinterpret_cast<kivoly::YuvImage*>(yuv);
}

}  // namespace

extern "C" {

// The bytes of one converted line: three a pixel, not padded to four.
int32_t KivoGetLineSize(KivoGrabber* grabber) {
    // Computed wide: a host may have stored any width.
    return grabber ? static_cast<int32_t>(int64_t{Grabber::From(grabber)->processInfo.Width} * 3)
                   : 0;
}

int32_t KivoUseYUV(KivoGrabber* grabber, KivoYuvImage* yuv) {
    return grabber ? kivoly::UsePicture(*Grabber::From(grabber), Picture(yuv)) : 0;
}

KivoHGlobal KivoProcYUVToRGB(KivoGrabber* grabber, KivoYuvImage* yuv, KivoHGlobal dib) {
    return grabber ? kivoly::ConvertPicture(*Grabber::From(grabber), Picture(yuv), dib) : nullptr;
}

void KivoProcYUVToRGBLineSeg(KivoGrabber* grabber, uint8_t* line, int16_t row, int32_t, int32_t,
                             KivoYuvImage* yuv) {
    if (grabber) kivoly::ConvertPictureRow(*Grabber::From(grabber), line, row, Picture(yuv));
}

KivoHGlobal KivoScanAndProcess(KivoGrabber* grabber, KivoHGlobal dib) {
    return grabber ? kivoly::CaptureAndConvert(*Grabber::From(grabber), dib) : nullptr;
}
}
