// The engine as the programs start it: the real worker thread, the system clock and
// hot-plug through the simulated bus's listener. Waits are bounded generously; nothing
// here measures time.

#include <gtest/gtest.h>

#include <future>

#include "device/DeviceTask.h"
#include "integration/EngineFixture.h"
#include "protocol/DeviceEngine.h"
#include "sim/SimHotPlug.h"

namespace quillora::testing {
namespace {

class WorkerEngine : public EngineTest<SystemClock> {
  protected:
    void TearDown() override {
        bus.SetListener({});
        engine.Stop(std::chrono::milliseconds::max());
    }
    // The page refresh that ends a successful read.
    static std::string ReadDone() {
        return "RefreshPages " + std::to_string(kRefreshButtons | kRefreshMacros | kRefreshDpi |
                                                kRefreshLighting | kRefreshFirmwareVersion);
    }
    // A task that tells when the worker has finished everything it did before it.
    void RegisterMarker() {
        engine.Worker().RegisterTask(kMarkerTask, [this] {
            std::lock_guard<std::mutex> lock(markerMutex);
            ++markers;
            markerChanged.notify_all();
        });
    }
    bool WorkerCaughtUp() {
        std::unique_lock<std::mutex> lock(markerMutex);
        const int target = markers + 1;
        lock.unlock();
        engine.QueueTask(kMarkerTask);
        lock.lock();
        return markerChanged.wait_for(lock, std::chrono::seconds(10),
                                      [&] { return markers >= target; });
    }
    static constexpr int kMarkerTask = 77;
    std::mutex markerMutex;
    std::condition_variable markerChanged;
    int markers = 0;
    DeviceEngine engine{context};
};

TEST_F(WorkerEngine, StartReadsTheConnectedMouseAndChecksItsFirmware) {
    sim::MouseSettings s = MouseWithCode("QH01");
    s.report_rate = 2;
    bus.PlugCable(std::make_shared<sim::SimMouse>(s), kProCable);
    std::promise<void> checked;
    engine.Hooks().checkFirmwareVersion = [&] { checked.set_value(); };

    ASSERT_TRUE(engine.Start());

    // The check runs after the read's page refresh.
    ASSERT_EQ(checked.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(view.Has(ReadDone()));
    EXPECT_EQ(IntSetting("report_rate"), 2);
    EXPECT_EQ(registry.ReadDeviceType(), 101);
}

TEST_F(WorkerEngine, ArrivalAndRemovalThroughTheBusListener) {
    sim::ConnectHotPlug(bus, engine.HotPlug());
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(view.WaitFor("ShowLayout NoDevice"));
    view.Clear();

    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);
    ASSERT_TRUE(view.WaitFor(ReadDone()));
    EXPECT_TRUE(view.Has("SetPanelText 51"));
    EXPECT_TRUE(session.Snapshot().interfacesPresent);

    view.Clear();
    bus.Pull(cable);
    ASSERT_TRUE(view.WaitFor("ShowLayout NoDevice"));
    EXPECT_TRUE(view.Has("SetPanelText 50"));
    EXPECT_FALSE(session.Snapshot().interfacesPresent);
}

TEST_F(WorkerEngine, IdleWorkerFollowsTheReceiversMouse) {
    const sim::UnitId receiver = bus.PlugReceiver(NewMouse(), kProReceiver);
    RegisterMarker();
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(view.WaitFor(ReadDone()));

    view.Clear();
    bus.SetMouseOn(receiver, false);
    ASSERT_TRUE(view.WaitFor("ShowLayout NoDevice"));
    EXPECT_FALSE(session.Snapshot().deviceOnline);
    // The handling polls the receivers after the report; let it finish first, or the
    // poll takes the next report as the news.
    ASSERT_TRUE(WorkerCaughtUp());

    view.Clear();
    bus.SetMouseOn(receiver, true);
    ASSERT_TRUE(view.WaitFor("SetBattery 80 0"));
    EXPECT_TRUE(session.Snapshot().deviceOnline);
}

TEST_F(WorkerEngine, DpiButtonOnTheMouseReachesTheStore) {
    const sim::UnitId cable = bus.PlugCable(NewMouse(), kProCable);
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(view.WaitFor(ReadDone()));

    // The mouse starts at level 1 of 4; the button selects level 2.
    bus.PressDpiButton(cable);
    ASSERT_TRUE(view.WaitFor("ShowDpiLevelCount 4"));
    ASSERT_TRUE(view.WaitFor("ShowDpiNotice 1600"));
    EXPECT_EQ(IntSetting("dpi_index"), 2);
}

TEST_F(WorkerEngine, OpeningAModelSwitchesItsDatabaseOnTheWorker) {
    bus.PlugCable(NewMouse(), kProCable);
    bus.PlugCable(NewMouse("QW01"), kWrenCable);
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(view.WaitFor(ReadDone()));
    view.Clear();

    const OpenDeviceResult result = engine.OpenSelectedDevice(103);

    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.panelText, 51);
    ASSERT_TRUE(view.WaitFor("DescriptionLoaded"));
    ASSERT_TRUE(view.WaitFor("RefreshPages " +
                             std::to_string(kRefreshProfiles | kRefreshButtons | kRefreshMacros |
                                            kRefreshDpi | kRefreshLighting | kRefreshDeviceInfo)));
    EXPECT_EQ(store.Path(), dir.Path() + "db/wren_mini_data1.db");
    EXPECT_EQ(session.Snapshot().currentProfile, 1);
}

}  // namespace
}  // namespace quillora::testing
