#pragma once
// The main window's menu and its command identifiers.
#include <vector>

#include "viewer/platform/window_events.h"

namespace quillon {

enum CommandId : int {
    kCmdOpen = 40001,
    kCmdViewKit = 40002,
    kCmdSelectShells = 40010,
    kCmdSelectBeams = 40011,
    kCmdSelectNodes = 40012,
    kCmdPlotSettings = 40017,
    kCmdContourKit = 40019,
    // Beyond the original menu: the picture the window shows, to a file and to the clipboard.
    kCmdSavePicture = 40020,
    kCmdCopyPicture = 40021,
};

// The commands that the viewer offers, in menu order.
inline std::vector<platform::MenuCommand> mainMenu() {
    return {
        {"&File", "&Open", kCmdOpen},
        {"&File", "Save &Picture...", kCmdSavePicture},
        {"&File", "&Copy Picture\tCtrl+C", kCmdCopyPicture},
        {"&View", "View &Kit", kCmdViewKit},
        {"&Contour", "Contour &Kit", kCmdContourKit},
        {"&Select", "Select &Shell Element(s)", kCmdSelectShells},
        {"&Select", "Select &Beam Element(s)", kCmdSelectBeams},
        {"&Select", "Select &Node(s)", kCmdSelectNodes},
        {"Pl&otCtrls", "&Settings...", kCmdPlotSettings},
    };
}

}  // namespace quillon
