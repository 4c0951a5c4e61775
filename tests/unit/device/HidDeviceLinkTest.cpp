#include "device/HidDeviceLink.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "device/DeviceInfo.h"
#include "protocol/CommandCatalogue.h"
#include "protocol/ReplyDecoders.h"
#include "protocol/WriteFrames.h"
#include "sim/SimBus.h"

namespace quillora {
namespace {

using sim::SimBus;
using sim::SimMouse;
using std::chrono::milliseconds;

constexpr int kModel = 7;
const sim::UsbIdentity kCable{0x3151, 0x4010, 0x0105, u"Sim Mouse"};
const sim::UsbIdentity kReceiver{0x3151, 0x4011, 0x0102, u"Sim Receiver"};

class RecordingWireLog : public WireLogSink {
  public:
    void Record(WireDirection d, int index, std::span<const std::uint8_t> bytes) override {
        lines.push_back(FormatWireLine(d, index, bytes));
    }
    std::vector<std::string> lines;
};

class LinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        link.SetWireLog(&wire);
        link.AddSupportedDevice({kCable.vendor_id, kCable.product_id, kModel, kLinkCable, u"QM01"});
        link.AddSupportedDevice(
            {kReceiver.vendor_id, kReceiver.product_id, kModel, kLinkReceiver, u"QM01"});
    }

    std::vector<ReportFrame> Discover() {
        link.CloseAll();
        std::vector<ReportFrame> seen = link.EnumerateDevice();
        link.SetOpen(true);
        link.SelectDeviceType(kModel);
        wire.lines.clear();
        return seen;
    }

    std::vector<HidInterface> Interfaces() {
        std::vector<HidInterface> list;
        link.GetInterfaces(list);
        return list;
    }

    ManualClock clock;
    SimBus bus{clock};
    HidDeviceLink link{bus, clock};
    RecordingWireLog wire;
    std::shared_ptr<SimMouse> mouse = std::make_shared<SimMouse>();
};

TEST_F(LinkTest, EnumerationOpensOnlyConfigurationCollections) {
    sim::UnitId cable = bus.PlugCable(mouse, kCable);
    sim::UnitId receiver = bus.PlugReceiver(std::make_shared<SimMouse>(), kReceiver);
    bus.PlugCable(std::make_shared<SimMouse>(), {0x1234, 0x5678, 1, u"Foreign"});
    Discover();

    link.SelectDeviceType(0);
    std::vector<HidInterface> list = Interfaces();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].index, 0);
    EXPECT_EQ(list[0].product_id, kCable.product_id);
    EXPECT_EQ(list[0].link_kind, kLinkCable);
    EXPECT_EQ(list[0].model_code, u"QM01");
    EXPECT_EQ(list[0].device_type, kModel);
    EXPECT_EQ(list[0].product_string, u"Sim Mouse");
    EXPECT_EQ(list[0].release_number, 0x0105);
    EXPECT_EQ(list[0].online_state, kOnline);
    EXPECT_EQ(list[1].index, 1);
    EXPECT_EQ(list[1].link_kind, kLinkReceiver);
    EXPECT_EQ(list[1].device_type, kModel);
    // One identification query each, and nothing on decoy or upgrade collections.
    for (sim::UnitId unit : {cable, receiver}) {
        std::vector<sim::WrittenReport> written = bus.Written(unit);
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(written[0].bytes[1], kGetDeviceInfoCommand);
        EXPECT_EQ(written[0].bytes.size(), 33u);
    }
    EXPECT_EQ(bus.OpenHandles(), 2);
    link.CloseAll();
    EXPECT_EQ(bus.OpenHandles(), 0);
    EXPECT_FALSE(link.GetInterfaces(list));
}

TEST_F(LinkTest, EmptyCatalogueCodeMakesTheGenericModel) {
    link.ClearSupportedDevices();
    link.AddSupportedDevice({kCable.vendor_id, kCable.product_id, kModel, kLinkCable, u""});
    bus.PlugCable(mouse, kCable);
    Discover();
    link.SelectDeviceType(0);
    EXPECT_EQ(Interfaces().at(0).device_type, kGenericDeviceType);
}

