#pragma once

// The worker thread of the device engine. Each turn it runs one queued task, or, when
// the queue is empty and interfaces are present, reads at most one unsolicited report.
// Task functions are registered by the upper layers at start-up, so this layer never
// depends on them; a code without a function is taken from the queue and dropped.

#include <atomic>
#include <functional>
#include <map>
#include <mutex>

#include "device/CThreadBasic.h"
#include "device/TaskQueue.h"

namespace quillora {

class DeviceWorker : public CThreadBasic {
  public:
    using TaskFunction = std::function<void()>;

    // What the idle read did.
    enum class IdleRead {
        NothingToRead,  // no interface present: the worker may sleep until woken
        Waited,         // blocked in a read (a report came or the time-out passed)
    };
    using IdleReader = std::function<IdleRead()>;

    DeviceWorker();
    ~DeviceWorker() override;

    // Registration happens before Start(); later calls are refused.
    bool RegisterTask(int code, TaskFunction function);
    void SetIdleReader(IdleReader reader);
    // Runs after every task, before the next one starts (notifications kept during
    // the task's exchanges are handled here).
    void SetAfterTask(TaskFunction hook);

    // Appends a code at the back of the queue and wakes the worker. Any thread.
    void QueueTask(int code);

    size_t PendingTasks() const { return queue_.Size(); }
    // The code of the task running now, 0 when none (read by the window thread, e.g.
    // to hold an exit while a firmware upgrade writes).
    int CurrentTask() const { return current_.load(); }
    uint64_t TasksRun() const { return tasksRun_.load(); }

  protected:
    Turn Run() override;

  private:
    TaskQueue queue_;
    std::mutex registrationMutex_;
    std::map<int, TaskFunction> tasks_;
    IdleReader idleReader_;
    TaskFunction afterTask_;
    std::atomic<int> current_{0};
    std::atomic<uint64_t> tasksRun_{0};
};

}  // namespace quillora
