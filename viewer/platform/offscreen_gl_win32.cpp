// Headless OpenGL on Windows. First choice: a context on a window that is never shown, drawing
// into a framebuffer object of the asked size (a window's own buffer would be cut to the
// screen). Where the driver has no framebuffer objects, or no window can be made, Windows' own
// OpenGL 1.1 draws into a bitmap (a DIB section), as it does on remote desktops and virtual
// machines without a graphics driver.
#include "viewer/platform/offscreen_gl.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h:
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace quillon::platform {
namespace {

constexpr wchar_t kWindowClass[] = L"Quillon Offscreen";

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

// 8-bit RGBA and a 24-bit depth buffer, as the Linux build's headless context has.
bool setPixelFormat(HDC dc, DWORD drawTo) {
    PIXELFORMATDESCRIPTOR want{};
    want.nSize = sizeof want;
    want.nVersion = 1;
    want.dwFlags = drawTo | PFD_SUPPORT_OPENGL;
    want.iPixelType = PFD_TYPE_RGBA;
    want.cColorBits = 32;
    want.cAlphaBits = drawTo == PFD_DRAW_TO_WINDOW ? 8 : 0;
    want.cDepthBits = 24;
    want.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(dc, &want);
    return format != 0 && SetPixelFormat(dc, format, &want);
}

bool hasExtension(const char* name) {
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!all) return false;
    std::size_t length = std::strlen(name);
    for (const char* p = std::strstr(all, name); p; p = std::strstr(p + 1, name))
        if ((p == all || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0')) return true;
    return false;
}

// The framebuffer functions of OpenGL 3.0 (or of its two extensions, which have the same
// constants): nothing when the context has none of them.
struct FramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    bool load() {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const char* suffix = nullptr;
        if ((version && version[0] >= '3' && version[0] <= '9' && version[1] == '.') ||
            hasExtension("GL_ARB_framebuffer_object"))
            suffix = "";
        else if (hasExtension("GL_EXT_framebuffer_object"))
            suffix = "EXT";
        else
            return false;
        auto get = [&](auto& function, const char* name) {
            std::string full = std::string(name) + suffix;
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                reinterpret_cast<void*>(wglGetProcAddress(full.c_str())));
            return function != nullptr;
        };
        return get(genFramebuffers, "glGenFramebuffers") &&
               get(deleteFramebuffers, "glDeleteFramebuffers") &&
               get(bindFramebuffer, "glBindFramebuffer") &&
               get(genRenderbuffers, "glGenRenderbuffers") &&
               get(deleteRenderbuffers, "glDeleteRenderbuffers") &&
               get(bindRenderbuffer, "glBindRenderbuffer") &&
               get(renderbufferStorage, "glRenderbufferStorage") &&
               get(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
               get(checkFramebufferStatus, "glCheckFramebufferStatus");
    }
};

}  // namespace

struct OffscreenGl::Context {
    HWND window = nullptr;
    HDC dc = nullptr;  // the window's own, or the memory DC that holds the bitmap
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HGLRC gl = nullptr;
    FramebufferFunctions fbo;
    GLuint framebuffer = 0, colour = 0, depth = 0;

    // Everything made so far goes, and the context is no longer current.
    void release() {
        if (gl) {
            if (framebuffer) {
                fbo.bindFramebuffer(GL_FRAMEBUFFER, 0);
                fbo.deleteFramebuffers(1, &framebuffer);
                GLuint buffers[] = {colour, depth};
                fbo.deleteRenderbuffers(2, buffers);
                framebuffer = colour = depth = 0;
            }
            wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(gl);
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
    std::string openFramebuffer(int width, int height) {
        if (!registerWindowClass()) return "cannot register the hidden window's class";
        window = CreateWindowExW(0, kWindowClass, L"", WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!window) return "cannot create a hidden window";
        dc = GetDC(window);
        if (!dc || !setPixelFormat(dc, PFD_DRAW_TO_WINDOW))
            return "no OpenGL pixel format for a window";
        gl = wglCreateContext(dc);
        if (!gl || !wglMakeCurrent(dc, gl)) return "cannot create an OpenGL context for a window";
        if (!fbo.load()) return "OpenGL has no framebuffer objects";
        GLint largest = 0;
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
        if (width > largest || height > largest)
            return "framebuffer objects of OpenGL end at " + std::to_string(largest) + " pixels";
        fbo.genFramebuffers(1, &framebuffer);
        fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        fbo.genRenderbuffers(1, &colour);
        fbo.bindRenderbuffer(GL_RENDERBUFFER, colour);
        fbo.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        fbo.genRenderbuffers(1, &depth);
        fbo.bindRenderbuffer(GL_RENDERBUFFER, depth);
        fbo.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        if (fbo.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            return "cannot make a framebuffer object of " + std::to_string(width) + "x" +
                   std::to_string(height);
        glViewport(0, 0, width, height);
        return "";
    }

    // A context drawing into a 32-bit bitmap; the reason when none.
    std::string openBitmap(int width, int height) {
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
        if (!setPixelFormat(dc, PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI))
            return "no OpenGL pixel format for a bitmap";
        gl = wglCreateContext(dc);
        if (!gl || !wglMakeCurrent(dc, gl)) return "cannot create an OpenGL context for a bitmap";
        glViewport(0, 0, width, height);
        return "";
    }
};

OffscreenGl::OffscreenGl(int width, int height)
    : context_(std::make_unique<Context>()), width_(width), height_(height) {
    std::string windowError = context_->openFramebuffer(width, height);
    if (windowError.empty()) {
        ok_ = true;
        return;
    }
    context_->release();
    std::string bitmapError = context_->openBitmap(width, height);
    if (bitmapError.empty()) {
        ok_ = true;
        return;
    }
    context_->release();
    error_ = windowError + "; " + bitmapError;
}

OffscreenGl::~OffscreenGl() {
    context_->release();
}

void OffscreenGl::makeCurrent() {
    if (ok_) wglMakeCurrent(context_->dc, context_->gl);
}

}  // namespace quillon::platform
