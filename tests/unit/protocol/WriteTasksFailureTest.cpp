// What a failed exchange does to the write tasks, how they hand on the mouse's own
// reports, and the tasks run by the worker thread.

#include <condition_variable>
#include <functional>
#include <mutex>

#include "WriteTaskFixture.h"
#include "device/DeviceTask.h"
#include "device/DeviceWorker.h"

namespace quillora::write_test {
namespace {

struct TaskCase {
    const char* name;
    bool (*task)(DeviceContext&, const WriteTaskHooks&);
    int command;
};

const TaskCase kSingleFrameTasks[] = {
    {"button table", &WriteButtonAssignments, 0x09}, {"lighting", &WriteLighting, 0x05},
    {"DPI levels", &WriteDpiLevels, 0x03},           {"DPI colours", &WriteDpiColors, 0x04},
    {"report rate", &WriteReportRate, 0x02},         {"sensor options", &WriteSensorOptions, 0x06},
    {"power options", &WritePowerOptions, 0x07},
};

struct FaultCase {
    const char* name;
    sim::Faults faults;
};

const FaultCase kFaults[] = {
    {"refused", {.refuse = 1}},
    {"no reply", {.drop = 1}},
    {"device gone", {.vanish = true}},
};

class WriteFailureTest : public WriteTaskTest {
  protected:
    // Something stored for every task to send: a lighting row for the current mode.
    void Prepare(Link kind) {
        Open(kind, true);
        AddLight(1, 4, 2);
        ASSERT_TRUE(store.SetActiveLightMode(1, 1));
        session.Update([](DeviceState& s) {
            s.currentLightMode = 1;
            s.deviceOnline = false;
        });
        Set("report_rate", 4);
        SaveKey(2, 5, 1);
    }
};

TEST_F(WriteFailureTest, FailedWriteKeepsTheStoreAndRefreshesTheLinkOnlyThroughAReceiver) {
    for (Link kind : {Link::Cable, Link::Receiver}) {
        for (const FaultCase& fault : kFaults) {
            for (const TaskCase& task : kSingleFrameTasks) {
                SCOPED_TRACE(std::string(LinkName(kind)) + ", " + fault.name + ", " + task.name);
                Prepare(kind);
                bus.SetFaults(unit, fault.faults);
                const StoreContents before = Contents();

                EXPECT_FALSE(task.task(context, {}));

                EXPECT_EQ(Contents(), before);
                if (!fault.faults.vanish) {
                    EXPECT_EQ(Commands(), std::vector<int>{task.command});
                }
                if (kind == Link::Receiver) {
                    // The connection display is brought up to date: the mouse was shown
                    // offline, so the panel says it is reached through the receiver.
                    EXPECT_EQ(view.Calls(), (std::vector<std::string>{
                                                "CloseTransientWindows", "SetTileState 7 1 1",
                                                "SetPanelText 52", "SetTileState 7 1 1"}));
                } else {
                    EXPECT_TRUE(view.Calls().empty());
                }
            }
        }
    }
}

TEST_F(WriteFailureTest, StoredValueGoesOutWithTheNextWrite) {
    Prepare(Link::Receiver);
    bus.SetFaults(unit, {.drop = 1});
    ASSERT_FALSE(WriteReportRate(context));
    Set("report_rate", 2);
    ASSERT_TRUE(WriteReportRate(context));
    EXPECT_EQ(Mouse().report_rate, 2);
    const Wire wire = Written();
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[1][5], 2);
}

TEST_F(WriteFailureTest, WritesWithoutAMouseFailAtOnceAndSendNothing) {
    Prepare(Link::Receiver);
    link.SetOpen(false);
    const auto start = clock.Now();
    EXPECT_FALSE(WriteDpiLevels(context));
    EXPECT_FALSE(WriteAllSettings(context));
    EXPECT_TRUE(Written().empty());
    EXPECT_EQ(clock.Now(), start);
}

TEST_F(WriteFailureTest, FailedMacroFrameIsTracedOnlyAndTheRestStillGo) {
    Prepare(Link::Receiver);
    const int id = store.CreateMacro(u"seven");
    std::vector<MacroEventRecord> events;
    for (int i = 0; i < 7; ++i) {
        MacroEventRecord e;
        e.macro_id = id;
        e.type = i % 2 == 0 ? 2 : 3;
        e.record_index = i;
        e.value = 0x42;
        events.push_back(e);
    }
    store.AddMacroEvents(events);
    SaveKey(3, 4, id);
    session.Update([](DeviceState& s) {
        s.macroPending = true;
        s.pendingMacroKey = 3;
    });
    bus.SetFaults(unit, {.refuse = 1});

    // The last macro frame and the table were acknowledged.
    EXPECT_TRUE(WriteButtonAssignments(context));

    EXPECT_EQ(Commands(), (std::vector<int>{0x08, 0x08, 0x09}));
    EXPECT_TRUE(view.Calls().empty());
}

TEST_F(WriteFailureTest, ReportsMetDuringAnExchangeAreHandedOn) {
    Prepare(Link::Receiver);
    std::vector<ReportFrame> kept;
    WriteTaskHooks hooks;
    hooks.keepNotifications = [&](const std::vector<ReportFrame>& frames) {
        kept.insert(kept.end(), frames.begin(), frames.end());
    };
    sim::InputReport dpi = mouse->DpiReport();
    sim::InputReport connection = mouse->ConnectionReport(true);
    bus.SetFaults(unit, {.interleave = {dpi, connection}});

    ASSERT_TRUE(WriteReportRate(context, hooks));

    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0][0], kDpiReport);
    EXPECT_EQ(kept[1][0], kConnectionReport);
    EXPECT_EQ(Mouse().report_rate, 4);
}

