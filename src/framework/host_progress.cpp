// The host's progress observer (kivoly/host.h), seen by the feedback as a ProgressObserver.
#include "framework/internal/progress_observer.h"
#include "kivoly/host.h"

namespace {

class HostObserver : public kivoly::ProgressObserver {
  public:
    void OnProgress(const char* text, uint16_t reached, uint16_t limit) override {
        callbacks.update(text, reached, limit, callbacks.context);
    }
    void OnPhaseEnd() override {
        if (callbacks.finish) callbacks.finish(callbacks.context);
    }

    KivolyProgressObserver callbacks{};
};

HostObserver gHostObserver;

}  // namespace

extern "C" void KivolyHostSetProgressObserver(const KivolyProgressObserver* observer) {
    if (!observer || !observer->update) {
        if (kivoly::CurrentProgressObserver() == &gHostObserver) {
            kivoly::InstallProgressObserver(nullptr);
        }
        return;
    }
    gHostObserver.callbacks = *observer;
    kivoly::InstallProgressObserver(&gHostObserver);
}
