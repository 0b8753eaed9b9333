// A test-only Windows program that tells what the windows of another program on the same
// desktop show, as Win32 sees them: the window tests run it under Wine beside quillon.exe.
//   window_probe main            the main window: "window X Y WIDTH HEIGHT TITLE", the client
//                                area on the screen and the title
//   window_probe dialog CAPTION  the newest dialog with that caption: "window X Y WIDTH HEIGHT",
//                                then per control "control CLASS ID CHECKED X Y WIDTH HEIGHT TEXT"
//                                (rectangles on the screen, CHECKED 0 or 1 for buttons, else -1)
// Fields are separated by tabs, text is UTF-8. Exit code 1 when there is no such window.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/utf16.h"

namespace {

// The class "Quillon Contour" is the main window's; "#32770" is every dialog's.
constexpr wchar_t kMainClass[] = L"Quillon Contour";
constexpr wchar_t kDialogClass[] = L"#32770";

// Text of a window of another process: WM_GETTEXT crosses processes, GetWindowText does not.
std::string textOf(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return "";
    return common::Utf8FromWide(std::wstring_view(text, length));
}

std::string classOf(HWND window) {
    wchar_t name[256] = {};
    int length = GetClassNameW(window, name, 256);
    return common::Utf8FromWide(std::wstring_view(name, length > 0 ? length : 0));
}

void printRectangle(const RECT& r) {
    std::printf("%ld\t%ld\t%ld\t%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

BOOL CALLBACK printControl(HWND control, LPARAM) {
    RECT r{};
    GetWindowRect(control, &r);
    std::string kind = classOf(control);
    int checked = -1;
    if (kind == "Button") {
        DWORD_PTR state = 0;
        SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
        checked = state == BST_CHECKED ? 1 : 0;
    }
    std::printf("control\t%s\t%d\t%d\t", kind.c_str(), GetDlgCtrlID(control), checked);
    printRectangle(r);
    std::printf("\t%s\n", textOf(control).c_str());
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // the lines end in \n alone
    std::wstring what = argc >= 2 ? argv[1] : L"";
    if (what == L"main" && argc == 2) {
        HWND window = FindWindowW(kMainClass, nullptr);
        if (!window) return 1;
        RECT r{};
        GetClientRect(window, &r);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
        std::printf("window\t");
        printRectangle(r);
        std::printf("\t%s\n", textOf(window).c_str());
        return 0;
    }
    if (what == L"dialog" && argc == 3) {
        // The first one found is the topmost: the one opened last.
        HWND dialog = FindWindowW(kDialogClass, argv[2]);
        if (!dialog) return 1;
        RECT r{};
        GetWindowRect(dialog, &r);
        std::printf("window\t");
        printRectangle(r);
        std::printf("\n");
        EnumChildWindows(dialog, printControl, 0);
        return 0;
    }
    std::fprintf(stderr, "usage: window_probe main | window_probe dialog CAPTION\n");
    return 2;
}
