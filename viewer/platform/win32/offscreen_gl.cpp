// Headless OpenGL on Windows. First choice: a context on a window that is never shown, drawing
// into a framebuffer object of the asked size (a window's own buffer would be cut to the
// screen). Where the driver has no framebuffer objects, or no window can be made, Windows' own
// OpenGL 1.1 draws into a bitmap (a DIB section), as it does on remote desktops and virtual
// machines without a graphics driver.
#include "viewer/platform/offscreen_gl.h"

#include "viewer/platform/win32/wgl_context.h"
// After windows.h:
#include <GL/gl.h>

#include <string>

#include "viewer/platform/gl_framebuffer.h"

namespace quillon::platform {
namespace {

constexpr wchar_t kWindowClass[] = L"Quillon Offscreen";

// " (error N)": the system's error code, for a reason.
std::string errorCode(DWORD error) {
    return " (error " + std::to_string(error) + ")";
}

// The hidden window's class: a device context of its own, as OpenGL wants it.
bool registerWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.style = CS_OWNDC;
        c.lpfnWndProc = DefWindowProcW;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = kWindowClass;
        return RegisterClassExW(&c) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

struct OffscreenGl::Context {
    HWND window = nullptr;
    HDC dc = nullptr;  // the window's own, or the memory DC that holds the bitmap
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HGLRC gl = nullptr;
    GlFramebuffer framebuffer;
    // The context that was current before (a window's, or another headless one), current again
    // when this one goes.
    HDC previousDc = wglGetCurrentDC();
    HGLRC previousGl = wglGetCurrentContext();

    // Everything made so far goes, and the context is no longer current.
    void release() {
        if (gl) {
            framebuffer.release();
            deleteWglContext(gl);
            gl = nullptr;
        }
        if (window) {
            DestroyWindow(window);  // its own DC goes with it
            window = nullptr;
        } else if (dc) {
            if (previousBitmap) SelectObject(dc, previousBitmap);
            DeleteDC(dc);
        }
        if (bitmap) DeleteObject(bitmap);
        dc = nullptr;
        bitmap = nullptr;
        previousBitmap = nullptr;
    }

    // A context on a hidden window, drawing into a framebuffer object; the reason when none.
    std::string openFramebuffer(int width, int height, int depthBits) {
        if (!registerWindowClass()) return "cannot register the hidden window's class";
        window = CreateWindowExW(0, kWindowClass, L"", WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!window) return "cannot create a hidden window" + errorCode(GetLastError());
        dc = GetDC(window);
        if (!dc) return "no device context for a hidden window";
        WglContext made = makeWglContext(dc, PFD_DRAW_TO_WINDOW, depthBits);
        gl = made.gl;
        if (made.failed == WglStep::ChoosePixelFormat || made.failed == WglStep::SetPixelFormat)
            return "no OpenGL pixel format for a window" + errorCode(made.error);
        if (!gl) return "cannot create an OpenGL context for a window" + errorCode(made.error);
        if (std::string why = framebuffer.open(wglFunction, width, height); !why.empty())
            return why;
        glViewport(0, 0, width, height);
        return "";
    }

    // A context drawing into a 32-bit bitmap; the reason when none.
    std::string openBitmap(int width, int height, int depthBits) {
        dc = CreateCompatibleDC(nullptr);
        if (!dc) return "cannot create a memory device context";
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // bottom row first, as OpenGL has it
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap)
            return "cannot create a bitmap of " + std::to_string(width) + "x" +
                   std::to_string(height);
        previousBitmap = SelectObject(dc, bitmap);
        WglContext made = makeWglContext(dc, PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI, depthBits);
        gl = made.gl;
        if (made.failed == WglStep::ChoosePixelFormat || made.failed == WglStep::SetPixelFormat)
            return "no OpenGL pixel format for a bitmap" + errorCode(made.error);
        if (!gl) return "cannot create an OpenGL context for a bitmap" + errorCode(made.error);
        glViewport(0, 0, width, height);
        return "";
    }
};

OffscreenGl::OffscreenGl(int width, int height, int depthBits)
    : context_(std::make_unique<Context>()), width_(width), height_(height) {
    std::string windowError = context_->openFramebuffer(width, height, depthBits);
    if (windowError.empty()) {
        status_ = {};
        return;
    }
    context_->release();
    std::string bitmapError = context_->openBitmap(width, height, depthBits);
    if (bitmapError.empty()) {
        status_ = {};
        return;
    }
    context_->release();
    status_ = common::Failure("no headless OpenGL context", windowError + "; " + bitmapError);
}

OffscreenGl::~OffscreenGl() {
    context_->release();
    if (context_->previousGl) wglMakeCurrent(context_->previousDc, context_->previousGl);
}

void* OffscreenGl::function(const char* name) {
    return wglFunction(name);
}

void OffscreenGl::makeCurrent() {
    if (status_.ok()) wglMakeCurrent(context_->dc, context_->gl);
}

}  // namespace quillon::platform
