#pragma once

// A test firmware that proves the transport and nothing else: every output report is
// answered with a reply whose byte 0 is the command byte (the byte after the report
// ID), byte 1 status 0 (ok), and bytes 2.. the output report's bytes 3.., so a reply
// shows exactly which bytes reached the device and where. Connection and DPI reports
// carry fixed values the probe knows.

#include "virtualmouse/VirtualFirmware.h"

namespace quillora::kerneltest {

inline constexpr std::uint16_t kEchoBattery = 0x0E74;  // bytes 2-3 of a connection report
inline constexpr std::uint8_t kEchoDpiMarker[] = {0xD9, 0x01, 0x5E, 0xA7};

class EchoFirmware final : public virtualmouse::VirtualFirmware {
  public:
    std::optional<std::vector<std::uint8_t>> Handle(
        std::span<const std::uint8_t> outputReport) override;
    std::vector<std::uint8_t> ConnectionReport(bool connected) override;
    std::vector<std::uint8_t> PressDpiButton() override;
};

}  // namespace quillora::kerneltest
