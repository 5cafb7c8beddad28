#include "framework/internal/progress_observer.h"

namespace kivoly {

namespace {
ProgressObserver* gObserver = nullptr;
}

void InstallProgressObserver(ProgressObserver* observer) {
    gObserver = observer;
}

ProgressObserver* CurrentProgressObserver() {
    return gObserver;
}

}  // namespace kivoly
