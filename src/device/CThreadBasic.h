#pragma once

// The worker thread base: it calls Run() in a loop, with a pause of `period`
// milliseconds between turns, until Stop(). A turn that found nothing to do makes the
// thread sleep until Wake() (no polling while idle); a turn that already waited inside
// a device read goes straight on to the next one.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace quillora {

class CThreadBasic {
  public:
    enum class Turn {
        Worked,   // did something; pause `period` before the next turn
        Blocked,  // already waited (a read with a time-out); no extra pause
        Idle,     // nothing to do; sleep until woken
    };

    CThreadBasic() = default;
    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // Starts the thread unless it runs already. Set `loop` and `period` first.
    bool Start();

    // Asks the thread to end after its current turn and waits up to `bound` for it.
    // True when it has ended (and has been joined). When it has not ended in time the
    // thread is left to finish its turn; Join() (or the destructor) collects it.
    bool Stop(std::chrono::milliseconds bound = std::chrono::milliseconds(1000));

    // Waits for the thread without a bound.
    void Join();

    // Ends an idle sleep (a task was queued, an interface appeared).
    void Wake();

    bool IsRunning() const;

    // Returns of the thread from a blocking wait of its own (idle sleeps and pauses);
    // device reads are counted by whoever blocks in them.
    uint64_t WaitCount() const;

    bool loop = false;
    unsigned period = 1;

  protected:
    // One turn of the worker.
    virtual Turn Run() = 0;

    // Sleeps up to `duration`, returning early when Stop() is called. False once stopping.
    bool PauseFor(std::chrono::milliseconds duration);

  private:
    void ThreadMain();

    mutable std::mutex mutex_;
    std::condition_variable wakeup_;
    std::condition_variable ended_;
    bool running_ = false;
    bool finished_ = true;
    uint64_t wakeGeneration_ = 0;
    uint64_t waits_ = 0;
    std::thread thread_;
};

}  // namespace quillora
