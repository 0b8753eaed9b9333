#pragma once
// The face of the widgets' text (boxes, dialogs, menus). The toolkit draws a label with one
// face and no fallback per glyph, so the face must have both the Latin letters and the Chinese
// characters of the messages.
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

}  // namespace quillon::platform
