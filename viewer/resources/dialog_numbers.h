#pragma once
// Numbers in dialog texts: written with printf formats into 100-byte buffers, read back from at
// most 100 characters with atof / atoi, so that text that is not a number reads as 0.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace quillon {

// atof(text) is strtod(text, NULL); strtod is called by name since the atof that mingw-w64 takes
// from Windows' C library reads "inf", "nan" and hexadecimal numbers as 0, while its strtod reads
// them as glibc does.
inline double dialogDouble(const std::string& text) {
    return std::strtod(text.substr(0, 100).c_str(), nullptr);
}
// Like atoi where a long has 32 bits: a number beyond an int's range reads as the nearest end of
// it (never as its lower 32 bits, which would turn 4294967296 into 0).
inline int dialogInteger(const std::string& text) {
    long long value = std::strtoll(text.substr(0, 100).c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// "%lf": six decimals.
inline std::string formatDouble(double value) {
    char buffer[100];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}
// "%.2lf".
inline std::string formatTwoDecimals(double value) {
    char buffer[100];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}
inline std::string formatInteger(int value) {
    return std::to_string(value);
}

}  // namespace quillon
