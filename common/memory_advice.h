#pragma once
// Advice to the system about memory a program is about to fill. Only advice: where the system
// does not offer it, nothing changes. Each call covers the whole pages inside the range given.
// The POSIX implementation (memory_advice.cpp) uses madvise where Linux has it; on Windows
// (memory_advice_win32.cpp) there is nothing to advise for memory already allocated.
#include <cstddef>

namespace common {

// Large pages behind `bytes` at `data`: filling them then costs a page fault per 2 MiB instead
// of per 4 KiB. Worth asking for arrays of several megabytes.
void AdviseLargePages(void* data, std::size_t bytes);

// The pages of `bytes` at `data` made present and writable now, ahead of the writes.
void PrefaultForWriting(void* data, std::size_t bytes);

}  // namespace common
