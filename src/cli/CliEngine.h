#pragma once

// The engine as a command runs it: the same worker, tasks and store the desktop
// program uses, started the way the program starts (discovery and the full read), the
// selected model opened as the home page would, and every queued task finished before
// the command reads or reports anything.

#include <condition_variable>
#include <memory>
#include <mutex>

#include "app/SettingsRegistry.h"
#include "cli/CliContext.h"
#include "cli/CliView.h"
#include "device/DeviceContext.h"
#include "protocol/DeviceEngine.h"

namespace quillora::cli {

class CliEngine {
  public:
    explicit CliEngine(CliContext& cli);
    ~CliEngine();
    CliEngine(const CliEngine&) = delete;
    CliEngine& operator=(const CliEngine&) = delete;

    // Discovery and the full read, then the selected model opened (a read through the
    // receiver when that is its link), or, with no device, its database and profiles
    // prepared. False when --model names no catalogued model.
    bool Start(std::string& error);

    // Waits until every task queued so far has run.
    void Drain();
    // Stops the worker; the link and the store stay usable from this thread.
    void Stop();

    DeviceContext& Context() { return *context_; }
    DeviceEngine& Engine() { return *engine_; }
    CliView& View() { return view_; }
    int CurrentProfile() const;

  private:
    CliContext& cli_;
    CliView view_;
    SettingsRegistry registry_;
    DeviceSession session_;
    DescriptionHolder description_;
    DataStore store_;
    std::unique_ptr<HidDeviceLink> link_;
    std::unique_ptr<DeviceContext> context_;
    std::unique_ptr<DeviceEngine> engine_;

    std::mutex drainMutex_;
    std::condition_variable drained_;
    unsigned long long drainsQueued_ = 0;
    unsigned long long drainsRun_ = 0;
};

}  // namespace quillora::cli