// Counts the tasks the worker has finished and lets the test wait for a number of them.
class Finished {
  public:
    void Add() {
        std::lock_guard<std::mutex> guard(mutex_);
        ++count_;
        changed_.notify_all();
    }
    bool WaitFor(int count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [&] { return count_ >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

TEST_F(WriteTaskTest, WorkerRunsEachQueuedWriteWithWhatIsStoredWhenItRuns) {
    DeviceWorker worker;
    Finished finished;
    RegisterWriteTasks(worker, context);
    worker.SetAfterTask([&] { finished.Add(); });
    worker.loop = true;
    worker.period = 2;
    for (int code : {kTaskWriteDpiLevels, kTaskWriteDpiLevels, kTaskWriteReportRate,
                     kTaskWriteDpiLevels, kTaskWriteAllSettings}) {
        worker.QueueTask(code);
    }
    // Stored after queueing: the tasks read the store when they run.
    Set("dpi_index", 0);
    Set("dpi_count", 2);
    Set("report_rate", 1);

    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(finished.WaitFor(5));
    ASSERT_TRUE(worker.Stop());

    const std::vector<int> expected = {0x03, 0x03, 0x02, 0x03,
                                       // the whole profile, lighting without a row skipped
                                       0x09, 0x03, 0x04, 0x02, 0x06, 0x07};
    EXPECT_EQ(Commands(), expected);
    for (const auto& bytes : Written()) {
        if (bytes[1] == 0x03) {
            EXPECT_EQ(bytes[5], 0x02);
        }
    }
    EXPECT_EQ(Mouse().report_rate, 1);
}

TEST_F(WriteTaskTest, EveryWriteTaskCodeIsRegistered) {
    DeviceWorker worker;
    Finished finished;
    RegisterWriteTasks(worker, context);
    worker.SetAfterTask([&] { finished.Add(); });
    worker.loop = true;
    const std::vector<std::pair<int, int>> codes = {
        {kTaskWriteAllSettings, 0x09},   {kTaskWriteButtonAssignments, 0x09},
        {kTaskWriteLighting, 0x05},      {kTaskWriteDpiLevels, 0x03},
        {kTaskWriteDpiColors, 0x04},     {kTaskWriteReportRate, 0x02},
        {kTaskWriteSensorOptions, 0x06}, {kTaskWritePowerOptions, 0x07},
        {kTaskResetLighting, 0x0E},      {kTaskResetDpiToDefaults, 0x03},
        {kTaskRestoreDefaults, 0x0F},
    };
    AddLight(1, 4, 2);
    ASSERT_TRUE(store.SetActiveLightMode(1, 1));
    ASSERT_TRUE(worker.Start());
    int done = 0;
    for (const auto& [code, first] : codes) {
        SCOPED_TRACE("task " + std::to_string(code));
        bus.ClearWritten();
        worker.QueueTask(code);
        ASSERT_TRUE(finished.WaitFor(++done));
        ASSERT_FALSE(Commands().empty());
        EXPECT_EQ(Commands().front(), first);
    }
    ASSERT_TRUE(worker.Stop());
}

}  // namespace
}  // namespace quillora::write_test
