// The settings folder (what the system calls its Windows directory): $KIVOLY_HOME, else
// $XDG_CONFIG_HOME/kivoly, else ~/.config/kivoly. Read from the environment at every call so
// that tests and hosts can move it.
#pragma once

#include <string>

namespace kivoly::platform {

std::string SettingsFolder();

}  // namespace kivoly::platform
