#pragma once

// Turns hot-plug events into queued tasks: an arrival of a configuration collection of a
// catalogued mouse queues task 2, the removal of interface 2 of a catalogued identity
// queues task 3 while interfaces are open. The owner of the event source calls in:
// the GUI or CLI when the udev monitor's socket is readable, the simulated bus from its
// listener. Any thread; nothing here blocks.

#include <functional>
#include <optional>
#include <vector>

#include "device/DeviceChangeHandler.h"
#include "device/HotPlugEvent.h"
#include "formats/DeviceCatalog.h"

namespace quillora {

class UdevHotPlugMonitor;

class HotPlugService {
  public:
    using QueueTask = std::function<void(int code)>;
    using InterfacesPresent = std::function<bool()>;

    HotPlugService(const DeviceCatalog& catalog, InterfacesPresent interfacesPresent,
                   QueueTask queueTask);

    // Judges one event; the task it queued, if any.
    std::optional<int> OnEvent(const HotPlugEvent& event, const CollectionTest& isSupported);

    // Reads every pending event of the monitor (call when its Fd() is readable), with
    // the hidraw collection test. The number of tasks queued.
    int OnMonitorReadable(UdevHotPlugMonitor& monitor);

  private:
    std::vector<UsbIds> ids_;
    InterfacesPresent interfacesPresent_;
    QueueTask queueTask_;
};

}  // namespace quillora
