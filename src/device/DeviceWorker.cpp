#include "device/DeviceWorker.h"

#include "app/Trace.h"

namespace quillora {

DeviceWorker::DeviceWorker() {
    loop = true;
    period = 2;
}

DeviceWorker::~DeviceWorker() {
    // Stop here, while Run() is still ours to call.
    Stop(std::chrono::milliseconds::max());
    Join();
}

bool DeviceWorker::RegisterTask(int code, TaskFunction function) {
    if (IsRunning()) {
        return false;
    }
    std::lock_guard<std::mutex> guard(registrationMutex_);
    tasks_[code] = std::move(function);
    return true;
}

void DeviceWorker::SetIdleReader(IdleReader reader) {
    std::lock_guard<std::mutex> guard(registrationMutex_);
    idleReader_ = std::move(reader);
}

void DeviceWorker::SetAfterTask(TaskFunction hook) {
    std::lock_guard<std::mutex> guard(registrationMutex_);
    afterTask_ = std::move(hook);
}

void DeviceWorker::QueueTask(int code) {
    queue_.Push(code);
    Wake();
}

CThreadBasic::Turn DeviceWorker::Run() {
    TaskFunction task;
    TaskFunction after;
    IdleReader reader;
    const std::optional<int> code = queue_.TryPop();
    {
        std::lock_guard<std::mutex> guard(registrationMutex_);
        if (code) {
            const auto it = tasks_.find(*code);
            if (it != tasks_.end())
                task = it->second;
            after = afterTask_;
        } else {
            reader = idleReader_;
        }
    }
    if (code) {
        if (!task) {
            Trace(TraceLevel::Debug, "worker: task %d has no function; dropped", *code);
            return Turn::Worked;
        }
        current_.store(*code);
        task();
        current_.store(0);
        tasksRun_.fetch_add(1);
        if (after)
            after();
        return Turn::Worked;
    }
    if (reader && reader() == IdleRead::Waited) {
        return Turn::Blocked;
    }
    return Turn::Idle;
}

}  // namespace quillora
