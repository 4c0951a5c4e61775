#include "update/Versions.h"

#include <gtest/gtest.h>

#include "update/UpdateNames.h"

namespace quillora {
namespace {

TEST(CompareVersions, Table) {
    struct Case {
        const char* running;
        const char* newest;
        int expected;
    };
    const Case cases[] = {
        {"1.0.9", "1.0.10", 1},  // numbers, not text: 10 > 9
        {"1.0.1", "1.1", 2},     // different number of parts
        {"1.2.0", "1.2.0", 0},  {"1.2.1", "1.2.0", -1},
        {"2.0.0", "1.9.9", -1},  // the first difference decides
        {"1.9.9", "2.0.0", 1},  {"105", "106", 1},
        {"105", "1.06", 2},     {"105", "105", 0},
        {"1.x", "1.0", 0},  // a part that is not a number counts as 0
        {"1.x", "1.1", 1},      {"", "", 0},
        {"1..2", "1.0.2", 0},  // an empty part counts as 0 too
        {"1.0", "1.0.", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareVersions(std::string_view(c.running), std::string_view(c.newest)),
                  c.expected)
            << c.running << " vs " << c.newest;
    }
    EXPECT_EQ(CompareVersions(u"1.0.9", u"1.0.10"), 1);
}

TEST(AcceptVersionText, TrimsAndKeepsOnlyPlainVersions) {
    struct Case {
        const char* answer;
        size_t maxLength;
        const char* expected;  // nullptr: refused
    };
    const Case cases[] = {
        {"1.0.10", kAppVersionMaxLength, "1.0.10"},
        {"1.0.10\r\n", kAppVersionMaxLength, "1.0.10"},
        {"  \t1.2_beta-3\n", kAppVersionMaxLength, "1.2_beta-3"},
        {"1234567890", kAppVersionMaxLength, "1234567890"},
        {"12345678901", kAppVersionMaxLength, nullptr},  // 11 characters
        {"123456789", kFirmwareVersionMaxLength, "123456789"},
        {"1234567890", kFirmwareVersionMaxLength, nullptr},
        {"", kAppVersionMaxLength, nullptr},
        {"\r\n", kAppVersionMaxLength, nullptr},
        {"<html>", kAppVersionMaxLength, nullptr},
        {"../../x", kAppVersionMaxLength, nullptr},
        {"1.0 1", kAppVersionMaxLength, nullptr},  // inner space
        {"1.0%2F", kAppVersionMaxLength, nullptr},
        {"1.\xc3\xa9", kAppVersionMaxLength, nullptr},  // non-ASCII letter
    };
    for (const Case& c : cases) {
        std::optional<std::string> got = AcceptVersionText(c.answer, c.maxLength);
        if (c.expected == nullptr) {
            EXPECT_FALSE(got.has_value()) << '"' << c.answer << '"';
        } else {
            EXPECT_EQ(got.value_or("<refused>"), c.expected) << '"' << c.answer << '"';
        }
    }
    EXPECT_FALSE(AcceptVersionText(std::string_view("1.0\0x", 5), 10).has_value());
}

TEST(VersionLines, ApplicationLines) {
    EXPECT_EQ(AppVersionLabel(u"New version", "1.0.10"), u"New version: v1.0.10");
    EXPECT_EQ(AppUpdateQuestion(u"New version", "1.0.10", u"update now?"),
              u"New version:V1.0.10, update now?");
}

TEST(VersionLines, FirmwareLinesUseFirstAndLastTwoCharacters) {
    struct Case {
        const char* version;
        const char16_t* shown;
    };
    const Case cases[] = {
        {"105", u"V1.05"}, {"1234", u"V1.34"}, {"12", u"V1.12"}, {"5", u"V5.5"}, {"", u"V."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirmwareVersionLabel(u"New", c.version), std::u16string(u"New: ") + c.shown)
            << c.version;
        EXPECT_EQ(FirmwareUpdateQuestion(u"New", c.version, u"go?"),
                  std::u16string(u"New:") + c.shown + u", go?")
            << c.version;
    }
}

TEST(UpdateNames, AddressesAreUsedAsConfigured) {
    EXPECT_EQ(AppVersionUrl("http://up.example/app/"), "http://up.example/app/version");
    EXPECT_EQ(AppVersionUrl(""), "version");
    EXPECT_EQ(AppArchiveName("1.0.10"), "Mouse-Setup-1.0.10.zip");
    EXPECT_EQ(AppArchiveUrl("http://up.example/app", "Mouse-Setup-1.0.10.zip"),
              "http://up.example/app//Mouse-Setup-1.0.10.zip");
    EXPECT_EQ(AppInstallerName("1.0.10"), "Mouse-Setup-1.0.10.run");
    EXPECT_EQ(FirmwareVersionUrl("http://fw.example"), "http://fw.example/mouse/version");
    EXPECT_EQ(FirmwareArchiveName("106"), "firmware-106.zip");
    EXPECT_EQ(FirmwareArchiveUrl("http://fw.example", "firmware-106.zip"),
              "http://fw.example//mouse//firmware-106.zip");
    EXPECT_EQ(FirmwareImageName("106"), "firmware     -106.bin");
}

TEST(UpdateNames, DownloadedFileStaysInTheFolder) {
    EXPECT_EQ(DownloadedFile("/d/temp/", "firmware-106.zip"), "/d/temp/firmware-106.zip");
    for (std::string_view bad :
         {std::string_view(""), std::string_view("."), std::string_view(".."),
          std::string_view("../x"), std::string_view("a/b"), std::string_view("a\0b", 3)}) {
        EXPECT_EQ(DownloadedFile("/d/temp/", bad), "") << bad;
    }
}

}  // namespace
}  // namespace quillora
