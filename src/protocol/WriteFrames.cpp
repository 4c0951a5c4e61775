#include "protocol/WriteFrames.h"

#include "protocol/CommandCatalogue.h"

namespace quillora {
namespace {

std::uint8_t Low8(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

void PutColor(ReportFrame& frame, std::size_t at, int color) {
    frame[at] = Low8(color);
    frame[at + 1] = Low8(color >> 8);
    frame[at + 2] = Low8(color >> 16);
}

ReportFrame Finish(ReportFrame frame) {
    StoreChecksum(frame);
    return frame;
}

}  // namespace

ReportFrame EncodeReportRate(int rate_code) {
    ReportFrame frame = cmd::MakeWrite(cmd::kSetReportRate, 0x01);
    frame[request::kPayload] = Low8(rate_code);
    return Finish(frame);
}

ReportFrame EncodeDpiLevels(int sensor, const SensorInfo& limits, int selected_level,
                            int level_count, const std::array<int, kDpiLevelCount>& dpi) {
    // The length byte says 0x25 although 25 payload bytes follow; the mouse expects it.
    ReportFrame frame = cmd::MakeWrite(cmd::kSetDpiLevels, 0x25);
    frame[request::kPayload] = Low8(selected_level * 16 + level_count);
    for (int i = 0; i < kDpiLevelCount; ++i) {
        const int code = DpiToDeviceCode(sensor, ClampDpi(limits, dpi[i]));
        const std::size_t at = request::kPayload + 1 + 4 * i;
        frame[at] = Low8(code);
        frame[at + 1] = Low8(code >> 8);
        frame[at + 2] = Low8(code);
        frame[at + 3] = Low8(code >> 8);
    }
    return Finish(frame);
}

ReportFrame EncodeDpiColors(const std::array<int, kDpiLevelCount>& colors) {
    ReportFrame frame = cmd::MakeWrite(cmd::kSetDpiColors, 0x12);
    for (int i = 0; i < kDpiLevelCount; ++i) {
        PutColor(frame, request::kPayload + 3 * i, colors[i]);
    }
    return Finish(frame);
}

ReportFrame EncodeSensorOptions(int liftoff_height, int sensor_flags) {
    ReportFrame frame = cmd::MakeWrite(cmd::kSetSensorOptions, 0x05);
    frame[request::kPayload] = Low8(liftoff_height);
    frame[request::kPayload + 1] = (sensor_flags & 8) != 0 ? 1 : 0;
    frame[request::kPayload + 2] = (sensor_flags & 4) != 0 ? 1 : 0;
    return Finish(frame);
}

ReportFrame EncodePowerOptions(int sleep_light, int move_wakeup, int move_closelight,
                               int button_respondtime) {
    ReportFrame frame = cmd::MakeWrite(cmd::kSetPowerOptions, 0x04);
    frame[request::kPayload] = Low8(sleep_light);
    frame[request::kPayload + 1] = Low8(move_wakeup);
    frame[request::kPayload + 2] = Low8(move_closelight);
    frame[request::kPayload + 3] = Low8(button_respondtime);
    return Finish(frame);
}

ReportFrame EncodeLighting(const LightingValues& l) {
    const std::uint8_t parameter = Low8((l.brightness << 4) | l.speed);
    ReportFrame frame = cmd::MakeWrite(cmd::kSetLighting, 0x00);
    const std::size_t p = request::kPayload;
    switch (l.mode) {
        case 0:
        case 4:
        case 5:
            frame[request::kLength] = 0x02;
            frame[p] = Low8(l.mode);
            frame[p + 1] = parameter;
            break;
        case 1:
            frame[request::kLength] = 0x03;
            frame[p] = 0x01;
            frame[p + 1] = parameter;
            break;
        case 2:
            frame[request::kLength] = 0x18;
            frame[p] = 0x02;
            frame[p + 1] = parameter;
            frame[p + 2] = kLightColorCount;
            for (int k = 0; k < kLightColorCount; ++k) {
                PutColor(frame, p + 3 + 3 * k, l.colors[k]);
            }
            break;
        case 3:
            frame[request::kLength] = 0x05;
            frame[p] = 0x03;
            frame[p + 1] = parameter;
            PutColor(frame, p + 2, l.colors[0]);
            break;
        default:
            // Negative modes and modes from 6 up: an empty frame.
            break;
    }
    return Finish(frame);
}

ReportFrame EncodeResetLighting() {
    ReportFrame frame = cmd::MakeWrite(cmd::kResetLighting, 0x01);
    frame[request::kPayload] = 0x01;
    return Finish(frame);
}

ReportFrame EncodeRestoreDefaults() {
    ReportFrame frame = cmd::MakeWrite(cmd::kRestoreDefaults, 0x01);
    frame[request::kPayload] = 0xFF;
    return Finish(frame);
}

}  // namespace quillora
