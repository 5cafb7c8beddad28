// The road table: each known picture, encoded to composite, taken at each quality along each road
// to a picture, and measured (PSNR) against a trusted reference. One row is one figure:
//   Luma, Chroma  the decoder's planes against the ideal decode of the encoded signal (a perfect
//                 separation), cropped as the RGB conversion crops them (8 samples at each side,
//                 from line 2); SecondLuma is quality 3's second sample set against its own.
//   RawFile       the raw file decoded and converted at the row's size, RGB against the source
//                 on the conversion's grid, less the outermost 2 % (the encoder's and the
//                 decoder's edges).
//   Device        a capture through the C interface from the simulated digitizer fed with the
//                 picture: the same bytes as the raw-file road, so the same figure.
// Each figure was measured; a row fails when its measure strays more than kMargin from it, below
// (a picture shifted, mis-coloured or short of a field) or above (a stage that stopped shaping the
// picture as it should). Rounding changes pass; a change that moves a figure on purpose updates
// the table.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/yuv_image.h"
#include "kivoly/kivoly.h"
#include "output/packed_dib.h"
#include "output/rgb_conversion.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"
#include "platform/message_box.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_rig.h"
#include "support/encoded_capture.h"
#include "support/plane_psnr.h"
#include "support/quiet_grabber.h"
#include "support/source_on_grid.h"
#include "support/temp_settings_folder.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

constexpr double kMargin = 0.5;

enum class Road { Luma, Chroma, SecondLuma, RawFile, Device };

struct Row {
    const char* picture;  // "natural" or "bars"
    int quality;
    int width;  // of the converted picture; the height is three quarters of it
    Road road;
    double dB;  // measured
};

const char* RoadName(Road road) {
    static const char* const kNames[] = {"Luma", "Chroma", "SecondLuma", "RawFile", "Device"};
    return kNames[static_cast<int>(road)];
}

const sim::Picture& PictureNamed(const std::string& name) {
    static const sim::Picture natural = test::NaturalPicture();
    static const sim::Picture bars = test::BarsPicture();
    return name == "bars" ? bars : natural;
}

// The encoder's raw file of a picture at a quality and its decode, made once for every row.
struct Decoded {
    test::EncodedCapture capture;
    std::unique_ptr<YuvImage> image;
};

const Decoded& DecodedFor(const std::string& picture, int quality) {
    static std::map<std::pair<std::string, int>, Decoded> cache;
    Decoded& d = cache[{picture, quality}];
    if (!d.image) {
        d.capture = test::EncodeForQuality(PictureNamed(picture), quality);
        MemoryRawSource source(d.capture.nsr);
        const KivoGrabInfo info = test::ColourCameraGrab(quality);
        d.image = std::make_unique<YuvImage>(info, nullptr);
        EXPECT_EQ(d.image->Decode(info, nullptr, nullptr, &source), DecodeOk);
    }
    return d;
}

// Luma (or chroma) of every line of a line table, one plane of kSampleWidth columns.
template <typename T>
std::vector<T> Plane(const YuvImage& image, const LineTable& table, bool chroma) {
    std::vector<T> plane;
    for (int l = 0; l < image.lineCount; ++l) {
        const T* line = reinterpret_cast<const T*>(table.Line(l) + (chroma ? kSampleWidth : 0));
        plane.insert(plane.end(), line, line + kSampleWidth);
    }
    return plane;
}

// R, G, B, top row first, of the raw-file road converted at width x height.
std::vector<uint8_t> RawFileRgb(const std::string& picture, int quality, int width, int height) {
    YuvImage& yuv = *DecodedFor(picture, quality).image;
    KivoProcessInfo info{};
    info.Width = width;
    info.Height = height;
    info.ColorCount = 16777216;
    EXPECT_TRUE(PrepareConversion(yuv, info));
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    std::vector<uint8_t> row(3 * static_cast<size_t>(width));
    for (int r = 0; r < height; ++r) {
        ConvertRow(yuv, row.data(), r, false);
        for (int x = 0; x < width; ++x) {
            uint8_t* px = &rgb[(size_t(r) * width + x) * 3];
            px[0] = row[3 * x + 2];
            px[1] = row[3 * x + 1];
            px[2] = row[3 * x];
        }
    }
    return rgb;
}

