#pragma once

// What a virtual mouse's firmware does, seen from the transport that serves it through
// /dev/uhid. The transport owns the kernel devices, the record and the control channel;
// the firmware owns every answer. All report buffers here are data bytes as the mouse
// sees them, and report IDs are explicit:
//   - an output report arrives with its report ID first: 0 on the configuration
//     collection (it numbers no reports), 0x05 on the cable's upgrade collection;
//   - an input report the firmware returns carries no report ID: the transport puts the
//     collection's ID in front where the collection has one, and cuts or zero-fills the
//     bytes to the collection's input report length (64 configuration, 63 upgrade).

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillora::virtualmouse {

enum class DeviceKind { Cable, Receiver };

class VirtualFirmware {
  public:
    virtual ~VirtualFirmware() = default;

    // One output report written by the host, report ID first. Returns the input report
    // to send back on the same collection, or nothing when the mouse stays silent.
    virtual std::optional<std::vector<std::uint8_t>> Handle(
        std::span<const std::uint8_t> outputReport) = 0;

    // The receiver's report that its mouse came online (true) or went away (false).
    // Called when the mouse is switched on or off, so the firmware can also change
    // what it answers from then on.
    virtual std::vector<std::uint8_t> ConnectionReport(bool connected) = 0;

    // The report the mouse sends by itself when its DPI button is pressed.
    virtual std::vector<std::uint8_t> PressDpiButton() = 0;

    // Called once when the program ends cleanly, so settings outlive the run.
    virtual bool Persist() { return true; }
};

// What a firmware factory is told about the device it is made for.
struct FirmwareOptions {
    DeviceKind kind = DeviceKind::Cable;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string statePath;  // where settings persist between runs; empty: nowhere
    bool mouseOn = true;    // a receiver's mouse at start; later changes come through
                            // ConnectionReport()
};

using FirmwareFactory = std::unique_ptr<VirtualFirmware> (*)(const FirmwareOptions&);

}  // namespace quillora::virtualmouse
