#include "device/HotPlugService.h"

#include "device/UdevHotPlugMonitor.h"

namespace quillora {

HotPlugService::HotPlugService(const DeviceCatalog& catalog, InterfacesPresent interfacesPresent,
                               QueueTask queueTask)
    : interfacesPresent_(std::move(interfacesPresent)), queueTask_(std::move(queueTask)) {
    for (const CatalogIdentity& identity : catalog.identities) {
        ids_.push_back({identity.vendorId, identity.productId});
    }
}

std::optional<int> HotPlugService::OnEvent(const HotPlugEvent& event,
                                           const CollectionTest& isSupported) {
    const bool present = interfacesPresent_ && interfacesPresent_();
    const std::optional<int> task = TaskForDeviceChange(event, ids_, present, isSupported);
    if (task && queueTask_) {
        queueTask_(*task);
    }
    return task;
}

int HotPlugService::OnMonitorReadable(UdevHotPlugMonitor& monitor) {
    int queued = 0;
    while (std::optional<HotPlugEvent> event = monitor.ReadEvent()) {
        if (OnEvent(*event, IsSupportedHidrawCollection)) {
            ++queued;
        }
    }
    return queued;
}

}  // namespace quillora
