// The tarvik program run on files: exit status, standard output and error, the files left.
#include <gtest/gtest.h>
#if defined(_WIN32)
#include "common/windows_api.h"
#else
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#if !defined(_WIN32)
#include "tests/support/run_process.h"
#endif
#include "tests/support/skip.h"
#include "tests/tool/tool_test_support.h"

namespace {

using tarvik_test::ModelText;
using tarvik_test::ReadOutput;
using tarvik_test::ReadText;
using tarvik_test::TempDir;
using tarvik_test::WriteText;

struct RunResult {
    int status = -1;
    std::string out, err;  // line ends as LF (see FromTextMode)
};

#if defined(_WIN32)

struct RunOptions {};

// One argument as the C runtime splits a command line: quoted, with the backslashes before a
// quote (and before the closing quote) doubled.
std::wstring QuoteArgument(const std::wstring& arg) {
    std::wstring q = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        q.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        q += c;
    }
    q.append(2 * backslashes, L'\\');
    return q + L"\"";
}

// Runs tarvik with `args` in the folder `dir`, standard input from NUL (not a console: no box
// and no wait), standard output and error to files. A run that does not end within a minute
// (a box or a wait nobody answers) is ended and fails the test.
RunResult RunTarvik(const TempDir& dir, const std::vector<std::string>& args,
                    const RunOptions& = {}) {
    std::string outPath = dir.file(".stdout"), errPath = dir.file(".stderr");
    std::wstring exe = std::filesystem::absolute(tarvik_test::PathOf(TARVIK_EXE)).wstring();
    std::wstring command = QuoteArgument(exe);
    for (const std::string& a : args)
        command += L" " + QuoteArgument(tarvik_test::PathOf(a).wstring());
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    auto open = [&](const wchar_t* path, DWORD access, DWORD creation) {
        return CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE in = open(L"NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = open(tarvik_test::PathOf(outPath).c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = open(tarvik_test::PathOf(errPath).c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    RunResult r;
    std::wstring folder = dir.path().wstring();
    // Wine now and then refuses a start with an internal error while another program of its
    // prefix ends; such a start never took place and is tried again.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                                 nullptr, folder.c_str(), &startup, &process);
        if (!started && GetLastError() != ERROR_INTERNAL_ERROR) break;
    }
    if (started) {
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 255);
            WaitForSingleObject(process.hProcess, INFINITE);
            ADD_FAILURE() << "tarvik did not end: waiting for a box or a key?";
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        r.status = static_cast<int>(code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        ADD_FAILURE() << "cannot start " << TARVIK_EXE << ": error " << GetLastError();
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    r.out = tarvik_test::FromTextMode(ReadText(outPath));
    r.err = tarvik_test::FromTextMode(ReadText(errPath));
    std::filesystem::remove(tarvik_test::PathOf(outPath));
    std::filesystem::remove(tarvik_test::PathOf(errPath));
    return r;
}

#else

struct RunOptions {
    std::vector<std::string> env;  // extra NAME=VALUE entries
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

// Runs tarvik with `args`, standard input from /dev/null.
RunResult RunTarvik(const TempDir& dir, const std::vector<std::string>& args,
                    const RunOptions& options = {}) {
    std::string outPath = dir.file(".stdout"), errPath = dir.file(".stderr");
    pid_t pid = fork();
    if (pid == 0) {
        int in = open("/dev/null", O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        for (const std::string& e : options.env) putenv(const_cast<char*>(e.c_str()));
        if (options.fileSizeLimit != RLIM_INFINITY) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit lim{options.fileSizeLimit, options.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &lim);
        }
        std::vector<char*> argv{const_cast<char*>(TARVIK_EXE)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(TARVIK_EXE, argv.data());
        _exit(127);
    }
    RunResult r;
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadText(outPath);
    r.err = ReadText(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return r;
}

#endif

TEST(TarvikProgram, ZeroOffsetRewritesTheExampleUnchanged) {
    TempDir dir;
    RunResult r =
        RunTarvik(dir, {tarvik_test::ExampleModelPath(), dir.file("out.txt"), "0", "0", "0"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadOutput(dir.file("out.txt")), ReadText(tarvik_test::ExampleModelPath()));
}

TEST(TarvikProgram, OffsetsPointsAndRewritesLabels) {
    TempDir dir;
    WriteText(dir.file("in.txt"),
              ModelText({{"NGPT", "1\r\n5:1,1,1\r\n"},
                         {"NPOIN", "4\r\n0:0,0,0\r\n0:0,0,0\r\n0:0,0,0\r\n7:1,2,3\r\n"}}));
    RunResult r = RunTarvik(dir, {dir.file("in.txt"), dir.file("out.txt"), "1.5", "abc", "1e3"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string out = ReadOutput(dir.file("out.txt"));
    EXPECT_NE(out.find("NGPT=1\n0:2.50000,1.00000,1001.00000\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\n3:2.50000,2.00000,1003.00000\nNumber of four"), std::string::npos) << out;
    EXPECT_EQ(out.find('\r'), std::string::npos);

    // Extra arguments are ignored; "2.5mm" is 2.5.
    r = RunTarvik(dir, {dir.file("out.txt"), dir.file("out2.txt"), "2.5mm", "0", "-1e3", "extra"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadOutput(dir.file("out2.txt")).find("\n3:5.00000,2.00000,3.00000\n"),
              std::string::npos);
}

TEST(TarvikProgram, InPlace) {
    TempDir dir;
    WriteText(dir.file("m.txt"), ReadText(tarvik_test::ExampleModelPath()));
    RunResult r = RunTarvik(dir, {dir.file("m.txt"), dir.file("m.txt"), "0", "0", "-1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadOutput(dir.file("m.txt")).find("NPOIN=6\n0:0.00000,0.00000,-1.00000\n"),
              std::string::npos);
    EXPECT_EQ(dir.listing(), "m.txt\n");
}

TEST(TarvikProgram, UsageHelpAndVersion) {
    TempDir dir;
    RunResult r = RunTarvik(dir, {"a", "b", "0", "0"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("usage: tarvik INPUT OUTPUT DX DY DZ\n", 0), 0u) << r.err;
    EXPECT_EQ(RunTarvik(dir, {}).status, 2);

    r = RunTarvik(dir, {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: tarvik INPUT OUTPUT DX DY DZ\n", 0), 0u);
    EXPECT_EQ(r.err, "");

    r = RunTarvik(dir, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("tarvik ") + TARVIK_VERSION + "\n");
}

// Every failure: status 1, its message, and the existing output byte for byte as it was.
TEST(TarvikProgram, FailuresLeaveTheOutputUntouched) {
    TempDir dir;
    const std::string old = "previous output\r\n";
    struct Case {
        std::string input;  // empty: no input file
        std::string out, err;
    };
    const Case cases[] = {
        {"", "", "tarvik: Warning! 单元信息文件读取错误!\n"},
        {ModelText({}, "### Halvo R2.01 ###\n"), "", "tarvik: Warning! 前处理文本文件版本错误!\n"},
        {ModelText({{"NGPT", "1\n0:1 ,2,3\n"}}), "",
         "tarvik: Warning! " + dir.file("in.txt") + " line 8: expected \",\" in NGPT record 0\n"},
        {ModelText({{"NPG", "1\n0[0]:[0,0]\n"}}), "错误:PGPtNum<=0\n", ""},
        {ModelText({{"NGPT", "1\n0:0,0,0\n"}, {"NPG", "1\n0[1]:1[0,0]\n"}}), "",
         "tarvik: Warning! " + dir.file("in.txt") +
             " line 10: expected a geometric point number from 0 to 0, found 1 in NPG "
             "record 0\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir.file("in.txt"));
        if (!c.input.empty()) WriteText(dir.file("in.txt"), c.input);
        WriteText(dir.file("out.txt"), old);
        RunResult r = RunTarvik(dir, {dir.file("in.txt"), dir.file("out.txt"), "1", "1", "1"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(ReadText(dir.file("out.txt")), old);
    }
}

// An existing output is replaced whole, and a missing input or a missing folder leave
// nothing behind.
TEST(TarvikProgram, ExistingOutputMissingInputAndMissingFolder) {
    TempDir dir;
    const std::string example = tarvik_test::ExampleModelPath();
    WriteText(dir.file("out.txt"), std::string(100000, 'x'));  // longer than the model
    RunResult r = RunTarvik(dir, {example, dir.file("out.txt"), "0", "0", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadOutput(dir.file("out.txt")), ReadText(example));

    r = RunTarvik(dir, {dir.file("missing.txt"), dir.file("out2.txt"), "0", "0", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tarvik: Warning! 单元信息文件读取错误!\n");

    const std::string noFolder = dir.file("no such folder/out.txt");
    r = RunTarvik(dir, {example, noFolder, "0", "0", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "tarvik: Warning! 文件保存失败!\n"
              "tarvik: Warning! 有可能是当前存储介质无法写入,建议更换保存路径.\n"
              "tarvik: " +
                  noFolder + ": " + std::strerror(ENOENT) + "\n");
    EXPECT_EQ(dir.listing(), "out.txt\n");
}

// Names in any script, with blanks and quotes where the system allows them, reach the files
// as given, in place too; messages name them in UTF-8.
TEST(TarvikProgram, NamesInAnyScript) {
    TempDir dir;
    const std::string model = ReadText(tarvik_test::ExampleModelPath());
    WriteText(dir.file("模型.txt"), model);
    RunResult r = RunTarvik(dir, {dir.file("模型.txt"), dir.file("modèle_out.txt"), "0", "0", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadOutput(dir.file("modèle_out.txt")), model);

    r = RunTarvik(dir, {dir.file("模型.txt"), dir.file("模型.txt"), "1", "0", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadOutput(dir.file("模型.txt")).find("\n0:1.00000,0.00000,0.00000\n"),
              std::string::npos);

#if defined(_WIN32)
    const std::string spaced = dir.file("two  blanks Ω ✓.txt");  // no quotes in Windows names
#else
    const std::string spaced = dir.file("a \"quoted\" name\\ Ω.txt");
#endif
    r = RunTarvik(dir, {dir.file("modèle_out.txt"), spaced, "0", "0", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadOutput(spaced), model);

    r = RunTarvik(dir, {dir.file("缺失.txt"), dir.file("x.txt"), "0", "0", "0"});
    EXPECT_EQ(r.status, 1);
    r = RunTarvik(dir, {dir.file("modèle_out.txt"), dir.file("缺失/x.txt"), "0", "0", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("tarvik: " + dir.file("缺失/x.txt") + ": "), std::string::npos) << r.err;
}

#if defined(_WIN32)

// NUL is written straight into, from whatever folder: no temporary file appears in the
// folder tarvik runs in.
TEST(TarvikProgram, NullDeviceAsTheOutput) {
    TempDir dir;
    for (const char* nul : {"NUL", "nul", "\\\\.\\NUL"}) {
        RunResult r = RunTarvik(dir, {tarvik_test::ExampleModelPath(), nul, "0", "0", "0"});
        EXPECT_EQ(r.status, 0) << nul << ": " << r.err;
        EXPECT_EQ(r.err, "") << nul;
    }
    EXPECT_EQ(dir.listing(), "");
}

#else

TEST(TarvikProgram, FailedWriteKeepsOutputAndInputInPlace) {
    TempDir dir;
    const std::string model = ReadText(tarvik_test::ExampleModelPath());
    WriteText(dir.file("in.txt"), model);
    WriteText(dir.file("out.txt"), "old");
    RunOptions small;
    small.fileSizeLimit = 200;  // the output is larger: the write fails half way
    RunResult r = RunTarvik(dir, {dir.file("in.txt"), dir.file("out.txt"), "1", "1", "1"}, small);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("tarvik: Warning! 文件保存失败!\n"), std::string::npos) << r.err;
    EXPECT_EQ(ReadText(dir.file("out.txt")), "old");

    r = RunTarvik(dir, {dir.file("in.txt"), dir.file("in.txt"), "1", "1", "1"}, small);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadText(dir.file("in.txt")), model);
    EXPECT_EQ(dir.listing(), "in.txt\nout.txt\n");
}

// Standard output as the output: `tarvik IN /dev/stdout 0 0 0 | wc -c` counts the whole
// model. /dev/stdout is a link to /proc/self/fd/1. A copy of that link in the test's folder
// is tried first, and the system's /dev/stdout only once the copy was written through and
// is still a link: a build that replaces such a link replaces only the copy.
TEST(TarvikProgram, StandardOutputAsTheOutput) {
    TempDir dir;
    const std::string model = ReadText(tarvik_test::ExampleModelPath());
    std::filesystem::create_symlink("/proc/self/fd/1", dir.file("stdout"));
    auto countThroughPipe = [&](const std::string& out) {
        std::string cmd = testsupport::shellQuote(TARVIK_EXE) + " " +
                          testsupport::shellQuote(tarvik_test::ExampleModelPath()) + " " +
                          testsupport::shellQuote(out) + " 0 0 0 </dev/null 2>" +
                          testsupport::shellQuote(dir.file("err.txt")) + " | wc -c";
        std::string counted;
        std::FILE* p = popen(cmd.c_str(), "r");
        char buf[64];
        for (std::size_t n; p && (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            counted.append(buf, n);
        if (p) pclose(p);
        EXPECT_EQ(ReadText(dir.file("err.txt")), "") << out;
        return counted;
    };
    ASSERT_EQ(countThroughPipe(dir.file("stdout")), std::to_string(model.size()) + "\n");
    ASSERT_TRUE(std::filesystem::is_symlink(dir.file("stdout")));
    EXPECT_EQ(countThroughPipe("/dev/stdout"), std::to_string(model.size()) + "\n");

    // Standard output redirected to a file: the file gets the model.
    RunResult r = RunTarvik(dir, {tarvik_test::ExampleModelPath(), "/dev/stdout", "0", "0", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, model);
}

// A German locale made for the test (decimal comma, full stop grouping) must not change the
// numbers; a locale that does not exist must not break the run.
TEST(TarvikProgram, UserLocaleDoesNotChangeNumbers) {
    TempDir dir;
    std::string expectedPath = tarvik_test::ExampleModelPath();
    std::string localeDir = dir.file("locales");
    std::filesystem::create_directory(localeDir);
    std::string make =
        "localedef -i de_DE -f UTF-8 '" + localeDir + "/de_DE.UTF-8' >/dev/null 2>&1";
    bool haveGerman = std::system(make.c_str()) == 0;

    RunOptions bogus;
    bogus.env = {"LC_ALL=xx_NOWHERE.UTF-8"};
    RunResult r = RunTarvik(dir, {expectedPath, dir.file("bogus.txt"), "0", "0", "0"}, bogus);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadText(dir.file("bogus.txt")), ReadText(expectedPath));

    if (!haveGerman) {
        SKIP_OR_FAIL_IN_CI() << "localedef could not make de_DE.UTF-8";
    }
    RunOptions german;
    german.env = {"LOCPATH=" + localeDir, "LC_ALL=de_DE.UTF-8"};
    r = RunTarvik(dir, {expectedPath, dir.file("de.txt"), "1000.5", "0", "0"}, german);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string out = ReadText(dir.file("de.txt"));
    EXPECT_NE(out.find("\n0:1000.50000,0.00000,0.00000\n"), std::string::npos) << out;
    EXPECT_NE(out.find("E=2.1e+11\n"), std::string::npos);
}

// What a process is doing, from /proc/PID/syscall: "SYSCALL ARG1 ARG2 …" while it is blocked in
// a system call, "running" otherwise; empty once it has gone.
std::vector<std::string> SystemCallOf(pid_t pid) {
    std::istringstream in(ReadText("/proc/" + std::to_string(pid) + "/syscall"));
    std::vector<std::string> fields;
    for (std::string f; in >> f;) fields.push_back(f);
    return fields;
}

// After the polygon error the program waits for a key when its input is a terminal: it is
// found blocked reading one byte from the terminal, which is then in a mode where one key
// without Enter is read and not echoed; that key ends it, and the terminal's mode is restored.
TEST(TarvikProgram, PolygonErrorWaitsForAKeyOnATerminal) {
    using Clock = std::chrono::steady_clock;
    TempDir dir;
    WriteText(dir.file("in.txt"), ModelText({{"NPG", "1\n0[0]:[0,0]\n"}}));
    std::string in = dir.file("in.txt"), out = dir.file("out.txt");
    // The terminal starts in a fresh terminal's mode, taken here before the program can
    // change it: line by line, with echo.
    termios before{};
    {
        int m = -1, t = -1;
        ASSERT_EQ(openpty(&m, &t, nullptr, nullptr, nullptr), 0);
        ASSERT_EQ(tcgetattr(t, &before), 0);
        close(m);
        close(t);
    }
    ASSERT_TRUE((before.c_lflag & ICANON) && (before.c_lflag & ECHO));
    int master = -1;
    pid_t pid = forkpty(&master, nullptr, &before, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(TARVIK_EXE, TARVIK_EXE, in.c_str(), out.c_str(), "0", "0", "0",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // The terminal as the program sees it, held open here to read its mode.
    int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    auto reap = [&](bool wait) {
        int status = 0;
        pid_t done = waitpid(pid, &status, wait ? 0 : WNOHANG);
        return done == pid ? status : -1;
    };
    auto stop = [&]() {
        kill(pid, SIGKILL);
        reap(true);
        close(terminal);
        close(master);
    };

    // The message and the prompt.
    std::string seen;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (seen.find("continue . . .") == std::string::npos && Clock::now() < deadline) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buf[256];
        ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) break;
        seen.append(buf, static_cast<std::size_t>(n));
    }
    EXPECT_NE(seen.find("错误:PGPtNum<=0"), std::string::npos) << seen;
    if (seen.find("Press any key to continue . . .") == std::string::npos) {
        stop();
        FAIL() << "no prompt: " << seen;
    }

    // Then it waits: blocked in read(0, …, 1) on the terminal, until a key comes.
    const std::vector<std::string> waiting = {std::to_string(SYS_read), "0x0"};
    std::vector<std::string> call;
    int status = -1;
    while (Clock::now() < deadline) {
        if ((status = reap(false)) != -1) break;
        call = SystemCallOf(pid);
        if (call.size() > 3 && std::vector<std::string>(call.begin(), call.begin() + 2) == waiting)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (status != -1) FAIL() << "the program ended without waiting for a key";
    if (call.size() <= 3 || call[3] != "0x1") {
        stop();
        FAIL() << "not waiting for one key; /proc says: "
               << (call.empty() ? std::string("nothing") : call[0]);
    }
    termios during{};
    ASSERT_EQ(tcgetattr(terminal, &during), 0);
    EXPECT_FALSE(during.c_lflag & ICANON) << "a key would need Enter";
    EXPECT_FALSE(during.c_lflag & ECHO) << "the key would be echoed";
    EXPECT_EQ(reap(false), -1);  // still there, after all of the above

    // One key, no Enter, ends it with status 1 and no output file.
    ASSERT_EQ(write(master, "x", 1), 1);
    while ((status = reap(false)) == -1 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (status == -1) {
        stop();
        FAIL() << "the key did not end the wait";
    }
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    // What it wrote after the prompt: the line end, and no echo of the key.
    std::string after;
    for (pollfd p{master, POLLIN, 0}; poll(&p, 1, 0) > 0 && (p.revents & POLLIN);) {
        char buf[256];
        ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) break;
        after.append(buf, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(after.find('x'), std::string::npos) << after;
    termios restored{};
    ASSERT_EQ(tcgetattr(terminal, &restored), 0);
    EXPECT_EQ(restored.c_lflag, before.c_lflag) << "the terminal's mode was not restored";
    close(terminal);
    close(master);
}

#endif

}  // namespace
