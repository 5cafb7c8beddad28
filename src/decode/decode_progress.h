// DecodeProgress: what a decode tells the one who waits for it, and where it learns that the
// user has had enough. The decoder counts its steps (one a line of each pass) and names its
// phases; how they are shown, worded, or kept alive between updates is the caller's affair.
#pragma once

#include <cstdint>

namespace kivoly {

class DecodeProgress {
  public:
    enum class Phase {
        FirstFrame,         // the first frame's fields are being captured
        SecondFrame,        // the second frame's, decoded against the first as they arrive
        Analyzing,          // one frame is decoded on its own (the single-frame separator)
        CorrectingColours,  // the cast of a negative is being removed
    };

    virtual ~DecodeProgress() = default;
    // A decode starts that takes `steps` steps.
    virtual void Begin(uint16_t steps) = 0;
    // A phase starts after `done` steps.
    virtual void EnterPhase(Phase phase, uint16_t done) = 0;
    // `done` steps are done.
    virtual void Advance(uint16_t done) = 0;
    // The first line of a field has been taken.
    virtual void FieldStarted() {}
    // The capture's retry counters ran out (`rescans`: the counter of rescans).
    virtual void RetriesExhausted(bool /*rescans*/) {}
    // True once the user asked to stop.
    virtual bool Aborted() const = 0;
};

}  // namespace kivoly
