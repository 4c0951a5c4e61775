// The update tasks from the server's answers to what the view shows, the installer
// that starts and the firmware the simulated mouse's upgrade interface reassembles.

#include "update/UpdateTasks.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <numeric>

#include "TestHttpServer.h"
#include "ZipBuilder.h"
#include "app/Utf8.h"
#include "device/DeviceTask.h"
#include "sim/SimBus.h"
#include "support/RecordingMainView.h"
#include "support/TempDir.h"
#include "update/UpgradeReports.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;
using testing::HttpReply;
using testing::RecordingMainView;
using testing::ScopedEnv;
using testing::TempDir;
using testing::TestHttpServer;
using Calls = std::vector<std::string>;

constexpr int kModel = 7;
const sim::UsbIdentity kCable{0x3151, 0x4010, 0x0105, u"Sim Mouse"};
const sim::UsbIdentity kReceiver{0x3151, 0x4011, 0x0102, u"Sim Receiver"};

std::string ZipBytes(const std::vector<testing::ZipEntry>& entries) {
    TempDir tmp;
    EXPECT_TRUE(testing::WriteZip(tmp / "z.zip", entries));
    return TempDir::ReadFile(tmp / "z.zip");
}

class RecordingWireLog : public WireLogSink {
  public:
    void Record(WireDirection d, int index, std::span<const std::uint8_t> bytes) override {
        std::lock_guard<std::mutex> guard(mutex);
        lines.push_back(FormatWireLine(d, index, bytes));
    }
    std::mutex mutex;
    std::vector<std::string> lines;
};

class UpdateTasksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Running());
        link.SetWireLog(&wire);
        link.AddSupportedDevice({kCable.vendor_id, kCable.product_id, kModel, kLinkCable, u"QM01"});
        link.AddSupportedDevice(
            {kReceiver.vendor_id, kReceiver.product_id, kModel, kLinkReceiver, u"QM01"});
        config.runningVersion = "1.0.9";
        config.updateAddress = server.Url("/app/");
        config.text = [](int number) -> std::u16string {
            switch (number) {
                case 580:
                    return u"Up to date";
                case 582:
                    return u"New version";
                default:
                    return u"?";
            }
        };
        config.http.stallTime = std::chrono::seconds(1);
        config.http.connectTimeout = std::chrono::seconds(2);
    }

    void Discover() {
        link.CloseAll();
        link.EnumerateDevice();
        link.SetOpen(true);
        link.SelectDeviceType(kModel);
    }

    DeviceState State() const { return session.Snapshot(); }
    void SetState(const std::function<void(DeviceState&)>& change) { session.Update(change); }

    ScopedEnv noProxy{"no_proxy", "*"};
    ScopedEnv noProxyUpper{"NO_PROXY", "*"};
    TestHttpServer server;
    TempDir dir;
    ManualClock clock;
    sim::SimBus bus{clock};
    HidDeviceLink link{bus, clock};
    RecordingWireLog wire;
    DataStore store;
    DeviceSession session;
    RecordingMainView view;
    SettingsRegistry registry{dir / "config"};
    DeviceCatalog catalog;
    DescriptionHolder description;
    DeviceContext context{link,  store,   session,     view,         registry,
                          clock, catalog, description, dir / "app/", dir / "data/"};
    UpdateConfig config;
};

// --- Task 23 -----------------------------------------------------------------------

