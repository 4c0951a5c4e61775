#pragma once

// The HID collections a virtual mouse presents, each as its own uhid device, as the
// real hardware presents them as separate interfaces, the plain mouse first:
//   - pointer: the plain boot-style mouse (usage page 1, usage 2) that moves the
//     cursor; configuration discovery must skip it;
//   - configuration: 64-byte input and output reports without a report ID; every
//     command and reply travels here. The cable's is usage page 0xFF01, usage 0x10;
//     the receiver's is usage page 1, usage 0;
//   - upgrade (cable only): usage page 0xFFEF, usage 0; 64-byte reports counting
//     report ID 0x05, so 63 data bytes after the ID.

#include <cstdint>
#include <span>
#include <string_view>

#include "virtualmouse/VirtualFirmware.h"

namespace quillora::virtualmouse {

enum class Channel { Configuration, Pointer, Upgrade };

struct CollectionLayout {
    Channel channel;
    std::string_view name;    // used in the record and in device names
    std::uint8_t reportId;    // 0: the collection numbers no reports
    std::size_t inputLength;  // input report data bytes, without the ID
    std::span<const std::uint8_t> descriptor;
};

inline constexpr std::uint8_t kUpgradeReportId = 0x05;

// The collections of a cable or a receiver, in the order they are created.
std::span<const CollectionLayout> CollectionsOf(DeviceKind kind);

}  // namespace quillora::virtualmouse
