#include <conio.h>
#include <io.h>
#include "common/windows_api.h"

#include <string>

#include "common/utf16.h"
#include "tool/console.h"
#include "tool/messages.h"

namespace tarvik {
namespace {

void ShowBox(std::string_view text) {
    MessageBoxW(nullptr, common::WideFromUtf8(text).c_str(), L"Warning!", MB_OK);
}

// The console behind a C stream, or null when the stream goes to a file, a pipe or NUL.
HANDLE ConsoleOf(std::FILE* stream) {
    int fd = _fileno(stream);
    if (fd < 0) return nullptr;
    auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return nullptr;
    return handle;
}

}  // namespace

WarningBox PlatformWarningBox() {
    return &ShowBox;
}

namespace console {

bool IsInteractive(std::FILE* stream) {
    return ConsoleOf(stream) != nullptr;
}

void Write(std::FILE* stream, std::string_view text) {
    HANDLE handle = ConsoleOf(stream);
    if (!handle) {
        // A file or pipe gets the UTF-8 bytes; the stream's text mode makes each line end
        // CR LF.
        std::fwrite(text.data(), 1, text.size(), stream);
        std::fflush(stream);
        return;
    }
    std::fflush(stream);  // what went through the stream before comes first
    std::wstring wide = common::WideFromUtf8(text);
    const wchar_t* p = wide.data();
    std::size_t left = wide.size();
    while (left > 0) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(left < 16384 ? left : 16384);
        if (!WriteConsoleW(handle, p, chunk, &written, nullptr) || written == 0) return;
        p += written;
        left -= written;
    }
}

void WaitForKey(std::FILE*) {
    // _getch reads the console itself, without echo or line editing; an extended key comes
    // as two codes, both taken.
    int c = _getch();
    if (c == 0 || c == 0xE0) _getch();
}

}  // namespace console
}  // namespace tarvik
