#include "app/Utf8.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

struct Utf8Case {
    const char* name;
    std::u16string wide;
    std::string utf8;
};

class Utf8RoundTrip : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8RoundTrip, ConvertsBothWays) {
    const Utf8Case& c = GetParam();
    EXPECT_EQ(ToUtf8(c.wide), c.utf8);
    EXPECT_EQ(FromUtf8(c.utf8), c.wide);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8RoundTrip,
    ::testing::Values(Utf8Case{"empty", u"", ""}, Utf8Case{"ascii", u"Profile 1", "Profile 1"},
                      Utf8Case{"two_byte", u"\u00e9\u00df", "\xC3\xA9\xC3\x9F"},
                      Utf8Case{"chinese", u"\u914d\u7f6e", "\xE9\x85\x8D\xE7\xBD\xAE"},
                      Utf8Case{"cyrillic", u"\u041f\u0440\u043e", "\xD0\x9F\xD1\x80\xD0\xBE"},
                      Utf8Case{"emoji_pair", u"\U0001F5B1", "\xF0\x9F\x96\xB1"},
                      Utf8Case{"last_bmp", u"\uFFFF", "\xEF\xBF\xBF"},
                      Utf8Case{"last_scalar", u"\U0010FFFF", "\xF4\x8F\xBF\xBF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf8, StopsAtFirstNul) {
    EXPECT_EQ(ToUtf8(std::u16string(u"ab\0cd", 5)), "ab");
    EXPECT_EQ(FromUtf8(std::string_view("ab\0cd", 5)), u"ab");
}

TEST(Utf8, NullPointerGivesEmptyText) {
    EXPECT_EQ(FromUtf8(static_cast<const char*>(nullptr)), u"");
}

TEST(Utf8, LoneSurrogatesBecomeReplacementCharacter) {
    EXPECT_EQ(ToUtf8(std::u16string{u'a', char16_t(0xD800)}), "a\xEF\xBF\xBD");
    EXPECT_EQ(ToUtf8(std::u16string{char16_t(0xDC00), u'b'}),
              "\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(ToUtf8(std::u16string{char16_t(0xD800), u'x'}), "\xEF\xBF\xBDx");
}

struct IllFormed {
    const char* name;
    std::string bytes;
    std::u16string wide;
};

class Utf8IllFormed : public ::testing::TestWithParam<IllFormed> {};

TEST_P(Utf8IllFormed, ReplacesEachMaximalSubpart) {
    EXPECT_EQ(FromUtf8(GetParam().bytes), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Utf8IllFormed,
    ::testing::Values(IllFormed{"lone_continuation", "a\x80z", u"a\uFFFDz"},
                      IllFormed{"overlong_slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
                      IllFormed{"overlong_three", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
                      IllFormed{"encoded_surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                      IllFormed{"beyond_max", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                      IllFormed{"truncated_at_end", "ab\xE9\x85", u"ab\uFFFD"},
                      IllFormed{"truncated_before_ascii", "\xF0\x9F\x96z", u"\uFFFDz"},
                      IllFormed{"invalid_lead", "\xFF\xFE", u"\uFFFD\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillora
