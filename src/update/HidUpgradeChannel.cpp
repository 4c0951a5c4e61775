#include "update/HidUpgradeChannel.h"

#include "app/Trace.h"

namespace quillora {

bool HidUpgradeChannel::Open() {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    HidHandle handle = HidHandle::None;
    if (link_.GetCurrentIds(vendor, product)) {
        handle = link_.OpenUpgradeInterface(vendor, product);
    }
    link_.SetUpgradeInterface(handle);
    if (handle == HidHandle::None) {
        Trace(TraceLevel::Warning, "firmware: no upgrade interface for %04X:%04X", vendor, product);
        return false;
    }
    return true;
}

UpgradeReportSender HidUpgradeChannel::Sender() const {
    HidDeviceLink* link = &link_;
    return [link](const UpgradeReport& report) { return link->SendUpgradeReport(report); };
}

}  // namespace quillora
