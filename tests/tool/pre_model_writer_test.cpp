// Writing model files: the exact text, labels against positions, number notation, the
// locale, and that a failed write leaves everything as it was.
#include <gtest/gtest.h>
#if defined(_WIN32)
#include "common/windows_api.h"
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstring>
#include <locale>
#include <thread>

#include "tests/tool/tool_test_support.h"
#include "tool/pre_model.h"

namespace {

using tarvik::PreModel;
using tarvik_test::CapturedMessages;
using tarvik_test::ModelText;
using tarvik_test::ReadOutput;
using tarvik_test::ReadText;
using tarvik_test::TempDir;
using tarvik_test::WriteText;

// Reads `text` and writes the model again; returns the written text.
std::string Rewrite(const std::string& text, const TempDir& dir) {
    CapturedMessages messages;
    PreModel m;
    WriteText(dir.file("in.txt"), text);
    EXPECT_TRUE(tarvik_test::ReadAsTarvik(m, dir.file("in.txt"), messages.output))
        << messages.warnings();
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("out.txt"), messages.output))
        << messages.warnings();
    EXPECT_EQ(messages.warnings(), "");
    return ReadOutput(dir.file("out.txt"));
}

TEST(PreModelWriter, ExampleComesBackByteForByte) {
    TempDir dir;
    std::string example = ReadText(tarvik_test::ExampleModelPath());
    ASSERT_FALSE(example.empty());
    std::string once = Rewrite(example, dir);
    EXPECT_EQ(once, example);
    EXPECT_EQ(Rewrite(once, dir), once);
}

// The text kept in memory (for checks without a file) is the file's, byte for byte, also
// past the blocks in which either is handed on.
TEST(PreModelWriter, TextInMemoryIsTheFilesText) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    ASSERT_TRUE(tarvik_test::ReadAsTarvik(m, tarvik_test::ExampleModelPath(), messages.output));
    EXPECT_EQ(tarvik::PreModelText(m), ReadText(tarvik_test::ExampleModelPath()));
    m.nodalPoints.count = 60000;
    for (int i = 0; i < m.nodalPoints.count; ++i)
        m.nodalPoints.records.push_back({i * 0.5, -i * 0.25, 1e6 + i});
    ASSERT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("big.txt"), messages.output));
    std::string text = tarvik::PreModelText(m);
    EXPECT_GT(text.size(), std::size_t{2} << 20);
#if defined(_WIN32)
    // The file is written in text mode: there every line ends in CR LF.
    std::string lines;
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    text = lines;
#endif
    EXPECT_TRUE(text == ReadText(dir.file("big.txt")));
}