// R, G, B, top row first, of a 24-bit bitmap the library made.
std::vector<uint8_t> BitmapRgb(KivoHGlobal dib) {
    std::vector<uint8_t> rgb;
    const platform::BitmapInfoHeader* header = LockDib(dib);
    if (!header) return rgb;
    const int stride = DibStride(24, header->biWidth);
    for (int y = header->biHeight - 1; y >= 0; --y) {
        const uint8_t* row = DibPixels(header) + static_cast<size_t>(stride) * y;
        for (int x = 0; x < header->biWidth; ++x)
            rgb.insert(rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    platform::GlobalUnlock(dib);
    return rgb;
}

// The simulated digitizer's capture through the C interface, as a host makes it.
std::vector<uint8_t> DeviceRgb(const std::string& picture, int quality, int width) {
    test::TempSettingsFolder folder;
    platform::ClearShownMessageBoxes();
    sim::SimulatedRig rig(std::make_unique<sim::EncodedSignal>(PictureNamed(picture)));
    KivoGrabber* grabber = test::QuietGrabber(quality, width);
    KivoHGlobal dib = KivoScanAndProcess(grabber, nullptr);
    EXPECT_NE(dib, nullptr);
    EXPECT_TRUE(platform::ShownMessageBoxes().empty());
    EXPECT_EQ(KivoGetStatus(grabber), KivoStatusIdle);
    EXPECT_FALSE(rig.port.Claimed(1));
    std::vector<uint8_t> rgb = dib ? BitmapRgb(dib) : std::vector<uint8_t>{};
    KivoFreeDib(dib);
    KivoFree(grabber);
    return rgb;
}

double RgbPsnr(const std::vector<uint8_t>& rgb, const Row& row) {
    const int height = row.width * 3 / 4;
    const int side = row.width / 50, top = height / 50;
    return test::PsnrRgb(rgb, test::SourceOnGrid(PictureNamed(row.picture), row.width, height),
                         row.width, height, {side, top, side, top});
}

double Measure(const Row& row) {
    const Decoded& d = DecodedFor(row.picture, row.quality);
    const YuvImage& image = *d.image;
    const test::Crop crop{8, 2, 8, 0};
    const int height = row.width * 3 / 4;
    switch (row.road) {
        case Road::Luma:
            return test::Psnr(
                std::span<const uint8_t>(Plane<uint8_t>(image, image.lineTable, false)),
                d.capture.ideal.first.y, kSampleWidth, image.lineCount, crop);
        case Road::Chroma:
            return test::Psnr(std::span<const int8_t>(Plane<int8_t>(image, image.lineTable, true)),
                              d.capture.ideal.first.chroma, kSampleWidth, image.lineCount, crop);
        case Road::SecondLuma:
            return test::Psnr(
                std::span<const uint8_t>(Plane<uint8_t>(image, image.lineTable2, false)),
                d.capture.ideal.second.y, kSampleWidth, image.lineCount, crop);
        case Road::RawFile:
            return RgbPsnr(RawFileRgb(row.picture, row.quality, row.width, height), row);
        case Road::Device: {
            const std::vector<uint8_t> device = DeviceRgb(row.picture, row.quality, row.width);
            EXPECT_TRUE(device == RawFileRgb(row.picture, row.quality, row.width, height))
                << "the device's picture differs from the raw file's";
            return RgbPsnr(device, row);
        }
    }
    return 0;
}

// The decoder's planes: the frame comb (qualities 1 to 3) separates almost perfectly; the
// single-frame decoder (quality 0) has only one field to separate from. Chroma takes the missing
// axis of each position from its neighbour, which shows at the sharp colour steps of the bars.
constexpr Row kRows[] = {
    {"natural", 0, 0, Road::Luma, 43.31},
    {"natural", 0, 0, Road::Chroma, 46.76},
    {"natural", 1, 0, Road::Luma, 49.49},
    {"natural", 1, 0, Road::Chroma, 49.83},
    {"natural", 2, 0, Road::Luma, 49.49},
    {"natural", 2, 0, Road::Chroma, 49.85},
    {"natural", 3, 0, Road::Luma, 48.04},
    {"natural", 3, 0, Road::Chroma, 49.85},
    {"natural", 3, 0, Road::SecondLuma, 48.03},
    {"bars", 0, 0, Road::Luma, 46.26},
    {"bars", 0, 0, Road::Chroma, 46.39},
    {"bars", 1, 0, Road::Luma, 52.68},
    {"bars", 1, 0, Road::Chroma, 42.79},
    {"bars", 2, 0, Road::Luma, 52.68},
    {"bars", 2, 0, Road::Chroma, 42.78},
    {"bars", 3, 0, Road::Luma, 51.57},
    {"bars", 3, 0, Road::Chroma, 42.78},
    {"bars", 3, 0, Road::SecondLuma, 51.50},
    // Whole roads to RGB at the three sizes. Quality 3 merges a second sample set taken half a
    // sample later; the merge's smoothing of small differences keeps it a little below quality 2.
    {"natural", 0, 320, Road::RawFile, 34.57},
    {"natural", 0, 640, Road::RawFile, 33.7},
    {"natural", 0, 1500, Road::RawFile, 34.03},
    {"natural", 1, 320, Road::RawFile, 35.09},
    {"natural", 1, 640, Road::RawFile, 34.12},
    {"natural", 1, 1500, Road::RawFile, 34.34},
    {"natural", 2, 320, Road::RawFile, 35.50},
    {"natural", 2, 640, Road::RawFile, 35.21},
    {"natural", 2, 1500, Road::RawFile, 35.05},
    {"natural", 3, 320, Road::RawFile, 34.93},
    {"natural", 3, 640, Road::RawFile, 34.64},
    {"natural", 3, 1500, Road::RawFile, 34.58},
    {"bars", 0, 320, Road::RawFile, 30.06},
    {"bars", 0, 640, Road::RawFile, 28.4},
    {"bars", 0, 1500, Road::RawFile, 28.29},
    {"bars", 1, 320, Road::RawFile, 28.65},
    {"bars", 1, 640, Road::RawFile, 27.3},
    {"bars", 1, 1500, Road::RawFile, 27.18},
    {"bars", 2, 320, Road::RawFile, 28.85},
    {"bars", 2, 640, Road::RawFile, 28.28},
    {"bars", 2, 1500, Road::RawFile, 27.76},
    {"bars", 3, 320, Road::RawFile, 28.79},
    {"bars", 3, 640, Road::RawFile, 28.23},
    {"bars", 3, 1500, Road::RawFile, 27.72},
    {"natural", 0, 640, Road::Device, 33.7},
    {"natural", 1, 640, Road::Device, 34.12},
    {"natural", 2, 640, Road::Device, 35.21},
    {"natural", 3, 640, Road::Device, 34.64},
    {"bars", 2, 320, Road::Device, 28.85},
};

// One test a picture and quality, so that each decodes once: every row of the table for them.
struct Decode {
    const char* picture;
    int quality;
};

void PrintTo(const Decode& decode, std::ostream* out) {
    *out << decode.picture << " Q" << decode.quality;
}

class RoadTable : public ::testing::TestWithParam<Decode> {};

TEST_P(RoadTable, EveryRowHoldsItsFigure) {
    int rows = 0;
    for (const Row& row : kRows) {
        if (row.picture != std::string(GetParam().picture) || row.quality != GetParam().quality)
            continue;
        ++rows;
        const double dB = Measure(row);
        std::printf("%-8s Q%d %4d %-10s %.2f dB (table %.2f)\n", row.picture, row.quality,
                    row.width, RoadName(row.road), dB, row.dB);
        EXPECT_NEAR(dB, row.dB, kMargin) << RoadName(row.road) << " " << row.width;
    }
    EXPECT_GT(rows, 0);
}

INSTANTIATE_TEST_SUITE_P(Roads, RoadTable,
                         ::testing::Values(Decode{"natural", 0}, Decode{"natural", 1},
                                           Decode{"natural", 2}, Decode{"natural", 3},
                                           Decode{"bars", 0}, Decode{"bars", 1}, Decode{"bars", 2},
                                           Decode{"bars", 3}),
                         [](const ::testing::TestParamInfo<Decode>& info) {
                             return std::string(info.param.picture) + "_Q" +
                                    std::to_string(info.param.quality);
                         });

// The bounds are sharp: the natural picture one row lower, or with red and blue exchanged, falls
// below the figure of its row.
TEST(RoadTableBounds, ABrokenPictureFailsItsRow) {
    const Row row{"natural", 2, 640, Road::RawFile, 35.21};
    const std::vector<uint8_t> rgb = RawFileRgb(row.picture, row.quality, 640, 480);
    std::vector<uint8_t> shifted(rgb.begin() + 3 * 640, rgb.end());
    shifted.insert(shifted.end(), rgb.end() - 3 * 640, rgb.end());
    std::vector<uint8_t> swapped = rgb;
    for (size_t i = 0; i < swapped.size(); i += 3)
        std::swap(swapped[i], swapped[i + 2]);
    EXPECT_NEAR(RgbPsnr(rgb, row), row.dB, kMargin);
    EXPECT_LT(RgbPsnr(shifted, row), row.dB - kMargin);
    EXPECT_LT(RgbPsnr(swapped, row), row.dB - kMargin);
}

}  // namespace
}  // namespace kivoly
