// Progress on a terminal: while one of these lives, long operations draw one line with their
// text and a bar, rewritten in place, and end it when the phase completes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kivoly::cli {

class TerminalProgress {
  public:
    // Draws on `stream` when it is a terminal (or always, with `force`).
    explicit TerminalProgress(std::FILE* stream = stderr, bool force = false);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // One line: the text, a bar of `barWidth` cells and the percentage.
    static std::string FormatLine(const char* text, uint32_t reached, uint32_t limit, int barWidth);

  private:
    static void Update(const char* text, uint32_t reached, uint32_t limit, void* context);
    static void Finish(void* context);

    std::FILE* stream_;
    bool active_;
    bool lineOpen_ = false;
};

}  // namespace kivoly::cli
