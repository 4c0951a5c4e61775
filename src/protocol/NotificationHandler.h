#pragma once

// The mouse's and the receiver's own reports, read by the worker whenever it has no
// task: DPI changes made with the mouse's button (0xC2) and the wireless mouse coming
// and going (0xC0, with battery values). Reports an exchange met while it waited for
// its reply are kept by the link and handled here too, before the next task starts.

#include "device/DeviceContext.h"
#include "device/DeviceWorker.h"

namespace quillora {

// Handles one report as read (report ID removed); `deviceType` is the model it belongs
// to. Reports that carry no notification change nothing.
void HandleNotificationReport(DeviceContext& context, const ReportFrame& report, int deviceType);

// The worker's idle read: kept reports first; else, while interfaces are present and
// something can deliver, one read (up to 100 ms) and its report handled.
DeviceWorker::IdleRead HandleNotification(DeviceContext& context);

// Handles every report kept during the last task's exchanges (and those the handling
// itself meets, a bounded number of rounds).
void HandleKeptNotifications(DeviceContext& context);

}  // namespace quillora
