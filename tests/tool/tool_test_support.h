#pragma once
// Temporary folders, whole-file reads and writes, and captured message streams for the tests
// of tarvik.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_file.h"
#include "tool/messages.h"

namespace tarvik_test {

// A fresh folder inside the test's temporary folder, removed with it when the test passes.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (testsupport::testDir() / "tarvik-XXXXXX").string();
        char* made = mkdtemp(pattern.data());
        EXPECT_NE(made, nullptr);
        path_ = pattern;
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }
    // Names of everything in the folder, sorted, one per line.
    std::string listing() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        std::string out;
        for (const auto& n : names) out += n + "\n";
        return out;
    }

  private:
    std::filesystem::path path_;
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Message streams held in memory; keyboard is never a terminal, so nothing waits.
class CapturedMessages {
  public:
    CapturedMessages() {
        output.warnings = open_memstream(&warnBuf_, &warnSize_);
        output.console = open_memstream(&consoleBuf_, &consoleSize_);
        output.keyboard = std::fopen("/dev/null", "r");
    }
    ~CapturedMessages() {
        std::fclose(output.warnings);
        std::fclose(output.console);
        std::fclose(output.keyboard);
        free(warnBuf_);
        free(consoleBuf_);
    }
    std::string warnings() {
        std::fflush(output.warnings);
        return std::string(warnBuf_, warnSize_);
    }
    std::string console() {
        std::fflush(output.console);
        return std::string(consoleBuf_, consoleSize_);
    }

    tarvik::MessageOutput output;

  private:
    char* warnBuf_ = nullptr;
    std::size_t warnSize_ = 0;
    char* consoleBuf_ = nullptr;
    std::size_t consoleSize_ = 0;
};

// The count texts of the seventeen sections, in file order, with their keys.
inline const std::vector<std::pair<std::string, std::string>>& SectionCountTexts() {
    static const std::vector<std::pair<std::string, std::string>> texts = {
        {"NMT", "Number of materials:NMT="},
        {"NTK", "Number of thicknesses:NTK="},
        {"NTBS", "Number of T_beam sections:NTBS="},
        {"NLBS", "Number of L_beam sections:NLBS="},
        {"NCBS", "Number of C_beam sections:NCBS="},
        {"NGPT", "Number of geometric points:NGPT="},
        {"NPG", "Number of polygons:NPG="},
        {"NBL", "Number of beam lines:NBL="},
        {"NDL_PG", "Number of distributed loads of polygons:NDL_PG="},
        {"NDL_BL", "Number of distributed loads of beamlines:NDL_BL="},
        {"NPOIN", "Number of nodal points:NPOIN="},
        {"NELEM_S_4ND", "Number of four-nodes shell elements:NELEM_S_4ND="},
        {"NELEM_S_3ND", "Number of three-nodes shell elements:NELEM_S_3ND="},
        {"NELEM_B", "Number of beam elements:NELEM_B="},
        {"NELEM_G", "Number of glue elements:NELEM_G="},
        {"NRN", "Number of restricted nodal points:NRN="},
        {"NFOR", "Number of forces:NFOR="}};
    return texts;
}

// A model file text: the header, every section empty ("0") unless `body` gives what follows
// its count text (the count, a line end and the records), then "###end###".
inline std::string ModelText(const std::map<std::string, std::string>& body,
                             const std::string& header = "### Halvo R2.00 ###\n") {
    std::string text = header;
    for (const auto& [key, countText] : SectionCountTexts()) {
        auto it = body.find(key);
        text += countText + (it == body.end() ? std::string("0\n") : it->second);
    }
    return text + "###end###\n";
}

inline std::string ExampleModelPath() {
    return std::string(QUILLON_SOURCE_DIR) + "/examples/Halvo_Model.txt";
}

}  // namespace tarvik_test
