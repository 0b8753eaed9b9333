// Fatal errors met on a worker thread are handed to the main thread instead of ending the
// process under its feet.
#include "viewer/platform/message.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

namespace {

TEST(FatalErrorsThrown, AFatalErrorOnAThreadWithTheGuardIsThrownWithItsText) {
    std::optional<common::Failure> caught;
    bool reachedTheEnd = false;
    std::thread worker([&] {
        quillon::platform::FatalErrorsThrown thrown;
        try {
            {
                // Guards nest: an inner one gone leaves the outer one in force.
                quillon::platform::FatalErrorsThrown inner;
            }
            quillon::platform::fatal("节点数目错误!", "a detail");
            reachedTheEnd = true;
        } catch (const common::Failure& error) {
            caught = error;
        }
    });
    worker.join();
    ASSERT_TRUE(caught.has_value());
    EXPECT_EQ(caught->message, "节点数目错误!");
    EXPECT_EQ(caught->detail, "a detail");
    EXPECT_FALSE(reachedTheEnd);
}

TEST(FatalErrorsThrownDeathTest, WithoutTheGuardAFatalErrorStillEndsTheProcess) {
    // The guard of another thread does not reach this one.
    std::thread([] { quillon::platform::FatalErrorsThrown thrown; }).join();
    EXPECT_EXIT(quillon::platform::fatal("stop"), ::testing::ExitedWithCode(1), "Warning! stop");
}

}  // namespace
