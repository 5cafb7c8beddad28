#include "sane/backend_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace kivoly::sane {

namespace {
int gLevel = 0;
}

void InitLog() {
    const char* text = std::getenv("SANE_DEBUG_KIVOLY");
    gLevel = text ? std::atoi(text) : 0;
}

void Log(int level, const char* format, ...) {
    if (level > gLevel) return;
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    // One write a line, so that lines of two threads do not interleave.
    std::fprintf(stderr, "[kivoly] %s\n", line);
}

}  // namespace kivoly::sane
