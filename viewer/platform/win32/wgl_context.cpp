#include "viewer/platform/win32/wgl_context.h"

namespace quillon::platform {

WglContext makeWglContext(HDC dc, DWORD surface, int depthBits) {
    PIXELFORMATDESCRIPTOR want{};
    want.nSize = sizeof want;
    want.nVersion = 1;
    want.dwFlags = surface | PFD_SUPPORT_OPENGL;
    want.iPixelType = PFD_TYPE_RGBA;
    want.cColorBits = 32;
    // A bitmap's format has no alpha bits for OpenGL.
    want.cAlphaBits = (surface & PFD_DRAW_TO_BITMAP) ? 0 : 8;
    want.cDepthBits = static_cast<BYTE>(depthBits);
    want.iLayerType = PFD_MAIN_PLANE;
    WglContext made;
    auto fail = [&](WglStep step) {
        made.failed = step;
        made.error = GetLastError();
        return made;
    };
    const int format = ChoosePixelFormat(dc, &want);
    if (format == 0) return fail(WglStep::ChoosePixelFormat);
    if (!SetPixelFormat(dc, format, &want)) return fail(WglStep::SetPixelFormat);
    made.gl = wglCreateContext(dc);
    if (!made.gl) return fail(WglStep::CreateContext);
    if (!wglMakeCurrent(dc, made.gl)) {
        WglContext failed = fail(WglStep::MakeCurrent);
        wglDeleteContext(failed.gl);
        failed.gl = nullptr;
        return failed;
    }
    return made;
}

void deleteWglContext(HGLRC gl) {
    if (!gl) return;
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(gl);
}

void* wglFunction(const char* name) {
    return reinterpret_cast<void*>(wglGetProcAddress(name));
}

}  // namespace quillon::platform
