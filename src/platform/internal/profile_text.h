// The text of a private profile file, read and edited in memory: the part of the profile calls
// that knows the format. "[Section]" lines open sections; "Key=Value" lines inside them hold the
// values. Sections and keys match without regard to (ASCII) case, the first match wins, lines
// before the first section and lines without "=" hold no value. Keys and values are trimmed of
// blanks, and a value enclosed in a pair of matching quotes loses them. Lines may end in "\n" or
// "\r\n"; any other byte is taken as it stands.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kivoly::platform {

// The value of `key` in `section`, or nothing when the section or the key is missing.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// Whether a section, key and value can be written without changing the file's structure: none
// may hold a line break, a key may not hold "=" and a section may not hold "]".
bool IsWritableProfileEntry(std::string_view section, std::string_view key, std::string_view value);

// `text` with `key` in `section` set to `value`: an existing key's line is rewritten in place
// (keeping its spelling), a new key goes after the last line of its section, a new section goes
// at the end. Every other byte stays as it was. The entry must be writable.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace kivoly::platform
