#include "terminal_progress.h"

#include <unistd.h>

#include <algorithm>

#include "kivoly/host.h"

namespace kivoly::cli {

namespace {
constexpr int kBarWidth = 30;
constexpr size_t kTextWidth = 28;
}  // namespace

TerminalProgress::TerminalProgress(std::FILE* stream, bool force)
    : stream_(stream), active_(stream && (force || isatty(fileno(stream)))) {
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
    label.resize(std::max(label.size(), kTextWidth), ' ');
    std::string line =
        label + " [" + std::string(filled, '#') + std::string(barWidth - filled, ' ') + "] ";
    char number[8];
    std::snprintf(number, sizeof(number), "%3d%%", percent);
    return line + number;
}

void TerminalProgress::Update(const char* text, uint32_t reached, uint32_t limit, void* context) {
    auto* self = static_cast<TerminalProgress*>(context);
    // Carriage return and clear-to-end: the line is rewritten in place.
    std::fprintf(self->stream_, "\r%s\033[K", FormatLine(text, reached, limit, kBarWidth).c_str());
    std::fflush(self->stream_);
    self->lineOpen_ = true;
}

void TerminalProgress::Finish(void* context) {
    auto* self = static_cast<TerminalProgress*>(context);
    if (!self->lineOpen_) return;
    std::fputc('\n', self->stream_);
    std::fflush(self->stream_);
    self->lineOpen_ = false;
}

}  // namespace kivoly::cli
