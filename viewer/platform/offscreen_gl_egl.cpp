#include "viewer/platform/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdlib>

namespace quillon::platform {

struct OffscreenGl::Context {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

OffscreenGl::OffscreenGl(int width, int height, int depthBits)
    : context_(std::make_unique<Context>()), width_(width), height_(height) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        error_ = "EGL has no eglGetPlatformDisplayEXT";
        return;
    }
    context_->display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (context_->display == EGL_NO_DISPLAY ||
        !eglInitialize(context_->display, nullptr, nullptr)) {
        error_ = "cannot open the surfaceless EGL display";
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
        error_ = "no EGL configuration with 8-bit RGBA and a depth buffer";
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    context_->surface = eglCreatePbufferSurface(context_->display, config, surfaceAttributes);
    if (context_->surface == EGL_NO_SURFACE) {
        error_ = "cannot create an EGL pbuffer of " + std::to_string(width) + "x" +
                 std::to_string(height);
        return;
    }
    eglBindAPI(EGL_OPENGL_API);
    context_->context = eglCreateContext(context_->display, config, EGL_NO_CONTEXT, nullptr);
    if (context_->context == EGL_NO_CONTEXT) {
        error_ = "cannot create an OpenGL context";
        return;
    }
    ok_ = eglMakeCurrent(context_->display, context_->surface, context_->surface,
                         context_->context) == EGL_TRUE;
    if (!ok_) error_ = "cannot make the OpenGL context current";
}

OffscreenGl::~OffscreenGl() {
    if (context_->display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(context_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_->context != EGL_NO_CONTEXT)
        eglDestroyContext(context_->display, context_->context);
    if (context_->surface != EGL_NO_SURFACE)
        eglDestroySurface(context_->display, context_->surface);
    // The display is not terminated: it is one per process and the next context takes it up
    // again, while terminating it unloads the driver with what it keeps for the process.
}

void* OffscreenGl::function(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

void OffscreenGl::makeCurrent() {
    if (ok_)
        eglMakeCurrent(context_->display, context_->surface, context_->surface, context_->context);
}

}  // namespace quillon::platform