TEST_F(UpdateTasksTest, AppVersionCheckAgainstTheServer) {
    HttpReply stall{200, "1.0.10"};
    stall.stallAfter = 0;
    HttpReply htmlError{404, "<html><body>Not Found</body></html>"};
    struct Case {
        const char* name;
        std::string running;
        HttpReply reply;  // status 0: nothing listens
        Calls calls;
        int state;  // the update state afterwards (it starts at 1)
        std::u16string newest;
    };
    const Calls offered = {"SetAppUpdateStatus New version: v1.0.10 1", "PostVersionNotice 1"};
    const Calls upToDate = {"SetAppUpdateStatus Up to date 0"};
    const Case cases[] = {
        {"newer last part (10 > 9)", "1.0.9", {200, "1.0.10"}, offered, 1, u"1.0.10"},
        {"different number of parts",
         "1.0.1",
         {200, "1.1"},
         {"SetAppUpdateStatus New version: v1.1 1", "PostVersionNotice 1"},
         1,
         u"1.1"},
        {"same version", "1.2.0", {200, "1.2.0"}, upToDate, 2, u"1.2.0"},
        {"older on the server", "2.0.0", {200, "1.9.9"}, upToDate, 2, u"1.9.9"},
        {"answer ending in CR LF", "1.0.9", {200, "1.0.10\r\n"}, offered, 1, u"1.0.10"},
        {"HTML error page", "1.0.9", htmlError, {}, 1, u""},
        {"HTML page with status 200", "1.0.9", {200, "<html>maintenance</html>"}, {}, 1, u""},
        {"eleven characters", "1.0.9", {200, "1.0.10.1234"}, {}, 1, u""},
        {"refused connection", "1.0.9", {0, ""}, {}, 1, u""},
        {"stall after the headers", "1.0.9", stall, {}, 1, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.Clear();
        SetState([](DeviceState& s) {
            s.appUpdateState = 1;
            s.newestAppVersion = u"stale";
        });
        config.runningVersion = c.running;
        if (c.reply.status == 0) {
            config.updateAddress =
                "http://127.0.0.1:" + std::to_string(testing::UnusedPort()) + "/app/";
        } else {
            config.updateAddress = server.Url("/app/");
            server.Serve("/app/version", c.reply);
        }
        CheckAppVersion(context, config);
        EXPECT_EQ(view.Calls(), c.calls);
        EXPECT_EQ(State().appUpdateState, c.state);
        EXPECT_EQ(State().newestAppVersion, c.newest);
        EXPECT_FALSE(State().appUpdateViaWebsite);
    }
}

TEST_F(UpdateTasksTest, PackageManagedCopyIsOfferedTheWebsite) {
    server.Serve("/app/version", {200, "1.0.10"});
    config.packageManaged = true;
    CheckAppVersion(context, config);
    EXPECT_EQ(view.Calls(),
              (Calls{"SetAppUpdateStatus New version: v1.0.10 1", "PostVersionNotice 1"}));
    EXPECT_TRUE(State().appUpdateViaWebsite);

    // Nothing is downloaded for such a copy, and the download window is told so.
    view.Clear();
    const size_t requests = server.Requests().size();
    EXPECT_FALSE(UpdateApplication(context, config));
    EXPECT_EQ(view.Calls(), (Calls{"PostDownloadProgress -1"}));
    EXPECT_EQ(server.Requests().size(), requests);

    // Not newer: no website either.
    server.Serve("/app/version", {200, "1.0.9"});
    CheckAppVersion(context, config);
    EXPECT_FALSE(State().appUpdateViaWebsite);
}

// --- Task 26 -----------------------------------------------------------------------

// A FIFO the installer writes to, read with a bounded wait: the installer runs as a
// process of its own, and its line shows that it started.
class Fifo {
  public:
    explicit Fifo(std::string path) : path_(std::move(path)) {
        if (::mkfifo(path_.c_str(), 0600) == 0) {
            fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        }
    }
    ~Fifo() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool Ok() const { return fd_ >= 0; }
    // The first line written, or empty when no writer came within ten seconds.
    std::string ReadLine() {
        std::string text;
        while (text.find('\n') == std::string::npos) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0) {
                break;
            }
            char buffer[256];
            ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            text.append(buffer, static_cast<size_t>(n));
        }
        return text.substr(0, text.find('\n'));
    }

  private:
    std::string path_;
    int fd_ = -1;
};

TEST_F(UpdateTasksTest, ApplicationUpdateStartsTheInstallerAndEnds) {
    Fifo fifo(dir / "started");
    ASSERT_TRUE(fifo.Ok());
    const std::string script = "#!/bin/sh\necho \"installer $0\" > '" + (dir / "started") + "'\n";
    server.Serve("/app/version", {200, "1.0.10"});
    server.Serve("/app///Mouse-Setup-1.0.10.zip",
                 {200, ZipBytes({{"Mouse-Setup-1.0.10.run", script}, {"README", "r"}})});

    CheckAppVersion(context, config);
    view.Clear();
    ASSERT_TRUE(UpdateApplication(context, config));
    const std::string installer = dir / "data/" + "/temp/Mouse-Setup-1.0.10.run";
    EXPECT_EQ(fifo.ReadLine(), "installer " + installer);
    int status = 0;
    EXPECT_GT(::waitpid(-1, &status, 0), 0);

    Calls calls = view.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), "PostDownloadProgress 0");
    EXPECT_EQ(calls[calls.size() - 2], "PostDownloadProgress 100");
    EXPECT_EQ(calls.back(), "EndProgram 0");
    EXPECT_FALSE(fs::exists(dir / "data/" + "/temp/Mouse-Setup-1.0.10.zip"));
    EXPECT_EQ(server.Requests().back(), "/app///Mouse-Setup-1.0.10.zip");
}

