#include "tool/messages.h"

#include <string>

#include "tool/console.h"

namespace tarvik {

void WriteMessageLine(std::FILE* stream, std::string_view text) {
    std::string line(text);
    line += '\n';
    console::Write(stream, line);
}

void ShowWarning(const MessageOutput& out, std::string_view text) {
    WriteMessageLine(out.warnings, std::string("tarvik: Warning! ") + std::string(text));
    if (out.box && out.keyboard && console::IsInteractive(out.keyboard)) out.box(text);
}

void ShowFatalAndPause(const MessageOutput& out, std::string_view text) {
    WriteMessageLine(out.console, text);
    if (out.keyboard && console::IsInteractive(out.keyboard)) {
        console::Write(out.console, "Press any key to continue . . .");
        console::WaitForKey(out.keyboard);
        console::Write(out.console, "\n");
    }
}

}  // namespace tarvik
