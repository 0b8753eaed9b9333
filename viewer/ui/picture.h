#pragma once
// Pictures of what the window shows, for File > Save Picture, Copy Picture and snapshots: drawn
// without a window at the view's size, in a context of their own, as a snapshot of the same
// steps is, so that a file holds the pixels (or, as SVG, the shapes) the snapshot would.
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

// True when a picture of this name is written as SVG: it ends in ".svg", in any case.
bool isSvgName(const std::string& path);

// The frame of `state` with its labels and legend at the view's size. It draws in a headless
// context of its own; the context current before (the window's) is current again afterwards.
common::Outcome drawPicture(AppState& state, RgbPicture& picture);
// Writes `picture` as PNG to `path` through a temporary file beside it, so that a picture that
// cannot be written leaves no file half written; the failure says why.
common::Outcome writePicture(const std::string& path, const RgbPicture& picture);
// Writes the frame of `state` as an SVG picture of the view's size in the same way. Draws into
// the current context, which must be at least the view's size and have a depth buffer.
common::Outcome writeSvgPicture(const std::string& path, AppState& state);
// The picture of `state` at the view's size to `path`: SVG when isSvgName, PNG otherwise.
common::Outcome savePicture(AppState& state, const std::string& path);

}  // namespace quillon
