#include "app/SettingsRegistry.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/Folders.h"
#include "support/TempDir.h"

namespace quillora {
namespace {

using testing::TempDir;

class SettingsRegistryTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string folder = dir / "conf/Quillora";
    SettingsRegistry registry{folder};

    void WriteRaw(const std::string& content) {
        CreateFolder(folder);
        TempDir::WriteFile(registry.FilePath(), content);
    }
};

TEST_F(SettingsRegistryTest, FirstLanguageReadCreatesTheKey) {
    EXPECT_FALSE(std::filesystem::exists(registry.FilePath()));
    EXPECT_EQ(registry.ReadLanguage(), 0);
    EXPECT_TRUE(std::filesystem::exists(registry.FilePath()));
}

TEST_F(SettingsRegistryTest, WritesBeforeTheKeyExistsAreNotKept) {
    EXPECT_FALSE(registry.WriteDeviceType(105));
    EXPECT_FALSE(registry.WriteString("exit_mode", "1"));
    EXPECT_FALSE(std::filesystem::exists(registry.FilePath()));
    EXPECT_EQ(registry.ReadDeviceType(), 0);
}

TEST_F(SettingsRegistryTest, DeviceTypeReadNeverCreatesTheKey) {
    EXPECT_EQ(registry.ReadDeviceType(), 0);
    EXPECT_FALSE(std::filesystem::exists(registry.FilePath()));
}

TEST_F(SettingsRegistryTest, NamedReadCreatesTheKey) {
    EXPECT_EQ(registry.ReadInt("exit_mode"), 0);
    EXPECT_TRUE(std::filesystem::exists(registry.FilePath()));
}

TEST_F(SettingsRegistryTest, ValuesRoundTripAsDecimalText) {
    registry.ReadLanguage();
    EXPECT_TRUE(registry.WriteLanguage(2052));
    EXPECT_TRUE(registry.WriteDeviceType(101));
    EXPECT_TRUE(registry.WriteString("exit_mode", "1"));
    EXPECT_TRUE(registry.WriteString("autorun_minimize", "0"));
    EXPECT_TRUE(registry.WriteDeviceType(-3));
    EXPECT_EQ(registry.ReadLanguage(), 2052);
    EXPECT_EQ(registry.ReadDeviceType(), -3);
    EXPECT_EQ(registry.ReadInt("exit_mode"), 1);
    EXPECT_EQ(registry.ReadInt("autorun_minimize"), 0);
    EXPECT_EQ(TempDir::ReadFile(registry.FilePath()),
              "LCID=2052\nDeviceType=-3\nexit_mode=1\nautorun_minimize=0\n");
}

TEST_F(SettingsRegistryTest, ReadRulesOfStoredTexts) {
    struct Case {
        const char* stored;
        int value;
    } cases[] = {
        {"LCID=1033\n", 1033}, {"LCID=\n", 0},   {"LCID=abc\n", 0},
        {"lcid=1041\n", 1041},  // value names ignore case
        {"LCID= 7x\n", 7},     {"Other=5\n", 0}, {"garbage line\nLCID=1045", 1045},
    };
    for (const Case& c : cases) {
        WriteRaw(c.stored);
        EXPECT_EQ(registry.ReadLanguage(), c.value) << c.stored;
    }
}

TEST_F(SettingsRegistryTest, UnreadableKeyGivesChineseForTheLanguageOnly) {
    // A folder where the file should be: it can be neither opened as a file nor made.
    CreateFolder(registry.FilePath());
    EXPECT_EQ(registry.ReadLanguage(), 2052);
    EXPECT_EQ(registry.ReadDeviceType(), 0);
    EXPECT_EQ(registry.ReadInt("exit_mode"), 0);
    EXPECT_FALSE(registry.WriteLanguage(1033));
}

TEST_F(SettingsRegistryTest, KeyThatCannotBeCreatedGivesChinese) {
    TempDir::WriteFile(dir / "conf", "a file where the folder should be");
    EXPECT_EQ(registry.ReadLanguage(), 2052);
    EXPECT_EQ(registry.ReadInt("exit_mode"), 0);
}

TEST_F(SettingsRegistryTest, RefusesTextsThatWouldBreakTheFile) {
    registry.ReadLanguage();
    EXPECT_FALSE(registry.WriteString("exit_mode", "1\nLCID=5"));
    EXPECT_FALSE(registry.WriteString("a=b", "1"));
    EXPECT_FALSE(registry.WriteString("", "1"));
    EXPECT_EQ(registry.ReadLanguage(), 0);
}

TEST_F(SettingsRegistryTest, WriteLeavesNoTemporaryFiles) {
    registry.ReadLanguage();
    registry.WriteLanguage(1033);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "settings.reg" || name == "settings.lock") << name;
    }
}

TEST_F(SettingsRegistryTest, ConcurrentWritersLoseNoValue) {
    registry.ReadLanguage();
    // Two registry objects stand for two processes sharing the file.
    SettingsRegistry other{folder};
    std::thread a([&] {
        for (int i = 0; i < 200; ++i)
            registry.WriteString("a" + std::to_string(i % 10), "1");
    });
    std::thread b([&] {
        for (int i = 0; i < 200; ++i)
            other.WriteString("b" + std::to_string(i % 10), "2");
    });
    a.join();
    b.join();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(registry.ReadInt("a" + std::to_string(i)), 1) << i;
        EXPECT_EQ(registry.ReadInt("b" + std::to_string(i)), 2) << i;
    }
}

}  // namespace
}  // namespace quillora
