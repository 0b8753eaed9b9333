#include "viewer/platform/program.h"

namespace quillon::platform {

ProgramStart::ProgramStart(int argc, char** argv) : pointers_(argv, argv + argc) {
    pointers_.push_back(nullptr);
}

}  // namespace quillon::platform
