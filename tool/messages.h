#pragma once
// Where tarvik's messages go. A console tool has no message boxes: a warning is one line on
// the warning stream with the caption, and the one fatal message goes to the console and
// waits for a key when the keyboard stream is a terminal. Tests pass their own streams.
#include <cstdio>
#include <string_view>

namespace tarvik {

struct MessageOutput {
    std::FILE* warnings = stderr;
    std::FILE* console = stdout;
    std::FILE* keyboard = stdin;
};

// "tarvik: Warning! <text>" and a line end.
void ShowWarning(const MessageOutput& out, std::string_view text);

// The text and a line end on the console; then, only when the keyboard is a terminal, a
// prompt and a wait for one key. The caller ends the run with status 1.
void ShowFatalAndPause(const MessageOutput& out, std::string_view text);

}  // namespace tarvik
