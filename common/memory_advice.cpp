#include "common/memory_advice.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace common {
namespace {

// madvise with the whole pages inside the range.
void advise([[maybe_unused]] void* data, [[maybe_unused]] std::size_t bytes,
            [[maybe_unused]] int advice) {
    auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    auto from = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
    auto to = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(page - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, advice);
}

}  // namespace

void AdviseLargePages(void* data, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    advise(data, bytes, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void PrefaultForWriting(void* data, std::size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
    advise(data, bytes, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace common
