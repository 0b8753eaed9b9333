// Glyphs from GDI: "Times New Roman" made as the labels' and legend's font descriptions make it
// (a cell height, an average character width, every other field the system's default), each
// glyph's coverage from GetGlyphOutlineW in 65 levels.
#include "common/windows_api.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/utf16.h"
#include "viewer/platform/glyphs.h"

namespace quillon::platform {
namespace {

constexpr wchar_t kFace[] = L"Times New Roman";
// A size to look glyph indices up at: they do not depend on the size.
constexpr int kLookupHeight = 32;
// The cell height at which the face's widths are measured: large, for whole pixels to be exact
// enough.
constexpr int kMeasureHeight = 2048;

class GdiFace : public GlyphSource {
  public:
    GdiFace() : dc_(CreateCompatibleDC(nullptr)) {}
    ~GdiFace() override {
        if (font_) DeleteObject(SelectObject(dc_, previous_));
        if (dc_) DeleteDC(dc_);
    }
    GdiFace(const GdiFace&) = delete;
    GdiFace& operator=(const GdiFace&) = delete;

    bool load() {
        if (!dc_ || !select(kMeasureHeight, 0)) return false;
        wchar_t name[LF_FACESIZE] = {};
        int length = GetTextFaceW(dc_, LF_FACESIZE, name);
        name_ = common::Utf8FromWide(std::wstring_view(name, length > 0 ? length - 1 : 0));
        // GDI makes the face's stored average width the one asked for; where that is not the
        // classic average (a newer face standing in for Times New Roman), asked widths are
        // scaled so that the classic average is the one asked for, as on Linux.
        double classic = classicAverageWidth([&](char c) {
            INT advance = 0;
            UINT ch = static_cast<unsigned char>(c);
            return GetCharWidth32W(dc_, ch, ch, &advance) ? static_cast<double>(advance) : 0.0;
        });
        if (classic > 0 && metrics_.tmAveCharWidth > 0)
            widthScale_ = metrics_.tmAveCharWidth / classic;
        return true;
    }

    const std::string& fontName() const override { return name_; }

    unsigned glyphIndex(std::uint32_t codePoint) override {
        // Characters beyond the Basic Multilingual Plane are not in the labels' texts.
        if (codePoint > 0xFFFF || (sizeHeight_ < 0 && !select(kLookupHeight, 0))) return 0;
        wchar_t ch = static_cast<wchar_t>(codePoint);
        WORD index = 0;
        if (GetGlyphIndicesW(dc_, &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR ||
            index == 0xFFFF)
            return 0;
        return index;
    }

    int ascent(int height, int width) override {
        return select(height, width) ? static_cast<int>(metrics_.tmAscent) : height;
    }

    bool glyph(int height, int width, unsigned index, GlyphImage& g) override {
        if (!select(height, width)) return false;
        g = GlyphImage{};
        const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        GLYPHMETRICS m{};
        UINT format = GGO_GRAY8_BITMAP | GGO_GLYPH_INDEX;
        DWORD size = GetGlyphOutlineW(dc_, index, format, &m, 0, nullptr, &identity);
        if (size == GDI_ERROR) return true;
        g.advance = m.gmCellIncX * 64;
        if (size == 0) return true;  // a blank, such as the space
        std::vector<std::uint8_t> levels(size);
        if (GetGlyphOutlineW(dc_, index, format, &m, size, levels.data(), &identity) == GDI_ERROR)
            return true;
        g.left = m.gmptGlyphOrigin.x;
        g.top = m.gmptGlyphOrigin.y;
        g.columns = static_cast<int>(m.gmBlackBoxX);
        g.rows = static_cast<int>(m.gmBlackBoxY);
        // Rows of 0 to 64, each padded to four bytes.
        std::size_t pitch = (static_cast<std::size_t>(g.columns) + 3) & ~std::size_t{3};
        if (pitch * static_cast<std::size_t>(g.rows) > levels.size()) return true;
        g.coverage.resize(static_cast<std::size_t>(g.columns) * static_cast<std::size_t>(g.rows));
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.columns; ++c)
                g.coverage[static_cast<std::size_t>(r * g.columns + c)] = static_cast<std::uint8_t>(
                    levels[static_cast<std::size_t>(r) * pitch + static_cast<std::size_t>(c)] *
                    255 / 64);
        return true;
    }

  private:
    // The font of that cell height and average width in the device context.
    bool select(int height, int width) {
        if (height == sizeHeight_ && width == sizeWidth_) return true;
        LOGFONTW description{};
        description.lfHeight = height;
        description.lfWidth =
            width > 0 ? std::max(1, static_cast<int>(std::lround(width * widthScale_))) : 0;
        wcscpy(description.lfFaceName, kFace);
        HFONT font = CreateFontIndirectW(&description);
        if (!font) return false;
        HGDIOBJ replaced = SelectObject(dc_, font);
        if (font_)
            DeleteObject(replaced);
        else
            previous_ = replaced;
        font_ = font;
        GetTextMetricsW(dc_, &metrics_);
        sizeHeight_ = height;
        sizeWidth_ = width;
        return true;
    }

    HDC dc_;
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    TEXTMETRICW metrics_{};
    int sizeHeight_ = -1, sizeWidth_ = -1;
    double widthScale_ = 1;
    std::string name_;
};

}  // namespace

std::unique_ptr<GlyphSource> openLabelFace() {
    auto face = std::make_unique<GdiFace>();
    if (!face->load()) return nullptr;
    return face;
}

}  // namespace quillon::platform
