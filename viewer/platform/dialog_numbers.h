#pragma once
// Numbers in dialog texts: written with printf formats into 100-byte buffers, read back from at
// most 100 characters with atof / atoi, so that text that is not a number reads as 0.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace quillon::platform {

inline double dialogDouble(const std::string& text) {
    return std::atof(text.substr(0, 100).c_str());
}
inline int dialogInteger(const std::string& text) {
    return std::atoi(text.substr(0, 100).c_str());
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

}  // namespace quillon::platform
