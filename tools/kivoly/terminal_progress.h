// Progress on a terminal: while one of these lives, long operations draw one line with their
// text and a bar, rewritten in place. A phase that ends complete leaves its line at 100 %; one
// that ends short of it (a notice, an abort) has its line cleared. Every bar starts in the same
// column. A terminal that takes no escape sequences (TERM=dumb) is drawn with carriage returns
// and blanks only; output that is not a terminal gets no progress at all.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kivoly::cli {

class TerminalProgress {
  public:
    // Draws on `stream` when it is a terminal (or always, with `force`). A phase whose text
    // begins with "Capturing" is shown as `captureLabel` when one is given (a file decode
    // captures nothing).
    explicit TerminalProgress(std::FILE* stream = stderr, bool force = false,
                              const char* captureLabel = nullptr);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // One line: the text in a column of fixed width, a bar of `barWidth` cells and the
    // percentage.
    static std::string FormatLine(const char* text, uint32_t reached, uint32_t limit, int barWidth);

  private:
    static void Update(const char* text, uint32_t reached, uint32_t limit, void* context);
    static void Finish(void* context);
    void Draw(const std::string& line);

    std::FILE* stream_;
    bool active_;
    bool escapes_;
    std::string captureLabel_;
    bool lineOpen_ = false;
    bool complete_ = false;
    std::size_t lineWidth_ = 0;
};

}  // namespace kivoly::cli
