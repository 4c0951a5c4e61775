#include "device/DeviceInfo.h"

namespace quillora {

std::u16string ModelCodeOf(const ReportFrame& record) {
    std::u16string code;
    for (std::size_t i = 0; i < device_info::kModelCodeLength; ++i) {
        auto widened = static_cast<signed char>(record[device_info::kModelCode + i]);
        code.push_back(static_cast<char16_t>(static_cast<std::int16_t>(widened)));
    }
    return code;
}

std::optional<DeviceInfo> ParseDeviceInfo(std::span<const std::uint8_t> reply) {
    if (reply.size() < device_info::kMinimumLength ||
        reply[reply::kCommand] != kGetDeviceInfoCommand) {
        return std::nullopt;
    }
    ReportFrame frame;
    for (std::size_t i = 0; i < reply.size() && i < ReportFrame::kSize; ++i) {
        frame[i] = reply[i];
    }
    DeviceInfo info;
    info.model_code = ModelCodeOf(frame);
    info.unknown_word = static_cast<std::uint16_t>(frame[device_info::kUnknownWord] |
                                                   (frame[device_info::kUnknownWord + 1] << 8));
    info.sensor = frame[device_info::kSensor];
    info.rate_capability = frame[device_info::kRateCapability];
    info.battery_a = frame[device_info::kBatteryA];
    info.battery_b = frame[device_info::kBatteryB];
    info.connected = frame[device_info::kConnected];
    return info;
}

ReportFrame MakeDeviceInfoQuery() {
    ReportFrame frame;
    frame[request::kCommand] = kGetDeviceInfoCommand;
    StoreChecksum(frame);
    return frame;
}

}  // namespace quillora
