// The settings folder (what the system calls its Windows directory): $KIVOLY_HOME, else
// $XDG_CONFIG_HOME/kivoly, else ~/.config/kivoly. Read from the environment at every call so
// that tests and hosts can move it; a host can also set the folder outright.
#pragma once

#include <string>

namespace kivoly::platform {

std::string SettingsFolder();
// A folder that takes precedence over the environment; null or "" returns to it.
void SetSettingsFolderOverride(const char* folder);

}  // namespace kivoly::platform
