#pragma once
// The glyph images of the labels' and legend's face, for the OpenGL overlay canvas: from
// FreeType with the face that fontconfig gives for "Times New Roman" on Linux
// (linux/glyphs.cpp), from GDI's "Times New Roman" on Windows (win32/glyphs.cpp). The canvas
// draws them the same way on both, in the window and headless.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon::platform {

struct GlyphImage {
    int advance = 0;        // 26.6 pixels
    int left = 0, top = 0;  // bitmap offset from the pen position on the baseline (top upwards)
    int columns = 0, rows = 0;
    std::vector<std::uint8_t> coverage;  // rows × columns, 0 to 255, top row first; may be empty
};

class GlyphSource {
  public:
    virtual ~GlyphSource() = default;
    // The font in use: its file, or its face name where the system names fonts by face.
    virtual const std::string& fontName() const = 0;
    // The face's glyph for a code point; 0 (the face's "missing" glyph) when it has none.
    virtual unsigned glyphIndex(std::uint32_t codePoint) = 0;
    // For a character cell `height` pixels high and an average character `width` pixels wide
    // (0: the face's own proportions): pixels from the top of the cell to the baseline, and
    // the image of glyph `index`. glyph() is false when the face cannot take that size; a glyph
    // that cannot be drawn gives an image without coverage.
    virtual int ascent(int height, int width) = 0;
    virtual bool glyph(int height, int width, unsigned index, GlyphImage& image) = 0;
};

// The average character width as the classic font tables define it: the advances of the
// lower-case letters and the space weighted by their frequency in English text. Newer faces
// store an average over all their glyphs instead, which would make metric-compatible faces
// come out narrower or wider than the face they stand in for; both glyph sources make a given
// average width this one. `advance(c)` is the advance of character c, 0 when the face has none
// (the result is then 0).
template <class Advance>
double classicAverageWidth(Advance advance) {
    static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                         56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    double sum = 0;
    for (int k = 0; k < 27; ++k) {
        double a = advance(k < 26 ? static_cast<char>('a' + k) : ' ');
        if (a <= 0) return 0;
        sum += a * kWeights[k];
    }
    return sum / 1000;
}

// The face of labels and legend ("Times New Roman", or what the system gives for it); nullptr
// when no face can be loaded.
std::unique_ptr<GlyphSource> openLabelFace();

}  // namespace quillon::platform
