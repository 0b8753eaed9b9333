// UTF-16 to UTF-8 and back, as Windows builds convert file names and command lines.
#include "common/utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using common::Utf16FromUtf8;
using common::Utf8FromUtf16;

TEST(Utf16, EveryPlaneBothWays) {
    // ASCII, Latin-1, CJK, a character outside the Basic Multilingual Plane (a surrogate pair),
    // the last code point.
    const std::string utf8 = "a/modèle 模型.txt \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF";
    const std::u16string utf16 = u"a/modèle 模型.txt \U0001F600 \U0010FFFF";
    EXPECT_EQ(Utf16FromUtf8(utf8), utf16);
    EXPECT_EQ(Utf8FromUtf16(utf16), utf8);
    EXPECT_EQ(Utf16FromUtf8(""), u"");
    EXPECT_EQ(Utf8FromUtf16(u""), "");
}

// Windows allows lone surrogates in names: they pass through UTF-8 and come back unchanged.
TEST(Utf16, LoneSurrogatesSurviveTheRoundTrip) {
    const std::u16string names[] = {
        std::u16string(u"x") + char16_t(0xD800) + u"y",      // high without low
        std::u16string(u"x") + char16_t(0xDC00),             // low alone, at the end
        std::u16string(1, char16_t(0xDBFF)),                 // high at the end
        std::u16string{char16_t(0xDC00), char16_t(0xD800)},  // a pair in the wrong order
    };
    for (const std::u16string& name : names) EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(name)), name);
    EXPECT_EQ(Utf8FromUtf16(std::u16string(1, char16_t(0xD800))), "\xED\xA0\x80");
}

// Bytes that are not UTF-8 become U+FFFD, one for each byte that starts nothing valid, and
// never swallow the characters after them.
TEST(Utf16, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf16FromUtf8("a\x80z"), u"a\uFFFDz");            // stray continuation
    EXPECT_EQ(Utf16FromUtf8("a\xE6\xA8z"), u"a\uFFFD\uFFFDz");  // cut short
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");      // overlong "/"
    EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // > U+10FFFF
    EXPECT_EQ(Utf16FromUtf8("\xFF"), u"\uFFFD");
    EXPECT_EQ(Utf16FromUtf8("\xE6\xA8"), u"\uFFFD\uFFFD");  // cut by the end of the text
}

}  // namespace
