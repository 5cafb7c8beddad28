// The settings as the library reads them, and what the program needs of the library itself.
#include <cstring>
#include <vector>

#include "api/settings_io.h"
#include "framework/settings_file.h"
#include "kivoly/tools.h"
#include "platform/atomic_file.h"
#include "platform/profile.h"
#include "platform/settings_folder.h"
#include "resources/version.h"

namespace kivoly::tools {

const char* const kAcquireSection = kivoly::kAcquireSection;
const char* const kInterfaceSection = kivoly::kInterfaceSection;
const char* const kProcessingSection = kivoly::kProcessingSection;
const char* const kSoundSection = kivoly::kSoundSection;

std::string SettingsFolder() {
    return platform::SettingsFolder();
}

std::string SettingsFilePath() {
    return platform::ProfilePath(kSettingsFileName);
}

std::optional<std::string> StoredSetting(const char* section, const char* key,
                                         std::size_t capacity) {
    constexpr const char* kMissing = "\x01";
    std::vector<char> text(capacity);
    platform::ReadProfileString(section, key, kMissing, text.data(), static_cast<int>(text.size()),
                                kSettingsFileName);
    if (std::strcmp(text.data(), kMissing) == 0) return std::nullopt;
    return std::string(text.data());
}

VideoLockTime ReadVideoLockTime() {
    const SettingsFile file(kSettingsFileName);
    const double stored = kivoly::ReadVideoLockTime(file);
    return {stored, AcceptedVideoLockTime(stored)};
}

const char* VersionText() {
    return kVersionText;
}

void RemoveTemporariesOnSignal() {
    platform::RemoveTemporariesOnSignal();
}

}  // namespace kivoly::tools
