#pragma once
// How much ink a line of text leaves, on a screenshot and as FreeType draws it, so that a test
// can tell readable text from a row of empty "missing glyph" boxes.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/gl_fixture.h"

namespace testsupport {

struct Ink {
    double amount = 0;  // summed coverage: a pixel fully covered counts 1
    int width = 0;      // from the first to the last column with a pixel at least half covered
};

// The file of the face that fontconfig gives for `family`; empty when that family is missing.
inline std::string fontFile(const std::string& family) {
    std::string file;
    FcConfig* config = FcInitLoadConfigAndFonts();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (!config || !pattern) {
        if (pattern) FcPatternDestroy(pattern);
        if (config) FcConfigDestroy(config);
        return file;
    }
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcChar8 *name = nullptr, *path = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch &&
        FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
        family == reinterpret_cast<const char*>(name))
        file = reinterpret_cast<const char*>(path);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return file;
}

// `utf8` drawn with FreeType at `pixels` per em from face `index` of `file`, with the light
// hinting that fontconfig asks for on Debian. A character the face lacks is drawn as the
// face's missing glyph, as a toolkit that has one face and no fallback does.
inline Ink renderedInk(const std::string& file, int index, int pixels, const std::string& utf8) {
    Ink ink;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library)) return ink;
    if (FT_New_Face(library, file.c_str(), index, &face) == 0 &&
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) == 0) {
        long pen = 0;
        int first = 1 << 30, last = -(1 << 30);
        for (std::size_t at = 0; at < utf8.size();) {
            auto b = static_cast<unsigned char>(utf8[at]);
            int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
            std::uint32_t cp = extra == 0 ? b : b & (0x3Fu >> extra);
            for (int k = 1; k <= extra && at + static_cast<std::size_t>(k) < utf8.size(); ++k)
                cp = (cp << 6) |
                     (static_cast<unsigned char>(utf8[at + static_cast<std::size_t>(k)]) & 0x3Fu);
            at += static_cast<std::size_t>(extra) + 1;
            if (FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) continue;
            const FT_Bitmap& bm = face->glyph->bitmap;
            for (unsigned row = 0; row < bm.rows; ++row)
                for (unsigned col = 0; col < bm.width; ++col) {
                    int coverage = bm.buffer[static_cast<long>(row) * bm.pitch + col];
                    ink.amount += coverage / 255.0;
                    if (coverage >= 128) {
                        int x = static_cast<int>(pen >> 6) + face->glyph->bitmap_left +
                                static_cast<int>(col);
                        first = std::min(first, x);
                        last = std::max(last, x);
                    }
                }
            pen += face->glyph->advance.x;
        }
        if (last >= first) ink.width = last - first + 1;
    }
    if (face) FT_Done_Face(face);
    FT_Done_FreeType(library);
    return ink;
}

// The lines of dark text on `p`, whose background is the colour of its top-left pixel, top to
// bottom: each runs from a row with ink to the first blank row after it (short gaps, as inside
// an exclamation mark, belong to the line).
inline std::vector<Ink> inkLines(const Picture& p) {
    std::vector<Ink> lines;
    if (p.width == 0 || p.height == 0) return lines;
    auto lum = [](const Rgb& c) { return (c.r + c.g + c.b) / 3.0; };
    double background = std::max(1.0, lum(p.at(0, 0)));
    constexpr int kGap = 2;
    Ink line;
    int first = 1 << 30, last = -(1 << 30), blank = 0;
    bool inLine = false;
    auto close = [&] {
        if (last >= first) line.width = last - first + 1;
        lines.push_back(line);
        line = Ink{};
        first = 1 << 30;
        last = -(1 << 30);
        inLine = false;
    };
    for (int y = 0; y < p.height; ++y) {
        double row = 0;
        bool any = false;
        for (int x = 0; x < p.width; ++x) {
            double c = std::clamp((background - lum(p.at(x, y))) / background, 0.0, 1.0);
            row += c;
            if (c >= 0.5) {
                any = true;
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
        if (any) {
            inLine = true;
            blank = 0;
        } else if (inLine && ++blank > kGap) {
            close();
            continue;
        }
        if (inLine) line.amount += row;
    }
    if (inLine) close();
    return lines;
}

// How dark each pixel of `p` is against the lightest one (the box the text is drawn in): 0 for
// that colour, 1 for black; row by row.
inline std::vector<double> darkness(const Picture& p) {
    auto lum = [](const Rgb& c) { return (c.r + c.g + c.b) / 3.0; };
    double background = 1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) background = std::max(background, lum(p.at(x, y)));
    std::vector<double> dark(static_cast<std::size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            dark[static_cast<std::size_t>(y) * p.width + x] =
                std::clamp((background - lum(p.at(x, y))) / background, 0.0, 1.0);
    return dark;
}

// Whether the first glyph of the one line of dark text on `p` (the inside of an edit box) is a
// minus sign: the first two columns with ink hold it in one band of at most two rows, with no
// fainter ink around it, and the band lies below the top of the text and above its bottom. The
// stroke at the top of a 1 or a 7, the dot on the baseline and the curves of the other digits
// fail; so does a 4, at its second column, where the diagonal rises from its bar. False when
// there are fewer than two columns or five rows of ink.
inline bool showsMinusFirst(const Picture& p) {
    std::vector<double> dark = darkness(p);
    auto at = [&](int x, int y) { return dark[static_cast<std::size_t>(y) * p.width + x]; };
    constexpr double kInk = 0.5, kFaint = 0.25;
    int top = p.height, bottom = -1, first = p.width;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (at(x, y) >= kInk) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                first = std::min(first, x);
            }
    if (bottom - top < 4 || first + 1 >= p.width) return false;
    int bandTop = p.height, bandBottom = -1;
    for (int x = first; x <= first + 1; ++x) {
        bool inked = false;
        for (int y = 0; y < p.height; ++y) {
            if (at(x, y) < kInk) continue;
            inked = true;
            bandTop = std::min(bandTop, y);
            bandBottom = std::max(bandBottom, y);
        }
        if (!inked) return false;
    }
    if (bandBottom - bandTop > 1 || bandTop < top + 2 || bandBottom >= bottom) return false;
    for (int x = first; x <= first + 1; ++x)
        for (int y = 0; y < p.height; ++y)
            if (at(x, y) >= kFaint && (y < bandTop - 1 || y > bandBottom + 1)) return false;
    return true;
}

// `p` drawn in characters, one a pixel, darker ones for darker pixels: for messages.
inline std::string sketch(const Picture& p) {
    std::vector<double> dark = darkness(p);
    std::string out;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            double d = dark[static_cast<std::size_t>(y) * p.width + x];
            out += d >= 0.75 ? '#' : d >= 0.5 ? '+' : d >= 0.25 ? '.' : ' ';
        }
        out += '\n';
    }
    return out;
}

}  // namespace testsupport
