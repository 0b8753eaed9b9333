// Reports open in Notepad, as "start notepad.exe FILE" would open them, but without a command
// processor: the file name is one quoted argument that nothing reads as a command.
#include "common/windows_api.h"

#include <cstdio>
#include <string>

#include "common/utf16.h"
#include "viewer/platform/dialog.h"

namespace quillon::platform {

void startTextEditor(const std::string& path) {
    // Notepad from the system folder, not whatever notepad.exe the working folder holds.
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring program = std::wstring(folder, length) + L"\\notepad.exe";
    // A Windows file name holds no double quote, so the quotes keep it one argument.
    std::wstring commandLine = L"notepad.exe \"" + common::WideFromUtf8(path) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "quillon: cannot start Notepad to show %s\n", path.c_str());
        return;
    }
    // Nothing waits for it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace quillon::platform
