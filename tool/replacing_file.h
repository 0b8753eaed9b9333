#pragma once
// An output file that never destroys what it replaces: the text goes to a temporary file in
// the same folder, which is renamed over the target only after everything was written,
// synced and closed. Until then, and after any failure, the target is untouched.
#include <cstddef>
#include <string>

namespace tarvik {

class ReplacingFile {
  public:
    ReplacingFile() = default;
    ~ReplacingFile();  // removes the temporary file unless committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file beside `path` (beside the file a symbolic link names).
    bool open(const std::string& path);
    bool write(const char* data, std::size_t size);
    // Gives the temporary file the mode of the file it replaces (a new file's ordinary mode
    // when there is none), closes it and renames it over the target.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    // errno of the first failure, 0 when none.
    int error() const { return error_; }
    const std::string& temporaryPath() const { return tempPath_; }

  private:
    bool fail();

    int fd_ = -1;
    std::string target_;
    std::string tempPath_;
    int error_ = 0;
};

}  // namespace tarvik
