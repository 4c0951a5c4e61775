#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "protocol/ButtonSlots.h"
#include "protocol/CommandCatalogue.h"
#include "protocol/MacroStream.h"
#include "protocol/WriteFrames.h"
#include "unit/sim/SimFixture.h"

namespace quillora::sim {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> list) {
    std::vector<std::uint8_t> v;
    for (int b : list) {
        v.push_back(static_cast<std::uint8_t>(b));
    }
    return v;
}

struct ReadBackCase {
    const char* name;
    std::function<ReportFrame()> write;
    std::size_t size;
    std::uint8_t query;
    // Reply payload expected from offset 4.
    std::vector<std::uint8_t> payload;
};

class WritesReadBack : public SimBusTest, public ::testing::WithParamInterface<ReadBackCase> {};

TEST_P(WritesReadBack, QueryAnswersWhatTheWriteSet) {
    const ReadBackCase& c = GetParam();
    std::vector<std::uint8_t> ack = Exchange(c.write(), c.size);
    ASSERT_GE(ack.size(), 2u);
    EXPECT_EQ(ack[0], c.write()[1]);
    EXPECT_EQ(ack[1], 0x00);

    std::vector<std::uint8_t> reply = Exchange(cmd::MakeQuery(c.query));
    ASSERT_EQ(reply.size(), 64u);
    EXPECT_EQ(reply[0], c.query);
    EXPECT_EQ(reply[1], 0x00);
    EXPECT_EQ(std::vector<std::uint8_t>(reply.begin() + 4, reply.begin() + 4 + c.payload.size()),
              c.payload);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, WritesReadBack,
    ::testing::Values(ReadBackCase{"report_rate", [] { return EncodeReportRate(0x20); }, 65,
                                   cmd::kGetReportRate, Bytes({0x20})},
                      ReadBackCase{"dpi_levels",
                                   [] {
                                       return EncodeDpiLevels(17, LookUpSensor(17), 1, 3,
                                                              {400, 800, 12000, 100, 100, 100});
                                   },
                                   33, cmd::kGetDpiLevels,
                                   Bytes({0x13, 8, 0, 8, 0, 16, 0, 16, 0, 0xDC, 0, 0xDC, 0,
                                          2,    0, 2, 0, 2, 0,  2, 0,  2, 0,    2, 0})},
                      ReadBackCase{"dpi_colors",
                                   [] {
                                       return EncodeDpiColors({0xFF8000, 1, 2, 3, 4, 0x112233});
                                   },
                                   65, cmd::kGetDpiColors,
                                   Bytes({0, 0x80, 0xFF, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0, 0x33,
                                          0x22, 0x11})},
                      ReadBackCase{"lighting",
                                   [] {
                                       return EncodeLighting({3, 4, 3, {0xFF0000}});
                                   },
                                   65, cmd::kGetLighting, Bytes({0x03, 0x43})},
                      ReadBackCase{"sensor_options", [] { return EncodeSensorOptions(2, 8); }, 65,
                                   cmd::kGetSensorOptions, Bytes({2, 1, 0})},
                      ReadBackCase{"power_options", [] { return EncodePowerOptions(5, 0, 1, 16); },
                                   65, cmd::kGetPowerOptions, Bytes({5, 0, 1, 16})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimBusTest, DeviceInfoAndFirmwareReportTheIdentity) {
    MouseSettings s = mouse->Settings();
    s.model_code = {'A', 'B', 'C', 'D'};
    s.sensor = 38;
    s.rate_capability = 0x10;
    s.battery_a = 55;
    s.battery_b = 1;
    s.firmware = {0x12, 0x05};
    mouse->SetSettings(s);
    std::vector<std::uint8_t> info = Exchange(cmd::MakeQuery(cmd::kGetDeviceInfo));
    ASSERT_GE(info.size(), 15u);
    EXPECT_EQ(std::string(info.begin() + 4, info.begin() + 8), "ABCD");
    EXPECT_EQ(info[10], 38);
    EXPECT_EQ(info[11], 0x10);
    EXPECT_EQ(info[12], 55);
    EXPECT_EQ(info[13], 1);
    EXPECT_EQ(info[14], 1);
    std::vector<std::uint8_t> fw = Exchange(cmd::MakeQuery(cmd::kGetFirmwareVersion));
    EXPECT_EQ(fw[4], 0x12);
    EXPECT_EQ(fw[5], 0x05);
    EXPECT_EQ(Exchange(cmd::MakeQuery(cmd::kPreReadQuery))[1], 0x00);
}

TEST_F(SimBusTest, ButtonTableAndChunkedMacroLandInTheSettings) {
    const ButtonAssignment a[] = {{2, 9, 0, 0}};
    Exchange(EncodeButtonTable(BuildSlotTable(a, nullptr)));
    std::vector<MacroEventInput> events;
    for (int i = 0; i < 20; ++i) {
        events.push_back({i % 2 == 0 ? kMacroKeyDown : kMacroKeyUp, 0x41 + i / 2});
    }
    MacroStream stream = BuildMacroStream(2, events);
    for (const ReportFrame& f : EncodeMacroFrames(stream).frames) {
        EXPECT_EQ(Exchange(f)[1], 0x00);
    }
    std::optional<MouseSettings> s = bus.SettingsOf(unit);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->button_table[6], 0x60);
    EXPECT_EQ(s->button_table[0], 0x10);
    EXPECT_EQ(s->macro, stream.bytes);
}

TEST_F(SimBusTest, RestoreDefaultsAndResetLighting) {
    const MouseSettings factory = mouse->Settings();
    Exchange(EncodeReportRate(8), 65);
    Exchange(EncodeLighting({2, 1, 1, {}}), 65);
    Exchange(EncodeResetLighting());
    MouseSettings s = mouse->Settings();
    EXPECT_EQ(s.report_rate, 8);
    EXPECT_EQ(s.light_mode, factory.light_mode);
    EXPECT_EQ(s.light_parameter, factory.light_parameter);
    Exchange(EncodeRestoreDefaults());
    EXPECT_EQ(mouse->Settings(), factory);
}

TEST_F(SimBusTest, BadChecksumIsRefusedAndChangesNothing) {
    ReportFrame f = EncodeReportRate(0x40);
    f[request::kChecksum] ^= 0xFF;
    ASSERT_EQ(bus.Write(handle, f.data(), 65), 65);
    std::vector<std::uint8_t> reply = Read(handle);
    ASSERT_GE(reply.size(), 2u);
    EXPECT_EQ(reply[1], 0x01);
    EXPECT_EQ(mouse->ChecksumErrors(), 1);
    EXPECT_NE(mouse->Settings().report_rate, 0x40);
}

TEST_F(SimBusTest, UnknownCommandGetsNoReply) {
    EXPECT_TRUE(Exchange(cmd::MakeQuery(0x55)).empty());
}

TEST_F(SimBusTest, RefuseCountsDown) {
    bus.SetFaults(unit, {.refuse = 2});
    EXPECT_EQ(Exchange(cmd::MakeQuery(cmd::kGetReportRate))[1], 0x01);
    EXPECT_EQ(Exchange(cmd::MakeQuery(cmd::kGetReportRate))[1], 0x01);
    EXPECT_EQ(Exchange(cmd::MakeQuery(cmd::kGetReportRate))[1], 0x00);
}

TEST_F(SimBusTest, DroppedReplyNeverArrivesAndTheReadWaitsItsTimeout) {
    bus.SetFaults(unit, {.drop = 1});
    const auto before = clock.Now();
    EXPECT_TRUE(Exchange(cmd::MakeQuery(cmd::kGetReportRate)).empty());
    EXPECT_EQ(clock.Now() - before, std::chrono::milliseconds(30));
    EXPECT_EQ(bus.PendingInput(unit), 0);
    EXPECT_FALSE(Exchange(cmd::MakeQuery(cmd::kGetReportRate)).empty());
}

TEST_F(SimBusTest, LateReplyArrivesOnlyAfterItsDelay) {
    bus.SetFaults(unit, {.late_ms = 45});
    ASSERT_EQ(Send(handle, cmd::MakeQuery(cmd::kGetReportRate)), 33);
    EXPECT_TRUE(Read(handle, 30).empty());
    std::vector<std::uint8_t> reply = Read(handle, 30);
    ASSERT_FALSE(reply.empty());
    EXPECT_EQ(reply[0], cmd::kGetReportRate);
    EXPECT_EQ(clock.Now(), std::chrono::milliseconds(45));
}

TEST_F(SimBusTest, GarbageComesAheadOfTheReplyAndNeverLooksLikeAnAck) {
    bus.SetFaults(unit, {.garbage = 40});
    ASSERT_EQ(Send(handle, cmd::MakeQuery(cmd::kGetReportRate)), 33);
    for (int i = 0; i < 40; ++i) {
        std::vector<std::uint8_t> noise = Read(handle);
        ASSERT_FALSE(noise.empty());
        EXPECT_FALSE(noise.size() >= 2 && noise[1] == 0) << i;
        EXPECT_NE(noise[0], kConnectionReport);
        EXPECT_NE(noise[0], kDpiReport);
    }
    std::vector<std::uint8_t> reply = Read(handle);
    ASSERT_GE(reply.size(), 2u);
    EXPECT_EQ(reply[0], cmd::kGetReportRate);
    EXPECT_EQ(reply[1], 0);
}

TEST_F(SimBusTest, InterleavedReportPrecedesTheReply) {
    bus.SetFaults(unit, {.interleave = {mouse->DpiReport()}});
    ASSERT_EQ(Send(handle, cmd::MakeQuery(cmd::kGetReportRate)), 33);
    EXPECT_EQ(Read(handle)[0], kDpiReport);
    EXPECT_EQ(Read(handle)[0], cmd::kGetReportRate);
}

TEST_F(SimBusTest, VanishTakesTheWriteThenFailsEveryRead) {
    std::vector<BusEvent> events;
    bus.SetListener([&](const BusEvent& e) { events.push_back(e); });
    bus.SetFaults(unit, {.vanish = true});
    EXPECT_EQ(Send(handle, cmd::MakeQuery(cmd::kGetReportRate)), 33);
    std::uint8_t buffer[64];
    EXPECT_EQ(bus.ReadTimeout(handle, buffer, sizeof buffer, 30), -1);
    EXPECT_EQ(bus.Write(handle, buffer, 33), -1);
    EXPECT_EQ(events.size(), 3u);
    EXPECT_TRUE(bus.Enumerate(0, 0).empty());
}

TEST_F(SimBusTest, ReportDelayAppliesToEveryReport) {
    bus.SetReportDelay(std::chrono::milliseconds(1));
    ASSERT_EQ(Send(handle, cmd::MakeQuery(cmd::kGetReportRate)), 33);
    EXPECT_EQ(clock.Now(), std::chrono::milliseconds(1));  // the write's own interval
    EXPECT_FALSE(Read(handle, 0).empty());
    bus.PressDpiButton(unit);
    EXPECT_TRUE(Read(handle, 0).empty());
    EXPECT_FALSE(Read(handle, 1).empty());
}

TEST_F(SimBusTest, DpiButtonCyclesTheLevelAndReportsIt) {
    Exchange(EncodeDpiLevels(16, LookUpSensor(16), 1, 3, {400, 800, 1600, 0, 0, 0}));
    bus.PressDpiButton(unit);
    std::vector<std::uint8_t> report = Read(handle);
    ASSERT_GE(report.size(), 2u);
    EXPECT_EQ(report[0], kDpiReport);
    EXPECT_EQ(report[1], 0x23);
    bus.PressDpiButton(unit);
    EXPECT_EQ(Read(handle)[1], 0x03);  // wraps to level 0
    EXPECT_EQ(Exchange(cmd::MakeQuery(cmd::kGetDpiLevels))[4], 0x03);
}

TEST_F(SimBusTest, ReceiverWithMouseOffAnswersOnlyWhoItIs) {
    auto wireless = std::make_shared<SimMouse>();
    UnitId receiver = bus.PlugReceiver(wireless, kReceiverId, false);
    HidHandle r = OpenConfig(receiver);
    ASSERT_NE(r, HidHandle::None);

    Send(r, cmd::MakeQuery(cmd::kGetDeviceInfo));
    std::vector<std::uint8_t> info = Read(r);
    ASSERT_GE(info.size(), 15u);
    EXPECT_EQ(info[1], 0);
    EXPECT_EQ(info[14], 0);
    Send(r, EncodeReportRate(2), 65);
    EXPECT_TRUE(Read(r).empty());
    EXPECT_NE(wireless->Settings().report_rate, 2);
    bus.PressDpiButton(receiver);
    EXPECT_TRUE(Read(r).empty());

    bus.SetMouseOn(receiver, true);
    std::vector<std::uint8_t> on = Read(r);
    ASSERT_GE(on.size(), 4u);
    EXPECT_EQ(on[0], kConnectionReport);
    EXPECT_EQ(on[1], 1);
    EXPECT_EQ(on[2], wireless->Settings().battery_a);
    Send(r, cmd::MakeQuery(cmd::kGetDeviceInfo));
    EXPECT_EQ(Read(r)[14], 1);

    bus.SetMouseOn(receiver, false);
    std::vector<std::uint8_t> off = Read(r);
    ASSERT_GE(off.size(), 4u);
    EXPECT_EQ(off[0], kConnectionReport);
    EXPECT_EQ(off[1], 0);
    EXPECT_EQ(off[2], 0);
}

TEST_F(SimBusTest, PlugAndPullNotifyEachCollection) {
    std::vector<BusEvent> events;
    bus.SetListener([&](const BusEvent& e) { events.push_back(e); });
    UnitId receiver = bus.PlugReceiver(std::make_shared<SimMouse>(), kReceiverId);
    ASSERT_EQ(events.size(), 2u);
    for (const BusEvent& e : events) {
        EXPECT_EQ(e.kind, BusEventKind::Arrived);
        EXPECT_EQ(e.unit, receiver);
        EXPECT_EQ(e.collection.product_id, kReceiverId.product_id);
    }
    EXPECT_EQ(bus.Enumerate(kReceiverId.vendor_id, kReceiverId.product_id).size(), 2u);
    EXPECT_EQ(bus.Enumerate(0, 0).size(), 5u);

    events.clear();
    EXPECT_TRUE(bus.Pull(unit));
    EXPECT_FALSE(bus.Pull(unit));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, BusEventKind::Removed);
    EXPECT_TRUE(bus.Enumerate(kCableId.vendor_id, kCableId.product_id).empty());
    std::uint8_t buffer[64];
    EXPECT_EQ(bus.ReadTimeout(handle, buffer, 64, 10), -1);
    std::u16string product;
    EXPECT_EQ(bus.GetProductString(handle, product, 512), -1);
}

