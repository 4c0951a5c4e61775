// The mouse's own reports: DPI changes made on the mouse and the wireless mouse
// leaving and coming back, read by the idle read or kept during an exchange.

#include <gtest/gtest.h>

#include <cstdio>

#include "device/DeviceDiscovery.h"
#include "integration/EngineFixture.h"
#include "protocol/DiscoveryTasks.h"
#include "protocol/NotificationHandler.h"

namespace quillora::testing {
namespace {

class Notifications : public EngineTest<ManualClock> {
  protected:
    void Discover() {
        FillSupportedDevices(context, 101);
        RunStartupDiscovery(context, hooks);
        view.Clear();
        bus.ClearWritten();
    }
    static sim::InputReport Report(std::initializer_list<std::uint8_t> head) {
        sim::InputReport r(sim::kInputReportSize, 0);
        std::copy(head.begin(), head.end(), r.begin());
        return r;
    }
    // The page shows five levels with level 2 selected.
    void ShowFiveLevelsSecondSelected() {
        session.Update([](DeviceState& s) {
            s.shownDpiCount = 5;
            s.shownDpiIndex = 2;
        });
        store.SetSetting(1, "dpi_count", u"5");
        store.SetSetting(1, "dpi_index", u"2");
    }

    DiscoveryHooks hooks;
};

struct DpiCase {
    std::uint8_t byte1;
    int storedCount;
    int storedIndex;
    std::vector<std::string> calls;
};

class DpiReports : public Notifications, public ::testing::WithParamInterface<DpiCase> {};

TEST_P(DpiReports, StoreWhatDiffersFromThePage) {
    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);
    Discover();
    ShowFiveLevelsSecondSelected();

    bus.SendReport(cable, Report({0xC2, GetParam().byte1}));
    EXPECT_EQ(HandleNotification(context), DeviceWorker::IdleRead::Waited);

    EXPECT_EQ(IntSetting("dpi_count"), GetParam().storedCount);
    EXPECT_EQ(IntSetting("dpi_index"), GetParam().storedIndex);
    EXPECT_EQ(view.Calls(), GetParam().calls);
    EXPECT_TRUE(bus.Written(cable).empty()) << "nothing is sent to the mouse";
}

// Sensor 25: level 1 holds 800 DPI by the description, position 800 / 100.
INSTANTIATE_TEST_SUITE_P(
    EdgeCases, DpiReports,
    ::testing::Values(
        DpiCase{0x25, 5, 2, {}},  // repeats the page: nothing
        DpiCase{0x13, 3, 1, {"ShowDpiLevelCount 3", "SelectDpiLevel 1 8", "ShowDpiNotice 800"}},
        DpiCase{0x35, 5, 3, {"SelectDpiLevel 3 32", "ShowDpiNotice 3200"}},
        DpiCase{0x07, 5, 2, {}},    // seven levels do not exist
        DpiCase{0x33, 5, 2, {}},    // level 3 of 3 does not exist
        DpiCase{0x00, 5, 2, {}}));  // no levels

TEST_F(Notifications, OtherReportCodesAreIgnored) {
    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);
    Discover();
    ShowFiveLevelsSecondSelected();

    bus.SendReport(cable, Report({0xC1, 0x13, 1, 1}));
    HandleNotification(context);

    EXPECT_TRUE(view.Calls().empty());
    EXPECT_EQ(IntSetting("dpi_count"), 5);
}

TEST_F(Notifications, ReceiverMouseGoesOffAndComesBack) {
    const sim::UnitId receiver = bus.PlugReceiver(NewMouse(), kProReceiver);
    Discover();
    ASSERT_TRUE(session.Snapshot().deviceOnline);

    bus.SetMouseOn(receiver, false);
    HandleNotification(context);

    EXPECT_FALSE(session.Snapshot().deviceOnline);
    EXPECT_TRUE(view.Has("SetPanelText 50"));
    EXPECT_TRUE(view.Has("ShowLayout NoDevice"));
    EXPECT_TRUE(view.Has("SetTileState 101 1 0"));
    EXPECT_FALSE(link.IsDeviceAvailable(101));
    EXPECT_FALSE(view.Has("ShowLayout DeviceList"));  // no catalogued model is online
    // 0, 0, 0: the battery indicator keeps what it showed.
    for (const std::string& call : view.Calls()) {
        EXPECT_NE(call.rfind("SetBattery", 0), 0u) << call;
    }

    view.Clear();
    bus.SetMouseOn(receiver, true);
    HandleNotification(context);

    EXPECT_TRUE(session.Snapshot().deviceOnline);
    EXPECT_TRUE(link.IsDeviceAvailable(101));
    const std::vector<std::string> calls = view.Calls();
    const auto at = [&](const std::string& c) {
        return std::find(calls.begin(), calls.end(), c) - calls.begin();
    };
    ASSERT_LT(at("ShowLayout Connected"), static_cast<long>(calls.size()));
    EXPECT_LT(at("SetPanelText 52"), static_cast<long>(calls.size()));
    EXPECT_LT(at("SetTileState 101 1 1"), static_cast<long>(calls.size()));
    // The re-read takes the record over (indicator B, A), then the report's (A', B').
    EXPECT_LT(at("SetBattery 0 80"), at("SetBattery 80 0"));
    EXPECT_EQ(calls.back(), "SetBattery 80 0");
}

TEST_F(Notifications, ConnectionReportBatteryAfterTheReRead) {
    const sim::UnitId receiver = bus.PlugReceiver(NewMouse(), kProReceiver);
    Discover();

    bus.SendReport(receiver, Report({0xC0, 1, 80, 1}));
    HandleNotification(context);

    EXPECT_EQ(view.Calls().back(), "SetBattery 80 1");
}

TEST_F(Notifications, ReportsMetDuringAnExchangeAreHandledAfterTheTask) {
    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);
    Discover();
    ShowFiveLevelsSecondSelected();
    bus.SetFaults(cable, {.interleave = {Report({0xC2, 0x13})}});

    ReportFrame query;
    query[1] = 0x12;
    ASSERT_TRUE(link.SendCommand(query, FrameSize::Short));  // the DPI report is no reply
    EXPECT_EQ(IntSetting("dpi_count"), 5);

    HandleKeptNotifications(context);
    EXPECT_EQ(IntSetting("dpi_count"), 3);
    EXPECT_EQ(IntSetting("dpi_index"), 1);
}

TEST_F(Notifications, IdleReadWaitsOnlyWhenSomethingCanDeliver) {
    EXPECT_EQ(HandleNotification(context), DeviceWorker::IdleRead::NothingToRead);

    bus.PlugReceiver(NewMouse(), kProReceiver, false);
    bus.PlugReceiver(NewMouse(), kOldReceiver, false);
    Discover();
    // With no current interface, one read shares 100 ms among the receivers.
    link.SetOnlineState(101, kLinkReceiver, kOffline);
    link.SelectDeviceType(101);
    ASSERT_EQ(link.CurrentInterface(), HidHandle::None);
    const auto before = clock.Now();
    EXPECT_EQ(HandleNotification(context), DeviceWorker::IdleRead::Waited);
    EXPECT_EQ(clock.Now() - before, std::chrono::milliseconds(100));
}

}  // namespace
}  // namespace quillora::testing
