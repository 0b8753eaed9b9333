#pragma once
// A headless context with a result file loaded as the window loads it, for frame tests.
#include <string>

#include "tests/support/gl_fixture.h"
#include "tests/support/recording_canvas.h"
#include "viewer/ui/app.h"

namespace testsupport {

class FrameTest : public GlTest {
  protected:
    // Call inside ASSERT_NO_FATAL_FAILURE.
    void openModel(int width, int height, const std::string& path) {
        ASSERT_NO_FATAL_FAILURE(makeContext(width, height));
        quillon::initGlState();
        state.view.W = width;
        state.view.H = height;
        common::Outcome status = quillon::openResultFile(state, path);
        ASSERT_TRUE(status.ok()) << status.failure().message;
    }
    // One frame; the overlays go to a canvas that only records them.
    Picture drawFrame() {
        RecordingCanvas canvas;
        quillon::paintFrame(state, caches, canvas);
        return picture();
    }
    quillon::AppState state;
    quillon::FrameCaches caches;
};

}  // namespace testsupport
