#include "protocol/Sensor.h"

#include <gtest/gtest.h>

#include <string>

namespace quillora {
namespace {

struct SensorRow {
    int sensor;
    bool after_reconnect;
    int min, max, positions, step_mode;
    const char* min_text;
    const char* max_text;
};

class SensorTable : public ::testing::TestWithParam<SensorRow> {};

TEST_P(SensorTable, GivesLimitsAndSlider) {
    const SensorRow& r = GetParam();
    SensorInfo info = LookUpSensor(r.sensor, r.after_reconnect);
    EXPECT_EQ(info.dpi_min, r.min);
    EXPECT_EQ(info.dpi_max, r.max);
    EXPECT_EQ(info.slider_positions, r.positions);
    EXPECT_EQ(info.step_mode, r.step_mode);
    EXPECT_STREQ(info.min_text, r.min_text);
    EXPECT_STREQ(info.max_text, r.max_text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SensorTable,
    ::testing::Values(SensorRow{4, false, 100, 8000, 80, 0, "100", "8000"},
                      SensorRow{5, false, 50, 12000, 183, 0, "50", "12000"},
                      SensorRow{5, true, 50, 12000, 184, 0, "50", "12000"},
                      SensorRow{16, false, 100, 4800, 48, 0, "100", "4800"},
                      SensorRow{18, false, 100, 4800, 48, 0, "100", "4800"},
                      SensorRow{17, false, 100, 12000, 220, 0, "100", "12000"},
                      SensorRow{17, true, 100, 12000, 220, 0, "100", "12000"},
                      SensorRow{25, false, 100, 30000, 174, 0, "100", "30000"},
                      SensorRow{37, false, 100, 10000, 60, 0, "100", "10000"},
                      SensorRow{38, false, 200, 10000, 59, 0, "200", "10000"},
                      SensorRow{53, false, 100, 16000, 160, 0, "100", "16000"},
                      SensorRow{149, false, 100, 26000, 520, 2, "100", "26000"},
                      // Clamps at 38000 while the slider's caption ends at 32000.
                      SensorRow{150, false, 100, 38000, 640, 2, "100", "32000"},
                      SensorRow{0, false, 50, 26000, 520, 0, "50", "26000"},
                      SensorRow{99, false, 50, 26000, 520, 0, "50", "26000"}),
    [](const auto& info) {
        return "sensor" + std::to_string(info.param.sensor) +
               (info.param.after_reconnect ? "_reconnect" : "");
    });

struct Conversion {
    int sensor;
    int in;
    int out;
};

std::string ConversionName(const ::testing::TestParamInfo<Conversion>& info) {
    return "sensor" + std::to_string(info.param.sensor) + "_" + std::to_string(info.param.in);
}

class CodeToDpi : public ::testing::TestWithParam<Conversion> {};
TEST_P(CodeToDpi, Converts) {
    EXPECT_EQ(DeviceCodeToDpi(GetParam().sensor, GetParam().in), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(
    Table, CodeToDpi,
    ::testing::Values(Conversion{4, 39, 3900}, Conversion{4, 40, 4000}, Conversion{4, 41, 5000},
                      Conversion{4, 48, 8500}, Conversion{5, 128, 6400}, Conversion{5, 129, 6500},
                      Conversion{5, 184, 12000}, Conversion{16, 0, 0}, Conversion{16, 48, 4800},
                      Conversion{18, 12, 1200}, Conversion{53, 160, 16000},
                      Conversion{17, 199, 9950}, Conversion{17, 200, 10000},
                      Conversion{17, 220, 12000}, Conversion{25, 159, 15900},
                      Conversion{25, 160, 16000}, Conversion{25, 174, 30000},
                      Conversion{37, 49, 4900}, Conversion{37, 50, 5000}, Conversion{37, 60, 10000},
                      Conversion{38, 49, 4900}, Conversion{38, 50, 5500}, Conversion{38, 51, 6000},
                      Conversion{150, 100, 5000}, Conversion{150, 760, 38000},
                      Conversion{149, 519, 26000}, Conversion{99, 0, 50}, Conversion{0, 1, 100}),
    ConversionName);

class DpiToCode : public ::testing::TestWithParam<Conversion> {};
TEST_P(DpiToCode, Converts) {
    EXPECT_EQ(DpiToDeviceCode(GetParam().sensor, GetParam().in), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(Table, DpiToCode,
                         ::testing::Values(Conversion{4, 100, 0}, Conversion{4, 4000, 39},
                                           Conversion{4, 4500, 41}, Conversion{4, 8000, 48},
                                           Conversion{5, 50, 1}, Conversion{5, 6400, 128},
                                           Conversion{5, 6500, 129}, Conversion{5, 12000, 184},
                                           Conversion{16, 4800, 48}, Conversion{18, 150, 1},
                                           Conversion{53, 16000, 160}, Conversion{17, 10000, 200},
                                           Conversion{17, 10100, 201}, Conversion{17, 12000, 220},
                                           Conversion{25, 16000, 160}, Conversion{25, 16999, 160},
                                           Conversion{25, 30000, 174}, Conversion{37, 5000, 50},
                                           Conversion{37, 10000, 60}, Conversion{38, 200, 1},
                                           Conversion{38, 5000, 49}, Conversion{38, 5500, 51},
                                           Conversion{38, 10000, 60}, Conversion{149, 26000, 519},
                                           Conversion{150, 35000, 699}, Conversion{150, 38000, 759},
                                           Conversion{99, 50, 0}, Conversion{99, 26000, 519}),
                         ConversionName);

class DpiToSlider : public ::testing::TestWithParam<Conversion> {};
TEST_P(DpiToSlider, Converts) {
    EXPECT_EQ(DpiToSliderPosition(GetParam().sensor, GetParam().in), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(
    Table, DpiToSlider,
    ::testing::Values(
        // Sensor 4 and 17 take the upper rule already at the split.
        Conversion{4, 3900, 38}, Conversion{4, 4000, 40}, Conversion{4, 8000, 48},
        Conversion{17, 9950, 199}, Conversion{17, 10000, 200}, Conversion{17, 12000, 220},
        Conversion{5, 6400, 128}, Conversion{5, 12000, 184}, Conversion{16, 4800, 48},
        Conversion{25, 30000, 174}, Conversion{37, 10000, 60}, Conversion{38, 200, 1},
        Conversion{53, 16000, 160}, Conversion{149, 26000, 519}, Conversion{150, 32000, 639},
        // Unknown sensors have no -1.
        Conversion{99, 50, 1}, Conversion{99, 26000, 520}),
    ConversionName);

// Where a sensor's two directions are exact inverses, every DPI on its step grid must
// survive a write and a read-back unchanged; sensors 4, 38 and 150 are known not to.
TEST(DpiRoundTrip, StepGridSurvivesWriteAndReadBack) {
    struct Grid {
        int sensor, from, to, low_step, split, high_step;
    };
    const Grid grids[] = {{5, 50, 12000, 50, 6400, 100},    {16, 100, 4800, 100, 4800, 100},
                          {17, 100, 12000, 50, 10000, 100}, {25, 100, 30000, 100, 16000, 1000},
                          {37, 100, 10000, 100, 5000, 500}, {53, 100, 16000, 100, 16000, 100},
                          {149, 100, 26000, 50, 26000, 50}};
    for (const Grid& g : grids) {
        for (int dpi = g.from; dpi <= g.to; dpi += dpi < g.split ? g.low_step : g.high_step) {
            EXPECT_EQ(DeviceCodeToDpi(g.sensor, DpiToDeviceCode(g.sensor, dpi)), dpi)
                << "sensor " << g.sensor << " dpi " << dpi;
        }
    }
}

TEST(RateCapability, MapsTheThreeKnownBytes) {
    EXPECT_EQ(RateCapabilityLevel(0x10), 5);
    EXPECT_EQ(RateCapabilityLevel(0x20), 6);
    EXPECT_EQ(RateCapabilityLevel(0x40), 7);
    EXPECT_EQ(RateCapabilityLevel(0x08), 4);
    EXPECT_EQ(RateCapabilityLevel(0x00), 4);
    EXPECT_EQ(RateCapabilityLevel(0x30), 4);
}

TEST(ClampDpi, BoundsToTheSensorLimits) {
    const SensorInfo s38 = LookUpSensor(38);
    EXPECT_EQ(ClampDpi(s38, 150), 200);
    EXPECT_EQ(ClampDpi(s38, 0), 200);
    EXPECT_EQ(ClampDpi(s38, 10001), 10000);
    EXPECT_EQ(ClampDpi(s38, 6000), 6000);
    EXPECT_EQ(ClampDpi(LookUpSensor(150), 39000), 38000);
}

}  // namespace
}  // namespace quillora
