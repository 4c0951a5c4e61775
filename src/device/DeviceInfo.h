#pragma once

// The device information record: the mouse's reply to command 0x10. Discovery keys the
// model on it, the full read takes the sensor and limits from it, and the receiver's
// connection handling re-reads it when the mouse comes back.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/ReportFrame.h"

namespace quillora {

inline constexpr std::uint8_t kGetDeviceInfoCommand = 0x10;

// Reply offsets of the record's fields.
namespace device_info {
inline constexpr std::size_t kModelCode = 4;  // four ASCII characters
inline constexpr std::size_t kModelCodeLength = 4;
inline constexpr std::size_t kUnknownWord = 8;  // 16-bit, kept but unused
inline constexpr std::size_t kSensor = 10;
inline constexpr std::size_t kRateCapability = 11;
inline constexpr std::size_t kBatteryA = 12;
inline constexpr std::size_t kBatteryB = 13;
inline constexpr std::size_t kConnected = 14;
inline constexpr std::size_t kMinimumLength = kConnected + 1;
}  // namespace device_info

struct DeviceInfo {
    std::u16string model_code;  // each byte widened as a signed char
    std::uint16_t unknown_word = 0;
    std::uint8_t sensor = 0;
    std::uint8_t rate_capability = 0;
    std::uint8_t battery_a = 0;
    std::uint8_t battery_b = 0;
    std::uint8_t connected = 0;

    friend bool operator==(const DeviceInfo&, const DeviceInfo&) = default;
};

// The model code of a record: reply bytes 4 to 7, each widened as a signed character
// (so 0x80..0xFF become U+FF80..U+FFFF, exactly as the catalogue comparison expects).
std::u16string ModelCodeOf(const ReportFrame& record);

// Parses a reply as read (report ID removed). Nothing when the reply is too short to
// hold the record or is not a reply to command 0x10.
std::optional<DeviceInfo> ParseDeviceInfo(std::span<const std::uint8_t> reply);

// The request frame of the query: only the command byte is set.
ReportFrame MakeDeviceInfoQuery();

}  // namespace quillora
