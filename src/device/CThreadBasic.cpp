#include "device/CThreadBasic.h"

namespace quillora {

CThreadBasic::~CThreadBasic() {
    // A derived class must stop the thread in its own destructor, while its Run() can
    // still be called; this is the last safety net.
    Stop(std::chrono::milliseconds::max());
    Join();
}

bool CThreadBasic::Start() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (running_) {
        return false;
    }
    if (thread_.joinable()) {
        // A previous run was stopped but not collected yet; it has been asked to end.
        return false;
    }
    running_ = true;
    finished_ = false;
    thread_ = std::thread(&CThreadBasic::ThreadMain, this);
    return true;
}

bool CThreadBasic::Stop(std::chrono::milliseconds bound) {
    std::unique_lock<std::mutex> lock(mutex_);
    running_ = false;
    wakeup_.notify_all();
    bool done;
    if (bound == std::chrono::milliseconds::max()) {
        ended_.wait(lock, [&] { return finished_; });
        done = true;
    } else {
        done = ended_.wait_for(lock, bound, [&] { return finished_; });
    }
    lock.unlock();
    if (done) {
        Join();
    }
    return done;
}

void CThreadBasic::Join() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        thread.swap(thread_);
    }
    if (thread.joinable()) {
        if (thread.get_id() == std::this_thread::get_id()) {
            thread.detach();  // a task asked for the stop; the thread ends by itself
        } else {
            thread.join();
        }
    }
}

void CThreadBasic::Wake() {
    std::lock_guard<std::mutex> guard(mutex_);
    ++wakeGeneration_;
    wakeup_.notify_all();
}

bool CThreadBasic::IsRunning() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return running_;
}

uint64_t CThreadBasic::WaitCount() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return waits_;
}

bool CThreadBasic::PauseFor(std::chrono::milliseconds duration) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!running_) {
        return false;
    }
    if (duration.count() > 0) {
        wakeup_.wait_for(lock, duration, [&] { return !running_; });
        ++waits_;
    }
    return running_;
}

void CThreadBasic::ThreadMain() {
    if (!loop) {
        Run();
    } else {
        for (;;) {
            uint64_t generation;
            {
                std::lock_guard<std::mutex> guard(mutex_);
                if (!running_)
                    break;
                generation = wakeGeneration_;
            }
            const Turn turn = Run();
            std::unique_lock<std::mutex> lock(mutex_);
            if (!running_)
                break;
            if (turn == Turn::Idle) {
                // Anything that wakes us after the turn looked for work moves the
                // generation on, so no wake-up is ever missed.
                wakeup_.wait(lock, [&] { return !running_ || wakeGeneration_ != generation; });
                ++waits_;
            } else if (turn == Turn::Worked && period > 0) {
                wakeup_.wait_for(lock, std::chrono::milliseconds(period),
                                 [&] { return !running_; });
                ++waits_;
            }
        }
    }
    std::lock_guard<std::mutex> guard(mutex_);
    running_ = false;
    finished_ = true;
    ended_.notify_all();
}

}  // namespace quillora
