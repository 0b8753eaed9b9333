#include "viewer/ui/picture.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "common/replacing_file.h"
#include "viewer/platform/gl_overlay_canvas.h"
#include "viewer/platform/offscreen_gl.h"
#include "viewer/render/svg_picture.h"
#include "viewer/ui/app.h"

namespace quillon {
namespace {

// The bytes as they are, through a temporary file beside `path` renamed over it when complete.
common::Outcome writeFile(const std::string& path, const void* bytes, std::size_t size) {
    common::ReplacingFile file;
    if (size > 0 && file.open(path) && file.writeBytes(bytes, size) && file.commit()) return {};
    const int error = file.error() ? file.error() : EIO;
    file.discard();
    return common::Failure("cannot write the picture", path + ": " + std::strerror(error));
}

// Runs `draw` in a headless context of the view's size, set up as a window's is; the reason
// when there is none.
template <class Draw>
common::Outcome inPictureContext(AppState& s, Draw draw) {
    platform::OffscreenGl gl(static_cast<int>(s.view.W), static_cast<int>(s.view.H));
    if (const common::Failure& why = gl.status().failure(); !gl.status().ok())
        return common::Failure("cannot draw the picture: " + why.message, why.detail);
    initGlState();
    return draw(gl);
}

}  // namespace

bool isSvgName(const std::string& path) {
    constexpr std::string_view kSuffix = ".svg";
    return path.size() >= kSuffix.size() &&
           std::equal(kSuffix.begin(), kSuffix.end(),
                      path.end() - static_cast<std::ptrdiff_t>(kSuffix.size()), [](char a, char b) {
                          return a == std::tolower(static_cast<unsigned char>(b));
                      });
}

common::Outcome drawPicture(AppState& s, RgbPicture& picture) {
    return inPictureContext(s, [&](const platform::OffscreenGl& gl) {
        {
            // The canvas keeps textures in the context: it goes before the context does.
            platform::GlOverlayCanvas canvas;
            canvas.begin(gl.width(), gl.height());
            FrameCaches caches;
            paintFrame(s, caches, canvas);
            canvas.end();
        }
        picture = {gl.width(), gl.height(), gl.readRgb()};
        return common::Outcome();
    });
}

common::Outcome writePicture(const std::string& path, const RgbPicture& picture) {
    const std::vector<std::uint8_t> png =
        platform::encodePng(picture.width, picture.height, picture.rgb);
    return writeFile(path, png.data(), png.size());
}

common::Outcome writeSvgPicture(const std::string& path, AppState& s) {
    const std::string svg = SvgPicture(s, static_cast<int>(s.view.W), static_cast<int>(s.view.H));
    return writeFile(path, svg.data(), svg.size());
}

common::Outcome savePicture(AppState& s, const std::string& path) {
    if (isSvgName(path))
        return inPictureContext(
            s, [&](const platform::OffscreenGl&) { return writeSvgPicture(path, s); });
    RgbPicture picture;
    if (common::Outcome drawn = drawPicture(s, picture); !drawn.ok()) return drawn;
    return writePicture(path, picture);
}

}  // namespace quillon
