// A progress observer sees what the progress window shows, at the moments the feedback repaints
// it (at most every 72 ms, and at value 0), whether or not a window is shown. The program uses
// one to draw the progress on a terminal.
#pragma once

#include <cstdint>

namespace kivoly {

class ProgressObserver {
  public:
    virtual ~ProgressObserver() = default;
    // The phase's text, the highest value reached and the value at which it is complete.
    virtual void OnProgress(const char* text, uint16_t reached, uint16_t limit) = 0;
    // A phase reached its limit or was aborted, or the busy section ended.
    virtual void OnPhaseEnd() = 0;
};

// Installs `observer` (not owned); null removes it.
void InstallProgressObserver(ProgressObserver* observer);
ProgressObserver* CurrentProgressObserver();

}  // namespace kivoly
