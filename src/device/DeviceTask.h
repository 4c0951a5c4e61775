#pragma once

// The codes of the operations queued for the worker thread. Codes not listed here are
// taken from the queue and dropped.

namespace quillora {

enum DeviceTask : int {
    kTaskStartupDiscovery = 1,
    kTaskArrival = 2,
    kTaskRemoval = 3,
    kTaskReadThroughReceiver = 4,
    kTaskWriteAllSettings = 5,
    kTaskWriteButtonAssignments = 6,
    kTaskWriteLighting = 8,
    kTaskWriteDpiLevels = 9,
    kTaskWriteDpiColors = 10,
    kTaskWriteReportRate = 11,
    kTaskWriteSensorOptions = 12,
    kTaskWritePowerOptions = 13,
    kTaskResetLighting = 17,
    kTaskResetDpiToDefaults = 18,
    kTaskRestoreDefaults = 20,
    kTaskCheckAppVersion = 23,
    kTaskCheckFirmwareVersion = 24,
    kTaskUpdateApplication = 26,
    kTaskUpgradeFirmware = 27,
};

}  // namespace quillora
