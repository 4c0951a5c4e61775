#pragma once

// The sensor table and the DPI rules. Each sensor stores DPI on the mouse as a device
// code whose step changes above a split point; the three conversions below are the
// rules the mouse's firmware uses and are deliberately not exact inverses for every
// sensor (4, 38 and 150 lose a step on a round trip).

#include <cstdint>

namespace quillora {

struct SensorInfo {
    int dpi_min = 50;
    int dpi_max = 26000;
    int slider_positions = 520;
    // 0 leaves the slider's step mode as it is.
    int step_mode = 0;
    const char* min_text = "50";
    const char* max_text = "26000";
};

// The row of a sensor code; unknown codes get the default row. `after_reconnect` is the
// read that follows the receiver reporting the mouse online again, where sensor 5's
// slider has one position more.
SensorInfo LookUpSensor(int sensor, bool after_reconnect = false);

// Device code (as read back with query 0x13) to DPI.
int DeviceCodeToDpi(int sensor, int code);

// DPI (already clamped to the sensor's limits) to the code SetDpiLevels sends.
int DpiToDeviceCode(int sensor, int dpi);

// DPI to the DPI slider's position.
int DpiToSliderPosition(int sensor, int dpi);

// Device information byte 11 to the capability level the DPI page uses: 5, 6 or 7 for
// 0x10, 0x20 and 0x40, 4 for anything else.
int RateCapabilityLevel(std::uint8_t capability_byte);

// Clamps a stored level value to the sensor's limits.
int ClampDpi(const SensorInfo& sensor, int dpi);

}  // namespace quillora
