#pragma once
// Test texts with other line ends than the line feed they are written with.
#include <string>

namespace testsupport {

// `text` with each line feed replaced by `lineEnd` ("\r" or "\r\n").
inline std::string withLineEnds(const std::string& text, const std::string& lineEnd) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += lineEnd;
        else
            out += c;
    }
    return out;
}

// `text` as a file written in text mode holds it: on Windows each line feed is a CR LF there.
inline std::string asTextFile(const std::string& text) {
#if defined(_WIN32)
    return withLineEnds(text, "\r\n");
#else
    return text;
#endif
}

}  // namespace testsupport
