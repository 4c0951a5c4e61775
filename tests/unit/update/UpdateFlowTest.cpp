// The application and firmware updates from the server's archive to the installer
// start and the reports sent to the mouse.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "TestHttpServer.h"
#include "ZipBuilder.h"
#include "support/TempDir.h"
#include "update/ApplicationUpdate.h"
#include "update/FirmwareUpdate.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;
using testing::HttpReply;
using testing::ScopedEnv;
using testing::TempDir;
using testing::TestHttpServer;
using testing::WriteZip;
using testing::ZipEntry;

std::string ZipBytes(const std::vector<ZipEntry>& entries) {
    TempDir tmp;
    EXPECT_TRUE(WriteZip(tmp / "z.zip", entries));
    return TempDir::ReadFile(tmp / "z.zip");
}

class UpdateFlowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.Running()); }

    std::string DataFolder() const { return dir / "data"; }
    std::string DownloadDir() const { return DataFolder() + "/temp/"; }
    bool CreateFolderForTest() const { return fs::create_directories(DownloadDir()); }

    ScopedEnv noProxy{"no_proxy", "*"};
    ScopedEnv noProxyUpper{"NO_PROXY", "*"};
    TestHttpServer server;
    TempDir dir;
};

TEST_F(UpdateFlowTest, ApplicationInstallerIsDownloadedAndUnpacked) {
    server.Serve("/app//Mouse-Setup-1.0.10.zip",
                 {200, ZipBytes({{"Mouse-Setup-1.0.10.run", "#!/bin/sh\n"}, {"notes.txt", "n"}})});
    std::vector<int> progress;
    std::string installer = DownloadAppInstaller(server.Url("/app"), "1.0.10", DataFolder(),
                                                 [&](int p) { progress.push_back(p); });
    EXPECT_EQ(installer, DownloadDir() + "Mouse-Setup-1.0.10.run");
    EXPECT_EQ(TempDir::ReadFile(installer), "#!/bin/sh\n");
    EXPECT_FALSE(fs::exists(DownloadDir() + "Mouse-Setup-1.0.10.zip"));  // deleted once unpacked
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
}

TEST_F(UpdateFlowTest, ApplicationUpdateStopsWithoutInstaller) {
    server.Serve("/app//Mouse-Setup-2.0.zip", {200, ZipBytes({{"Mouse-Setup-2.0.exe", "MZ"}})});
    server.Serve("/app//Mouse-Setup-2.1.zip", {200, "<html>not a zip</html>"});
    EXPECT_EQ(DownloadAppInstaller(server.Url("/app"), "2.0", DataFolder()), "");
    EXPECT_EQ(DownloadAppInstaller(server.Url("/app"), "2.1", DataFolder()), "");
    EXPECT_TRUE(fs::exists(DownloadDir() + "Mouse-Setup-2.1.zip"));  // kept: it did not unpack
    EXPECT_EQ(DownloadAppInstaller(server.Url("/app"), "3.0", DataFolder()), "");  // 404
    // Neither a path-like version nor a relative data folder gets as far as a request.
    size_t requests = server.Requests().size();
    EXPECT_EQ(DownloadAppInstaller(server.Url("/app"), "../../x", DataFolder()), "");
    EXPECT_EQ(DownloadAppInstaller(server.Url("/app"), "2.0", ""), "");
    EXPECT_EQ(server.Requests().size(), requests);
}

