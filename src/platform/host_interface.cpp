// The C calls of kivoly/host.h, each an adapter onto a platform service.
#include "kivoly/host.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"
#include "platform/global_memory.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/save_file_dialog.h"
#include "platform/settings_folder.h"
#include "platform/sound.h"

namespace kivoly::platform {
namespace {

struct HostResponder {
    KivolyMessageBoxResponder function;
    void* context;
};
HostResponder gResponder{};

int AnswerThroughHost(const MessageBoxRecord& box, void* context) {
    const auto* host = static_cast<const HostResponder*>(context);
    return host->function(box.owner, box.text.c_str(), box.caption.c_str(), box.style,
                          host->context);
}

class HostSound : public SoundBackend {
  public:
    bool Play(const std::string& name, unsigned flags) override {
        return table.play(name.c_str(), flags, table.context) != 0;
    }
    void Stop() override { table.stop(table.context); }
    void Beep(unsigned type) override { table.beep(type, table.context); }

    KivolySoundBackend table{};
};
HostSound gSound;

struct HostSaveFile {
    KivolySaveFileResponder function;
    void* context;
};
HostSaveFile gSaveFile{};

bool SaveThroughHost(const SaveFileRequest& request, std::string& name, void* context) {
    const auto* host = static_cast<const HostSaveFile*>(context);
    std::string buffer(static_cast<std::size_t>(std::max(request.maxLength, 1)), '\0');
    std::memcpy(buffer.data(), request.initialName.data(),
                std::min(request.initialName.size(), buffer.size() - 1));
    if (!host->function(request.filterPattern.c_str(), request.defaultExtension.c_str(),
                        buffer.data(), static_cast<int32_t>(buffer.size()), host->context)) {
        return false;
    }
    buffer.back() = '\0';  // a responder that filled the whole buffer is cut, not overrun
    name = buffer.c_str();
    return !name.empty();
}

class HostClock : public Clock {
  public:
    int32_t NowMs() override { return function(context); }

    KivolyClockFunction function = nullptr;
    void* context = nullptr;
};
HostClock gClock;

}  // namespace
}  // namespace kivoly::platform

using namespace kivoly::platform;

extern "C" {

void KivolyHostSetSettingsFolder(const char* folder) {
    SetSettingsFolderOverride(folder);
}

void KivolyHostSetKeyDown(int32_t virtualKey, int32_t down) {
    SetKeyDownNow(virtualKey, down != 0);
}

void KivolyHostReleaseAllKeys(void) {
    ReleaseAllKeys();
}

void KivolyHostSetMessageBoxResponder(KivolyMessageBoxResponder responder, void* context) {
    gResponder = {responder, context};
    InstallMessageBoxResponder(responder ? AnswerThroughHost : nullptr, &gResponder);
}

void KivolyHostSetSaveFileResponder(KivolySaveFileResponder responder, void* context) {
    gSaveFile = {responder, context};
    InstallSaveFileResponder(responder ? SaveThroughHost : nullptr, &gSaveFile);
}

KivoBitmapInfoHeader* KivolyHostLockBitmap(KivoHGlobal bitmap) {
    return static_cast<KivoBitmapInfoHeader*>(GlobalLock(bitmap));
}

int32_t KivolyHostUnlockBitmap(KivoHGlobal bitmap) {
    return GlobalUnlock(bitmap) ? 1 : 0;
}

int64_t KivolyHostBitmapSize(KivoHGlobal bitmap) {
    return static_cast<int64_t>(GlobalSize(bitmap));
}

void KivolyHostSetSoundBackend(const KivolySoundBackend* backend) {
    if (!backend || !backend->play || !backend->stop || !backend->beep) {
        InstallSoundBackend(nullptr);
        return;
    }
    gSound.table = *backend;
    InstallSoundBackend(&gSound);
}

void KivolyHostSetClock(KivolyClockFunction nowMs, void* context) {
    gClock.function = nowMs;
    gClock.context = context;
    InstallClock(nowMs ? &gClock : nullptr);
}

int32_t KivolyHostNowMs(void) {
    return NowMs();
}
}
