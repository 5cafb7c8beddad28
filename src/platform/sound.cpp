#include "platform/sound.h"

#include <strings.h>

#include <array>

#include "platform/file_search.h"
#include "platform/process_state.h"

namespace kivoly::platform {
namespace {

// The system sounds that every installation knows by name.
constexpr std::array<const char*, 8> kSystemSounds{
    "SystemAsterisk", "SystemDefault",  "SystemExclamation", "SystemExit",
    "SystemHand",     "SystemQuestion", "SystemStart",       ".Default",
};

bool IsSystemSound(const std::string& name) {
    for (const char* known : kSystemSounds) {
        if (strcasecmp(known, name.c_str()) == 0) return true;
    }
    return false;
}

class RecordingBackend : public SoundBackend {
  public:
    bool Play(const std::string& name, unsigned flags) override {
        events.push_back({SoundEvent::Play, name, flags});
        return IsSystemSound(name) || !FindFile(name.c_str()).empty();
    }
    void Stop() override { events.push_back({SoundEvent::Stop, "", 0}); }
    void Beep(unsigned type) override { events.push_back({SoundEvent::Beep, "", type}); }

    std::vector<SoundEvent> events;
};

RecordingBackend& Recorder() {
    static RecordingBackend recorder;
    return recorder;
}

SoundBackend& Backend() {
    SoundBackend* installed = Process().sound;
    return installed ? *installed : Recorder();
}

}  // namespace

bool PlaySound(const char* name, unsigned flags) {
    if (!name || !*name) {
        Backend().Stop();
        return true;
    }
    return Backend().Play(name, flags);
}

void StopSound() {
    Backend().Stop();
}

void MessageBeep(unsigned type) {
    Backend().Beep(type);
}

void InstallSoundBackend(SoundBackend* backend) {
    Process().sound = backend;
}

const std::vector<SoundEvent>& RecordedSounds() {
    return Recorder().events;
}

void ClearRecordedSounds() {
    Recorder().events.clear();
}

}  // namespace kivoly::platform
