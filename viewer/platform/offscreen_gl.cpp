#include "viewer/platform/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

namespace quillon::platform {

struct OffscreenGl::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

OffscreenGl::OffscreenGl(int width, int height)
    : egl_(std::make_unique<Egl>()), width_(width), height_(height) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        error_ = "EGL has no eglGetPlatformDisplayEXT";
        return;
    }
    egl_->display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (egl_->display == EGL_NO_DISPLAY || !eglInitialize(egl_->display, nullptr, nullptr)) {
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
                                       24,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(egl_->display, configAttributes, &config, 1, &count) || count < 1) {
        error_ = "no EGL configuration with 8-bit RGBA and a depth buffer";
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    egl_->surface = eglCreatePbufferSurface(egl_->display, config, surfaceAttributes);
    if (egl_->surface == EGL_NO_SURFACE) {
        error_ = "cannot create an EGL pbuffer of " + std::to_string(width) + "x" +
                 std::to_string(height);
        return;
    }
    eglBindAPI(EGL_OPENGL_API);
    egl_->context = eglCreateContext(egl_->display, config, EGL_NO_CONTEXT, nullptr);
    if (egl_->context == EGL_NO_CONTEXT) {
        error_ = "cannot create an OpenGL context";
        return;
    }
    ok_ = eglMakeCurrent(egl_->display, egl_->surface, egl_->surface, egl_->context) == EGL_TRUE;
    if (!ok_) error_ = "cannot make the OpenGL context current";
}

OffscreenGl::~OffscreenGl() {
    if (egl_->display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(egl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (egl_->context != EGL_NO_CONTEXT) eglDestroyContext(egl_->display, egl_->context);
    if (egl_->surface != EGL_NO_SURFACE) eglDestroySurface(egl_->display, egl_->surface);
    // The display is not terminated: it is one per process and the next context takes it up
    // again, while terminating it unloads the driver with what it keeps for the process.
}

void OffscreenGl::makeCurrent() {
    if (ok_) eglMakeCurrent(egl_->display, egl_->surface, egl_->surface, egl_->context);
}

std::vector<std::uint8_t> OffscreenGl::readRgb() const {
    std::size_t row = static_cast<std::size_t>(width_) * 3;
    std::vector<std::uint8_t> flipped(row * static_cast<std::size_t>(height_));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, flipped.data());
    // OpenGL's first row is the bottom one.
    std::vector<std::uint8_t> rgb(flipped.size());
    for (int y = 0; y < height_; ++y)
        std::copy_n(&flipped[static_cast<std::size_t>(height_ - 1 - y) * row], row,
                    &rgb[static_cast<std::size_t>(y) * row]);
    return rgb;
}

}  // namespace quillon::platform
