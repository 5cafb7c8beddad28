#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "capture/memory_raw_source.h"
#include "capture/raw_capture_file.h"
#include "decode/decode_progress.h"
#include "decode/synthetic_video.h"
#include "decode/yuv_image.h"
#include "support/encoded_capture.h"
#include "support/temp_settings_folder.h"
#include "support/unstable_source.h"

namespace kivoly {
namespace {

// Notes what a decode reports, and asks to abort at a chosen step.
struct RecordingProgress : DecodeProgress {
    using Phase = DecodeProgress::Phase;
    void Begin(uint16_t total) override { steps = total; }
    void EnterPhase(Phase phase, uint16_t at) override { phases.push_back({phase, at}); }
    void Advance(uint16_t count) override {
        done = count;
        if (count == abortAt) aborted = true;
    }
    void FieldStarted() override { ++fields; }
    void RetriesExhausted(bool rescans) override { exhausted.push_back(rescans); }
    bool Aborted() const override { return aborted; }

    int steps = -1;
    std::vector<std::pair<Phase, int>> phases;
    std::vector<bool> exhausted;
    int done = 0;
    int fields = 0;
    int abortAt = -1;
    bool aborted = false;
};

std::vector<uint8_t> StillFile(int fields) {
    testing::SyntheticVideo video;
    video.u = 15;
    return testing::StillFile(video, fields);
}

// Two frames count each line in both; a single frame its 242 stored lines, the 241 decoded and
// the 242 corrected.
TEST(DecodeProgress, EveryLineIsCountedInItsPhase) {
    using Phase = DecodeProgress::Phase;
    struct Case {
        int fields, quality, negative, steps;
        std::vector<std::pair<Phase, int>> phases;
    };
    for (const Case& c :
         {Case{4, 2, 0, 484 * 2, {{Phase::FirstFrame, 0}, {Phase::SecondFrame, 2 * 242}}},
          Case{1,
               0,
               1,
               242 * 3,
               {{Phase::FirstFrame, 0},
                {Phase::Analyzing, 242},
                {Phase::CorrectingColours, 483}}}}) {
        MemoryRawSource source(StillFile(c.fields));
        RecordingProgress progress;
        KivoGrabInfo info = test::ColourCameraGrab(c.quality);
        info.Negative = c.negative;
        YuvImage image(info, nullptr);
        ASSERT_EQ(image.Decode(info, &progress, nullptr, &source), DecodeOk);
        EXPECT_EQ(progress.steps, c.steps);
        EXPECT_EQ(progress.phases, c.phases);
        EXPECT_EQ(progress.done, c.steps - (c.fields == 1));  // one line fewer decoded than stored
        EXPECT_EQ(progress.fields, c.fields);                 // one per pass
    }
}

// A tape's field of the wrong colour frame is retried before any line is counted.
TEST(DecodeProgress, AWrongColourFrameFromATapeIsRetriedBeforeAnyOfItsLines) {
    const auto still = testing::StillFields(testing::SyntheticVideo(), 16);
    std::vector<uint8_t> file;
    for (size_t i = 0; i < still.size(); ++i) {
        if (i == 2) AppendRawRecord(file, NoSync, still[0]);
        AppendRawRecord(file, NoSync, still[i]);
    }
    MemoryRawSource source(file);
    RecordingProgress progress;
    const KivoGrabInfo info = test::ColourCameraGrab(2);
    YuvImage image(info, nullptr);
    ASSERT_EQ(image.Decode(info, &progress, nullptr, &source), DecodeOk);
    EXPECT_GT(source.acquisitions, 6);  // 6 without the wrong frame
    EXPECT_EQ(image.passesDone, 4);
    EXPECT_EQ(progress.done, progress.steps);
}

TEST(DecodeProgress, AbortStopsAnyPhaseAndDeletesTheDump) {
    test::TempSettingsFolder dir;
    const std::string dump = dir.File("abort.nsr");
    // In the capture passes, in the single-frame decoder and in the colour correction.
    for (int abortAt : {1, 300, 700}) {
        MemoryRawSource source(StillFile(1));
        RecordingProgress progress;
        progress.abortAt = abortAt;
        KivoGrabInfo info = test::ColourCameraGrab(0);
        info.Negative = 1;
        YuvImage image(info, nullptr);
        EXPECT_EQ(image.Decode(info, &progress, dump.c_str(), &source), DecodeAborted) << abortAt;
        EXPECT_FALSE(std::filesystem::exists(dump));
        EXPECT_FALSE(source.powered);
        EXPECT_EQ(image.chunk.Data(), nullptr);
    }
}

// Lock lost after the first frame: a camera retries 16 times (every second attempt takes two
// fields) and reports it, a tape stops at once; the picture comes from the first frame.
TEST(DecodeProgress, UnstableSignalStopsThePassesAndSaysSo) {
    for (int camera : {0, 1}) {
        test::UnstableSource source(StillFile(40));
        RecordingProgress progress;
        KivoGrabInfo info = test::ColourCameraGrab(2);
        info.CameraInput = camera;
        YuvImage image(info, nullptr);
        ASSERT_EQ(image.Decode(info, &progress, nullptr, &source), DecodeOk);
        EXPECT_EQ(image.passesDone, 2);
        EXPECT_EQ(source.acquisitions, camera ? 2 + 8 * 1 + 8 * 2 : 3);
        EXPECT_EQ(progress.exhausted, camera ? std::vector<bool>{false} : std::vector<bool>{});
        EXPECT_EQ(static_cast<int8_t>(image.lineTable.Line(100)[kSampleWidth + 300]), 15);
    }
}

}  // namespace
}  // namespace kivoly
