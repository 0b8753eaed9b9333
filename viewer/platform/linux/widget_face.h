#pragma once
// The faces of the widgets' text. The toolkit draws a label with one face and no fallback per
// glyph, so the face of boxes and menus must have both the Latin letters and the Chinese
// characters of the messages; dialogs draw with a Latin face of their own, whose letters have
// the widths that the templates were drawn for, and with the former only for a text that the
// Latin face has no glyphs for.
#include <optional>
#include <string>

namespace quillon::platform {

struct FontFace {
    std::string family;  // as fontconfig names it
    std::string file;    // the font file and the face's index in it
    int index = 0;
};

// A sans-serif face, as fontconfig ranks them for Chinese, that has a glyph for every character
// of `text` (UTF-8) and for printable ASCII; nothing when no installed face has them all.
std::optional<FontFace> faceCovering(const std::string& text);

// Characters the widgets must be able to show: printable ASCII and the Chinese of the messages.
const std::string& widgetSampleText();

// faceCovering(widgetSampleText()), looked up once.
const std::optional<FontFace>& widgetFace();

// The face of `family` itself (fontconfig substitutes none for it); nothing when that family is
// not installed.
std::optional<FontFace> installedFace(const std::string& family);

// Whether `face` has a glyph for every character of `text` (UTF-8) that is not a control
// character; false for text that is not UTF-8 and for a face that cannot be read.
bool faceHasGlyphs(const FontFace& face, const std::string& text);

}  // namespace quillon::platform
