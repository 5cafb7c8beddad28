// YuvImage: the decoded picture, its line store, geometry, levels and statistics. A decode
// (PictureDecoder, see signal_road.h) fills it; the RGB conversion reads it.
//
// Each line is a 1506-byte buffer. A capture pass first stores a raw line in it (bytes 0-1 the
// line's timing skew, then 1070 raw composite samples from the line start); the decoder then
// overwrites it in place with 752 luma bytes followed by 752 signed chroma bytes, U at even and
// V at odd positions, so every pixel has its luma and one of the two colour differences.
//
// Lines live in blocks of 16 so that no single allocation is large, and are always reached
// through the line table: the decoders permute the table's entries.
#pragma once

#include <cstdint>
#include <memory>

#include "decode/chunk_reader.h"
#include "decode/decode_statistics.h"
#include "decode/signal_road.h"
#include "kivoly/kivoly.h"

namespace kivoly {

class DecodeProgress;
class VideoSource;

enum DecodeResult : int32_t {
    DecodeOk = 0,
    DecodeNoVideo = 1,
    DecodeOutOfMemory = 2,
    DecodeBadSignal = 4,
    DecodeReadbackFailed = 5,
    DecodeRawFileFailed = 6,
    DecodeAborted = 7,
};

// The table of line addresses: `lineCount` line entries followed by the block addresses.
struct LineTable {
    uint8_t** entries = nullptr;  // lineCount + ceil(lineCount / 16) addresses
    uint16_t lineCount = 0;

    uint8_t* Line(int i) const { return entries[i]; }
    // False when memory runs out (whatever was allocated is freed again).
    bool Allocate(uint16_t lines);
    void Free();
};

// What the RGB conversion keeps with a picture: its settings, output geometry, tables, work
// and adjusted lines, all of them the output layer's. Owned by the YuvImage and freed with it.
struct ConversionState {
    virtual ~ConversionState() = default;
};

class YuvImage {
  public:
    // The capture store: geometry from the records (ProcessInfo may be null).
    YuvImage(const KivoGrabInfo& grabInfo, const KivoProcessInfo* processInfo);
    YuvImage(uint16_t sampleWidth, uint16_t lineCount, bool twoFields, bool doubleSampled,
             uint16_t outputWidth);
    ~YuvImage();
    YuvImage(const YuvImage&) = delete;
    YuvImage& operator=(const YuvImage&) = delete;

    // Returns `existing` when its geometry already matches the records, else a new image
    // (destroying `existing`); null when memory runs out.
    static YuvImage* ReuseOrCreate(YuvImage* existing, const KivoGrabInfo& grabInfo,
                                   const KivoProcessInfo* processInfo);

    bool HasLines() const { return lineTable.entries != nullptr; }

    // Captures and decodes one picture from `source` (a PictureDecoder does the work).
    DecodeResult Decode(const KivoGrabInfo& grabInfo, DecodeProgress* progress,
                        const char* rawFileName, VideoSource* source);

    void ComputeMedian();
    // Forgets the levels and statistics of an earlier attempt: a decode starts afresh.
    void ResetLevels();

    uint16_t outputWidth = 0;
    int32_t twoFields = 0;
    int32_t doubleSampled = 0;
    int32_t useColor = 0;
    int32_t negative = 0;
    LineTable lineTable;
    LineTable lineTable2;
    uint16_t sampleWidth = kSampleWidth;
    uint16_t lineCount = 0;
    int16_t fieldStep = 1;
    std::unique_ptr<ConversionState> conversion;
    int16_t passesDone = 0;
    int16_t whiteLevel = 0;
    int16_t blackLevel = 0;
    int16_t medianLevel = 0;
    // Histograms and per-level sums gathered while decoding (one Decode runs at a time).
    DecodeStatistics statistics;
    // The chunk reader's window, kept from one capture to the next.
    ChunkBuffer chunk;

  private:
    void Initialise(uint16_t width, uint16_t lines, bool twoFields, bool doubleSampled,
                    uint16_t outputWidth);
    void Destroy();
};

}  // namespace kivoly
