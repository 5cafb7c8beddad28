// A program that links the desktop display in uses it directly, without the plugin.
#include "platform/desktop/sdl_native_windows.h"
#include "platform/window/host_display.h"

namespace kivoly::platform {
namespace {

const bool kLinked = (LinkNativeWindows(&OpenSdlNativeWindows), true);

}  // namespace
}  // namespace kivoly::platform
