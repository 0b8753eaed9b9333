#include "common/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace common {
namespace {

// The mode a newly created file gets: 0666 without the bits of the process's umask. The
// umask can only be read by setting it, so it is set back at once.
mode_t NewFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

std::string FolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// The links of /proc (/proc/self/fd/1 behind /dev/stdout) stand for open files, not for
// paths: what they name must be opened through them, never replaced.
bool IsInProc(const std::string& folder) {
#if defined(__linux__)
    struct statfs fs {};
    return statfs(folder.c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
#else
    (void)folder;
    return false;
#endif
}

enum class Resolved { kPath, kProcLink, kFailed };

// Follows the symbolic links from `path` to the path they finally name, which need not
// exist. kFailed with errno set (ELOOP for a loop).
Resolved ResolveLinks(std::string path, std::string& out) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) return Resolved::kFailed;
            out = path;  // a new file; a missing folder shows when it is made
            return Resolved::kPath;
        }
        if (!S_ISLNK(st.st_mode)) {
            out = path;
            return Resolved::kPath;
        }
        std::string folder = FolderOf(path);
        if (IsInProc(folder)) return Resolved::kProcLink;
        char target[PATH_MAX];
        ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n < 0) return Resolved::kFailed;
        if (n == 0 || static_cast<std::size_t>(n) == sizeof target) {
            errno = n == 0 ? ENOENT : ENAMETOOLONG;
            return Resolved::kFailed;
        }
        std::string next(target, static_cast<std::size_t>(n));
        // A relative target is relative to the folder that holds the link.
        path = next.front() == '/' ? next : folder + "/" + next;
    }
    errno = ELOOP;
    return Resolved::kFailed;
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
    errno = 0;
    struct stat st {};
    bool exists = ::stat(path.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return fail();
    // Devices, FIFOs, folders (which then fail to open) and hard-linked files.
    if (exists && (!S_ISREG(st.st_mode) || st.st_nlink != 1)) return openStraight(path);

    std::string target;
    switch (ResolveLinks(path, target)) {
        case Resolved::kFailed:
            return fail();
        case Resolved::kProcLink:
            return openStraight(path);
        case Resolved::kPath:
            break;
    }
    std::string name = std::filesystem::path(target).filename().string();
    if (openTemporary(FolderOf(target), name)) {
        target_ = target;
        return true;
    }
    // A file in a folder we cannot write can still be written into, as a plain write would.
    int err = error_;
    if (exists && (err == EACCES || err == EPERM)) {
        error_ = 0;
        return openStraight(path);
    }
    return false;
}

bool ReplacingFile::openTemporary(const std::string& folder, const std::string& name) {
    std::string pattern = folder + "/." + name + ".writing-XXXXXX";
    std::vector<char> chars(pattern.begin(), pattern.end());
    chars.push_back('\0');
    errno = 0;
    fd_ = mkstemp(chars.data());
    if (fd_ < 0) return fail();
    tempPath_ = chars.data();
    return true;
}

bool ReplacingFile::openStraight(const std::string& path) {
    errno = 0;
    fd_ = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return fail();
    target_ = path;
    return true;
}

bool ReplacingFile::write(const char* data, std::size_t size) {
    return writeBytes(data, size);
}

bool ReplacingFile::writeBytes(const void* bytes, std::size_t size) {
    const char* data = static_cast<const char*>(bytes);
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
    errno = 0;
    if (!replaces()) {
        struct stat st {};
        // Only a file keeps what it was given; a device or FIFO has nothing to sync.
        if (fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && fsync(fd_) != 0) return fail();
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 || fail();
    }
    struct stat old {};
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

}  // namespace common
