#pragma once

// Reading a hidraw device's USB identity from its kernel device path, which every
// hot-plug event carries, also on removal when sysfs no longer has the device:
//   /devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.2/0003:1209:0001.0004/hidraw/hidraw3
// The HID device's name gives bus, vendor and product ("0003:1209:0001.0004"); the
// USB interface's name gives the interface number ("1-2:1.2" is configuration 1,
// interface 2). Devices made through uhid have no USB interface.

#include <optional>
#include <string_view>

namespace quillora {

struct DevicePathIds {
    int bus = 0;
    int vendorId = 0;
    int productId = 0;
    int interfaceNumber = -1;
};

std::optional<DevicePathIds> ParseHidrawDevicePath(std::string_view devpath);

// The udev HID_ID property, "0003:00001209:00000001" (bus, vendor, product in hex).
std::optional<DevicePathIds> ParseHidIdProperty(std::string_view hidId);

}  // namespace quillora
