#include "model/Cp1252.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(Cp1252, EveryByteMapsToOneCodePointAndBack) {
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = Cp1252ToCodePoint(static_cast<std::uint8_t>(b));
        ASSERT_EQ(Cp1252FromCodePoint(cp), b) << b;
    }
    EXPECT_EQ(Cp1252ToCodePoint(0x80), U'\u20AC');
    EXPECT_EQ(Cp1252ToCodePoint(0x81), U'\u0081');
    EXPECT_EQ(Cp1252ToCodePoint(0x9F), U'\u0178');
    EXPECT_EQ(Cp1252ToCodePoint(0xE9), U'\u00E9');
}

TEST(Cp1252, Utf8ConversionRefusesWhatCannotBeHeld) {
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9 \x80"), "caf\u00E9 \u20AC");
    EXPECT_EQ(Utf8ToCp1252("caf\u00E9 \u20AC"), "caf\xE9 \x80");
    EXPECT_FALSE(Utf8ToCp1252("\u2192").has_value());   // arrow
    EXPECT_FALSE(Utf8ToCp1252("\xC3").has_value());     // cut sequence
    EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF").has_value()); // overlong
    EXPECT_TRUE(FitsCp1252("plain ASCII\t\r\n"));
}
