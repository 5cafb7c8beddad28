// Reading a whole file into memory, with the system's reason when it cannot be read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivoly::platform {

// False with one line in `error`: "PATH: is a directory", "cannot open PATH: REASON" or
// "cannot read PATH: REASON".
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

}  // namespace kivoly::platform