// Waits for a file to appear, for at most ten seconds (the installer runs on its own).
bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 1000; ++i) {
        if (fs::exists(path)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(UpdateFlowTest, InstallerStartsAsItsOwnProcess) {
    const std::string marker = dir / "installed";
    const std::string script = dir / "Mouse-Setup-1.0.run";
    // The script records its process id, its session and its standard input.
    TempDir::WriteFile(script,
                       "#!/bin/sh\n"
                       "{ echo $$; cut -d' ' -f6 /proc/$$/stat; readlink /proc/$$/fd/0; }"
                       " > \"" +
                           marker +
                           ".tmp\"\n"
                           "mv \"" +
                           marker + ".tmp\" \"" + marker + "\"\n");
    ::chmod(script.c_str(), 0644);  // as unpacked: not executable yet
    ASSERT_TRUE(StartInstaller(script));
    ASSERT_TRUE(WaitForFile(marker));
    int status = 0;
    pid_t child = ::waitpid(-1, &status, 0);
    std::istringstream lines(TempDir::ReadFile(marker));
    pid_t pid = 0;
    pid_t session = 0;
    std::string input;
    lines >> pid >> session >> input;
    EXPECT_EQ(pid, child);
    EXPECT_EQ(session, pid) << "not in a session of its own";
    EXPECT_NE(session, ::getsid(0));
    EXPECT_EQ(input, "/dev/null");
    struct stat st;
    ASSERT_EQ(::stat(script.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
}

TEST_F(UpdateFlowTest, InstallerThatCannotStart) {
    TempDir::WriteFile(dir / "garbage.run", std::string("\x7f"
                                                        "ELF garbage",
                                                        12));
    ASSERT_TRUE(fs::create_directory(dir / "folder.run"));
    for (const std::string& path : {dir / "missing.run", dir / "garbage.run", dir / "folder.run"}) {
        EXPECT_FALSE(StartInstaller(path)) << path;
    }
}

TEST_F(UpdateFlowTest, PackageManagedInstallations) {
    TempDir::WriteFile(dir / "quillora", "");
    EXPECT_FALSE(InstalledByPackageManager(dir / "quillora", dir.Path()));
    EXPECT_TRUE(InstalledByPackageManager("/usr/bin/quillora", "/usr/share/quillora/"));
    EXPECT_TRUE(InstalledByPackageManager(dir / "missing", dir.Path()));
    EXPECT_TRUE(InstalledByPackageManager(dir / "quillora", dir / "missing/"));
    if (::geteuid() != 0) {  // root may write anywhere
        ::chmod((dir / "quillora").c_str(), 0555);
        EXPECT_TRUE(InstalledByPackageManager(dir / "quillora", dir.Path()));
    }
}

std::vector<std::uint8_t> Image(size_t n) {
    std::vector<std::uint8_t> image(n);
    for (size_t i = 0; i < n; ++i) {
        image[i] = static_cast<std::uint8_t>(i * 13 + 5);
    }
    return image;
}

std::string AsText(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

struct StepLog {
    std::vector<std::pair<int, int>> steps;
    UpgradeProgress Fn() {
        return [this](int p, int t) {
            if (t != kTextUpgradeWriting) {
                steps.emplace_back(p, t);
            }
        };
    }
};

TEST_F(UpdateFlowTest, FirmwareUpgradeEndToEnd) {
    std::vector<std::uint8_t> image = Image(100);
    server.Serve("/fw//mouse//firmware-106.zip",
                 {200, ZipBytes({{"firmware     -106.bin", AsText(image)}})});
    ASSERT_TRUE(CreateFolderForTest());
    TempDir::WriteFile(DownloadDir() + "stale.bin", "left from before");

    StepLog log;
    std::optional<FirmwareImage> got =
        DownloadFirmwareImage(server.Url("/fw"), "106", DataFolder(), log.Fn());
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->bytes, image);
    EXPECT_EQ(got->path, DownloadDir() + "firmware     -106.bin");
    EXPECT_FALSE(fs::exists(DownloadDir() + "stale.bin"));  // the folder starts empty
    EXPECT_FALSE(fs::exists(DownloadDir() + "firmware-106.zip"));

    std::vector<UpgradeReport> sent;
    UpgradeReportSender send = [&](const UpgradeReport& r) {
        sent.push_back(r);
        return true;
    };
    EXPECT_EQ(FinishFirmwareUpgrade(*got, send, log.Fn(), {}), FirmwareWrite::Written);
    EXPECT_EQ(sent.size(), 5u);  // start, two full, one short, end
    EXPECT_FALSE(fs::exists(got->path));
    EXPECT_EQ(log.steps,
              (std::vector<std::pair<int, int>>{{5, 590}, {7, 591}, {10, 591}, {100, 593}}));
}

TEST_F(UpdateFlowTest, FirmwareUpgradeStopsEarly) {
    struct Case {
        const char* name;
        std::string archive;  // empty: the server has none
        std::vector<std::pair<int, int>> steps;
    };
    const Case cases[] = {
        {"no archive on the server", "", {{5, 590}}},
        {"archive without the image", ZipBytes({{"firmware-106.bin", "x"}}), {{5, 590}, {7, 591}}},
        {"empty image", ZipBytes({{"firmware     -106.bin", ""}}), {{5, 590}, {7, 591}}},
        {"image over 1 MiB",
         ZipBytes({{"firmware     -106.bin", std::string(kMaxFirmwareImageSize + 1, 'x')}}),
         {{5, 590}, {7, 591}}},
        {"archive over the bound", std::string(kMaxFirmwareArchiveBytes + 1, 'x'), {{5, 590}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.archive.empty()) {
            server.Serve("/fw//mouse//firmware-106.zip", {404, "<html>no</html>"});
        } else {
            server.Serve("/fw//mouse//firmware-106.zip", {200, c.archive});
        }
        StepLog log;
        EXPECT_FALSE(DownloadFirmwareImage(server.Url("/fw"), "106", DataFolder(), log.Fn()));
        EXPECT_EQ(log.steps, c.steps);
    }
}

TEST_F(UpdateFlowTest, FirmwareWithoutUpgradeInterfaceStillCleansUp) {
    TempDir::WriteFile(dir / "image.bin", AsText(Image(96)));
    FirmwareImage image{dir / "image.bin", Image(96)};
    StepLog log;
    EXPECT_EQ(FinishFirmwareUpgrade(image, UpgradeReportSender{}, log.Fn(), {}),
              FirmwareWrite::StartFailed);
    EXPECT_FALSE(fs::exists(dir / "image.bin"));
    EXPECT_EQ(log.steps, (std::vector<std::pair<int, int>>{{100, 593}}));
}

}  // namespace
}  // namespace quillora
