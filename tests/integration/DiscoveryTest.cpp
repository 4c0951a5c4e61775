// Discovery and selection: which interfaces are opened and identified, which model is
// selected, and what the home area shows.

#include <gtest/gtest.h>

#include "device/DeviceDiscovery.h"
#include "device/DeviceTask.h"
#include "device/HotPlugService.h"
#include "device/OpenDevice.h"
#include "integration/EngineFixture.h"
#include "protocol/DiscoveryTasks.h"
#include "sim/SimHotPlug.h"

namespace quillora::testing {
namespace {

class Discovery : public EngineTest<ManualClock> {
  protected:
    void Start(int stored = 101) {
        FillSupportedDevices(context, stored);
        RunStartupDiscovery(context, hooks);
    }

    std::vector<HidInterface> AllInterfaces() {
        const int selected = link.SelectedDeviceType();
        link.SelectDeviceType(0);
        std::vector<HidInterface> all;
        link.GetInterfaces(all);
        link.SelectDeviceType(selected);
        return all;
    }

    // The commands written to a unit's configuration collection.
    std::vector<int> CommandsTo(sim::UnitId unit) {
        std::vector<int> codes;
        for (const sim::WrittenReport& r : bus.Written(unit)) {
            if (r.collection == 1 && r.bytes.size() > 1) {
                codes.push_back(r.bytes[1]);
            }
        }
        return codes;
    }

    DiscoveryHooks hooks;
};

TEST_F(Discovery, OpensOnlyTheConfigurationCollectionsOfCataloguedUnits) {
    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);
    const sim::UnitId receiver = bus.PlugReceiver(NewMouse(), kProReceiver);
    bus.PlugCable(NewMouse(), kStranger);

    Start();

    const std::vector<HidInterface> all = AllInterfaces();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].path, "sim:" + std::to_string(cable) + ":1");
    EXPECT_EQ(all[1].path, "sim:" + std::to_string(receiver) + ":1");
    for (const HidInterface& i : all) {
        EXPECT_EQ(i.device_type, 101);
    }
    EXPECT_TRUE(view.Has("SetTileState 101 0 1"));
    EXPECT_TRUE(view.Has("SetTileState 101 1 1"));
    EXPECT_TRUE(view.Has("SetTileVersion 101 105"));
    EXPECT_TRUE(view.Has("SelectTile 101"));
    const DeviceState state = session.Snapshot();
    EXPECT_TRUE(state.interfacesPresent);
    EXPECT_TRUE(state.deviceOnline);
    EXPECT_EQ(state.currentDeviceType, 101);
    EXPECT_EQ(state.openModelAttr, u"halcyon_pro");
    EXPECT_EQ(store.Path(), dir.Path() + "db/halcyon_pro_data1.db");
}

TEST_F(Discovery, TheCableIsPreferredOverTheReceiver) {
    const sim::UnitId receiver = bus.PlugReceiver(NewMouse(), kProReceiver);
    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);

    Start();

    EXPECT_EQ(link.GetSelectedKind(), kLinkCable);
    EXPECT_TRUE(view.Has("SetPanelText 51"));
    EXPECT_FALSE(view.Has("SetPanelText 52"));
    // The receiver only answered who it is; the whole read went over the cable, and a
    // cabled read never asks for the firmware version.
    EXPECT_EQ(CommandsTo(receiver), (std::vector<int>{0x10, 0x10}));
    const std::vector<int> read = CommandsTo(cable);
    EXPECT_EQ(std::count(read.begin(), read.end(), 0x13), 1);
    EXPECT_EQ(std::count(read.begin(), read.end(), 0x20), 0);
}

TEST_F(Discovery, ThroughTheReceiverAloneTheFirmwareVersionIsRead) {
    auto mouse = NewMouse();
    sim::MouseSettings s = mouse->Settings();
    s.firmware = {0x12, 0x05};
    mouse->SetSettings(s);
    bus.PlugReceiver(mouse, kProReceiver);

    Start();

    EXPECT_EQ(link.GetSelectedKind(), kLinkReceiver);
    EXPECT_TRUE(view.Has("SetPanelText 52"));
    EXPECT_EQ(session.Snapshot().firmwareVersion, u"1205");
}

