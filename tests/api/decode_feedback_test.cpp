// A decode's phases become the Grabber's texts and range, its steps updates; aborts go back.
#include <gtest/gtest.h>

#include <string>

#include "api/decode_feedback.h"
#include "framework/progress_feedback.h"

namespace kivoly {
namespace {

struct RecordingFeedback : ProgressFeedback {
    void BeginById(int id, uint16_t steps, bool canCancel) override {
        SetRange(steps, canCancel);
        Note("begin", id, steps);
    }
    void UpdateById(uint16_t value, int id) override { Note("text", id, value); }
    void Update(uint16_t value, const char* text) override { Note(text ? text : "at", 0, value); }
    void PlaySound() override { Note("sound", 0, 0); }
    int Query(int flag) override {
        Note("query", flag, 0);
        return 0;
    }
    void Note(const std::string& what, int id, int value) {
        log += what + " " + std::to_string(id) + " " + std::to_string(value) + "; ";
    }
    std::string log;
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
    EXPECT_EQ(feedback.log,
              "begin 76 968; text 77 0; at 0 1; sound 0 0; text 78 0; text 80 0; "
              "Color Correcting 0 725; query 1 0; query 0 0; ");
    EXPECT_TRUE(feedback.IsCancellable());
    EXPECT_FALSE(progress.Aborted());
    feedback.RequestAbort();
    EXPECT_TRUE(progress.Aborted());
}

}  // namespace
}  // namespace kivoly
