#include "viewer/platform/linux/widget_face.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <mutex>

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

struct ObjectSetDeleter {
    void operator()(FcObjectSet* o) const { FcObjectSetDestroy(o); }
};

using CharSet = std::unique_ptr<FcCharSet, CharSetDeleter>;

// The characters `face` has glyphs for, as fontconfig lists them; nothing when it lists none.
CharSet faceCharacters(const FontFace& face) {
    std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
    std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(FcObjectSetBuild(FC_CHARSET, nullptr));
    if (!config || !pattern || !objects) return nullptr;
    FcPatternAddString(pattern.get(), FC_FILE, reinterpret_cast<const FcChar8*>(face.file.c_str()));
    FcPatternAddInteger(pattern.get(), FC_INDEX, face.index);
    std::unique_ptr<FcFontSet, FontSetDeleter> listed(
        FcFontList(config.get(), pattern.get(), objects.get()));
    FcCharSet* has = nullptr;
    if (!listed || listed->nfont < 1 ||
        FcPatternGetCharSet(listed->fonts[0], FC_CHARSET, 0, &has) != FcResultMatch)
        return nullptr;
    CharSet copy(FcCharSetCreate());  // our own, not tied to the configuration's caches
    if (copy) FcCharSetMerge(copy.get(), has, nullptr);
    return copy;
}

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

std::optional<FontFace> installedFace(const std::string& family) {
    std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
    std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
    if (!config || !pattern) return std::nullopt;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcPattern, PatternDeleter> match(
        FcFontMatch(config.get(), pattern.get(), &result));
    FcChar8 *name = nullptr, *file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
        return std::nullopt;
    int index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    // A family has names in several languages; any of them is this family.
    for (int n = 0; FcPatternGetString(match.get(), FC_FAMILY, n, &name) == FcResultMatch; ++n)
        if (family == reinterpret_cast<const char*>(name))
            return FontFace{family, reinterpret_cast<const char*>(file), index};
    return std::nullopt;
}

bool faceHasGlyphs(const FontFace& face, const std::string& text) {
    // Looked up once for each face: dialogs ask for every label they draw.
    static std::mutex lock;
    static std::map<std::pair<std::string, int>, CharSet> known;
    std::lock_guard<std::mutex> guard(lock);
    auto at = known.find({face.file, face.index});
    if (at == known.end())
        at = known.emplace(std::pair{face.file, face.index}, faceCharacters(face)).first;
    const FcCharSet* has = at->second.get();
    if (!has) return false;
    const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
    for (int i = 0, n = static_cast<int>(text.size()); i < n;) {
        FcChar32 c = 0;
        int used = FcUtf8ToUcs4(bytes + i, &c, n - i);
        if (used <= 0) return false;
        if (c >= 0x20 && c != 0x7F && !FcCharSetHasChar(has, c)) return false;
        i += used;
    }
    return true;
}

}  // namespace quillon::platform
