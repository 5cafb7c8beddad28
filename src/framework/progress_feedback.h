// Progress feedback: every long operation (capturing, analysing, decoding, converting) reports
// to one of these, polls it for an abort, and keeps the user interface alive through the
// message pump inside Update. The Grabber is itself the feedback (it derives from
// GrabberFeedback), so the operations of every subsystem receive the Grabber as their sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

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
    virtual void ClearAbort() { abortRequested_ = false; }
    virtual void RequestAbort() { abortRequested_ = true; }

    // An abort was requested; it counts (IsAborted) only while the phase can be cancelled.
    bool AbortRequested() const { return abortRequested_; }
    bool IsAborted() const { return cancellable_ && abortRequested_; }
    bool IsCancellable() const { return cancellable_; }
    const char* Text() const { return text_; }
    // The highest value of the phase so far, and the value at which it is complete.
    uint16_t Reached() const { return reached_; }
    uint16_t Limit() const { return limit_; }
    // Whether updates show the progress window, and the window while one is shown.
    bool ShowsWindow() const { return showWindow_; }
    void SetShowsWindow(bool show) { showWindow_ = show; }
    const ProgressWindow* Window() const { return progressWindow_.get(); }

  protected:
    // Closes the progress window and tells the observer that the phase ended.
    void CloseWindow();

  private:
    static constexpr std::size_t kTextSize = 80;

    bool abortRequested_ = false;
    bool cancellable_ = false;
    char text_[kTextSize] = {};
    uint16_t limit_ = 0;
    uint16_t reached_ = 0;
    const platform::AcceleratorTable* accelerators_ = nullptr;
    std::unique_ptr<ProgressWindow> progressWindow_;  // null while none is shown
    int32_t lastUpdateTime_ = 0;
    bool showWindow_ = true;
};

class GrabberFeedback : public ProgressFeedback {
  public:
    // Reads "KivoSound" and "ShowProgress" from the settings file.
    GrabberFeedback();

    void PlaySound() override;
    void EndBusy() override;
    void BeginBusy() { ++busyCount_; }
    bool Busy() const { return busyCount_ > 0; }

  private:
    int32_t busyCount_ = 0;
    char soundName_[80] = {};
};

}  // namespace kivoly
