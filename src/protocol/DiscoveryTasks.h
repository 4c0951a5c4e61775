#pragma once

// The worker tasks that find the mouse and read it: 1 (start-up discovery), 2 (arrival),
// 3 (removal), 4 (read through the receiver) and the internal model switch of a device
// opened from the home page; plus the idle notification read and the after-task hook.
// Each task function is also callable directly (tests run them on their own thread).

#include <functional>

#include "device/DeviceContext.h"
#include "device/DeviceWorker.h"
#include "protocol/ProfileSetup.h"

namespace quillora {

// What the discovery tasks call that other parts of the program provide. Read when a
// task runs, so functions set after registration (before the worker starts) count.
struct DiscoveryHooks {
    // The firmware version check run after a successful read by tasks 1 and 2 (the
    // function of task 24); nothing while empty.
    std::function<void()> checkFirmwareVersion;
    // Interface texts (text 61 names new profiles); "Profile" while empty.
    TextLookup text;
};

void RunStartupDiscovery(DeviceContext& context, const DiscoveryHooks& hooks);     // task 1
void RunArrival(DeviceContext& context, const DiscoveryHooks& hooks);              // task 2
void RunRemoval(DeviceContext& context, const DiscoveryHooks& hooks);              // task 3
void RunReadThroughReceiver(DeviceContext& context, const DiscoveryHooks& hooks);  // task 4
void RunModelSwitch(DeviceContext& context, const DiscoveryHooks& hooks);

// Registers the tasks above, the idle notification read and the after-task hook.
// `context` and `hooks` must outlive the worker.
void RegisterDiscoveryTasks(DeviceWorker& worker, DeviceContext& context,
                            const DiscoveryHooks& hooks);

}  // namespace quillora
