#include "platform/atomic_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace kivoly::platform {

namespace {

// The temporaries open now, where a signal handler can find them without locking: a slot is
// claimed, filled, then marked ready; the handler only reads ready slots. Enough for a group
// of files on top of those written one at a time.
constexpr int kSlots = 64;
enum SlotState : int { kFree, kClaimed, kReady };
struct TemporarySlot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};
TemporarySlot gSlots[kSlots];

int Register(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (gSlots[i].state.compare_exchange_strong(expected, kClaimed)) {
            std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
            gSlots[i].state.store(kReady);
            return i;
        }
    }
    return -1;  // more files at once than slots: this one is not removed on a signal
}

void Unregister(int& slot) {
    if (slot >= 0) gSlots[slot].state.store(kFree);
    slot = -1;
}

// Interruptions, and the faults a program dies of (a worker that crashes in the middle of a
// batch leaves no temporaries either).
constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGSEGV,
                                   SIGBUS, SIGFPE,  SIGILL, SIGABRT};
struct sigaction gPrevious[std::size(kCleanedSignals)];

void RemoveTemporaries(int signal, siginfo_t* info, void*) {
    for (TemporarySlot& slot : gSlots) {
        if (slot.state.load() == kReady) ::unlink(slot.path);
    }
    for (std::size_t i = 0; i < std::size(kCleanedSignals); ++i) {
        if (kCleanedSignals[i] == signal) ::sigaction(signal, &gPrevious[i], nullptr);
    }
    // A fault of the processor comes again when the handler returns, then to the handler before
    // ours (a sanitizer's, or the default) with its own context; any other signal is sent again.
    const bool fault =
        signal == SIGSEGV || signal == SIGBUS || signal == SIGFPE || signal == SIGILL;
    if (!fault || info == nullptr || info->si_code <= 0) ::raise(signal);
}

// The permissions a new file gets: 0666 less the process's mask (read from the system, since
// asking umask() for it means changing it for a moment under other threads).
mode_t NewFileMode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return 0666 & ~static_cast<mode_t>(std::strtol(line.c_str() + 6, nullptr, 8));
        }
    }
    return 0644;
}

// The group that commits on this thread hand their files to, if any.
thread_local AtomicFileGroup* gJoining = nullptr;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string CannotWrite(const std::string& path, int error) {
    return "cannot write " + path + ": " + std::strerror(error);
}

}  // namespace

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Fail(const char* action, int error) {
    error_ = std::string("cannot ") + action + " " + path_ + ": " + std::strerror(error);
    Discard();
    return false;
}

bool AtomicFile::Open(const std::string& path) {
    Discard();
    path_ = path;
    error_.clear();
    // A link is followed, so that the file it names is replaced and the link stays.
    std::string target = path;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return Fail("write", EISDIR);
        // Devices and pipes cannot be replaced by a rename; they are not picture files.
        if (!S_ISREG(info.st_mode)) {
            error_ = "cannot write " + path_ + ": not a regular file";
            return false;
        }
        // A file its owner made read-only stays protected, as it would from a plain write.
        if (::access(target.c_str(), W_OK) != 0) return Fail("write", errno);
    }
    const std::size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    temporary_ = folder + "." + name + ".XXXXXX";
    // An interruption between making the temporary and registering it would leave it behind:
    // held off until the handler can find it.
    sigset_t interruptions, previous;
    sigemptyset(&interruptions);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&interruptions, signal);
    pthread_sigmask(SIG_BLOCK, &interruptions, &previous);
    const int descriptor = ::mkostemp(temporary_.data(), O_CLOEXEC);
    const int error = errno;
    if (descriptor >= 0) slot_ = Register(temporary_);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (descriptor < 0) {
        temporary_.clear();
        return Fail("create", error);
    }
    file_ = ::fdopen(descriptor, "w+b");
    if (file_ == nullptr) {
        const int error = errno;
        ::close(descriptor);
        return Fail("create", error);
    }
    targetPath_ = target;
    return true;
}

bool AtomicFile::Write(const void* data, std::size_t bytes) {
    if (file_ == nullptr) return false;
    if (bytes > 0 && std::fwrite(data, 1, bytes, file_) != bytes) return Fail("write", errno);
    return true;
}

bool AtomicFile::Write(const void* head, std::size_t headBytes, const void* body,
                       std::size_t bodyBytes) {
    if (file_ == nullptr) return false;
    if (std::fflush(file_) != 0) return Fail("write", errno ? errno : EIO);
    iovec parts[2] = {{const_cast<void*>(head), headBytes}, {const_cast<void*>(body), bodyBytes}};
    iovec* part = parts;
    int count = 2;
    while (count > 0) {
        const ssize_t written = ::writev(fileno(file_), part, count);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return Fail("write", errno);
        // What a short write left: the rest of the part it stopped in, and the parts after.
        auto done = static_cast<std::size_t>(written);
        while (count > 0 && done >= part->iov_len) {
            done -= part->iov_len;
            ++part;
            --count;
        }
        if (count > 0) {
            part->iov_base = static_cast<char*>(part->iov_base) + done;
            part->iov_len -= done;
        }
    }
    return true;
}

