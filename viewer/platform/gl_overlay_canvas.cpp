#include "viewer/platform/gl_overlay_canvas.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>

namespace quillon::platform {
namespace {

// Text taller or wider than this would need glyph images of hundreds of megabytes; no window
// shows more than a corner of such a glyph, so it is not drawn.
constexpr int kMaxTextSize = 8192;
// Glyph images kept between frames before the ones the last frame did not use are dropped.
constexpr std::size_t kCacheBudget = std::size_t{16} << 20;

// The file and face index fontconfig chooses for "Times New Roman", with "serif" as the next
// family so that a system without a metric-compatible face still gets a serif one.
bool findFont(std::string& file, int& index) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Times New Roman"));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("serif"));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    bool found = false;
    if (match) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
            file = reinterpret_cast<const char*>(path);
            index = 0;
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            found = true;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return found;
}

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

struct GlOverlayCanvas::Font {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::string file;
    double ascender = 0, descender = 0;   // font units, both positive: the cell is their sum
    double averageWidth = 0;              // font units
    int sizeHeight = -1, sizeWidth = -1;  // the size the face is set to

    ~Font() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }

    bool load() {
        int index = 0;
        if (!findFont(file, index) || FT_Init_FreeType(&library) != 0) return false;
        if (FT_New_Face(library, file.c_str(), index, &face) != 0) {
            face = nullptr;
            return false;
        }
        // The cell is what the Windows metrics of the face span, where it has them.
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
            ascender = os2->usWinAscent;
            descender = os2->usWinDescent;
        } else {
            ascender = face->ascender;
            descender = -face->descender;
        }
        if (ascender + descender <= 0) {
            ascender = face->units_per_EM * 0.9;
            descender = face->units_per_EM * 0.2;
        }
        averageWidth = weightedAverageWidth();
        if (averageWidth <= 0)
            averageWidth =
                os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : face->units_per_EM * 0.4;
        return true;
    }

    // The average character width as the classic font tables define it: the advances of the
    // lower-case letters and the space weighted by their frequency in English text. Newer faces
    // store an average over all their glyphs instead, which would make metric-compatible faces
    // come out narrower or wider than the face they stand in for.
    double weightedAverageWidth() const {
        static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                             56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
        double sum = 0;
        for (int k = 0; k < 27; ++k) {
            FT_ULong ch = k < 26 ? static_cast<FT_ULong>('a' + k) : ' ';
            FT_UInt index = FT_Get_Char_Index(face, ch);
            FT_Fixed advance = 0;
            if (index == 0 || FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) != 0)
                return 0;
            sum += static_cast<double>(advance) * kWeights[k];
        }
        return sum / 1000;
    }

    int ascent(int height) const {
        return static_cast<int>(std::lround(height * ascender / (ascender + descender)));
    }

    // Scales the face so that the cell is `height` pixels high and, for a width, the average
    // character `width` pixels wide.
    bool setSize(int height, int width) {
        if (height == sizeHeight && width == sizeWidth) return true;
        double em = height * static_cast<double>(face->units_per_EM) / (ascender + descender);
        double emAcross =
            width > 0 ? width * static_cast<double>(face->units_per_EM) / averageWidth : em;
        auto to26 = [](double px) {
            return static_cast<FT_F26Dot6>(std::max(1.0, std::round(px * 64)));
        };
        if (FT_Set_Char_Size(face, to26(emAcross), to26(em), 72, 72) != 0) {
            sizeHeight = sizeWidth = -1;
            return false;
        }
        sizeHeight = height;
        sizeWidth = width;
        return true;
    }
};

GlOverlayCanvas::GlOverlayCanvas() : font_(std::make_unique<Font>()) {
    if (!font_->load()) font_.reset();
}

GlOverlayCanvas::~GlOverlayCanvas() {
    for (auto& [key, g] : glyphs_)
        if (g.texture) glDeleteTextures(1, &g.texture);
}

const std::string& GlOverlayCanvas::fontFile() const {
    static const std::string none;
    return font_ ? font_->file : none;
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
    if (!font_->setSize(height, width)) return nullptr;
    Glyph g;
    g.lastFrame = frame_;
    FT_Face face = font_->face;
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) == 0) {
        FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g.advance = static_cast<int>(slot->advance.x);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.columns = static_cast<int>(bm.width);
        g.rows = static_cast<int>(bm.rows);
        bool gray = bm.pixel_mode == FT_PIXEL_MODE_GRAY, mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
        GLint maxSize = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
        g.textureWidth = powerOfTwo(g.columns);
        g.textureHeight = powerOfTwo(g.rows);
        if ((gray || mono) && g.columns > 0 && g.rows > 0 && g.textureWidth <= maxSize &&
            g.textureHeight <= maxSize) {
            // OpenGL 1.1 textures have power-of-two sizes; the padding stays transparent.
            std::vector<std::uint8_t> alpha(static_cast<std::size_t>(g.textureWidth) *
                                            static_cast<std::size_t>(g.textureHeight));
            for (int r = 0; r < g.rows; ++r) {
                const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch;
                std::uint8_t* dst =
                    &alpha[static_cast<std::size_t>(r) * static_cast<std::size_t>(g.textureWidth)];
                for (int c = 0; c < g.columns; ++c)
                    dst[c] = gray ? static_cast<std::uint8_t>(src[c] * 255 /
                                                              std::max(1, bm.num_grays - 1))
                                  : ((src[c / 8] >> (7 - c % 8)) & 1 ? 255 : 0);
            }
            glGenTextures(1, &g.texture);
            glBindTexture(GL_TEXTURE_2D, g.texture);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, g.textureWidth, g.textureHeight, 0, GL_ALPHA,
                         GL_UNSIGNED_BYTE, alpha.data());
        }
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
    const int baseline = y + font_->ascent(height);
    long pen = static_cast<long>(x) * 64;  // 26.6 pixels
    for (std::size_t i = 0; i < text.size();) {
        unsigned index = FT_Get_Char_Index(font_->face, nextCodePoint(text, i));
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
