#pragma once

// The simulated bus as a hot-plug source: each arrival and removal of a collection
// reaches the hot-plug service as the udev monitor would report it.

#include "device/HotPlugService.h"
#include "sim/SimBus.h"

namespace quillora::sim {

HotPlugEvent ToHotPlugEvent(const BusEvent& event);

// Makes `service` the bus's listener. The service must outlive the bus's events.
void ConnectHotPlug(SimBus& bus, HotPlugService& service);

}  // namespace quillora::sim
