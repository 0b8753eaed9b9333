#include "viewer/platform/linux/window_text.h"

#include <cstdint>

namespace quillon::platform {
namespace {

// The code point at `at` (advanced past it), or nothing for a malformed sequence (advanced by
// one byte).
bool decode(const std::string& s, std::size_t& at, std::uint32_t& cp) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b = byte(at);
    int extra = b < 0x80             ? 0
                : (b & 0xE0) == 0xC0 ? 1
                : (b & 0xF0) == 0xE0 ? 2
                : (b & 0xF8) == 0xF0 ? 3
                                     : -1;
    if (extra < 0 || at + static_cast<std::size_t>(extra) >= s.size()) {
        ++at;
        return false;
    }
    cp = extra == 0 ? b : extra == 1 ? (b & 0x1Fu) : extra == 2 ? (b & 0x0Fu) : (b & 0x07u);
    for (int k = 1; k <= extra; ++k) {
        unsigned char c = byte(at + static_cast<std::size_t>(k));
        if ((c & 0xC0) != 0x80) {
            ++at;
            return false;
        }
        cp = (cp << 6) | (c & 0x3Fu);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++at;
        return false;
    }
    at += static_cast<std::size_t>(extra) + 1;
    return true;
}

}  // namespace

std::string legacyTitle(const std::string& utf8) {
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        std::uint32_t cp = 0;
        if (!decode(utf8, at, cp)) {
            out += '?';
        } else if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
            out += ' ';  // control characters have no place in a title
        } else if (cp < 0x100) {
            out += static_cast<char>(cp);
        } else if (cp >= 0x2010 && cp <= 0x2015) {
            out += '-';
        } else if (cp == 0x2018 || cp == 0x2019) {
            out += '\'';
        } else if (cp == 0x201C || cp == 0x201D) {
            out += '"';
        } else if (cp == 0x2026) {
            out += "...";
        } else {
            out += '?';
        }
    }
    return out;
}

}  // namespace quillon::platform
