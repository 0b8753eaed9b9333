#include "tool/messages.h"

#include <string>

#include "tool/console.h"
#include "tool/pre_model.h"

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

void ShowReadFailure(const MessageOutput& out, const common::Failure& failure) {
    if (failure.message == kNoVertices)
        ShowFatalAndPause(out, failure.message);
    else
        ShowWarning(out, failure.message);
}

void ShowWriteFailure(const MessageOutput& out, const common::Failure& failure) {
    ShowWarning(out, failure.message);
    ShowWarning(out, "有可能是当前存储介质无法写入,建议更换保存路径.");
    WriteMessageLine(out.warnings, "tarvik: " + failure.detail);
}

}  // namespace tarvik
