// Raw capture files made from pictures, as the digitizer would have captured a still camera
// showing them.
#include "capture/raw_capture_file.h"
#include "kivoly/tools.h"
#include "sim/capture_sequence.h"
#include "sim/colour_bars.h"
#include "sim/ntsc_encoder.h"
#include "sim/picture_file.h"

namespace kivoly::tools {

EncodeResult EncodeRawFile(const std::string& picturePath, int quality, const std::string& rawPath,
                           std::string& error) {
    sim::Picture picture;
    if (picturePath.empty()) {
        picture = sim::ColourBars();
    } else if (!sim::ReadPicture(picturePath, picture, error)) {
        return EncodeResult::PictureUnreadable;
    }
    const sim::NtscEncoder encoder(picture);
    RawCaptureFile file;
    bool written = file.Create(rawPath);
    for (const sim::CaptureRecord& record : sim::EncodeCaptureRecords(encoder, quality)) {
        written = written && file.AppendRecord(record.fieldFlags, record.samples);
    }
    if (!written || !file.Close()) {
        error = file.Error();
        return EncodeResult::FileFailed;
    }
    return EncodeResult::Written;
}

}  // namespace kivoly::tools
