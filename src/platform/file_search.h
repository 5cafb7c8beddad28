// Finding a file by a bare name, in the order of the system's open-file search: the current
// folder, the settings folder (the system's Windows directory), the system folder, the folder of
// the host program, then the folders of PATH. A name with a folder in it is not searched for.
//
// Names are matched without regard to case inside each folder, as on the case-insensitive file
// system the library was made for: every spelling of a name reaches the same file.
#pragma once

#include <string>
#include <vector>

namespace kivoly::platform {

// The full path of the first file found, or "" when there is none.
std::string FindFile(const char* name);

// The folders searched for a bare name, in order.
std::vector<std::string> SearchFolders();

// The system folder: $KIVOLY_SYSTEM_DIR, else /usr/share/kivoly.
std::string SystemFolder();

// The path of the entry of `folder` whose name equals `name` without regard to case, or "" when
// the folder holds none. When several entries differ only in case, the first in byte order wins.
std::string FindInFolder(const std::string& folder, const std::string& name);

}  // namespace kivoly::platform
