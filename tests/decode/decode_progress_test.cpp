#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/synthetic_video.h"
#include "decode/yuv_image.h"
#include "framework/progress_feedback.h"

namespace kivoly {
namespace {

// Notes what a decode reports, and asks to abort at a chosen update.
struct RecordingFeedback : ProgressFeedback {
    struct Step {
        char kind;  // 'B' begin, 'I' update by id, 'U' update, 'T' update with text
        int value;
        int id;
    };
    void BeginById(int id, uint16_t phaseLimit, bool canCancel) override {
        SetRange(phaseLimit, canCancel);
        steps.push_back({'B', phaseLimit, id});
    }
    void UpdateById(uint16_t value, int id) override { steps.push_back({'I', value, id}); }
    void Update(uint16_t value, const char* newText) override {
        steps.push_back({newText ? 'T' : 'U', value, 0});
        if (newText) texts.push_back(newText);
        if (++updates == abortAt) RequestAbort();
    }
    void PlaySound() override { ++sounds; }
    int Query(int flag) override {
        queries.push_back(flag);
        return 0;
    }

    std::vector<Step> steps;
    std::vector<std::string> texts;
    std::vector<int> queries;
    int updates = 0;
    int abortAt = -1;
    int sounds = 0;

    int Count(char kind, int id = -1) const {
        int n = 0;
        for (const Step& s : steps)
            n += s.kind == kind && (id < 0 || s.id == id);
        return n;
    }
    int LastValue() const {
        for (auto s = steps.rbegin(); s != steps.rend(); ++s) {
            if (s->kind == 'U') return s->value;
        }
        return -1;
    }
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
    RecordingFeedback progress;
    const KivoGrabInfo info = Info(2);
    YuvImage image(info, nullptr);
    ASSERT_EQ(image.Decode(info, &progress, nullptr, &source), DecodeOk);
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_EQ(progress.steps[0].kind, 'B');
    EXPECT_EQ(progress.steps[0].id, 76);
    EXPECT_EQ(progress.steps[0].value, 484 * 2);
    EXPECT_TRUE(progress.IsCancellable());
    EXPECT_EQ(progress.Count('I', 77), 1);
    EXPECT_EQ(progress.Count('I', 78), 1);
    EXPECT_EQ(progress.Count('U'), 4 * 242);
    EXPECT_EQ(progress.LastValue(), 4 * 242);
    EXPECT_EQ(progress.sounds, 4);  // one per pass
}

TEST(DecodeProgress, SingleFrameAndColourCorrectionContinueTheCount) {
    MemoryRawSource source(StillFile(1));
    RecordingFeedback progress;
    KivoGrabInfo info = Info(0);
    info.Negative = 1;
    YuvImage image(info, nullptr);
    ASSERT_EQ(image.Decode(info, &progress, nullptr, &source), DecodeOk);
    EXPECT_EQ(progress.steps[0].value, 242 * 3);
    EXPECT_EQ(progress.Count('I', 80), 1);  // "Analyzing . . ."
    // 242 stored lines, 241 decoded, 242 corrected.
    EXPECT_EQ(progress.LastValue(), 242 + 241 + 242);
    ASSERT_EQ(progress.texts.size(), 1u);
    EXPECT_EQ(progress.texts[0], "Color Correcting");
}

TEST(DecodeProgress, AbortStopsAnyPhaseAndDeletesTheDump) {
    const std::string dump = (std::filesystem::temp_directory_path() / "kivoly-abort.nsr").string();
    // In the capture passes, in the single-frame decoder and in the colour correction.
    for (int abortAt : {1, 300, 700}) {
        MemoryRawSource source(StillFile(1));
        RecordingFeedback progress;
        progress.abortAt = abortAt;
        KivoGrabInfo info = Info(0);
        info.Negative = 1;
        YuvImage image(info, nullptr);
        EXPECT_EQ(image.Decode(info, &progress, dump.c_str(), &source), DecodeAborted) << abortAt;
        EXPECT_FALSE(std::filesystem::exists(dump));
        EXPECT_FALSE(source.powered);
        EXPECT_EQ(image.chunkBuffer, nullptr);
    }
}

// A camera whose fields never lock after the first frame.
struct UnstableCamera : MemoryRawSource {
    using MemoryRawSource::MemoryRawSource;
    bool AcquireField() override {
        const bool ok = MemoryRawSource::AcquireField();
        if (acquisitions > 2) fieldFlags = NoSync | StatusPE;
        return ok;
    }
};

TEST(DecodeProgress, ExhaustedRetriesAreQueried) {
    UnstableCamera camera(StillFile(40));
    camera.isHardware = 1;
    RecordingFeedback progress;
    const KivoGrabInfo info = Info(2);
    YuvImage image(info, nullptr);
    ASSERT_EQ(image.Decode(info, &progress, nullptr, &camera), DecodeOk);
    EXPECT_EQ(progress.queries, std::vector<int>{0});
    EXPECT_EQ(image.passesDone, 2);
}

}  // namespace
}  // namespace kivoly
