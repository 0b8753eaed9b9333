#include <termios.h>
#include <unistd.h>

#include "tool/console.h"
#include "tool/messages.h"

namespace tarvik {

WarningBox PlatformWarningBox() {
    return nullptr;  // a console tool here: the warning line is the message
}

namespace console {

bool IsInteractive(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

void Write(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

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

}  // namespace console
}  // namespace tarvik
