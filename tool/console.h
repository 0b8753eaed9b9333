#pragma once
// The console under tarvik's messages, one implementation per platform (console_posix.cpp,
// console_win32.cpp).
#include <cstdio>
#include <string_view>

namespace tarvik::console {

// A terminal (POSIX) or a console (Windows): someone may be there to press a key.
bool IsInteractive(std::FILE* stream);
// The UTF-8 text as it is, flushed; as UTF-16 characters when the stream is a Windows console.
void Write(std::FILE* stream, std::string_view text);
// Waits for one key, without echo and without waiting for a line end.
void WaitForKey(std::FILE* keyboard);

}  // namespace tarvik::console
