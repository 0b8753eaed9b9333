// The main window, message boxes and file choosers on Windows: a window class of our own whose
// device context OpenGL draws through, the menu, and the message loop that serves the open
// dialogs. Labels and legend are drawn by the overlay canvas with GDI's glyphs, as headless.
#include "viewer/platform/win32/wgl_context.h"
// After windows.h:
#include <GL/gl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "common/utf16.h"
#include "viewer/platform/gl_framebuffer.h"
#include "viewer/platform/gl_overlay_canvas.h"
#include "viewer/platform/main_window.h"
#include "viewer/platform/message.h"
#include "viewer/platform/win32/dialog_host.h"
#include "viewer/platform/win32/resources.h"

namespace quillon::platform {
namespace {

constexpr wchar_t kClassName[] = L"Quillon Contour";

// The one main window while runMainWindow runs.
struct MainWindow {
    HWND window = nullptr;
    HDC dc = nullptr;  // the class's own device context, held for the window's life
    HGLRC context = nullptr;
    MainWindowEvents* events = nullptr;
    std::unique_ptr<GlOverlayCanvas> overlays;  // lives in the OpenGL context
    GlFramebuffer framebuffer;                  // likewise
    int width = 0, height = 0;                  // the client area
    wchar_t highSurrogate = 0;  // the first half of a character typed as two WM_CHAR
    int wheel = 0;              // wheel delta not yet turned into steps
    std::string title;
    LongTask* task = nullptr;  // the work the window waits for while it answers, if any
};
MainWindow theMain;

// The top-level menus in the order they first appear, each with its commands.
HMENU buildMenu(const std::vector<MenuCommand>& menu) {
    HMENU bar = CreateMenu();
    std::vector<std::pair<std::string, HMENU>> popups;
    for (const MenuCommand& c : menu) {
        HMENU popup = nullptr;
        for (const auto& [name, handle] : popups)
            if (name == c.menu) popup = handle;
        if (!popup) {
            popup = CreatePopupMenu();
            popups.emplace_back(c.menu, popup);
        }
        AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(c.id),
                    common::WideFromUtf8(c.label).c_str());
    }
    for (const auto& [name, handle] : popups)
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(handle),
                    common::WideFromUtf8(name).c_str());
    return bar;
}

[[noreturn]] void pixelFormatFailed(const char* what) {
    messageBox(what, "Warning!");
    fatal("像素设置错误!");
}

// The window's own device context with the program's one pixel format, and an OpenGL context on
// it made current for the life of the window. The format is double-buffered: drawn in one
// buffer, the 3-D pass showed on the screen before labels and legend were drawn over it (under
// Wine the legend was missing from 9 of 126 screenshots taken while the wheel zoomed), and a
// large model showed half drawn.
void makeContext(HWND window) {
    theMain.dc = GetDC(window);
    WglContext made = makeWglContext(theMain.dc, PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER);
    switch (made.failed) {
        case WglStep::None:
            break;
        case WglStep::ChoosePixelFormat:
            pixelFormatFailed("ChoosePixelFormat failed!");
        case WglStep::SetPixelFormat:
            pixelFormatFailed("SetPixelFormat failed!");
        case WglStep::CreateContext:
            pixelFormatFailed("wglCreateContext failed!");
        case WglStep::MakeCurrent:
            pixelFormatFailed("wglMakeCurrent failed!");
    }
    theMain.context = made.gl;
}

// The OpenGL pass with labels and legend over it, drawn in a framebuffer object of the headless
// pictures' kind (so that what the window shows does not depend on the depth buffer of its pixel
// format), then copied to the back buffer and shown at once. The whole client area is painted
// every time. (Where OpenGL has no framebuffer objects, straight into the back buffer; a driver
// without a double-buffered format draws on the screen, and the swap does nothing.)
void paint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    const bool buffered =
        theMain.framebuffer.open(wglFunction, theMain.width, theMain.height).empty();
    theMain.overlays->begin(theMain.width, theMain.height);
    theMain.events->onPaint(*theMain.overlays);
    theMain.overlays->end();
    if (buffered) theMain.framebuffer.copyToWindow();
    SwapBuffers(theMain.dc);
    EndPaint(window, &ps);
}