TEST(PreModelWriter, PositionsReplaceDiscardedLabels) {
    TempDir dir;
    std::string in = ModelText({{"NMT", "1\n#7:\nE=210000000000\nMu=0.30\n"},
                                {"NGPT", "3\n10:0,0,0\n11:1,0,0\n12:1,1,0\n"},
                                {"NPG", "1\n9[3]:0,1,2[4,5]\n"},
                                {"NBL",
                                 "1\n8:2,0<0,0,1>[0,BeamSecType=1,BeamSecIndex=2,BeamSecOz=0.25,"
                                 "BeamSecMirrored=7]\n"},
                                {"NDL_PG", "1\n33:1,2,3\n"},
                                {"NDL_BL", "1\n34:1,2\n"},
                                {"NPOIN", "4\n4:0,0,0\n5:0,0,0\n6:0,0,0\n7:1,2,3\n"},
                                {"NELEM_S_4ND", "1\n20:4,5,6,7[2]\n"},
                                {"NELEM_S_3ND", "1\n21:4,5,6[3]\n"},
                                {"NELEM_B", "1\n22:4,7[1]\n"},
                                {"NELEM_G", "1\n23:1,2,3\n"},
                                {"NRN", "1\n35:1  1\t1 0 0    0\n"},
                                {"NFOR", "1\n36<1,2,3,4,5,6.0000049>\n"}});
    std::string out = Rewrite(in, dir);
    EXPECT_EQ(out,
              "### Halvo R2.00 ###\n"
              "Number of materials:NMT=1\n#0:\nE=2.1e+11\nMu=0.3\n"
              "Number of thicknesses:NTK=0\n"
              "Number of T_beam sections:NTBS=0\n"
              "Number of L_beam sections:NLBS=0\n"
              "Number of C_beam sections:NCBS=0\n"
              "Number of geometric points:NGPT=3\n"
              "0:0.00000,0.00000,0.00000\n1:1.00000,0.00000,0.00000\n2:1.00000,1.00000,0.00000\n"
              "Number of polygons:NPG=1\n0[3]:10,11,12[4,5]\n"
              "Number of beam lines:NBL=1\n"
              "0:12,10<0.00000,0.00000,1.00000>[0,BeamSecType=1,BeamSecIndex=2,"
              "BeamSecOz=0.25000,BeamSecMirrored=1]\n"
              "Number of distributed loads of polygons:NDL_PG=1\n33:1.00000,2.00000,3.00000\n"
              "Number of distributed loads of beamlines:NDL_BL=1\n34:1.00000,2.00000\n"
              "Number of nodal points:NPOIN=4\n0:0.00000,0.00000,0.00000\n"
              "1:0.00000,0.00000,0.00000\n2:0.00000,0.00000,0.00000\n3:1.00000,2.00000,3.00000\n"
              "Number of four-nodes shell elements:NELEM_S_4ND=1\n0:4,5,6,7[2]\n"
              "Number of three-nodes shell elements:NELEM_S_3ND=1\n0:4,5,6[3]\n"
              "Number of beam elements:NELEM_B=1\n0:4,7[1]\n"
              "Number of glue elements:NELEM_G=1\n0:1,2,3\n"
              "Number of restricted nodal points:NRN=1\n35:1 1 1 0 0 0\n"
              "Number of forces:NFOR=1\n36<1.00000,2.00000,3.00000,4.00000,5.00000,6.00000>\n"
              "###end###\n");
}

TEST(PreModelWriter, NumberNotationAndCounts) {
    TempDir dir;
    std::string out =
        Rewrite(ModelText({{"NTK", "2\n#anything at all\nTK=0.0123456789\n#\nTK=1234567\n"},
                           {"NCBS", "1\n#0:\nR=1e-7\nT=-0\n"},
                           {"NGPT", "1\n0:1.234567,-0.0000049,123456.123456\n"},
                           {"NPOIN", "-2\n"},
                           {"NELEM_G", "-1\n"}}),
                dir);
    EXPECT_NE(out.find("Number of thicknesses:NTK=2\n#0:\nTK=0.0123457\n#1:\nTK=1.23457e+06\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("#0:\nR=1e-07\nT=-0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\n0:1.23457,-0.00000,123456.12346\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Number of nodal points:NPOIN=-2\nNumber of four"), std::string::npos);
    EXPECT_NE(out.find("Number of glue elements:NELEM_G=-1\nNumber of restricted"),
              std::string::npos);
}

// A numeric format with a comma and digit grouping in the global C++ locale, and a non-C C
// locale when one can be made, must not reach the file.
TEST(PreModelWriter, NumbersIgnoreTheLocale) {
    struct CommaNumbers : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    TempDir dir;
    std::string expected = Rewrite(ReadText(tarvik_test::ExampleModelPath()), dir);
    std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    std::string text = Rewrite(ReadText(tarvik_test::ExampleModelPath()), dir);
    std::locale::global(saved);
    EXPECT_EQ(text, expected);
    // The writer leaves the C library's numbers in the classic format.
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(PreModelWriter, OpenFailureWarnsTwiceAndCreatesNothing) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    EXPECT_FALSE(tarvik_test::WriteAsTarvik(m, dir.file("missing/out.txt"), messages.output));
    std::string w = messages.warnings();
    EXPECT_EQ(w.rfind("tarvik: Warning! 文件保存失败!\n"
                      "tarvik: Warning! 有可能是当前存储介质无法写入,建议更换保存路径.\n",
                      0),
              0u)
        << w;
    EXPECT_EQ(dir.listing(), "");
}

TEST(PreModelWriter, OutputThatCannotBeReplacedStaysAndNoTemporaryFileRemains) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("out"));
    WriteText(dir.file("out/keep.txt"), "kept");
    CapturedMessages messages;
    PreModel m;
    EXPECT_FALSE(tarvik_test::WriteAsTarvik(m, dir.file("out"), messages.output));
    EXPECT_NE(messages.warnings().find("文件保存失败!"), std::string::npos);
    EXPECT_EQ(dir.listing(), "out\n");
    EXPECT_EQ(ReadText(dir.file("out/keep.txt")), "kept");
}

