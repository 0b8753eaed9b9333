#pragma once
// Runs a program for end-to-end tests and collects its exit code and output.
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/temp_file.h"

namespace testsupport {

struct ProcessResult {
    int exitCode = -1;
    std::string out, err;
};

inline std::string shellQuote(const std::string& s) {
    std::string q(1, '\'');
    for (char c : s) {
        if (c == '\'')
            q.append("'\\''");
        else
            q.push_back(c);
    }
    q.push_back('\'');
    return q;
}

// Runs `program` with `args` (standard input from /dev/null, no display unless `env` sets one).
inline ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::string& env = "DISPLAY=") {
    auto errPath = (testDir() / "stderr.txt").string();
    std::string cmd = "env ";
    cmd.append(env).append(" ").append(shellQuote(program));
    for (const auto& a : args) cmd.append(" ").append(shellQuote(a));
    cmd.append(" </dev/null 2>").append(shellQuote(errPath));
    ProcessResult r;
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int status = pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = readFile(errPath);
    return r;
}

}  // namespace testsupport
