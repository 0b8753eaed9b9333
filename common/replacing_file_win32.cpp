// The replacing output file on Windows: the same contract as on POSIX systems, through the
// wide-character Win32 file functions, in text mode.
#include "common/windows_api.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "common/replacing_file.h"
#include "common/utf16.h"

namespace common {
namespace {

// The errno value closest to a Win32 error, for the message the caller builds with strerror.
int ErrnoFrom(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
            return EINVAL;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
            return EPIPE;
        case ERROR_CANT_RESOLVE_FILENAME:
            return ELOOP;
        default:
            return EIO;
    }
}

HANDLE Handle(void* h) {
    return static_cast<HANDLE>(h);
}

std::wstring FolderOf(const std::wstring& path) {
    std::wstring folder = std::filesystem::path(path).parent_path().wstring();
    return folder.empty() ? L"." : folder;
}

// The path a symbolic link (or other name surrogate) finally names; the path itself when it
// is none, or when the link cannot be resolved (the write then fails or replaces the link).
std::wstring FinalTarget(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return path;
    std::vector<wchar_t> buf(MAX_PATH);
    DWORD n = GetFinalPathNameByHandleW(h, buf.data(), static_cast<DWORD>(buf.size()), 0);
    if (n >= buf.size()) {
        buf.resize(n + 1);
        n = GetFinalPathNameByHandleW(h, buf.data(), static_cast<DWORD>(buf.size()), 0);
    }
    CloseHandle(h);
    return n > 0 && n < buf.size() ? std::wstring(buf.data(), n) : path;
}

// Six letters or digits that differ from call to call and from process to process.
std::wstring UniqueSuffix() {
    static unsigned long long counter = 0;
    unsigned long long x = GetTickCount64() ^
                           (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^
                           (++counter * 0x9E3779B97F4A7C15ull);
    static constexpr wchar_t kChars[] =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring s;
    for (int i = 0; i < 6; ++i) {
        x ^= x >> 29;
        x *= 0xBF58476D1CE4E5B9ull;
        s += kChars[x % 62];
    }
    return s;
}

}  // namespace

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::fail() {
    if (error_ == 0) error_ = ErrnoFrom(GetLastError());
    return false;
}

bool ReplacingFile::open(const std::string& path) {
    discard();
    error_ = 0;
    const std::wstring wide = WideFromUtf8(path);
    // What the path names now: nothing (a new file), a file on a disk, or something else.
    HANDLE probe = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    bool exists = probe != INVALID_HANDLE_VALUE;
    if (!exists) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            // A missing folder fails here; anything else we cannot look at is written as a
            // plain write would, which then succeeds or says why not.
            if (error == ERROR_PATH_NOT_FOUND) return fail();
            return openStraight(path);
        }
    } else {
        BY_HANDLE_FILE_INFORMATION info{};
        bool disk = GetFileType(probe) == FILE_TYPE_DISK;
        bool known = disk && GetFileInformationByHandle(probe, &info);
        CloseHandle(probe);
        // Devices (NUL, CON, COM1), pipes, and files a rename would split from their links.
        if (!known || info.nNumberOfLinks > 1) return openStraight(path);
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            error_ = EISDIR;
            return false;
        }
        if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            error_ = EACCES;  // as any Windows program that opens it to write is refused
            return false;
        }
    }
    const std::wstring target = FinalTarget(wide);
    const std::wstring name = std::filesystem::path(target).filename().wstring();
    if (openTemporary(Utf8FromWide(FolderOf(target)), Utf8FromWide(name))) {
        target_ = Utf8FromWide(target);
        return true;
    }
    // A file in a folder we cannot write can still be written into, as a plain write would.
    if (exists && error_ == EACCES) {
        error_ = 0;
        return openStraight(path);
    }
    return false;
}

bool ReplacingFile::openTemporary(const std::string& folder, const std::string& name) {
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on a chain of + here.
    std::wstring prefix = WideFromUtf8(folder);
    prefix += L"\\.";
    prefix += WideFromUtf8(name);
    prefix += L".writing-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring temp = prefix;
        temp += UniqueSuffix();
        HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            handle_ = h;
            tempPath_ = Utf8FromWide(temp);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return fail();
    }
    return fail();
}

bool ReplacingFile::openStraight(const std::string& path) {
    HANDLE h =
        CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail();
    handle_ = h;
    target_ = path;
    // A file is truncated as a plain write truncates it; a device has nothing to truncate.
    if (GetFileType(h) == FILE_TYPE_DISK && !SetEndOfFile(h)) return fail();
    return true;
}

bool ReplacingFile::write(const char* data, std::size_t size) {
    // Text mode: every LF goes out as CR LF.
    std::string text;
    text.reserve(size + size / 16);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') text += '\r';
        text += data[i];
    }
    return writeBytes(text.data(), text.size());
}

bool ReplacingFile::writeBytes(const void* data, std::size_t size) {
    if (!handle_ || error_ != 0) return false;
    const char* p = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        DWORD chunk = static_cast<DWORD>(left < (DWORD{1} << 30) ? left : (DWORD{1} << 30));
        DWORD written = 0;
        if (!WriteFile(Handle(handle_), p, chunk, &written, nullptr)) return fail();
        if (written == 0) {
            error_ = EIO;
            return false;
        }
        p += written;
        left -= written;
    }
    return true;
}

bool ReplacingFile::commit() {
    if (!handle_ || error_ != 0) return false;
    HANDLE h = Handle(handle_);
    // Only a file keeps what it was given; a device or pipe has nothing to flush.
    if (GetFileType(h) == FILE_TYPE_DISK && !FlushFileBuffers(h)) return fail();
    handle_ = nullptr;
    if (!CloseHandle(h)) return fail();
    if (!replaces()) return true;
    if (!MoveFileExW(WideFromUtf8(tempPath_).c_str(), WideFromUtf8(target_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail();
    tempPath_.clear();
    return true;
}

void ReplacingFile::discard() {
    if (handle_) CloseHandle(Handle(handle_));
    handle_ = nullptr;
    if (!tempPath_.empty()) DeleteFileW(WideFromUtf8(tempPath_).c_str());
    tempPath_.clear();
}

}  // namespace common
