// The window classes of the library's own windows. All use ObjectWindowProc, four bytes of
// window extra data and the arrow cursor; the code that creates a class's windows registers
// the class right before, and a repeated registration fails harmlessly.
#pragma once

namespace kivoly {

enum class FrameworkClass {
    Main,            // "KivolyClass"
    SkinButton,      // "KivoBtnClass"
    ProcessPanel,    // "ProcessClass"
    ProcessPreview,  // "ProcViewWnd"
    Control,         // "KivoControl"
    Setup,           // "SetupClass"
    Progress,        // "Kivo Progress"
};

const char* FrameworkClassName(FrameworkClass which);
// Registers the class; false when it was registered already.
bool RegisterFrameworkClass(FrameworkClass which);

}  // namespace kivoly
