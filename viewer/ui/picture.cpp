#include "viewer/ui/picture.h"

#include <cerrno>
#include <cstring>

#include "common/replacing_file.h"
#include "viewer/platform/gl_overlay_canvas.h"
#include "viewer/platform/offscreen_gl.h"
#include "viewer/ui/app.h"

namespace quillon {

common::Outcome drawPicture(AppState& s, RgbPicture& picture) {
    const int width = static_cast<int>(s.view.W), height = static_cast<int>(s.view.H);
    platform::OffscreenGl gl(width, height);
    if (!gl.ok()) return common::Failure("cannot draw the picture", gl.error());
    initGlState();
    {
        // The canvas keeps textures in the context: it goes before the context does.
        platform::GlOverlayCanvas canvas;
        canvas.begin(width, height);
        FrameCaches caches;
        paintFrame(s, caches, canvas);
        canvas.end();
    }
    picture = {width, height, gl.readRgb()};
    return {};
}

common::Outcome writePicture(const std::string& path, const RgbPicture& picture) {
    const std::vector<std::uint8_t> png =
        platform::encodePng(picture.width, picture.height, picture.rgb);
    common::ReplacingFile file;
    bool ok =
        !png.empty() && file.open(path) && file.writeBytes(png.data(), png.size()) && file.commit();
    if (ok) return {};
    const int error = file.error() ? file.error() : EIO;
    file.discard();
    return common::Failure("cannot write the picture", path + ": " + std::strerror(error));
}

common::Outcome savePicture(AppState& s, const std::string& path) {
    RgbPicture picture;
    if (common::Outcome drawn = drawPicture(s, picture); !drawn.ok()) return drawn;
    return writePicture(path, picture);
}

}  // namespace quillon
