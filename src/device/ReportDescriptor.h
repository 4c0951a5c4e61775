#pragma once

// Output report lengths from a HID report descriptor. Linux hidraw sends exactly the
// bytes it is given, while the mouse expects every output report at the length its
// descriptor declares (Windows pads for us), so the hidraw backend pads writes itself.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillora {

// The data bytes (report ID not counted) of output report `report_id`, summed over every
// Output item of that report; 0 is the report of a descriptor without report IDs.
// Nothing when the descriptor declares no such output report or is malformed.
std::optional<std::size_t> OutputReportLength(std::span<const std::uint8_t> descriptor,
                                              std::uint8_t report_id);

// The sysfs descriptor file of a hidraw device node ("/dev/hidraw3" gives
// "/sys/class/hidraw/hidraw3/device/report_descriptor"); empty for other paths.
std::string ReportDescriptorPath(const std::string& hidraw_path);

}  // namespace quillora
