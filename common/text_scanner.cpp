#include "common/text_scanner.h"

#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include "common/windows_api.h"
#endif

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "common/utf16.h"

namespace common {
namespace {

// The white space of the C locale's isspace.
inline bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool isDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Numbers longer than this are unusual: a number is read once this much of the file is in the
// block, and read again with more of it only when it (or what could still belong to it)
// reaches the end of the block.
constexpr std::size_t kTokenLookahead = 128;

// The characters a real as strtod reads it can hold: signs, digits, the point, exponents,
// hexadecimal digits, "inf", "infinity", "nan" and "nan(chars)". A number never runs past
// the first other character, so when such a character follows within the block, nothing
// after the block can change how the number reads.
constexpr bool isNumberCharSlow(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
           c == '+' || c == '-' || c == '_' || c == '(' || c == ')';
}
struct NumberChars {
    bool table[256] = {};
    constexpr NumberChars() {
        for (int c = 0; c < 256; ++c) table[c] = isNumberCharSlow(static_cast<unsigned char>(c));
    }
};
constexpr NumberChars kNumberChars;

// True when the characters from `p` that could still belong to a number run up to `e`.
inline bool runReachesEnd(const char* p, const char* e) {
    while (p < e && kNumberChars.table[static_cast<unsigned char>(*p)]) ++p;
    return p == e;
}

// One line end for CR, LF and CR LF.
inline bool endsLine(char c, char previous) {
    return c == '\r' || (c == '\n' && previous != '\r');
}
inline bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Rows are read straight from the block while at least this much of it is left.
constexpr std::size_t kRowLookahead = 4096;

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;
constexpr std::uint64_t kMaxExactMantissa = std::uint64_t{1} << 53;

constexpr std::uint64_t kPowersOfTen[] = {1,      10,      100,      1000,     10000,
                                          100000, 1000000, 10000000, 100000000};

// The value of eight decimal digits, one a byte, the first in the lowest byte.
inline std::uint64_t eightDigitsValue(std::uint64_t digits) {
    digits = digits * 10 + (digits >> 8);  // pairs
    return (((digits & 0x000000FF000000FF) * (100 + (std::uint64_t{1000000} << 32))) +
            (((digits >> 16) & 0x000000FF000000FF) * (1 + (std::uint64_t{10000} << 32)))) >>
           32;
}

// Appends the run of digits at p to m (m × 10 + digit each; it wraps around past 19 digits,
// which the caller rules out by their count). Eight bytes at a time where they are there.
inline const char* appendDigits(const char* p, const char* e, std::uint64_t& m) {
    if constexpr (std::endian::native == std::endian::little) {
        while (e - p >= 8) {
            std::uint64_t x;
            std::memcpy(&x, p, 8);
            x ^= 0x3030303030303030;  // a digit byte becomes its value 0..9
            // A byte is no digit when its value or its value + 6 reaches past 15. Carries only
            // run towards later bytes, so the first non-digit byte is found correctly.
            std::uint64_t nonDigits = (x | (x + 0x0606060606060606)) & 0xF0F0F0F0F0F0F0F0;
            int n = nonDigits ? std::countr_zero(nonDigits) / 8 : 8;
            if (n == 0) return p;
            m = m * kPowersOfTen[n] + eightDigitsValue(x << (8 * (8 - n)));
            p += n;
            if (n < 8) return p;
        }
    }
    for (; p < e && isDigit(*p); ++p) m = m * 10 + static_cast<unsigned>(*p - '0');
    return p;
}

// The plain decimal reals: an optional sign, digits with an optional point, an optional
// exponent. When the digits make an integer m of at most 2^53 and the power of ten p is at
// most 22 in size, m and 10^p are exact doubles and one multiplication or division rounds
// m × 10^p correctly, as strtod does. Returns nullptr when the number is not of that kind
// (no digits, inf, nan, hexadecimal, more than 19 digits, a larger power); the general parse
// decides then.
inline const char* parseDecimalExactly(const char* p, const char* e, double& value) {
    bool negative = false;
    if (p < e && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    std::uint64_t m = 0;
    // The integer part is mostly short: a byte at a time, eight at a time past four.
    const char* digits = p;
    for (; p < e && isDigit(*p) && p - digits < 4; ++p)
        m = m * 10 + static_cast<unsigned>(*p - '0');
    if (p - digits == 4) p = appendDigits(p, e, m);
    std::ptrdiff_t digitCount = p - digits;
    int power = 0;
    if (p < e && *p == '.') {
        const char* fraction = ++p;
        p = appendDigits(p, e, m);
        power = -static_cast<int>(p - fraction);
        digitCount += p - fraction;
    }
    // Up to 19 digits, leading zeros included, make an m below 10^19 < 2^64.
    if (digitCount == 0 || digitCount > 19) return nullptr;
    if (p < e && (*p == 'e' || *p == 'E')) {
        // Without digits after it the exponent is not part of the number.
        const char* q = p + 1;
        bool negativeExponent = false;
        if (q < e && (*q == '-' || *q == '+')) {
            negativeExponent = *q == '-';
            ++q;
        }
        if (q < e && isDigit(*q)) {
            int exponent = 0;
            for (; q < e && isDigit(*q); ++q)
                if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
            power += negativeExponent ? -exponent : exponent;
            p = q;
        }
    }
    if (p < e && (*p == 'x' || *p == 'X')) return nullptr;  // "0x": hexadecimal
    if (m == 0) {
        value = negative ? -0.0 : 0.0;
        return p;
    }
    if (m > kMaxExactMantissa || power < -kMaxExactPower || power > kMaxExactPower) return nullptr;
    double v = static_cast<double>(m);
    v = power < 0 ? v / kExactPowersOfTen[-power] : v * kExactPowersOfTen[power];
    value = negative ? -v : v;
    return p;
}

// strtod on a copy of the token at `first` (it needs a terminated string).
const char* parseWithStrtod(const char* first, const char* last, double& value) {
    std::size_t n = 0;
    std::size_t avail = static_cast<std::size_t>(last - first);
    while (n < avail && !isSpace(first[n]) && first[n] != ',' && first[n] != ')' &&
           first[n] != '>' && first[n] != ']')
        ++n;
    std::string token(first, n);
    char* stop = nullptr;
    double v = std::strtod(token.c_str(), &stop);
    if (stop == token.c_str()) return nullptr;
    value = v;
    return first + (stop - token.c_str());
}

// Everything the exact path leaves: from_chars, and strtod for hexadecimal reals and values
// beyond the range of double, as the scan functions would read them.
const char* parseDoubleGeneral(const char* first, const char* last, double& value) {
    const char* p = first;
    if (p < last && *p == '+') {
        ++p;
        if (p < last && (*p == '-' || *p == '+')) return nullptr;
    }
    double v = 0;
    auto [ptr, ec] = std::from_chars(p, last, v);
    if (ec == std::errc::invalid_argument) return nullptr;
    if (ec == std::errc::result_out_of_range || (ptr < last && (*ptr == 'x' || *ptr == 'X')))
        return parseWithStrtod(first, last, value);
    value = v;
    return ptr;
}

inline const char* parseDoubleInline(const char* first, const char* last, double& value) {
    const char* end = parseDecimalExactly(first, last, value);
    return end ? end : parseDoubleGeneral(first, last, value);
}

}  // namespace

const char* parseDouble(const char* first, const char* last, double& value) {
    return parseDoubleInline(first, last, value);
}

namespace {
constexpr std::size_t kSmallestBlock = 16;
}  // namespace

TextScanner::TextScanner(std::size_t largestBlock)
    : largestBlock_(largestBlock < kSmallestBlock ? kSmallestBlock : largestBlock) {}

std::size_t TextScanner::blockSizeFor(std::uint64_t fileSize, std::size_t largestBlock) {
    if (largestBlock < kSmallestBlock) largestBlock = kSmallestBlock;
    if (fileSize >= largestBlock) return largestBlock;
    return std::max(static_cast<std::size_t>(fileSize) + 1, kSmallestBlock);
}

TextScanner::~TextScanner() {
    close();
}

bool TextScanner::open(const std::string& path) {
    close();
#if defined(_WIN32)
    file_ = _wfopen(WideFromUtf8(path).c_str(), L"rb");  // every name, not only the code page's
#else
    file_ = std::fopen(path.c_str(), "rb");
#endif
    if (!file_) return false;
    struct stat st {};
    bool regular = fstat(fileno(file_), &st) == 0 && S_ISREG(st.st_mode);
    fileSize_ = regular ? static_cast<std::uint64_t>(st.st_size) : kUnknownSize;
    // Sized anew for each file: allocating and clearing the largest block for a file of a
    // few hundred bytes would cost more than reading it.
    buf_.resize(blockSizeFor(fileSize_, largestBlock_));
    pos_ = end_ = 0;
    consumedBefore_ = 0;
    eof_ = false;
    readError_ = false;
    line_ = 1;
    last_ = 0;
    return true;
}

void TextScanner::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    fileSize_ = kUnknownSize;
    eof_ = true;
    pos_ = end_ = 0;
}

namespace {
bool seekTo(std::FILE* f, std::uint64_t offset) {
#if defined(_WIN32)
    return _fseeki64(f, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}
}  // namespace

bool TextScanner::seek(const Position& p) {
    if (!file_ || fileSize_ == kUnknownSize || p.offset > fileSize_ || !seekTo(file_, p.offset))
        return false;
    pos_ = end_ = 0;
    consumedBefore_ = p.offset;
    eof_ = false;
    readError_ = false;
    line_ = p.line;
    last_ = p.last;
    return true;
}

std::size_t TextScanner::readAt(std::uint64_t offset, char* out, std::size_t size) {
    if (!file_ || fileSize_ == kUnknownSize || !seekTo(file_, offset)) return 0;
    eof_ = true;  // the block no longer follows on from the file position: seek() first
    pos_ = end_ = 0;
    return std::fread(out, 1, size, file_);
}

bool TextScanner::sameFile(const TextScanner& other) const {
    if (!file_ || !other.file_) return false;
    struct stat a {
    }, b{};
    if (fstat(fileno(file_), &a) != 0 || fstat(fileno(other.file_), &b) != 0) return false;
    if (a.st_size != b.st_size || a.st_mtime != b.st_mtime || !S_ISREG(a.st_mode)) return false;
#ifdef _WIN32
    // Windows gives no inode numbers to stat: the volume and the file's index name the file.
    BY_HANDLE_FILE_INFORMATION x, y;
    auto handle = [](std::FILE* f) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f))); };
    if (!GetFileInformationByHandle(handle(file_), &x) ||
        !GetFileInformationByHandle(handle(other.file_), &y))
        return false;
    return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
