// Glyphs from FreeType, with the face that fontconfig gives for "Times New Roman".
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>

#include "viewer/platform/glyphs.h"

namespace quillon::platform {
namespace {

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

class FreeTypeFace : public GlyphSource {
  public:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::string file;
    double ascender = 0, descender = 0;   // font units, both positive: the cell is their sum
    double averageWidth = 0;              // font units
    int sizeHeight = -1, sizeWidth = -1;  // the size the face is set to

    ~FreeTypeFace() override {
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

    // The classic average character width (glyphs.h), in font units.
    double weightedAverageWidth() const {
        return classicAverageWidth([&](char c) {
            FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
            FT_Fixed advance = 0;
            if (index == 0 || FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) != 0)
                return 0.0;
            return static_cast<double>(advance);
        });
    }

    const std::string& fontName() const override { return file; }

    unsigned glyphIndex(std::uint32_t codePoint) override {
        return FT_Get_Char_Index(face, codePoint);
    }

    int ascent(int height, int) override {
        return static_cast<int>(std::lround(height * ascender / (ascender + descender)));
    }

    bool glyph(int height, int width, unsigned index, GlyphImage& g) override {
        if (!setSize(height, width)) return false;
        g = GlyphImage{};
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return true;
        FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g.advance = static_cast<int>(slot->advance.x);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.columns = static_cast<int>(bm.width);
        g.rows = static_cast<int>(bm.rows);
        bool gray = bm.pixel_mode == FT_PIXEL_MODE_GRAY, mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
        if (!(gray || mono) || g.columns <= 0 || g.rows <= 0) return true;
        g.coverage.resize(static_cast<std::size_t>(g.columns) * static_cast<std::size_t>(g.rows));
        for (int r = 0; r < g.rows; ++r) {
            const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch;
            std::uint8_t* dst =
                &g.coverage[static_cast<std::size_t>(r) * static_cast<std::size_t>(g.columns)];
            for (int c = 0; c < g.columns; ++c)
                dst[c] =
                    gray ? static_cast<std::uint8_t>(src[c] * 255 / std::max(1, bm.num_grays - 1))
                         : ((src[c / 8] >> (7 - c % 8)) & 1 ? 255 : 0);
        }
        return true;
    }

  private:
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

}  // namespace

std::unique_ptr<GlyphSource> openLabelFace() {
    auto face = std::make_unique<FreeTypeFace>();
    if (!face->load()) return nullptr;
    return face;
}

}  // namespace quillon::platform
