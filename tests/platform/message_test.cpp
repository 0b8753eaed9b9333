// A fatal error ends the process with exit code 1 after its warning.
#include "viewer/platform/message.h"

#include <gtest/gtest.h>

namespace {

TEST(FatalDeathTest, EndsTheProcessWithExitCodeOneAfterTheWarning) {
    EXPECT_EXIT(quillon::platform::fatal("stop", "a detail"), ::testing::ExitedWithCode(1),
                "Warning! stop \\(a detail\\)");
}

}  // namespace