// Wheel deltas add up, one step for every 120 in one direction: a high-resolution wheel or a
// touchpad sends many small deltas for what a standard wheel sends as one notch of 120. A turn
// the other way starts afresh; a delta of 0 does nothing.
void wheel(MainWindowEvents& events, int delta, int x, int y) {
    if (delta == 0) return;
    if ((delta > 0) != (theMain.wheel > 0)) theMain.wheel = 0;
    theMain.wheel += delta;
    while (theMain.wheel >= kWheelDelta || theMain.wheel <= -kWheelDelta) {
        const int step = theMain.wheel > 0 ? kWheelDelta : -kWheelDelta;
        theMain.wheel -= step;
        events.onWheel(step, x, y);
    }
}

// The window's pixels per inch: its monitor's where Windows tells them per window (Windows 10
// 1607 on), the system's before that.
int windowDpi(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow)
        if (UINT dpi = dpiForWindow(window)) return static_cast<int>(dpi);
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(window, dc);
    return dpi > 0 ? dpi : kDefaultDpi;
}

// A typed character; the two halves of a character beyond the first 65536 come one by one.
void typed(wchar_t unit) {
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        theMain.highSurrogate = unit;
        return;
    }
    unsigned int ch = unit;
    if (unit >= 0xDC00 && unit <= 0xDFFF && theMain.highSurrogate)
        ch = 0x10000 + ((theMain.highSurrogate - 0xD800u) << 10) + (unit - 0xDC00u);
    theMain.highSurrogate = 0;
    theMain.events->onChar(ch);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!theMain.events) return DefWindowProcW(window, message, wParam, lParam);
    MainWindowEvents& events = *theMain.events;
    switch (message) {
        case WM_CREATE:
            theMain.window = window;
            makeContext(window);
            theMain.overlays = std::make_unique<GlOverlayCanvas>();
            events.onCreate();
            events.onDpi(windowDpi(window));
            return 0;
        case WM_DPICHANGED: {
            // Moved to a screen of another scale: the legend takes the new one, and the window the
            // size and place Windows suggests for it (a resize, which fits the view again).
            events.onDpi(HIWORD(wParam));
            const RECT* r = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_SIZE: {
            // A minimised window has no client area, and its restore gives back the size it had:
            // neither is a resize, and the user's view stays as it was.
            const int width = LOWORD(lParam), height = HIWORD(lParam);
            if (width == 0 || height == 0 || (width == theMain.width && height == theMain.height))
                return 0;
            theMain.width = width;
            theMain.height = height;
            events.onSize(width, height);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // every paint covers the whole client area: erasing it first would flash
        case WM_PAINT:
            paint(window);
            return 0;
        case WM_LBUTTONDOWN:
            events.onLeftButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            events.onMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEWHEEL: {
            // The wheel's position is on the screen; the view's is in the client area.
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(window, &at);
            wheel(events, GET_WHEEL_DELTA_WPARAM(wParam), at.x, at.y);
            return 0;
        }
        case WM_CHAR:
            typed(static_cast<wchar_t>(wParam));
            return 0;
        case WM_COMMAND:
            if (lParam != 0) break;      // a control's notification, not a menu command
            if (theMain.task) return 0;  // nothing starts while the window waits for a task
            events.onCommand(LOWORD(wParam));
            return 0;
        case WM_DESTROY:
            // What lives in the OpenGL context goes while it is current, then the context.
            theMain.overlays.reset();
            theMain.framebuffer.release();
            deleteWglContext(theMain.context);
            theMain.context = nullptr;
            theMain.window = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int runMainWindow(const std::string& title, const std::vector<MenuCommand>& menu,
                  MainWindowEvents& events) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    // CS_OWNDC: the device context OpenGL draws through belongs to the window for its life.
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    // The program's own icon, as in Explorer; the system's placeholder only where the program
    // carries none. (The system's resources are numbers, the same for narrow and wide calls.)
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(QUILLON_ICON_RESOURCE));
    if (!windowClass.hIcon)
        windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass)) {
        std::fprintf(stderr, "quillon: This program requires Windows NT!\n");
        MessageBoxW(nullptr, L"This program requires Windows NT!", kClassName, MB_ICONERROR);
        return 1;
    }

    theMain.events = &events;
    HWND window = CreateWindowExW(0, kClassName, common::WideFromUtf8(title).c_str(),
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, buildMenu(menu), instance, nullptr);
    if (!window) {
        // A program started from Explorer has no console: the reason goes in a box too.
        const DWORD error = GetLastError();
        messageBox("the main window could not be created (error " + std::to_string(error) + ")",
                   "Warning!");
        return 1;
    }
    theMain.title = title;
    ShowWindow(window, SW_SHOWDEFAULT);
    UpdateWindow(window);
    events.onShown();

    MSG message{};
    for (;;) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (isDialogMessageForOpenDialogs(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    theMain.events = nullptr;
    return static_cast<int>(message.wParam);
}

namespace {

// A choice with the common file dialog, or the answer that a test set in the environment.
// The dialog would move the working folder to the chosen file's; it is put back, so that
// reports and later relative names still mean the folder the program started in.
std::optional<std::string> chooseFile(FileDialog& dialog, bool toSave) {
    std::optional<std::string> chosen;
    std::size_t type = 0;  // the file type chosen
    std::wstring answerVariable = common::WideFromUtf8(kOpenFileAnswerVariable);
    if (const wchar_t* answer = _wgetenv(answerVariable.c_str())) {
        if (*answer) chosen = common::Utf8FromWide(answer);
    } else {
        // Description and pattern, each ended by a null, and an empty string after them.
        std::wstring filter = common::WideFromUtf8(dialog.filterName) + L'\0' +
                              common::WideFromUtf8(dialog.pattern) + L'\0';
        for (const FileDialog::Type& t : dialog.moreTypes)
            filter +=
                common::WideFromUtf8(t.name) + L'\0' + common::WideFromUtf8(t.pattern) + L'\0';
        std::wstring title = common::WideFromUtf8(dialog.title);
        std::wstring extension = common::WideFromUtf8(dialog.defaultExtension);
        wchar_t file[MAX_PATH] = {};
        wchar_t fileTitle[MAX_PATH] = {};
        std::wstring last = common::WideFromUtf8(dialog.lastPath);
        if (last.size() < MAX_PATH) last.copy(file, last.size());

        OPENFILENAMEW choice{};
        choice.lStructSize = sizeof choice;
        choice.hwndOwner = theMain.window;
        choice.lpstrFilter = filter.c_str();
        choice.nFilterIndex = 1;
        choice.lpstrFile = file;
        choice.nMaxFile = MAX_PATH;
        choice.lpstrFileTitle = fileTitle;
        choice.nMaxFileTitle = MAX_PATH;
        choice.lpstrTitle = title.c_str();
        // With several types the chosen one gives the extension, below.
        choice.lpstrDefExt =
            extension.empty() || !dialog.moreTypes.empty() ? nullptr : extension.c_str();
        choice.Flags = toSave ? OFN_OVERWRITEPROMPT : OFN_HIDEREADONLY | OFN_CREATEPROMPT;

        DWORD folderLength = GetCurrentDirectoryW(0, nullptr);
        std::wstring folder(folderLength, L'\0');
        folder.resize(GetCurrentDirectoryW(folderLength, folder.data()));
        BOOL ok = toSave ? GetSaveFileNameW(&choice) : GetOpenFileNameW(&choice);
        if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
        if (ok && file[0]) {
            chosen = common::Utf8FromWide(file);
            type = choice.nFilterIndex > 0 ? choice.nFilterIndex - 1 : 0;  // counted from 1
        }
    }
    if (!chosen) return std::nullopt;
    dialog.lastPath = withDefaultExtension(*chosen, dialog.extensionOfType(type));
    return dialog.lastPath;
}

// The picture on the clipboard as a device-independent bitmap (CF_DIB), which every program that
// pastes pictures takes: 24 bits, rows bottom first, each padded to four bytes, blue first.
common::Outcome copyDib(int width, int height, const std::vector<std::uint8_t>& rgb) {
    const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t bytes = row * static_cast<std::size_t>(height);
    auto failed = [](const char* step) {
        return common::Failure("cannot copy the picture", std::string(step) + " failed (error " +
                                                              std::to_string(GetLastError()) + ")");
    };
    if (width < 1 || height < 1 ||
        rgb.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        return common::Failure("cannot copy the picture", "it has no pixels");
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + bytes);
    if (!memory) return failed("GlobalAlloc");
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(memory));
    if (!header) {
        common::Failure failure = failed("GlobalLock");
        GlobalFree(memory);
        return failure;
    }
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;  // bottom row first
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(bytes);
    auto* pixels = reinterpret_cast<std::uint8_t*>(header + 1);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from =
            &rgb[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) * 3];
        std::uint8_t* to = pixels + row * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
        std::fill(to, pixels + row * static_cast<std::size_t>(y + 1), std::uint8_t{0});
    }
    GlobalUnlock(memory);
    if (!OpenClipboard(theMain.window)) {
        common::Failure failure = failed("OpenClipboard");  // before GlobalFree sets the error
        GlobalFree(memory);
        return failure;
    }
    EmptyClipboard();
    const bool given = SetClipboardData(CF_DIB, memory) != nullptr;
    common::Failure failure = given ? common::Failure() : failed("SetClipboardData");
    CloseClipboard();
    if (given) return {};  // the clipboard owns the memory now
    GlobalFree(memory);
    return failure;
}

