// The backend's entry points, by the names SANE's dll backend looks up: sane_kivoly_init,
// sane_kivoly_open and so on. Each checks its handle and forwards; no exception leaves them.
#include <sane/sane.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "sane/backend_log.h"
#include "sane/device_config.h"
#include "sane/scan_handle.h"

#define KIVOLY_SANE_EXPORT extern "C" __attribute__((visibility("default")))

namespace kivoly::sane {
namespace {

constexpr SANE_Int kBuild = 0;
constexpr const char* kPrefix = "kivoly:";

// Everything the backend keeps between sane_init and sane_exit. Front ends call these from one
// thread, except sane_cancel.
struct Backend {
    std::vector<DeviceEntry> devices;
    std::vector<SANE_Device> saneDevices;
    std::vector<const SANE_Device*> deviceList;
    std::vector<std::unique_ptr<ScanHandle>> handles;
};
Backend* gBackend = nullptr;

ScanHandle* Find(SANE_Handle handle) {
    if (!gBackend || !handle) return nullptr;
    for (const auto& open : gBackend->handles) {
        if (open.get() == handle) return open.get();
    }
    return nullptr;
}

const DeviceEntry* FindDevice(std::string name) {
    if (name.rfind(kPrefix, 0) == 0) name.erase(0, std::char_traits<char>::length(kPrefix));
    for (const DeviceEntry& device : gBackend->devices) {
        if (name.empty() || device.name == name) return &device;
    }
    return nullptr;
}

}  // namespace
}  // namespace kivoly::sane

using namespace kivoly::sane;

KIVOLY_SANE_EXPORT SANE_Status sane_kivoly_init(SANE_Int* versionCode, SANE_Auth_Callback) {
    InitLog();
    if (versionCode) *versionCode = SANE_VERSION_CODE(SANE_CURRENT_MAJOR, 0, kBuild);
    try {
        delete gBackend;
        gBackend = new Backend;
        gBackend->devices = LoadDevices(ConfigFolders(std::getenv("SANE_CONFIG_DIR")));
    } catch (const std::bad_alloc&) {
        return SANE_STATUS_NO_MEM;
    }
    Log(kLogCall, "init: %zu devices", gBackend->devices.size());
    return SANE_STATUS_GOOD;
}

KIVOLY_SANE_EXPORT void sane_kivoly_exit(void) {
    Log(kLogCall, "exit");
    delete gBackend;  // closes every handle still open
    gBackend = nullptr;
}

KIVOLY_SANE_EXPORT SANE_Status sane_kivoly_get_devices(const SANE_Device*** list, SANE_Bool) {
    if (!gBackend || !list) return SANE_STATUS_INVAL;
    try {
        gBackend->saneDevices.clear();
        gBackend->deviceList.clear();
        for (const DeviceEntry& device : gBackend->devices) {
            const char* model =
                device.Simulated() ? "Simulated still-video digitizer" : "Still-video digitizer";
            gBackend->saneDevices.push_back(
                SANE_Device{device.name.c_str(), "Kivoly", model, "frame grabber"});
        }
        for (const SANE_Device& device : gBackend->saneDevices)
            gBackend->deviceList.push_back(&device);
        gBackend->deviceList.push_back(nullptr);
    } catch (const std::bad_alloc&) {
        return SANE_STATUS_NO_MEM;
    }
    *list = gBackend->deviceList.data();
    return SANE_STATUS_GOOD;
}

KIVOLY_SANE_EXPORT SANE_Status sane_kivoly_open(SANE_String_Const name, SANE_Handle* handle) {
    if (!gBackend || !handle) return SANE_STATUS_INVAL;
    const DeviceEntry* device = FindDevice(name ? name : "");
    if (!device) {
        Log(kLogFault, "open: no device '%s'", name ? name : "");
        return SANE_STATUS_INVAL;
    }
    try {
        std::unique_ptr<ScanHandle> opened;
        const SANE_Status status = ScanHandle::Open(*device, opened);
        if (status != SANE_STATUS_GOOD) return status;
        *handle = opened.get();
        gBackend->handles.push_back(std::move(opened));
    } catch (const std::bad_alloc&) {
        return SANE_STATUS_NO_MEM;
    }
    Log(kLogCall, "open %s", device->name.c_str());
    return SANE_STATUS_GOOD;
}

KIVOLY_SANE_EXPORT void sane_kivoly_close(SANE_Handle handle) {
    if (!Find(handle)) return;
    auto& handles = gBackend->handles;
    handles.erase(std::find_if(handles.begin(), handles.end(),
                               [&](const auto& open) { return open.get() == handle; }));
}

KIVOLY_SANE_EXPORT const SANE_Option_Descriptor* sane_kivoly_get_option_descriptor(
    SANE_Handle handle, SANE_Int option) {
    ScanHandle* open = Find(handle);
    return open ? open->Descriptor(option) : nullptr;
}

KIVOLY_SANE_EXPORT SANE_Status sane_kivoly_control_option(SANE_Handle handle, SANE_Int option,
                                                          SANE_Action action, void* value,
                                                          SANE_Int* info) {
    ScanHandle* open = Find(handle);
    return open ? open->Control(option, action, value, info) : SANE_STATUS_INVAL;
}

KIVOLY_SANE_EXPORT SANE_Status sane_kivoly_get_parameters(SANE_Handle handle,
                                                          SANE_Parameters* parameters) {
    ScanHandle* open = Find(handle);
    return open ? open->GetParameters(parameters) : SANE_STATUS_INVAL;
}

KIVOLY_SANE_EXPORT SANE_Status sane_kivoly_start(SANE_Handle handle) {
    ScanHandle* open = Find(handle);
    return open ? open->Start() : SANE_STATUS_INVAL;
}

KIVOLY_SANE_EXPORT SANE_Status sane_kivoly_read(SANE_Handle handle, SANE_Byte* data,
                                                SANE_Int maxLength, SANE_Int* length) {
    ScanHandle* open = Find(handle);
    if (!open) {
        if (length) *length = 0;
        return SANE_STATUS_INVAL;
    }
    return open->Read(data, maxLength, length);
}

// May run in a signal handler (scanimage cancels from its SIGINT handler) or on another thread:
// it touches only the handle's flag. The handle is not looked up in the list, which another
// thread may be changing; a front end cancels only handles it holds open.
KIVOLY_SANE_EXPORT void sane_kivoly_cancel(SANE_Handle handle) {
    if (handle) static_cast<ScanHandle*>(handle)->Cancel();
}

KIVOLY_SANE_EXPORT SANE_Status sane_kivoly_set_io_mode(SANE_Handle handle, SANE_Bool nonBlocking) {
    ScanHandle* open = Find(handle);
    return open ? open->SetIoMode(nonBlocking) : SANE_STATUS_INVAL;
}

KIVOLY_SANE_EXPORT SANE_Status sane_kivoly_get_select_fd(SANE_Handle, SANE_Int*) {
    return SANE_STATUS_UNSUPPORTED;
}
