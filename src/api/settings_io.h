// What the settings file "Kivoly.ini" holds and how each value is encoded: the loader that a
// Grabber runs at construction, the writer of the Save Settings command, and the video lock time
// that every connection reads afresh.
//
// Encodings: integers are signed decimal; a boolean is read through a two-character buffer, so
// only its first character counts (a key whose default is true turns false only on "F...", one
// whose default is false turns true only on "T...") and it is written as "True" or "False"; the
// parallel port is read as hexadecimal text and written in decimal (the same digit for ports 1
// to 3); the video lock time is a decimal real.
#pragma once

#include <cstdint>

#include "kivoly/kivoly.h"

namespace kivoly {

class SettingsFile;

inline constexpr const char* kSettingsFileName = "Kivoly.ini";
inline constexpr const char* kAcquireSection = "KivoAcquireInformation";
inline constexpr const char* kInterfaceSection = "KivoSettings";
inline constexpr const char* kProcessingSection = "ProcessingSettings";
inline constexpr const char* kSoundSection = "Sound";

inline constexpr double kDefaultVideoLockTime = 0.5;
// The ranges loading holds the values to: Quality 0 to 3, each adjustment -50 to 50.
inline constexpr int32_t kHighestQuality = 3;
inline constexpr int32_t kAdjustmentLimit = 50;

// Everything the file feeds at construction.
struct StoredSettings {
    KivoGrabInfo grabInfo;
    KivoProcessInfo processInfo;
    int32_t showProgress;
    int32_t windowOption;
};

// The defaults of both records and of the interface settings, as used without a file.
StoredSettings DefaultSettings();

// Loads every record from `file` in the order of construction, each key with the value just set
// as its default, pairs the height with the width (320 x 240, 1500 x 1125, else 640 x 480) and
// brings the values into range.
StoredSettings LoadStoredSettings(const SettingsFile& file);
// Brings Quality and the nine adjustments to the nearest value of their ranges.
void BringIntoRange(StoredSettings& settings);

// Writes what Save Settings writes, in its order. `settings.processInfo` is to be the committed
// ProcessInfo; "ShowWhileProcessing", "ColorCount" and "VideoLockTime" are never written.
void SaveStoredSettings(const SettingsFile& file, const StoredSettings& settings);

// The stored "VideoLockTime" in seconds; 0 when it is missing, empty or unreadable.
double ReadVideoLockTime(const SettingsFile& file);
// The lock time a device takes from a stored value: the value when it is more than 0.3 and less
// than 2.0, else 0.5.
double AcceptedVideoLockTime(double stored);

}  // namespace kivoly
