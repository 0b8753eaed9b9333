#include "viewer/platform/dialog.h"

#include <filesystem>

namespace quillon::platform {

std::string withDefaultExtension(const std::string& path, const std::string& extension) {
    std::filesystem::path p(path);
    if (extension.empty() || p.filename().empty() || p.has_extension() ||
        std::filesystem::exists(p))
        return path;
    return path + "." + extension;
}

}  // namespace quillon::platform
