// quillon: viewer of average-stress result files.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "viewer/model/result_model.h"
#include "viewer/platform/main_window.h"
#include "viewer/platform/message.h"
#include "viewer/platform/program.h"
#include "viewer/resources/menu.h"
#include "viewer/ui/app.h"
#include "viewer/ui/background_load.h"
#include "viewer/ui/info.h"
#include "viewer/ui/main_window_events.h"
#include "viewer/ui/script.h"
#include "viewer/ui/snapshot.h"

#ifndef QUILLON_VERSION
#define QUILLON_VERSION "unknown"
#endif

namespace {

const char* kTitle = "Quillon Contour \u2014 quillon team, 2026";

const char* kUsage =
    "usage: quillon [RESULT_FILE]\n"
    "       quillon --snapshot OUT.png [--size WxH] [--view ALPHA,BETA] [SETTINGS] [RESULT_FILE]\n"
    "       quillon --script FILE [--size WxH] [SETTINGS] [RESULT_FILE]\n"
    "       quillon --info RESULT_FILE\n"
    "       quillon --help | --version\n"
    "\n"
    "Shows an average-stress result file in a window (default: Quillon_AverageStrs.txt in the\n"
    "working directory). The window needs a display; without one, use --snapshot.\n"
    "  --snapshot OUT.png   draw the picture without a window and write it as PNG (as SVG\n"
    "                       when OUT ends in .svg)\n"
    "  --script FILE        run the steps of a script without a window (clicks, keys, menu\n"
    "                       commands, dialog buttons, snapshots; see the README)\n"
    "  --size WxH           picture size for --snapshot and --script (default 1024x768)\n"
    "  --view ALPHA,BETA    view angles in degrees for --snapshot (default 225,35.26)\n"
    "  --info RESULT_FILE   load the file and print a summary of the model\n"
    "  --help               print this text\n"
    "  --version            print the version\n"
    "SETTINGS of --snapshot and --script, applied once after the load:\n"
    "%s";

void printUsage(std::FILE* to) {
    std::fprintf(to, kUsage, quillon::kDisplayOptionsUsage);
}

int usageError(const std::string& what) {
    std::fprintf(stderr, "quillon: %s\n", what.c_str());
    printUsage(stderr);
    return 2;
}

int info(const std::string& path) {
    quillon::ResultModel model;
    common::Outcome loaded = model.loadResultFile(path);
    if (!loaded.ok()) quillon::platform::fatal(loaded.failure());
    quillon::printModelInfo(model, stdout);
    return 0;
}

// "WxH" with whole numbers of 1 to kMaxPictureSize pixels, nothing else.
bool parseSize(const char* text, int& w, int& h) {
    const char* end = text + std::strlen(text);
    auto [x, e1] = std::from_chars(text, end, w);
    if (e1 != std::errc() || x == end || *x != 'x') return false;
    auto [y, e2] = std::from_chars(x + 1, end, h);
    return e2 == std::errc() && y == end && w >= 1 && h >= 1 && w <= quillon::kMaxPictureSize &&
           h <= quillon::kMaxPictureSize;
}

// "ALPHA,BETA" in degrees, both finite numbers.
bool parseView(const char* text, double& a, double& b) {
    char tail = 0;
    return std::sscanf(text, "%lf,%lf%c", &a, &b, &tail) == 2 && std::isfinite(a) &&
           std::isfinite(b);
}

// The arguments of the two batch modes, --snapshot OUT.png and --script FILE: the mode's
// value, --size, --view (snapshots only), the settings options and the result file.
struct BatchArguments {
    std::string modeValue;
    std::string resultFile = quillon::kStartupFile;
    int width = quillon::platform::kDefaultViewWidth,
        height = quillon::platform::kDefaultViewHeight;
    std::optional<double> alpha, beta;
    quillon::DisplayOptions display;
};

// A failure says what is wrong with the arguments.
common::Outcome parseBatch(int argc, char** argv, const std::string& mode, bool takesView,
                           BatchArguments& r) {
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == mode && hasValue) {
            r.modeValue = argv[++i];
        } else if (arg == "--size" && hasValue) {
            if (!parseSize(argv[++i], r.width, r.height))
                return common::Failure("--size wants WxH, each 1 to " +
                                       std::to_string(quillon::kMaxPictureSize) +
                                       " pixels, e.g. 1024x768");
        } else if (takesView && arg == "--view" && hasValue) {
            double a = 0, b = 0;
            if (!parseView(argv[++i], a, b))
                return common::Failure("--view wants ALPHA,BETA, two finite numbers of degrees");
            r.alpha = a;
            r.beta = b;
        } else if (quillon::isDisplayOption(argv[i])) {
            common::Outcome read = quillon::parseDisplayOption(argc, argv, i, r.display);
            if (!read.ok()) return read;
        } else if (!arg.empty() && arg[0] != '-' && !haveFile) {
            r.resultFile = arg;
            haveFile = true;
        } else {
            return common::Failure("unexpected argument " + arg);
        }
    }
    if (r.modeValue.empty()) return common::Failure(mode + " wants a file");
    return {};
}

