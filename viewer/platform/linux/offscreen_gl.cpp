#include "viewer/platform/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glx.h>

#include <cstdio>
#include <cstdlib>

namespace quillon::platform {

struct OffscreenGl::Context {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;

    // The context that was current before, current again when this one goes: a window's (GLX),
    // which must not be current while an EGL context is, or another headless one.
    struct Previous {
        Display* glxDisplay = nullptr;
        GLXDrawable glxDraw = 0, glxRead = 0;
        GLXContext glx = nullptr;
        EGLDisplay eglDisplay = EGL_NO_DISPLAY;
        EGLSurface eglDraw = EGL_NO_SURFACE, eglRead = EGL_NO_SURFACE;
        EGLContext egl = EGL_NO_CONTEXT;
    } previous;

    void leavePrevious() {
        Previous& p = previous;
        if ((p.glx = glXGetCurrentContext())) {
            p.glxDisplay = glXGetCurrentDisplay();
            p.glxDraw = glXGetCurrentDrawable();
            p.glxRead = glXGetCurrentReadDrawable();
            glXMakeCurrent(p.glxDisplay, None, nullptr);
        }
        if ((p.egl = eglGetCurrentContext()) != EGL_NO_CONTEXT) {
            p.eglDisplay = eglGetCurrentDisplay();
            p.eglDraw = eglGetCurrentSurface(EGL_DRAW);
            p.eglRead = eglGetCurrentSurface(EGL_READ);
        }
    }
    void restorePrevious() {
        const Previous& p = previous;
        if (p.egl != EGL_NO_CONTEXT) eglMakeCurrent(p.eglDisplay, p.eglDraw, p.eglRead, p.egl);
        if (p.glx) glXMakeContextCurrent(p.glxDisplay, p.glxDraw, p.glxRead, p.glx);
    }
};

OffscreenGl::OffscreenGl(int width, int height, int depthBits)
    : context_(std::make_unique<Context>()), width_(width), height_(height) {
    context_->leavePrevious();
    // What failed, with EGL's error code.
    auto fail = [this](const std::string& what) {
        char code[32];
        std::snprintf(code, sizeof code, "EGL error 0x%04X", static_cast<unsigned>(eglGetError()));
        status_ = common::Failure(what, code);
    };
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        fail("EGL has no eglGetPlatformDisplayEXT");
        return;
    }
    context_->display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (context_->display == EGL_NO_DISPLAY ||
        !eglInitialize(context_->display, nullptr, nullptr)) {
        fail("cannot open the surfaceless EGL display");
        return;
    }
    // Eight bits for alpha too: otherwise Mesa picks a 10-bit configuration whose pixels
    // differ from the window's.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       depthBits,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(context_->display, configAttributes, &config, 1, &count) || count < 1) {
        fail("no EGL configuration with 8-bit RGBA and a depth buffer");
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    context_->surface = eglCreatePbufferSurface(context_->display, config, surfaceAttributes);
    if (context_->surface == EGL_NO_SURFACE) {
        fail("cannot create an EGL pbuffer of " + std::to_string(width) + "x" +
             std::to_string(height));
        return;
    }
    eglBindAPI(EGL_OPENGL_API);
    context_->context = eglCreateContext(context_->display, config, EGL_NO_CONTEXT, nullptr);
    if (context_->context == EGL_NO_CONTEXT) {
        fail("cannot create an OpenGL context");
        return;
    }
    if (eglMakeCurrent(context_->display, context_->surface, context_->surface,
                       context_->context) != EGL_TRUE) {
        fail("cannot make the OpenGL context current");
        return;
    }
    status_ = {};
}

OffscreenGl::~OffscreenGl() {
    if (context_->display != EGL_NO_DISPLAY) {
        eglMakeCurrent(context_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context_->context != EGL_NO_CONTEXT)
            eglDestroyContext(context_->display, context_->context);
        if (context_->surface != EGL_NO_SURFACE)
            eglDestroySurface(context_->display, context_->surface);
        // The display is not terminated: it is one per process and the next context takes it
        // up again, while terminating it unloads the driver with what it keeps for the process.
    }
    context_->restorePrevious();
}

void* OffscreenGl::function(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

void OffscreenGl::makeCurrent() {
    if (status_.ok())
        eglMakeCurrent(context_->display, context_->surface, context_->surface, context_->context);
}

}  // namespace quillon::platform
