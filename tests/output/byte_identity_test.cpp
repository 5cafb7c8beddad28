// Every byte the decoder and the conversion give out, held against checksums recorded from a
// build known to be right: the decoded pictures (both line tables, the levels), the raw dumps
// written while decoding and the bitmaps at every size with several adjustment sets. A faster
// path that changes any byte fails here, with the name of what changed.
//
// The inputs, the photograph and the colour bars encoded here, are held too (the `/input` rows), so
// that a change of the encoder is told apart from one of the decoder.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "bitmap_bytes.h"
#include "capture/memory_raw_source.h"
#include "decode/yuv_image.h"
#include "output/packed_dib.h"
#include "output/rgb_conversion.h"
#include "support/encoded_capture.h"
#include "support/golden_picture.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

// The recorded checksums, one "key value" a line. Quality 0 and 1 were recorded again when their
// framing was aligned with the two-field pictures.
const std::string kRecorded = std::string(KIVOLY_SOURCE_TEST_DATA) + "/byte_identity.txt";

struct DecodeCase {
    const char* name;
    bool natural;
    int quality;
    int useColor;
    int negative;
};

constexpr DecodeCase kDecodes[] = {
    {"natural", true, 0, 1, 0},      {"natural", true, 1, 1, 0},
    {"natural", true, 2, 1, 0},      {"natural", true, 3, 1, 0},
    {"natural-grey", true, 0, 0, 0}, {"natural-grey", true, 2, 0, 0},
    {"natural-neg", true, 0, 1, 1},  {"natural-neg", true, 1, 1, 1},
    {"natural-neg", true, 2, 1, 1},  {"natural-neg", true, 3, 1, 1},
    {"bars", false, 0, 1, 0},        {"bars", false, 1, 1, 0},
    {"bars", false, 2, 1, 0},        {"bars", false, 3, 1, 0},
};

struct Adjustments {
    const char* name;
    KivoProcessInfo info;  // Width, Height and ColorCount are set per size
};

// Hue, Color, Brightness, Contrast, Sharpness, Gamma, Width, Height, ColorCount, Red, Green,
// Blue, ShowWhileProcessing.
const Adjustments kAdjustments[] = {
    {"plain", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"sharp", {0, 0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"soft", {0, 0, 0, 0, -30, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"mixed", {12, -20, 9, 15, 10, -15, 0, 0, 0, 10, -5, 20, 0}},
    {"extreme", {50, 50, -20, -17, 50, 50, 0, 0, 0, -50, 50, 0, 0}},
};

constexpr int kWidths[] = {640, 320, 1500};  // the heights are three quarters

const std::vector<uint8_t>& Capture(bool natural, int quality) {
    static std::map<std::pair<bool, int>, std::vector<uint8_t>> captures;
    auto& nsr = captures[{natural, quality}];
    if (nsr.empty()) {
        const sim::Picture picture = natural ? test::NaturalPicture() : test::BarsPicture();
        nsr = test::EncodeForQuality(picture, quality).nsr;
    }
    return nsr;
}

std::string PictureChecksum(const YuvImage& image) {
    test::Checksum sum;
    for (const LineTable* table : {&image.lineTable, &image.lineTable2}) {
        for (int l = 0; table->entries != nullptr && l < image.lineCount; ++l)
            sum.Add(table->Line(l), kWorkLineBytes);
    }
    for (int v : {int(image.whiteLevel), int(image.blackLevel), int(image.medianLevel),
                  int(image.passesDone)}) {
        sum.Add(v);
    }
    return sum.Hex();
}

std::string BitmapChecksum(YuvImage& image, KivoProcessInfo info, int width, bool quick) {
    info.Width = width;
    info.Height = width * 3 / 4;
    info.ColorCount = 16777216;
    if (!PrepareConversion(image, info)) return "not prepared";
    std::vector<uint8_t> row(3 * width);
    test::Checksum sum;
    for (int r = 0; r < info.Height; ++r) {
        ConvertRow(image, row.data(), r, quick);
        sum.Add(row.data(), row.size());
    }
    return sum.Hex();
}

TEST(ByteIdentity, DecodesDumpsAndBitmapsKeepEveryByte) {
    std::map<std::string, std::string> actual;
    const std::string dump = testing::TempDir() + "byte_identity.nsr";
    for (const DecodeCase& c : kDecodes) {
        const std::string key = std::string(c.name) + "/Q" + std::to_string(c.quality);
        const std::vector<uint8_t>& nsr = Capture(c.natural, c.quality);
        const bool plain = c.natural && c.useColor && !c.negative;  // dumped, several adjustments
        if (c.useColor && !c.negative) actual[key + "/input"] = test::Checksum(nsr).Hex();
        KivoGrabInfo grab{};
        grab.Quality = c.quality;
        grab.UseColor = c.useColor;
        grab.CameraInput = 1;
        grab.Negative = c.negative;
        YuvImage image(grab, nullptr);
        MemoryRawSource source(nsr);
        ASSERT_EQ(image.Decode(grab, nullptr, plain ? dump.c_str() : nullptr, &source), DecodeOk)
            << key;
        actual[key + "/yuv"] = PictureChecksum(image);
        if (plain) {
            EXPECT_TRUE(test::ReadBytes(dump) == nsr) << key << ": the dump is not the capture";
        }
        // The other sizes exercise the resampler, which a negative or a grey decode leaves alone.
        for (int width : std::span(kWidths).first(plain || !c.natural ? 3 : 1)) {
            actual[key + "/" + std::to_string(width)] =
                BitmapChecksum(image, kAdjustments[0].info, width, false);
        }
        if (plain) {
            for (const Adjustments& a : std::span(kAdjustments).subspan(1)) {
                actual[key + "/640-" + a.name] = BitmapChecksum(image, a.info, 640, false);
            }
            for (int width : std::span(kWidths).first(2)) {
                actual[key + "/" + std::to_string(width) + "-quick"] =
                    BitmapChecksum(image, kAdjustments[0].info, width, true);
            }
        }
        if (c.negative || !c.useColor) {
            actual[key + "/640-mixed"] = BitmapChecksum(image, kAdjustments[3].info, 640, false);
        }
    }
    std::remove(dump.c_str());

    if (test::UpdatingGoldens()) {
        std::ofstream file(kRecorded);
        for (const auto& [key, value] : actual)
            file << key << ' ' << value << '\n';
    }
    std::map<std::string, std::string> expected;
    std::ifstream file(kRecorded);
    for (std::string key, value; file >> key >> value;)
        expected[key] = value;
    for (const auto& [key, value] : actual) {
        const auto recorded = expected.find(key);
        ASSERT_NE(recorded, expected.end()) << key << " has no recorded value";
        EXPECT_EQ(value, recorded->second) << key;
    }
    EXPECT_EQ(actual.size(), expected.size());
}

}  // namespace
}  // namespace kivoly
