// Sounds, played by file name or by system-sound name. The default back end records what was
// asked, so that tests can check it; a desktop host installs one that really plays.
#pragma once

#include <string>
#include <vector>

namespace kivoly::platform {

enum SoundFlags : unsigned {
    SoundSync = 0x0000,
    SoundAsync = 0x0001,
    SoundNoDefault = 0x0002,  // no default sound when the name cannot be played
    SoundLoop = 0x0008,
    SoundNoStop = 0x0010,  // yield to a sound that is already playing
};

// Plays `name`; false when it cannot be played. A null or empty name stops any sound.
bool PlaySound(const char* name, unsigned flags);
void StopSound();
// The standard system beep (type 0) or a system sound type.
void MessageBeep(unsigned type);

// What the recording back end saw, oldest first.
struct SoundEvent {
    enum Kind { Play, Stop, Beep } kind;
    std::string name;
    unsigned flags = 0;
};

// The back end that plays sounds.
class SoundBackend {
  public:
    virtual ~SoundBackend() = default;
    virtual bool Play(const std::string& name, unsigned flags) = 0;
    virtual void Stop() = 0;
    virtual void Beep(unsigned type) = 0;
};

// Installs a back end (not owned); null restores the recording one.
void InstallSoundBackend(SoundBackend* backend);
// The recording back end's log, and a way to clear it. It plays a name only when a file of that
// name exists or it is a known system sound; otherwise Play reports failure.
const std::vector<SoundEvent>& RecordedSounds();
void ClearRecordedSounds();

}  // namespace kivoly::platform
