// Writing a file so that it is either complete or untouched. The bytes go to a temporary file
// beside the target; every write, the flush to the disk and the close are checked, and only a
// complete file replaces the target (a rename within the folder, which the system does at once).
// A failure removes the temporary and leaves an existing file as it was, with the system's
// reason ("No space left on device") kept for the caller to show.
//
// A program that wants its temporaries gone when it is interrupted calls
// RemoveTemporariesOnSignal once; a library host keeps its own signal handling otherwise.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace kivoly::platform {

class AtomicFile {
  public:
    AtomicFile() = default;
    // Discards what was written unless Commit succeeded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file for `path`; false (with Error set) when the folder cannot take
    // it or `path` names a folder.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }

    // The temporary file's stream, for writers that seek or hand it to another library. Write
    // errors through it are found at Commit.
    std::FILE* Stream() const { return file_; }

    // Appends `bytes`; false (and the file discarded) when they cannot be written.
    bool Write(const void* data, std::size_t bytes);
    // Appends a head and the body after it in one write of the system, with nothing of them
    // left in a buffer (a file header and a bitmap); false (and the file discarded) when they
    // cannot be written.
    bool Write(const void* head, std::size_t headBytes, const void* body, std::size_t bodyBytes);

    // Flushes, syncs and closes the temporary and puts it in the target's place (with the old
    // file's permissions, or the usual ones for a new file). False, with the old file kept, when
    // any step fails.
    bool Commit();

    // Removes the temporary; the target stays as it was.
    void Discard();

    // One line: "cannot write PATH: REASON".
    const std::string& Error() const { return error_; }

  private:
    bool Fail(const char* action, int error);

    std::string path_;        // as the caller named it, for messages
    std::string targetPath_;  // the file replaced: `path_`, or what a link there points at
    std::string temporary_;
    std::FILE* file_ = nullptr;
    int slot_ = -1;
    std::string error_;
};

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the temporaries of every
// AtomicFile still open, then let the signal act as it did before.
void RemoveTemporariesOnSignal();

}  // namespace kivoly::platform
