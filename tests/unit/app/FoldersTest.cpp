#include "app/Folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <filesystem>

#include "support/TempDir.h"

namespace quillora {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

TEST(Folders, ApplicationFolderIsExecutableFolderWhenItHoldsConfig) {
    TempDir dir;
    CreateFolder(dir / "bin");
    EXPECT_EQ(ApplicationFolderFor(dir / "bin"), dir / "bin/../share/quillora/");
    TempDir::WriteFile(dir / "bin/config.xml", "<config/>");
    EXPECT_EQ(ApplicationFolderFor(dir / "bin"), dir / "bin/");
}

TEST(Folders, ConfigFolderNamedLikeConfigXmlIsNotTakenForIt) {
    TempDir dir;
    CreateFolder(dir / "bin/config.xml");
    EXPECT_EQ(ApplicationFolderFor(dir / "bin/"), dir / "bin/../share/quillora/");
}

TEST(Folders, OverridesWinAndGainTrailingSlash) {
    FolderOverrides o{"/opt/app", "/tmp/data/", "/tmp/conf"};
    EXPECT_EQ(ApplicationFolder(o), "/opt/app/");
    EXPECT_EQ(ApplicationDataFolder(u"Quillora", o), "/tmp/data/");
    EXPECT_EQ(ConfigFolder(u"Quillora", o), "/tmp/conf/");
}

TEST(Folders, DataFolderFollowsXdgRules) {
    struct Case {
        const char* xdgData;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/x/data", "/home/u", "/x/data/Quillora Files/"},
        {nullptr, "/home/u", "/home/u/.local/share/Quillora Files/"},
        {"relative/ignored", "/home/u", "/home/u/.local/share/Quillora Files/"},
        {"", "/home/u", "/home/u/.local/share/Quillora Files/"},
        {nullptr, nullptr, "/Quillora Files/"},  // no prefix at all: later operations fail
    };
    for (const Case& c : cases) {
        ScopedEnv data("XDG_DATA_HOME", c.xdgData);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(ApplicationDataFolder(u"Quillora"), c.expected);
    }
}

TEST(Folders, ConfigFolderFollowsXdgRules) {
    ScopedEnv home("HOME", "/home/u");
    {
        ScopedEnv conf("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(ConfigFolder(u"Quillora"), "/home/u/.config/Quillora/");
    }
    ScopedEnv conf("XDG_CONFIG_HOME", "/etc/xdg-user");
    EXPECT_EQ(ConfigFolder(u"\u9f20\u6807"), "/etc/xdg-user/\xE9\xBC\xA0\xE6\xA0\x87/");
}

TEST(Folders, DerivedFoldersKeepTheirPatterns) {
    const std::string data = "/home/u/.local/share/Quillora Files/";
    EXPECT_EQ(DatabaseFolder(data), data + "db");
    EXPECT_EQ(DownloadFolder(data), data + "/temp/");
    EXPECT_EQ(SkinFolder("/usr/share/quillora/", "dark/"), "/usr/share/quillora/skins/dark/");
    EXPECT_EQ(DeviceImageFolder("/usr/share/quillora/skins/dark/"),
              "/usr/share/quillora/skins/dark/device/");
}

TEST(Folders, CreateFolderMakesEveryParent) {
    TempDir dir;
    const std::string deep = dir / "a/b/c/db";
    EXPECT_TRUE(CreateFolder(deep));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(CreateFolder(deep));  // already there
    EXPECT_TRUE(CreateFolder(dir / "x//y/temp/"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "x/y/temp"));
}

TEST(Folders, CreateFolderFailsWhereAFileStands) {
    TempDir dir;
    TempDir::WriteFile(dir / "file", "x");
    EXPECT_FALSE(CreateFolder(dir / "file"));
    EXPECT_FALSE(CreateFolder(dir / "file/sub"));
    EXPECT_FALSE(CreateFolder(""));
}

TEST(Folders, CreateFolderFailsInUnwritableParent) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write anywhere";
    }
    TempDir dir;
    CreateFolder(dir / "ro");
    ::chmod((dir / "ro").c_str(), 0555);
    EXPECT_FALSE(CreateFolder(dir / "ro/db"));
    ::chmod((dir / "ro").c_str(), 0755);
}

}  // namespace
}  // namespace quillora
