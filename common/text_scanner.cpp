#include "common/text_scanner.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace common {
namespace {

// The white space of the C locale's isspace.
inline bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Numbers longer than this are unusual; shorter ones never need a refill in the middle.
constexpr std::size_t kTokenLookahead = 128;

}  // namespace

TextScanner::TextScanner(std::size_t blockSize) : buf_(blockSize < 16 ? 16 : blockSize) {}

TextScanner::~TextScanner() { close(); }

bool TextScanner::open(const std::string& path) {
    close();
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    pos_ = end_ = 0;
    consumedBefore_ = 0;
    eof_ = false;
    readError_ = false;
    line_ = 1;
    return true;
}

void TextScanner::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    eof_ = true;
    pos_ = end_ = 0;
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
    std::size_t got = std::fread(buf_.data() + end_, 1, buf_.size() - end_, file_);
    end_ += got;
    if (got == 0) {
        eof_ = true;
        if (std::ferror(file_)) readError_ = true;
    }
}

void TextScanner::ensure(std::size_t want) {
    while (end_ - pos_ < want && !eof_) refill();
}

void TextScanner::skipSpace() {
    for (;;) {
        const char* p = buf_.data() + pos_;
        const char* e = buf_.data() + end_;
        while (p < e && isSpace(*p)) {
            if (*p == '\n') ++line_;
            ++p;
        }
        pos_ = static_cast<std::size_t>(p - buf_.data());
        if (p < e || eof_) return;
        refill();
    }
}

bool TextScanner::match(char c) {
    ensure(1);
    if (pos_ < end_ && buf_[pos_] == c) {
        if (c == '\n') ++line_;
        ++pos_;
        return true;
    }
    return false;
}

bool TextScanner::match(std::string_view text) {
    ensure(text.size());
    if (end_ - pos_ < text.size() || std::memcmp(buf_.data() + pos_, text.data(), text.size()) != 0)
        return false;
    for (char c : text)
        if (c == '\n') ++line_;
    pos_ += text.size();
    return true;
}

int TextScanner::peek() {
    ensure(1);
    return pos_ < end_ ? static_cast<unsigned char>(buf_[pos_]) : -1;
}

bool TextScanner::atEnd() { return peek() < 0; }

bool TextScanner::skipLine() {
    for (;;) {
        const char* p = buf_.data() + pos_;
        const char* e = buf_.data() + end_;
        const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(e - p));
        if (nl) {
            pos_ = static_cast<std::size_t>(static_cast<const char*>(nl) - buf_.data()) + 1;
            ++line_;
            return true;
        }
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
        if (p < e && *p == '+') {
            ++p;
            if (p < e && (*p == '-' || *p == '+')) return false;
        }
        std::int32_t v = 0;
        auto [ptr, ec] = std::from_chars(p, e, v);
        if (ptr == e && !eof_) {  // the number may go on in the next block
            refill();
            continue;
        }
        if (ec != std::errc()) return false;
        value = v;
        pos_ = static_cast<std::size_t>(ptr - buf_.data());
        return true;
    }
}

bool TextScanner::readDouble(double& value) {
    skipSpace();
    for (;;) {
        ensure(kTokenLookahead);
        const char* start = buf_.data() + pos_;
        const char* p = start;
        const char* e = buf_.data() + end_;
        if (p < e && *p == '+') {
            ++p;
            if (p < e && (*p == '-' || *p == '+')) return false;
        }
        double v = 0;
        auto [ptr, ec] = std::from_chars(p, e, v);
        if (ptr == e && !eof_) {
            refill();
            continue;
        }
        if (ec == std::errc::invalid_argument) return false;
        // Hexadecimal reals and values beyond the range of double: strtod decides, as the
        // scan functions would.
        if (ec == std::errc::result_out_of_range || (ptr < e && (*ptr == 'x' || *ptr == 'X')))
            return readDoubleSlow(value, start);
        value = v;
        pos_ = static_cast<std::size_t>(ptr - buf_.data());
        return true;
    }
}

bool TextScanner::readDoubleSlow(double& value, const char* start) {
    std::size_t n = 0;
    std::size_t avail = end_ - static_cast<std::size_t>(start - buf_.data());
    while (n < avail && !isSpace(start[n]) && start[n] != ',' && start[n] != ')' &&
           start[n] != '>' && start[n] != ']')
        ++n;
    std::string token(start, n);
    char* stop = nullptr;
    double v = std::strtod(token.c_str(), &stop);
    if (stop == token.c_str()) return false;
    value = v;
    pos_ += static_cast<std::size_t>(stop - token.c_str());
    return true;
}

}  // namespace common
