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
#include <deque>
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

// An outcome on the wire: index, kind, success, the lengths of text and notes, then both. A
// pending reply says only that the item ran; its outcome comes settled later.
enum ReplyKind : uint32_t { kSettled, kPending };
struct ReplyHeader {
    uint32_t index;
    uint32_t kind;
    uint32_t ok;
    uint32_t textLength;
    uint32_t notesLength;
};

// How many pending outcomes a process gathers before it settles them.
constexpr std::size_t kSettleEvery = 16;

using IndexedOutcomes = std::vector<std::pair<std::size_t, BatchOutcome>>;

// The pending outcomes of this process.
class PendingOutcomes {
  public:
    explicit PendingOutcomes(const BatchSettle& settle) : settle_(settle) {}

    void Add(std::size_t index, BatchOutcome outcome) {
        waiting_.emplace_back(index, std::move(outcome));
    }
    // Settles what waits, when `all` or when enough waits; the outcomes made final.
    IndexedOutcomes Settle(bool all) {
        IndexedOutcomes settled;
        if (waiting_.empty() || (!all && waiting_.size() < kSettleEvery)) return settled;
        if (settle_) settle_(waiting_);
        for (auto& entry : waiting_)
            entry.second.pending = false;
        settled.swap(waiting_);
        return settled;
    }

  private:
    const BatchSettle& settle_;
    IndexedOutcomes waiting_;
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

// Hands outcomes on in index order as they are settled; the progress counts items run.
class InOrderReport {
  public:
    InOrderReport(std::size_t count, BatchProgress& progress,
                  const std::function<void(std::size_t, const BatchOutcome&)>& report)
        : outcomes_(count), ran_(count), progress_(progress), report_(report) {}

    // Counts item `index` as run (once, though it may be run again).
    void Ran(std::size_t index) {
        if (!ran_[index]) ++runCount_;
        ran_[index] = true;
        progress_.Show(runCount_);
    }

    void Add(std::size_t index, BatchOutcome outcome) {
        outcomes_[index] = std::move(outcome);
        progress_.Clear();
        for (; next_ < outcomes_.size() && outcomes_[next_]; ++next_) {
            report_(next_, *outcomes_[next_]);
            // Lines on stdout and stderr stay in order where both go to one place.
            std::fflush(stdout);
        }
        if (next_ < outcomes_.size()) progress_.Show(runCount_);
    }

