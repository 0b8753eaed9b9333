// Tests that leave files in their temporary folders: one passes, one fails, one skips, one
// never asks for a folder. temp_file_test.cpp runs this program and looks at what stays.
#include <gtest/gtest.h>

#include "tests/support/temp_file.h"

TEST(Probe, Passes) {
    testsupport::writeFile("note.txt", "passed");
    std::filesystem::create_directories(testsupport::testDir() / "deeper" / "still");
    testsupport::writeFile("deeper/still/more.txt", "passed too");
}

TEST(Probe, Fails) {
    testsupport::writeFile("note.txt", "failed");
    ADD_FAILURE() << "on purpose";
}

TEST(Probe, Skips) {
    testsupport::writeFile("note.txt", "skipped");
    GTEST_SKIP() << "on purpose";
}

TEST(Probe, NeverAsks) {}
