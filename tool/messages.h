#pragma once
// Where tarvik's messages go. A warning is one line on the warning stream with the caption;
// on Windows it is also the "Warning!" message box, but only when the keyboard stream is a
// console, so that nobody has to close boxes nobody sees (batch files, pipes, tests). The one
// fatal message goes to the console and waits for a key when the keyboard stream is a
// terminal or console. Texts are UTF-8; a Windows console is given them as UTF-16, so that
// Chinese reads there whatever its code page. Tests pass their own streams.
#include <cstdio>
#include <string_view>

#include "common/outcome.h"

namespace tarvik {

// The platform's warning box: MessageBoxW with no owner on Windows, none elsewhere.
using WarningBox = void (*)(std::string_view text);
WarningBox PlatformWarningBox();

struct MessageOutput {
    std::FILE* warnings = stderr;
    std::FILE* console = stdout;
    std::FILE* keyboard = stdin;
    WarningBox box = PlatformWarningBox();  // null: never a box
};

// "tarvik: Warning! <text>" and a line end; then the box, when there is one and the keyboard
// is a console.
void ShowWarning(const MessageOutput& out, std::string_view text);

// The text and a line end on the console; then, only when the keyboard is a terminal, a
// prompt and a wait for one key. The caller ends the run with status 1.
void ShowFatalAndPause(const MessageOutput& out, std::string_view text);

// How tarvik shows a failure of reading the model: a warning, except a polygon without
// vertices, which is said on the console with a wait for a key.
void ShowReadFailure(const MessageOutput& out, const common::Failure& failure);
// How tarvik shows a failure of writing the model: the two save warnings, then the path with
// the system's reason.
void ShowWriteFailure(const MessageOutput& out, const common::Failure& failure);

// The text and a line end on `stream`, flushed: UTF-16 to a Windows console, the UTF-8 bytes
// to anything else.
void WriteMessageLine(std::FILE* stream, std::string_view text);

}  // namespace tarvik
