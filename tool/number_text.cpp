#include "tool/number_text.h"

#include <charconv>

namespace tarvik {

char* FormatGeneral6(char* first, char* last, double value) {
    return std::to_chars(first, last, value, std::chars_format::general, 6).ptr;
}

char* FormatFixed5(char* first, char* last, double value) {
    return std::to_chars(first, last, value, std::chars_format::fixed, 5).ptr;
}

char* FormatInt(char* first, char* last, std::int32_t value) {
    return std::to_chars(first, last, value).ptr;
}

}  // namespace tarvik