#else
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
#endif
}

void TextScanner::refill() {
    if (eof_) return;
    // Keep the unread tail, grow the buffer when the tail fills most of it.
    std::size_t tail = end_ - pos_;
    if (pos_ > 0) {
        std::memmove(buf_.data(), buf_.data() + pos_, tail);
        consumedBefore_ += pos_;
        pos_ = 0;
        end_ = tail;
    }
    if (buf_.size() - end_ < buf_.size() / 4) buf_.resize(buf_.size() * 2);
    std::size_t want = buf_.size() - end_;
    std::size_t got = std::fread(buf_.data() + end_, 1, want, file_);
    end_ += got;
    // fread comes back short only at the end of the file or on an error: nothing more comes.
    if (got < want) {
        eof_ = true;
        if (std::ferror(file_)) readError_ = true;
    }
}

void TextScanner::ensure(std::size_t want) {
    while (end_ - pos_ < want && !eof_) refill();
}

void TextScanner::countLines(const char* from, const char* to) {
    char previous = last_;
    for (const char* p = from; p < to; ++p) {
        line_ += endsLine(*p, previous);
        previous = *p;
    }
    if (to > from) last_ = to[-1];
}

std::string TextScanner::where() {
    std::optional<long> line = whereLine();
    if (!line) return "at the end of the file (the file is empty)";
    if (!atEnd()) return "line " + std::to_string(*line);
    return "at the end of the file (after line " + std::to_string(*line) + ")";
}

