#include "device/TaskQueue.h"

namespace quillora {

void TaskQueue::Push(int code) {
    std::lock_guard<std::mutex> guard(mutex_);
    codes_.push_back(code);
}

std::optional<int> TaskQueue::TryPop() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (codes_.empty()) {
        return std::nullopt;
    }
    const int code = codes_.front();
    codes_.pop_front();
    return code;
}

bool TaskQueue::Empty() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return codes_.empty();
}

size_t TaskQueue::Size() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return codes_.size();
}

}  // namespace quillora
