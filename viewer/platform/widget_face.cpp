#include "viewer/platform/widget_face.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace quillon::platform {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct CharSetDeleter {
    void operator()(FcCharSet* c) const { FcCharSetDestroy(c); }
};

struct ConfigDeleter {
    void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};

}  // namespace

std::optional<FontFace> faceCovering(const std::string& text) {
    // A configuration of our own, released at the end (fontconfig's default one lives on).
    std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
    if (!config) return std::nullopt;
    std::unique_ptr<FcCharSet, CharSetDeleter> wanted(FcCharSetCreate());
    for (FcChar32 c = 0x20; c < 0x7F; ++c) FcCharSetAddChar(wanted.get(), c);
    const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
    for (int at = 0, n = static_cast<int>(text.size()); at < n;) {
        FcChar32 c = 0;
        int used = FcUtf8ToUcs4(bytes + at, &c, n - at);
        if (used <= 0) return std::nullopt;  // not UTF-8: no face can be said to cover it
        FcCharSetAddChar(wanted.get(), c);
        at += used;
    }

    std::unique_ptr<FcPattern, PatternDeleter> pattern(
        FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=zh-cn")));
    if (!pattern) return std::nullopt;
    FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcFontSet, FontSetDeleter> sorted(
        FcFontSort(config.get(), pattern.get(), FcFalse, nullptr, &result));
    if (!sorted) return std::nullopt;
    for (int i = 0; i < sorted->nfont; ++i) {
        FcPattern* font = sorted->fonts[i];
        FcCharSet* has = nullptr;
        FcChar8 *family = nullptr, *file = nullptr;
        int index = 0;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &has) != FcResultMatch ||
            FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch ||
            FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        if (FcCharSetIsSubset(wanted.get(), has))
            return FontFace{reinterpret_cast<const char*>(family),
                            reinterpret_cast<const char*>(file), index};
    }
    return std::nullopt;
}

const std::string& widgetSampleText() {
    // Every Chinese character of the viewer's messages.
    static const std::string text =
        "云介件保信储像元入写出前力区单取可号图处多失存序应建当形径息或择换数文无是更有本法点版"
        "理目程素编置者能节被议设误读败质路输边选错间顶";
    return text;
}

const std::optional<FontFace>& widgetFace() {
    static const std::optional<FontFace> face = faceCovering(widgetSampleText());
    return face;
}

}  // namespace quillon::platform
