// The dialogs of the Windows build. Until the dialogs are built from their templates here, none
// opens: the window's commands that open one do nothing.
#include "viewer/platform/dialog_win32.h"

namespace quillon::platform {

DialogHost* openWin32Dialog(const DialogTemplate&, std::unique_ptr<DialogLogic>, HWND__*) {
    return nullptr;
}

std::vector<HWND__*> openWin32Dialogs() {
    return {};
}

bool isDialogMessageForOpenDialogs(tagMSG*) {
    return false;
}

HWND__* win32DialogWindow(const DialogHost*) {
    return nullptr;
}

}  // namespace quillon::platform