TEST_F(Discovery, TheOldReceiverCountsAsTheGenericModel) {
    bus.PlugReceiver(NewMouse("ZZZZ"), kOldReceiver);

    Start();

    EXPECT_EQ(session.Snapshot().currentDeviceType, 101);
    EXPECT_TRUE(view.Has("SetTileState 101 1 1"));
}

struct RetryCase {
    int droppedQueries;
    int deviceType;
    const char* panel;
};

class InfoQueryRetry : public Discovery, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(InfoQueryRetry, OneMoreQueryAfterHalfASecond) {
    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);
    bus.SetFaults(cable, {.drop = GetParam().droppedQueries});
    FillSupportedDevices(context, 101);
    const auto before = clock.Now();

    ReEnumerate(context);

    const std::vector<HidInterface> all = AllInterfaces();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].device_type, GetParam().deviceType);
    const auto elapsed = clock.Now() - before;
    // Each failed query waits 50 reads of 30 ms; the retry comes 500 ms later.
    const auto bound = std::chrono::milliseconds(2 * 1500 + 500);
    if (GetParam().droppedQueries > 0) {
        EXPECT_GE(elapsed, std::chrono::milliseconds(1500 + 500));
    }
    EXPECT_LE(elapsed, bound);
    bus.SetFaults(cable, {.drop = GetParam().droppedQueries});
    RefreshDevices(context);
    EXPECT_TRUE(view.Has(GetParam().panel));
}

INSTANTIATE_TEST_SUITE_P(Drops, InfoQueryRetry,
                         ::testing::Values(RetryCase{0, 101, "SetPanelText 51"},
                                           RetryCase{1, 101, "SetPanelText 51"},
                                           // Unidentified: no tile, the model is not there.
                                           RetryCase{2, 0, "SetPanelText 50"}),
                         [](const auto& info) {
                             return "dropped" + std::to_string(info.param.droppedQueries);
                         });

TEST_F(Discovery, OnlyAnotherModelConnectedSelectsThatModel) {
    bus.PlugCable(NewMouse("QW01"), kWrenCable);

    Start();

    const DeviceState state = session.Snapshot();
    EXPECT_EQ(state.currentDeviceType, 103);
    EXPECT_TRUE(view.Has("SelectTile 103"));
    EXPECT_TRUE(view.Has("SetPanelText 51"));
    EXPECT_FALSE(view.Has("SetPanelText 50"));
    EXPECT_EQ(registry.ReadDeviceType(), 103);
    EXPECT_EQ(state.openModelAttr, u"wren_mini");
    EXPECT_EQ(store.Path(), dir.Path() + "db/wren_mini_data1.db");
    EXPECT_EQ(state.devicesRead, std::set<int>{103});
}

TEST_F(Discovery, ModelChoiceRule) {
    auto availableOf = [](std::set<int> online) {
        return [online](int type) { return online.count(type) > 0; };
    };
    struct Case {
        int stored;
        std::set<int> online;
        int chosen;
    } cases[] = {
        {101, {101, 103}, 101},  // the stored model when it is there
        {101, {103, 102}, 102},  // else the first catalogued model that is
        {102, {}, 102},          // else the stored model
        {555, {}, 101},          // a number without a model: the first model
        {0, {103}, 103},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseSelectedModel(catalog, c.stored, availableOf(c.online)), c.chosen)
            << "stored " << c.stored;
    }
}

TEST_F(Discovery, NothingConnectedShowsNoDevice) {
    bus.PlugCable(NewMouse(), kStranger);

    Start();

    const DeviceState state = session.Snapshot();
    EXPECT_FALSE(state.interfacesPresent);
    EXPECT_FALSE(state.deviceOnline);
    EXPECT_TRUE(view.Has("SetPanelText 50"));
    EXPECT_TRUE(view.Has("ShowLayout NoDevice"));
    EXPECT_EQ(bus.Written(1).size(), 0u);
}

