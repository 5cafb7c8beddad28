// A Grabber made through the exports as a capturing test needs it: no progress window and no
// picture window while processing, colour from a camera at `quality`, converting to `width` x
// three quarters of it. Free it with KivoFree.
#pragma once

#include "kivoly/kivoly.h"

namespace kivoly::test {

inline KivoGrabber* QuietGrabber(int quality = 0, int width = 640) {
    KivoGrabber* grabber = KivoAlloc();
    KivoSetShowProgress(grabber, 0);
    KivoGrabInfo grab;
    KivoGetGrabInfo(grabber, &grab);
    grab.Quality = quality;
    grab.UseColor = 1;
    grab.CameraInput = 1;
    KivoSetGrabInfo(grabber, &grab);
    KivoProcessInfo process;
    KivoGetProcessInfo(grabber, &process);
    process.Width = width;
    process.Height = width * 3 / 4;
    process.ShowWhileProcessing = 0;
    KivoSetProcessInfo(grabber, &process);
    return grabber;
}

}  // namespace kivoly::test
