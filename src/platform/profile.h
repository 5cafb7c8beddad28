// Private profile files: "[Section]" headers, then "Key=Value" lines. Sections and keys match
// without regard to case. A bare file name lives in the settings folder (settings_folder.h),
// where it is also matched without regard to case, so "Kivoly.ini" and "kivoly.ini" are one file.
// A write creates the file and the section when they are missing, keeps every other line as it
// was, and replaces the file through a temporary one so that a crash never leaves it half written.
#pragma once

#include <string>

namespace kivoly::platform {

// Copies the value (or `fallback` when the file, section or key is missing) into `buffer`,
// truncated to `size` - 1 characters and always terminated; returns the characters copied.
int ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                      int size, const char* fileName);
// The value's leading signed decimal number (saturated to the int range); `fallback` when the
// key is missing or its value does not begin with a number.
int ReadProfileInt(const char* section, const char* key, int fallback, const char* fileName);
// Sets `key` in `section` to `value`; false when the file cannot be written, or when the
// section, key or value would break the file's lines (a line break, "=" in a key, "]" in a
// section name).
bool WriteProfileString(const char* section, const char* key, const char* value,
                        const char* fileName);

// The path that a bare profile name resolves to (an existing file matched without regard to
// case, else the name in the settings folder).
std::string ProfilePath(const char* fileName);

}  // namespace kivoly::platform