// The user's input, which is set aside while the window waits for a task: keys, the mouse in
// the client areas, and the mouse on the menu bar and the system menu. (Moving, sizing and
// closing the window go on as ever.)
bool isSetAside(const MSG& m) {
    if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) return true;
    if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) return true;
    if (m.message == WM_NCLBUTTONDOWN || m.message == WM_NCLBUTTONDBLCLK ||
        m.message == WM_NCRBUTTONDOWN || m.message == WM_NCRBUTTONUP)
        return m.wParam == HTMENU || m.wParam == HTSYSMENU;
    return false;
}

// Messages are handled as they come, a twentieth of a second at most apart, so that the window
// paints and Windows never takes it for one that does not answer; the title shows the share
// done between them. A WM_QUIT met here (the window was closed) is posted again for the main
// loop.
void waitPumping(LongTask& task) {
    LongTask* outer = std::exchange(theMain.task, &task);
    std::string shown;
    bool quit = false;
    WPARAM quitCode = 0;
    while (!task.waitFor(std::chrono::milliseconds(0))) {
        if (!theMain.window || quit) {
            task.stop();
            break;
        }
        std::string title = titleWithProgress(theMain.title, task.doneShare());
        if (title != shown) SetWindowTextW(theMain.window, common::WideFromUtf8(title).c_str());
        shown = title;
        MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG m;
        while (!quit && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                quit = true;
                quitCode = m.wParam;
            } else if (isSetAside(m)) {
                if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) task.onEscape();
            } else {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
        }
    }
    theMain.task = outer;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    if (!shown.empty() && theMain.window)
        SetWindowTextW(theMain.window, common::WideFromUtf8(theMain.title).c_str());
}

