#pragma once
// A test that cannot run here because a tool is missing is skipped on a developer's machine,
// but fails in continuous integration (CI=true), which must never pass what it did not run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace testsupport {

inline bool inContinuousIntegration() {
    const char* ci = std::getenv("CI");
    return ci && *ci && std::strcmp(ci, "false") != 0 && std::strcmp(ci, "0") != 0;
}

}  // namespace testsupport

// Use like GTEST_SKIP(): SKIP_OR_FAIL_IN_CI() << "why"; (the switch keeps an enclosing if's
// else unambiguous, as GoogleTest's own macros do)
#define SKIP_OR_FAIL_IN_CI()                           \
    switch (0)                                         \
    case 0:                                            \
    default:                                           \
        if (!::testsupport::inContinuousIntegration()) \
            GTEST_SKIP();                              \
        else                                           \
            GTEST_FAIL() << "missing in continuous integration: "
