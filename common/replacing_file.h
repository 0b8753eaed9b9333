#pragma once
// An output file that never destroys what it replaces, where that can be done: the text goes
// to a temporary file in the same folder, which is renamed over the target only after
// everything was written, synced and closed. Until then, and after any failure, the target
// is untouched.
//
// That is done for a new file and for an existing regular file with one link, in a folder
// we can write; symbolic links are followed to the file they finally name (a dangling link
// creates its target). Everything else is written straight into, as a plain truncating write
// would: a device, a FIFO, standard output given as /dev/stdout, a file with more than one
// link (a rename would split the links), a file reached through /proc, and a file in a
// folder we cannot write. A failure there leaves what was written so far.
//
// On Windows (replacing_file_win32.cpp) paths are UTF-8, the text is written in text mode
// (each LF becomes CR LF), and the rename is MoveFileExW, which replaces an existing file,
// after FlushFileBuffers. There are no modes or owners to keep, and a read-only file is
// refused as Windows' own writes refuse it. Devices (NUL, CON), pipes and files with more
// than one link are written straight into; symbolic links are followed to their target.
#include <cstddef>
#include <string>

namespace common {

class ReplacingFile {
  public:
    ReplacingFile() = default;
    ~ReplacingFile();  // removes the temporary file unless committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file beside the target, or opens the target itself for writing.
    bool open(const std::string& path);
    // Text: on Windows each LF goes out as CR LF.
    bool write(const char* data, std::size_t size);
    // Bytes as they are, on every system (a picture).
    bool writeBytes(const void* data, std::size_t size);
    // With a temporary file: gives it the mode of the file it replaces (a new file's ordinary
    // mode when there is none), closes it and renames it over the target. Otherwise closes
    // the target.
    bool commit();
    // Removes the temporary file; the target stays as it was. A target written straight
    // into is only closed.
    void discard();

    // errno of the first failure, 0 when none (on Windows mapped from the system's error).
    int error() const { return error_; }
    // True when the text goes to a temporary file that replaces the target on commit.
    bool replaces() const { return !tempPath_.empty(); }
    const std::string& temporaryPath() const { return tempPath_; }

  private:
    bool fail();
    bool openStraight(const std::string& path);
    bool openTemporary(const std::string& folder, const std::string& name);

#if defined(_WIN32)
    void* handle_ = nullptr;  // a HANDLE; null when none is open
#else
    int fd_ = -1;
#endif
    std::string target_;
    std::string tempPath_;
    int error_ = 0;
};

}  // namespace common