TEST_F(UpdateTasksTest, ApplicationUpdateWithoutInstallerDoesNotEnd) {
    struct Case {
        const char* name;
        std::string newest;
        HttpReply archive;  // status 0: none served
    };
    const Case cases[] = {
        {"no archive on the server", "2.0", {0, ""}},
        {"archive that is no zip", "2.1", {200, "<html>oops</html>"}},
        {"archive without the installer", "2.2", {200, ZipBytes({{"Mouse-Setup-2.2.exe", "MZ"}})}},
        {"installer that cannot start",
         "2.3",
         {200, ZipBytes({{"Mouse-Setup-2.3.run",
                          "\x7f"
                          "ELF"}})}},
        {"no version checked", "", {0, ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.Clear();
        SetState([&](DeviceState& s) { s.newestAppVersion = FromUtf8(c.newest); });
        if (c.archive.status != 0) {
            server.Serve("/app///Mouse-Setup-" + c.newest + ".zip", c.archive);
        }
        EXPECT_FALSE(UpdateApplication(context, config));
        Calls calls = view.Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), "PostDownloadProgress -1");
        EXPECT_FALSE(view.Has("EndProgram 0"));
    }
}

// --- Task 24 -----------------------------------------------------------------------

TEST_F(UpdateTasksTest, FirmwareVersionCheck) {
    struct Case {
        const char* name;
        std::u16string mouse;
        std::string answer;  // empty: the model has no firmware address
        Calls calls;
        int state;  // starts at 0
        std::u16string newest;
    };
    const Case cases[] = {
        {"106 over 105",
         u"105",
         "106",
         {"SetFirmwareUpdateStatus New version: V1.06 1", "PostVersionNotice 2"},
         1,
         u"106"},
        {"different number of parts",
         u"105",
         "1.06",
         {"SetFirmwareUpdateStatus New version: V1.06 1", "PostVersionNotice 2"},
         1,
         u"1.06"},
        {"same version", u"105", "105", {"SetFirmwareUpdateStatus Up to date 0"}, 2, u"105"},
        {"answer with CR LF",
         u"105",
         "107\r\n",
         {"SetFirmwareUpdateStatus New version: V1.07 1", "PostVersionNotice 2"},
         1,
         u"107"},
        {"mouse version not read yet", u"", "106", {}, 0, u"106"},
        {"ten characters", u"105", "1.0.6.7890", {}, 0, u""},
        {"no firmware address", u"105", "", {}, 0, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.Clear();
        SetState([&](DeviceState& s) {
            s.firmwareVersion = c.mouse;
            s.newestFirmwareVersion = u"stale";
            s.firmwareUpdateState = 0;
        });
        description.Update([&](DeviceDescription& d) {
            d.firmwareUrl = c.answer.empty() ? u"" : FromUtf8(server.Url("/fw"));
        });
        server.Serve("/fw/mouse/version", {200, c.answer});
        const size_t requests = server.Requests().size();
        CheckFirmwareVersion(context, config);
        EXPECT_EQ(view.Calls(), c.calls);
        EXPECT_EQ(State().firmwareUpdateState, c.state);
        EXPECT_EQ(State().newestFirmwareVersion, c.newest);
        EXPECT_EQ(server.Requests().size(), requests + (c.answer.empty() ? 0 : 1));
    }
}

TEST_F(UpdateTasksTest, EngineHookRunsTheFirmwareCheck) {
    server.Serve("/fw/mouse/version", {200, "106"});
    description.Update([&](DeviceDescription& d) { d.firmwareUrl = FromUtf8(server.Url("/fw")); });
    SetState([](DeviceState& s) { s.firmwareVersion = u"105"; });
    std::function<void()> hook = FirmwareCheckAfterRead(context, config);
    config.text = {};  // the hook keeps its own copy
    hook();
    EXPECT_EQ(view.Calls(),
              (Calls{"SetFirmwareUpdateStatus New version: V1.06 1", "PostVersionNotice 2"}));
}

// --- Task 27 -----------------------------------------------------------------------

std::vector<std::uint8_t> Image(size_t n) {
    std::vector<std::uint8_t> image(n);
    for (size_t i = 0; i < n; ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + 3 + i / 251);
    }
    return image;
}

