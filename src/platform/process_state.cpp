#include "platform/process_state.h"

#include "platform/sound.h"
#include "platform/window/display.h"
#include "platform/window/window.h"

namespace kivoly {

ProcessState& Process() {
    static ProcessState state;
    return state;
}

void ResetProcessState() {
    ProcessState& state = Process();
    // Windows go first: destroying them runs their code, which may still use the services.
    platform::ResetWindowSystem();
    platform::SetHeadlessIdleHandler(nullptr, nullptr);
    state.clock.store(nullptr, std::memory_order_release);
    state.portIo = nullptr;
    state.sound = nullptr;
    state.display = nullptr;
    state.messageBox = {};
    state.saveFile = {};
    state.progressObserver = nullptr;
    for (auto& key : state.keysDown)
        key.store(false, std::memory_order_relaxed);
    state.detectedPorts.fill(0);
    state.devicePreview = {};
    state.captureBusy = false;
    platform::ClearShownMessageBoxes();
    platform::ClearSaveFileRequests();
    platform::ClearRecordedSounds();
}

}  // namespace kivoly
