// DecodeFeedback: a decode's progress shown through a ProgressFeedback (the Grabber's window,
// strings, sound and message pump).
#pragma once

#include "decode/decode_progress.h"

namespace kivoly {

class ProgressFeedback;

class DecodeFeedback final : public DecodeProgress {
  public:
    explicit DecodeFeedback(ProgressFeedback& feedback) : feedback_(feedback) {}

    void Begin(uint16_t steps) override;
    void EnterPhase(Phase phase, uint16_t done) override;
    void Advance(uint16_t done) override;
    void FieldStarted() override;
    void RetriesExhausted(bool rescans) override;
    bool Aborted() const override;

  private:
    ProgressFeedback& feedback_;
};

}  // namespace kivoly
