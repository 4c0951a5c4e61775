#pragma once

// Taking a mouse's configuration into the current profile: the device information
// record (sensor, limits, report-rate capability, battery, connection), then, once per
// model and run, one query per group of settings, storing exactly what the mouse
// reports. A failing query skips only its own settings.

#include "device/DeviceContext.h"

namespace quillora {

enum class ReadKind {
    Task,       // started by a task: placeholder battery first, firmware version read
    Reconnect,  // the receiver reported the mouse back
};

// Takes the record of the current interface into the session and the displays. False
// when there is no record (nothing changes then).
bool TakeDeviceInfo(DeviceContext& context, ReadKind kind);

// False when the mouse is not connected (connection flag zero).
bool ReadDeviceConfig(DeviceContext& context);
bool ReReadDeviceConfig(DeviceContext& context);

// Both, by kind.
bool ReadConfiguration(DeviceContext& context, ReadKind kind);

}  // namespace quillora
