#include "viewer/platform/gl_framebuffer.h"

#if defined(_WIN32)
#include "common/windows_api.h"  // before GL/gl.h, which needs it there
#endif
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <type_traits>

namespace quillon::platform {
namespace {

bool hasExtension(const char* name) {
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!all) return false;
    std::size_t length = std::strlen(name);
    for (const char* p = std::strstr(all, name); p; p = std::strstr(p + 1, name))
        if ((p == all || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0')) return true;
    return false;
}

}  // namespace

// The framebuffer functions of OpenGL 3.0, or of the extensions that brought them, whose
// constants are the same.
struct GlFramebuffer::Functions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    // The reason when the current context has not all of them.
    std::string load(FunctionLoader loader) {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const char *suffix = nullptr, *blitSuffix = nullptr;
        if ((version && version[0] >= '3' && version[0] <= '9' && version[1] == '.') ||
            hasExtension("GL_ARB_framebuffer_object")) {
            suffix = blitSuffix = "";
        } else if (hasExtension("GL_EXT_framebuffer_object")) {
            suffix = "EXT";
            blitSuffix = hasExtension("GL_EXT_framebuffer_blit") ? "EXT" : nullptr;
        } else {
            return "OpenGL has no framebuffer objects";
        }
        auto get = [&](auto& function, const char* name, const char* ending) {
            if (!ending) return false;
            std::string full = std::string(name) + ending;
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(loader(full.c_str()));
            return function != nullptr;
        };
        bool all = get(genFramebuffers, "glGenFramebuffers", suffix) &&
                   get(deleteFramebuffers, "glDeleteFramebuffers", suffix) &&
                   get(bindFramebuffer, "glBindFramebuffer", suffix) &&
                   get(genRenderbuffers, "glGenRenderbuffers", suffix) &&
                   get(deleteRenderbuffers, "glDeleteRenderbuffers", suffix) &&
                   get(bindRenderbuffer, "glBindRenderbuffer", suffix) &&
                   get(renderbufferStorage, "glRenderbufferStorage", suffix) &&
                   get(framebufferRenderbuffer, "glFramebufferRenderbuffer", suffix) &&
                   get(checkFramebufferStatus, "glCheckFramebufferStatus", suffix) &&
                   get(blitFramebuffer, "glBlitFramebuffer", blitSuffix);
        return all ? "" : "OpenGL has no framebuffer objects";
    }
};

GlFramebuffer::GlFramebuffer() = default;
GlFramebuffer::~GlFramebuffer() = default;

std::string GlFramebuffer::open(FunctionLoader loader, int width, int height) {
    if (isOpen() && width == width_ && height == height_) {
        bind();
        return "";
    }
    release();
    // Looked for once per context: a window without them asks again at every frame.
    if (!unsupported_.empty()) return unsupported_;
    if (!gl_) {
        auto functions = std::make_unique<Functions>();
        if (std::string why = functions->load(loader); !why.empty()) return unsupported_ = why;
        gl_ = std::move(functions);
    }
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width < 1 || height < 1 || width > largest || height > largest)
        return "no framebuffer object of " + size + " (OpenGL's end at " + std::to_string(largest) +
               " pixels)";
    GLuint framebuffer = 0, colour = 0, depth = 0;
    gl_->genFramebuffers(1, &framebuffer);
    gl_->bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl_->genRenderbuffers(1, &colour);
    gl_->bindRenderbuffer(GL_RENDERBUFFER, colour);
    gl_->renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl_->framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    gl_->genRenderbuffers(1, &depth);
    gl_->bindRenderbuffer(GL_RENDERBUFFER, depth);
    gl_->renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    gl_->framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    gl_->bindRenderbuffer(GL_RENDERBUFFER, 0);
    framebuffer_ = framebuffer;
    colour_ = colour;
    depth_ = depth;
    width_ = width;
    height_ = height;
    if (gl_->checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        release();
        return "cannot make a framebuffer object of " + size;
    }
    return "";
}

void GlFramebuffer::bind() const {
    if (isOpen()) gl_->bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void GlFramebuffer::copyToWindow() const {
    if (!isOpen()) return;
    gl_->bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    gl_->bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl_->blitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                         GL_NEAREST);
    gl_->bindFramebuffer(GL_FRAMEBUFFER, 0);
}

void GlFramebuffer::release() {
    if (isOpen()) {
        gl_->bindFramebuffer(GL_FRAMEBUFFER, 0);
        gl_->deleteFramebuffers(1, &framebuffer_);
        const GLuint buffers[] = {colour_, depth_};
        gl_->deleteRenderbuffers(2, buffers);
    }
    framebuffer_ = colour_ = depth_ = 0;
    width_ = height_ = 0;
}

void GlFramebuffer::forget() {
    framebuffer_ = colour_ = depth_ = 0;
    width_ = height_ = 0;
    gl_.reset();
    unsupported_.clear();
}

}  // namespace quillon::platform
