// Bitmap and palette exports: one-line forwards to the output layer and the Grabber.
#include "api/grabber.h"
#include "api/picture_conversion.h"
#include "kivoly/kivoly.h"
#include "output/dib_file.h"
#include "output/display_palette.h"
#include "platform/global_memory.h"

using kivoly::Grabber;

extern "C" {

int32_t KivoWriteDibFile(KivoGrabber* /*grabber*/, KivoHGlobal dib, const char* fileName) {
    return kivoly::WriteDibHandle(dib, fileName);
}

int32_t KivoShowDib(KivoGrabber* grabber, KivoHGlobal dib) {
    return grabber ? kivoly::ShowPicture(*Grabber::From(grabber), dib) : 0;
}

KivoHGlobal KivoFreeDib(KivoHGlobal dib) {
    return kivoly::platform::GlobalFree(dib);
}

KivoHPalette KivoGetDefaultPalette(void) {
    return kivoly::DefaultPalette();
}
}
