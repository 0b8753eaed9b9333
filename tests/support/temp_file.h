#pragma once
// Temporary files for tests. Each test that asks for one gets its own folder,
// <temp>/quillon_tests/<Suite.Name>-XXXXXX, unique to the process so that test runs of other
// builds on the same machine never share it. The test main (test_main.cpp) removes the folder
// when the test ends; the folder of a failed test is kept, and its path printed, so that what
// the test wrote can be inspected.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <process.h>
#endif

namespace testsupport {

// mkdtemp: a new folder named by `pattern` with its trailing XXXXXX replaced, or nullptr.
// Windows has none: letters from a counter, the clock and the process id, tried until a name
// is free.
inline char* makeTempDir(char* pattern) {
#if defined(_WIN32)
    std::string text(pattern);
    if (text.size() < 6 || text.compare(text.size() - 6, 6, "XXXXXX") != 0) return nullptr;
    static unsigned long long counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        unsigned long long x = static_cast<unsigned long long>(_getpid()) * 1000003u +
                               static_cast<unsigned long long>(std::time(nullptr)) + ++counter;
        for (std::size_t i = text.size() - 6; i < text.size(); ++i, x /= 36)
            text[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[x % 36];
        std::error_code ec;
        if (std::filesystem::create_directory(text, ec)) {
            text.copy(pattern, text.size());
            return pattern;
        }
        if (ec) return nullptr;
    }
    return nullptr;
#else
    return mkdtemp(pattern);
#endif
}

namespace detail {
// The folder of the running test; empty until the test asks for it.
inline std::filesystem::path& currentTestDir() {
    static std::filesystem::path dir;
    return dir;
}
}  // namespace detail

inline std::filesystem::path testDir() {
    std::filesystem::path& dir = detail::currentTestDir();
    if (!dir.empty()) return dir;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "no_test";
    for (char& c : name)
        if (c == '/') c = '_';  // parameterised names
    auto root = std::filesystem::temp_directory_path() / "quillon_tests";
    std::filesystem::create_directories(root);
    std::string pattern = (root / (name + "-XXXXXX")).string();
    if (!makeTempDir(pattern.data())) {
        ADD_FAILURE() << "cannot make a folder like " << pattern;
        return root;
    }
    dir = pattern;
    return dir;
}

// Called by the test main when a test ends: removes its folder unless the test failed.
inline void finishTestDir(bool failed) {
    std::filesystem::path& dir = detail::currentTestDir();
    if (dir.empty()) return;
    if (failed) {
        std::printf("[ kept     ] %s\n", dir.string().c_str());
    } else {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    dir.clear();
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
