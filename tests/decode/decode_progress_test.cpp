#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
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

// Two frames count each line in both; a single field, a negative, its 242 stored lines, the 241
// decoded and the 242 corrected.
TEST(DecodeProgress, EveryLineIsCountedInItsPhase) {
    using Phase = DecodeProgress::Phase;
    using Phases = std::vector<std::pair<Phase, int>>;
    const Phases two = {{Phase::FirstFrame, 0}, {Phase::SecondFrame, 484}};
    const Phases one = {
        {Phase::FirstFrame, 0}, {Phase::Analyzing, 242}, {Phase::CorrectingColours, 483}};
    for (const auto& [fields, steps, phases] : {std::tuple{4, 968, two}, {1, 726, one}}) {
        MemoryRawSource source(StillFile(fields));
        RecordingProgress progress;
        KivoGrabInfo info = test::ColourCameraGrab(fields == 1 ? 0 : 2);
        info.Negative = fields == 1;
        YuvImage image(info, nullptr);
        ASSERT_EQ(image.Decode(info, &progress, nullptr, &source), DecodeOk);
        EXPECT_EQ(progress.steps, steps);
        EXPECT_EQ(progress.phases, phases);
        EXPECT_EQ(progress.done, steps - (fields == 1));  // one line fewer decoded than stored
        EXPECT_EQ(progress.fields, fields);               // one per pass
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
