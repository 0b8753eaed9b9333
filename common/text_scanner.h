#pragma once
// Sequential reader of text files with the matching rules of the C scan functions:
// a number conversion skips leading white space and takes an optional sign, a white-space
// directive skips any run of white space (also none), every other character of a pattern
// must equal the next input character. The file is read in large blocks; no item costs a
// library call of its own, and the whole file is never held in memory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class TextScanner {
public:
    explicit TextScanner(std::size_t blockSize = std::size_t{4} << 20);
    ~TextScanner();
    TextScanner(const TextScanner&) = delete;
    TextScanner& operator=(const TextScanner&) = delete;

    // Opens the file for reading; false when it cannot be opened.
    bool open(const std::string& path);
    void close();

    // White-space directive: skips any run of white space, line ends included.
    void skipSpace();
    // Literal characters: must match the next input exactly, nothing is skipped before them.
    // On a mismatch nothing is consumed.
    bool match(char c);
    bool match(std::string_view text);
    // %d: skips white space, then an optional sign and decimal digits. False when no number
    // starts there or it does not fit in 32 bits.
    bool readInt(std::int32_t& value);
    // %lf: skips white space, then a real as strtod reads it (sign, decimals, exponent,
    // inf, nan, hexadecimal). False when no number starts there.
    bool readDouble(double& value);
    // Reads characters up to and including the next line feed; false at end of file.
    bool skipLine();
    // True when no character is left. Consumes nothing.
    bool atEnd();
    // The character that comes next, or -1 at end of file. Consumes nothing.
    int peek();

    // 1-based number of the line that holds the next unread character.
    long line() const { return line_; }
    // True when reading the file failed (as opposed to reaching its end).
    bool readError() const { return readError_; }
    // Bytes consumed so far.
    std::uint64_t offset() const { return consumedBefore_ + pos_; }

private:
    // Makes at least `want` bytes available after pos_, unless the file ends first.
    void ensure(std::size_t want);
    void refill();
    bool readDoubleSlow(double& value, const char* start);

    std::FILE* file_ = nullptr;
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t consumedBefore_ = 0;
    bool eof_ = true;
    bool readError_ = false;
    long line_ = 1;
};

}  // namespace common
