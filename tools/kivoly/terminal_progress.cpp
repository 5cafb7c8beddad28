#include "terminal_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "kivoly/host.h"

namespace kivoly::cli {

namespace {
constexpr int kBarWidth = 30;
// Wide enough for the library's longest phase text ("Creating 1500 x 1125 image . . .").
constexpr std::size_t kTextWidth = 34;

bool TerminalTakesEscapes() {
    const char* term = std::getenv("TERM");
    return term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}
}  // namespace

TerminalProgress::TerminalProgress(std::FILE* stream, bool force, const char* captureLabel)
    : stream_(stream),
      active_(stream && (force || isatty(fileno(stream)))),
      escapes_(TerminalTakesEscapes()),
      captureLabel_(captureLabel ? captureLabel : "") {
    if (!active_) return;
    KivolyProgressObserver observer{&TerminalProgress::Update, &TerminalProgress::Finish, this};
    KivolyHostSetProgressObserver(&observer);
}

TerminalProgress::~TerminalProgress() {
    if (!active_) return;
    KivolyHostSetProgressObserver(nullptr);
    Finish(this);
}

std::string TerminalProgress::FormatLine(const char* text, uint32_t reached, uint32_t limit,
                                         int barWidth) {
    uint32_t done = limit == 0 ? 0 : std::min(reached, limit);
    int filled = limit == 0 ? 0 : static_cast<int>(uint64_t{done} * barWidth / limit);
    int percent = limit == 0 ? 0 : static_cast<int>(uint64_t{done} * 100 / limit);
    std::string label = text ? text : "";
    if (label.size() > kTextWidth) label = label.substr(0, kTextWidth - 3) + "...";
    label.resize(kTextWidth, ' ');
    std::string line =
        label + " [" + std::string(filled, '#') + std::string(barWidth - filled, ' ') + "] ";
    char number[8];
    std::snprintf(number, sizeof(number), "%3d%%", percent);
    return line + number;
}

void TerminalProgress::Draw(const std::string& line) {
    // The line is rewritten in place: clear-to-end where the terminal takes it, else blanks
    // over what the longer line before it left.
    std::string padding;
    if (!escapes_ && line.size() < lineWidth_) padding.assign(lineWidth_ - line.size(), ' ');
    std::fprintf(stream_, "\r%s%s%s", line.c_str(), padding.c_str(), escapes_ ? "\033[K" : "");
    std::fflush(stream_);
    lineWidth_ = line.size();
}

void TerminalProgress::Update(const char* text, uint32_t reached, uint32_t limit, void* context) {
    auto* self = static_cast<TerminalProgress*>(context);
    const char* shown = text;
    if (text && !self->captureLabel_.empty() && std::strncmp(text, "Capturing", 9) == 0) {
        shown = self->captureLabel_.c_str();
    }
    self->Draw(FormatLine(shown, reached, limit, kBarWidth));
    self->lineOpen_ = true;
    self->complete_ = limit > 0 && reached >= limit;
}

void TerminalProgress::Finish(void* context) {
    auto* self = static_cast<TerminalProgress*>(context);
    if (!self->lineOpen_) return;
    if (self->complete_) {
        std::fputc('\n', self->stream_);
    } else {
        // A phase that ended short of its end leaves nothing that looks unfinished.
        self->Draw("");
        std::fputc('\r', self->stream_);
    }
    std::fflush(self->stream_);
    self->lineOpen_ = false;
    self->lineWidth_ = 0;
}

}  // namespace kivoly::cli
