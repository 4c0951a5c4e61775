#include "formats/AttributeValues.h"

#include <gtest/gtest.h>
#include <climits>

namespace quillora {
namespace {

TEST(AttributeValues, HexLikeTheLibraryConversion) {
    const struct {
        const char16_t* text;
        int value;
    } cases[] = {
        {u"", 0},
        {u"1209", 0x1209},
        {u"0x1209", 0x1209},
        {u"0X00a1", 0xA1},
        {u"  ff", 0xFF},
        {u"-10", -16},
        {u"+A", 10},
        {u"12g4", 0x12},
        {u"0x", 0},
        {u"0xg", 0},
        {u"g", 0},
        {u"7fffffff", INT_MAX},
        {u"100000000", INT_MAX},
        {u"-80000000", INT_MIN},
        {u"ffffffffffffffffff", INT_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexToInt(c.text), c.value) << '"' << std::u16string_view(c.text).size() << '"';
    }
}

TEST(AttributeValues, FlagIsExactlyOne) {
    EXPECT_TRUE(FlagValue(u"1"));
    EXPECT_TRUE(FlagValue(u"01"));
    EXPECT_TRUE(FlagValue(u" 1x"));
    EXPECT_FALSE(FlagValue(u""));
    EXPECT_FALSE(FlagValue(u"0"));
    EXPECT_FALSE(FlagValue(u"2"));
    EXPECT_FALSE(FlagValue(u"-1"));
    EXPECT_FALSE(FlagValue(u"true"));
}

TEST(AttributeValues, ColourByDigitCount) {
    const struct {
        const char16_t* text;
        int value;
    } cases[] = {
        {u"", 0},
        {u"#", 0},
        {u"#F", 0},                // one digit: no colour
        {u"#0F", 15},              // red only
        {u"#FF8", 255 + 256 * 8},  // one-digit green
        {u"#FF80", 255 + 256 * 0x80},
        {u"#FF800", 255 + 256 * 0x80 + 65536 * 0},
        {u"#FF8001", 255 + 256 * 0x80 + 65536 * 1},
        {u"#FF8000", 33023},
        {u"#0000FF", 0xFF0000},  // blue lands in bits 16-23
        {u"#ffffff", 0xFFFFFF},
        {u"#FF80001", 0},   // seven digits: no colour
        {u"xFF0000", 255},  // the first character is skipped whatever it is
        {u"#G10000", 0},    // a non-digit ends its component
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColourValue(c.text), c.value) << "length " << std::u16string_view(c.text).size();
    }
}

TEST(AttributeValues, HotspotLineBySeparatorCount) {
    const struct {
        const char16_t* text;
        HotspotLine line;
    } cases[] = {
        {u"10#80#35", {10, 80, 35}}, {u"10", {0, 0, 10}},
        {u"10#80", {10, 0, 80}},     {u"", {0, 0, 0}},
        {u"#", {0, 0, 0}},           {u"-5#x#7", {-5, 0, 7}},
        {u"1#2#3#4", {1, 2, 3}},  // the rest after y's digits is ignored
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseHotspotLine(c.text), c.line);
    }
}

}  // namespace
}  // namespace quillora
