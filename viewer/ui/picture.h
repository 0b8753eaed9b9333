#pragma once
// Pictures of what the window shows, for File > Save Picture and Copy Picture: drawn without a
// window at the view's size, in a context of their own, as a snapshot of the same steps is, so
// that the file holds the pixels the snapshot would.
#include <cstdint>
#include <string>
#include <vector>

#include "common/outcome.h"
#include "viewer/state/app_state.h"

namespace quillon {

struct RgbPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // rows of RGB bytes, top row first
};

// The frame of `state` with its labels and legend at the view's size. It draws in a headless
// context of its own; the context current before (the window's) is current again afterwards.
common::Outcome drawPicture(AppState& state, RgbPicture& picture);
// Writes `picture` as PNG to `path` through a temporary file beside it, so that a picture that
// cannot be written leaves no file half written; the failure says why.
common::Outcome writePicture(const std::string& path, const RgbPicture& picture);
// drawPicture, then writePicture.
common::Outcome savePicture(AppState& state, const std::string& path);

}  // namespace quillon
