#pragma once
// A virtual X server of the test's own, programs started on it, and the user's hands and eyes
// there: xdotool for the mouse, the keyboard and finding windows, ImageMagick for screenshots.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/gl_fixture.h"
#include "tests/support/run_process.h"
#include "viewer/platform/offscreen_gl.h"

extern char** environ;

namespace testsupport {

using namespace std::chrono_literals;

// Polls `done` every `interval` until it holds or `timeout` has passed; true when it held.
template <class Done>
bool waitUntil(Done done, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(50)) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(interval);
    }
}

// A program running beside the test; ended (TERM, then KILL) when the object goes.
class Child {
  public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() { stop(); }

    // Starts `argv` with `env` ("NAME=value") added to this process's environment, in `cwd`
    // (empty: the current folder), standard error to `errPath` and standard output to `outPath`.
    bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
               const std::string& cwd = "", const std::string& errPath = "/dev/null",
               const std::string& outPath = "/dev/null") {
        std::vector<std::string> envText;
        for (char** e = environ; *e; ++e) {
            std::string entry = *e;
            bool overridden = false;
            for (const auto& o : env)
                overridden |= entry.compare(0, o.find('=') + 1, o, 0, o.find('=') + 1) == 0;
            if (!overridden) envText.push_back(entry);
        }
        envText.insert(envText.end(), env.begin(), env.end());
        // Under the leak checker, the caches that the toolkit and the font libraries keep for
        // the life of a windowed program are not leaks of ours.
        if (!std::getenv("LSAN_OPTIONS"))
            envText.push_back("LSAN_OPTIONS=suppressions=" QUILLON_SOURCE_DIR
                              "/tests/e2e/toolkit_caches.supp:print_suppressions=0");
        std::vector<char*> args, envp;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        for (const auto& e : envText) envp.push_back(const_cast<char*>(e.c_str()));
        args.push_back(nullptr);
        envp.push_back(nullptr);
        pid_ = fork();
        if (pid_ < 0) return false;
        if (pid_ == 0) {
            if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
            int in = open("/dev/null", O_RDONLY);
            int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0 || err < 0) _exit(127);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            execvpe(args[0], args.data(), envp.data());
            _exit(127);
        }
        exited_ = false;
        return true;
    }

    pid_t pid() const { return pid_; }
    bool running() {
        if (pid_ <= 0 || exited_) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
        exited_ = true;
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }
    // The exit code once the program has ended within `timeout`; -1 for a signal.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout) {
        if (pid_ <= 0 || !waitUntil([&] { return !running(); }, timeout)) return std::nullopt;
        return exitCode_;
    }
    void stop() {
        if (!running()) return;
        kill(pid_, SIGTERM);
        if (!waitForExit(3s)) {
            kill(pid_, SIGKILL);
            waitForExit(3s);
        }
    }

  private:
    pid_t pid_ = -1;
    bool exited_ = true;
    int exitCode_ = -1;
};

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// Xvfb on a display number of its own, for one test.
class XSession {
  public:
    // Tries several display numbers; false (with the reason) when no server would start.
    // `extra` are further server arguments (e.g. "-extension", "GLX").
    bool start(std::string& why, const std::vector<std::string>& extra = {}) {
        int first = 100 + static_cast<int>(getpid() % 400);
        for (int k = 0; k < 12; ++k) {
            int n = first + 37 * k;
            if (std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
            std::string display = ":" + std::to_string(n);
            auto log = (testDir() / "xvfb.log").string();
            // -noreset: without it the server resets when its last client leaves, and a program
            // that connects right after the readiness probe below disconnected finds the display
            // gone ("Can't open display").
            std::vector<std::string> args = {"Xvfb", display,        "-noreset",  "-screen",
                                             "0",    "1280x1024x24", "-nolisten", "tcp"};
            args.insert(args.end(), extra.begin(), extra.end());
            if (!server_.start(args, {}, "", log)) {
                why = "cannot start Xvfb";
                return false;
            }
            // Ours, not another server that took the number at the same moment.
            bool up = waitUntil(
                [&] { return !server_.running() || (ownsLock(n) && accepts(display)); }, 20s);
            if (up && server_.running()) {
                display_ = display;
                return true;
            }
            auto code = server_.waitForExit(0ms);
            server_.stop();
            if (code && *code == 127) {
                why = "Xvfb is not installed";
                return false;
            }
            why = "Xvfb did not start: " + readFile(log);
        }
        return false;
    }

    const std::string& display() const { return display_; }
    std::string displayEnv() const { return "DISPLAY=" + display_; }

    // Runs an X client tool on this display with a time limit; its standard output.
    std::string tool(const std::vector<std::string>& args, int* exitCode = nullptr) const {
        std::vector<std::string> all = {"20"};
        all.insert(all.end(), args.begin(), args.end());
        ProcessResult r = runProcess("timeout", all, displayEnv());
        if (exitCode) *exitCode = r.exitCode;
        return r.out;
    }

    // Visible windows whose title matches the regular expression `title`.
    std::vector<std::string> windows(const std::string& title, bool onlyVisible = true) const {
        std::vector<std::string> args = {"xdotool", "search"};
        if (onlyVisible) args.push_back("--onlyvisible");
        args.insert(args.end(), {"--name", title});
        std::istringstream lines(tool(args));
        std::vector<std::string> ids;
        for (std::string id; std::getline(lines, id);)
            if (!id.empty()) ids.push_back(id);
        return ids;
    }
    std::optional<std::string> waitForWindow(const std::string& title,
                                             std::chrono::milliseconds timeout) const {
        std::optional<std::string> found;
        waitUntil(
            [&] {
                auto ids = windows(title);
                if (!ids.empty()) found = ids.front();
                return found.has_value();
            },
            timeout);
        return found;
    }

    WindowGeometry geometry(const std::string& id) const {
        std::istringstream lines(tool({"xdotool", "getwindowgeometry", "--shell", id}));
        WindowGeometry g;
        for (std::string line; std::getline(lines, line);) {
            auto eq = line.find('=');
            if (eq == std::string::npos) continue;
            int value = std::atoi(line.c_str() + eq + 1);
            std::string key = line.substr(0, eq);
            if (key == "X") g.x = value;
            if (key == "Y") g.y = value;
            if (key == "WIDTH") g.width = value;
            if (key == "HEIGHT") g.height = value;
        }
        return g;
    }

    // Keys go to the window under the pointer (there is no window manager): the pointer is
    // moved to (x, y) first.
    void keysAt(int x, int y, const std::vector<std::string>& keys) const {
        std::vector<std::string> args = {"xdotool", "mousemove", std::to_string(x),
                                         std::to_string(y), "key"};
        args.insert(args.end(), keys.begin(), keys.end());
        tool(args);
    }
    void keysOn(const std::string& id, const std::vector<std::string>& keys) const {
        WindowGeometry g = geometry(id);
        keysAt(g.x + g.width / 2, g.y + g.height / 2, keys);
    }

    // A left click at (x, y) on the screen.
    void clickAt(int x, int y) const {
        tool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
    }

    // The close box of window `id`: the window manager's request to close it (WM_DELETE_WINDOW).
    void closeBox(const std::string& id) const {
        Display* d = XOpenDisplay(display_.c_str());
        if (!d) return;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = windowId(id);
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, e.xclient.window, False, NoEventMask, &e);
        XCloseDisplay(d);
    }

