#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <set>
#include <string>

#include "formats/EncodingTable.h"
#include "formats/TextEncoding.h"

namespace quillora {
namespace {

struct CodePageCase {
    std::u16string name;
    int codePage;
};

class CodePageLookUp : public testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageLookUp, FindsCodePage) {
    EXPECT_EQ(LookUpCodePage(GetParam().name), GetParam().codePage);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CodePageLookUp,
    testing::Values(CodePageCase{u"utf-8", 65001}, CodePageCase{u"UTF-8", 65001},
                    CodePageCase{u"latin1", 28591}, CodePageCase{u"ISO-8859-1", 28591},
                    CodePageCase{u"gbk", 936}, CodePageCase{u"Shift_JIS", 932},
                    CodePageCase{u"windows-1252", 1252}, CodePageCase{u"x-mac-ce", 10029},
                    CodePageCase{u"ks_c_5601-1987", 949}, CodePageCase{u"cp500", 775},
                    CodePageCase{u"extended_unix_code_packed_format_for_japanese", 20932},
                    CodePageCase{u"cp1256", 1256}, CodePageCase{u"cp1256 ", 1256},
                    CodePageCase{u"cp1256  ", 0}, CodePageCase{u"cp1252 ", 0},
                    // "UTF-32" exactly gives the internal marker; other spellings the table.
                    CodePageCase{u"UTF-32", 65005}, CodePageCase{u"UTF-32BE", 65005},
                    CodePageCase{u"utf-32", 12000}, CodePageCase{u"Utf-32", 12000},
                    CodePageCase{u"utf-32be", 12001}, CodePageCase{u"UTF-16", 1200},
                    CodePageCase{u"", 0}, CodePageCase{u"no-such-encoding", 0},
                    CodePageCase{std::u16string(100, u'a'), 0}));

TEST(EncodingTable, EveryNameFindsItsCodePage) {
    const auto names = KnownEncodingNames();
    EXPECT_EQ(names.size(), 365u);
    for (const auto& [codePage, name] : names) {
        EXPECT_EQ(LookUpCodePage(std::u16string(name.begin(), name.end())), codePage) << name;
    }
    const auto pages = KnownCodePages();
    EXPECT_EQ(pages.size(), 110u);
    EXPECT_EQ(std::set<int>(pages.begin(), pages.end()).size(), 110u);
}

TEST(EncodingTable, EveryIconvNameOpens) {
    EXPECT_STREQ(IconvNameOfCodePage(0), "CP1252");
    EXPECT_EQ(IconvNameOfCodePage(12345), nullptr);
    for (int codePage : KnownCodePages()) {
        const char* name = IconvNameOfCodePage(codePage);
        if (name == nullptr) {
            continue;
        }
        iconv_t cd = iconv_open("UTF-16LE", name);
        EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << codePage << " " << name;
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd);
        }
    }
}

struct DecodeCase {
    std::u16string encoding;
    std::string bytes;
    std::u16string text;
};

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, GivesUtf16) {
    const DecodeCase& c = GetParam();
    std::u16string out;
    TextEncoding conv(u"UTF-16", c.encoding, c.bytes.data(), c.bytes.size());
    ASSERT_TRUE(conv.ToUtf16(out));
    EXPECT_EQ(out, c.text);
    EXPECT_EQ(conv.resultLength, c.text.size());
    EXPECT_FALSE(conv.lossy);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, DecodeTest,
    testing::Values(DecodeCase{u"latin1", "caf\xE9", u"caf\u00E9"},
                    DecodeCase{u"", "\x80\xE9", u"\u20AC\u00E9"},  // the ANSI code page
                    DecodeCase{u"gbk", "\xC4\xE3\xBA\xC3", u"\u4F60\u597D"},
                    DecodeCase{u"shift_jis", "\x82\xA0\x93\xFA", u"\u3042\u65E5"},
                    DecodeCase{u"windows-1251", "\xC0\xFF", u"\u0410\u044F"},
                    DecodeCase{u"koi8-r", "\xC1", u"\u0430"},
                    DecodeCase{u"utf-8", "\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u20AC\U0001F600"},
                    DecodeCase{u"utf-16be", std::string("\x00\x41\xD8\x3D\xDE\x00", 6),
                               u"A\U0001F600"}));

struct EncodeCase {
    std::u16string encoding;
    std::u16string text;
    std::string bytes;
    bool lossy;
};

class EncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, GivesBytes) {
    const EncodeCase& c = GetParam();
    std::string out;
    TextEncoding conv(c.encoding, u"UTF-16", c.text.data(), c.text.size());
    ASSERT_TRUE(conv.FromUtf16(out));
    EXPECT_EQ(out, c.bytes);
    EXPECT_EQ(conv.lossy, c.lossy);
    EXPECT_EQ(conv.resultLength, c.bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, EncodeTest,
    testing::Values(EncodeCase{u"latin1", u"caf\u00E9", "caf\xE9", false},
                    EncodeCase{u"latin1", u"a\u20ACb", "a?b", true},
                    // A surrogate pair is one character, so it becomes one "?".
                    EncodeCase{u"latin1", u"a\U0001F600b", "a?b", true},
                    EncodeCase{u"windows-1252", u"\u20AC", "\x80", false},
                    EncodeCase{u"gbk", u"\u4F60\u597D", "\xC4\xE3\xBA\xC3", false},
                    EncodeCase{u"shift_jis", u"\u3042", "\x82\xA0", false},
                    EncodeCase{u"shift_jis", u"\u00E9x", "?x", true},
                    EncodeCase{u"utf-8", u"\u00E9\U0001F600", "\xC3\xA9\xF0\x9F\x98\x80", false},
                    // Converters that cannot report losses never flag them.
                    EncodeCase{u"utf-8", u"a\xD800", "a\xEF\xBF\xBD", false},
                    EncodeCase{u"iso-2022-kr", u"\u00E9", "\x1B$)C?", false},
                    EncodeCase{u"utf-16be", u"A\u00E9", std::string("\x00\x41\x00\xE9", 4),
                               false}));

TEST(TextEncoding, Utf32IsConvertedDirectly) {
    const std::u16string text = u"A\U0001F600";
    std::string out;
    TextEncoding toUtf32(u"UTF-32", u"UTF-16", text.data(), text.size());
    ASSERT_TRUE(toUtf32.FromUtf16(out));
    ASSERT_EQ(out.size(), 8u);
    char32_t units[2];
    std::memcpy(units, out.data(), 8);
    EXPECT_EQ(units[0], U'A');
    EXPECT_EQ(units[1], U'\U0001F600');
    EXPECT_EQ(toUtf32.resultLength, 2u);
    EXPECT_FALSE(toUtf32.lossy);

    std::u16string back;
    TextEncoding fromUtf32(u"UTF-16", u"UTF-32", units, 2);
    ASSERT_TRUE(fromUtf32.ToUtf16(back));
    EXPECT_EQ(back, text);

    const std::u16string lone = u"a\xD83D";  // a surrogate in the last position
    TextEncoding loneConv(u"UTF-32", u"UTF-16", lone.data(), lone.size());
    ASSERT_TRUE(loneConv.FromUtf16(out));
    std::memcpy(units, out.data(), 8);
    EXPECT_EQ(units[1], U'?');
    EXPECT_TRUE(loneConv.lossy);

    const std::string utf8 = "a\xFF\xF0\x9F\x98\x80";
    TextEncoding utf8ToUtf32(u"UTF-32", u"utf-8", utf8.data(), utf8.size());
    ASSERT_TRUE(utf8ToUtf32.Convert(out));
    ASSERT_EQ(out.size(), 12u);
    char32_t three[3];
    std::memcpy(three, out.data(), 12);
    EXPECT_EQ(three[0], U'a');
    EXPECT_EQ(three[1], U'?');
    EXPECT_EQ(three[2], U'\U0001F600');

    TextEncoding utf32ToUtf8(u"utf-8", u"UTF-32", three, 3);
    ASSERT_TRUE(utf32ToUtf8.Convert(out));
    EXPECT_EQ(out, "a?\xF0\x9F\x98\x80");
}

TEST(TextEncoding, ConvertsBetweenCodePagesThroughUtf16) {
    const std::string gbk = "\xC4\xE3";
    std::string out;
    TextEncoding conv(u"utf-8", u"gbk", gbk.data(), gbk.size());
    ASSERT_TRUE(conv.Convert(out));
    EXPECT_EQ(out, "\xE4\xBD\xA0");
    TextEncoding lossy(u"latin1", u"gbk", gbk.data(), gbk.size());
    ASSERT_TRUE(lossy.Convert(out));
    EXPECT_EQ(out, "?");
    EXPECT_TRUE(lossy.lossy);
}

TEST(TextEncoding, RefusesCodePagesWithoutConverter) {
    const std::string bytes = "abc";
    std::u16string out = u"stale";
    TextEncoding conv(u"UTF-16", u"x-iscii-de", bytes.data(), bytes.size());
    EXPECT_FALSE(conv.ToUtf16(out));
    EXPECT_TRUE(out.empty());
}

TEST(TextEncoding, UndecodableBytesBecomeReplacementCharacters) {
    const std::string bytes = "a\xC3(b\x81";
    std::u16string out;
    TextEncoding utf8(u"UTF-16", u"utf-8", bytes.data(), bytes.size());
    ASSERT_TRUE(utf8.ToUtf16(out));
    EXPECT_EQ(out, u"a\uFFFD(b\uFFFD");
    EXPECT_TRUE(utf8.lossy);
    const std::string sjis = "a\x82";  // lead byte without its trail byte
    TextEncoding shiftJis(u"UTF-16", u"shift_jis", sjis.data(), sjis.size());
    ASSERT_TRUE(shiftJis.ToUtf16(out));
    EXPECT_EQ(out, u"a\uFFFD");
    EXPECT_TRUE(shiftJis.lossy);
}

struct Utf8Case {
    std::string bytes;
    bool wellFormed;
};

class Utf8Detection : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Detection, Classifies) {
    EXPECT_EQ(IsWellFormedUtf8(GetParam().bytes), GetParam().wellFormed)
        << testing::PrintToString(GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8Detection,
    testing::Values(Utf8Case{"", true}, Utf8Case{"plain <ascii/>", true},
                    Utf8Case{"\xC3\xA9", true}, Utf8Case{"\xE2\x82\xAC", true},
                    Utf8Case{"\xF0\x9F\x98\x80", true}, Utf8Case{"\xF4\x8F\xBF\xBF", true},
                    Utf8Case{"caf\xE9", false}, Utf8Case{"\xC0\xAF", false},
                    Utf8Case{"\xE0\x80\xAF", false}, Utf8Case{"\xED\xA0\x80", false},
                    Utf8Case{"\xF4\x90\x80\x80", false}, Utf8Case{"\xC3", false},
                    Utf8Case{"\x80", false}, Utf8Case{"\xF8\x88\x80\x80\x80", false}));

}  // namespace
}  // namespace quillora
