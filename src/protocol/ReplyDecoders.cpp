#include "protocol/ReplyDecoders.h"

#include <cstdio>

#include "device/ReportFrame.h"
#include "protocol/Sensor.h"

namespace quillora {
namespace {

constexpr std::size_t kP = reply::kPayload;

bool Holds(ReplyBytes reply, std::size_t payload_bytes) {
    return reply.size() >= kP + payload_bytes;
}

}  // namespace

std::optional<int> DecodeReportRate(ReplyBytes reply) {
    if (!Holds(reply, 1)) {
        return std::nullopt;
    }
    return reply[kP];
}

std::optional<DpiLevelsReply> DecodeDpiLevels(ReplyBytes reply, int sensor) {
    if (!Holds(reply, 1 + 4 * 6)) {
        return std::nullopt;
    }
    DpiLevelsReply out;
    out.level_count = reply[kP] & 0x0F;
    out.selected_level = reply[kP] >> 4;
    for (int i = 0; i < 6; ++i) {
        // Each level carries its code twice; the first copy counts.
        const int code = reply[kP + 1 + 4 * i] | (reply[kP + 2 + 4 * i] << 8);
        const int dpi = DeviceCodeToDpi(sensor, code);
        if (dpi >= 50) {
            out.dpi[i] = dpi;
        }
    }
    return out;
}

std::optional<std::array<int, 6>> DecodeDpiColors(ReplyBytes reply) {
    if (!Holds(reply, 18)) {
        return std::nullopt;
    }
    std::array<int, 6> colors{};
    for (int i = 0; i < 6; ++i) {
        colors[i] =
            reply[kP + 3 * i] | (reply[kP + 1 + 3 * i] << 8) | (reply[kP + 2 + 3 * i] << 16);
    }
    return colors;
}

std::optional<LightingReply> DecodeLighting(ReplyBytes reply) {
    if (!Holds(reply, 2)) {
        return std::nullopt;
    }
    return LightingReply{reply[kP], reply[kP + 1] >> 4, reply[kP + 1] & 0x0F};
}

std::optional<SensorOptionsReply> DecodeSensorOptions(ReplyBytes reply) {
    if (!Holds(reply, 3)) {
        return std::nullopt;
    }
    SensorOptionsReply out;
    out.liftoff_height = reply[kP];
    out.sensor_flags = (reply[kP + 1] == 1 ? 8 : 0) + (reply[kP + 2] == 1 ? 4 : 0);
    return out;
}

std::optional<PowerOptionsReply> DecodePowerOptions(ReplyBytes reply) {
    if (!Holds(reply, 4)) {
        return std::nullopt;
    }
    return PowerOptionsReply{reply[kP], reply[kP + 1], reply[kP + 2], reply[kP + 3]};
}

std::optional<std::string> DecodeFirmwareVersion(ReplyBytes reply) {
    if (!Holds(reply, 2)) {
        return std::nullopt;
    }
    char text[8];
    std::snprintf(text, sizeof text, "%X%02X", reply[kP], reply[kP + 1]);
    return std::string(text);
}

}  // namespace quillora