    // The window that `id` is transient for (kept above), as xdotool names windows; empty when
    // it is transient for none.
    std::string transientFor(const std::string& id) const {
        Display* d = XOpenDisplay(display_.c_str());
        if (!d) return "";
        Window owner = 0;
        bool has = XGetTransientForHint(d, windowId(id), &owner) && owner;
        XCloseDisplay(d);
        return has ? std::to_string(owner) : "";
    }

    // The bytes of a window's property of 8-bit items (empty when missing) and its type's name.
    std::string textProperty(const std::string& id, const std::string& name,
                             std::string* type = nullptr) const {
        Display* d = XOpenDisplay(display_.c_str());
        if (!d) return "";
        Atom actualType = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        std::string value;
        if (XGetWindowProperty(d, windowId(id), XInternAtom(d, name.c_str(), False), 0, 4096, False,
                               AnyPropertyType, &actualType, &format, &items, &after,
                               &data) == Success &&
            data && format == 8) {
            value.assign(reinterpret_cast<const char*>(data), items);
            if (type) {
                char* typeName = XGetAtomName(d, actualType);
                *type = typeName ? typeName : "";
                XFree(typeName);
            }
        }
        if (data) XFree(data);
        XCloseDisplay(d);
        return value;
    }

    // The whole screen.
    Picture screenshot() const {
        auto path = (testDir() / "screen.png").string();
        std::filesystem::remove(path);
        tool({"import", "-window", "root", "PNG24:" + path});
        Picture p;
        if (!quillon::platform::readPng(path, p.width, p.height, p.rgb)) p = Picture{};
        return p;
    }

  private:
    static Window windowId(const std::string& id) { return std::stoul(id); }
    static bool accepts(const std::string& display) {
        Display* d = XOpenDisplay(display.c_str());
        if (!d) return false;
        XCloseDisplay(d);
        return true;
    }
    bool ownsLock(int n) {
        std::string text = readFile("/tmp/.X" + std::to_string(n) + "-lock");
        return !text.empty() && std::atoi(text.c_str()) == server_.pid();
    }

    Child server_;
    std::string display_;
};

// A part of a picture, copied out so that two screenshots can be compared.
inline Picture crop(const Picture& p, int x0, int y0, int x1, int y1) {
    Picture out;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, p.width);
    y1 = std::min(y1, p.height);
    if (x1 <= x0 || y1 <= y0) return out;
    out.width = x1 - x0;
    out.height = y1 - y0;
    for (int y = y0; y < y1; ++y) {
        auto row = p.rgb.begin() + (static_cast<std::ptrdiff_t>(y) * p.width + x0) * 3;
        out.rgb.insert(out.rgb.end(), row, row + static_cast<std::ptrdiff_t>(out.width) * 3);
    }
    return out;
}

// Pixels whose colours differ by more than a shade in some channel; every pixel when the sizes
// differ.
inline int differingPixels(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) return std::max(a.width * a.height, 1);
    int n = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3) {
        bool differs = false;
        for (std::size_t k = 0; k < 3; ++k) differs |= std::abs(a.rgb[i + k] - b.rgb[i + k]) > 48;
        n += differs ? 1 : 0;
    }
    return n;
}

}  // namespace testsupport
