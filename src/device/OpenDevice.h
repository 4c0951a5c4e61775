#pragma once

// The home page's action when the user picks a device tile (window thread). The model's
// database and description are switched on the worker, by an internal task queued ahead
// of anything else the opening queues, so no running task ever has its database closed
// under it; the window shows the pages at once and refreshes them when the worker says
// the description is loaded.

#include <functional>

#include "device/DeviceContext.h"

namespace quillora {

// The worker's model switch: description loading, profile preparation and a page
// refresh for the model stored as "DeviceType". Not a code the window queues by itself.
inline constexpr int kTaskSwitchModel = 90;

// Texts of the message box shown when the picked model cannot be reached.
inline constexpr int kTextUnavailableTitle = 57;
inline constexpr int kTextUnavailableMessage = 56;

struct OpenDeviceResult {
    bool opened = false;  // false: show the message box below and stop
    int messageTitle = 0;
    int messageText = 0;
    int panelText = 0;  // the device state panel's text when opened
    // When opened: show the tab background, the tab bar with the button page, the
    // device picture, the device state panel and the profile and restore buttons.
};

OpenDeviceResult OpenSelectedDevice(DeviceContext& context, int deviceType,
                                    const std::function<void(int code)>& queueTask);

}  // namespace quillora
