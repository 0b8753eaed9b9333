#pragma once
// A file that lives in memory only (memfd), reached by a path like any other: the readers
// under test open paths, and a fuzzer that wrote each input to disk would spend its time
// there and leave files behind when it stops at a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzsupport {

class MemoryFile {
  public:
    explicit MemoryFile(const char* name) : fd_(memfd_create(name, 0)) {
        if (fd_ < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Makes the file hold exactly these bytes (written over the old ones, then cut to size:
    // emptying the file first would give its pages back only to take them again).
    void assign(const void* data, std::size_t size) {
        const char* p = static_cast<const char*>(data);
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = pwrite(fd_, p + done, size - done, static_cast<off_t>(done));
            if (n <= 0) std::abort();
            done += static_cast<std::size_t>(n);
        }
        if (ftruncate(fd_, static_cast<off_t>(size)) != 0) std::abort();
    }
    const std::string& path() const { return path_; }

  private:
    int fd_;
    std::string path_;
};

}  // namespace fuzzsupport
