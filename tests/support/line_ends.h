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

}  // namespace testsupport