TEST_F(LinkTest, FailedIdentificationRetriesOnceAfter500Ms) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    bus.SetFaults(unit, {.drop = 2});
    Discover();
    link.SelectDeviceType(0);
    ASSERT_EQ(Interfaces().size(), 1u);
    EXPECT_EQ(Interfaces()[0].device_type, 0);
    EXPECT_TRUE(Interfaces()[0].model_code.empty());
    EXPECT_FALSE(link.IsDeviceAvailable(0));
    // Two full waits of 50 x 30 ms and the pause between them.
    EXPECT_EQ(clock.Now(), milliseconds(2 * 1500 + 500));
    EXPECT_EQ(bus.Written(unit).size(), 2u);
}

TEST_F(LinkTest, SecondIdentificationCanSucceed) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    bus.SetFaults(unit, {.drop = 1});
    Discover();
    EXPECT_TRUE(link.IsDeviceAvailable(kModel));
    EXPECT_EQ(clock.Now(), milliseconds(1500 + 500));
}

TEST(DeviceTypeLookup, FirstMatchingIdentityDecides) {
    ManualClock clock;
    SimBus bus(clock);
    HidDeviceLink link(bus, clock);
    link.AddSupportedDevice({1, 2, 30, kLinkCable, u"AAAA"});
    link.AddSupportedDevice({1, 2, 31, kLinkReceiver, u"BBBB"});
    link.AddSupportedDevice({1, 2, 32, kLinkCable, u"CC"});
    link.AddSupportedDevice({1, 2, 33, kLinkCable, u"DDDD"});
    EXPECT_EQ(link.GetDeviceType(1, 2, u"AAAA"), 30);
    EXPECT_EQ(link.GetDeviceType(1, 2, u"BBBB"), 31);
    // The short code of the third identity answers before the fourth is reached.
    EXPECT_EQ(link.GetDeviceType(1, 2, u"DDDD"), kGenericDeviceType);
    EXPECT_EQ(link.GetDeviceType(1, 2, u"aaaa"), kGenericDeviceType);
    EXPECT_EQ(link.GetDeviceType(1, 3, u"AAAA"), 0);
    EXPECT_EQ(link.GetLinkKind(1, 2), kLinkCable);
    EXPECT_EQ(link.GetLinkKind(9, 9), kLinkCable);
    EXPECT_TRUE(link.IsSupported(1, 2));
    EXPECT_FALSE(link.IsSupported(2, 1));
}

TEST_F(LinkTest, SendCommandStoresChecksumLogsAndReturnsTheReply) {
    bus.PlugCable(mouse, kCable);
    Discover();
    ReportFrame frame = EncodeReportRate(0x40);
    frame[request::kChecksum] = 0;  // SendCommand computes it
    ExchangeResult r = link.SendCommand(frame, FrameSize::Long);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r.notifications.empty());
    EXPECT_EQ(frame[0], cmd::kSetReportRate);  // reply offsets now
    EXPECT_EQ(frame[1], 0x00);
    EXPECT_EQ(mouse->Settings().report_rate, 0x40);
    ASSERT_EQ(wire.lines.size(), 2u);
    EXPECT_EQ(wire.lines[0].substr(0, 32), "W 0 00 02 00 01 01 40 00 00 00 0");
    EXPECT_EQ(wire.lines[0].size(), 4 + 65 * 3 - 1);       // "W 0" and 65 bytes
    EXPECT_EQ(wire.lines[0].substr(4 + 32 * 3, 2), "40");  // checksum byte
    EXPECT_EQ(wire.lines[1].substr(0, 17), "R 0 02 00 01 01 0");
    EXPECT_EQ(clock.Now(), milliseconds(0));
}

TEST_F(LinkTest, RefusalThenAcknowledgementWithinTheWaitSucceeds) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    sim::InputReport nak(64, 0);
    nak[0] = cmd::kGetReportRate;
    nak[1] = 0x01;
    bus.SetFaults(unit, {.interleave = {nak}});
    ReportFrame frame = cmd::MakeQuery(cmd::kGetReportRate);
    EXPECT_TRUE(link.SendCommand(frame, FrameSize::Short));
    EXPECT_EQ(frame[1], 0x00);
}

