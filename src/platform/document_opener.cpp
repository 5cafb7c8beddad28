#include "platform/document_opener.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

extern char** environ;

namespace kivoly::platform {

namespace {
// xdg-open hands the file to a viewer and ends; an opener still running after this long has
// started the viewer itself and is left to run.
constexpr auto kAnswerTime = std::chrono::milliseconds(1500);
constexpr auto kPollStep = std::chrono::milliseconds(20);
}  // namespace

bool OpenDocument(const std::string& path, std::string* reason) {
    const auto fail = [reason](const std::string& why) {
        if (reason) *reason = why;
        return false;
    };
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        return fail("the file is not there");
    }
    const char* chosen = std::getenv("KIVOLY_OPENER");
    const std::string opener = chosen && *chosen ? chosen : "xdg-open";
    char* argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    if (const int failed = posix_spawnp(&child, opener.c_str(), nullptr, nullptr, argv, environ)) {
        return fail(failed == ENOENT && opener == "xdg-open"
                        ? "xdg-open is not installed (the package xdg-utils brings it)"
                        : "cannot start " + opener + ": " + std::strerror(failed));
    }
    for (auto waited = std::chrono::milliseconds(0); waited < kAnswerTime; waited += kPollStep) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
            return fail(WIFEXITED(status)
                            ? opener + " failed with status " + std::to_string(WEXITSTATUS(status))
                            : opener + " was stopped");
        }
        if (done < 0) return fail(opener + " was lost");
        std::this_thread::sleep_for(kPollStep);
    }
    // Collected when it ends, so that it leaves no zombie behind.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return true;
}

}  // namespace kivoly::platform
