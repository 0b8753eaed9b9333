#pragma once
// Scripted runs: the window's start-up, then the lines of a script — clicks, moves, wheel, keys,
// menu commands, dialog buttons, edits, combo choices, file-chooser answers, prints and
// snapshots — through the same handlers as the window, headless, with the dialogs in memory.
#include <cstdio>
#include <string>

#include "viewer/platform/window_events.h"
#include "viewer/ui/display_options.h"

namespace quillon {

struct ScriptRequest {
    std::string scriptPath;
    std::string resultFile;
    // The view's size until a `size` line changes it.
    int width = platform::kDefaultViewWidth, height = platform::kDefaultViewHeight;
    DisplayOptions display;  // settings applied after the start-up load
};

// Runs the script; `print` lines go to `out`. Returns the process exit code: 0 at the end of the
// script, 2 for a line that cannot run (named on standard error). A result file that cannot be
// read ends the program with exit code 1, as at the window's start-up.
int runScript(const ScriptRequest& request, std::FILE* out);

}  // namespace quillon