std::optional<long> TextScanner::whereLine() {
    if (!atEnd()) return line_;
    if (offset() == 0) return std::nullopt;
    return line_ - isLineEnd(last_);
}

void TextScanner::skipSpace() {
    for (;;) {
        const char* p = buf_.data() + pos_;
        const char* e = buf_.data() + end_;
        char previous = last_;
        while (p < e && isSpace(*p)) {
            line_ += endsLine(*p, previous);
            previous = *p++;
        }
        last_ = previous;
        pos_ = static_cast<std::size_t>(p - buf_.data());
        if (p < e || eof_) return;
        refill();
    }
}

bool TextScanner::match(char c) {
    ensure(1);
    if (pos_ < end_ && buf_[pos_] == c) {
        countLines(buf_.data() + pos_, buf_.data() + pos_ + 1);
        ++pos_;
        return true;
    }
    return false;
}

bool TextScanner::match(std::string_view text) {
    ensure(text.size());
    if (end_ - pos_ < text.size() || std::memcmp(buf_.data() + pos_, text.data(), text.size()) != 0)
        return false;
    countLines(buf_.data() + pos_, buf_.data() + pos_ + text.size());
    pos_ += text.size();
    return true;
}

int TextScanner::peek() {
    ensure(1);
    return pos_ < end_ ? static_cast<unsigned char>(buf_[pos_]) : -1;
}

