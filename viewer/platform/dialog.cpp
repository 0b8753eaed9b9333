#include "viewer/platform/dialog.h"

#include <filesystem>

#include "common/utf16.h"

namespace quillon::platform {

std::string withDefaultExtension(const std::string& path, const std::string& extension) {
    std::filesystem::path p = common::PathFromUtf8(path);
    std::error_code error;
    if (extension.empty() || p.filename().empty() || p.has_extension() ||
        std::filesystem::exists(p, error))
        return path;
    return path + "." + extension;
}

}  // namespace quillon::platform
