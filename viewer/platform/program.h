#pragma once
// What the program is given at its start, alike on every system: its arguments as UTF-8, and
// standard output and error that reach whoever started it.
#include <string>
#include <vector>

namespace quillon::platform {

class ProgramStart {
  public:
    // On Windows the arguments are taken from the UTF-16 command line (argv has them in the ANSI
    // code page, which cannot name every file), and standard output and error, where the
    // program was given none (a GUI program started from a console), go to the console of the
    // process that started it if it has one. Elsewhere argv is used as it is.
    ProgramStart(int argc, char** argv);
    ProgramStart(const ProgramStart&) = delete;
    ProgramStart& operator=(const ProgramStart&) = delete;

    int argc() const { return static_cast<int>(pointers_.size()) - 1; }
    // argc() arguments, the program's name first, then a null pointer.
    char** argv() { return pointers_.data(); }

  private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;
};

}  // namespace quillon::platform
