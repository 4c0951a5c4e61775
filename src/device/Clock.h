#pragma once

// Time as the device engine sees it. Every wait of an exchange goes through a Clock so
// tests (and the simulated mouse) can run time forward without sleeping.

#include <chrono>
#include <mutex>

namespace quillora {

class Clock {
  public:
    using Duration = std::chrono::milliseconds;

    virtual ~Clock() = default;
    // Milliseconds since an arbitrary, fixed start.
    virtual Duration Now() = 0;
    virtual void SleepFor(Duration duration) = 0;
};

// The steady system clock with real sleeps.
class SystemClock final : public Clock {
  public:
    Duration Now() override;
    void SleepFor(Duration duration) override;

    static SystemClock& Shared();
};

// A clock that only moves when told to (or when something sleeps on it). Safe to share
// between threads.
class ManualClock final : public Clock {
  public:
    Duration Now() override;
    void SleepFor(Duration duration) override;
    void Advance(Duration duration) { SleepFor(duration); }

  private:
    std::mutex mutex_;
    Duration now_{0};
};

}  // namespace quillora
