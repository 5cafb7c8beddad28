#include "api/decode_feedback.h"

#include "framework/progress_feedback.h"

namespace kivoly {

namespace {

constexpr int kStringCapturing = 76;
constexpr int kStringCapturingFirst = 77;
constexpr int kStringCapturingSecond = 78;
constexpr int kStringAnalyzing = 80;

}  // namespace

void DecodeFeedback::Begin(uint16_t steps) {
    feedback_.BeginById(kStringCapturing, steps, true);
}

void DecodeFeedback::EnterPhase(Phase phase, uint16_t done) {
    switch (phase) {
        case Phase::FirstFrame:
            feedback_.UpdateById(0, kStringCapturingFirst);
            break;
        case Phase::SecondFrame:
            feedback_.UpdateById(0, kStringCapturingSecond);
            break;
        case Phase::Analyzing:
            feedback_.UpdateById(0, kStringAnalyzing);
            break;
        case Phase::CorrectingColours:
            feedback_.Update(done, "Color Correcting");
            break;
    }
}

void DecodeFeedback::Advance(uint16_t done) {
    feedback_.Update(done, nullptr);
}

void DecodeFeedback::FieldStarted() {
    feedback_.PlaySound();
}

void DecodeFeedback::RetriesExhausted(bool rescans) {
    feedback_.Query(rescans ? 1 : 0);
}

bool DecodeFeedback::Aborted() const {
    return feedback_.IsAborted();
}

}  // namespace kivoly
