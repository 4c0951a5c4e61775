#pragma once

// The tasks the worker runs when a page has changed a setting: each reads the current
// profile from the store when it runs (so a queued write always sends the latest stored
// value), builds its frames with the encoders and sends them through HidDeviceLink.
//
// A failed single-frame write is traced and followed by the connection-state refresh;
// nothing is retried, the store is never rolled back and the user is not told. The
// stored value goes out again with the next write of the same kind.
//
// Every task answers true when each exchange it sent was acknowledged (a task that had
// nothing to send answers true). Only the command-line front end looks at the answer,
// to tell a failed device exchange by its exit code.

#include <functional>
#include <vector>

#include "device/DeviceContext.h"
#include "device/DeviceWorker.h"
#include "device/ReportFrame.h"

namespace quillora {

// The seams the engine fills in when it registers the writes. Every member may stay
// empty.
struct WriteTaskHooks {
    // The connection and DPI reports an exchange met while it waited for its reply, in
    // arrival order, for the notification handler that runs after the task. Empty:
    // they are dropped.
    std::function<void(const std::vector<ReportFrame>&)> keepNotifications;
    // Shows pages afresh (PageRefresh bits). Empty: the view's RefreshPages. What a
    // refresh changes in the store (a profile's first lighting rows) belongs here, so
    // it is done before the task reads the store on.
    std::function<void(unsigned pages)> refreshPages;
    // The profile initialisation of the start-up read, which restoring the defaults
    // runs before it rewrites the profiles. Empty: skipped.
    std::function<void()> prepareProfiles;
};

// Task 5, after a profile switch or import: refreshes the keys, DPI and (when the model
// has lighting) lighting pages, then sends the button table (without macro data), the
// lighting, DPI levels, DPI colours, report rate, sensor options and power options. A
// failing write does not stop the sequence.
bool WriteAllSettings(DeviceContext& context, const WriteTaskHooks& hooks = {});

// Task 6: the macro the keys page just bound (when one is pending), then the button
// table of slots 0 to 8. A macro too long for the packet count is not sent and its
// button keeps the default slot.
bool WriteButtonAssignments(DeviceContext& context, const WriteTaskHooks& hooks = {});

// Task 8: makes the current lighting mode the profile's active mode and sends that
// mode's stored parameters; nothing is sent when the profile has no row for it.
bool WriteLighting(DeviceContext& context, const WriteTaskHooks& hooks = {});

// Tasks 9 to 13: one frame each.
bool WriteDpiLevels(DeviceContext& context, const WriteTaskHooks& hooks = {});
bool WriteDpiColors(DeviceContext& context, const WriteTaskHooks& hooks = {});
bool WriteReportRate(DeviceContext& context, const WriteTaskHooks& hooks = {});
bool WriteSensorOptions(DeviceContext& context, const WriteTaskHooks& hooks = {});
bool WritePowerOptions(DeviceContext& context, const WriteTaskHooks& hooks = {});

// Task 17: asks the mouse to reset its lighting, reads the result back 100 ms later
// into the current lighting mode and the profile's row, and refreshes the lighting page
// either way.
bool ResetLightingTask(DeviceContext& context, const WriteTaskHooks& hooks = {});

// Task 18: the description's DPI defaults into the current profile, shown on the DPI
// page, then sent as levels and colours.
bool ResetDpiToDefaults(DeviceContext& context, const WriteTaskHooks& hooks = {});

// Task 20: the mouse's own restore, then the description's defaults into all four
// profiles, every button back to its default and profile 1 current. The mouse's
// answer to the restore is not waited on for anything.
bool RestoreDefaultsTask(DeviceContext& context, const WriteTaskHooks& hooks = {});

// Registers tasks 5, 6, 8 to 13, 17, 18 and 20 with the worker (before it starts). The
// worker's functions keep references to `context`, which must outlive the worker.
void RegisterWriteTasks(DeviceWorker& worker, DeviceContext& context, WriteTaskHooks hooks = {});

}  // namespace quillora