bool TextScanner::atEnd() {
    return peek() < 0;
}

bool TextScanner::skipLine() {
    for (;;) {
        const char* p = buf_.data() + pos_;
        const char* e = buf_.data() + end_;
        const char* stop = p;
        while (stop < e && !isLineEnd(*stop)) ++stop;
        if (stop < e) {
            bool cr = *stop == '\r';
            countLines(p, stop + 1);
            pos_ = static_cast<std::size_t>(stop + 1 - buf_.data());
            if (cr) match('\n');  // CR LF is one line end, also when a block ends between them
            return true;
        }
        countLines(p, e);
        pos_ = end_;
        if (eof_) return false;
        refill();
    }
}

bool TextScanner::readInt(std::int32_t& value) {
    skipSpace();
    for (;;) {
        ensure(kTokenLookahead);
        const char* p = buf_.data() + pos_;
        const char* e = buf_.data() + end_;
        bool negative = false;
        if (p < e && (*p == '-' || *p == '+')) {
            negative = *p == '-';
            ++p;
        }
        // Leading zeros add nothing however many there are; past ten significant digits the
        // number does not fit, so only the first eleven are added up.
        const char* digits = p;
        while (p < e && *p == '0') ++p;
        const char* significant = p;
        std::uint64_t v = 0;
        for (; p < e && isDigit(*p); ++p)
            if (p - significant < 11) v = v * 10 + static_cast<unsigned>(*p - '0');
        if (p == e && !eof_) {  // the digits may go on in the next block
            refill();
            continue;
        }
        if (p == digits) return false;
        if (p - significant > 10 ||
            v > (negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1))
            return false;
        value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(v)
                                                   : static_cast<std::int64_t>(v));
        pos_ = static_cast<std::size_t>(p - buf_.data());
        last_ = 0;
        return true;
    }
}

bool TextScanner::readDouble(double& value) {
    skipSpace();
    for (;;) {
        ensure(kTokenLookahead);
        const char* p = buf_.data() + pos_;
        const char* e = buf_.data() + end_;
        const char* end = parseDoubleInline(p, e, value);
        // Read again with more of the file when the number, or what could still belong to it
        // ("1.5e" | "-3", "in" | "f"), reaches the end of the block.
        if (!eof_ && runReachesEnd(end ? end : p, e)) {
            refill();
            continue;
        }
        if (!end) return false;
        pos_ = static_cast<std::size_t>(end - buf_.data());
        last_ = 0;
        return true;
    }
}

bool TextScanner::readDoubles(double* values, int count, char separator) {
    if (readDoublesInBlock(values, count, separator)) return true;
    for (int k = 0; k < count; ++k)
        if ((k > 0 && !match(separator)) || !readDouble(values[k])) return false;
    return true;
}

bool TextScanner::readDoublesInBlock(double* values, int count, char separator) {
    const char* p = buf_.data() + pos_;
    const char* e = buf_.data() + end_;
    if (!eof_ && end_ - pos_ < kRowLookahead) return false;
    long lines = 0;
    char previous = last_;
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            if (p == e || *p != separator) return false;
            ++p;
            previous = separator;
        }
        for (; p < e && isSpace(*p); ++p) {
            lines += endsLine(*p, previous);
            previous = *p;
        }
        const char* end = parseDoubleInline(p, e, values[k]);
        // As in readDouble: a number that may go on in the next block is left to it.
        if (!end || (!eof_ && runReachesEnd(end, e))) return false;
        p = end;
        previous = 0;
    }
    pos_ = static_cast<std::size_t>(p - buf_.data());
    line_ += lines;
    last_ = previous;
    return true;
}

}  // namespace common
