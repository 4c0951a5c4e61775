#include "update/Archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ZipBuilder.h"
#include "support/TempDir.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteZip;
using testing::ZipEntry;

// An archive, the folder it unpacks into, and a sibling folder that must stay empty.
class ArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::create_directory(dir / "out"));
        ASSERT_TRUE(fs::create_directory(dir / "outside"));
    }
    bool Extract(const std::vector<ZipEntry>& entries, const ExtractOptions& options = {}) {
        EXPECT_TRUE(WriteZip(archive, entries));
        return ExtractArchive(archive, out, options);
    }
    static std::vector<std::string> Files(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(folder)) {
            names.push_back(fs::relative(e.path(), folder).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    void ExpectNothingOutside() {
        EXPECT_TRUE(Files(dir / "outside").empty());
        auto top = Files(dir.Path());
        for (const std::string& name : top) {
            EXPECT_TRUE(name == "a.zip" || name.rfind("out", 0) == 0) << name;
        }
    }

    TempDir dir;
    std::string archive = dir / "a.zip";
    std::string out = dir / "out";
};

TEST_F(ArchiveTest, UnpacksNestedFolders) {
    ASSERT_TRUE(Extract({
        {"Mouse-Setup-1.0.10.run", "#!/bin/sh\n"},
        {"docs/readme.txt", "read me", 0},
        {"docs/deep/er/data.bin", std::string(100000, 'z')},
        {"empty/", ""},
        {"win\\sub\\file.txt", "from windows"},
        {"./dot/./x", "x"},
    }));
    EXPECT_EQ(TempDir::ReadFile(out + "/Mouse-Setup-1.0.10.run"), "#!/bin/sh\n");
    EXPECT_EQ(TempDir::ReadFile(out + "/docs/readme.txt"), "read me");
    EXPECT_EQ(TempDir::ReadFile(out + "/docs/deep/er/data.bin"), std::string(100000, 'z'));
    EXPECT_TRUE(fs::is_directory(out + "/empty"));
    EXPECT_EQ(TempDir::ReadFile(out + "/win/sub/file.txt"), "from windows");
    EXPECT_EQ(TempDir::ReadFile(out + "/dot/x"), "x");
    ExpectNothingOutside();
}

TEST_F(ArchiveTest, ReplacesExistingFiles) {
    TempDir::WriteFile(out + "/firmware.bin", "old and longer");
    ASSERT_TRUE(Extract({{"firmware.bin", "new"}}));
    EXPECT_EQ(TempDir::ReadFile(out + "/firmware.bin"), "new");
}

TEST_F(ArchiveTest, EmptyArchives) {
    // An archive without entries: this minizip will not even open it; either way
    // nothing appears.
    Extract({});
    EXPECT_TRUE(Files(out).empty());
    TempDir::WriteFile(archive, "");
    EXPECT_FALSE(ExtractArchive(archive, out));
    EXPECT_FALSE(ExtractArchive(dir / "missing.zip", out));
    ASSERT_TRUE(WriteZip(archive, {{"a", "b"}}));
    EXPECT_FALSE(ExtractArchive(archive, dir / "no-such-folder"));
}

TEST_F(ArchiveTest, RefusesEntriesThatLeaveTheFolder) {
    const std::string outsidePath = dir / "outside";
    const std::string bad[] = {
        "../evil", "../outside/evil",    "sub/../../evil",
        "..",      "/tmp/quillora-evil", outsidePath + "/evil",
        "\\evil",  "sub\\..\\..\\evil",  "..\\outside\\evil",
    };
    for (const std::string& name : bad) {
        SCOPED_TRACE(name);
        // The good entry comes first: nothing at all is unpacked from a refused archive.
        EXPECT_FALSE(Extract({{"good.txt", "fine"}, {name, "gotcha"}}));
        EXPECT_TRUE(Files(out).empty());
        ExpectNothingOutside();
        fs::remove(archive);
    }
    EXPECT_FALSE(fs::exists("/tmp/quillora-evil"));
}

TEST_F(ArchiveTest, NeverGoesThroughSymbolicLinks) {
    // A link entry is refused, wherever it points.
    EXPECT_FALSE(Extract({{"link", dir / "outside", 0, S_IFLNK | 0777}, {"link/x", "x"}}));
    EXPECT_TRUE(Files(out).empty());
    fs::remove(archive);

    // A link already in the folder is not followed, neither as a folder ...
    fs::create_directory_symlink(dir / "outside", out + "/sub");
    EXPECT_FALSE(Extract({{"sub/x.txt", "x"}}));
    fs::remove(archive);
    // ... nor as the file being replaced.
    TempDir::WriteFile(dir / "victim", "keep");
    fs::create_symlink(dir / "victim", out + "/file.txt");
    ASSERT_TRUE(Extract({{"file.txt", "new"}}));
    EXPECT_FALSE(fs::is_symlink(out + "/file.txt"));
    EXPECT_EQ(TempDir::ReadFile(out + "/file.txt"), "new");
    EXPECT_EQ(TempDir::ReadFile(dir / "victim"), "keep");
    EXPECT_TRUE(Files(dir / "outside").empty());

    // An ordinary Unix mode is fine.
    fs::remove(archive);
    EXPECT_TRUE(Extract({{"tool.run", "#!/bin/sh\n", Z_DEFLATED, S_IFREG | 0755}}));
}

TEST_F(ArchiveTest, CorruptAndTruncatedArchivesFail) {
    struct Case {
        const char* name;
        ZipEntry entry;
        size_t flipAt;  // offset into the entry's data; npos: cut the archive instead
    };
    const std::string text(5000, 'q');
    const Case cases[] = {
        {"deflated data damaged", {"f.bin", text, Z_DEFLATED}, 3},
        {"stored data damaged", {"f.bin", text, 0}, 100},
        {"archive cut in half", {"f.bin", text, 0}, std::string::npos},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteZip(archive, {{"first.txt", "intact", 0}, c.entry}));
        std::string bytes = TempDir::ReadFile(archive);
        if (c.flipAt == std::string::npos) {
            bytes.resize(bytes.size() / 2);
        } else {
            // Local header (30 bytes + name) of the first entry, its data, then ours.
            size_t second = 30 + 9 + 6;
            size_t at = second + 30 + c.entry.name.size() + c.flipAt;
            ASSERT_LT(at, bytes.size());
            bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
        }
        TempDir::WriteFile(archive, bytes);
        EXPECT_FALSE(ExtractArchive(archive, out));
        EXPECT_TRUE(Files(out).empty()) << "files of a failed archive were left";
        ExpectNothingOutside();
    }
}

TEST_F(ArchiveTest, UnpackedSizeIsBounded) {
    ExtractOptions small;
    small.maxTotalBytes = 1500;
    EXPECT_FALSE(Extract({{"a", std::string(1000, 'a')}, {"b", std::string(1000, 'b')}}, small));
    EXPECT_TRUE(Files(out).empty());
    EXPECT_TRUE(Extract({{"a", std::string(1000, 'a')}, {"b", std::string(500, 'b')}}, small));
}

}  // namespace
}  // namespace quillora
