#include "sim/SimHotPlug.h"

namespace quillora::sim {

HotPlugEvent ToHotPlugEvent(const BusEvent& event) {
    HotPlugEvent out;
    out.action = event.kind == BusEventKind::Arrived ? HotPlugEvent::Action::Arrival
                                                     : HotPlugEvent::Action::Removal;
    out.path = event.collection.path;
    out.vendorId = event.collection.vendor_id;
    out.productId = event.collection.product_id;
    out.interfaceNumber = event.collection.interface_number;
    return out;
}

void ConnectHotPlug(SimBus& bus, HotPlugService& service) {
    bus.SetListener([&service](const BusEvent& event) {
        // The event carries the collection's usage, as the hidraw descriptor would.
        const HidDeviceInfo info = event.collection;
        service.OnEvent(ToHotPlugEvent(event), [info](const std::string&) {
            return IsConfigurationUsage(info.usage_page, info.usage);
        });
    });
}

}  // namespace quillora::sim
