#include "protocol/DiscoveryTasks.h"

#include "app/Trace.h"
#include "device/DeviceDiscovery.h"
#include "device/DeviceTask.h"
#include "device/ModelLoading.h"
#include "device/OpenDevice.h"
#include "protocol/ConfigRead.h"
#include "protocol/NotificationHandler.h"

namespace quillora {
namespace {

constexpr unsigned kModelPages = kRefreshButtons | kRefreshMacros | kRefreshDpi;

unsigned ModelPages(DeviceContext& context) {
    return kModelPages | (context.description.Snapshot().lighting ? kRefreshLighting : 0u);
}

void ClearConnectionFlag(DeviceContext& context) {
    context.session.Update([](DeviceState& s) { s.connectionFlag = 0; });
}

// Profiles, the pages from the store, the read, and the pages again from what it stored.
void PrepareAndRead(DeviceContext& context, const DiscoveryHooks& hooks, bool checkFirmware) {
    InitialiseProfiles(context, hooks.text);
    context.view.RefreshPages(kRefreshProfiles | ModelPages(context));
    if (!ReadDeviceConfig(context)) {
        Trace(TraceLevel::Warning, "full read of model %d failed",
              context.session.Snapshot().currentDeviceType);
        return;
    }
    context.view.RefreshPages(ModelPages(context) | kRefreshFirmwareVersion);
    if (checkFirmware && hooks.checkFirmwareVersion) {
        hooks.checkFirmwareVersion();
    }
}

void RunReadSequence(DeviceContext& context, const DiscoveryHooks& hooks, int pauseMs) {
    ReEnumerate(context);
    context.clock.SleepFor(std::chrono::milliseconds(pauseMs));
    ClearConnectionFlag(context);
    if (RefreshDevices(context).selectedKind < 0) {
        return;
    }
    PrepareAndRead(context, hooks, true);
}

}  // namespace

void RunStartupDiscovery(DeviceContext& context, const DiscoveryHooks& hooks) {
    RunReadSequence(context, hooks, 0);
}

void RunArrival(DeviceContext& context, const DiscoveryHooks& hooks) {
    RunReadSequence(context, hooks, 1);
}

void RunRemoval(DeviceContext& context, const DiscoveryHooks& hooks) {
    context.clock.SleepFor(std::chrono::milliseconds(500));
    ClearConnectionFlag(context);
    const RefreshResult refresh = RefreshDevices(context);
    if (refresh.selectedKind < 0) {
        return;
    }
    if (refresh.databaseSwitched) {
        // Another model is selected now; its database needs its profiles first.
        InitialiseProfiles(context, hooks.text);
    }
    if (!ReadDeviceConfig(context)) {
        Trace(TraceLevel::Warning, "read after removal failed");
        return;
    }
    context.view.RefreshPages(ModelPages(context) | kRefreshFirmwareVersion);
}

void RunReadThroughReceiver(DeviceContext& context, const DiscoveryHooks& hooks) {
    PrepareAndRead(context, hooks, false);
}

void RunModelSwitch(DeviceContext& context, const DiscoveryHooks& hooks) {
    LoadModelDescription(context, context.session.Snapshot().currentDeviceType);
    InitialiseProfiles(context, hooks.text);
    context.view.RefreshPages(kRefreshProfiles | ModelPages(context) | kRefreshDeviceInfo);
}

void RegisterDiscoveryTasks(DeviceWorker& worker, DeviceContext& context,
                            const DiscoveryHooks& hooks) {
    DeviceContext* c = &context;
    const DiscoveryHooks* h = &hooks;
    worker.RegisterTask(kTaskStartupDiscovery, [c, h] { RunStartupDiscovery(*c, *h); });
    worker.RegisterTask(kTaskArrival, [c, h] { RunArrival(*c, *h); });
    worker.RegisterTask(kTaskRemoval, [c, h] { RunRemoval(*c, *h); });
    worker.RegisterTask(kTaskReadThroughReceiver, [c, h] { RunReadThroughReceiver(*c, *h); });
    worker.RegisterTask(kTaskSwitchModel, [c, h] { RunModelSwitch(*c, *h); });
    worker.SetIdleReader([c] { return HandleNotification(*c); });
    worker.SetAfterTask([c] { HandleKeptNotifications(*c); });
}

}  // namespace quillora
