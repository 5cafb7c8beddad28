#include "platform/save_file_dialog.h"

#include "platform/process_state.h"

namespace kivoly::platform {
namespace {

std::vector<SaveFileRequest>& Requests() {
    static std::vector<SaveFileRequest> requests;
    return requests;
}

bool HasExtension(const std::string& name) {
    const size_t slash = name.find_last_of('/');
    const size_t dot = name.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

}  // namespace

bool GetSaveFileName(const SaveFileRequest& request, std::string& name) {
    Requests().push_back(request);
    std::string chosen = request.initialName;
    const auto& responder = Process().saveFile;
    if (responder.function == nullptr || !responder.function(request, chosen, responder.context) ||
        chosen.empty()) {
        return false;
    }
    if (!request.defaultExtension.empty() && !HasExtension(chosen)) {
        chosen += "." + request.defaultExtension;
    }
    // A name that does not fit the caller's buffer is refused, as the dialog refuses it.
    if (request.maxLength > 0 && static_cast<int>(chosen.size()) >= request.maxLength) return false;
    name = chosen;
    return true;
}

void InstallSaveFileResponder(SaveFileResponder responder, void* context) {
    Process().saveFile = {responder, responder ? context : nullptr};
}

const std::vector<SaveFileRequest>& SaveFileRequests() {
    return Requests();
}

void ClearSaveFileRequests() {
    Requests().clear();
}

}  // namespace kivoly::platform