bool AtomicFile::Complete() {
    struct stat old {};
    const mode_t mode =
        ::stat(targetPath_.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    if (std::fflush(file_) != 0 || std::ferror(file_)) return Fail("write", errno ? errno : EIO);
    if (::fchmod(fileno(file_), mode) != 0) return Fail("write", errno);
    return true;
}

bool AtomicFile::Commit() {
    if (file_ == nullptr) {
        if (error_.empty()) error_ = "cannot write " + path_ + ": the file was not opened";
        return false;
    }
    if (!Complete()) return false;
    if (gJoining != nullptr) {
        gJoining->Join(*this);
        return true;
    }
    if (::fsync(fileno(file_)) != 0) return Fail("write", errno);
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (closed != 0) return Fail("write", errno);
    if (::rename(temporary_.c_str(), targetPath_.c_str()) != 0) return Fail("write", errno);
    Unregister(slot_);
    temporary_.clear();
    return true;
}

void AtomicFile::Discard() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    Unregister(slot_);
}

AtomicFileGroup::~AtomicFileGroup() {
    Discard();
}

AtomicFileGroup::Joining::Joining(AtomicFileGroup& group) : previous_(gJoining) {
    gJoining = &group;
}

AtomicFileGroup::Joining::~Joining() {
    gJoining = previous_;
}

void AtomicFileGroup::Join(AtomicFile& file) {
    // The disk starts on the file now, while the program goes on with the next one, so that
    // little is left to wait for at the group's commit.
    ::sync_file_range(fileno(file.file_), 0, 0, SYNC_FILE_RANGE_WRITE);
    files_.push_back({file.path_, file.targetPath_, file.temporary_, file.file_, file.slot_});
    file.file_ = nullptr;
    file.temporary_.clear();
    file.slot_ = -1;
}

bool AtomicFileGroup::SyncAll() {
    // The file whose step failed first (none: the size), and why. Each step is taken for every
    // file before the next begins.
    std::size_t failed = files_.size();
    int error = 0;
    auto check = [&](std::size_t i, bool done) {
        if (done || failed < files_.size()) return;
        failed = i;
        error = errno ? errno : EIO;
    };
    // A rename cannot put a file where a folder now stands or into a folder now gone: found
    // here, before anything is replaced.
    for (std::size_t i = 0; i < files_.size() && failed == files_.size(); ++i) {
        struct stat info {};
        const std::string& target = files_[i].targetPath;
        if (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            errno = EISDIR;
            check(i, false);
        }
        check(i, ::stat(FolderOf(target).c_str(), &info) == 0);
    }
    // Every file is already on its way to the disk (Join began it). Waiting for all of them
    // first lets the first sync's journal commit cover every file, so that the syncs after it
    // find little left to do: one commit for the group instead of one a file.
    for (std::size_t i = 0; i < files_.size() && failed == files_.size(); ++i) {
        ::sync_file_range(
            fileno(files_[i].file), 0, 0,
            SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    }
    for (std::size_t i = 0; i < files_.size() && failed == files_.size(); ++i)
        check(i, ::fsync(fileno(files_[i].file)) == 0);
    for (std::size_t i = 0; i < files_.size(); ++i) {
        const bool closed = std::fclose(files_[i].file) == 0;
        files_[i].file = nullptr;
        check(i, closed);
    }
    if (failed == files_.size()) return true;
    for (std::size_t j = 0; j < files_.size(); ++j) {
        errors_[j] = j == failed ? CannotWrite(files_[j].path, error)
                                 : "cannot write " + files_[j].path + ": left as it was, since " +
                                       files_[failed].path + " could not be written";
    }
    return false;
}

bool AtomicFileGroup::Commit() {
    errors_.assign(files_.size(), std::string());
    bool placed = SyncAll();
    if (placed) {
        std::vector<std::string> folders;
        for (std::size_t i = 0; i < files_.size(); ++i) {
            Member& member = files_[i];
            if (::rename(member.temporary.c_str(), member.targetPath.c_str()) != 0) {
                // Changed by someone else since the check: this file alone stays as it was.
                errors_[i] = CannotWrite(member.path, errno);
                placed = false;
                continue;
            }
            member.temporary.clear();
            const std::string folder = FolderOf(member.targetPath);
            if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
                folders.push_back(folder);
            }
        }
        // The new names last only once their folders are on the disk too.
        for (const std::string& folder : folders) {
            const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            const int error = descriptor >= 0 && ::fsync(descriptor) == 0 ? 0 : errno;
            if (descriptor >= 0) ::close(descriptor);
            if (error == 0) continue;
            for (std::size_t i = 0; i < files_.size(); ++i) {
                if (errors_[i].empty() && FolderOf(files_[i].targetPath) == folder) {
                    errors_[i] = CannotWrite(files_[i].path, error);
                    placed = false;
                }
            }
        }
    }
    Discard();
    return placed;
}

void AtomicFileGroup::Discard() {
    for (Member& member : files_) {
        if (member.file != nullptr) std::fclose(member.file);
        if (!member.temporary.empty()) ::unlink(member.temporary.c_str());
        Unregister(member.slot);
    }
    files_.clear();
}

void RemoveTemporariesOnSignal() {
    struct sigaction action {};
    action.sa_sigaction = &RemoveTemporaries;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kCleanedSignals); ++i) {
        struct sigaction previous {};
        ::sigaction(kCleanedSignals[i], nullptr, &previous);
        // A signal the program was told to ignore (nohup) stays ignored.
        if (previous.sa_handler == SIG_IGN) continue;
        gPrevious[i] = previous;
        ::sigaction(kCleanedSignals[i], &action, nullptr);
    }
}

}  // namespace kivoly::platform
