// A fresh, empty settings folder for the length of a test: it replaces the settings folder and
// is removed with everything in it afterwards.
#pragma once

#include <string>

namespace kivoly::test {

class TempSettingsFolder {
  public:
    TempSettingsFolder();
    ~TempSettingsFolder();
    TempSettingsFolder(const TempSettingsFolder&) = delete;
    TempSettingsFolder& operator=(const TempSettingsFolder&) = delete;

    const std::string& Path() const { return path_; }
    // The full path of `name` inside the folder.
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Writes `content` to `name` in the folder, as it stands.
    void WriteFile(const std::string& name, const std::string& content) const;
    // The content of `name`, or "" when it cannot be read.
    std::string ReadFile(const std::string& name) const;

  private:
    std::string path_;
};

}  // namespace kivoly::test
