#pragma once
// A canvas that records what it is asked to draw, for layout tests without OpenGL.
#include <cstdint>
#include <string>
#include <vector>

#include "viewer/platform/overlay_canvas.h"

namespace testsupport {

struct CanvasCall {
    bool isText;
    int x, y, right, bottom;  // rectangle; for text only x, y
    std::string text;
    std::int32_t colour;
    int height, width;
};

class RecordingCanvas : public quillon::platform::OverlayCanvas {
  public:
    void fillRect(int left, int top, int right, int bottom, std::int32_t colour) override {
        calls.push_back({false, left, top, right, bottom, "", colour, 0, 0});
    }
    void text(int x, int y, const std::string& text, std::int32_t colour, int height,
              int width) override {
        calls.push_back({true, x, y, 0, 0, text, colour, height, width});
    }
    std::vector<CanvasCall> texts() const {
        std::vector<CanvasCall> t;
        for (const auto& c : calls)
            if (c.isText) t.push_back(c);
        return t;
    }
    std::vector<CanvasCall> calls;
};

}  // namespace testsupport
