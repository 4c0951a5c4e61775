#include "protocol/Sensor.h"

namespace quillora {

SensorInfo LookUpSensor(int sensor, bool after_reconnect) {
    switch (sensor) {
        case 4:
            return {100, 8000, 80, 0, "100", "8000"};
        case 5:
            return {50, 12000, after_reconnect ? 184 : 183, 0, "50", "12000"};
        case 16:
        case 18:
            return {100, 4800, 48, 0, "100", "4800"};
        case 17:
            return {100, 12000, 220, 0, "100", "12000"};
        case 25:
            return {100, 30000, 174, 0, "100", "30000"};
        case 37:
            return {100, 10000, 60, 0, "100", "10000"};
        case 38:
            return {200, 10000, 59, 0, "200", "10000"};
        case 53:
            return {100, 16000, 160, 0, "100", "16000"};
        case 149:
            return {100, 26000, 520, 2, "100", "26000"};
        case 150:
            // Writes clamp at 38000 while the slider ends at 32000.
            return {100, 38000, 640, 2, "100", "32000"};
        default:
            return {};
    }
}

int DeviceCodeToDpi(int sensor, int code) {
    switch (sensor) {
        case 4:
            return code < 41 ? code * 100 : code * 500 - 15500;
        case 5:
            return code < 129 ? code * 50 : (code - 64) * 100;
        case 16:
        case 18:
        case 53:
            return code * 100;
        case 17:
            return code < 200 ? code * 50 : (code - 100) * 100;
        case 25:
            return code < 160 ? code * 100 : (code - 144) * 1000;
        case 37:
            return code < 50 ? code * 100 : (code - 40) * 500;
        case 38:
            return code < 50 ? code * 100 : (code - 39) * 500;
        case 150:
            return code * 50;
        default:
            return (code + 1) * 50;
    }
}

namespace {

// The shared body of the two DPI-to-code directions; for the slider the lower rule
// of sensors 4 and 17 stop just below the split, as the slider does.
int EncodeDpi(int sensor, int dpi, bool slider) {
    switch (sensor) {
        case 4:
            if (slider ? dpi < 4000 : dpi <= 4000) {
                return dpi / 100 - 1;
            }
            return (dpi - 4000) / 500 + 40;
        case 5:
            return dpi <= 6400 ? dpi / 50 : (dpi - 6400) / 100 + 128;
        case 16:
        case 18:
        case 53:
            return dpi / 100;
        case 17:
            if (slider ? dpi < 10000 : dpi <= 10000) {
                return dpi / 50;
            }
            return (dpi - 10000) / 100 + 200;
        case 25:
            return dpi <= 16000 ? dpi / 100 : (dpi - 16000) / 1000 + 160;
        case 37:
            return dpi <= 5000 ? dpi / 100 : (dpi - 5000) / 500 + 50;
        case 38:
            return dpi <= 5000 ? dpi / 100 - 1 : (dpi - 5000) / 500 + 50;
        case 149:
        case 150:
            return dpi / 50 - 1;
        default:
            return slider ? dpi / 50 : dpi / 50 - 1;
    }
}

}  // namespace

int DpiToDeviceCode(int sensor, int dpi) {
    return EncodeDpi(sensor, dpi, false);
}

int DpiToSliderPosition(int sensor, int dpi) {
    return EncodeDpi(sensor, dpi, true);
}

int RateCapabilityLevel(std::uint8_t capability_byte) {
    switch (capability_byte) {
        case 0x10:
            return 5;
        case 0x20:
            return 6;
        case 0x40:
            return 7;
        default:
            return 4;
    }
}

int ClampDpi(const SensorInfo& sensor, int dpi) {
    if (dpi < sensor.dpi_min) {
        return sensor.dpi_min;
    }
    if (dpi > sensor.dpi_max) {
        return sensor.dpi_max;
    }
    return dpi;
}

}  // namespace quillora
