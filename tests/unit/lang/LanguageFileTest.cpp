#include "lang/LanguageFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace quillora {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// UTF-16 file bytes with a byte-order mark.
std::string Utf16File(std::u16string_view text, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
        const char lo = static_cast<char>(u & 0xFF);
        const char hi = static_cast<char>(u >> 8);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

std::u16string Lookup(std::string_view fileBytes, std::u16string_view key,
                      std::u16string_view section = kLanguageSection) {
    return FindProfileString(DecodeProfileText(fileBytes), section, key);
}

struct ParseCase {
    const char* name;
    std::string file;
    std::u16string key;
    std::u16string expected;
};

class ProfileStringParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ProfileStringParse, FindsTheValueAsTheWindowsReaderDoes) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(Lookup(c.file, c.key), c.expected);
}

const char kChinese[] = "\xE8\xAE\xBE\xE7\xBD\xAE";  // "设置" in UTF-8

INSTANTIATE_TEST_SUITE_P(
    Encodings, ProfileStringParse,
    ::testing::Values(
        ParseCase{"utf8_without_mark", std::string("[LAN]\n11=") + kChinese + "\n", u"11",
                  u"\u8bbe\u7f6e"},
        ParseCase{"utf8_with_mark", std::string("\xEF\xBB\xBF[LAN]\n11=") + kChinese + "\n", u"11",
                  u"\u8bbe\u7f6e"},
        ParseCase{"utf16le_with_mark", Utf16File(u"[LAN]\r\n11=\u8bbe\u7f6e\r\n"), u"11",
                  u"\u8bbe\u7f6e"},
        ParseCase{"utf16be_with_mark", Utf16File(u"[LAN]\r\n11=\u8bbe\u7f6e\r\n", true), u"11",
                  u"\u8bbe\u7f6e"},
        ParseCase{"utf16_pair_kept", Utf16File(u"[LAN]\n7=\U0001F5B1\n"), u"7", u"\U0001F5B1"},
        ParseCase{"utf16_odd_last_byte_ignored", Utf16File(u"[LAN]\n7=ok") + "\x01", u"7", u"ok"},
        ParseCase{"utf8_mark_is_not_part_of_the_section", "\xEF\xBB\xBF[LAN]\n1=a", u"1", u"a"},
        ParseCase{"ill_formed_utf8_replaced",
                  "[LAN]\n1=a\xFF"
                  "b\n",
                  u"1", u"a\uFFFDb"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Lines, ProfileStringParse,
    ::testing::Values(
        ParseCase{"lf", "[LAN]\n1=one\n2=two\n", u"2", u"two"},
        ParseCase{"crlf", "[LAN]\r\n1=one\r\n2=two\r\n", u"1", u"one"},
        ParseCase{"cr_only", "[LAN]\r1=one\r2=two\r", u"2", u"two"},
        ParseCase{"last_line_without_end", "[LAN]\n1=one", u"1", u"one"},
        ParseCase{"blank_lines_between", "\n\n[LAN]\n\n\n1=one\n", u"1", u"one"},
        ParseCase{"blanks_around_key_and_value", "[LAN]\n  \t12 \t=  Apply \t\r\n", u"12",
                  u"Apply"},
        ParseCase{"inner_blanks_kept", "[LAN]\n1=Start  with\tlogin\n", u"1",
                  u"Start  with\tlogin"},
        ParseCase{"equals_in_value", "[LAN]\n1=a=b\n", u"1", u"a=b"},
        ParseCase{"empty_value", "[LAN]\n1=\n2=two\n", u"1", u""},
        ParseCase{"line_without_equals_is_no_entry", "[LAN]\n1\n1=one\n", u"1", u"one"},
        ParseCase{"comment_line", "[LAN]\n;1=commented\n1=one\n", u"1", u"one"},
        ParseCase{"indented_comment_line", "[LAN]\n   ; 2=commented\n", u"2", u""},
        ParseCase{"semicolon_inside_value_kept", "[LAN]\n1=a;b\n", u"1", u"a;b"},
        ParseCase{"nul_ends_the_value", "[LAN]\n1=ab\0cd\n"s, u"1", u"ab"},
        ParseCase{"nul_does_not_hide_later_lines", "[LAN]\n;\0\n2=two\n"s, u"2", u"two"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Names, ProfileStringParse,
    ::testing::Values(
        ParseCase{"section_lower_case", "[lan]\n1=one\n", u"1", u"one"},
        ParseCase{"section_mixed_case", "[LaN]\n1=one\n", u"1", u"one"},
        ParseCase{"section_with_blanks", "  [ LAN ]  \n1=one\n", u"1", u"one"},
        ParseCase{"key_case_ignored", "[LAN]\nTitle=one\n", u"TITLE", u"one"},
        ParseCase{"key_is_text_not_number", "[LAN]\n012=zero\n", u"12", u""},
        ParseCase{"other_section_only", "[Strings]\n1=one\n", u"1", u""},
        ParseCase{"section_name_prefix_is_not_the_section", "[LANG]\n1=one\n", u"1", u""},
        ParseCase{"entry_before_any_section", "1=one\n[LAN]\n2=two\n", u"1", u""},
        ParseCase{"entry_after_section_ends", "[LAN]\n2=two\n[Other]\n1=one\n", u"1", u""},
        ParseCase{"section_after_others", "[A]\n1=a\n[LAN]\n1=one\n", u"1", u"one"},
        ParseCase{"duplicate_key_first_wins", "[LAN]\n1=first\n1=second\n", u"1", u"first"},
        ParseCase{"duplicate_key_first_wins_even_empty", "[LAN]\n1=\n1=second\n", u"1", u""},
        ParseCase{"only_first_section_searched", "[LAN]\n1=one\n[LAN]\n2=two\n", u"2", u""},
        ParseCase{"unclosed_bracket_is_an_entry_line", "[LAN]\n[x=y\n", u"[x", u"y"},
        ParseCase{"text_after_bracket_ignored", "[LAN] ; texts\n1=one\n", u"1", u"one"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Quotes, ProfileStringParse,
    ::testing::Values(
        ParseCase{"double_quotes_dropped", "[LAN]\n1=\"Profile\"\n", u"1", u"Profile"},
        ParseCase{"single_quotes_dropped", "[LAN]\n1='Profile'\n", u"1", u"Profile"},
        ParseCase{"quotes_keep_blanks", "[LAN]\n1=\"  two  \"\n", u"1", u"  two  "},
        ParseCase{"empty_quotes", "[LAN]\n1=\"\"\n", u"1", u""},
        ParseCase{"lone_quote_kept", "[LAN]\n1=\"\n", u"1", u"\""},
        ParseCase{"mismatched_quotes_kept", "[LAN]\n1=\"a'\n", u"1", u"\"a'"},
        ParseCase{"opening_quote_only_kept", "[LAN]\n1=\"abc\n", u"1", u"\"abc"},
        ParseCase{"inner_quotes_kept", "[LAN]\n1=Press \"Start\"\n", u"1", u"Press \"Start\""},
        ParseCase{"only_outer_pair_dropped", "[LAN]\n1=\"\"x\"\"\n", u"1", u"\"x\""}),
    [](const auto& info) { return std::string(info.param.name); });

// Values around the 259-unit cut.
struct CutCase {
    const char* name;
    std::u16string value;
    std::u16string expected;
};

class ProfileStringCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(ProfileStringCut, KeepsAtMost259Units) {
    const CutCase& c = GetParam();
    const std::u16string file = u"[LAN]\n9=" + c.value + u"\n";
    EXPECT_EQ(Lookup(Utf16File(file), u"9"), c.expected);
}

std::u16string Units(size_t n, char16_t c = u'x') {
    return std::u16string(n, c);
}

const std::u16string kPair = u"\U0001F5B1";  // two UTF-16 units

INSTANTIATE_TEST_SUITE_P(
    Lengths, ProfileStringCut,
    ::testing::Values(
        CutCase{"len_258", Units(258), Units(258)}, CutCase{"len_259", Units(259), Units(259)},
        CutCase{"len_260", Units(260), Units(259)}, CutCase{"len_300", Units(300), Units(259)},
        CutCase{"chinese_300", Units(300, u'\u5b57'), Units(259, u'\u5b57')},
        CutCase{"pair_ends_at_unit_259", Units(257) + kPair + u"yy", Units(257) + kPair},
        CutCase{"pair_across_the_cut_dropped", Units(258) + kPair + u"y", Units(258)},
        CutCase{"pair_just_after_the_cut", Units(259) + kPair, Units(259)},
        CutCase{"quotes_dropped_before_the_cut", u"\"" + Units(259) + u"\"", Units(259)},
        CutCase{"quoted_long_value", u"\"" + Units(300) + u"\"", Units(259)}),
    [](const auto& info) { return std::string(info.param.name); });

// A real folder per test, removed afterwards.
class LanguageFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "quillora-lang-XXXXXX").string();
        ASSERT_NE(mkdtemp(templ.data()), nullptr);
        root_ = templ;
        app_ = root_.string() + "/";
        fs::create_directories(root_ / "language");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    void Write(int language, std::string_view bytes) {
        std::ofstream out(LanguageFilePath(app_, language), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    fs::path root_;
    std::string app_;  // the application folder, with its trailing '/'
};

TEST(LanguageFilePath, FormatsFolderLanguageFolderAndNumber) {
    EXPECT_EQ(LanguageFilePath("/usr/share/quillora/", 1033),
              "/usr/share/quillora/language/1033.lan");
    EXPECT_EQ(LanguageFilePath("/opt/q/", 2052), "/opt/q/language/2052.lan");
    EXPECT_EQ(LanguageFilePath("", 1041), "language/1041.lan");
    // The folder is used as it comes: its trailing separator is the caller's.
    EXPECT_EQ(LanguageFilePath("/opt/q", 1033), "/opt/qlanguage/1033.lan");
}

TEST_F(LanguageFolder, MissingFileSectionOrKeyGivesEmptyText) {
    LanguageFile file(LanguageFilePath(app_, 1033));
    EXPECT_EQ(file.Text(1), u"") << "no file";
    Write(1033, "[Other]\n1=one\n");
    EXPECT_EQ(file.Text(1), u"") << "no [LAN] section";
    Write(1033, "[LAN]\n2=two\n");
    EXPECT_EQ(file.Text(1), u"") << "no entry";
    EXPECT_EQ(file.Text(2), u"two");
}

TEST_F(LanguageFolder, FolderInPlaceOfFileGivesEmptyText) {
    fs::create_directories(root_ / "language" / "1033.lan");
    EXPECT_EQ(LanguageFile(LanguageFilePath(app_, 1033)).Text(1), u"");
}

TEST_F(LanguageFolder, KeyIsTheDecimalNumber) {
    Write(1033, "[LAN]\n0=zero\n7=seven\n630=saving\n-1=minus\n");
    LanguageFile file(LanguageFilePath(app_, 1033));
    EXPECT_EQ(file.Text(0), u"zero");
    EXPECT_EQ(file.Text(7), u"seven");
    EXPECT_EQ(file.Text(630), u"saving");
    EXPECT_EQ(file.Text(-1), u"minus");
    EXPECT_EQ(file.Text(63), u"");
}

TEST_F(LanguageFolder, EveryLookupReadsTheFileAgain) {
    Write(1033, "[LAN]\n61=Profile\n");
    LanguageFile file(LanguageFilePath(app_, 1033));
    EXPECT_EQ(file.Text(61), u"Profile");
    Write(1033, "[LAN]\n61=Setup\n");
    EXPECT_EQ(file.Text(61), u"Setup");
    fs::remove(LanguageFilePath(app_, 1033));
    EXPECT_EQ(file.Text(61), u"");
}

TEST_F(LanguageFolder, InterfaceTextsFollowTheCurrentLanguage) {
    Write(1033, "[LAN]\n61=Profile\n");
    Write(2052, "\xEF\xBB\xBF[LAN]\r\n61=\xE9\x85\x8D\xE7\xBD\xAE\r\n");
    InterfaceTexts texts(app_, 1033);
    EXPECT_EQ(texts.GetText(61), u"Profile");
    texts.SetLanguage(2052);
    EXPECT_EQ(texts.Language(), 2052);
    EXPECT_EQ(texts.FilePath(), app_ + "language/2052.lan");
    EXPECT_EQ(texts.GetText(61), u"\u914d\u7f6e");
    // No fallback: a language without a file has no texts at all.
    texts.SetLanguage(1041);
    EXPECT_EQ(texts.GetText(61), u"");
}

// The worker thread looks texts up while the settings page changes the language.
TEST_F(LanguageFolder, LanguageChangesWhileAnotherThreadLooksUp) {
    Write(1033, "[LAN]\n61=Profile\n");
    Write(2052, "[LAN]\n61=\xE9\x85\x8D\xE7\xBD\xAE\n");
    InterfaceTexts texts(app_, 1033);
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) {
            const std::u16string text = texts.GetText(61);
            ASSERT_TRUE(text == u"Profile" || text == u"\u914d\u7f6e") << i;
        }
    });
    for (int i = 0; i < 200; ++i) {
        texts.SetLanguage(i % 2 ? 1033 : 2052);
    }
    worker.join();
}

TEST_F(LanguageFolder, FileLargerThanTheLimitIsReadUpToIt) {
    std::string bytes = "[LAN]\n1=early\n";
    bytes += std::string(kMaxProfileFileBytes, ';');
    bytes += "\n2=late\n";
    Write(1033, bytes);
    LanguageFile file(LanguageFilePath(app_, 1033));
    EXPECT_EQ(file.Text(1), u"early");
    EXPECT_EQ(file.Text(2), u"");
}

}  // namespace
}  // namespace quillora
