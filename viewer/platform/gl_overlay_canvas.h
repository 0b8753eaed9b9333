#pragma once
// The overlay canvas drawn with OpenGL in window pixels over the finished 3-D picture, the
// same in the window and headless. Text comes from the glyph images of glyphs.h: "Times New
// Roman" from GDI on Windows, the face that fontconfig gives for it (any serif face when that is
// missing) from FreeType elsewhere.
//
// Hold one canvas for as long as the OpenGL context lives, and destroy it while that context
// is current: it keeps the font and the glyph images (as textures) between frames. Per frame:
//
//     canvas.begin(width, height);   // client size in pixels; may come before the 3-D pass
//     ... fillRect / text ...
//     canvas.end();                  // restores every matrix and state it changed
//
// The pixel projection is entered at the first drawing call after begin(), so begin() may be
// called before the 3-D pass of the same frame. Drawing outside begin()/end() does nothing.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "viewer/platform/overlay_canvas.h"

namespace quillon::platform {

class GlyphSource;

class GlOverlayCanvas : public OverlayCanvas {
  public:
    GlOverlayCanvas();
    ~GlOverlayCanvas() override;
    GlOverlayCanvas(const GlOverlayCanvas&) = delete;
    GlOverlayCanvas& operator=(const GlOverlayCanvas&) = delete;

    void begin(int width, int height);
    void end();

    // GDI's Rectangle with the black pen and a solid brush: the frame occupies the pixels
    // left..right-1 and top..bottom-1 of the outer rows and columns, the inside is `colour`.
    void fillRect(int left, int top, int right, int bottom, std::int32_t colour) override;
    // `height` is the cell height (ascent + descent) in pixels; nothing is drawn for a height
    // of 0 or below. `width` > 0 scales the glyphs across so that the average character width
    // is about `width`. The baseline lies at y + ascent.
    void text(int x, int y, const std::string& text, std::int32_t colour, int height,
              int width) override;

    // The font in use (its file, or on Windows its face name); empty when no font could be loaded
    // (text then draws nothing).
    const std::string& fontFile() const;
    // Glyph images made so far; a glyph drawn again at the same size comes from the cache.
    std::size_t glyphsRasterised() const { return rasterised_; }

  private:
    struct Glyph {
        int advance = 0;        // 26.6 pixels
        int left = 0, top = 0;  // bitmap offset from the pen position on the baseline
        int columns = 0, rows = 0;
        unsigned texture = 0;  // coverage as alpha, top row first, padded to powers of two
        int textureWidth = 0, textureHeight = 0;
        std::size_t bytes() const {
            return texture ? static_cast<std::size_t>(textureWidth) *
                                 static_cast<std::size_t>(textureHeight)
                           : 0;
        }
        std::uint64_t lastFrame = 0;
    };
    struct SizeKey {
        int height, width;
        unsigned glyph;
        auto operator<=>(const SizeKey&) const = default;
    };

    const Glyph* glyph(int height, int width, unsigned index);
    void enterPixelProjection();

    std::unique_ptr<GlyphSource> font_;
    std::map<SizeKey, Glyph> glyphs_;
    std::size_t rasterised_ = 0;
    std::size_t cachedBytes_ = 0;
    std::uint64_t frame_ = 0;
    int width_ = 0, height_ = 0;
    bool inFrame_ = false, projected_ = false;
};

}  // namespace quillon::platform
