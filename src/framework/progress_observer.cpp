#include "framework/internal/progress_observer.h"

#include "platform/process_state.h"

namespace kivoly {

void InstallProgressObserver(ProgressObserver* observer) {
    Process().progressObserver = observer;
}

ProgressObserver* CurrentProgressObserver() {
    return Process().progressObserver;
}

}  // namespace kivoly
