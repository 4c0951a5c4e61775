#pragma once

// What the full read takes from each query's reply. Replies are given as read, with the
// report ID removed (payload at offset 4). Each decoder answers nothing when the reply
// is too short for what it reads.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillora {

using ReplyBytes = std::span<const std::uint8_t>;

// 0x12: the rate code.
std::optional<int> DecodeReportRate(ReplyBytes reply);

struct DpiLevelsReply {
    int level_count = 0;     // low nibble; stored as both dpi_count and dpi_flag
    int selected_level = 0;  // high nibble
    // The DPI of each level, or nothing when it decodes below 50 (the stored value stays).
    std::array<std::optional<int>, 6> dpi;
};

// 0x13, decoded with the sensor's device-code rule.
std::optional<DpiLevelsReply> DecodeDpiLevels(ReplyBytes reply, int sensor);

// 0x14: six colours as 0x00BBGGRR.
std::optional<std::array<int, 6>> DecodeDpiColors(ReplyBytes reply);

struct LightingReply {
    int mode = 0;
    int brightness = 0;
    int speed = 0;
};

// 0x15.
std::optional<LightingReply> DecodeLighting(ReplyBytes reply);

struct SensorOptionsReply {
    int liftoff_height = 0;
    int sensor_flags = 0;  // 8 for the first switch, 4 for the second
};

// 0x16.
std::optional<SensorOptionsReply> DecodeSensorOptions(ReplyBytes reply);

struct PowerOptionsReply {
    int sleep_light = 0;
    int move_wakeup = 0;
    int move_closelight = 0;
    int button_respondtime = 0;
};

// 0x17.
std::optional<PowerOptionsReply> DecodePowerOptions(ReplyBytes reply);

// 0x20: "%X%02X" of the two version bytes (0x01, 0x05 give "105").
std::optional<std::string> DecodeFirmwareVersion(ReplyBytes reply);

}  // namespace quillora
