#include "framework/settings_file.h"

#include <cstdio>
#include <cstring>

#include "platform/profile.h"

namespace kivoly {

SettingsFile::SettingsFile(const char* fileName) {
    if (fileName) std::strncpy(fileName_, fileName, sizeof fileName_ - 1);
}

void SettingsFile::ReadString(const char* section, const char* key, char* destination) const {
    platform::ReadProfileString(section, key, "", destination, 15, fileName_);
}

int SettingsFile::ReadInt(const char* section, const char* key, int fallback) const {
    return platform::ReadProfileInt(section, key, fallback, fileName_);
}

void SettingsFile::WriteInt(const char* section, const char* key, int value) const {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    platform::WriteProfileString(section, key, text, fileName_);
}

void SettingsFile::WriteString(const char* section, const char* key, const char* text) const {
    platform::WriteProfileString(section, key, text, fileName_);
}

}  // namespace kivoly
