// Bitmap and palette exports: one-line forwards to the output layer and the Grabber.
#include <cstddef>

#include "api/exports/grabber_call.h"
#include "api/picture_conversion.h"
#include "kivoly/kivoly.h"
#include "output/dib_file.h"
#include "output/display_palette.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"

using kivoly::Grabber;
using kivoly::WithGrabber;

namespace {

// A bitmap crosses the interface as the bytes the library wrote: the host's header record must
// lie over the platform's field by field.
using kivoly::platform::BitmapInfoHeader;
#define KIVOLY_SAME_FIELD(field)                                                                \
    static_assert(offsetof(KivoBitmapInfoHeader, field) == offsetof(BitmapInfoHeader, field) && \
                  sizeof(KivoBitmapInfoHeader::field) == sizeof(BitmapInfoHeader::field))
KIVOLY_SAME_FIELD(biSize);
KIVOLY_SAME_FIELD(biWidth);
KIVOLY_SAME_FIELD(biHeight);
KIVOLY_SAME_FIELD(biPlanes);
KIVOLY_SAME_FIELD(biBitCount);
KIVOLY_SAME_FIELD(biCompression);
KIVOLY_SAME_FIELD(biSizeImage);
KIVOLY_SAME_FIELD(biXPelsPerMeter);
KIVOLY_SAME_FIELD(biYPelsPerMeter);
KIVOLY_SAME_FIELD(biClrUsed);
KIVOLY_SAME_FIELD(biClrImportant);
#undef KIVOLY_SAME_FIELD
static_assert(sizeof(KivoBitmapInfoHeader) == sizeof(BitmapInfoHeader));

}  // namespace

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