  private:
    std::vector<std::optional<BatchOutcome>> outcomes_;
    std::size_t next_ = 0;
    std::vector<bool> ran_;
    std::size_t runCount_ = 0;
    BatchProgress& progress_;
    const std::function<void(std::size_t, const BatchOutcome&)>& report_;
};

// Runs the items of `queue` in this process.
void RunHere(const std::deque<uint32_t>& queue,
             const std::function<BatchOutcome(std::size_t)>& item, const BatchSettle& settle,
             InOrderReport& report) {
    PendingOutcomes pending(settle);
    auto reportSettled = [&](bool all) {
        for (auto& [index, outcome] : pending.Settle(all))
            report.Add(index, std::move(outcome));
    };
    for (const uint32_t i : queue) {
        BatchOutcome outcome = item(i);
        report.Ran(i);
        if (outcome.pending) {
            pending.Add(i, std::move(outcome));
            reportSettled(false);
        } else {
            report.Add(i, std::move(outcome));
        }
    }
    reportSettled(true);
}

struct Worker {
    pid_t pid = -1;
    int toWorker = -1;    // the parent writes item indices here
    int fromWorker = -1;  // and reads outcomes here
    std::optional<uint32_t> busyWith;
    std::vector<uint32_t> unsettled;  // items it ran whose outcomes are still pending
};

bool SendReply(int replies, std::size_t index, ReplyKind kind, const BatchOutcome& outcome) {
    const ReplyHeader header{static_cast<uint32_t>(index), kind, outcome.ok ? 1u : 0u,
                             static_cast<uint32_t>(outcome.text.size()),
                             static_cast<uint32_t>(outcome.notes.size())};
    std::string message(reinterpret_cast<const char*>(&header), sizeof header);
    message += outcome.text;
    message += outcome.notes;
    return WriteAll(replies, message.data(), message.size());
}

[[noreturn]] void WorkerLoop(int requests, int replies,
                             const std::function<BatchOutcome(std::size_t)>& item,
                             const BatchSettle& settle) {
    PendingOutcomes pending(settle);
    auto sendSettled = [&](bool all) {
        bool sent = true;
        for (const auto& [index, outcome] : pending.Settle(all))
            sent = sent && SendReply(replies, index, kSettled, outcome);
        return sent;
    };
    uint32_t index = 0;
    while (ReadAll(requests, &index, sizeof index) && index != kNoMoreItems) {
        BatchOutcome outcome = item(index);
        std::fflush(nullptr);
        bool sent = false;
        if (outcome.pending) {
            pending.Add(index, std::move(outcome));
            sent = SendReply(replies, index, kPending, {}) && sendSettled(false);
        } else {
            sent = SendReply(replies, index, kSettled, outcome);
        }
        if (!sent) break;
    }
    // What it ran is settled even when the parent is gone, so that no temporary stays behind.
    sendSettled(true);
    std::fflush(nullptr);
    // Nothing of the parent's (its library state, open files, exit handlers) is torn down here.
    _exit(0);
}

bool StartWorker(Worker& worker, const std::function<BatchOutcome(std::size_t)>& item,
                 const BatchSettle& settle) {
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
        WorkerLoop(requests[0], replies[1], item, settle);
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

// Reads one reply of `worker`: false when the worker is gone or answers out of turn.
bool ReadReply(Worker& worker, ReplyHeader& header, BatchOutcome& outcome) {
    if (!ReadAll(worker.fromWorker, &header, sizeof header)) return false;
    const bool running = worker.busyWith && header.index == *worker.busyWith;
    const bool unsettled = std::find(worker.unsettled.begin(), worker.unsettled.end(),
                                     header.index) != worker.unsettled.end();
    if (header.kind == kPending ? !running : !(running || unsettled)) return false;
    outcome.ok = header.ok != 0;
    outcome.text.resize(header.textLength);
    outcome.notes.resize(header.notesLength);
    return ReadAll(worker.fromWorker, outcome.text.data(), header.textLength) &&
           ReadAll(worker.fromWorker, outcome.notes.data(), header.notesLength);
}

void RunInWorkers(std::size_t count, int jobs, const std::function<BatchOutcome(std::size_t)>& item,
                  const BatchSettle& settle, InOrderReport& report) {
    // The parent writes to workers that may have died: that must fail, not kill the program.
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);

    std::vector<Worker> workers(static_cast<std::size_t>(jobs));
    // The items not handed out yet, the next first.
    std::deque<uint32_t> queue;
    for (std::size_t i = 0; i < count; ++i)
        queue.push_back(static_cast<uint32_t>(i));
    auto handOut = [&](Worker& worker) {
        const uint32_t index = queue.empty() ? kNoMoreItems : queue.front();
        if (!WriteAll(worker.toWorker, &index, sizeof index) || index == kNoMoreItems) {
            close(worker.toWorker);
            worker.toWorker = -1;
            return;
        }
        worker.busyWith = index;
        queue.pop_front();
    };
    for (Worker& worker : workers) {
        if (!StartWorker(worker, item, settle)) break;
        handOut(worker);
    }
    for (;;) {
        std::vector<pollfd> waiting;
        std::vector<Worker*> owners;
        for (Worker& worker : workers) {
            if (worker.fromWorker >= 0 && (worker.busyWith || !worker.unsettled.empty())) {
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
            if (!ReadReply(worker, header, outcome)) {
                // The item it was running fails with it; those it ran but had not settled are
                // run again, by a worker still taking items or at the end here.
                StopWorker(worker);
                const std::string ended = HowWorkerEnded(worker.pid);
                worker.pid = -1;
                if (worker.busyWith) {
                    report.Ran(*worker.busyWith);
                    report.Add(*worker.busyWith, {false, ended, {}});
                    worker.busyWith.reset();
                }
                queue.insert(queue.begin(), worker.unsettled.begin(), worker.unsettled.end());
                worker.unsettled.clear();
                continue;
            }
            if (worker.busyWith && header.index == *worker.busyWith) {
                worker.busyWith.reset();
                report.Ran(header.index);
                if (header.kind == kPending) {
                    worker.unsettled.push_back(header.index);
                } else {
                    report.Add(header.index, std::move(outcome));
                }
                handOut(worker);
            } else {
                std::erase(worker.unsettled, header.index);
                report.Add(header.index, std::move(outcome));
            }
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
    RunHere(queue, item, settle, report);
}

}  // namespace

int ProcessorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1L, sysconf(_SC_NPROCESSORS_ONLN));
}

void RunBatch(std::size_t count, int jobs, const std::string& label,
              const std::function<BatchOutcome(std::size_t)>& item,
              const std::function<void(std::size_t, const BatchOutcome&)>& report,
              const BatchSettle& settle) {
    BatchProgress progress(label, count);
    InOrderReport inOrder(count, progress, report);
    progress.Show(0);
    const int workers = static_cast<int>(std::min<std::size_t>(count, std::max(jobs, 1)));
    if (workers <= 1) {
        std::deque<uint32_t> all;
        for (std::size_t i = 0; i < count; ++i)
            all.push_back(static_cast<uint32_t>(i));
        RunHere(all, item, settle, inOrder);
        return;
    }
    RunInWorkers(count, workers, item, settle, inOrder);
}

}  // namespace kivoly::cli
