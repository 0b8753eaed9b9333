#include "viewer/platform/gl_overlay_canvas.h"

#include <GL/gl.h>

#include <algorithm>

#include "viewer/platform/glyphs.h"

namespace quillon::platform {
namespace {

// Text taller or wider than this would need glyph images of hundreds of megabytes; no window
// shows more than a corner of such a glyph, so it is not drawn.
constexpr int kMaxTextSize = 8192;
// Glyph images kept between frames before the ones the last frame did not use are dropped.
constexpr std::size_t kCacheBudget = std::size_t{16} << 20;

// Next code point of UTF-8 text; malformed bytes stand for themselves.
std::uint32_t nextCodePoint(const std::string& s, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
    std::uint8_t b = byte(i);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + static_cast<std::size_t>(extra) >= s.size()) {
        ++i;
        return b;
    }
    std::uint32_t cp = b & (0x3Fu >> extra);
    for (int k = 1; k <= extra; ++k) {
        std::uint8_t c = byte(i + static_cast<std::size_t>(k));
        if ((c & 0xC0) != 0x80) {
            ++i;
            return b;
        }
        cp = (cp << 6) | (c & 0x3Fu);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

int powerOfTwo(int n) {
    int p = 1;
    while (p < n && p < (1 << 30)) p *= 2;
    return p;
}

}  // namespace

GlOverlayCanvas::GlOverlayCanvas() : font_(openLabelFace()) {}

GlOverlayCanvas::~GlOverlayCanvas() {
    for (auto& [key, g] : glyphs_)
        if (g.texture) glDeleteTextures(1, &g.texture);
}

const std::string& GlOverlayCanvas::fontFile() const {
    static const std::string none;
    return font_ ? font_->fontName() : none;
}

void GlOverlayCanvas::begin(int width, int height) {
    width_ = width;
    height_ = height;
    inFrame_ = true;
    projected_ = false;
    ++frame_;
}

void GlOverlayCanvas::enterPixelProjection() {
    if (projected_) return;
    projected_ = true;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_PIXEL_MODE_BIT |
                 GL_POLYGON_BIT | GL_TRANSFORM_BIT | GL_VIEWPORT_BIT | GL_DEPTH_BUFFER_BIT |
                 GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width_, height_, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, width_, height_);
    for (GLenum cap :
         {GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_2D, GL_CULL_FACE, GL_FOG, GL_ALPHA_TEST, GL_DITHER,
          GL_POLYGON_OFFSET_FILL, GL_POLYGON_STIPPLE, GL_BLEND})
        glDisable(cap);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
}

void GlOverlayCanvas::end() {
    if (projected_) {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glPopClientAttrib();
        glPopAttrib();
        glFinish();  // the window is single-buffered: the overlays must be on screen now
    }
    inFrame_ = projected_ = false;
    if (cachedBytes_ > kCacheBudget) {
        for (auto it = glyphs_.begin(); it != glyphs_.end();) {
            if (it->second.lastFrame == frame_) {
                ++it;
                continue;
            }
            cachedBytes_ -= it->second.bytes();
            if (it->second.texture) glDeleteTextures(1, &it->second.texture);
            it = glyphs_.erase(it);
        }
    }
}

void GlOverlayCanvas::fillRect(int left, int top, int right, int bottom, std::int32_t colour) {
    if (!inFrame_ || right <= left || bottom <= top) return;
    enterPixelProjection();
    // In the pixel projection glRecti(l, t, r, b) covers exactly the pixels l..r-1, t..b-1.
    glColor3ub(0, 0, 0);
    glRecti(left, top, right, bottom);
    if (right - left > 2 && bottom - top > 2) {
        glColor3ub(static_cast<GLubyte>(colour & 0xFF), static_cast<GLubyte>((colour >> 8) & 0xFF),
                   static_cast<GLubyte>((colour >> 16) & 0xFF));
        glRecti(left + 1, top + 1, right - 1, bottom - 1);
    }
}

const GlOverlayCanvas::Glyph* GlOverlayCanvas::glyph(int height, int width, unsigned index) {
    SizeKey key{height, width, index};
    auto found = glyphs_.find(key);
    if (found != glyphs_.end()) {
        found->second.lastFrame = frame_;
        return &found->second;
    }
    GlyphImage image;
    if (!font_->glyph(height, width, index, image)) return nullptr;
    Glyph g;
    g.lastFrame = frame_;
    g.advance = image.advance;
    g.left = image.left;
    g.top = image.top;
    g.columns = image.columns;
    g.rows = image.rows;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    g.textureWidth = powerOfTwo(g.columns);
    g.textureHeight = powerOfTwo(g.rows);
    if (g.columns > 0 && g.rows > 0 &&
        image.coverage.size() ==
            static_cast<std::size_t>(g.columns) * static_cast<std::size_t>(g.rows) &&
        g.textureWidth <= maxSize && g.textureHeight <= maxSize) {
        // OpenGL 1.1 textures have power-of-two sizes; the padding stays transparent.
        std::vector<std::uint8_t> alpha(static_cast<std::size_t>(g.textureWidth) *
                                        static_cast<std::size_t>(g.textureHeight));
        for (int r = 0; r < g.rows; ++r)
            std::copy_n(
                &image.coverage[static_cast<std::size_t>(r) * static_cast<std::size_t>(g.columns)],
                g.columns,
                &alpha[static_cast<std::size_t>(r) * static_cast<std::size_t>(g.textureWidth)]);
        glGenTextures(1, &g.texture);
        glBindTexture(GL_TEXTURE_2D, g.texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, g.textureWidth, g.textureHeight, 0, GL_ALPHA,
                     GL_UNSIGNED_BYTE, alpha.data());
    }
    ++rasterised_;
    cachedBytes_ += g.bytes();
    return &glyphs_.emplace(key, std::move(g)).first->second;
}

void GlOverlayCanvas::text(int x, int y, const std::string& text, std::int32_t colour, int height,
                           int width) {
    if (!inFrame_ || !font_ || text.empty() || height <= 0 || height > kMaxTextSize ||
        width > kMaxTextSize)
        return;
    width = std::max(width, 0);
    // Nothing of it can reach the window (glyphs may stick out of their cell a little).
    if (x >= width_ + height || y >= height_ + height || y + 2 * height <= 0) return;
    enterPixelProjection();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    // The colour from glColor, the coverage as alpha from the glyph's texture.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3ub(static_cast<GLubyte>(colour & 0xFF), static_cast<GLubyte>((colour >> 8) & 0xFF),
               static_cast<GLubyte>((colour >> 16) & 0xFF));
    const int baseline = y + font_->ascent(height, width);
    long pen = static_cast<long>(x) * 64;  // 26.6 pixels
    for (std::size_t i = 0; i < text.size();) {
        unsigned index = font_->glyphIndex(nextCodePoint(text, i));
        const Glyph* g = glyph(height, width, index);
        if (!g) continue;
        int gx = static_cast<int>((pen + 32) >> 6) + g->left;
        int gy = baseline - g->top;
        pen += g->advance;
        if (!g->texture || gx >= width_ || gy >= height_ || gx + g->columns <= 0 ||
            gy + g->rows <= 0)
            continue;
        // Texel centres fall on pixel centres: the glyph is copied, not resampled.
        GLfloat s1 = static_cast<GLfloat>(g->columns) / static_cast<GLfloat>(g->textureWidth);
        GLfloat t1 = static_cast<GLfloat>(g->rows) / static_cast<GLfloat>(g->textureHeight);
        glBindTexture(GL_TEXTURE_2D, g->texture);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2i(gx, gy);
        glTexCoord2f(s1, 0);
        glVertex2i(gx + g->columns, gy);
        glTexCoord2f(s1, t1);
        glVertex2i(gx + g->columns, gy + g->rows);
        glTexCoord2f(0, t1);
        glVertex2i(gx, gy + g->rows);
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

}  // namespace quillon::platform
