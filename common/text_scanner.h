#pragma once
// Sequential reader of text files with the matching rules of the C scan functions:
// a number conversion skips leading white space and takes an optional sign, a white-space
// directive skips any run of white space (also none), every other character of a pattern
// must equal the next input character. The file is read in large blocks; no item costs a
// library call of its own, and a file larger than a block is never held in memory whole.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// Reads a real at `first` as strtod reads it (optional sign, decimals with an optional point,
// optional exponent, inf, nan, hexadecimal), with [first, last) as the whole input and no
// white space skipped. Returns the end of the number, or nullptr when none starts there. The
// value is bit for bit the one strtod gives; the usual short decimals take a fast exact path.
const char* parseDouble(const char* first, const char* last, double& value);

class TextScanner {
  public:
    static constexpr std::size_t kLargestBlock = std::size_t{4} << 20;
    static constexpr std::uint64_t kUnknownSize = UINT64_MAX;

    // `largestBlock` bounds the block read at once; a file no larger than it is read whole.
    explicit TextScanner(std::size_t largestBlock = kLargestBlock);
    ~TextScanner();
    TextScanner(const TextScanner&) = delete;
    TextScanner& operator=(const TextScanner&) = delete;

    // The block a regular file of `fileSize` bytes is read in: the whole file and one byte
    // more, so that its end shows in the first read, but no more than `largestBlock` (and
    // never less than 16 bytes). A small file costs a small buffer; what is not a regular
    // file (a FIFO, a device) is read in blocks of `largestBlock`.
    static std::size_t blockSizeFor(std::uint64_t fileSize,
                                    std::size_t largestBlock = kLargestBlock);

    // Opens the file for reading; false when it cannot be opened. The path is UTF-8 on Windows.
    bool open(const std::string& path);
    void close();
    // The size of the open file when it is a regular file, else kUnknownSize.
    std::uint64_t fileSize() const { return fileSize_; }
    // The size of the block the file is read in (it grows only for an item longer than it).
    std::size_t blockSize() const { return buf_.size(); }

    // White-space directive: skips any run of white space, line ends included.
    void skipSpace();
    // Literal characters: must match the next input exactly, nothing is skipped before them.
    // On a mismatch nothing is consumed.
    bool match(char c);
    bool match(std::string_view text);
    // %d: skips white space, then an optional sign and decimal digits, any number of them
    // (also where they meet the end of a block). False, with nothing more consumed, when no
    // number starts there or it does not fit in 32 bits.
    bool readInt(std::int32_t& value);
    // %lf: skips white space, then a real as strtod reads it (sign, decimals, exponent,
    // inf, nan, hexadecimal), whatever its length and wherever the block ends. False when no
    // number starts there.
    bool readDouble(double& value);
    // `count` reals with `separator` between them, e.g. "%lf,%lf,%lf". The same as the chain
    // readDouble, match(separator), readDouble, ...: it stops at the first item that does not
    // match, having consumed what the chain would have, and is true when all were read. Reads
    // a whole row at once from the block while enough of it is left.
    bool readDoubles(double* values, int count, char separator = ',');
    // Reads characters up to and including the next line end (CR, LF or CR LF); false at end
    // of file.
    bool skipLine();
    // True when no character is left. Consumes nothing.
    bool atEnd();
    // The character that comes next, or -1 at end of file. Consumes nothing.
    int peek();

    // 1-based number of the line that holds the next unread character. CR, LF and CR LF each
    // end one line.
    long line() const { return line_; }
    // Where reading stands, for messages: "line N", or when nothing is left "at the end of the
    // file (after line N)", N being the file's last line (a final line end starts no line).
    std::string where();
    // The line that where() names; none for an empty file.
    std::optional<long> whereLine();
    // True when reading the file failed (as opposed to reaching its end).
    bool readError() const { return readError_; }
    // Bytes consumed so far.
    std::uint64_t offset() const { return consumedBefore_ + pos_; }

    // Where reading stands: the offset of the next unread byte, its line number and the byte
    // before it (which decides whether a LF there ends a line, and which line the end of the
    // file names).
    struct Position {
        std::uint64_t offset = 0;
        long line = 1;
        char last = 0;
    };
    Position position() const { return {offset(), line_, last_}; }
    // Goes on reading at `p`, which is a position of this file as position() gave it or as
    // worked out from its bytes (the line numbers then count from whatever `p` says). Only
    // for a regular file; false when the file cannot seek there.
    bool seek(const Position& p);
    // Copies up to `size` bytes of the file from `offset` into `out` and says how many it
    // copied (fewer at the end of the file or on an error). Reading on afterwards needs a
    // seek() first. Only for a regular file.
    std::size_t readAt(std::uint64_t offset, char* out, std::size_t size);
    // True when both scanners read the same regular file (not merely one of the same name).
    bool sameFile(const TextScanner& other) const;

  private:
    // Makes at least `want` bytes available after pos_, unless the file ends first.
    void ensure(std::size_t want);
    void refill();
    // Counts the line ends in [from, to), which is consumed next.
    void countLines(const char* from, const char* to);
    // readDoubles straight from the block; false, with nothing consumed, when the row is not
    // plain or comes too near the end of the block.
    bool readDoublesInBlock(double* values, int count, char separator);

    std::FILE* file_ = nullptr;
    std::size_t largestBlock_;
    std::uint64_t fileSize_ = kUnknownSize;
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t consumedBefore_ = 0;
    bool eof_ = true;
    bool readError_ = false;
    long line_ = 1;
    // The last character consumed (0 at the start and after a number): a LF right after a CR
    // ends no further line, and the end of the file names the line before a final line end.
    char last_ = 0;
};

}  // namespace common
