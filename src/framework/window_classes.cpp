#include "framework/window_classes.h"

#include <array>

#include "framework/window_object.h"
#include "platform/window/window_class.h"

namespace kivoly {

namespace {

using platform::ClassBackground;
using platform::CsByteAlignClient;
using platform::CsHRedraw;
using platform::CsOwnDc;
using platform::CsParentDc;
using platform::CsVRedraw;

struct ClassEntry {
    const char* name;
    unsigned style;
    int iconId;
    ClassBackground background;
};

constexpr int kMainIcon = 103;
constexpr int kExtraBytes = 4;

// The progress window erases with the light grey stock brush; the others draw everything
// themselves over a hollow background.
constexpr std::array<ClassEntry, 7> kClasses{{
    {"KivolyClass", CsVRedraw | CsHRedraw | CsOwnDc | CsByteAlignClient, kMainIcon,
     ClassBackground::Hollow},
    {"KivoBtnClass", CsByteAlignClient, 0, ClassBackground::Hollow},
    {"ProcessClass", CsByteAlignClient, 0, ClassBackground::Hollow},
    {"ProcViewWnd", CsByteAlignClient, 0, ClassBackground::Hollow},
    {"KivoControl", CsByteAlignClient, 0, ClassBackground::Hollow},
    {"SetupClass", CsByteAlignClient | CsParentDc, 0, ClassBackground::Hollow},
    {"Kivo Progress", CsByteAlignClient | CsOwnDc, 0, ClassBackground::LightGrey},
}};

}  // namespace

const char* FrameworkClassName(FrameworkClass which) {
    return kClasses[static_cast<size_t>(which)].name;
}

bool RegisterFrameworkClass(FrameworkClass which) {
    const ClassEntry& entry = kClasses[static_cast<size_t>(which)];
    platform::WindowClass windowClass;
    windowClass.name = entry.name;
    windowClass.procedure = ObjectWindowProc;
    windowClass.style = entry.style;
    windowClass.cursor = platform::Cursor::Arrow;
    windowClass.background = entry.background;
    windowClass.windowExtraBytes = kExtraBytes;
    windowClass.iconId = entry.iconId;
    return platform::RegisterClass(windowClass);
}

}  // namespace kivoly
