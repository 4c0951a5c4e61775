#pragma once

// A HID interface that appeared or went away, as the hot-plug source reports it.

#include <string>

namespace quillora {

struct HotPlugEvent {
    enum class Action { Arrival, Removal };
    Action action = Action::Arrival;
    std::string path;   // what the HID backend opens (a /dev/hidraw node, a sim path)
    int vendorId = -1;  // -1 when the event does not say
    int productId = -1;
    int interfaceNumber = -1;  // the USB interface; -1 for devices without one (uhid)
};

}  // namespace quillora
