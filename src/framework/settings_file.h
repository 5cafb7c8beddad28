// SettingsFile: the small object over the private-profile calls for one settings file.
#pragma once

namespace kivoly {

class SettingsFile {
  public:
    // `fileName` is a bare name such as "Kivoly.ini" (at most 13 characters are kept).
    explicit SettingsFile(const char* fileName);

    // Stores at most 14 characters and the terminator; a missing key gives "".
    void ReadString(const char* section, const char* key, char* destination) const;
    int ReadInt(const char* section, const char* key, int fallback) const;
    void WriteInt(const char* section, const char* key, int value) const;
    void WriteString(const char* section, const char* key, const char* text) const;

    const char* FileName() const { return fileName_; }

  private:
    char fileName_[14] = {};
};

}  // namespace kivoly