TEST_F(LinkTest, WaitIsBoundedByFiftyReadsOfThirtyMs) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    bus.SetFaults(unit, {.drop = 1});
    ReportFrame frame = cmd::MakeQuery(cmd::kGetReportRate);
    EXPECT_FALSE(link.SendCommand(frame, FrameSize::Short));
    EXPECT_EQ(clock.Now(), milliseconds(50 * 30));
    // Nothing was read: the frame still holds the request.
    EXPECT_EQ(frame, cmd::MakeQuery(cmd::kGetReportRate));
}

TEST_F(LinkTest, RefusedCommandFailsWithTheRefusalInTheFrame) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    bus.SetFaults(unit, {.refuse = 1});
    ReportFrame frame = EncodeReportRate(2);
    EXPECT_FALSE(link.SendCommand(frame, FrameSize::Long));
    EXPECT_EQ(frame[0], cmd::kSetReportRate);
    EXPECT_EQ(frame[1], 0x01);
    // One refusal and 49 empty reads.
    EXPECT_EQ(clock.Now(), milliseconds(49 * 30));
}

TEST_F(LinkTest, FiftyRefusalsFail) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    sim::InputReport nak(64, 0);
    nak[1] = 0x02;
    bus.SetFaults(unit, {.interleave = std::vector<sim::InputReport>(50, nak)});
    ReportFrame frame = cmd::MakeQuery(cmd::kGetReportRate);
    EXPECT_FALSE(link.SendCommand(frame, FrameSize::Short));
    // The real reply is the 51st report: left for whoever reads next.
    EXPECT_EQ(bus.PendingInput(unit), 1);
}

struct LateCase {
    int late_ms;
    bool ok;
};

class LateReply : public LinkTest, public ::testing::WithParamInterface<LateCase> {};

TEST_P(LateReply, CountsOnlyWithinTheWait) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    bus.SetFaults(unit, {.late_ms = GetParam().late_ms});
    ReportFrame frame = cmd::MakeQuery(cmd::kGetReportRate);
    EXPECT_EQ(static_cast<bool>(link.SendCommand(frame, FrameSize::Short)), GetParam().ok);
}

INSTANTIATE_TEST_SUITE_P(Delays, LateReply,
                         ::testing::Values(LateCase{29, true}, LateCase{1000, true},
                                           LateCase{1500, true}, LateCase{1501, false},
                                           LateCase{4000, false}));

TEST_F(LinkTest, UnsolicitedReportsDuringAnExchangeAreKeptNotTakenAsReplies) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    // A disconnect report has status-like byte 1 = 0: it must still not end the wait.
    sim::InputReport gone(64, 0);
    gone[0] = kConnectionReport;
    sim::InputReport dpi = mouse->DpiReport();
    bus.SetFaults(unit, {.interleave = {gone, dpi}});
    ReportFrame frame = cmd::MakeQuery(cmd::kGetLighting);
    ExchangeResult r = link.SendCommand(frame, FrameSize::Short);
    ASSERT_TRUE(r);
    EXPECT_EQ(frame[0], cmd::kGetLighting);
    ASSERT_EQ(r.notifications.size(), 2u);
    EXPECT_EQ(r.notifications[0][0], kConnectionReport);
    EXPECT_EQ(r.notifications[1][0], kDpiReport);
    EXPECT_EQ(r.notifications[1][1], mouse->Settings().dpi_selection);
}

TEST_F(LinkTest, UnsolicitedReportsDuringIdentificationAreHandedBack) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    bus.SetFaults(unit, {.interleave = {mouse->DpiReport()}});
    std::vector<ReportFrame> seen = Discover();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0][0], kDpiReport);
    EXPECT_TRUE(link.IsDeviceAvailable(kModel));
}

TEST_F(LinkTest, GarbageIsIgnored) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    bus.SetFaults(unit, {.garbage = 30});
    ReportFrame frame = cmd::MakeQuery(cmd::kGetPowerOptions);
    ExchangeResult r = link.SendCommand(frame, FrameSize::Short);
    ASSERT_TRUE(r);
    EXPECT_EQ(frame[0], cmd::kGetPowerOptions);
    EXPECT_EQ(frame[4], mouse->Settings().power[0]);
    EXPECT_TRUE(r.notifications.empty());
}

