#pragma once
// The picture on the X11 clipboard (the CLIPBOARD selection) for the FLTK window: offered as
// image/png, the type that programs which paste pictures ask for, and served for as long as
// the program runs or until another program takes the clipboard. FLTK 1.3 copies text only.
#include <cstdint>
#include <vector>

#include "common/outcome.h"

namespace quillon::platform {

// Takes the clipboard with the bytes of a PNG file; the display must be open (FLTK's).
common::Outcome offerPngOnClipboard(std::vector<std::uint8_t> png);

}  // namespace quillon::platform
