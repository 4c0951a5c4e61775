#pragma once

// The command line of quillora-virtual-mouse:
//   quillora-virtual-mouse cable|receiver [--vid HEX] [--pid HEX] [--release HEX]
//       [--record FILE] [--control FIFO] [--ready PATH] [--state FILE] [--uhid PATH]
//       [--mouse-off]
// Ids are hexadecimal, with or without "0x", as lsusb prints them. The defaults are
// the catalogue's test identities: 1209:0001 for the cable, 1209:0002 for the receiver.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "virtualmouse/VirtualFirmware.h"

namespace quillora::virtualmouse {

struct VirtualMouseOptions {
    DeviceKind kind = DeviceKind::Cable;
    std::uint16_t vendorId = 0x1209;
    std::uint16_t productId = 0x0001;
    std::uint16_t release = 0x0100;
    std::string recordPath;
    std::string controlPath;
    std::string readyPath;
    std::string statePath;
    std::string uhidPath = "/dev/uhid";
    bool mouseOn = true;  // a receiver's mouse at start
    bool help = false;
};

struct ParsedOptions {
    std::optional<VirtualMouseOptions> options;
    std::string error;  // what was wrong when options is empty
};

ParsedOptions ParseVirtualMouseOptions(std::span<const std::string_view> args);

// The usage text, for --help and after a bad command line.
const char* VirtualMouseUsage();

// Commands read from the control FIFO, one per line.
enum class ControlCommand { MouseOn, MouseOff, DpiButton, Quit };
std::optional<ControlCommand> ParseControlCommand(std::string_view line);

}  // namespace quillora::virtualmouse
