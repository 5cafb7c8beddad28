#include "batch_runner.h"

#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "terminal_progress.h"

namespace kivoly::cli {

namespace {

constexpr uint32_t kNoMoreItems = UINT32_MAX;
constexpr int kBarWidth = 30;

bool WriteAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, void* data, std::size_t size) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = read(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// An outcome on the wire: index, success, the lengths of text and notes, then both.
struct ReplyHeader {
    uint32_t index;
    uint32_t ok;
    uint32_t textLength;
    uint32_t notesLength;
};

// One line on stderr for the whole batch, cleared whenever an item's line is printed.
class BatchProgress {
  public:
    BatchProgress(const std::string& label, std::size_t count)
        : label_(label), count_(count), active_(isatty(fileno(stderr)) != 0) {}
    ~BatchProgress() { Clear(); }

    void Clear() {
        if (!shown_) return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        shown_ = false;
    }
    void Show(std::size_t done) {
        if (!active_) return;
        const std::string line = TerminalProgress::FormatLine(
            label_.c_str(), static_cast<uint32_t>(done), static_cast<uint32_t>(count_), kBarWidth);
        std::fprintf(stderr, "\r%s\033[K", line.c_str());
        std::fflush(stderr);
        shown_ = true;
    }

  private:
    std::string label_;
    std::size_t count_;
    bool active_;
    bool shown_ = false;
};

// Hands outcomes on in index order as they complete.
class InOrderReport {
  public:
    InOrderReport(std::size_t count, BatchProgress& progress,
                  const std::function<void(std::size_t, const BatchOutcome&)>& report)
        : outcomes_(count), progress_(progress), report_(report) {}

    void Add(std::size_t index, BatchOutcome outcome) {
        outcomes_[index] = std::move(outcome);
        ++done_;
        progress_.Clear();
        for (; next_ < outcomes_.size() && outcomes_[next_]; ++next_) {
            report_(next_, *outcomes_[next_]);
            // Lines on stdout and stderr stay in order where both go to one place.
            std::fflush(stdout);
        }
        if (done_ < outcomes_.size()) progress_.Show(done_);
    }

  private:
    std::vector<std::optional<BatchOutcome>> outcomes_;
    std::size_t next_ = 0;
    std::size_t done_ = 0;
    BatchProgress& progress_;
    const std::function<void(std::size_t, const BatchOutcome&)>& report_;
};

struct Worker {
    pid_t pid = -1;
    int toWorker = -1;    // the parent writes item indices here
    int fromWorker = -1;  // and reads outcomes here
    std::optional<uint32_t> busyWith;
};

[[noreturn]] void WorkerLoop(int requests, int replies,
                             const std::function<BatchOutcome(std::size_t)>& item) {
    uint32_t index = 0;
    while (ReadAll(requests, &index, sizeof index) && index != kNoMoreItems) {
        const BatchOutcome outcome = item(index);
        std::fflush(nullptr);
        const ReplyHeader header{index, outcome.ok ? 1u : 0u,
                                 static_cast<uint32_t>(outcome.text.size()),
                                 static_cast<uint32_t>(outcome.notes.size())};
        std::string message(reinterpret_cast<const char*>(&header), sizeof header);
        message += outcome.text;
        message += outcome.notes;
        if (!WriteAll(replies, message.data(), message.size())) break;
    }
    // Nothing of the parent's (its library state, open files, exit handlers) is torn down here.
    _exit(0);
}

bool StartWorker(Worker& worker, const std::function<BatchOutcome(std::size_t)>& item) {
    int requests[2];
    int replies[2];
    if (pipe(requests) != 0) return false;
    if (pipe(replies) != 0) {
        close(requests[0]);
        close(requests[1]);
        return false;
    }
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        for (int fd : {requests[0], requests[1], replies[0], replies[1]})
            close(fd);
        return false;
    }
    if (pid == 0) {
        close(requests[1]);
        close(replies[0]);
        signal(SIGPIPE, SIG_IGN);
        WorkerLoop(requests[0], replies[1], item);
    }
    close(requests[0]);
    close(replies[1]);
    worker.pid = pid;
    worker.toWorker = requests[1];
    worker.fromWorker = replies[0];
    return true;
}

void StopWorker(Worker& worker) {
    if (worker.toWorker >= 0) close(worker.toWorker);
    if (worker.fromWorker >= 0) close(worker.fromWorker);
    worker.toWorker = worker.fromWorker = -1;
}

std::string HowWorkerEnded(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
        return "its worker process stopped on signal " + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    }
    return "its worker process stopped unexpectedly";
}

