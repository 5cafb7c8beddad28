#include "sane/scan_handle.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "sane/backend_log.h"

namespace kivoly::sane {

namespace {

// The Grabber's two records: the settings file's at first, the options' after a scan.
struct Records {
    KivoGrabInfo grab;
    KivoProcessInfo process;
};

Records ReadRecords(KivoGrabber* grabber) {
    Records r;
    KivoGetGrabInfo(grabber, &r.grab);
    KivoGetProcessInfo(grabber, &r.process);
    return r;
}

ScanOptions OptionsFrom(const Records& records) {
    return ScanOptions(records.grab, records.process);
}

}  // namespace

SANE_Status ScanHandle::Open(const DeviceEntry& device, std::unique_ptr<ScanHandle>& handle) {
    if (device.backEnd.rfind("ppdev:", 0) == 0) {
        const std::string path = device.backEnd.substr(6);
        if (access(path.c_str(), F_OK) != 0) {
            Log(kLogFault, "%s: %s", path.c_str(), std::strerror(errno));
            return SANE_STATUS_INVAL;
        }
        if (access(path.c_str(), R_OK | W_OK) != 0) {
            Log(kLogError, "%s: %s (a member of its group, lp, may use it)", path.c_str(),
                std::strerror(errno));
            return SANE_STATUS_ACCESS_DENIED;
        }
    }
    std::lock_guard lock(LibraryMutex());
    KivoGrabber* grabber = KivoAlloc();
    if (!grabber) return SANE_STATUS_NO_MEM;
    KivoSetShowProgress(grabber, 0);
    handle.reset(new (std::nothrow) ScanHandle(device, grabber));
    if (!handle) {
        KivoFree(grabber);
        return SANE_STATUS_NO_MEM;
    }
    return SANE_STATUS_GOOD;
}

ScanHandle::ScanHandle(const DeviceEntry& device, KivoGrabber* grabber)
    : device_(device), grabber_(grabber), options_(OptionsFrom(ReadRecords(grabber))) {}

ScanHandle::~ScanHandle() {
    std::lock_guard lock(LibraryMutex());
    KivoFree(grabber_);
}

const SANE_Option_Descriptor* ScanHandle::Descriptor(SANE_Int option) const {
    return options_.Descriptor(option);
}

SANE_Status ScanHandle::Control(SANE_Int option, SANE_Action action, void* value, SANE_Int* info) {
    if (action != SANE_ACTION_GET_VALUE && phase_.load() != Phase::Idle) {
        return SANE_STATUS_DEVICE_BUSY;
    }
    return options_.Control(option, action, value, info);
}

SANE_Status ScanHandle::GetParameters(SANE_Parameters* parameters) const {
    if (!parameters) return SANE_STATUS_INVAL;
    *parameters = options_.Parameters();
    if (phase_.load() == Phase::Reading) {
        parameters->pixels_per_line = picture_.width;
        parameters->lines = picture_.height;
        parameters->bytes_per_line = picture_.width * picture_.bytesPerPixel;
    }
    return SANE_STATUS_GOOD;
}

SANE_Status ScanHandle::Start() {
    Phase idle = Phase::Idle;
    if (!phase_.compare_exchange_strong(idle, Phase::Capturing)) {
        // A front end may start the next scan without cancelling the one it has read.
        if (idle != Phase::Reading) return SANE_STATUS_DEVICE_BUSY;
        phase_ = Phase::Capturing;
    }
    cancel_ = false;
    picture_ = CapturedPicture{};
    readOffset_ = 0;

    SANE_Status status;
    try {
        std::lock_guard lock(LibraryMutex());
        Records r = ReadRecords(grabber_);
        options_.Apply(r.grab, r.process);
        r.process.ShowWhileProcessing = 0;
        if (device_.port != 0) r.grab.ParallelPort = device_.port;
        KivoSetGrabInfo(grabber_, &r.grab);
        KivoSetProcessInfo(grabber_, &r.process);
        status = CapturePicture(grabber_, device_, cancel_, options_.Grey(), picture_);
    } catch (const std::bad_alloc&) {
        status = SANE_STATUS_NO_MEM;
    }
    if (status != SANE_STATUS_GOOD) {
        EndScan();
        return status;
    }
    phase_ = Phase::Reading;
    return SANE_STATUS_GOOD;
}

SANE_Status ScanHandle::Read(SANE_Byte* data, SANE_Int maxLength, SANE_Int* length) {
    if (length) *length = 0;
    if (!data || !length || maxLength < 0) return SANE_STATUS_INVAL;
    if (phase_.load() != Phase::Reading) return SANE_STATUS_INVAL;
    if (cancel_.load()) {
        EndScan();
        return SANE_STATUS_CANCELLED;
    }
    const std::size_t left = picture_.rows.size() - readOffset_;
    if (left == 0) {
        EndScan();
        return SANE_STATUS_EOF;
    }
    const std::size_t count = std::min(left, static_cast<std::size_t>(maxLength));
    std::memcpy(data, picture_.rows.data() + readOffset_, count);
    readOffset_ += count;
    *length = static_cast<SANE_Int>(count);
    return SANE_STATUS_GOOD;
}

void ScanHandle::Cancel() {
    // Nothing but the flag: this may run in a signal handler or beside a capture.
    cancel_.store(true);
}

SANE_Status ScanHandle::SetIoMode(SANE_Bool nonBlocking) const {
    // The picture is in memory once Start returns, so a read never waits: both modes hold.
    if (phase_.load() == Phase::Idle) return SANE_STATUS_INVAL;
    return nonBlocking == SANE_TRUE || nonBlocking == SANE_FALSE ? SANE_STATUS_GOOD
                                                                 : SANE_STATUS_INVAL;
}

void ScanHandle::EndScan() {
    picture_ = CapturedPicture{};
    readOffset_ = 0;
    phase_ = Phase::Idle;
}

}  // namespace kivoly::sane
