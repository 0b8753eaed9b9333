#include "viewer/ui/main_window_events.h"

#include <memory>

#include "viewer/contour/contour_kit.h"
#include "viewer/platform/message.h"
#include "viewer/render/plot_settings.h"
#include "viewer/resources/dialogs.h"
#include "viewer/resources/menu.h"
#include "viewer/ui/app.h"
#include "viewer/ui/navigation.h"
#include "viewer/ui/picture.h"
#include "viewer/ui/view_kit.h"

namespace quillon {

MainWindowHandler::MainWindowHandler(AppState& state, platform::Desktop& desktop,
                                     std::unique_ptr<BackgroundLoad> startUp)
    : state_(state), desktop_(desktop), startUp_(std::move(startUp)) {
    openDialog_.title = "Open file for quillon average stress contour ";
    openDialog_.filterName = "Text Files (*.txt)";
    openDialog_.pattern = "*.txt";
    openDialog_.defaultExtension = "txt";
    pictureDialog_.title = "Save Picture";
    pictureDialog_.filterName = "PNG Pictures (*.png)";
    pictureDialog_.pattern = "*.png";
    pictureDialog_.defaultExtension = "png";
    pictureDialog_.moreTypes = {{"SVG Pictures (*.svg)", "*.svg", "svg"}};
}

void MainWindowHandler::onCreate() {
    initGlState();
}

void MainWindowHandler::onShown() {
    if (!startUp_) return;
    desktop_.waitAnswering(*startUp_);
    bool closed = false;
    common::Outcome loaded = startUp_->finish(state_, closed);
    startUp_.reset();
    if (closed) return;  // the window closed before the model was there
    if (!loaded.ok()) platform::fatal(loaded.failure());
    desktop_.repaintMainWindow();
}

void MainWindowHandler::onSize(int width, int height) {
    resizeView(state_, width, height);
    desktop_.repaintMainWindow();
}

void MainWindowHandler::onDpi(int dpi) {
    if (dpi <= 0) return;
    state_.view.dpiScale = dpi / static_cast<double>(platform::kDefaultDpi);
    desktop_.repaintMainWindow();
}

void MainWindowHandler::onPaint(platform::OverlayCanvas& canvas) {
    paintFrame(state_, caches_, canvas);
}

void MainWindowHandler::repaintIf(bool changed) {
    if (changed) desktop_.repaintMainWindow();
}

void MainWindowHandler::onLeftButtonDown(int x, int y) {
    repaintIf(HandleLeftButtonDown(state_, x, y));
}
void MainWindowHandler::onMouseMove(int x, int y) {
    repaintIf(HandleMouseMove(state_, x, y));
}
void MainWindowHandler::onWheel(int delta, int x, int y) {
    repaintIf(HandleMouseWheel(state_, delta, x, y));
}
void MainWindowHandler::onChar(unsigned int ch) {
    if (ch == platform::kCopyChar) {
        copyPictureToClipboard();
        return;
    }
    repaintIf(HandleChar(state_, ch));
}

void MainWindowHandler::onCommand(int id) {
    switch (id) {
        case kCmdOpen:
            openFile();
            break;
        case kCmdSavePicture:
            savePictureToFile();
            break;
        case kCmdCopyPicture:
            copyPictureToClipboard();
            break;
        case kCmdViewKit:
            dialogs_.viewKit = desktop_.openDialog(
                viewKitTemplate(),
                std::make_unique<ViewKitDialog>(state_, desktop_, dialogs_.viewKit));
            break;
        case kCmdContourKit:
            dialogs_.contourKit = desktop_.openDialog(
                contourKitTemplate(),
                std::make_unique<ContourKitDialog>(state_, desktop_, dialogs_.contourKit));
            break;
        case kCmdSelectShells:
            openSelectionDialog(SelectionKind::Shells, dialogs_.selectShells);
            break;
        case kCmdSelectBeams:
            openSelectionDialog(SelectionKind::Beams, dialogs_.selectBeams);
            break;
        case kCmdSelectNodes:
            openSelectionDialog(SelectionKind::Nodes, dialogs_.selectNodes);
            break;
        case kCmdPlotSettings:
            desktop_.openDialog(plotSettingsTemplate(),
                                std::make_unique<PlotSettingsDialog>(state_, desktop_));
            break;
        default:
            break;
    }
}

// The dialog itself switches the mouse to picking its kind when it opens.
void MainWindowHandler::openSelectionDialog(SelectionKind kind, platform::DialogHost*& handle) {
    handle = desktop_.openDialog(selectionTemplate(kind),
                                 std::make_unique<SelectionDialog>(kind, state_, desktop_, handle));
}

void MainWindowHandler::openFile() {
    std::optional<std::string> path = desktop_.chooseFileToOpen(openDialog_);
    if (!path) return;
    bool stopped = false;
    common::Outcome loaded = loadAnswering(state_, desktop_, *path, true, stopped);
    if (stopped) return;
    if (!loaded.ok()) {
        // A file that is not a result file fails with the line where reading stopped alone:
        // chosen in a dialog, the file is not on the screen, so its name goes with the line.
        common::Failure failure = loaded.failure();
        if (failure.detail.empty()) {
            std::optional<long> line = failure.line;
            failure = resultFileFailure(*path, failure.message);
            failure.line = line;
        }
        platform::messageBox(failure, "Warning!");
        return;
    }
    desktop_.repaintMainWindow();
}

void MainWindowHandler::savePictureToFile() {
    if (!state_.modelLoaded) return;
    std::optional<std::string> path = desktop_.chooseFileToSave(pictureDialog_);
    if (!path) return;
    if (common::Outcome saved = savePicture(state_, *path); !saved.ok())
        platform::messageBox(saved.failure(), "Warning!");
}

void MainWindowHandler::copyPictureToClipboard() {
    if (!state_.modelLoaded) return;
    RgbPicture picture;
    common::Outcome copied = drawPicture(state_, picture);
    if (copied.ok()) copied = desktop_.copyPicture(picture.width, picture.height, picture.rgb);
    if (!copied.ok()) platform::messageBox(copied.failure(), "Warning!");
}

}  // namespace quillon