// What the writer writes for `m`, through an ordinary new file.
std::string TextOf(const PreModel& m, const TempDir& dir) {
    CapturedMessages messages;
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("reference.txt"), messages.output));
    std::string text = ReadOutput(dir.file("reference.txt"));
    std::filesystem::remove(dir.file("reference.txt"));
    return text;
}

// Modes, owners, symbolic links, FIFOs, devices and /proc are POSIX matters; the Windows
// counterparts follow after them.
#if !defined(_WIN32)
TEST(PreModelWriter, ModeOfNewAndReplacedFiles) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    mode_t savedMask = umask(022);
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("new.txt"), messages.output));
    umask(077);
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("private.txt"), messages.output));
    WriteText(dir.file("old.txt"), "old");
    chmod(dir.file("old.txt").c_str(), 0640);
    umask(022);
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("old.txt"), messages.output));
    umask(savedMask);

    auto mode = [&](const char* name) {
        struct stat st {};
        EXPECT_EQ(stat(dir.file(name).c_str(), &st), 0);
        return st.st_mode & 07777;
    };
    EXPECT_EQ(mode("new.txt"), 0644u);
    EXPECT_EQ(mode("private.txt"), 0600u);
    EXPECT_EQ(mode("old.txt"), 0640u);
    EXPECT_EQ(ReadText(dir.file("old.txt")).rfind("### Halvo R2.00 ###\n", 0), 0u);
}

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_ino;
}

// Links are followed to the file they finally name, which is replaced or created there; the
// links stay links.
TEST(PreModelWriter, SymbolicLinksAreFollowedToTheEnd) {
    namespace fs = std::filesystem;
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    const std::string text = TextOf(m, dir);
    fs::create_directory(dir.file("sub"));
    WriteText(dir.file("sub/target.txt"), "old");
    // A chain: relative, then absolute.
    fs::create_symlink(dir.file("sub/target.txt"), dir.file("sub/abs-link"));
    fs::create_symlink("sub/abs-link", dir.file("link.txt"));
    // Dangling links: the file is created where they point.
    fs::create_symlink("new.txt", dir.file("sub/rel-dangling"));
    fs::create_symlink("sub/rel-dangling", dir.file("dangling.txt"));
    fs::create_symlink(dir.file("sub/new-abs.txt"), dir.file("abs-dangling.txt"));
    for (const char* name : {"link.txt", "dangling.txt", "abs-dangling.txt"})
        EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file(name), messages.output)) << name;
    EXPECT_EQ(messages.warnings(), "");
    EXPECT_EQ(ReadText(dir.file("sub/target.txt")), text);
    EXPECT_EQ(ReadText(dir.file("sub/new.txt")), text);
    EXPECT_EQ(ReadText(dir.file("sub/new-abs.txt")), text);
    for (const char* link :
         {"link.txt", "sub/abs-link", "dangling.txt", "sub/rel-dangling", "abs-dangling.txt"})
        EXPECT_TRUE(fs::is_symlink(dir.file(link))) << link;
    EXPECT_EQ(dir.listing(), "abs-dangling.txt\ndangling.txt\nlink.txt\nsub\n");

    // A loop of links cannot be written and is left as it was.
    fs::create_symlink("loop-b", dir.file("loop-a"));
    fs::create_symlink("loop-a", dir.file("loop-b"));
    EXPECT_FALSE(tarvik_test::WriteAsTarvik(m, dir.file("loop-a"), messages.output));
    EXPECT_NE(messages.warnings().find(std::strerror(ELOOP)), std::string::npos)
        << messages.warnings();
    EXPECT_TRUE(fs::is_symlink(dir.file("loop-a")));
}