TEST_F(LinkTest, VanishMidExchangeFailsAtOnce) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    bus.SetFaults(unit, {.vanish = true});
    ReportFrame frame = EncodeReportRate(8);
    EXPECT_FALSE(link.SendCommand(frame, FrameSize::Long));
    EXPECT_EQ(clock.Now(), milliseconds(0));  // no waiting on a device that is gone
    // Now the write fails too, and a failed write leaves the frame alone.
    ReportFrame again = EncodeReportRate(4);
    const ReportFrame before = again;
    EXPECT_FALSE(link.SendCommand(again, FrameSize::Long));
    EXPECT_EQ(again, before);
}

TEST_F(LinkTest, ClosedLinkOrNoInterfaceSendsNothing) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    bus.ClearWritten();
    ReportFrame frame = EncodeReportRate(8);
    link.SelectDeviceType(kModel + 1);
    EXPECT_FALSE(link.SendCommand(frame, FrameSize::Long));
    link.SelectDeviceType(kModel);
    link.SetOpen(false);
    EXPECT_FALSE(link.SendCommand(frame, FrameSize::Long));
    int type = -1;
    ReportFrame buffer;
    EXPECT_FALSE(link.ReadNotification(buffer, type));
    EXPECT_TRUE(bus.Written(unit).empty());
}

TEST_F(LinkTest, QueryDeviceInfoWithoutInterfaceCopiesTheKeptRecord) {
    sim::UnitId unit = bus.PlugCable(mouse, kCable);
    Discover();
    bus.ClearWritten();
    ReportFrame record;
    ASSERT_TRUE(link.QueryDeviceInfo(record, std::nullopt));
    EXPECT_EQ(record[0], kGetDeviceInfoCommand);
    EXPECT_EQ(ModelCodeOf(record), u"QM01");
    EXPECT_EQ(record[device_info::kSensor], mouse->Settings().sensor);
    EXPECT_TRUE(bus.Written(unit).empty());

    sim::MouseSettings s = mouse->Settings();
    s.battery_a = 12;
    mouse->SetSettings(s);
    ASSERT_TRUE(link.QueryDeviceInfo(record, 0));
    EXPECT_EQ(record[device_info::kBatteryA], 12);
    ReportFrame cached;
    ASSERT_TRUE(link.QueryDeviceInfo(cached, std::nullopt));
    EXPECT_EQ(cached, record);
    EXPECT_FALSE(link.QueryDeviceInfo(cached, 5));
    link.SelectDeviceType(0);
    EXPECT_FALSE(link.QueryDeviceInfo(cached, std::nullopt));
}

TEST_F(LinkTest, CableIsCurrentWhenBothLinksArePresent) {
    bus.PlugReceiver(mouse, kReceiver);
    bus.PlugCable(mouse, kCable);
    Discover();
    std::uint16_t vid = 0, pid = 0;
    ASSERT_TRUE(link.GetCurrentIds(vid, pid));
    EXPECT_EQ(pid, kCable.product_id);
    EXPECT_EQ(link.GetSelectedKind(), kLinkCable);
    int release = 0;
    ASSERT_TRUE(link.GetReleaseNumber(release, kLinkReceiver));
    EXPECT_EQ(release, 0x0102);
}

TEST_F(LinkTest, ReceiverStatesDecideCurrentAndAvailable) {
    bus.PlugReceiver(mouse, kReceiver);
    Discover();
    EXPECT_EQ(link.GetSelectedKind(), kLinkReceiver);
    EXPECT_NE(link.CurrentInterface(), HidHandle::None);

    link.SelectDeviceType(kModel);  // drops the cached interface
    link.SetOnlineState(kModel, kLinkReceiver, kOffline);
    EXPECT_EQ(link.CurrentInterface(), HidHandle::None);
    EXPECT_EQ(link.GetSelectedKind(), kLinkReceiver);
    EXPECT_FALSE(link.IsDeviceAvailable(kModel));

    link.SetOnlineState(kModel, kLinkReceiver, kOnlineAfterPoll);
    EXPECT_TRUE(link.IsDeviceAvailable(kModel));
    EXPECT_EQ(link.CurrentInterface(), HidHandle::None);
    EXPECT_EQ(link.GetSelectedKind(), kLinkReceiver);

    link.SelectDeviceType(kModel + 1);
    EXPECT_EQ(link.GetSelectedKind(), -1);
}

