// Every fault the simulated mouse can inject, during the full read: the engine never
// crashes or waits past the exchange bounds, and a failed query stores nothing.

#include <gtest/gtest.h>

#include "device/DeviceDiscovery.h"
#include "integration/EngineFixture.h"
#include "protocol/ConfigRead.h"
#include "protocol/DiscoveryTasks.h"
#include "protocol/NotificationHandler.h"

namespace quillora::testing {
namespace {

// Eight queries follow the record on a cable: 0x11 to 0x17.
constexpr int kQueries = 7;
constexpr auto kExchangeBound = std::chrono::milliseconds(50 * 30);

struct FaultCase {
    const char* name;
    sim::Faults faults;
    bool stored;  // the mouse's report rate reaches the store
};

class Faults : public EngineTest<ManualClock>, public ::testing::WithParamInterface<FaultCase> {
  protected:
    void SetUp() override {
        sim::MouseSettings s = MouseWithCode("QH01");
        s.report_rate = 4;
        cable = bus.PlugCable(std::make_shared<sim::SimMouse>(s), kProCable);
        FillSupportedDevices(context, 101);
        // Identify and select without reading, so the fault meets the read.
        ReEnumerate(context);
        ASSERT_GE(RefreshDevices(context).selectedKind, 0);
        InitialiseProfiles(context, {});
        view.Clear();
    }
    sim::UnitId cable = 0;
};

TEST_P(Faults, ReadSurvivesWithinTheBounds) {
    bus.SetFaults(cable, GetParam().faults);
    const auto before = clock.Now();

    const bool ok = ReadDeviceConfig(context);
    HandleKeptNotifications(context);

    EXPECT_TRUE(ok);  // the record was kept from discovery: the mouse is connected
    EXPECT_LE(clock.Now() - before, kQueries * kExchangeBound);
    EXPECT_EQ(IntSetting("report_rate"), GetParam().stored ? 4 : 1);
}

sim::InputReport Dpi13() {
    sim::InputReport r(sim::kInputReportSize, 0);
    r[0] = 0xC2;
    r[1] = 0x13;
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    EveryFault, Faults,
    ::testing::Values(FaultCase{"refuse", {.refuse = 100}, false},
                      FaultCase{"refuse_once", {.refuse = 1}, true},
                      FaultCase{"drop", {.drop = 100}, false},
                      FaultCase{"garbage", {.garbage = 5}, true},
                      FaultCase{"late_within_a_read", {.late_ms = 20}, true},
                      FaultCase{"late_past_the_exchange", {.late_ms = 2000}, false},
                      FaultCase{"vanish", {.vanish = true}, false},
                      FaultCase{"interleave", {.interleave = {Dpi13()}}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Faults, ALateReplyIsNeverStoredAsTheNextQuerysAnswer) {
    bus.SetFaults(cable, {.late_ms = 2000});

    ReadDeviceConfig(context);

    // Every reply came after its query had given up and ended the next one's wait;
    // none was taken for another query's answer (the mouse has 4 levels, sleep 10).
    EXPECT_EQ(IntSetting("dpi_count"), 6);
    EXPECT_EQ(IntSetting("sleep_light"), 30);
}

TEST_F(Faults, VanishingMouseEndsTheReadAtOnce) {
    bus.SetFaults(cable, {.vanish = true});
    const auto before = clock.Now();

    ReadDeviceConfig(context);

    // The first query's read fails, the rest cannot be written.
    EXPECT_LE(clock.Now() - before, std::chrono::milliseconds(100));
    EXPECT_EQ(IntSetting("report_rate"), 1);
}

TEST_F(Faults, InterleavedDpiReportIsHandledAfterTheRead) {
    bus.SetFaults(cable, {.interleave = {Dpi13()}});

    ReadDeviceConfig(context);
    HandleKeptNotifications(context);

    EXPECT_TRUE(view.Has("ShowDpiLevelCount 3"));
    EXPECT_EQ(IntSetting("dpi_count"), 3);
    EXPECT_EQ(IntSetting("dpi_index"), 1);
}

TEST_F(Faults, MouseOffBehindTheReceiverRefreshesTheLinkState) {
    const sim::UnitId receiver = bus.PlugReceiver(NewMouse(), kProReceiver, false);
    bus.Pull(cable);
    ReEnumerate(context);
    ASSERT_EQ(RefreshDevices(context).selectedKind, kLinkReceiver);
    view.Clear();

    EXPECT_FALSE(ReadDeviceConfig(context));
    EXPECT_TRUE(view.Has("CloseTransientWindows"));
    EXPECT_TRUE(view.Has("SetTileState 101 1 1"));
    for (const sim::WrittenReport& r : bus.Written(receiver)) {
        EXPECT_EQ(r.bytes[1], 0x10);
    }
}

}  // namespace
}  // namespace quillora::testing