// Outputs that a rename would break are written straight into: a FIFO (its reader gets the
// text), a file with a second hard link (both names show the new text), and an open file
// named through /proc, as /dev/stdout names standard output.
TEST(PreModelWriter, FifoHardLinkAndProcLinkAreWrittenStraightInto) {
    namespace fs = std::filesystem;
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    const std::string text = TextOf(m, dir);

    // The reader end is open before the writer starts, so opening the FIFO to write never
    // waits. It reads until the writer has closed it, or until the writer has returned
    // without ever writing to it (as when the FIFO was replaced by a file).
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    int readEnd = ::open(dir.file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(readEnd, 0);
    std::atomic<bool> writerReturned{false};
    std::string received;
    std::thread reader([&] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        char buf[4096];
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{readEnd, POLLIN, 0};
            int ready = poll(&p, 1, 50);
            if (ready == 0) {
                if (writerReturned) break;  // a writer that wrote would have shown by now
                continue;
            }
            ssize_t n = ::read(readEnd, buf, sizeof buf);
            if (n > 0) received.append(buf, static_cast<std::size_t>(n));
            if (n == 0 || ((p.revents & POLLHUP) && !(p.revents & POLLIN))) break;
        }
    });
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("fifo"), messages.output));
    writerReturned = true;
    reader.join();
    ::close(readEnd);
    EXPECT_EQ(received, text);
    EXPECT_TRUE(fs::is_fifo(dir.file("fifo")));

    WriteText(dir.file("a.txt"), "old");
    fs::create_hard_link(dir.file("a.txt"), dir.file("b.txt"));
    ino_t inode = InodeOf(dir.file("a.txt"));
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("a.txt"), messages.output));
    EXPECT_EQ(InodeOf(dir.file("a.txt")), inode);
    EXPECT_EQ(fs::hard_link_count(dir.file("a.txt")), 2u);
    EXPECT_EQ(ReadText(dir.file("b.txt")), text);

    // An open file named by /proc/self/fd/N: the file itself is written, not replaced.
    WriteText(dir.file("log.txt"), "old text, longer than nothing");
    inode = InodeOf(dir.file("log.txt"));
    int fd = ::open(dir.file("log.txt").c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(
        tarvik_test::WriteAsTarvik(m, "/proc/self/fd/" + std::to_string(fd), messages.output));
    ::close(fd);
    EXPECT_EQ(InodeOf(dir.file("log.txt")), inode);
    EXPECT_EQ(ReadText(dir.file("log.txt")), text);

    EXPECT_EQ(messages.warnings(), "");
    EXPECT_EQ(dir.listing(), "a.txt\nb.txt\nfifo\nlog.txt\n");  // no temporary file left
}

// A device node of our own (the null device's numbers), not the system's.
TEST(PreModelWriter, DeviceIsWrittenIntoNotReplaced) {
    TempDir dir;
    if (mknod(dir.file("null").c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here: " << std::strerror(errno);
    CapturedMessages messages;
    PreModel m;
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("null"), messages.output))
        << messages.warnings();
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("null").c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(st.st_rdev, makedev(1, 3));
    EXPECT_EQ(dir.listing(), "null\n");
}
#else  // _WIN32

std::wstring Wide(const std::string& utf8) {
    return tarvik_test::PathOf(utf8).wstring();
}

