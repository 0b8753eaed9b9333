#pragma once
// The main window's events as the viewer handles them: creation, size, paint and the menu;
// mouse and keyboard reach the navigation handlers.
#include "viewer/platform/dialog.h"
#include "viewer/platform/main_window.h"
#include "viewer/render/app_state.h"

namespace quillon {

class MainWindowHandler : public platform::MainWindowEvents {
  public:
    MainWindowHandler(AppState& state, platform::Desktop& desktop);

    void onCreate() override;
    void onSize(int width, int height) override;
    void onPaint(platform::OverlayCanvas& canvas) override;
    void onLeftButtonDown(int x, int y) override;
    void onMouseMove(int x, int y) override;
    void onWheel(int delta, int x, int y) override;
    void onChar(unsigned int ch) override;
    void onCommand(int id) override;

  private:
    // File > Open: a model that cannot be read leaves everything as it was, with a warning.
    void openFile();

    AppState& state_;
    platform::Desktop& desktop_;
    platform::FileDialog openDialog_;
};

}  // namespace quillon
