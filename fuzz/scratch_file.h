// What the file-reading fuzzers share: the readers under test open files by name, so every input
// goes to one scratch file of the process; a failed check stops the run with its reason.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kivoly::fuzz {

inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// Writes `data` to the process's scratch file and returns its path.
inline const std::string& WriteScratchFile(const uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        char pattern[] = "/tmp/kivoly-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern);
        Check(fd >= 0, "cannot create a scratch file");
        ::close(fd);
        return std::string(pattern);
    }();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "cannot write the scratch file");
    Check(std::fwrite(data, 1, size, file) == size, "cannot write the scratch file");
    std::fclose(file);
    return path;
}

}  // namespace kivoly::fuzz
