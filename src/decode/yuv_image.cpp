// Construction, storage, levels and destruction of the YuvImage. The decode runs in
// PictureDecoder and the stage classes it owns.
#include "decode/yuv_image.h"

#include <cstdlib>
#include <new>

#include "decode/internal/picture_decoder.h"

namespace kivoly {

namespace {

int BlockCount(int lines) {
    return (lines + kLinesPerBlock - 1) / kLinesPerBlock;
}

struct Geometry {
    uint16_t lines;
    bool twoFields;
    bool doubleSampled;
};

Geometry GeometryOf(const KivoGrabInfo& grabInfo) {
    const bool twoFields = grabInfo.Quality == 2 || grabInfo.Quality == 3;
    return {static_cast<uint16_t>(twoFields ? kFrameLines : kFieldLines), twoFields,
            grabInfo.Quality == 3};
}

}  // namespace

bool LineTable::Allocate(uint16_t lines) {
    const int blocks = BlockCount(lines);
    entries = static_cast<uint8_t**>(std::calloc(lines + blocks, sizeof(uint8_t*)));
    if (entries == nullptr) return false;
    lineCount = lines;
    for (int b = 0; b < blocks; ++b) {
        const int first = b * kLinesPerBlock;
        const int inBlock = lines - first < kLinesPerBlock ? lines - first : kLinesPerBlock;
        // Zero-filled, so that the bytes a decoder leaves unwritten are the same in every image.
        auto* block = static_cast<uint8_t*>(std::calloc(inBlock, kLineBytes));
        if (block == nullptr) {
            Free();
            return false;
        }
        entries[lines + b] = block;
        for (int i = 0; i < inBlock; ++i)
            entries[first + i] = block + i * kLineBytes;
    }
    return true;
}

void LineTable::Free() {
    if (entries != nullptr) {
        const int blocks = BlockCount(lineCount);
        for (int b = 0; b < blocks && entries[lineCount + b] != nullptr; ++b) {
            std::free(entries[lineCount + b]);
        }
        std::free(entries);
    }
    entries = nullptr;
    lineCount = 0;
}

YuvImage::YuvImage(const KivoGrabInfo& grabInfo, const KivoProcessInfo* processInfo) {
    const Geometry g = GeometryOf(grabInfo);
    Initialise(kSampleWidth, g.lines, g.twoFields, g.doubleSampled,
               processInfo != nullptr ? static_cast<uint16_t>(processInfo->Width) : 0);
}

YuvImage::YuvImage(uint16_t width, uint16_t lines, bool twoFieldsFlag, bool doubleSampledFlag,
                   uint16_t outputWidthValue) {
    Initialise(width, lines, twoFieldsFlag, doubleSampledFlag, outputWidthValue);
}

YuvImage::~YuvImage() {
    Destroy();
}

void YuvImage::Initialise(uint16_t width, uint16_t lines, bool twoFieldsFlag,
                          bool doubleSampledFlag, uint16_t outputWidthValue) {
    twoFields = twoFieldsFlag;
    doubleSampled = doubleSampledFlag;
    outputWidth = outputWidthValue;
    sampleWidth = width;
    lineCount = lines;
    lineTable = LineTable();
    lineTable2 = LineTable();
    conversion.reset();

    if (lineTable.Allocate(lines) && doubleSampled) {
        lineTable2 = lineTable;
        lineTable = LineTable();
        if (!lineTable.Allocate(lines)) {
            // The image keeps one usable table; doubleSampled stays as asked.
            lineTable = lineTable2;
            lineTable2 = LineTable();
        }
    }
}

void YuvImage::Destroy() {
    chunk.Release();
    while (lineTable.entries != nullptr) {
        lineTable.Free();
        lineTable = lineTable2;
        lineTable2 = LineTable();
    }
    lineCount = 0;
    conversion.reset();
}

DecodeResult YuvImage::Decode(const KivoGrabInfo& grabInfo, DecodeProgress* progress,
                              const char* rawFileName, VideoSource* source) {
    if (source == nullptr || !HasLines()) return DecodeNoVideo;
    PictureDecoder decoder(*this, *source, grabInfo);
    return decoder.Decode(progress, rawFileName);
}

void YuvImage::ComputeMedian() {
    int lo = -1;
    int hi = 256;
    int64_t lowSum = 0;
    int64_t highSum = 0;
    while (lo < hi) {
        if (lowSum < highSum) {
            ++lo;
            lowSum += statistics.lumaHistogram[lo];
        } else {
            --hi;
            if (hi >= 0) highSum += statistics.lumaHistogram[hi];  // empty histogram: -1
        }
    }
    medianLevel = static_cast<int16_t>(lo);
}

void YuvImage::ResetLevels() {
    passesDone = 0;
    whiteLevel = 76;
    blackLevel = 224;
    medianLevel = 150;
    statistics.ClearLumaHistogram();
}

YuvImage* YuvImage::ReuseOrCreate(YuvImage* existing, const KivoGrabInfo& grabInfo,
                                  const KivoProcessInfo* processInfo) {
    const Geometry g = GeometryOf(grabInfo);
    uint16_t width = 0;
    if (processInfo != nullptr) {
        width = static_cast<uint16_t>(processInfo->Width);
    } else if (existing != nullptr) {
        width = existing->outputWidth;
    }
    if (existing != nullptr && existing->sampleWidth == kSampleWidth &&
        existing->lineCount == g.lines && (existing->twoFields != 0) == g.twoFields &&
        (existing->doubleSampled != 0) == g.doubleSampled && existing->outputWidth == width) {
        return existing;
    }
    delete existing;
    auto* image =
        new (std::nothrow) YuvImage(kSampleWidth, g.lines, g.twoFields, g.doubleSampled, width);
    if (image != nullptr && !image->HasLines()) {
        delete image;
        image = nullptr;
    }
    return image;
}

}  // namespace kivoly
