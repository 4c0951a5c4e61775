#pragma once

// What the engine needs to know from a HID report descriptor: the usage page and usage
// of the first top-level collection (which tells a configuration interface from the
// plain mouse collection), and how long an output report is, so that writes can be
// padded to it (the kernel's hidraw sends exactly what it is given).

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillora {

struct CollectionUsage {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    bool operator==(const CollectionUsage&) const = default;
};

// The usage of the first application-level collection; nothing for a descriptor
// without one or one that ends inside an item.
std::optional<CollectionUsage> TopLevelCollection(std::span<const std::uint8_t> descriptor);

// Data bytes of output report `reportId` (0 when the descriptor numbers no reports),
// summed over every Output item of that report, without the report ID byte. Nothing
// when the descriptor declares no such report or is malformed.
std::optional<std::size_t> OutputReportLength(std::span<const std::uint8_t> descriptor,
                                              std::uint8_t reportId);

// The sysfs descriptor file of a hidraw device node ("/dev/hidraw3" gives
// "/sys/class/hidraw/hidraw3/device/report_descriptor"); empty for other paths.
std::string ReportDescriptorPath(const std::string& hidrawPath);

}  // namespace quillora
