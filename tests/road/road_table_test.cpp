// The road table: each known picture, encoded to composite, taken at each quality along each road
// and measured (PSNR) against a trusted reference:
//   Luma, Chroma  the decoder's planes against the ideal decode of the encoded signal, cropped as
//                 the RGB conversion crops them; SecondLuma is quality 3's second sample set.
//   RawFile       the raw file decoded and converted at the row's width, against the source on
//                 the conversion's grid, less the outermost 2 % (the encoder's and decoder's
//                 edges).
//   Device        a capture through the C interface from the simulated digitizer: the same bytes
//                 as the raw-file road.
// A row fails when its measure strays more than kMargin from the figure measured, below (a picture
// shifted, mis-coloured or short of a field) or above (a stage that stopped shaping the picture).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <tuple>
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

// PSNR of the luma (or chroma) of every line of a line table against the ideal plane.
template <typename T>
double PlanePsnr(const YuvImage& image, const LineTable& table, bool chroma,
                 const std::vector<T>& ideal) {
    std::vector<T> plane;
    for (int l = 0; l < image.lineCount; ++l) {
        const T* line = reinterpret_cast<const T*>(table.Line(l) + (chroma ? kSampleWidth : 0));
        plane.insert(plane.end(), line, line + kSampleWidth);
    }
    return test::Psnr(std::span<const T>(plane), ideal, kSampleWidth, image.lineCount,
                      {8, 2, 8, 0});
}

void AppendRgb(std::vector<uint8_t>& rgb, const uint8_t* bgr, int width) {
    for (int x = 0; x < width; ++x)
        rgb.insert(rgb.end(), {bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]});
}

// R, G, B, top row first, of the raw-file road converted at the row's size.
std::vector<uint8_t> RawFileRgb(const Row& row) {
    YuvImage& yuv = *DecodedFor(row.picture, row.quality).image;
    KivoProcessInfo info{};
    info.Width = row.width;
    info.Height = row.width * 3 / 4;
    info.ColorCount = 16777216;
    EXPECT_TRUE(PrepareConversion(yuv, info));
    std::vector<uint8_t> rgb, bgr(3 * static_cast<size_t>(row.width));
    for (int r = 0; r < info.Height; ++r) {
        ConvertRow(yuv, bgr.data(), r, false);
        AppendRgb(rgb, bgr.data(), row.width);
    }
    return rgb;
}

// The simulated digitizer's capture through the C interface, as a host makes it.
std::vector<uint8_t> DeviceRgb(const Row& row) {
    test::TempSettingsFolder folder;
    platform::ClearShownMessageBoxes();
    sim::SimulatedRig rig(std::make_unique<sim::EncodedSignal>(PictureNamed(row.picture)));
    KivoGrabber* grabber = test::QuietGrabber(row.quality, row.width);
    KivoHGlobal dib = KivoScanAndProcess(grabber, nullptr);
    EXPECT_TRUE(platform::ShownMessageBoxes().empty());
    EXPECT_EQ(KivoGetStatus(grabber), KivoStatusIdle);
    EXPECT_FALSE(rig.port.Claimed(1));
    std::vector<uint8_t> rgb;
    if (const platform::BitmapInfoHeader* header = LockDib(dib)) {
        const size_t stride = DibStride(24, row.width);
        for (int y = header->biHeight - 1; y >= 0; --y)
            AppendRgb(rgb, DibPixels(header) + stride * y, row.width);
        platform::GlobalUnlock(dib);
    }
    KivoFreeDib(dib);
    KivoFree(grabber);
    return rgb;
}

double Measure(const Row& row) {
    const Decoded& d = DecodedFor(row.picture, row.quality);
    const YuvImage& image = *d.image;
    std::vector<uint8_t> rgb;
    switch (row.road) {
        case Road::Luma:
            return PlanePsnr(image, image.lineTable, false, d.capture.ideal.first.y);
        case Road::Chroma:
            return PlanePsnr(image, image.lineTable, true, d.capture.ideal.first.chroma);
        case Road::SecondLuma:
            return PlanePsnr(image, image.lineTable2, false, d.capture.ideal.second.y);
        case Road::RawFile:
            rgb = RawFileRgb(row);
            break;
        case Road::Device:
            rgb = DeviceRgb(row);
            EXPECT_TRUE(rgb == RawFileRgb(row))
                << "the device's picture differs from the raw file's";
            break;
    }
    const int height = row.width * 3 / 4;
    const int side = row.width / 50, top = height / 50;
    return test::PsnrRgb(rgb, test::SourceOnGrid(PictureNamed(row.picture), row.width, height),
                         row.width, height, {side, top, side, top});
}

