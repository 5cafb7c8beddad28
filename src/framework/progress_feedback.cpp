#include "framework/progress_feedback.h"

#include <strings.h>

#include <cstring>

#include "framework/internal/progress_observer.h"
#include "framework/progress_window.h"
#include "framework/settings_file.h"
#include "framework/window_classes.h"
#include "platform/clock.h"
#include "platform/key_state.h"
#include "platform/sound.h"
#include "platform/window/accelerators.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "resources/accelerator_table.h"
#include "resources/string_table.h"

namespace kivoly {

using namespace platform;

namespace {

// The bar and its frame; a new text repaints the whole window instead.
constexpr Rect kBarArea{19, 29, 300, 50};
// Repaint at most this often (value 0 always repaints).
constexpr int32_t kRepaintIntervalMs = 72;

}  // namespace

ProgressFeedback::ProgressFeedback() {
    accelerators_ = LoadAccelerators(kMainAccelerators);
    RegisterFrameworkClass(FrameworkClass::Progress);
    lastUpdateTime_ = NowMs();
}

ProgressFeedback::~ProgressFeedback() {
    CloseWindow();
}

void ProgressFeedback::CloseWindow() {
    if (!progressWindow_) return;
    progressWindow_.reset();
    if (ProgressObserver* observer = CurrentProgressObserver()) observer->OnPhaseEnd();
}

void ProgressFeedback::Begin(const char* phaseText, uint16_t phaseLimit, bool canCancel) {
    SetRange(phaseLimit, canCancel);
    Update(0, phaseText);
}

void ProgressFeedback::BeginById(int stringId, uint16_t phaseLimit, bool canCancel) {
    SetRange(phaseLimit, canCancel);
    UpdateById(0, stringId);
}

void ProgressFeedback::Update(uint16_t value, const char* newText) {
    Rect repaint = kBarArea;
    if (value > reached_) reached_ = value;

    Message message;
    while (PeekMessage(message, nullptr, 0, 0, PmRemove)) {
        if (message.message == WmQuit) {
            // The thread is asked to end: the operation is aborted, and the request stays in
            // the queue for the loop that owns it instead of being swallowed here.
            RequestAbort();
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (progressWindow_) {
            if (!TranslateAccelerator(progressWindow_->hwnd, accelerators_, message)) {
                TranslateMessage(message);
            }
        }
        DispatchMessage(message);
    }

    if (GetKeyState(VkRButton) < 0) RequestAbort();

    ProgressObserver* observer = CurrentProgressObserver();
    if (value < limit_ && !IsAborted()) {
        int32_t now = NowMs();
        if (value != 0 && now - lastUpdateTime_ < kRepaintIntervalMs) return;
        if (newText) {
            std::strncpy(text_, newText, kTextSize - 1);
            text_[kTextSize - 1] = '\0';
        }
        if (showWindow_) {
            if (!progressWindow_) progressWindow_ = std::make_unique<ProgressWindow>(*this);
            if (newText) GetClientRect(progressWindow_->hwnd, repaint);
            InvalidateRect(progressWindow_->hwnd, &repaint, false);
            UpdateWindow(progressWindow_->hwnd);
        }
        lastUpdateTime_ = NowMs();
        if (observer) observer->OnProgress(text_, reached_, limit_);
    } else {
        if (!showWindow_ && value != 0) SetCursor(Cursor::Arrow);
        if (observer) {
            observer->OnProgress(text_, reached_, limit_);
            observer->OnPhaseEnd();
        }
    }
}

void ProgressFeedback::UpdateById(uint16_t value, int stringId) {
    if (stringId == 0) {
        Update(value, nullptr);
        return;
    }
    char loaded[80];
    LoadResourceString(stringId, loaded, sizeof(loaded));
    Update(value, loaded);
}

void ProgressFeedback::SetRange(uint16_t newLimit, bool canCancel) {
    limit_ = newLimit;
    cancellable_ = canCancel;
    ClearAbort();
    if (progressWindow_) progressWindow_->ShowCancel(canCancel);
    reached_ = 0;
}

int ProgressFeedback::Query(int /*flag*/) {
    return 0;
}

GrabberFeedback::GrabberFeedback() {
    SettingsFile settings("kivoly.ini");
    settings.ReadString("Sound", "KivoSound", soundName_);
    char show[16] = {};
    settings.ReadString("KivoSettings", "ShowProgress", show);
    SetShowsWindow(show[0] != 'F');
}

void GrabberFeedback::PlaySound() {
    // A missing key leaves the name empty, which plays nothing.
    if (soundName_[0] == '\0' || strcasecmp(soundName_, "None") == 0) return;
    if (!platform::PlaySound(soundName_, SoundAsync | SoundNoDefault | SoundNoStop)) {
        MessageBeep(0);
    }
}

void GrabberFeedback::EndBusy() {
    if (busyCount_ == 0) return;
    if (--busyCount_ == 0) CloseWindow();
}

}  // namespace kivoly