TEST_F(Discovery, OpeningAModelOnlyWhenItAnswers) {
    const sim::UnitId receiver = bus.PlugReceiver(NewMouse(), kProReceiver, false);
    bus.PlugCable(NewMouse("QW01"), kWrenCable);
    Start(103);
    ASSERT_EQ(session.Snapshot().currentDeviceType, 103);
    std::vector<int> queued;
    auto queue = [&](int code) { queued.push_back(code); };

    // The receiver's mouse went off: its tile is offline and cannot be opened.
    link.SetOnlineState(101, kLinkReceiver, kOffline);
    const OpenDeviceResult refused = OpenSelectedDevice(context, 101, queue);
    EXPECT_FALSE(refused.opened);
    EXPECT_EQ(refused.messageTitle, 57);
    EXPECT_EQ(refused.messageText, 56);
    EXPECT_TRUE(queued.empty());

    // Back on: a model behind the receiver is switched to on the worker, then read.
    link.SetOnlineState(101, kLinkReceiver, kOnline);
    const OpenDeviceResult opened = OpenSelectedDevice(context, 101, queue);
    EXPECT_TRUE(opened.opened);
    EXPECT_EQ(opened.panelText, 52);
    EXPECT_EQ(queued, (std::vector<int>{kTaskSwitchModel, kTaskReadThroughReceiver}));
    EXPECT_EQ(registry.ReadDeviceType(), 101);
    // Nothing switched on this thread: the open database is still the one of 103.
    EXPECT_EQ(store.Path(), dir.Path() + "db/wren_mini_data1.db");
    RunModelSwitch(context, hooks);
    EXPECT_EQ(store.Path(), dir.Path() + "db/halcyon_pro_data1.db");
    EXPECT_GE(session.Snapshot().currentProfile, 1);
    (void)receiver;
}

TEST_F(Discovery, HotPlugQueuesArrivalAndRemoval) {
    std::vector<int> queued;
    HotPlugService service(
        catalog, [&] { return session.Snapshot().interfacesPresent; },
        [&](int code) { queued.push_back(code); });
    sim::ConnectHotPlug(bus, service);

    // Three collections arrive; only the configuration one is ours.
    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);
    EXPECT_EQ(queued, std::vector<int>{kTaskArrival});

    // No interface open yet: a removal is ignored.
    bus.Pull(cable);
    EXPECT_EQ(queued, std::vector<int>{kTaskArrival});

    const sim::UnitId again = bus.PlugCable(NewMouse(), kProCable);
    Start();
    queued.clear();
    bus.Pull(again);
    // Interface 2 is the configuration collection; the other two are not it.
    EXPECT_EQ(queued, std::vector<int>{kTaskRemoval});

    queued.clear();
    bus.PlugCable(NewMouse(), kStranger);
    EXPECT_TRUE(queued.empty());
    bus.SetListener({});
}

TEST_F(Discovery, RemovalOfTheCableFallsBackToTheReceiver) {
    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);
    bus.PlugReceiver(NewMouse(), kProReceiver);
    Start();
    ASSERT_EQ(link.GetSelectedKind(), kLinkCable);
    view.Clear();

    bus.Pull(cable);
    RunRemoval(context, hooks);

    EXPECT_EQ(link.GetSelectedKind(), kLinkReceiver);
    EXPECT_TRUE(view.Has("SetPanelText 52"));
    // Read once in this run already: only the device information is taken over.
    EXPECT_TRUE(
        view.Has("RefreshPages " + std::to_string(kRefreshButtons | kRefreshMacros | kRefreshDpi |
                                                  kRefreshLighting | kRefreshFirmwareVersion)));
}

}  // namespace
}  // namespace quillora::testing