int snapshot(int argc, char** argv) {
    BatchArguments a;
    if (common::Outcome parsed = parseBatch(argc, argv, "--snapshot", true, a); !parsed.ok())
        return usageError(parsed.failure().message);
    quillon::SnapshotRequest r;
    r.output = a.modeValue;
    r.resultFile = a.resultFile;
    r.width = a.width;
    r.height = a.height;
    r.alpha = a.alpha;
    r.beta = a.beta;
    r.display = a.display;
    return quillon::renderSnapshot(r);
}

int script(int argc, char** argv) {
    BatchArguments a;
    if (common::Outcome parsed = parseBatch(argc, argv, "--script", false, a); !parsed.ok())
        return usageError(parsed.failure().message);
    quillon::ScriptRequest r;
    r.scriptPath = a.modeValue;
    r.resultFile = a.resultFile;
    r.width = a.width;
    r.height = a.height;
    r.display = a.display;
    return quillon::runScript(r, stdout);
}

// The window on `path`. A file that reads in a moment is read before the window shows: if it
// cannot be read, the message is shown and the program ends with exit code 1 without a window.
// A longer load goes on while the window shows its progress, and its failure ends the program
// with the same message.
int window(const std::string& path) {
    if (!quillon::platform::displayAvailable()) {
        std::fprintf(stderr,
                     "quillon: no display; use --snapshot OUT.png to draw without a window\n");
        return 1;
    }
    quillon::platform::installMessageBoxes();
    quillon::AppState state;
    auto load = std::make_unique<quillon::BackgroundLoad>(state.model, path, false);
    if (load->waitFor(quillon::kQuietLoad)) {
        bool stopped = false;
        common::Outcome loaded = load->finish(state, stopped);
        if (!loaded.ok()) quillon::platform::fatal(loaded.failure());
        load.reset();
    }
    quillon::MainWindowHandler handler(state, quillon::platform::windowDesktop(), std::move(load));
    return quillon::platform::runMainWindow(kTitle, quillon::mainMenu(), handler);
}

}  // namespace

int main(int systemArgc, char** systemArgv) {
    quillon::platform::ProgramStart start(systemArgc, systemArgv);
    int argc = start.argc();
    char** argv = start.argv();
    if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        printUsage(stdout);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("quillon %s\n", QUILLON_VERSION);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--info") == 0) {
        if (argc != 3) return usageError("--info wants one result file");
        return info(argv[2]);
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--snapshot") == 0) return snapshot(argc, argv);
        if (std::strcmp(argv[i], "--script") == 0) return script(argc, argv);
    }
    if (argc > 2) return usageError(std::string("unexpected argument ") + argv[2]);
    if (argc == 2 && argv[1][0] == '-') return usageError(std::string("unknown option ") + argv[1]);
    return window(argc == 2 ? argv[1] : quillon::kStartupFile);
}
