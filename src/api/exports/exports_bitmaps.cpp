// Bitmap and palette exports: one-line forwards to the output layer and the Grabber.
#include "api/exports/grabber_call.h"
#include "api/picture_conversion.h"
#include "kivoly/kivoly.h"
#include "output/dib_file.h"
#include "output/display_palette.h"
#include "platform/global_memory.h"

using kivoly::Grabber;
using kivoly::WithGrabber;

extern "C" {

int32_t KivoWriteDibFile(KivoGrabber* /*grabber*/, KivoHGlobal dib, const char* fileName) {
    return kivoly::WriteDibHandle(dib, fileName);
}

int32_t KivoShowDib(KivoGrabber* grabber, KivoHGlobal dib) {
    return WithGrabber(grabber, 0, [&](Grabber& g) { return kivoly::ShowPicture(g, dib); });
}

KivoHGlobal KivoFreeDib(KivoHGlobal dib) {
    return kivoly::platform::GlobalFree(dib);
}

KivoHPalette KivoGetDefaultPalette(void) {
    return kivoly::DefaultPalette();
}
}
