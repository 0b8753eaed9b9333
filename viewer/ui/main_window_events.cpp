#include "viewer/ui/main_window_events.h"

#include "viewer/platform/message.h"
#include "viewer/resources/menu.h"
#include "viewer/ui/app.h"

namespace quillon {

MainWindowHandler::MainWindowHandler(AppState& state, platform::Desktop& desktop)
    : state_(state), desktop_(desktop) {
    openDialog_.title = "Open file for quillon average stress contour ";
    openDialog_.filterName = "Text Files (*.txt)";
    openDialog_.pattern = "*.txt";
    openDialog_.defaultExtension = "txt";
}

void MainWindowHandler::onCreate() {
    initGlState();
}

void MainWindowHandler::onSize(int width, int height) {
    resizeView(state_, width, height);
    desktop_.repaintMainWindow();
}

void MainWindowHandler::onPaint(platform::OverlayCanvas& canvas) {
    paintFrame(state_, canvas);
}

// Navigation and picking come with their own handlers; the window already routes to these.
void MainWindowHandler::onLeftButtonDown(int, int) {}
void MainWindowHandler::onMouseMove(int, int) {}
void MainWindowHandler::onWheel(int, int, int) {}
void MainWindowHandler::onChar(unsigned int) {}

void MainWindowHandler::onCommand(int id) {
    switch (id) {
        case kCmdOpen:
            openFile();
            break;
        default:
            break;
    }
}

void MainWindowHandler::openFile() {
    std::optional<std::string> path = desktop_.chooseFileToOpen(openDialog_);
    if (!path) return;
    LoadStatus status = openResultFile(state_, *path);
    if (!status.ok) {
        platform::messageBox(status.message, "Warning!");
        return;
    }
    desktop_.repaintMainWindow();
}

}  // namespace quillon
