// PictureDecoder: one decode along the signal road (signal_road.h). It owns the stages and
// their working state for as long as the decode runs, and writes what they produce into the
// picture: its lines, levels and statistics.
#pragma once

#include <cstdint>

#include "decode/chunk_reader.h"
#include "decode/internal/frame_comb.h"
#include "decode/internal/level_recorder.h"
#include "decode/internal/line_aligner.h"
#include "decode/internal/raw_dump_writer.h"
#include "decode/internal/sync_slicer.h"
#include "decode/yuv_image.h"

namespace kivoly {

class DecodeProgress;
class VideoSource;

class PictureDecoder {
  public:
    PictureDecoder(YuvImage& image, VideoSource& source, const KivoGrabInfo& grabInfo);
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // Captures and decodes one picture; with `rawFileName` the fields read are also dumped.
    DecodeResult Decode(DecodeProgress* progress, const char* rawFileName);
    // Starts an attempt afresh: the picture's levels and the stages' calibration.
    void ResetSignalState();

    YuvImage& image;
    VideoSource& source;
    const KivoGrabInfo grabInfo;
    ChunkReader chunk;
    SyncSlicer slicer;
    LineAligner aligner;
    RawDumpWriter rawDump;
    LevelRecorder recorder;
    FrameComb comb;
};

}  // namespace kivoly