// The image as the mouse reassembles it: the last block filled up with 0xFF.
std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> image) {
    image.resize((image.size() + 15) / 16 * 16, 0xFF);
    return image;
}

class FirmwareUpgradeTaskTest : public UpdateTasksTest {
  protected:
    void SetUp() override {
        UpdateTasksTest::SetUp();
        description.Update(
            [&](DeviceDescription& d) { d.firmwareUrl = FromUtf8(server.Url("/fw")); });
        SetState([](DeviceState& s) {
            s.firmwareVersion = u"105";
            s.newestFirmwareVersion = u"106";
        });
    }

    void ServeImage(const std::vector<std::uint8_t>& image) {
        server.Serve(
            "/fw//mouse//firmware-106.zip",
            {200, ZipBytes({{"firmware     -106.bin", std::string(image.begin(), image.end())}})});
    }

    sim::UnitId PlugCable() {
        sim::UnitId unit = bus.PlugCable(std::make_shared<sim::SimMouse>(), kCable);
        Discover();
        return unit;
    }

    // The upgrade progress steps, without the writing percentages (text 592).
    std::vector<std::pair<int, int>> Steps() const { return StepsOf(false); }
    // Only the writing percentages.
    std::vector<int> Writing() const {
        std::vector<int> values;
        for (const auto& [percent, text] : StepsOf(true)) {
            values.push_back(percent);
        }
        return values;
    }
    std::vector<std::string> UpgradeWireLines() {
        std::lock_guard<std::mutex> guard(wire.mutex);
        std::vector<std::string> lines;
        for (const std::string& l : wire.lines) {
            if (l.rfind("W U ", 0) == 0 || l.rfind("R U ", 0) == 0) {
                lines.push_back(l);
            }
        }
        return lines;
    }
    bool ImageFileLeft() const { return fs::exists(dir / "data/" + "/temp/firmware     -106.bin"); }

  private:
    std::vector<std::pair<int, int>> StepsOf(bool writing) const {
        std::vector<std::pair<int, int>> steps;
        for (const std::string& call : view.Calls()) {
            int percent = 0;
            int text = 0;
            if (std::sscanf(call.c_str(), "ShowUpgradeProgress %d %d", &percent, &text) == 2 &&
                (text == kTextUpgradeWriting) == writing) {
                steps.emplace_back(percent, text);
            }
        }
        return steps;
    }
};

const std::vector<std::pair<int, int>> kAllSteps = {{5, 590}, {7, 591}, {10, 591}, {100, 593}};

TEST_F(FirmwareUpgradeTaskTest, ImagesReassembledByTheMouse) {
    struct Case {
        size_t size;
        std::vector<int> lengths;  // length bytes of the data reports
        std::vector<int> writing;  // percentages; empty: checked by shape below
    };
    std::vector<int> full64k(65536 / 48, 60);
    full64k.push_back(20);  // 16 bytes left: one sub-block
    std::vector<int> full1m(1048576 / 48, 60);
    full1m.push_back(20);
    const Case cases[] = {
        {20, {40}, {}},
        {80, {60, 40}, {100}},
        {96, {60, 60}, {55, 100}},
        {100, {60, 60, 20}, {55, 100}},
        {64 * 1024, full64k, {}},
        {1024 * 1024, full1m, {}},  // the largest image: block numbers up to 65535
    };
    sim::UnitId unit = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        view.Clear();
        bus.Pull(unit);
        unit = PlugCable();
        const std::vector<std::uint8_t> image = Image(c.size);
        ServeImage(image);
        const auto before = clock.Now();

        EXPECT_EQ(UpgradeFirmware(context, config), FirmwareUpgradeResult::Written);

        const sim::UpgradeRecord rec = bus.UpgradeRecordOf(unit).value();
        EXPECT_TRUE(rec.started);
        EXPECT_TRUE(rec.ended);
        EXPECT_EQ(rec.bad_checks + rec.bad_numbers + rec.bad_layout, 0);
        EXPECT_TRUE(rec.image == Padded(image)) << rec.image.size() << " bytes reassembled";
        std::vector<int> blocks((c.size + 15) / 16);
        std::iota(blocks.begin(), blocks.end(), 0);
        EXPECT_TRUE(rec.blocks == blocks);
        EXPECT_TRUE(rec.data_lengths == c.lengths);
        EXPECT_EQ(rec.writes_refused, 0);
        EXPECT_EQ(UpgradeWireLines().size(), c.lengths.size() + 2);  // start and end as well

        EXPECT_EQ(Steps(), kAllSteps);
        const std::vector<int> writing = Writing();
        const size_t fullReports = c.size / 48;
        ASSERT_EQ(writing.size(), fullReports);
        if (!c.writing.empty() || fullReports == 0) {
            EXPECT_EQ(writing, c.writing);
        } else {
            EXPECT_EQ(writing.front(), 10);
            EXPECT_EQ(writing.back(), 100);
            EXPECT_TRUE(std::is_sorted(writing.begin(), writing.end()));
        }
        // The two 10 ms pauses after the first data reports, on the engine's clock.
        EXPECT_EQ(clock.Now() - before,
                  std::chrono::milliseconds(fullReports >= 2 ? 20 : 10 * fullReports));
        EXPECT_FALSE(ImageFileLeft());
        std::lock_guard<std::mutex> guard(wire.mutex);
        wire.lines.clear();
    }
}

