#pragma once

// The single-frame writes: pure functions from plain setting values to the frame as it
// goes out (checksum stored). The task functions read the values from the store and
// send the frame; nothing here touches a device.

#include <array>
#include <cstdint>

#include "device/ReportFrame.h"
#include "protocol/Sensor.h"

namespace quillora {

inline constexpr int kDpiLevelCount = 6;
inline constexpr int kLightColorCount = 7;

// SetReportRate (0x02), 65 bytes: the rate code (8 = 125 Hz ... 0x40 = 8000 Hz).
ReportFrame EncodeReportRate(int rate_code);

// SetDpiLevels (0x03), 33 bytes. Each level is clamped to the sensor's limits and
// encoded with the sensor's DPI rule; the code goes out twice, little-endian.
ReportFrame EncodeDpiLevels(int sensor, const SensorInfo& limits, int selected_level,
                            int level_count, const std::array<int, kDpiLevelCount>& dpi);

// SetDpiColors (0x04), 65 bytes: colours as 0x00BBGGRR, red first on the wire.
ReportFrame EncodeDpiColors(const std::array<int, kDpiLevelCount>& colors);

// SetSensorOptions (0x06), 65 bytes. Bits 8 and 4 of the stored sensor flags go out as
// two switch bytes; bit 16 stays in the program.
ReportFrame EncodeSensorOptions(int liftoff_height, int sensor_flags);

// SetPowerOptions (0x07), 65 bytes, the four values unchanged.
ReportFrame EncodePowerOptions(int sleep_light, int move_wakeup, int move_closelight,
                               int button_respondtime);

struct LightingValues {
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    std::array<int, kLightColorCount> colors{};
};

// SetLighting (0x05), 65 bytes; the layout depends on the mode, and modes from 6 up go
// out as an empty frame.
ReportFrame EncodeLighting(const LightingValues& lighting);

// ResetLighting (0x0E) and RestoreDefaults (0x0F), 33 bytes each.
ReportFrame EncodeResetLighting();
ReportFrame EncodeRestoreDefaults();

}  // namespace quillora
