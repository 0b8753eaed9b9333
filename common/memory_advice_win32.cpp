// Windows gives large pages only to memory allocated for them (with a privilege most users do
// not hold), and has no call that makes fresh pages present ahead of their writes: both are
// left to the system.
#include "common/memory_advice.h"

namespace common {

void AdviseLargePages(void*, std::size_t) {}

void PrefaultForWriting(void*, std::size_t) {}

}  // namespace common
