// Feeds arbitrary bytes to the profile reader as a settings file: in memory, where every edit
// must read back, and as "Kivoly.ini" through the loader of the Grabber's records.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "api/settings_io.h"
#include "framework/settings_file.h"
#include "platform/internal/profile_text.h"
#include "platform/profile.h"
#include "platform/settings_folder.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "profile_fuzzer: %s\n", what);
        std::abort();
    }
}

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/kivoly-fuzz-XXXXXX";
        Check(::mkdtemp(pattern) != nullptr, "cannot create a scratch folder");
        kivoly::platform::SetSettingsFolderOverride(pattern);
        return std::string(pattern);
    }();
    return folder;
}

void CheckEdits(std::string_view text) {
    using namespace kivoly::platform;
    const auto otherBefore = FindProfileValue(text, "Sound", "KivoSound");
    const std::string edited = SetProfileValue(text, "KivoAcquireInformation", "Quality", "2");
    Check(FindProfileValue(edited, "kivoacquireinformation", "QUALITY") == "2",
          "a written value does not read back");
    Check(FindProfileValue(edited, "Sound", "KivoSound") == otherBefore,
          "a write changed another section");
    Check(SetProfileValue(edited, "KivoAcquireInformation", "Quality", "2") == edited,
          "writing the same value again changed the text");
}

void CheckFile(const uint8_t* data, std::size_t size) {
    const std::string path = ScratchFolder() + "/Kivoly.ini";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "cannot write the settings file");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const kivoly::SettingsFile settings(kivoly::kSettingsFileName);
    const kivoly::StoredSettings stored = kivoly::LoadStoredSettings(settings);
    const int width = stored.processInfo.Width;
    Check(width == 320 || width == 640 || width == 1500, "the width was not normalised");
    kivoly::ReadVideoLockTime(settings);
    char small[3];
    kivoly::platform::ReadProfileString("Sound", "KivoSound", "", small, sizeof small,
                                        "kivoly.ini");
    Check(small[2] == '\0' || small[1] == '\0' || small[0] == '\0', "a buffer was overrun");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckEdits(text);
    CheckFile(data, size);
    return 0;
}
