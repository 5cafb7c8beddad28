#include "api/settings_io.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "api/grabber.h"
#include "framework/settings_file.h"
#include "platform/profile.h"

namespace kivoly {
namespace {

int32_t ReadBoolean(const SettingsFile& file, const char* section, const char* key,
                    int32_t fallback) {
    // Only the first character is read; the opposite of the default must be spelled out.
    char first[2];
    platform::ReadProfileString(section, key, "", first, sizeof first, file.FileName());
    if (fallback) return first[0] == 'F' ? 0 : 1;
    return first[0] == 'T' ? 1 : 0;
}

void WriteBoolean(const SettingsFile& file, const char* section, const char* key, int32_t value) {
    file.WriteString(section, key, value ? "True" : "False");
}

int32_t ReadParallelPort(const SettingsFile& file) {
    char text[6];
    platform::ReadProfileString(kAcquireSection, "ParallelPort", "1", text, sizeof text,
                                file.FileName());
    char* end = nullptr;
    const long port = std::strtol(text, &end, 16);
    // Text without a hexadecimal number keeps the default port.
    return end == text ? 1 : static_cast<int32_t>(port);
}

}  // namespace

StoredSettings DefaultSettings() {
    StoredSettings settings{};
    settings.grabInfo = {.Quality = 0,
                         .UseColor = 1,
                         .CameraInput = 0,
                         .ParallelPort = 1,
                         .IODelay = -1,
                         .PowerSaver = 1,
                         .TerminateVideo = 1,
                         .Negative = 0};
    settings.showProgress = 1;
    settings.windowOption = 0;
    settings.processInfo = {};
    settings.processInfo.Width = 640;
    settings.processInfo.Height = 480;
    settings.processInfo.ColorCount = 16777216;
    settings.processInfo.ShowWhileProcessing = 1;
    return settings;
}

StoredSettings LoadStoredSettings(const SettingsFile& file) {
    StoredSettings s = DefaultSettings();
    const char* acquire = kAcquireSection;
    KivoGrabInfo& grab = s.grabInfo;
    grab.Quality = file.ReadInt(acquire, "Quality", grab.Quality);
    grab.IODelay = file.ReadInt(acquire, "IODelay", grab.IODelay);
    grab.ParallelPort = ReadParallelPort(file);
    grab.UseColor = ReadBoolean(file, acquire, "UseColor", grab.UseColor);
    grab.CameraInput = ReadBoolean(file, acquire, "CameraInput", grab.CameraInput);
    grab.PowerSaver = ReadBoolean(file, acquire, "PowerSaver", grab.PowerSaver);
    grab.TerminateVideo = ReadBoolean(file, acquire, "TerminateVideo", grab.TerminateVideo);
    grab.Negative = ReadBoolean(file, acquire, "Negative", grab.Negative);

    s.showProgress = ReadBoolean(file, kInterfaceSection, "ShowProgress", s.showProgress);
    s.windowOption = ReadBoolean(file, kInterfaceSection, "KivoToNewWindow", s.windowOption);

    const char* processing = kProcessingSection;
    KivoProcessInfo& process = s.processInfo;
    process.Color = file.ReadInt(processing, "Color", process.Color);
    process.Hue = file.ReadInt(processing, "Hue", process.Hue);
    process.Brightness = file.ReadInt(processing, "Brightness", process.Brightness);
    process.Contrast = file.ReadInt(processing, "Contrast", process.Contrast);
    process.Sharpness = file.ReadInt(processing, "Sharpness", process.Sharpness);
    process.Gamma = file.ReadInt(processing, "Gamma", process.Gamma);
    process.Red = file.ReadInt(processing, "Red", process.Red);
    process.Green = file.ReadInt(processing, "Green", process.Green);
    process.Blue = file.ReadInt(processing, "Blue", process.Blue);
    process.Width = file.ReadInt(processing, "Width", process.Width);
    process.Height = file.ReadInt(processing, "Height", process.Height);
    // The width alone decides the size; the stored height never does.
    if (process.Width == 320) {
        process.Height = 240;
    } else if (process.Width == 1500) {
        process.Height = 1125;
    } else {
        process.Width = 640;
        process.Height = 480;
    }
    process.ShowWhileProcessing =
        ReadBoolean(file, processing, "ShowWhileProcessing", process.ShowWhileProcessing);
    BringIntoRange(s);
    return s;
}

void BringIntoRange(StoredSettings& s) {
    // A hand-edited value beyond what the capture and the conversion are made for (a quality
    // mode that does not exist, a brightness of 200) would give a distorted picture without a
    // word; the nearest value they take is what the person meant.
    s.grabInfo.Quality = std::clamp(s.grabInfo.Quality, 0, kHighestQuality);
    KivoProcessInfo& p = s.processInfo;
    for (int32_t* adjustment : {&p.Hue, &p.Color, &p.Brightness, &p.Contrast, &p.Sharpness,
                                &p.Gamma, &p.Red, &p.Green, &p.Blue}) {
        *adjustment = std::clamp(*adjustment, -kAdjustmentLimit, kAdjustmentLimit);
    }
}

void SaveStoredSettings(const SettingsFile& file, const StoredSettings& s) {
    const char* acquire = kAcquireSection;
    file.WriteInt(acquire, "Quality", s.grabInfo.Quality);
    file.WriteInt(acquire, "ParallelPort", s.grabInfo.ParallelPort);
    file.WriteInt(acquire, "IODelay", s.grabInfo.IODelay);
    WriteBoolean(file, acquire, "UseColor", s.grabInfo.UseColor);
    WriteBoolean(file, acquire, "CameraInput", s.grabInfo.CameraInput);
    WriteBoolean(file, acquire, "PowerSaver", s.grabInfo.PowerSaver);
    WriteBoolean(file, acquire, "TerminateVideo", s.grabInfo.TerminateVideo);
    WriteBoolean(file, acquire, "Negative", s.grabInfo.Negative);

    WriteBoolean(file, kInterfaceSection, "ShowProgress", s.showProgress);
    WriteBoolean(file, kInterfaceSection, "KivoToNewWindow", s.windowOption);

    const char* processing = kProcessingSection;
    const KivoProcessInfo& process = s.processInfo;
    file.WriteInt(processing, "Hue", process.Hue);
    file.WriteInt(processing, "Color", process.Color);
    file.WriteInt(processing, "Brightness", process.Brightness);
    file.WriteInt(processing, "Contrast", process.Contrast);
    file.WriteInt(processing, "Sharpness", process.Sharpness);
    file.WriteInt(processing, "Gamma", process.Gamma);
    file.WriteInt(processing, "Red", process.Red);
    file.WriteInt(processing, "Green", process.Green);
    file.WriteInt(processing, "Blue", process.Blue);
    file.WriteInt(processing, "Width", process.Width);
    file.WriteInt(processing, "Height", process.Height);
}

double ReadVideoLockTime(const SettingsFile& file) {
    char text[15];
    platform::ReadProfileString(kAcquireSection, "VideoLockTime", "", text, sizeof text,
                                file.FileName());
    // Read without regard to the locale, which may use another decimal mark.
    const char* begin = text;
    while (*begin == ' ' || *begin == '\t')
        ++begin;
    if (*begin == '+') ++begin;
    double seconds = 0.0;
    const auto result = std::from_chars(begin, text + std::strlen(text), seconds);
    return result.ec == std::errc() ? seconds : 0.0;
}

double AcceptedVideoLockTime(double stored) {
    return stored > 0.3 && stored < 2.0 ? stored : kDefaultVideoLockTime;
}

void Grabber::LoadSettings() {
    // Without a settings file object (memory ran out) the records keep their defaults.
    const StoredSettings stored =
        settingsFile_ ? LoadStoredSettings(*settingsFile_) : DefaultSettings();
    grabInfo_ = stored.grabInfo;
    showProgress_ = stored.showProgress;
    windowOption_ = stored.windowOption;
    kivolyIsExe_ = 0;
    processInfo_ = stored.processInfo;
}

void Grabber::SaveSettings() {
    if (!settingsFile_) return;
    SaveStoredSettings(*settingsFile_,
                       {grabInfo_, committedProcessInfo_, showProgress_, windowOption_});
}

}  // namespace kivoly