TEST_F(SimBusTest, DecoyAndUpgradeCollectionsOpenButNeverAnswer) {
    int decoys = 0;
    for (const HidDeviceInfo& info : bus.Enumerate(kCableId.vendor_id, kCableId.product_id)) {
        if (info.usage_page == kConfigUsagePage) {
            continue;
        }
        ++decoys;
        HidHandle h = bus.OpenPath(info.path);
        ASSERT_NE(h, HidHandle::None);
        EXPECT_EQ(Send(h, cmd::MakeQuery(cmd::kGetDeviceInfo)), 33);
        EXPECT_TRUE(Read(h).empty());
        std::u16string product;
        EXPECT_EQ(bus.GetProductString(h, product, 3), 0);
        EXPECT_EQ(product, u"Sim");
        bus.Close(h);
    }
    EXPECT_EQ(decoys, 2);
    EXPECT_EQ(bus.OpenPath("sim:99:0"), HidHandle::None);
}

TEST_F(SimBusTest, WrittenReportsAreInspectable) {
    Exchange(EncodeReportRate(4), 65);
    std::vector<WrittenReport> written = bus.Written(unit);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].bytes.size(), 65u);
    EXPECT_EQ(written[0].bytes[1], cmd::kSetReportRate);
    bus.ClearWritten();
    EXPECT_TRUE(bus.Written(unit).empty());
}

