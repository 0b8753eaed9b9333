#pragma once
// The OpenGL contexts of the Windows build, for the main window and for headless pictures alike:
// one pixel format (8-bit RGBA, 24-bit depth buffer, as the Linux build's headless surface has)
// and one way to make and delete a context.
#include "common/windows_api.h"

namespace quillon::platform {

// The step of making a context that failed.
enum class WglStep { None, ChoosePixelFormat, SetPixelFormat, CreateContext, MakeCurrent };

struct WglContext {
    HGLRC gl = nullptr;              // current on the device context when made
    WglStep failed = WglStep::None;  // the step that failed, if any
    DWORD error = 0;                 // GetLastError() after it
};

// Sets the pixel format on `dc` (drawn into by `surface`: PFD_DRAW_TO_WINDOW, with
// PFD_DOUBLEBUFFER for a window on the screen, or PFD_DRAW_TO_BITMAP) and makes an OpenGL
// context on it current, with a depth buffer of `depthBits` (the nearest the driver has). A
// device context takes one pixel format for its life.
WglContext makeWglContext(HDC dc, DWORD surface, int depthBits = 24);
// Makes no context current and deletes `gl` (nothing when null).
void deleteWglContext(HGLRC gl);
// wglGetProcAddress for GlFramebuffer.
void* wglFunction(const char* name);

}  // namespace quillon::platform
