// The main of every test program: GoogleTest's, plus the removal of each test's temporary
// folder when the test ends (kept when it failed; see temp_file.h).
#include <gtest/gtest.h>

#include "tests/support/temp_file.h"

namespace {

class TempFolderCleanup : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo& info) override {
        testsupport::finishTestDir(info.result()->Failed());
    }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Owned by GoogleTest from here on.
    ::testing::UnitTest::GetInstance()->listeners().Append(new TempFolderCleanup);
    return RUN_ALL_TESTS();
}
