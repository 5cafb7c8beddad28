// Progress feedback: every long operation (capturing, analysing, decoding, converting) reports
// to one of these, polls it for an abort, and keeps the user interface alive through the
// message pump inside Update. The Grabber is itself the feedback (it derives from
// GrabberFeedback), so the operations of every subsystem receive the Grabber as their sink.
#pragma once

#include <cstdint>

namespace kivoly::platform {
struct AcceleratorTable;
}

namespace kivoly {

class ProgressWindow;

class ProgressFeedback {
  public:
    ProgressFeedback();
    virtual ~ProgressFeedback();  // closes the progress window
    ProgressFeedback(const ProgressFeedback&) = delete;
    ProgressFeedback& operator=(const ProgressFeedback&) = delete;

    // Sets the range, then updates with value 0 and the text.
    virtual void Begin(const char* text, uint16_t limit, bool cancellable);
    // Sets the range, then updates with value 0 and the string `stringId`.
    virtual void BeginById(int stringId, uint16_t limit, bool cancellable);
    // Pumps the thread's messages, polls the right mouse button and repaints at most every 72 ms.
    virtual void Update(uint16_t value, const char* text);
    // Update with the string `stringId` (0: without text).
    virtual void UpdateById(uint16_t value, int stringId);
    virtual void PlaySound() {}
    virtual void EndBusy() {}
    virtual void SetRange(uint16_t limit, bool cancellable);
    // Asked when a retry counter of the capture passes runs out (1: the rescan counter).
    // 0 leaves the decision to the caller.
    virtual int Query(int flag);
    virtual void ClearAbort() { abortFlag = 0; }
    virtual void RequestAbort() { abortFlag = 1; }

    bool IsAborted() const { return cancellable != 0 && abortFlag != 0; }
    bool IsCancellable() const { return cancellable != 0; }
    const char* Text() const { return text; }

    int32_t abortFlag = 0;
    int32_t cancellable = 0;
    char text[80] = {};
    uint16_t limit = 0;
    uint16_t reached = 0;
    const platform::AcceleratorTable* accelerators = nullptr;
    ProgressWindow* progressWindow = nullptr;  // owned; null while none is shown
    int32_t lastUpdateTime = 0;
    int32_t showFlag = 1;
};

class GrabberFeedback : public ProgressFeedback {
  public:
    // Reads "KivoSound" and "ShowProgress" from the settings file.
    GrabberFeedback();

    void PlaySound() override;
    void EndBusy() override;
    void BeginBusy() { ++busyCount; }

    int32_t busyCount = 0;
    char soundName[80] = {};
};

}  // namespace kivoly
