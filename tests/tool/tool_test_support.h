#pragma once
// Temporary folders, whole-file reads and writes, and captured message streams for the tests
// of tarvik.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/temp_file.h"
#include "tool/messages.h"
#include "tool/pre_model.h"

namespace tarvik_test {

// The null device, as a keyboard that is never a terminal or console.
#if defined(_WIN32)
inline constexpr const char* kNullDevice = "NUL";
#else
inline constexpr const char* kNullDevice = "/dev/null";
#endif

// A path as the programs take it: UTF-8 (on Windows the path is wide).
inline std::string Utf8(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
inline std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Reading and writing a model as the tarvik program does: a failure is shown on `messages` as
// the program shows it. True when done.
inline bool ReadAsTarvik(tarvik::PreModel& model, const std::string& path,
                         const tarvik::MessageOutput& messages) {
    common::Outcome read = tarvik::ReadPreModel(model, path);
    if (!read.ok()) tarvik::ShowReadFailure(messages, read.failure());
    return read.ok();
}
inline bool WriteAsTarvik(const tarvik::PreModel& model, const std::string& path,
                          const tarvik::MessageOutput& messages) {
    common::Outcome written = tarvik::WritePreModel(model, path);
    if (!written.ok()) tarvik::ShowWriteFailure(messages, written.failure());
    return written.ok();
}

// A fresh folder inside the test's temporary folder, removed with it when the test passes.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (testsupport::testDir() / "tarvik-XXXXXX").string();
        char* made = testsupport::makeTempDir(pattern.data());
        EXPECT_NE(made, nullptr);
        path_ = pattern;
    }
    // `name` in UTF-8; the path in UTF-8.
    std::string file(const std::string& name) const { return Utf8(path_ / PathOf(name)); }
    const std::filesystem::path& path() const { return path_; }
    // Names of everything in the folder (UTF-8), sorted, one per line.
    std::string listing() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(Utf8(e.path().filename()));
        std::sort(names.begin(), names.end());
        std::string out;
        for (const auto& n : names) out += n + "\n";
        return out;
    }

  private:
    std::filesystem::path path_;
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    out << text;
}

// A text the platform wrote in text mode, with its line ends as LF: on Windows every LF must
// come as CR LF (a failure otherwise), elsewhere the text is as it is.
inline std::string FromTextMode(const std::string& text) {
#if defined(_WIN32)
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            ADD_FAILURE() << "a line end without CR at byte " << i;
        out += text[i];
    }
    return out;
#else
    return text;
#endif
}

// A file that tarvik wrote, its line ends as LF (see FromTextMode).
inline std::string ReadOutput(const std::string& path) {
    return FromTextMode(ReadText(path));
}

// The texts of the warning boxes shown, in order; CapturedMessages records them here.
inline std::vector<std::string>& RecordedBoxes() {
    static std::vector<std::string> boxes;
    return boxes;
}
inline void RecordBox(std::string_view text) {
    RecordedBoxes().emplace_back(text);
}

// Message streams in files of the test's folder, read back as written (binary, so the texts
// are byte for byte those of every platform); the keyboard is the null device, so nothing
// waits; boxes are recorded in RecordedBoxes().
class CapturedMessages {
  public:
    CapturedMessages() : dir_() {
        output.warnings = Open(warningsPath_ = dir_.file("warnings"), "w+b");
        output.console = Open(consolePath_ = dir_.file("console"), "w+b");
        output.keyboard = std::fopen(kNullDevice, "r");
        output.box = &RecordBox;
    }
    ~CapturedMessages() {
        std::fclose(output.warnings);
        std::fclose(output.console);
        std::fclose(output.keyboard);
    }
    std::string warnings() {
        std::fflush(output.warnings);
        return ReadText(warningsPath_);
    }
    std::string console() {
        std::fflush(output.console);
        return ReadText(consolePath_);
    }

    tarvik::MessageOutput output;

  private:
    static std::FILE* Open(const std::string& path, const char* mode) {
        std::FILE* f = std::fopen(path.c_str(), mode);
        EXPECT_NE(f, nullptr) << path;
        return f;
    }

    TempDir dir_;
    std::string warningsPath_, consolePath_;
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
