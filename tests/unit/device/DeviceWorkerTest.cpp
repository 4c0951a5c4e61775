#include "device/DeviceWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "device/DeviceTask.h"

namespace quillora {
namespace {

using namespace std::chrono_literals;

// Records the order in which tasks ran and lets a test wait for a given count.
class TaskLog {
  public:
    void Add(int entry) {
        std::lock_guard<std::mutex> guard(mutex_);
        entries_.push_back(entry);
        changed_.notify_all();
    }
    bool WaitFor(size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return entries_.size() >= count; });
    }
    std::vector<int> Entries() {
        std::lock_guard<std::mutex> guard(mutex_);
        return entries_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> entries_;
};

TEST(DeviceWorker, RunsEveryQueuedCopyInOrder) {
    DeviceWorker worker;
    TaskLog log;
    std::atomic<int> dpiValue{0};
    worker.RegisterTask(kTaskWriteDpiLevels, [&] { log.Add(900 + dpiValue.load()); });
    worker.RegisterTask(kTaskWriteReportRate, [&] { log.Add(11); });
    // Queue before starting so the order cannot depend on timing.
    dpiValue = 1;
    worker.QueueTask(kTaskWriteDpiLevels);
    worker.QueueTask(kTaskWriteDpiLevels);
    worker.QueueTask(kTaskWriteReportRate);
    worker.QueueTask(kTaskWriteDpiLevels);
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(log.WaitFor(4));
    EXPECT_EQ(log.Entries(), (std::vector<int>{901, 901, 11, 901}));
    EXPECT_TRUE(worker.Stop());
}

TEST(DeviceWorker, CodesWithoutTaskAreDropped) {
    DeviceWorker worker;
    TaskLog log;
    worker.RegisterTask(kTaskWriteLighting, [&] { log.Add(8); });
    worker.QueueTask(14);
    worker.QueueTask(7);
    worker.QueueTask(kTaskWriteLighting);
    worker.Start();
    ASSERT_TRUE(log.WaitFor(1));
    ASSERT_TRUE(worker.Stop());  // the turn that ran the task has ended
    EXPECT_EQ(log.Entries(), std::vector<int>{8});
    EXPECT_EQ(worker.PendingTasks(), 0u);
    EXPECT_EQ(worker.TasksRun(), 1u);
}

TEST(DeviceWorker, AfterTaskHookRunsBeforeTheNextTask) {
    DeviceWorker worker;
    TaskLog log;
    worker.RegisterTask(5, [&] { log.Add(5); });
    worker.RegisterTask(6, [&] { log.Add(6); });
    worker.SetAfterTask([&] { log.Add(-1); });
    worker.QueueTask(5);
    worker.QueueTask(6);
    worker.Start();
    ASSERT_TRUE(log.WaitFor(4));
    EXPECT_EQ(log.Entries(), (std::vector<int>{5, -1, 6, -1}));
}

TEST(DeviceWorker, ReadsNotificationsOnlyWhenTheQueueIsEmpty) {
    DeviceWorker worker;
    TaskLog log;
    std::atomic<int> reads{0};
    worker.RegisterTask(9, [&] { log.Add(9); });
    worker.SetIdleReader([&] {
        if (reads.fetch_add(1) == 0)
            log.Add(0);
        return DeviceWorker::IdleRead::NothingToRead;
    });
    worker.QueueTask(9);
    worker.QueueTask(9);
    worker.Start();
    ASSERT_TRUE(log.WaitFor(3));
    EXPECT_EQ(log.Entries(), (std::vector<int>{9, 9, 0}));
}

TEST(DeviceWorker, IdleWorkerSleepsUntilATaskArrives) {
    DeviceWorker worker;
    TaskLog log;
    std::atomic<int> idleTurns{0};
    worker.RegisterTask(9, [&] { log.Add(9); });
    worker.SetIdleReader([&] {
        idleTurns.fetch_add(1);
        return DeviceWorker::IdleRead::NothingToRead;
    });
    worker.Start();
    for (size_t i = 1; i <= 20; ++i) {
        worker.QueueTask(9);
        ASSERT_TRUE(log.WaitFor(i));
    }
    // Give a polling worker the time to show itself: at 2 ms a turn it would make
    // dozens of idle turns here.
    std::this_thread::sleep_for(100ms);
    EXPECT_LE(idleTurns.load(), 21 + 1);
    EXPECT_TRUE(worker.Stop());
}

TEST(DeviceWorker, BlockingReadsGoOnWithoutSleeping) {
    DeviceWorker worker;
    std::promise<void> enough;
    std::atomic<int> reads{0};
    worker.SetIdleReader([&] {
        if (reads.fetch_add(1) + 1 == 5)
            enough.set_value();
        return DeviceWorker::IdleRead::Waited;
    });
    worker.Start();
    EXPECT_EQ(enough.get_future().wait_for(10s), std::future_status::ready);
    worker.Stop();
}

TEST(DeviceWorker, StopIsBoundedWhileATaskIsBusy) {
    DeviceWorker worker;
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    worker.RegisterTask(3, [&] {
        entered.set_value();
        released.wait();
    });
    worker.QueueTask(3);
    worker.QueueTask(3);  // must not run: the stop comes first
    worker.Start();
    entered.get_future().wait();
    EXPECT_EQ(worker.CurrentTask(), 3);
    EXPECT_FALSE(worker.Stop(20ms));  // still busy: the bound is kept
    release.set_value();
    worker.Join();
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(worker.TasksRun(), 1u);
    EXPECT_EQ(worker.PendingTasks(), 1u);
}

TEST(DeviceWorker, RegistrationIsRefusedOnceRunning) {
    DeviceWorker worker;
    worker.Start();
    EXPECT_FALSE(worker.RegisterTask(9, [] {}));
    EXPECT_TRUE(worker.Stop());
    EXPECT_TRUE(worker.RegisterTask(9, [] {}));
}

TEST(DeviceWorker, RestartsAfterAStop) {
    DeviceWorker worker;
    TaskLog log;
    worker.RegisterTask(9, [&] { log.Add(9); });
    ASSERT_TRUE(worker.Start());
    EXPECT_FALSE(worker.Start());  // already running
    EXPECT_TRUE(worker.Stop());
    worker.QueueTask(9);
    ASSERT_TRUE(worker.Start());
    EXPECT_TRUE(log.WaitFor(1));
}

}  // namespace
}  // namespace quillora
