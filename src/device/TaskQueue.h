#pragma once

// The queue of task codes shared by the window thread (which appends) and the worker
// (which takes from the front). Codes are never merged: each copy runs.

#include <deque>
#include <mutex>
#include <optional>

namespace quillora {

class TaskQueue {
  public:
    void Push(int code);
    std::optional<int> TryPop();
    bool Empty() const;
    size_t Size() const;

  private:
    mutable std::mutex mutex_;
    std::deque<int> codes_;
};

}  // namespace quillora
