#include "app/AutoStartEntry.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace quillora {
namespace {

using testing::TempDir;

TEST(AutoStartEntry, EnableWritesDesktopEntryAndDisableRemovesIt) {
    TempDir dir;
    AutoStartEntry entry(dir / "autostart", u"Quillora");
    EXPECT_EQ(entry.FilePath(), dir / "autostart/Quillora.desktop");
    EXPECT_FALSE(entry.IsEnabled());
    ASSERT_TRUE(entry.Enable("/usr/bin/quillora"));
    EXPECT_TRUE(entry.IsEnabled());
    EXPECT_EQ(TempDir::ReadFile(entry.FilePath()),
              "[Desktop Entry]\nType=Application\nName=Quillora\n"
              "Exec=\"/usr/bin/quillora\" -autorun\nTerminal=false\n"
              "X-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(entry.Disable());
    EXPECT_FALSE(entry.IsEnabled());
    EXPECT_TRUE(entry.Disable());  // nothing left to delete is still success
}

TEST(AutoStartEntry, AnyReadableFileCountsAsEnabled) {
    TempDir dir;
    AutoStartEntry entry(dir.Path(), u"Quillora");
    TempDir::WriteFile(entry.FilePath(), "written by hand");
    EXPECT_TRUE(entry.IsEnabled());
    EXPECT_FALSE(entry.ReadExecValue().has_value());
}

TEST(AutoStartEntry, ExecValueQuotesEveryPathSoItStartsAgain) {
    const std::string paths[] = {
        "/usr/bin/quillora",
        "/home/user/My Programs/quillora",
        "/opt/a\"b/quillora",
        "/opt/$HOME/`x`/quillora",
        "/opt/back\\slash/quillora",
        "/opt/100%/quillora",
        "/opt/\xE9\xBC\xA0\xE6\xA0\x87/quillora",
    };
    for (const std::string& path : paths) {
        const std::string value = AutoStartEntry::ExecValue(path);
        const auto args = AutoStartEntry::SplitExecValue(value);
        ASSERT_TRUE(args.has_value()) << value;
        ASSERT_EQ(args->size(), 2u) << value;
        EXPECT_EQ((*args)[0], path) << value;
        EXPECT_EQ((*args)[1], "-autorun") << value;
    }
}

TEST(AutoStartEntry, ExecValueEscapesAsTheFormatRequires) {
    EXPECT_EQ(AutoStartEntry::ExecValue("/a b/q"), "\"/a b/q\" -autorun");
    EXPECT_EQ(AutoStartEntry::ExecValue("/a\\b"), "\"/a\\\\\\\\b\" -autorun");
    EXPECT_EQ(AutoStartEntry::ExecValue("/a$b"), "\"/a\\\\$b\" -autorun");
    EXPECT_EQ(AutoStartEntry::ExecValue("/100%"), "\"/100%%\" -autorun");
}

TEST(AutoStartEntry, StoredEntryReadsBackThroughItsExecLine) {
    TempDir dir;
    AutoStartEntry entry(dir.Path(), u"Quillora");
    ASSERT_TRUE(entry.Enable("/home/u/Mouse Tools/quillora"));
    const auto value = entry.ReadExecValue();
    ASSERT_TRUE(value.has_value());
    const auto args = AutoStartEntry::SplitExecValue(*value);
    ASSERT_TRUE(args.has_value());
    EXPECT_EQ(*args, (std::vector<std::string>{"/home/u/Mouse Tools/quillora", "-autorun"}));
}

TEST(AutoStartEntry, MalformedExecValuesAreRejected) {
    for (const char* bad : {"\"/unclosed", "\"/a\\", "\\q", "\"/50%\""}) {
        EXPECT_FALSE(AutoStartEntry::SplitExecValue(bad).has_value()) << bad;
    }
}

TEST(AutoStartEntry, ProductNameCannotLeaveTheFolder) {
    TempDir dir;
    AutoStartEntry entry(dir.Path(), u"../evil/name");
    EXPECT_EQ(entry.FilePath(), dir.Path() + ".._evil_name.desktop");
}

TEST(AutoStartEntry, UnwritableFolderLeavesAutoStartOff) {
    TempDir dir;
    TempDir::WriteFile(dir / "autostart", "a file, not a folder");
    AutoStartEntry entry(dir / "autostart", u"Quillora");
    EXPECT_FALSE(entry.Enable("/usr/bin/quillora"));
    EXPECT_FALSE(entry.IsEnabled());
}

}  // namespace
}  // namespace quillora
