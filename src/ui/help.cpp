#include "ui/internal/help.h"

#include <cstdio>
#include <filesystem>

#include "output/skin_archive.h"
#include "platform/document_opener.h"
#include "platform/file_search.h"
#include "platform/message_box.h"
#include "resources/version.h"

namespace kivoly::ui {

using namespace platform;

std::string FindUserGuide() {
    const std::string archive = FindSkinArchive();
    if (!archive.empty()) {
        const std::string folder = std::filesystem::path(archive).parent_path().string();
        const std::string path = FindInFolder(folder, kUserGuideName);
        if (!path.empty()) return path;
    }
    return FindFile(kUserGuideName);
}

void OpenUserGuide(KivoHWnd owner) {
    const std::string path = FindUserGuide();
    std::string reason;
    if (OpenDocument(path, &reason)) return;
    const std::string text =
        path.empty() ? std::string("The user guide \"") + kUserGuideName + "\" is not installed."
                     : "The user guide " + path + " could not be opened: " + reason + ".";
    MessageBox(owner, text.c_str(), "Help", MbOk | MbIconExclamation);
}

std::string VersionText(DeviceContext* display) {
    char text[256];
    int used = std::snprintf(text, sizeof text, "Version %s for %s Video\n\nVideo Mode:\n",
                             kVersionText, kSpecialBuild);
    const bool paletted = display && display->GetDeviceCaps(DeviceCap::RasterCaps) & RcPalette;
    if (paletted) {
        used += std::snprintf(text + used, sizeof text - used, "\tPaletted\n\t%d Static Colors\n",
                              display->GetDeviceCaps(DeviceCap::NumReserved));
    } else {
        used += std::snprintf(text + used, sizeof text - used, "\tNot Paletted\n");
    }
    const int bits = display ? display->GetDeviceCaps(DeviceCap::BitsPixel) *
                                   display->GetDeviceCaps(DeviceCap::Planes)
                             : 0;
    if (bits > 0 && bits < 63) {
        std::snprintf(text + used, sizeof text - used, "\t%lld Colors\n", 1LL << bits);
    }
    return text;
}

void ShowVersionMessage(KivoHWnd owner, DeviceContext* display) {
    MessageBox(owner, VersionText(display).c_str(), kFileDescription, MbOk);
}

}  // namespace kivoly::ui
