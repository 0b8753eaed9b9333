#include "tests/support/temp_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/run_process.h"

namespace {

namespace fs = std::filesystem;

TEST(TempFolders, PassingTestsLeaveNothingFailingOnesKeepTheirFiles) {
    // The probe runs with a temporary folder of its own, so that only its folders are seen.
    fs::path tmp = testsupport::testDir() / "tmp";
    fs::create_directories(tmp);
    auto run = testsupport::runProcess(TEMP_FOLDER_PROBE, {}, "TMPDIR=" + tmp.string());
    EXPECT_EQ(run.exitCode, 1);  // the failing probe test

    std::vector<fs::path> left;
    for (const auto& e : fs::directory_iterator(tmp / "quillon_tests")) left.push_back(e.path());
    ASSERT_EQ(left.size(), 1u) << run.out;
    std::string name = left[0].filename().string();
    EXPECT_EQ(name.rfind("Probe.Fails-", 0), 0u) << name;
    EXPECT_EQ(testsupport::readFile((left[0] / "note.txt").string()), "failed");
    // The output says where to look.
    EXPECT_NE(run.out.find("[ kept     ] " + left[0].string() + "\n"), std::string::npos)
        << run.out;
}

TEST(TempFolders, OneFolderPerTestUntilItEnds) {
    fs::path dir = testsupport::testDir();
    EXPECT_EQ(testsupport::testDir(), dir);
    EXPECT_TRUE(fs::is_directory(dir));
    EXPECT_NE(dir.filename().string().find("TempFolders.OneFolderPerTestUntilItEnds-"),
              std::string::npos);
    EXPECT_EQ(testsupport::writeFile("a.txt", "x"), (dir / "a.txt").string());
}

}  // namespace
