#pragma once
// UTF-16 text, as Windows gives file names and command lines, to UTF-8 and back. Everything
// else in the programs holds text as UTF-8; Windows builds widen it only where a path meets
// the system. A lone surrogate, which Windows allows in file names, is carried as the three
// bytes UTF-8 would give its code point (generalised UTF-8), so that every name survives the
// round trip. Bytes that are not UTF-8 become U+FFFD.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace common {

std::string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::string_view text);

#if defined(_WIN32)
// wchar_t is the UTF-16 code unit on Windows.
inline std::wstring WideFromUtf8(std::string_view utf8) {
    std::u16string wide = Utf16FromUtf8(utf8);
    return std::wstring(wide.begin(), wide.end());
}
inline std::string Utf8FromWide(std::wstring_view wide) {
    return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}
#endif

// A path given as UTF-8 (as the programs hold them): on Windows widened, elsewhere the bytes
// as they are, since a name there need not be UTF-8.
inline std::filesystem::path PathFromUtf8(const std::string& utf8) {
#if defined(_WIN32)
    return std::filesystem::path(WideFromUtf8(utf8));
#else
    return std::filesystem::path(utf8);
#endif
}

// The other way: a path as UTF-8.
inline std::string Utf8FromPath(const std::filesystem::path& path) {
#if defined(_WIN32)
    return Utf8FromWide(path.native());
#else
    return path.string();
#endif
}

// std::fopen of a path given as UTF-8 (on Windows _wfopen, so that every name can be opened,
// not only those of the ANSI code page).
inline std::FILE* OpenFile(const std::string& utf8, const char* mode) {
#if defined(_WIN32)
    return _wfopen(WideFromUtf8(utf8).c_str(), WideFromUtf8(mode).c_str());
#else
    return std::fopen(utf8.c_str(), mode);
#endif
}

}  // namespace common
