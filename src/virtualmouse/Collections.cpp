#include "virtualmouse/Collections.h"

namespace quillora::virtualmouse {
namespace {

constexpr std::uint8_t kConfigurationDescriptor[] = {
    0x06, 0x01, 0xFF,  // Usage Page (0xFF01)
    0x09, 0x10,        // Usage (0x10)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x02,        //   Usage (2)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

constexpr std::uint8_t kUpgradeDescriptor[] = {
    0x06, 0xEF,
    0xFF,                    // Usage Page (0xFFEF)
    0x09, 0x00,              // Usage (0)
    0xA1, 0x01,              // Collection (Application)
    0x85, kUpgradeReportId,  //   Report ID (5)
    0x15, 0x00,              //   Logical Minimum (0)
    0x26, 0xFF,
    0x00,        //   Logical Maximum (255)
    0x75, 0x08,  //   Report Size (8)
    0x95, 0x3F,  //   Report Count (63): 64 bytes with the ID
    0x09, 0x01,  //   Usage (1)
    0x81, 0x02,  //   Input (Data, Variable, Absolute)
    0x09, 0x02,  //   Usage (2)
    0x91, 0x02,  //   Output (Data, Variable, Absolute)
    0xC0,        // End Collection
};

// The receiver's configuration collection sits on the generic desktop page with an
// undefined usage; its report items are vendor-defined, so no input driver maps them.
constexpr std::uint8_t kReceiverConfigurationDescriptor[] = {
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x00,        // Usage (Undefined)
    0xA1, 0x01,        // Collection (Application)
    0x06, 0x00, 0xFF,  //   Usage Page (0xFF00)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x02,        //   Usage (2)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// Three buttons and relative X, Y and wheel, as a boot mouse reports them.
constexpr std::uint8_t kPointerDescriptor[] = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x02,  // Usage (Mouse)
    0xA1, 0x01,  // Collection (Application)
    0x09, 0x01,  //   Usage (Pointer)
    0xA1, 0x00,  //   Collection (Physical)
    0x05, 0x09,  //     Usage Page (Button)
    0x19, 0x01,  //     Usage Minimum (1)
    0x29, 0x03,  //     Usage Maximum (3)
    0x15, 0x00,  //     Logical Minimum (0)
    0x25, 0x01,  //     Logical Maximum (1)
    0x95, 0x03,  //     Report Count (3)
    0x75, 0x01,  //     Report Size (1)
    0x81, 0x02,  //     Input (Data, Variable, Absolute)
    0x95, 0x01,  //     Report Count (1)
    0x75, 0x05,  //     Report Size (5)
    0x81, 0x03,  //     Input (Constant): padding to a byte
    0x05, 0x01,  //     Usage Page (Generic Desktop)
    0x09, 0x30,  //     Usage (X)
    0x09, 0x31,  //     Usage (Y)
    0x09, 0x38,  //     Usage (Wheel)
    0x15, 0x81,  //     Logical Minimum (-127)
    0x25, 0x7F,  //     Logical Maximum (127)
    0x75, 0x08,  //     Report Size (8)
    0x95, 0x03,  //     Report Count (3)
    0x81, 0x06,  //     Input (Data, Variable, Relative)
    0xC0,        //   End Collection
    0xC0,        // End Collection
};

const CollectionLayout kCable[] = {
    {Channel::Pointer, "pointer", 0, 4, kPointerDescriptor},
    {Channel::Configuration, "config", 0, 64, kConfigurationDescriptor},
    {Channel::Upgrade, "upgrade", kUpgradeReportId, 63, kUpgradeDescriptor},
};

const CollectionLayout kReceiver[] = {
    {Channel::Pointer, "pointer", 0, 4, kPointerDescriptor},
    {Channel::Configuration, "config", 0, 64, kReceiverConfigurationDescriptor},
};

}  // namespace

std::span<const CollectionLayout> CollectionsOf(DeviceKind kind) {
    if (kind == DeviceKind::Receiver)
        return kReceiver;
    return kCable;
}

}  // namespace quillora::virtualmouse