// The decoder's planes: the frame comb (qualities 1 to 3) separates almost perfectly; the
// single-frame decoder (quality 0) has only one field to separate from. Chroma takes the missing
// axis of each position from its neighbour, which shows at the sharp colour steps of the bars.
// Quality 1's planes measure within 0.02 dB of quality 2's: its rows are those to RGB.
constexpr Row kRows[] = {
    {"natural", 0, 0, Road::Luma, 43.31},
    {"natural", 0, 0, Road::Chroma, 46.76},
    {"natural", 2, 0, Road::Luma, 49.49},
    {"natural", 2, 0, Road::Chroma, 49.85},
    {"natural", 3, 0, Road::Luma, 48.04},
    {"natural", 3, 0, Road::Chroma, 49.85},
    {"natural", 3, 0, Road::SecondLuma, 48.03},
    {"bars", 0, 0, Road::Luma, 46.26},
    {"bars", 0, 0, Road::Chroma, 46.39},
    {"bars", 2, 0, Road::Luma, 52.68},
    {"bars", 2, 0, Road::Chroma, 42.78},
    {"bars", 3, 0, Road::Luma, 51.57},
    {"bars", 3, 0, Road::Chroma, 42.78},
    {"bars", 3, 0, Road::SecondLuma, 51.50},
    // Whole roads to RGB; one-field and two-field pictures (qualities 0 and 2) at the three sizes.
    // Quality 3 merges a second sample set taken half a sample later; the merge's smoothing of
    // small differences keeps it a little below quality 2. A device row also holds the raw-file
    // road's bytes to its figure.
    {"natural", 0, 320, Road::RawFile, 34.57},
    {"natural", 0, 1500, Road::RawFile, 34.03},
    {"natural", 2, 320, Road::RawFile, 35.50},
    {"natural", 2, 1500, Road::RawFile, 35.05},
    {"bars", 0, 320, Road::RawFile, 30.06},
    {"bars", 0, 640, Road::RawFile, 28.4},
    {"bars", 0, 1500, Road::RawFile, 28.29},
    {"bars", 1, 640, Road::RawFile, 27.3},
    {"bars", 2, 640, Road::RawFile, 28.28},
    {"bars", 2, 1500, Road::RawFile, 27.76},
    {"bars", 3, 640, Road::RawFile, 28.23},
    {"natural", 0, 640, Road::Device, 33.7},
    {"natural", 1, 640, Road::Device, 34.12},
    {"natural", 2, 640, Road::Device, 35.21},
    {"natural", 3, 640, Road::Device, 34.64},
    {"bars", 2, 320, Road::Device, 28.85},
};

// One test a picture and quality, so that each decodes once: every row of the table for them.
class RoadTable : public ::testing::TestWithParam<std::tuple<const char*, int>> {};

TEST_P(RoadTable, EveryRowHoldsItsFigure) {
    const auto [picture, quality] = GetParam();
    int rows = 0;
    for (const Row& row : kRows) {
        if (row.picture != std::string(picture) || row.quality != quality) continue;
        ++rows;
        const double dB = Measure(row);
        std::printf("%-8s Q%d %4d %-10s %.2f dB (table %.2f)\n", row.picture, row.quality,
                    row.width, RoadName(row.road), dB, row.dB);
        EXPECT_NEAR(dB, row.dB, kMargin) << RoadName(row.road) << " " << row.width;
    }
    EXPECT_GT(rows, 0);
}

INSTANTIATE_TEST_SUITE_P(Roads, RoadTable,
                         ::testing::Combine(::testing::Values("natural", "bars"),
                                            ::testing::Range(0, 4)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_Q" +
                                    std::to_string(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace kivoly