// An existing file is replaced (MoveFileExW), its text in text mode, and nothing else stays.
TEST(PreModelWriter, ReplacesAnExistingFileWithCrLfLineEnds) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    const std::string text = TextOf(m, dir);
    WriteText(dir.file("out.txt"), "old text\n");
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("out.txt"), messages.output));
    std::string raw = ReadText(dir.file("out.txt"));
    EXPECT_EQ(raw.rfind("### Halvo R2.00 ###\r\nNumber of materials:NMT=0\r\n", 0), 0u) << raw;
    EXPECT_EQ(ReadOutput(dir.file("out.txt")), text);
    EXPECT_EQ(messages.warnings(), "");
    EXPECT_EQ(dir.listing(), "out.txt\n");
}

// The read-only attribute protects a file from Windows' own writes; tarvik keeps to it.
TEST(PreModelWriter, ReadOnlyFileIsRefusedAndKept) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    WriteText(dir.file("locked.txt"), "keep me");
    ASSERT_TRUE(SetFileAttributesW(Wide(dir.file("locked.txt")).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(tarvik_test::WriteAsTarvik(m, dir.file("locked.txt"), messages.output));
    EXPECT_NE(messages.warnings().find("文件保存失败!"), std::string::npos);
    EXPECT_NE(messages.warnings().find(": " + std::string(std::strerror(EACCES)) + "\n"),
              std::string::npos)
        << messages.warnings();
    EXPECT_EQ(ReadText(dir.file("locked.txt")), "keep me");
    EXPECT_EQ(dir.listing(), "locked.txt\n");
    SetFileAttributesW(Wide(dir.file("locked.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A file another program holds open without letting it be replaced: the rename fails, the
// file keeps its text and the temporary file goes.
TEST(PreModelWriter, FileHeldOpenByAnotherProgramStays) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    WriteText(dir.file("held.txt"), "held");
    HANDLE h = CreateFileW(Wide(dir.file("held.txt")).c_str(), GENERIC_READ, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(tarvik_test::WriteAsTarvik(m, dir.file("held.txt"), messages.output));
    CloseHandle(h);
    EXPECT_NE(messages.warnings().find("文件保存失败!"), std::string::npos);
    EXPECT_EQ(ReadText(dir.file("held.txt")), "held");
    EXPECT_EQ(dir.listing(), "held.txt\n");
}

// NUL in any folder is the null device: written straight into, never replaced, so that no
// temporary file appears beside it. A file with a second hard link is written into as well,
// so that both names show the new text.
TEST(PreModelWriter, NullDeviceAndHardLinkAreWrittenStraightInto) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    const std::string text = TextOf(m, dir);
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("NUL"), messages.output));
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, "nul", messages.output));
    EXPECT_EQ(dir.listing(), "");

    WriteText(dir.file("a.txt"), "old");
    ASSERT_TRUE(
        CreateHardLinkW(Wide(dir.file("b.txt")).c_str(), Wide(dir.file("a.txt")).c_str(), nullptr));
    EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file("a.txt"), messages.output));
    EXPECT_EQ(ReadOutput(dir.file("b.txt")), text);
    EXPECT_EQ(messages.warnings(), "");
    EXPECT_EQ(dir.listing(), "a.txt\nb.txt\n");
}

// Names outside any ANSI code page are read and written by their wide paths.
TEST(PreModelWriter, NamesOutsideTheCodePage) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    const std::string text = TextOf(m, dir);
    for (const char* name : {"模型.txt", "modèle.txt", "Ωμέγα ✓.txt"}) {
        EXPECT_TRUE(tarvik_test::WriteAsTarvik(m, dir.file(name), messages.output)) << name;
        EXPECT_EQ(ReadOutput(dir.file(name)), text) << name;
        PreModel back;
        EXPECT_TRUE(tarvik_test::ReadAsTarvik(back, dir.file(name), messages.output)) << name;
    }
    EXPECT_EQ(messages.warnings(), "");
    EXPECT_EQ(dir.listing(), "modèle.txt\nΩμέγα ✓.txt\n模型.txt\n");
}

#endif  // _WIN32

}  // namespace
