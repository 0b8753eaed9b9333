#pragma once
// Temporary files for tests: each test gets its own folder, removed at the end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

inline std::filesystem::path testDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "no_test";
    auto dir = std::filesystem::temp_directory_path() / "quillon_tests" / name;
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string writeFile(const std::string& name, const std::string& text) {
    auto path = testDir() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testsupport
