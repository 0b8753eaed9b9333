#include "common/windows_api.h"
// After windows.h:
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

#include "common/utf16.h"
#include "viewer/platform/program.h"

namespace quillon::platform {
namespace {

bool valid(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

UINT consoleCodePage = 0;
void restoreCodePage() {
    SetConsoleOutputCP(consoleCodePage);
}

// Inherited handles (files, pipes, the console of a console program) are used as they are. A
// GUI program started from a console has none: it writes to that console when it can attach to
// it (Wine cannot; there the output is lost, as a GUI program's is on Windows without this).
void connectStandardStreams() {
    bool out = valid(STD_OUTPUT_HANDLE), err = valid(STD_ERROR_HANDLE);
    if ((!out || !err) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!out) std::freopen("CONOUT$", "w", stdout);
        if (!err) std::freopen("CONOUT$", "w", stderr);
    }
    // Our text is UTF-8; a console shows it as such while the program runs.
    DWORD mode = 0;
    HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    if (!GetConsoleMode(console, &mode)) console = GetStdHandle(STD_OUTPUT_HANDLE);
    if (GetConsoleMode(console, &mode) && GetConsoleOutputCP() != CP_UTF8) {
        consoleCodePage = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
        std::atexit(restoreCodePage);
    }
}

}  // namespace

ProgramStart::ProgramStart(int argc, char** argv) {
    connectStandardStreams();
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) arguments_.push_back(common::Utf8FromWide(wide[i]));
        LocalFree(wide);
    } else {
        arguments_.assign(argv, argv + argc);
    }
    for (std::string& a : arguments_) pointers_.push_back(a.data());
    pointers_.push_back(nullptr);
}

}  // namespace quillon::platform
