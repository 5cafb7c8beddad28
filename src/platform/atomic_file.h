// Writing a file so that it is either complete or untouched. The bytes go to a temporary file
// beside the target; every write, the flush to the disk and the close are checked, and only a
// complete file replaces the target (a rename within the folder, which the system does at once).
// A failure removes the temporary and leaves an existing file as it was, with the system's
// reason ("No space left on device") kept for the caller to show.
//
// Flushing to the disk is what makes a write cost more than a copy, so a program writing many
// files at once commits them as one AtomicFileGroup: each file still replaces its target only
// when complete, and the flush is paid once for all of them.
//
// A program that wants its temporaries gone when it is interrupted calls
// RemoveTemporariesOnSignal once; a library host keeps its own signal handling otherwise.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

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
    // any step fails. While an AtomicFileGroup::Joining is alive on this thread the file is only
    // completed and handed to that group, which puts it in place at its own Commit.
    bool Commit();

    // Removes the temporary; the target stays as it was.
    void Discard();

    // One line: "cannot write PATH: REASON".
    const std::string& Error() const { return error_; }

  private:
    friend class AtomicFileGroup;

    bool Fail(const char* action, int error);
    // Flushes the temporary and gives it the permissions of the file it replaces.
    bool Complete();

    std::string path_;        // as the caller named it, for messages
    std::string targetPath_;  // the file replaced: `path_`, or what a link there points at
    std::string temporary_;
    std::FILE* file_ = nullptr;
    int slot_ = -1;  // where a signal handler finds the temporary
    std::string error_;
};

// Files committed together. Each joins complete (its way to the disk already begun); the
// group's Commit then syncs all of them, and only when every one is on the disk renames each
// into place and syncs each folder once. Files that have not been committed are discarded with
// the group, and their temporaries go on a signal as those of any AtomicFile do.
class AtomicFileGroup {
  public:
    AtomicFileGroup() = default;
    ~AtomicFileGroup();
    AtomicFileGroup(const AtomicFileGroup&) = delete;
    AtomicFileGroup& operator=(const AtomicFileGroup&) = delete;

    // While one lives, AtomicFile::Commit on this thread hands its file to `group`.
    class Joining {
      public:
        explicit Joining(AtomicFileGroup& group);
        ~Joining();
        Joining(const Joining&) = delete;
        Joining& operator=(const Joining&) = delete;

      private:
        AtomicFileGroup* previous_;
    };

    // The files waiting for Commit.
    std::size_t Size() const { return files_.size(); }

    // Puts every file in its place and empties the group. When any file cannot be synced, or
    // its place has become one that a file cannot take, none is put in place: every old file
    // stays and no temporary is left. False when any file is not in place (or its folder could
    // not be synced); Errors says which.
    bool Commit();
    // Removes every temporary; the targets stay as they were.
    void Discard();

    // One entry for each file of the last Commit, in the order they joined: "" for a file put
    // in place, else the line saying why not.
    const std::vector<std::string>& Errors() const { return errors_; }

  private:
    friend class AtomicFile;

    struct Member {
        std::string path;
        std::string targetPath;
        std::string temporary;
        std::FILE* file = nullptr;
        int slot = -1;
    };
    void Join(AtomicFile& file);
    // Syncs and closes every member; false with errors_ set when one fails.
    bool SyncAll();

    std::vector<Member> files_;
    std::vector<std::string> errors_;
};

// Installs handlers for SIGINT, SIGTERM, SIGHUP and the signals of a crash (SIGSEGV, SIGBUS,
// SIGFPE, SIGILL, SIGABRT) that remove the temporaries of every AtomicFile still open and of
// every uncommitted group, then let the signal act as it did before.
void RemoveTemporariesOnSignal();

}  // namespace kivoly::platform
