#include "platform/profile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/file_search.h"
#include "platform/internal/profile_text.h"
#include "platform/settings_folder.h"

namespace kivoly::platform {
namespace {

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::optional<std::string> LookUp(const char* section, const char* key, const char* fileName) {
    if (!section || !key) return std::nullopt;
    const std::string path = ProfilePath(fileName);
    if (path.empty()) return std::nullopt;
    const auto text = ReadWholeFile(path);
    if (!text) return std::nullopt;
    return FindProfileValue(*text, section, key);
}

// Replaces the file at `path` with `text`; the old file stays whole until the new one is.
bool ReplaceFile(const std::string& path, const std::string& text) {
    AtomicFile file;
    return file.Open(path) && file.Write(text.data(), text.size()) && file.Commit();
}

}  // namespace

std::string ProfilePath(const char* fileName) {
    if (!fileName || !*fileName) return "";
    const std::string name = fileName;
    if (name.find('/') != std::string::npos) return name;
    const std::string folder = SettingsFolder();
    std::string found = FindInFolder(folder, name);
    return found.empty() ? folder + "/" + name : found;
}

int ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                      int size, const char* fileName) {
    if (!buffer || size <= 0) return 0;
    const auto value = LookUp(section, key, fileName);
    const char* source = value ? value->c_str() : (fallback ? fallback : "");
    // A value may hold a zero byte; the caller's string ends there.
    const std::size_t length = std::min(std::strlen(source), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, source, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

int ReadProfileInt(const char* section, const char* key, int fallback, const char* fileName) {
    const auto value = LookUp(section, key, fileName);
    if (!value) return fallback;
    const char* p = value->c_str();
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (*p < '0' || *p > '9') return fallback;
    // Saturates instead of overflowing on absurdly long numbers.
    long long number = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        number = std::min(number * 10 + (*p - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    if (negative) number = -number;
    return static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
}

bool WriteProfileString(const char* section, const char* key, const char* value,
                        const char* fileName) {
    if (!section || !key || !value) return false;
    if (!IsWritableProfileEntry(section, key, value)) return false;
    std::string path = ProfilePath(fileName);
    if (path.empty()) return false;
    // Writing through a link keeps the link and replaces what it points to.
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const auto target = std::filesystem::canonical(path, error);
        if (error) return false;
        path = target.string();
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    const std::string text = ReadWholeFile(path).value_or("");
    return ReplaceFile(path, SetProfileValue(text, section, key, value));
}

}  // namespace kivoly::platform
