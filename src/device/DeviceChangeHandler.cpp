#include "device/DeviceChangeHandler.h"

#include <fstream>
#include <iterator>

#include "app/Trace.h"
#include "device/DeviceTask.h"
#include "device/ReportDescriptor.h"

namespace quillora {
namespace {

// The USB interface whose removal stands for the mouse leaving.
constexpr int kRemovalInterface = 2;

bool SameIds(const HotPlugEvent& event, const UsbIds& ids) {
    return event.vendorId == ids.vendorId && event.productId == ids.productId;
}

}  // namespace

bool IsConfigurationUsage(unsigned usagePage, unsigned usage) {
    return (usagePage == 0x0001 && usage == 0x0000) || (usagePage == 0xFF01 && usage == 0x0010);
}

std::optional<int> TaskForDeviceChange(const HotPlugEvent& event,
                                       const std::vector<UsbIds>& catalogue, bool interfacesPresent,
                                       const CollectionTest& isSupportedCollection) {
    if (event.action == HotPlugEvent::Action::Arrival) {
        for (const UsbIds& ids : catalogue) {
            if (!SameIds(event, ids))
                continue;
            // The first catalogued identity decides; the interface must be one we use.
            if (isSupportedCollection && isSupportedCollection(event.path)) {
                Trace(TraceLevel::Info, "device arrival %04X:%04X %s", ids.vendorId, ids.productId,
                      event.path.c_str());
                return kTaskArrival;
            }
            return std::nullopt;
        }
        return std::nullopt;
    }
    if (!interfacesPresent) {
        return std::nullopt;
    }
    for (const UsbIds& ids : catalogue) {
        if (SameIds(event, ids) && event.interfaceNumber == kRemovalInterface) {
            Trace(TraceLevel::Info, "device removal %04X:%04X %s", ids.vendorId, ids.productId,
                  event.path.c_str());
            return kTaskRemoval;
        }
    }
    return std::nullopt;
}

bool IsSupportedHidrawCollection(const std::string& devNode) {
    const std::string descriptorPath = ReportDescriptorPath(devNode);
    if (descriptorPath.empty())
        return false;
    std::ifstream in(descriptorPath, std::ios::binary);
    if (!in)
        return false;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    const auto usage = TopLevelCollection(bytes);
    return usage && IsConfigurationUsage(usage->usagePage, usage->usage);
}

}  // namespace quillora