TEST_F(FirmwareUpgradeTaskTest, WhatTheWireCarries) {
    PlugCable();
    ServeImage(Image(100));
    ASSERT_EQ(UpgradeFirmware(context, config), FirmwareUpgradeResult::Written);
    const std::vector<std::string> lines = UpgradeWireLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(0, 20), "W U 05 02 02 00 01 F");
    EXPECT_EQ(lines[1].substr(0, 22), "W U 05 02 3C 00 00 00 ");  // block 0
    EXPECT_EQ(lines[2].substr(0, 22), "W U 05 02 3C 00 03 00 ");  // block 3
    EXPECT_EQ(lines[3].substr(0, 22), "W U 05 02 14 00 06 00 ");  // block 6, four bytes
    EXPECT_EQ(lines[4].substr(0, 20), "W U 05 02 06 00 02 F");
    for (const std::string& l : lines) {
        EXPECT_EQ(l.size(), 4 + 64 * 3 - 1);
    }
}

TEST_F(FirmwareUpgradeTaskTest, FailuresOnTheWayToTheMouse) {
    struct Case {
        const char* name;
        bool receiverOnly;  // no upgrade interface: the receiver has none
        sim::UpgradeFaults faults;
        FirmwareUpgradeResult result;
        bool started, ended;
        std::vector<int> blocks;
        std::vector<int> writing;
    };
    const Case cases[] = {
        {"no upgrade interface",
         true,
         {},
         FirmwareUpgradeResult::NoUpgradeInterface,
         false,
         false,
         {},
         {}},
        {"start report fails",
         false,
         {0, 2, true, -1},
         FirmwareUpgradeResult::StartFailed,
         false,
         false,
         {},
         {}},
        {"second data report fails",
         false,
         {2, 2, true, -1},
         FirmwareUpgradeResult::TransferFailed,
         true,
         false,
         {0, 1, 2},
         {55}},
        {"retried report answered",
         false,
         {2, 1, true, -1},
         FirmwareUpgradeResult::Written,
         true,
         true,
         {0, 1, 2, 3, 4, 5, 6},
         {55, 100}},
        {"retried report taken but not answered",
         false,
         {2, 1, false, -1},
         FirmwareUpgradeResult::TransferFailed,
         true,
         false,
         {0, 1, 2, 3, 4, 5},
         {55}},
        {"mouse vanishes mid-transfer",
         false,
         {-1, 0, true, 2},
         FirmwareUpgradeResult::TransferFailed,
         true,
         false,
         {0, 1, 2},
         {55}},
    };
    ServeImage(Image(100));
    sim::UnitId unit = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.Clear();
        bus.Pull(unit);
        if (c.receiverOnly) {
            unit = bus.PlugReceiver(std::make_shared<sim::SimMouse>(), kReceiver);
            Discover();
        } else {
            unit = PlugCable();
            bus.SetUpgradeFaults(unit, c.faults);
        }

        EXPECT_EQ(UpgradeFirmware(context, config), c.result);

        EXPECT_EQ(Steps(), kAllSteps);
        EXPECT_EQ(Writing(), c.writing);
        EXPECT_FALSE(ImageFileLeft());
        std::optional<sim::UpgradeRecord> rec = bus.UpgradeRecordOf(unit);
        if (c.receiverOnly) {
            EXPECT_FALSE(rec.has_value());
            EXPECT_TRUE(UpgradeWireLines().empty());
            continue;
        }
        ASSERT_TRUE(rec.has_value());
        EXPECT_EQ(rec->started, c.started);
        EXPECT_EQ(rec->ended, c.ended);
        EXPECT_EQ(rec->blocks, c.blocks);
        EXPECT_EQ(rec->vanished, c.faults.vanish_at >= 0);
    }
}

