#pragma once

// The device engine as the GUI and the CLI start it: the worker with the discovery and
// read tasks, the notification reads and the hot-plug service, over one DeviceContext.
//
//   DeviceEngine engine(context);
//   engine.Hooks().text = [&](int n) { return texts.GetText(n); };
//   engine.Hooks().checkFirmwareVersion = FirmwareCheckAfterRead(context, updateConfig);
//   RegisterUpdateTasks(engine.Worker(), context, updateConfig);  // and the write tasks
//   engine.Start();                                           // fill, queue 1 and 23
//   ... engine.OpenSelectedDevice(type), engine.HotPlug().OnMonitorReadable(monitor)
//   engine.Stop();

#include <chrono>

#include "device/DeviceContext.h"
#include "device/DeviceWorker.h"
#include "device/HotPlugService.h"
#include "device/OpenDevice.h"
#include "protocol/DiscoveryTasks.h"

namespace quillora {

struct EngineStart {
    // Stored as "DeviceType" before the first discovery (101 at every normal start; the
    // CLI's --model gives another).
    int initialDeviceType = 101;
    bool queueAppVersionCheck = true;  // task 23 after task 1
};

class DeviceEngine {
  public:
    // Registers the discovery tasks. Register further tasks and set the hooks before
    // Start().
    explicit DeviceEngine(DeviceContext& context);
    ~DeviceEngine();  // stops the worker (waits for its current turn)
    DeviceEngine(const DeviceEngine&) = delete;
    DeviceEngine& operator=(const DeviceEngine&) = delete;

    DeviceWorker& Worker() { return worker_; }
    DiscoveryHooks& Hooks() { return hooks_; }
    HotPlugService& HotPlug() { return hotPlug_; }

    // Window thread: the initial fill, tasks 1 and 23 queued, the worker started.
    bool Start(const EngineStart& start = {});
    // Waits up to `bound` for the worker's current turn; true when it has ended.
    bool Stop(std::chrono::milliseconds bound = std::chrono::milliseconds(1000));

    void QueueTask(int code) { worker_.QueueTask(code); }

    // The home page's action on a device tile (window thread).
    OpenDeviceResult OpenSelectedDevice(int deviceType);

  private:
    DeviceContext& context_;
    DiscoveryHooks hooks_;
    DeviceWorker worker_;
    HotPlugService hotPlug_;
};

}  // namespace quillora