TEST_F(LinkTest, ReceiverConnectionReportUpdatesItsInterface) {
    sim::UnitId receiver = bus.PlugReceiver(mouse, kReceiver);
    Discover();
    link.SetOnlineState(kModel, kLinkReceiver, kOffline);  // no current interface now

    bus.SetMouseOn(receiver, false);
    ReportFrame buffer;
    int type = -1;
    EXPECT_FALSE(link.ReadNotification(buffer, type));
    EXPECT_EQ(buffer[0], kConnectionReport);
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(type, kModel);
    EXPECT_EQ(Interfaces().at(0).online_state, kOffline);

    bus.SetMouseOn(receiver, true);
    buffer.Clear();
    EXPECT_FALSE(link.ReadNotification(buffer, type));
    EXPECT_EQ(buffer[0], kConnectionReport);
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(buffer[2], mouse->Settings().battery_a);
    EXPECT_EQ(Interfaces().at(0).online_state, kOnline);
    // Re-identified with a fresh device information query.
    EXPECT_EQ(bus.Written(receiver).back().bytes[1], kGetDeviceInfoCommand);
    EXPECT_NE(link.CurrentInterface(), HidHandle::None);
}

TEST_F(LinkTest, ReadNotificationPrefersTheCurrentInterface) {
    sim::UnitId cable = bus.PlugCable(mouse, kCable);
    Discover();
    ReportFrame buffer;
    int type = -1;
    EXPECT_FALSE(link.ReadNotification(buffer, type));
    EXPECT_EQ(clock.Now(), milliseconds(100));
    bus.PressDpiButton(cable);
    EXPECT_TRUE(link.ReadNotification(buffer, type));
    EXPECT_EQ(buffer[0], kDpiReport);
    EXPECT_EQ(type, kModel);
}

TEST_F(LinkTest, PollReceiversTakesOverTheConnectionState) {
    sim::UnitId receiver = bus.PlugReceiver(mouse, kReceiver);
    Discover();
    bus.SetMouseOn(receiver, false);
    link.PollReceivers();
    EXPECT_EQ(Interfaces().at(0).online_state, kOnlineAfterPoll);
    bus.SetMouseOn(receiver, true);
    link.PollReceivers();
    EXPECT_EQ(Interfaces().at(0).online_state, kOnline);
    link.PollReceivers();  // nothing to read: unchanged
    EXPECT_EQ(Interfaces().at(0).online_state, kOnline);
}

TEST_F(LinkTest, UpgradeChannelWritesSixtyFourBytes) {
    sim::UnitId cable = bus.PlugCable(mouse, kCable);
    Discover();
    std::uint8_t report[64] = {0x05, 0x01};
    EXPECT_FALSE(link.SendUpgradeReport(report));
    HidHandle upgrade = link.OpenUpgradeInterface(kCable.vendor_id, kCable.product_id);
    ASSERT_NE(upgrade, HidHandle::None);
    link.SetUpgradeInterface(upgrade);
    EXPECT_TRUE(link.SendUpgradeReport(report));
    EXPECT_FALSE(link.SendUpgradeReport(std::span<const std::uint8_t>(report, 63)));
    EXPECT_EQ(bus.Written(cable).back().bytes.size(), 64u);
    ASSERT_EQ(wire.lines.size(), 1u);
    EXPECT_EQ(wire.lines[0].substr(0, 10), "W U 05 01 ");
    EXPECT_EQ(link.OpenUpgradeInterface(kReceiver.vendor_id, kReceiver.product_id),
              HidHandle::None);
}

