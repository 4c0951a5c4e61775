#pragma once

// What a hot-plug event means for the worker: an arrival of a supported collection of a
// catalogued mouse queues task 2 (discovery and full read); the removal of USB
// interface 2 of a catalogued identity queues task 3, but only while interfaces are
// open. Everything else queues nothing.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/HotPlugEvent.h"

namespace quillora {

struct UsbIds {
    int vendorId = 0;
    int productId = 0;
};

// Tells whether the interface at `path` is a configuration collection (usage page
// 0x0001 usage 0, or usage page 0xFF01 usage 0x10). Unopenable means no.
using CollectionTest = std::function<bool(const std::string& path)>;

std::optional<int> TaskForDeviceChange(const HotPlugEvent& event,
                                       const std::vector<UsbIds>& catalogue, bool interfacesPresent,
                                       const CollectionTest& isSupportedCollection);

// The collection test for hidraw nodes: reads the node's report descriptor from sysfs.
bool IsSupportedHidrawCollection(const std::string& devNode);

// Whether a collection's usage is one of the two the engine talks to.
bool IsConfigurationUsage(unsigned usagePage, unsigned usage);

}  // namespace quillora
