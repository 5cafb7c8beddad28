#include "platform/file_search.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/settings_folder.h"

namespace kivoly::platform {
namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string HostProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

}  // namespace

std::string SystemFolder() {
    const char* folder = std::getenv("KIVOLY_SYSTEM_DIR");
    return folder && *folder ? folder : "/usr/share/kivoly";
}

std::vector<std::string> SearchFolders() {
    std::vector<std::string> folders{".", SettingsFolder(), SystemFolder()};
    if (std::string program = HostProgramFolder(); !program.empty()) folders.push_back(program);
    if (const char* path = std::getenv("PATH")) {
        std::string_view rest = path;
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            std::string_view entry = rest.substr(0, colon);
            // An empty PATH entry means the current folder.
            folders.emplace_back(entry.empty() ? "." : std::string(entry));
            if (colon == std::string_view::npos) break;
            rest.remove_prefix(colon + 1);
        }
    }
    return folders;
}

std::string FindInFolder(const std::string& folder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return "";
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) return "";
    // Several entries may differ only in case; every spelling of the name must reach the same
    // one, so take the first in name order whatever spelling was asked for.
    std::string best;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (strcasecmp(entry.c_str(), name.c_str()) == 0 && (best.empty() || entry < best)) {
            best = entry;
        }
    }
    return best.empty() ? "" : folder + "/" + best;
}

std::string FindFile(const char* name) {
    if (!name || !*name) return "";
    const std::string wanted = name;
    if (wanted.find('/') != std::string::npos) return IsRegularFile(wanted) ? wanted : "";
    for (const std::string& folder : SearchFolders()) {
        std::string path = FindInFolder(folder, wanted);
        if (!path.empty() && IsRegularFile(path)) return path;
    }
    return "";
}

}  // namespace kivoly::platform