class SimPersistence : public ::testing::Test {
  protected:
    void SetUp() override {
        path =
            (std::filesystem::temp_directory_path() /
             ("quillora-sim-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
              "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                .string();
        std::filesystem::remove(path);
    }
    void TearDown() override { std::filesystem::remove(path); }
    std::string path;
};

TEST_F(SimPersistence, ASecondMouseOnTheSameFileSeesTheWrites) {
    {
        ManualClock clock;
        SimBus bus(clock);
        auto mouse = std::make_shared<SimMouse>();
        EXPECT_FALSE(mouse->PersistIn(path));  // nothing to load yet
        UnitId unit = bus.PlugCable(mouse, kCableId);
        for (const HidDeviceInfo& info : bus.Enumerate(0, 0)) {
            if (info.usage_page == kConfigUsagePage) {
                HidHandle h = bus.OpenPath(info.path);
                ReportFrame f = EncodePowerOptions(7, 1, 0, 33);
                bus.Write(h, f.data(), 65);
                std::vector<MacroEventInput> ev = {{kMacroKeyDown, 0x41}, {kMacroKeyUp, 0x41}};
                ReportFrame m = EncodeMacroFrames(BuildMacroStream(3, ev)).frames[0];
                bus.Write(h, m.data(), 33);
            }
        }
        ASSERT_EQ(bus.SettingsOf(unit)->power[3], 33);
    }
    auto later = std::make_shared<SimMouse>();
    EXPECT_TRUE(later->PersistIn(path));
    MouseSettings s = later->Settings();
    EXPECT_EQ(s.power, (std::array<std::uint8_t, 4>{7, 1, 0, 33}));
    EXPECT_EQ(s.macro, (std::vector<std::uint8_t>{3, 0x30, 1, 0, 4, 0xB0, 1, 0, 4}));
}

TEST(SimSettingsFile, RoundTripsEveryField) {
    MouseSettings s = FactorySettings(MouseSettings{});
    s.model_code = {'X', 'Y', 0x80, 0};
    s.info_word = 0xBEEF;
    s.battery_b = 3;
    s.light_data[21] = 9;
    s.button_table[26] = 0x77;
    s.macro = {1, 2, 3};
    EXPECT_EQ(ParseSettings(SerializeSettings(s)), s);
    s.macro.clear();
    EXPECT_EQ(ParseSettings(SerializeSettings(s)), s);
}

TEST(SimSettingsFile, RefusesWhatIsNotASettingsFile) {
    EXPECT_FALSE(ParseSettings(""));
    EXPECT_FALSE(ParseSettings("hello\nsensor=05\n"));
    EXPECT_FALSE(ParseSettings("quillora-sim-mouse 1\nsensor=05 06\n"));
    EXPECT_FALSE(ParseSettings("quillora-sim-mouse 1\npower=01 02 zz 04\n"));
    auto partial = ParseSettings("quillora-sim-mouse 1\nsensor=26\nunknown=01\n");
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->sensor, 0x26);
}

}  // namespace
}  // namespace quillora::sim
