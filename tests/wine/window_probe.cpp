// A test-only Windows program that tells what the windows of another program on the same
// desktop show, as Win32 sees them: the window tests run it under Wine beside quillon.exe.
//   window_probe PROGRAM main            the main window: "window X Y WIDTH HEIGHT TITLE", the
//                                        client area on the screen and the title
//   window_probe PROGRAM dialog CAPTION  the newest dialog with that caption: "window X Y WIDTH
//                                        HEIGHT", then per control "control CLASS ID CHECKED X Y
//                                        WIDTH HEIGHT TEXT" (rectangles on the screen, CHECKED 0
//                                        or 1 for buttons, else -1)
//   window_probe PROGRAM top CLASS       the newest top-level window of that window class:
//                                        "window X Y WIDTH HEIGHT TITLE" (its window rectangle)
//   window_probe PROGRAM minimize        minimises the main window as its caption button does,
//   window_probe PROGRAM restore         or restores it; exit code 1 when it did not change
//   window_probe PROGRAM wheel DELTA X Y COUNT
//                                        posts COUNT wheel messages of DELTA at client point X Y
//   window_probe PROGRAM chars UNIT...   posts a WM_CHAR for each UTF-16 code unit (hexadecimal)
//   window_probe PROGRAM clipboard       the clipboard's picture (CF_DIB, 24 bits) as a binary
//                                        PPM on standard output; exit code 1 when there is none
// Only windows of processes running PROGRAM (its full path) count: Wine's desktop also holds
// the windows of other programs started on other displays. Fields are separated by tabs, text
// is UTF-8. Exit code 1 when there is no such window.
#include <fcntl.h>
#include <io.h>
#include "common/windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "common/utf16.h"

namespace {

// The class "Quillon Contour" is the main window's; "#32770" is every dialog's.
constexpr wchar_t kMainClass[] = L"Quillon Contour";
constexpr wchar_t kDialogClass[] = L"#32770";

// Text of a window of another process (WM_GETTEXT crosses processes, GetWindowText does not),
// with its line breaks written as \n and its tabs as \t, so that it stays one field.
std::string textOf(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return "";
    std::string out;
    for (char c : common::Utf8FromWide(std::wstring_view(text, length))) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c != '\r')
            out += c;
    }
    return out;
}

std::string classOf(HWND window) {
    wchar_t name[256] = {};
    int length = GetClassNameW(window, name, 256);
    return common::Utf8FromWide(std::wstring_view(name, length > 0 ? length : 0));
}

// The topmost (the newest) top-level window of `className` and `caption` (null: any) whose
// process runs `program`.
struct Search {
    const wchar_t* className;
    const wchar_t* caption;
    std::wstring program;
    HWND found = nullptr;
};

bool runs(HWND window, const std::wstring& program) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return false;
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    bool same = QueryFullProcessImageNameW(process, 0, image, &length) &&
                CompareStringOrdinal(image, static_cast<int>(length), program.c_str(),
                                     static_cast<int>(program.size()), TRUE) == CSTR_EQUAL;
    CloseHandle(process);
    return same;
}

BOOL CALLBACK consider(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    if (std::wstring_view(name) != search.className) return TRUE;
    if (search.caption && common::Utf8FromWide(search.caption) != textOf(window)) return TRUE;
    if (!runs(window, search.program)) return TRUE;
    search.found = window;
    return FALSE;
}

HWND find(const wchar_t* className, const wchar_t* caption, const std::wstring& program) {
    Search search{className, caption, program};
    EnumWindows(consider, reinterpret_cast<LPARAM>(&search));
    return search.found;
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
    std::wstring program = argc >= 2 ? argv[1] : L"";
    std::wstring what = argc >= 3 ? argv[2] : L"";
    if (what == L"main" && argc == 3) {
        HWND window = find(kMainClass, nullptr, program);
        if (!window) return 1;
        RECT r{};
        GetClientRect(window, &r);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
        std::printf("window\t");
        printRectangle(r);
        std::printf("\t%s\n", textOf(window).c_str());
        return 0;
    }
    if (what == L"dialog" && argc == 4) {
        HWND dialog = find(kDialogClass, argv[3], program);
        if (!dialog) return 1;
        RECT r{};
        GetWindowRect(dialog, &r);
        std::printf("window\t");
        printRectangle(r);
        std::printf("\n");
        EnumChildWindows(dialog, printControl, 0);
        return 0;
    }
    if (what == L"top" && argc == 4) {
        HWND window = find(argv[3], nullptr, program);
        if (!window) return 1;
        RECT r{};
        GetWindowRect(window, &r);
        std::printf("window\t");
        printRectangle(r);
        std::printf("\t%s\n", textOf(window).c_str());
        return 0;
    }
    if ((what == L"minimize" || what == L"restore") && argc == 3) {
        HWND window = find(kMainClass, nullptr, program);
        if (!window) return 1;
        const bool minimize = what == L"minimize";
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_SYSCOMMAND, minimize ? SC_MINIMIZE : SC_RESTORE, 0,
                            SMTO_ABORTIFHUNG, 5000, &result);
        return (IsIconic(window) != 0) == minimize ? 0 : 1;
    }
    if (what == L"wheel" && argc == 7) {
        HWND window = find(kMainClass, nullptr, program);
        if (!window) return 1;
        // The wheel's position is on the screen.
        POINT at{_wtoi(argv[4]), _wtoi(argv[5])};
        ClientToScreen(window, &at);
        const int delta = _wtoi(argv[3]), count = _wtoi(argv[6]);
        for (int k = 0; k < count; ++k)
            PostMessageW(window, WM_MOUSEWHEEL,
                         MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
                         MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
        return 0;
    }
    if (what == L"chars" && argc >= 4) {
        HWND window = find(kMainClass, nullptr, program);
        if (!window) return 1;
        for (int i = 3; i < argc; ++i)
            PostMessageW(window, WM_CHAR, static_cast<WPARAM>(std::wcstoul(argv[i], nullptr, 16)),
                         1);
        return 0;
    }
    if (what == L"clipboard" && argc == 3) {
        if (!OpenClipboard(nullptr)) return 1;
        int status = 1;
        if (HANDLE data = GetClipboardData(CF_DIB)) {
            const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
            if (header && header->biBitCount == 24 && header->biCompression == BI_RGB) {
                const int width = header->biWidth, height = std::abs(header->biHeight);
                const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
                const auto* pixels = reinterpret_cast<const unsigned char*>(header + 1);
                std::printf("P6\n%d %d\n255\n", width, height);
                for (int y = 0; y < height; ++y) {
                    const int stored = header->biHeight > 0 ? height - 1 - y : y;
                    const unsigned char* p = pixels + row * static_cast<std::size_t>(stored);
                    for (int x = 0; x < width; ++x, p += 3) {
                        const unsigned char rgb[3] = {p[2], p[1], p[0]};
                        std::fwrite(rgb, 1, 3, stdout);
                    }
                }
                status = 0;
            }
            GlobalUnlock(data);
        }
        CloseClipboard();
        return status;
    }
    std::fprintf(
        stderr,
        "usage: window_probe PROGRAM main | window_probe PROGRAM dialog CAPTION | "
        "window_probe PROGRAM minimize | window_probe PROGRAM restore | "
        "window_probe PROGRAM wheel DELTA X Y COUNT | window_probe PROGRAM chars UNIT... | "
        "window_probe PROGRAM clipboard\n");
    return 2;
}
