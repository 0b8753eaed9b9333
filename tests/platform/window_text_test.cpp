// Window titles for the legacy properties, and the face the widgets use.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include "viewer/platform/linux/widget_face.h"
#include "viewer/platform/linux/window_text.h"

namespace {

using quillon::platform::legacyTitle;

TEST(LegacyTitle, IsLatinOneWithPlainStandInsForTheRest) {
    EXPECT_EQ(legacyTitle("Quillon Contour"), "Quillon Contour");
    EXPECT_EQ(legacyTitle("Quillon Contour \u2014 quillon team, 2026"),
              "Quillon Contour - quillon team, 2026");
    EXPECT_EQ(legacyTitle("caf\u00e9 \u00a9"), "caf\xe9 \xa9");  // Latin-1 as its own bytes
    EXPECT_EQ(legacyTitle("\u201cA\u201d \u2018b\u2019 c\u2026 d\u2013e"), "\"A\" 'b' c... d-e");
    EXPECT_EQ(legacyTitle("应力 x"), "?? x");
    EXPECT_EQ(legacyTitle("\U0001F600"), "?");
    EXPECT_EQ(legacyTitle("a\tb\x7f"
                          "c\u0085"),
              "a b c ");  // controls are spaces
}

TEST(LegacyTitle, MalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(legacyTitle("a\xff"
                          "b"),
              "a?b");
    EXPECT_EQ(legacyTitle("\xe2\x80"), "??");       // cut short
    EXPECT_EQ(legacyTitle("\xc0\xaf"), "??");       // overlong '/'
    EXPECT_EQ(legacyTitle("\xed\xa0\x80"), "???");  // a surrogate
    EXPECT_EQ(legacyTitle("\xe2\x80\x94\xe2"), "-?");
}

// Whether the face in `file` has a glyph for every character of `utf8`, asked of FreeType
// (the face was chosen with fontconfig).
bool hasGlyphs(const quillon::platform::FontFace& face, const std::string& utf8) {
    FT_Library library = nullptr;
    FT_Face ft = nullptr;
    if (FT_Init_FreeType(&library)) return false;
    bool all = FT_New_Face(library, face.file.c_str(), face.index, &ft) == 0;
    for (std::size_t at = 0; all && at < utf8.size();) {
        auto b = static_cast<unsigned char>(utf8[at]);
        int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? b : b & (0x3Fu >> extra);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) |
                 (static_cast<unsigned char>(utf8[at + static_cast<std::size_t>(k)]) & 0x3Fu);
        at += static_cast<std::size_t>(extra) + 1;
        all = FT_Get_Char_Index(ft, cp) != 0;
    }
    if (ft) FT_Done_Face(ft);
    FT_Done_FreeType(library);
    return all;
}

TEST(WidgetFace, HasTheLatinLettersAndEveryChineseCharacterOfTheMessages) {
    const auto& face = quillon::platform::widgetFace();
    ASSERT_TRUE(face) << "install fonts-wqy-microhei or fonts-noto-cjk (scripts/install-deps.sh)";
    EXPECT_FALSE(face->family.empty());
    std::string ascii;
    for (char c = 0x20; c < 0x7F; ++c) ascii += c;
    EXPECT_TRUE(hasGlyphs(*face, ascii)) << face->file;
    EXPECT_TRUE(hasGlyphs(*face, quillon::platform::widgetSampleText())) << face->file;
    EXPECT_TRUE(hasGlyphs(*face, "应力云图文件读取错误!像素设置错误!节点数目错误!")) << face->file;
}

TEST(WidgetFace, TheDialogsLatinFaceLacksTheChineseOfTheMessages) {
    auto latin = quillon::platform::installedFace("Liberation Sans");
    ASSERT_TRUE(latin) << "install fonts-liberation2 (scripts/install-deps.sh)";
    EXPECT_TRUE(quillon::platform::faceHasGlyphs(*latin, "-48.601420 Stress ID && Interval\n"));
    EXPECT_FALSE(quillon::platform::faceHasGlyphs(*latin, "SL 应力"));
    EXPECT_FALSE(quillon::platform::faceHasGlyphs(*latin, "a\xff"));
    EXPECT_FALSE(quillon::platform::installedFace("No Such Family Anywhere"));
}

TEST(WidgetFace, NoFaceForCharactersNoneHasOrForTextThatIsNotUtf8) {
    EXPECT_EQ(quillon::platform::faceCovering("\U0010FFFD"), std::nullopt);  // private use
    EXPECT_EQ(quillon::platform::faceCovering("a\xff"), std::nullopt);
    auto latin = quillon::platform::faceCovering("");
    ASSERT_TRUE(latin);
    EXPECT_TRUE(hasGlyphs(*latin, "Quillon"));
}

}  // namespace
