// The dialogs of the Windows build. Until the dialogs are built from their templates here, none
// opens: the window's commands that open one do nothing.
#include "viewer/platform/dialog_win32.h"

namespace quillon::platform {

DialogHost* openWin32Dialog(const DialogTemplate&, std::unique_ptr<DialogLogic>, HWND) {
    return nullptr;
}

bool offerToWin32Dialogs(MSG&) {
    return false;
}

void closeAllWin32Dialogs() {}

}  // namespace quillon::platform
