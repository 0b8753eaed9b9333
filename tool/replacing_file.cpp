#include "tool/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tarvik {
namespace {

// The mode a newly created file gets: 0666 without the bits of the process's umask. The
// umask can only be read by setting it, so it is set back at once.
mode_t NewFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::fail() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
    return false;
}

bool ReplacingFile::open(const std::string& path) {
    discard();
    error_ = 0;
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    // Replacing a symbolic link would turn it into a file: write where it points instead.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    target_ = target.string();
    fs::path dir = target.parent_path();
    std::string name = ".";
    name += target.filename().string();
    name += ".tarvik-XXXXXX";
    std::string pattern = ((dir.empty() ? fs::path(".") : dir) / name).string();
    std::vector<char> chars(pattern.begin(), pattern.end());
    chars.push_back('\0');
    errno = 0;
    fd_ = mkstemp(chars.data());
    if (fd_ < 0) return fail();
    tempPath_ = chars.data();
    return true;
}

bool ReplacingFile::write(const char* data, std::size_t size) {
    if (fd_ < 0 || error_ != 0) return false;
    while (size > 0) {
        errno = 0;
        ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail();
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplacingFile::commit() {
    if (fd_ < 0 || error_ != 0) return false;
    struct stat old {};
    errno = 0;
    if (::stat(target_.c_str(), &old) == 0) {
        // Keep the owner where we may (as root) and the mode of the replaced file.
        if (fchown(fd_, old.st_uid, old.st_gid) != 0) errno = 0;
        if (fchmod(fd_, old.st_mode & 07777) != 0) return fail();
    } else if (fchmod(fd_, NewFileMode()) != 0) {
        return fail();
    }
    if (fsync(fd_) != 0) return fail();
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail();
    if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) return fail();
    tempPath_.clear();
    return true;
}

void ReplacingFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
}

}  // namespace tarvik
