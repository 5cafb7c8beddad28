// A decode's phases become the Grabber's texts and range, its steps updates; aborts go back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/decode_feedback.h"
#include "framework/progress_feedback.h"

namespace kivoly {
namespace {

struct RecordingFeedback : ProgressFeedback {
    void BeginById(int id, uint16_t steps, bool canCancel) override {
        SetRange(steps, canCancel);
        log.push_back("begin " + std::to_string(id) + " " + std::to_string(steps));
    }
    void UpdateById(uint16_t value, int id) override {
        log.push_back("text " + std::to_string(id) + " at " + std::to_string(value));
    }
    void Update(uint16_t value, const char* text) override {
        log.push_back((text ? std::string(text) + " at " : "at ") + std::to_string(value));
    }
    void PlaySound() override { log.push_back("sound"); }
    int Query(int flag) override {
        log.push_back("query " + std::to_string(flag));
        return 0;
    }
    std::vector<std::string> log;
};

TEST(DecodeFeedback, PhasesBecomeTheGrabbersTextsAndStepsItsUpdates) {
    RecordingFeedback feedback;
    DecodeFeedback progress(feedback);
    using Phase = DecodeProgress::Phase;
    progress.Begin(968);
    progress.EnterPhase(Phase::FirstFrame, 0);
    progress.Advance(1);
    progress.FieldStarted();
    progress.EnterPhase(Phase::SecondFrame, 484);
    progress.EnterPhase(Phase::Analyzing, 500);
    progress.EnterPhase(Phase::CorrectingColours, 725);
    progress.RetriesExhausted(true);
    progress.RetriesExhausted(false);
    EXPECT_EQ(feedback.log, (std::vector<std::string>{
                                "begin 76 968", "text 77 at 0", "at 1", "sound", "text 78 at 0",
                                "text 80 at 0", "Color Correcting at 725", "query 1", "query 0"}));
    EXPECT_TRUE(feedback.IsCancellable());
    EXPECT_FALSE(progress.Aborted());
    feedback.RequestAbort();
    EXPECT_TRUE(progress.Aborted());
}

}  // namespace
}  // namespace kivoly
