#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/decode_progress.h"
#include "decode/synthetic_video.h"
#include "decode/yuv_image.h"

namespace kivoly {
namespace {

// Notes what a decode reports, and asks to abort at a chosen step.
struct RecordingProgress : DecodeProgress {
    using Phase = DecodeProgress::Phase;
    void Begin(uint16_t total) override { steps = total; }
    void EnterPhase(Phase phase, uint16_t at) override { phases.push_back({phase, at}); }
    void Advance(uint16_t count) override {
        done = count;
        ++advances;
        if (advances == abortAt) aborted = true;
    }
    void FieldStarted() override { ++fields; }
    void RetriesExhausted(bool rescans) override { exhausted.push_back(rescans); }
    bool Aborted() const override { return aborted; }

    int steps = -1;
    std::vector<std::pair<Phase, int>> phases;
    std::vector<bool> exhausted;
    int done = 0;
    int advances = 0;
    int fields = 0;
    int abortAt = -1;
    bool aborted = false;
};

std::vector<uint8_t> StillFile(int fields) {
    testing::SyntheticVideo video;
    video.u = 15;
    const std::vector<uint8_t> a = video.Field();
    video.inversion = -1;
    const std::vector<uint8_t> b = video.Field();
    std::vector<std::vector<uint8_t>> all;
    for (int i = 0; i < fields; ++i)
        all.push_back((i / 2) % 2 ? b : a);
    return testing::RawFile(all);
}

KivoGrabInfo Info(int quality) {
    KivoGrabInfo info{};
    info.Quality = quality;
    info.UseColor = 1;
    info.CameraInput = 1;
    return info;
}

TEST(DecodeProgress, TwoFramesReportEveryLine) {
    MemoryRawSource source(StillFile(4));
    RecordingProgress progress;
    const KivoGrabInfo info = Info(2);
    YuvImage image(info, nullptr);
    ASSERT_EQ(image.Decode(info, &progress, nullptr, &source), DecodeOk);
    EXPECT_EQ(progress.steps, 484 * 2);
    using Phase = DecodeProgress::Phase;
    const std::vector<std::pair<Phase, int>> phases = {{Phase::FirstFrame, 0},
                                                       {Phase::SecondFrame, 2 * 242}};
    EXPECT_EQ(progress.phases, phases);
    EXPECT_EQ(progress.advances, 4 * 242);
    EXPECT_EQ(progress.done, 4 * 242);
    EXPECT_EQ(progress.fields, 4);  // one per pass
}

TEST(DecodeProgress, SingleFrameAndColourCorrectionContinueTheCount) {
    MemoryRawSource source(StillFile(1));
    RecordingProgress progress;
    KivoGrabInfo info = Info(0);
    info.Negative = 1;
    YuvImage image(info, nullptr);
    ASSERT_EQ(image.Decode(info, &progress, nullptr, &source), DecodeOk);
    EXPECT_EQ(progress.steps, 242 * 3);
    // 242 stored lines, 241 decoded, 242 corrected.
    using Phase = DecodeProgress::Phase;
    const std::vector<std::pair<Phase, int>> phases = {
        {Phase::FirstFrame, 0}, {Phase::Analyzing, 242}, {Phase::CorrectingColours, 242 + 241}};
    EXPECT_EQ(progress.phases, phases);
    EXPECT_EQ(progress.done, 242 + 241 + 242);
}

TEST(DecodeProgress, AbortStopsAnyPhaseAndDeletesTheDump) {
    const std::string dump = (std::filesystem::temp_directory_path() / "kivoly-abort.nsr").string();
    // In the capture passes, in the single-frame decoder and in the colour correction.
    for (int abortAt : {1, 300, 700}) {
        MemoryRawSource source(StillFile(1));
        RecordingProgress progress;
        progress.abortAt = abortAt;
        KivoGrabInfo info = Info(0);
        info.Negative = 1;
        YuvImage image(info, nullptr);
        EXPECT_EQ(image.Decode(info, &progress, dump.c_str(), &source), DecodeAborted) << abortAt;
        EXPECT_FALSE(std::filesystem::exists(dump));
        EXPECT_FALSE(source.powered);
        EXPECT_EQ(image.chunk.Data(), nullptr);
    }
}

// A camera whose fields never lock after the first frame.
struct UnstableCamera : MemoryRawSource {
    using MemoryRawSource::MemoryRawSource;
    bool AcquireField() override {
        const bool ok = MemoryRawSource::AcquireField();
        if (acquisitions > 2) SetFieldFlags(NoSync | StatusPE);
        return ok;
    }
};

TEST(DecodeProgress, ExhaustedRetriesAreReported) {
    UnstableCamera camera(StillFile(40), true);
    RecordingProgress progress;
    const KivoGrabInfo info = Info(2);
    YuvImage image(info, nullptr);
    ASSERT_EQ(image.Decode(info, &progress, nullptr, &camera), DecodeOk);
    EXPECT_EQ(progress.exhausted, std::vector<bool>{false});
    EXPECT_EQ(image.passesDone, 2);
}

}  // namespace
}  // namespace kivoly
