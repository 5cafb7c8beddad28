// Pictures to bitmaps: the Grabber's side of the conversion exports. The Grabber holds the
// current picture (not owned) and the ProcessInfo in use; the conversion itself is the output
// layer's.
#pragma once

#include <cstdint>

#include "kivoly/kivoly.h"

namespace kivoly {

class Grabber;
class YuvImage;

// KivoProcYUVToRGB: converts `yuv` (null: the current picture) into `dib` when it is a 24-bit
// bitmap of the output size, else into a new bitmap. The bitmap's handle, or null when there
// is no picture or no bitmap could be had. An aborted conversion returns the partly filled
// bitmap.
KivoHGlobal ConvertPicture(Grabber& grabber, YuvImage* yuv, KivoHGlobal dib);

// KivoProcYUVToRGBLineSeg: converts output row `row` of `yuv` into `dst` (Width x 3 bytes) and
// makes it the current picture; nothing when `yuv` is null, the conversion cannot be prepared
// or the row is outside the picture.
void ConvertPictureRow(Grabber& grabber, uint8_t* dst, int row, YuvImage* yuv);

// KivoUseYUV: makes `yuv` the current picture, destroying a different one held before (when the
// library handed it out; every Grabber forgets it), and prepares its conversion; false when the
// conversion cannot run.
bool UsePicture(Grabber& grabber, YuvImage* yuv);

// KivoScanAndProcess: captures and decodes one picture, converts it into `dib` as
// ConvertPicture does and destroys the picture. Null when the capture failed; `dib` is then left
// to the caller.
KivoHGlobal CaptureAndConvert(Grabber& grabber, KivoHGlobal dib);

// KivoShowDib: shows the bitmap in the picture window until the user closes it, then shows the
// Grabber's main window if it is hidden. Returns the result of unlocking the bitmap (0 when it
// could not be locked).
int32_t ShowPicture(Grabber& grabber, KivoHGlobal dib);

}  // namespace kivoly
