#pragma once
// The main window's events as the viewer handles them, whatever delivers them: the FLTK window,
// or a scripted run without a window. Creation, size and paint, the menu commands, and the
// mouse and keys, which go to the navigation.
#include <memory>

#include "viewer/platform/dialog.h"
#include "viewer/platform/window_events.h"
#include "viewer/render/frame.h"
#include "viewer/select/selection_dialog.h"
#include "viewer/state/app_state.h"
#include "viewer/ui/background_load.h"

namespace quillon {

// The newest open instance of each tool dialog; nullptr when none is open.
struct DialogHandles {
    platform::DialogHost* viewKit = nullptr;
    platform::DialogHost* contourKit = nullptr;
    platform::DialogHost* selectShells = nullptr;
    platform::DialogHost* selectBeams = nullptr;
    platform::DialogHost* selectNodes = nullptr;
};

class MainWindowHandler : public platform::MainWindowEvents {
  public:
    // `startUp`, when given, is the load of the start-up file still running: the window waits
    // for it once shown, then shows its model, or ends the program with its failure.
    MainWindowHandler(AppState& state, platform::Desktop& desktop,
                      std::unique_ptr<BackgroundLoad> startUp = nullptr);

    void onCreate() override;
    void onSize(int width, int height) override;
    void onDpi(int dpi) override;
    void onPaint(platform::OverlayCanvas& canvas) override;
    void onLeftButtonDown(int x, int y) override;
    void onMouseMove(int x, int y) override;
    void onWheel(int delta, int x, int y) override;
    void onChar(unsigned int ch) override;
    void onCommand(int id) override;
    void onShown() override;

    const DialogHandles& dialogs() const { return dialogs_; }
    FrameCaches& frameCaches() { return caches_; }

  private:
    // File > Open: a model that cannot be read leaves everything as it was, with a warning;
    // one whose load the user stopped with Esc leaves everything as it was, without one.
    void openFile();
    // File > Save Picture: the picture the window shows, at its size, to a file the user
    // chooses; Copy Picture (and Ctrl+C in the view): the same to the clipboard. A failure is
    // shown in a warning and changes nothing.
    void savePictureToFile();
    void copyPictureToClipboard();
    void repaintIf(bool changed);
    void openSelectionDialog(SelectionKind kind, platform::DialogHost*& handle);

    AppState& state_;
    platform::Desktop& desktop_;
    platform::FileDialog openDialog_;
    platform::FileDialog pictureDialog_;
    DialogHandles dialogs_;
    FrameCaches caches_;
    std::unique_ptr<BackgroundLoad> startUp_;
};

}  // namespace quillon