// What the encoders write, the mouse keeps, and the decoders read back through the link,
// whose replies are shifted by the missing report ID.
TEST_F(LinkTest, EncodedWritesDecodeBackThroughTheLink) {
    bus.PlugCable(mouse, kCable);
    Discover();
    auto send = [&](ReportFrame frame, FrameSize size) {
        EXPECT_TRUE(link.SendCommand(frame, size));
        return frame;
    };
    const std::array<int, 6> dpi = {400, 800, 1600, 3200, 6400, 12000};
    send(EncodeDpiLevels(17, LookUpSensor(17), 3, 6, dpi), FrameSize::Short);
    send(EncodeDpiColors({0xFF8000, 1, 2, 3, 4, 5}), FrameSize::Long);
    send(EncodeLighting({4, 3, 9, {}}), FrameSize::Long);
    send(EncodeSensorOptions(2, 28), FrameSize::Long);
    send(EncodePowerOptions(9, 1, 0, 12), FrameSize::Long);
    send(EncodeReportRate(0x10), FrameSize::Long);

    auto query = [&](std::uint8_t code) {
        ReportFrame f = send(cmd::MakeQuery(code), FrameSize::Short);
        return std::vector<std::uint8_t>(f.bytes.begin(), f.bytes.begin() + 33);
    };
    auto levels = DecodeDpiLevels(query(cmd::kGetDpiLevels), 17);
    ASSERT_TRUE(levels);
    EXPECT_EQ(levels->level_count, 6);
    EXPECT_EQ(levels->selected_level, 3);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(levels->dpi[i], dpi[i]) << i;
    }
    EXPECT_EQ(DecodeDpiColors(query(cmd::kGetDpiColors)),
              (std::array<int, 6>{0xFF8000, 1, 2, 3, 4, 5}));
    auto light = DecodeLighting(query(cmd::kGetLighting));
    ASSERT_TRUE(light);
    EXPECT_EQ(light->mode, 4);
    EXPECT_EQ(light->brightness, 3);
    EXPECT_EQ(light->speed, 9);
    auto sensor = DecodeSensorOptions(query(cmd::kGetSensorOptions));
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->liftoff_height, 2);
    EXPECT_EQ(sensor->sensor_flags, 12);  // bit 16 never travels
    auto power = DecodePowerOptions(query(cmd::kGetPowerOptions));
    ASSERT_TRUE(power);
    EXPECT_EQ(power->sleep_light, 9);
    EXPECT_EQ(power->button_respondtime, 12);
    EXPECT_EQ(DecodeReportRate(query(cmd::kGetReportRate)), 0x10);
    EXPECT_EQ(DecodeFirmwareVersion(query(cmd::kGetFirmwareVersion)), "105");
}

// A transport that lists what it is given and counts what is opened.
class ListingApi : public HidApi {
  public:
    int init_result = 0;
    std::vector<HidDeviceInfo> devices;
    std::vector<std::string> opened;

    int Init() override { return init_result; }
    int Exit() override { return 0; }
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t, std::uint16_t) override {
        return init_result == 0 ? devices : std::vector<HidDeviceInfo>{};
    }
    HidHandle OpenPath(const std::string& path) override {
        opened.push_back(path);
        return static_cast<HidHandle>(opened.size());
    }
    void Close(HidHandle) override {}
    int Write(HidHandle, const std::uint8_t*, std::size_t n) override {
        return static_cast<int>(n);
    }
    int ReadTimeout(HidHandle, std::uint8_t*, std::size_t, int) override { return 0; }
    int GetProductString(HidHandle, std::u16string&, std::size_t) override { return -1; }
};

HidDeviceInfo ConfigEntry(std::string path) {
    HidDeviceInfo info;
    info.path = std::move(path);
    info.vendor_id = kCable.vendor_id;
    info.product_id = kCable.product_id;
    info.usage_page = 0xFF01;
    info.usage = 0x0010;
    return info;
}

TEST(LinkEnumeration, TransportThatCannotStartFindsNothing) {
    ListingApi api;
    api.init_result = -1;
    api.devices = {ConfigEntry("/dev/hidraw1")};
    ManualClock clock;
    HidDeviceLink link(api, clock);
    link.AddSupportedDevice({kCable.vendor_id, kCable.product_id, kModel, kLinkCable, u"QM01"});
    link.EnumerateDevice();
    link.SetOpen(true);
    std::vector<HidInterface> list;
    EXPECT_FALSE(link.GetInterfaces(list));
    EXPECT_TRUE(api.opened.empty());
}

TEST(LinkEnumeration, OverlongPathsAreSkippedUnopened) {
    ListingApi api;
    api.devices = {ConfigEntry(std::string(1024, 'p')), ConfigEntry(std::string(1023, 'q'))};
    ManualClock clock;
    HidDeviceLink link(api, clock);
    link.AddSupportedDevice({kCable.vendor_id, kCable.product_id, kModel, kLinkCable, u"QM01"});
    link.EnumerateDevice();
    link.SetOpen(true);
    ASSERT_EQ(api.opened.size(), 1u);
    EXPECT_EQ(api.opened[0].size(), 1023u);
    std::vector<HidInterface> list;
    ASSERT_TRUE(link.GetInterfaces(list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].device_type, 0);  // this transport never answers
    EXPECT_TRUE(list[0].product_string.empty());
}

