#include "temp_settings_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/settings_folder.h"

namespace kivoly::test {

TempSettingsFolder::TempSettingsFolder() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::string pattern = (base / "kivoly-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
    path_ = pattern;
    platform::SetSettingsFolderOverride(path_.c_str());
}

TempSettingsFolder::~TempSettingsFolder() {
    platform::SetSettingsFolderOverride(nullptr);
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

void TempSettingsFolder::WriteFile(const std::string& name, const std::string& content) const {
    std::ofstream(File(name), std::ios::binary) << content;
}

std::string TempSettingsFolder::ReadFile(const std::string& name) const {
    std::ifstream file(File(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace kivoly::test
