#include "device/OpenDevice.h"

#include "device/DeviceDiscovery.h"
#include "device/DeviceTask.h"

namespace quillora {

OpenDeviceResult OpenSelectedDevice(DeviceContext& context, int deviceType,
                                    const std::function<void(int code)>& queueTask) {
    OpenDeviceResult result;
    if (!context.link.IsDeviceAvailable(deviceType)) {
        result.messageTitle = kTextUnavailableTitle;
        result.messageText = kTextUnavailableMessage;
        return result;
    }
    const bool changed = context.session.Update([&](DeviceState& state) {
        if (state.currentDeviceType == deviceType) {
            return false;
        }
        state.currentDeviceType = deviceType;
        return true;
    });
    if (changed) {
        context.link.SelectDeviceType(deviceType);
        context.registry.WriteDeviceType(deviceType);
        queueTask(kTaskSwitchModel);
    }
    result.opened = true;
    if (context.link.GetSelectedKind() == kLinkReceiver) {
        result.panelText = kTextConnectedByReceiver;
        queueTask(kTaskReadThroughReceiver);
    } else {
        result.panelText = kTextConnectedByCable;
    }
    context.view.SetPanelText(result.panelText);
    context.view.ShowLayout(DeviceLayout::DevicePages);
    return result;
}

}  // namespace quillora
