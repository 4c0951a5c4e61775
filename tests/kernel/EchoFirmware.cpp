#include "EchoFirmware.h"

namespace quillora::kerneltest {

std::optional<std::vector<std::uint8_t>> EchoFirmware::Handle(
    std::span<const std::uint8_t> outputReport) {
    if (outputReport.size() < 2)
        return std::nullopt;
    std::vector<std::uint8_t> reply(64, 0);
    reply[0] = outputReport[1];
    reply[1] = 0;
    for (std::size_t i = 2; i < reply.size() && i + 1 < outputReport.size(); ++i)
        reply[i] = outputReport[i + 1];
    return reply;
}

std::vector<std::uint8_t> EchoFirmware::ConnectionReport(bool connected) {
    return {0xC0, static_cast<std::uint8_t>(connected ? 1 : 0),
            static_cast<std::uint8_t>(kEchoBattery & 0xFF),
            static_cast<std::uint8_t>(kEchoBattery >> 8)};
}

std::vector<std::uint8_t> EchoFirmware::PressDpiButton() {
    return {std::begin(kEchoDpiMarker), std::end(kEchoDpiMarker)};
}

}  // namespace quillora::kerneltest