TEST_F(FirmwareUpgradeTaskTest, NothingReachesTheMouseBeforeTheImageIsRead) {
    struct Case {
        const char* name;
        std::string archive;  // empty: the server has none
        std::string newest;
        std::vector<std::pair<int, int>> steps;
    };
    const std::vector<std::uint8_t> over = Image(1024 * 1024 + 1);
    const Case cases[] = {
        {"image over 1 MiB",
         ZipBytes({{"firmware     -106.bin", std::string(over.begin(), over.end())}}),
         "106",
         {{5, 590}, {7, 591}}},
        {"empty image", ZipBytes({{"firmware     -106.bin", ""}}), "106", {{5, 590}, {7, 591}}},
        {"archive without the image",
         ZipBytes({{"firmware-106.bin", "x"}}),
         "106",
         {{5, 590}, {7, 591}}},
        {"no archive on the server", "", "106", {{5, 590}}},
        {"no version checked", "", "", {{5, 590}}},
    };
    const sim::UnitId unit = PlugCable();
    const int handles = bus.OpenHandles();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.Clear();
        SetState([&](DeviceState& s) { s.newestFirmwareVersion = FromUtf8(c.newest); });
        server.Serve("/fw//mouse//firmware-106.zip", c.archive.empty()
                                                         ? HttpReply{404, "<html>no</html>"}
                                                         : HttpReply{200, c.archive});
        EXPECT_EQ(UpgradeFirmware(context, config), FirmwareUpgradeResult::NotDownloaded);
        EXPECT_EQ(Steps(), c.steps);
        EXPECT_EQ(bus.OpenHandles(), handles) << "the upgrade interface was opened";
        EXPECT_EQ(bus.UpgradeRecordOf(unit)->reports_taken, 0);
        EXPECT_TRUE(UpgradeWireLines().empty());
        EXPECT_FALSE(ImageFileLeft());
    }
}

// The four tasks as the worker runs them, queued as the window and the notices do.
TEST_F(FirmwareUpgradeTaskTest, TasksThroughTheWorker) {
    const sim::UnitId unit = PlugCable();
    ServeImage(Image(96));
    server.Serve("/fw/mouse/version", {200, "106"});
    server.Serve("/app/version", {200, "1.0.9"});
    DeviceWorker worker;
    ASSERT_TRUE(RegisterUpdateTasks(worker, context, config));
    const auto before = clock.Now();
    worker.QueueTask(kTaskCheckAppVersion);
    worker.QueueTask(kTaskCheckFirmwareVersion);
    worker.QueueTask(kTaskUpgradeFirmware);
    ASSERT_TRUE(worker.Start());
    EXPECT_FALSE(RegisterUpdateTasks(worker, context, config)) << "registered while running";
    ASSERT_TRUE(view.WaitFor("CloseUpgradeProgress"));
    EXPECT_TRUE(worker.Stop());

    const Calls calls = view.Calls();
    const Calls expected = {"SetAppUpdateStatus Up to date 0",
                            "SetFirmwareUpdateStatus New version: V1.06 1", "PostVersionNotice 2",
                            "ShowUpgradeProgress 5 590"};
    ASSERT_GT(calls.size(), expected.size());
    EXPECT_EQ(Calls(calls.begin(), calls.begin() + expected.size()), expected);
    EXPECT_EQ(Calls(calls.end() - 4, calls.end()),
              (Calls{"ShowUpgradeProgress 55 592", "ShowUpgradeProgress 100 592",
                     "ShowUpgradeProgress 100 593", "CloseUpgradeProgress"}));
    // 2 x 10 ms after the first data reports, 100 ms before and after closing.
    EXPECT_EQ(clock.Now() - before, std::chrono::milliseconds(220));
    EXPECT_TRUE(bus.UpgradeRecordOf(unit)->ended);
}

}  // namespace
}  // namespace quillora