// A transport whose reads block until released, to show that the window thread's
// queries and selection never wait for an exchange in progress.
class BlockingReads : public HidApi {
  public:
    explicit BlockingReads(HidApi& inner) : inner_(inner) {}
    int Init() override { return inner_.Init(); }
    int Exit() override { return inner_.Exit(); }
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t v, std::uint16_t p) override {
        return inner_.Enumerate(v, p);
    }
    HidHandle OpenPath(const std::string& path) override { return inner_.OpenPath(path); }
    void Close(HidHandle h) override { inner_.Close(h); }
    int Write(HidHandle h, const std::uint8_t* d, std::size_t n) override {
        return inner_.Write(h, d, n);
    }
    int ReadTimeout(HidHandle h, std::uint8_t* d, std::size_t n, int ms) override {
        std::unique_lock<std::mutex> lock(mutex_);
        if (block_) {
            entered_ = true;
            cv_.notify_all();
            cv_.wait(lock, [this] { return !block_; });
        }
        lock.unlock();
        return inner_.ReadTimeout(h, d, n, ms);
    }
    int GetProductString(HidHandle h, std::u16string& out, std::size_t max) override {
        return inner_.GetProductString(h, out, max);
    }
    void Block() {
        std::lock_guard<std::mutex> lock(mutex_);
        block_ = true;
    }
    void WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [this] { return entered_; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        block_ = false;
        cv_.notify_all();
    }

  private:
    HidApi& inner_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool block_ = false;
    bool entered_ = false;
};

TEST(LinkConcurrency, StatusQueriesDoNotWaitForAnExchange) {
    ManualClock clock;
    SimBus bus(clock);
    BlockingReads transport(bus);
    HidDeviceLink link(transport, clock);
    link.AddSupportedDevice({kCable.vendor_id, kCable.product_id, kModel, kLinkCable, u"QM01"});
    bus.PlugCable(std::make_shared<SimMouse>(), kCable);
    link.EnumerateDevice();
    link.SetOpen(true);
    link.SelectDeviceType(kModel);

    transport.Block();
    std::thread worker([&] {
        ReportFrame frame = cmd::MakeQuery(cmd::kGetReportRate);
        EXPECT_TRUE(link.SendCommand(frame, FrameSize::Short));
    });
    transport.WaitEntered();
    auto window = std::async(std::launch::async, [&] {
        const bool available = link.IsDeviceAvailable(kModel);
        const int kind = link.GetSelectedKind();
        link.SelectDeviceType(kModel);
        return available && kind == kLinkCable;
    });
    const bool answered = window.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    transport.Release();
    worker.join();
    ASSERT_TRUE(answered) << "a status query waited for the exchange";
    EXPECT_TRUE(window.get());
}

TEST(LinkConcurrency, WindowQueriesWhileTheWorkerReenumerates) {
    ManualClock clock;
    SimBus bus(clock);
    HidDeviceLink link(bus, clock);
    link.AddSupportedDevice({kCable.vendor_id, kCable.product_id, kModel, kLinkCable, u"QM01"});
    bus.PlugCable(std::make_shared<SimMouse>(), kCable);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) {
            link.CloseAll();
            link.EnumerateDevice();
            link.SetOpen(true);
            ReportFrame frame = cmd::MakeQuery(cmd::kGetReportRate);
            link.SendCommand(frame, FrameSize::Short);
        }
        done = true;
    });
    int seen = 0;
    while (!done) {
        link.SelectDeviceType(kModel);
        seen += link.IsDeviceAvailable(kModel) ? 1 : 0;
        int release = 0;
        link.GetReleaseNumber(release, kLinkCable);
        link.GetSelectedKind();
        std::vector<HidInterface> list;
        link.GetInterfaces(list);
    }
    worker.join();
    EXPECT_TRUE(link.IsDeviceAvailable(kModel));
}

}  // namespace
}  // namespace quillora
