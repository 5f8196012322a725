#include "model/Cp1252.h"

#include <gtest/gtest.h>

using namespace velmora;

// Windows-1252's own table for 0x80 to 0x9F, the five bytes it leaves undefined as the C1
// controls. A swapped pair (the two single quotation marks) would still round-trip, so every
// byte is pinned to its character; the other bytes are their own code points.
TEST(Cp1252, EveryByteMapsToItsCharacterAndBack) {
    constexpr char32_t kHigh[32] = {
        U'\u20AC', U'\u0081', U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',
        U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', U'\u008D', U'\u017D', U'\u008F',
        U'\u0090', U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',
        U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', U'\u009D', U'\u017E', U'\u0178'};
    for (int b = 0; b < 256; ++b) {
        const char32_t expected = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char32_t(b);
        const char32_t cp = Cp1252ToCodePoint(static_cast<std::uint8_t>(b));
        EXPECT_EQ(cp, expected) << std::hex << b;
        EXPECT_EQ(Cp1252FromCodePoint(cp), b) << std::hex << b;
    }
}

TEST(Cp1252, Utf8ConversionRefusesWhatCannotBeHeld) {
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9 \x80"), "caf\u00E9 \u20AC");
    EXPECT_EQ(Utf8ToCp1252("caf\u00E9 \u20AC"), "caf\xE9 \x80");
    EXPECT_FALSE(Utf8ToCp1252("\u2192").has_value());   // arrow
    EXPECT_FALSE(Utf8ToCp1252("\xC3").has_value());     // cut sequence
    EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF").has_value()); // overlong
    EXPECT_TRUE(FitsCp1252("plain ASCII\t\r\n"));
}
