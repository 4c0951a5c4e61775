#include "device/Clock.h"

#include <thread>

namespace quillora {

Clock::Duration SystemClock::Now() {
    return std::chrono::duration_cast<Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SystemClock::SleepFor(Duration duration) {
    if (duration.count() > 0) {
        std::this_thread::sleep_for(duration);
    }
}

SystemClock& SystemClock::Shared() {
    static SystemClock clock;
    return clock;
}

Clock::Duration ManualClock::Now() {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
}

void ManualClock::SleepFor(Duration duration) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (duration.count() > 0) {
        now_ += duration;
    }
}

}  // namespace quillora
