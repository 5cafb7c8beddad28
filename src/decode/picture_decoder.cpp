// Decode: the capture passes take the fields and run them through the line stages into the
// picture; whatever they leave undone is completed by the single-frame separator or the field
// interpolation, and a colour negative's cast is removed last.
#include "decode/internal/picture_decoder.h"

#include "capture/video_source.h"
#include "decode/decode_progress.h"
#include "decode/internal/capture_passes.h"
#include "decode/internal/colour_correction.h"
#include "decode/internal/single_frame_separator.h"

namespace kivoly {

PictureDecoder::PictureDecoder(YuvImage& picture, VideoSource& videoSource,
                               const KivoGrabInfo& info)
    : image(picture),
      source(videoSource),
      grabInfo(info),
      recorder(picture),
      comb(aligner, videoSource, recorder, picture.statistics, info.UseColor != 0) {
    image.useColor = info.UseColor != 0;
    image.negative = info.Negative != 0;
}

void PictureDecoder::ResetSignalState() {
    image.ResetLevels();
    recorder.Reset();
    source.SetClipping(false);
    slicer.Reset();
    aligner.SetMissCount(0);
}

DecodeResult PictureDecoder::Decode(DecodeProgress* progress, const char* rawFileName) {
    ChunkBuffer& window = image.chunk;
    const bool hadChunkBuffer = window.Data() != nullptr;
    const bool correct = grabInfo.Negative && grabInfo.UseColor;
    if (progress != nullptr) {
        const int perLine = (grabInfo.Quality < 3 ? 2 : 4) + (correct ? 1 : 0);
        progress->Begin(static_cast<uint16_t>(image.lineCount * perLine));
    }

    auto exit = [&](DecodeResult result) {
        image.ComputeMedian();
        window.ReleaseOwned();
        // A dump of a failed capture is given up; a file of that name stays as it was.
        rawDump.Close(result == DecodeOk);
        source.FinishCapture();
        return result;
    };

    if (!window.Ensure()) return exit(DecodeOutOfMemory);
    chunk.Attach(window.Data(), &source, &rawDump);
    if (source.ReadbackFails(window.Data(), kChunkBytes)) return DecodeReadbackFailed;
    if (rawFileName != nullptr && !rawDump.Open(rawFileName)) return DecodeRawFileFailed;
    source.UseFullSampleRate();

    CapturePasses passes(*this, progress);
    DecodeResult result = DecodeAborted;
    if (!passes.Run(result)) return exit(result);

    rawDump.CopyRestOfField(source, window.Data(), kChunkBytes);
    rawDump.FinishRecord();
    source.Power(0);
    if (!hadChunkBuffer) window.Release();
    image.statistics.currentLine = 0;
    if (image.passesDone <= 2) {
        SingleFrameSeparator separator(image, source, slicer, aligner, recorder,
                                       passes.SamplesPerLine());
        if (!separator.DecodeSingleFrame(progress, passes.Counter())) {
            return exit(DecodeAborted);
        }
    } else if (image.passesDone == 3 && image.passesDone < passes.MaxPasses()) {
        InterpolateMissingField(image, progress, passes.Counter());
    }
    if (correct && !CorrectColours(image, progress, passes.Counter())) {
        return exit(DecodeAborted);
    }
    return exit(DecodeOk);
}

}  // namespace kivoly
