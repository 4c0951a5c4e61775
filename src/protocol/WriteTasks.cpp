#include "protocol/WriteTasks.h"

#include "app/MainView.h"
#include "device/DeviceTask.h"
#include "protocol/WriteTaskSupport.h"

namespace quillora {

bool WriteAllSettings(DeviceContext& context, const WriteTaskHooks& hooks) {
    const bool lighting = write_tasks::HasLighting(context);
    write_tasks::RefreshPages(context, hooks,
                              kRefreshButtons | kRefreshDpi | (lighting ? kRefreshLighting : 0u));
    if (lighting) {
        // The lighting page shows the new profile's active mode; the write below sends
        // that mode, not the one the previous profile left current.
        const int profile = context.session.Snapshot().currentProfile;
        const int mode = context.store.GetActiveLightMode(profile);
        context.session.Update([mode](DeviceState& s) { s.currentLightMode = mode; });
    }

    // Every write goes out whatever the one before it did.
    bool ok = write_tasks::WriteButtonTableOnly(context, hooks);
    if (lighting) {
        ok = WriteLighting(context, hooks) && ok;
    }
    ok = WriteDpiLevels(context, hooks) && ok;
    ok = WriteDpiColors(context, hooks) && ok;
    ok = WriteReportRate(context, hooks) && ok;
    ok = WriteSensorOptions(context, hooks) && ok;
    ok = WritePowerOptions(context, hooks) && ok;
    return ok;
}

void RegisterWriteTasks(DeviceWorker& worker, DeviceContext& context, WriteTaskHooks hooks) {
    using Task = bool (*)(DeviceContext&, const WriteTaskHooks&);
    struct Entry {
        int code;
        Task task;
    };
    static constexpr Entry kTasks[] = {
        {kTaskWriteAllSettings, &WriteAllSettings},
        {kTaskWriteButtonAssignments, &WriteButtonAssignments},
        {kTaskWriteLighting, &WriteLighting},
        {kTaskWriteDpiLevels, &WriteDpiLevels},
        {kTaskWriteDpiColors, &WriteDpiColors},
        {kTaskWriteReportRate, &WriteReportRate},
        {kTaskWriteSensorOptions, &WriteSensorOptions},
        {kTaskWritePowerOptions, &WritePowerOptions},
        {kTaskResetLighting, &ResetLightingTask},
        {kTaskResetDpiToDefaults, &ResetDpiToDefaults},
        {kTaskRestoreDefaults, &RestoreDefaultsTask},
    };
    for (const Entry& entry : kTasks) {
        worker.RegisterTask(entry.code,
                            [&context, hooks, task = entry.task] { task(context, hooks); });
    }
}

}  // namespace quillora
