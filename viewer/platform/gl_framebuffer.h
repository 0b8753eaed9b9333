#pragma once
// A framebuffer object of the current OpenGL context with 8-bit RGBA colour and a 24-bit depth
// buffer: the one kind of buffer every picture is drawn in, headless or in the window.
//
// The window draws each frame here and copies it to the screen, so that what it shows does not
// depend on the depth buffer that the window's pixel format happens to have. A plan view shows
// why: every face lies parallel to the screen, and one step of depth is all that keeps an outline
// in front of its face. That step is worked out for 24 bits; with 32 it is lost in rounding, with
// 16 it is coarser than the headless picture's.
#include <memory>
#include <string>

namespace quillon::platform {

class GlFramebuffer {
  public:
    // How a backend finds an OpenGL function of the current context (wglGetProcAddress,
    // glXGetProcAddress, eglGetProcAddress); null for a missing one.
    using FunctionLoader = void* (*)(const char* name);

    GlFramebuffer();
    ~GlFramebuffer();  // release() first, while the context is current
    GlFramebuffer(const GlFramebuffer&) = delete;
    GlFramebuffer& operator=(const GlFramebuffer&) = delete;

    // Makes the buffer of `width` × `height` in the current context (again when the size
    // changed) and binds it for drawing. The reason when the context cannot have one (no
    // framebuffer objects, or a size beyond the driver's), and then nothing is bound.
    std::string open(FunctionLoader loader, int width, int height);
    bool isOpen() const { return framebuffer_ != 0; }
    // Copies the picture, pixel for pixel, to the context's own framebuffer (the window), whose
    // drawing buffer stays as it was, and leaves that framebuffer bound.
    void copyToWindow() const;
    // Deletes the buffer; call with its context current.
    void release();
    // Forgets the buffer without deleting it: its context is gone, and everything in it.
    void forget();

  private:
    struct Functions;
    void bind() const;
    std::unique_ptr<Functions> gl_;  // loaded with the first buffer of a context
    std::string unsupported_;        // why the context has none, once that is known
    unsigned framebuffer_ = 0, colour_ = 0, depth_ = 0;
    int width_ = 0, height_ = 0;
};

}  // namespace quillon::platform
