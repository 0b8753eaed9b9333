#pragma once
// Texts that the windowing system keeps about our windows.
#include <string>

namespace quillon::platform {

// The title for the legacy WM_NAME and WM_ICON_NAME properties, which are ISO Latin-1 (type
// STRING): characters of Latin-1 as they are, dashes, quotes and the ellipsis as their plain
// ASCII forms, anything else as '?'. `utf8` is the title as UTF-8; a malformed byte is '?'.
std::string legacyTitle(const std::string& utf8);

}  // namespace quillon::platform
