#include "support/encoded_capture.h"

#include <gtest/gtest.h>

#include <fstream>

#include "capture/raw_capture_file.h"
#include "sim/ntsc_encoder.h"

namespace kivoly::test {

EncodedCapture EncodeForQuality(const sim::Picture& picture, int quality) {
    const sim::NtscEncoder encoder(picture);
    EncodedCapture capture;
    for (const sim::CaptureRecord& record : sim::EncodeCaptureRecords(encoder, quality)) {
        AppendRawRecord(capture.nsr, record.fieldFlags, record.samples);
    }
    capture.ideal = sim::IdealDecodeFor(encoder, quality);
    return capture;
}

EncodedCapture EncodeForQualityToFile(const sim::Picture& picture, int quality,
                                      const std::string& path) {
    EncodedCapture capture = EncodeForQuality(picture, quality);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(capture.nsr.data()),
               static_cast<std::streamsize>(capture.nsr.size()));
    EXPECT_TRUE(file.good()) << "cannot write " << path;
    return capture;
}

}  // namespace kivoly::test
