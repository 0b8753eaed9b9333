#include "tool/messages.h"

#include <termios.h>
#include <unistd.h>

namespace tarvik {

void ShowWarning(const MessageOutput& out, std::string_view text) {
    std::fprintf(out.warnings, "tarvik: Warning! %.*s\n", static_cast<int>(text.size()),
                 text.data());
    std::fflush(out.warnings);
}

namespace {

// Reads one key without waiting for a line end; the terminal's settings are restored.
void WaitForKey(std::FILE* keyboard) {
    int fd = fileno(keyboard);
    termios saved{};
    bool raw = tcgetattr(fd, &saved) == 0;
    if (raw) {
        termios t = saved;
        t.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        raw = tcsetattr(fd, TCSANOW, &t) == 0;
    }
    char c = 0;
    [[maybe_unused]] ssize_t n = read(fd, &c, 1);
    if (raw) tcsetattr(fd, TCSANOW, &saved);
}

}  // namespace

void ShowFatalAndPause(const MessageOutput& out, std::string_view text) {
    std::fprintf(out.console, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(out.console);
    if (out.keyboard && isatty(fileno(out.keyboard))) {
        std::fputs("Press any key to continue . . .", out.console);
        std::fflush(out.console);
        WaitForKey(out.keyboard);
        std::fputs("\n", out.console);
        std::fflush(out.console);
    }
}

}  // namespace tarvik