class Win32Desktop : public Desktop {
  public:
    void repaintMainWindow() override {
        if (theMain.window) InvalidateRect(theMain.window, nullptr, FALSE);
    }
    void focusMainWindow() override {
        if (theMain.window) SetFocus(theMain.window);
    }
    DialogHost* openDialog(const DialogTemplate& dialogTemplate,
                           std::unique_ptr<DialogLogic> logic) override {
        return openWin32Dialog(dialogTemplate, std::move(logic), theMain.window);
    }
    std::optional<std::string> chooseFileToOpen(FileDialog& dialog) override {
        return chooseFile(dialog, false);
    }
    std::optional<std::string> chooseFileToSave(FileDialog& dialog) override {
        return chooseFile(dialog, true);
    }
    void openInTextEditor(const std::string& path) override { startTextEditor(path); }
    common::Outcome copyPicture(int width, int height,
                                const std::vector<std::uint8_t>& rgb) override {
        return copyDib(width, height, rgb);
    }
    void waitAnswering(LongTask& task) override { waitPumping(task); }
};

}  // namespace

Desktop& windowDesktop() {
    static Win32Desktop desktop;
    return desktop;
}

bool displayAvailable() {
    return true;  // a Windows session has a desktop
}

void installMessageBoxes() {
    setMessagePresenter([](const std::string& text, const std::string& caption) {
        MessageBoxW(nullptr, common::WideFromUtf8(text).c_str(),
                    common::WideFromUtf8(caption).c_str(), MB_OK);
    });
}

}  // namespace quillon::platform
