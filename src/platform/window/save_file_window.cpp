#include "platform/internal/window/save_file_window.h"

#include <filesystem>
#include <system_error>

#include "platform/internal/window/edit_control.h"
#include "platform/internal/window/static_control.h"
#include "platform/message_box.h"
#include "platform/window/button.h"
#include "platform/window/dialog.h"
#include "platform/window/input.h"
#include "platform/window/window.h"

namespace kivoly::platform {

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 440;
constexpr int kHeight = 132;
constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kNameId = 100;
constexpr const char* kRequestProperty = "KivolySaveRequest";

struct SaveRun {
    const SaveFileRequest* request;
    std::string name;
};

// Whether the typed name may be used as it stands; asks or says why not.
bool Acceptable(KivoHWnd dialog, const SaveFileRequest& request, const std::string& typed) {
    std::string name = typed;
    if (!request.defaultExtension.empty() && fs::path(name).extension().empty()) {
        name += "." + request.defaultExtension;
    }
    std::error_code error;
    const fs::path folder = fs::path(name).parent_path();
    if ((request.flags & OfnPathMustExist) && !folder.empty() && !fs::is_directory(folder, error)) {
        MessageBox(dialog, ("The folder " + folder.string() + " does not exist.").c_str(),
                   "Save As", MbOk | MbIconExclamation);
        return false;
    }
    if (fs::is_directory(name, error)) {
        MessageBox(dialog, (name + " is a folder.").c_str(), "Save As", MbOk | MbIconExclamation);
        return false;
    }
    if ((request.flags & OfnOverwritePrompt) && fs::exists(name, error)) {
        return MessageBox(dialog, (name + " already exists.\nDo you want to replace it?").c_str(),
                          "Save As", MbYesNo | MbIconExclamation) == IdYes;
    }
    return true;
}

intptr_t SaveProc(KivoHWnd dialog, uint32_t message, WParam first, LParam second) {
    if (message == WmInitDialog) {
        SetProp(dialog, kRequestProperty, reinterpret_cast<void*>(second));
        auto* run = reinterpret_cast<SaveRun*>(second);
        KivoHWnd field = GetDlgItem(dialog, kNameId);
        SetWindowText(field, run->request->initialName.c_str());
        SetFocus(field);
        return 0;  // the focus is set
    }
    if (message != WmCommand) return 0;
    auto* run = static_cast<SaveRun*>(GetProp(dialog, kRequestProperty));
    const int id = LoWord(first);
    if (id == IdCancel) {
        EndDialog(dialog, 0);
    } else if (id == IdOk && run) {
        std::string typed = GetWindowText(GetDlgItem(dialog, kNameId));
        if (!typed.empty() && Acceptable(dialog, *run->request, typed)) {
            run->name = typed;
            EndDialog(dialog, 1);
        } else {
            SetFocus(GetDlgItem(dialog, kNameId));
        }
    }
    return 1;
}

}  // namespace

bool RunSaveFileWindow(const SaveFileRequest& request, std::string& name) {
    KivoHWnd dialog = CreateDialogFrame("Save As", WsCaption | WsSysMenu | DsModalFrame, kWidth,
                                        kHeight, request.owner, SaveProc);
    if (!dialog) return false;
    std::error_code error;
    const std::string folder = "Folder: " + fs::current_path(error).string();
    const std::string kind =
        request.filterName.empty() ? "" : "Save as type: " + request.filterName;
    const int inner = kWidth - 2 * kMargin;
    CreateWindow(0, kStaticClass, folder.c_str(), WsChild | WsVisible, kMargin, kMargin, inner, 14,
                 dialog, -1, nullptr);
    CreateWindow(0, kStaticClass, "File name:", WsChild | WsVisible, kMargin, 34, inner, 14, dialog,
                 -1, nullptr);
    CreateWindow(0, kEditClass, "", WsChild | WsVisible | WsTabStop, kMargin, 50, inner, 22, dialog,
                 kNameId, nullptr);
    CreateWindow(0, kStaticClass, kind.c_str(), WsChild | WsVisible, kMargin, 78, inner, 14, dialog,
                 -1, nullptr);
    const int buttonTop = kHeight - kMargin - kButtonHeight;
    CreateWindow(0, kButtonClass, "Save", WsChild | WsVisible | BsDefPushButton,
                 kWidth - 2 * (kButtonWidth + kMargin), buttonTop, kButtonWidth, kButtonHeight,
                 dialog, IdOk, nullptr);
    CreateWindow(0, kButtonClass, "Cancel", WsChild | WsVisible | BsPushButton,
                 kWidth - kButtonWidth - kMargin, buttonTop, kButtonWidth, kButtonHeight, dialog,
                 IdCancel, nullptr);
    SaveRun run{&request, {}};
    if (RunModalDialog(dialog, request.owner, reinterpret_cast<LParam>(&run)) != 1) return false;
    name = run.name;
    return true;
}

}  // namespace kivoly::platform