void RunInWorkers(std::size_t count, int jobs, const std::function<BatchOutcome(std::size_t)>& item,
                  InOrderReport& report) {
    // The parent writes to workers that may have died: that must fail, not kill the program.
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);

    std::vector<Worker> workers(static_cast<std::size_t>(jobs));
    std::size_t next = 0;
    auto handOut = [&](Worker& worker) {
        const uint32_t index = next < count ? static_cast<uint32_t>(next) : kNoMoreItems;
        if (!WriteAll(worker.toWorker, &index, sizeof index) || index == kNoMoreItems) {
            close(worker.toWorker);
            worker.toWorker = -1;
            return;
        }
        worker.busyWith = index;
        ++next;
    };
    for (Worker& worker : workers) {
        if (!StartWorker(worker, item)) break;
        handOut(worker);
    }
    for (;;) {
        std::vector<pollfd> waiting;
        std::vector<Worker*> owners;
        for (Worker& worker : workers) {
            if (worker.fromWorker >= 0 && worker.busyWith) {
                waiting.push_back({worker.fromWorker, POLLIN, 0});
                owners.push_back(&worker);
            }
        }
        if (waiting.empty()) break;
        if (poll(waiting.data(), waiting.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (std::size_t i = 0; i < waiting.size(); ++i) {
            if (waiting[i].revents == 0) continue;
            Worker& worker = *owners[i];
            ReplyHeader header{};
            BatchOutcome outcome;
            bool answered = ReadAll(worker.fromWorker, &header, sizeof header) &&
                            header.index == *worker.busyWith;
            if (answered) {
                outcome.ok = header.ok != 0;
                outcome.text.resize(header.textLength);
                outcome.notes.resize(header.notesLength);
                answered = ReadAll(worker.fromWorker, outcome.text.data(), header.textLength) &&
                           ReadAll(worker.fromWorker, outcome.notes.data(), header.notesLength);
            }
            const uint32_t index = *worker.busyWith;
            worker.busyWith.reset();
            if (!answered) {
                StopWorker(worker);
                report.Add(index, {false, HowWorkerEnded(worker.pid), {}});
                worker.pid = -1;
                continue;
            }
            report.Add(index, std::move(outcome));
            handOut(worker);
        }
    }
    for (Worker& worker : workers) {
        StopWorker(worker);
        if (worker.pid > 0) {
            while (waitpid(worker.pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
    }
    sigaction(SIGPIPE, &previous, nullptr);
    // Items no worker could take (every worker gone, or none could be started) run here.
    for (; next < count; ++next)
        report.Add(next, item(next));
}

}  // namespace

int ProcessorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1L, sysconf(_SC_NPROCESSORS_ONLN));
}

void RunBatch(std::size_t count, int jobs, const std::string& label,
              const std::function<BatchOutcome(std::size_t)>& item,
              const std::function<void(std::size_t, const BatchOutcome&)>& report) {
    BatchProgress progress(label, count);
    InOrderReport inOrder(count, progress, report);
    progress.Show(0);
    const int workers = static_cast<int>(std::min<std::size_t>(count, std::max(jobs, 1)));
    if (workers <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            inOrder.Add(i, item(i));
        return;
    }
    RunInWorkers(count, workers, item, inOrder);
}

}  // namespace kivoly::cli
