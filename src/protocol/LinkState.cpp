#include "protocol/LinkState.h"

namespace quillora {
namespace {

constexpr int kTextConnectedByCable = 51;
constexpr int kTextConnectedByReceiver = 52;

}  // namespace

void RefreshLinkState(DeviceContext& context) {
    if (context.link.GetSelectedKind() != kLinkReceiver) {
        return;
    }
    context.view.CloseTransientWindows();
    const int deviceType = context.session.Snapshot().currentDeviceType;
    context.view.SetTileState(deviceType, kLinkReceiver, 1);
    const bool wasOnline = context.session.Update([](DeviceState& state) {
        const bool online = state.deviceOnline;
        state.deviceOnline = true;
        return online;
    });
    if (!wasOnline) {
        const bool receiver = context.link.GetSelectedKind() == kLinkReceiver;
        context.view.SetPanelText(receiver ? kTextConnectedByReceiver : kTextConnectedByCable);
        // The tile of the model being refreshed, not a fixed model number.
        context.view.SetTileState(deviceType, receiver ? kLinkReceiver : kLinkCable, 1);
    }
}

}  // namespace quillora
