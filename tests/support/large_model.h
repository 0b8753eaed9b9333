#pragma once
// A generated result file whose load takes seconds, for the tests of a window that keeps
// answering while it loads: 3,000,000 shells, 2.7 GB of text (1,000,000 in a sanitizer build).
// Made by quillon_example_gen once into the build folder (writing it takes longer than reading
// it) and kept there for later runs. The test program defines QUILLON_EXAMPLE_GEN,
// QUILLON_TEST_DATA_DIR and QUILLON_LARGE_MODEL_SHELLS.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "tests/support/run_process.h"

namespace testsupport {

inline std::string largeModelFile() {
    namespace fs = std::filesystem;
    const std::string shells = QUILLON_LARGE_MODEL_SHELLS;
    const fs::path file = fs::path(QUILLON_TEST_DATA_DIR) / ("result_" + shells + "_shells.txt");
    if (fs::exists(file)) return file.string();
    fs::create_directories(file.parent_path());
    fs::path part = file;
    part += ".part" + std::to_string(getpid());
    auto r =
        runProcess(QUILLON_EXAMPLE_GEN, {"--shells", shells, "--seed", "1", "-o", part.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::error_code ec;
    fs::rename(part, file, ec);  // whole or not at all, whoever made it first
    return file.string();
}

}  // namespace testsupport
