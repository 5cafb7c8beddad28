// The state that belongs to the process rather than to one object: the services a host or a test
// installed in place of the defaults, the held keys, the ports left with a device powered, the
// device preview's carry-over and the guard against re-entering a capture. It lives here, below
// every layer that uses it, so that ResetProcessState returns all of it to how the library loads.
//
// The host's configuration (its device choice, its settings folder) is not state in this sense
// and is kept by the calls that set it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <random>

#include "platform/message_box.h"
#include "platform/save_file_dialog.h"

namespace kivoly {

class ProgressObserver;

namespace platform {
class Clock;
class Display;
class PortIo;
class SoundBackend;
}  // namespace platform

inline constexpr int kDetectedPortSlots = 4;

// What the device's live preview keeps from one preview to the next (the no-sync count and the
// noise it shows without a signal), and the running preview's palette and stop request.
struct DevicePreviewState {
    uint8_t* palette = nullptr;  // the caller's, while a preview runs
    bool negative = false;
    bool stop = false;
    int16_t noSyncCount = 0;  // 0 to 6
    std::minstd_rand noise{0x4B49};
};

struct ProcessState {
    template <typename Function>
    struct Responder {
        Function function = nullptr;
        void* context = nullptr;
    };

    // Installed services (not owned); null means the default one.
    std::atomic<platform::Clock*> clock{nullptr};
    platform::PortIo* portIo = nullptr;  // over the host's device choice
    platform::SoundBackend* sound = nullptr;
    platform::Display* display = nullptr;
    Responder<platform::MessageBoxResponder> messageBox;
    Responder<platform::SaveFileResponder> saveFile;
    ProgressObserver* progressObserver = nullptr;

    // Virtual-key codes held down, as the host reports them.
    std::array<std::atomic<bool>, 256> keysDown{};

    // The device.
    std::array<uint16_t, kDetectedPortSlots> detectedPorts{};
    DevicePreviewState devicePreview;
    bool captureBusy = false;
};

ProcessState& Process();

// Removes whatever was installed, releases every key, empties the tables, destroys every window
// and empties the message queue, and forgets the recorded message boxes, save requests and
// sounds: the process as the library found it when it loaded.
void ResetProcessState();

}  // namespace kivoly
