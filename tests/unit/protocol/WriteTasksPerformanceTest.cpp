// Tasks 9 to 13 against the simulated mouse: what goes on the wire for stored values,
// what the mouse holds afterwards, and that the store is only read.

#include <array>
#include <functional>

#include "FrameExpect.h"
#include "WriteTaskFixture.h"

namespace quillora::write_test {
namespace {

using testing_support::FrameIs;

struct SensorCase {
    int sensor;
    std::array<int, 6> stored;
    std::array<int, 6> codes;  // what each level goes out as
};

// Per sensor: a level below the minimum, plain values, the values either side of the
// split where the code's step changes, the maximum and a level past it.
const SensorCase kSensors[] = {
    {4, {10, 1600, 4000, 4500, 8000, 9000}, {0, 15, 39, 41, 48, 48}},
    {5, {10, 800, 6400, 6500, 12000, 20000}, {1, 16, 128, 129, 184, 184}},
    {16, {10, 800, 4800, 5000, 1234, 3000}, {1, 8, 48, 48, 12, 30}},
    {17, {10, 1600, 10000, 10100, 12000, 13000}, {2, 32, 200, 201, 220, 220}},
    {18, {10, 800, 4800, 5000, 1234, 3000}, {1, 8, 48, 48, 12, 30}},
    {25, {10, 1600, 16000, 17000, 30000, 31000}, {1, 16, 160, 161, 174, 174}},
    {37, {10, 800, 5000, 5500, 10000, 11000}, {1, 8, 50, 51, 60, 60}},
    {38, {150, 800, 5000, 5500, 10000, 11000}, {1, 7, 49, 51, 60, 60}},
    {53, {10, 800, 16000, 17000, 1550, 400}, {1, 8, 160, 160, 15, 4}},
    {149, {10, 800, 26000, 27000, 125, 1000}, {1, 15, 519, 519, 1, 19}},
    {150, {10, 800, 35000, 38000, 40000, 1000}, {1, 15, 699, 759, 759, 19}},
    {0, {10, 800, 26000, 30000, 100, 1000}, {0, 15, 519, 519, 1, 19}},
};

TEST_F(WriteTaskTest, DpiLevelsGoOutInEachSensorsCodesClampedToItsLimits) {
    for (const SensorCase& c : kSensors) {
        SCOPED_TRACE("sensor " + std::to_string(c.sensor));
        Open(Link::Cable, true, c.sensor);
        Set("dpi_index", 2);
        Set("dpi_count", 5);
        for (int i = 0; i < 6; ++i) {
            Set("dpi_group" + std::to_string(i) + "_value", c.stored[i]);
        }
        const StoreContents before = Contents();

        ASSERT_TRUE(WriteDpiLevels(context));

        const Wire wire = Written();
        ASSERT_EQ(wire.size(), 1u);
        ASSERT_EQ(wire[0].size(), 33u);
        std::vector<std::uint8_t> expected = Hex("00 03 00 01 25 25");
        unsigned sum = 0x25;
        for (int code : c.codes) {
            const std::uint8_t lo = code & 0xFF, hi = code >> 8;
            for (std::uint8_t b : {lo, hi, lo, hi}) {
                expected.push_back(b);
                sum += b;
            }
        }
        expected.resize(32, 0);
        expected.push_back(static_cast<std::uint8_t>(sum));
        EXPECT_EQ(ToHex(wire[0].data(), 33), ToHex(expected.data(), 33));

        const sim::MouseSettings held = Mouse();
        EXPECT_EQ(held.dpi_selection, 0x25);
        EXPECT_TRUE(
            std::equal(held.dpi_levels.begin(), held.dpi_levels.end(), expected.begin() + 6));
        EXPECT_EQ(Contents(), before);
    }
}

TEST_F(WriteTaskTest, LevelThatIsNoNumberGoesOutAsTheMinimum) {
    Open(Link::Cable, true, 38);
    ASSERT_TRUE(store.SetSetting(1, "dpi_group3_value", u"not a number"));
    ASSERT_TRUE(WriteDpiLevels(context));
    const Wire wire = Written();
    ASSERT_EQ(wire.size(), 1u);
    // Level 4 at bytes 18 to 21: 200 DPI, code 1.
    EXPECT_EQ(ToHex(wire[0].data() + 18, 4), "01 00 01 00");
}

struct FrameCase {
    const char* name;
    std::vector<std::pair<const char*, int>> stored;
    std::function<bool(DeviceContext&)> task;
    std::size_t size;
    const char* prefix;
    std::uint8_t checksum;
    std::function<void(const sim::MouseSettings&)> held;
};

TEST_F(WriteTaskTest, SingleFrameWritesSendWhatIsStored) {
    const FrameCase cases[] = {
        {"colours",
         {{"dpi_index", 3},
          {"dpi_group0_rgb", 16744448},  // 0xFF8000
          {"dpi_group1_rgb", 255},
          {"dpi_group2_rgb", 65280},
          {"dpi_group3_rgb", 16711680},
          {"dpi_group4_rgb", 0},
          {"dpi_group5_rgb", 16777215}},
         [](DeviceContext& c) { return WriteDpiColors(c); },
         65,
         "00 04 00 01 12 00 80 FF FF 00 00 00 FF 00 00 00 FF 00 00 00 FF FF FF",
         0x79,
         [](const sim::MouseSettings& m) {
             EXPECT_EQ(ToHex(m.dpi_colors.data(), 18),
                       "00 80 FF FF 00 00 00 FF 00 00 00 FF 00 00 00 FF FF FF");
         }},
        {"report rate 500 Hz",
         {{"report_rate", 2}},
         [](DeviceContext& c) { return WriteReportRate(c); },
         65,
         "00 02 00 01 01 02",
         0x02,
         [](const sim::MouseSettings& m) { EXPECT_EQ(m.report_rate, 2); }},
        {"report rate 8000 Hz",
         {{"report_rate", 0x40}},
         [](DeviceContext& c) { return WriteReportRate(c); },
         65,
         "00 02 00 01 01 40",
         0x40,
         [](const sim::MouseSettings& m) { EXPECT_EQ(m.report_rate, 0x40); }},
        {"sensor flags 8 and 4 with bit 16",
         {{"liftoff_height", 2}, {"sensor_flag", 28}},
         [](DeviceContext& c) { return WriteSensorOptions(c); },
         65,
         "00 06 00 01 05 02 01 01",
         0x04,
         [](const sim::MouseSettings& m) {
             EXPECT_EQ(m.liftoff_height, 2);
             EXPECT_EQ(m.sensor_switches, (std::array<std::uint8_t, 2>{1, 1}));
         }},
        {"sensor flag 16 alone",
         {{"liftoff_height", 1}, {"sensor_flag", 16}},
         [](DeviceContext& c) { return WriteSensorOptions(c); },
         65,
         "00 06 00 01 05 01 00 00",
         0x01,
         [](const sim::MouseSettings& m) {
             EXPECT_EQ(m.sensor_switches, (std::array<std::uint8_t, 2>{0, 0}));
         }},
        {"power options",
         {{"sleep_light", 30},
          {"move_wakeup", 1},
          {"move_closelight", 0},
          {"button_respondtime", 8}},
         [](DeviceContext& c) { return WritePowerOptions(c); },
         65,
         "00 07 00 01 04 1E 01 00 08",
         0x27,
         [](const sim::MouseSettings& m) {
             EXPECT_EQ(m.power, (std::array<std::uint8_t, 4>{30, 1, 0, 8}));
         }},
        {"power options, low 8 bits only",
         {{"sleep_light", 0x1F4},
          {"move_wakeup", 0},
          {"move_closelight", 1},
          {"button_respondtime", 2}},
         [](DeviceContext& c) { return WritePowerOptions(c); },
         65,
         "00 07 00 01 04 F4 00 01 02",
         0xF7,
         [](const sim::MouseSettings& m) {
             EXPECT_EQ(m.power, (std::array<std::uint8_t, 4>{0xF4, 0, 1, 2}));
         }},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        Open(Link::Cable, true);
        for (const auto& [key, value] : c.stored) {
            Set(key, value);
        }
        const StoreContents before = Contents();

        ASSERT_TRUE(c.task(context));

        const Wire wire = Written();
        ASSERT_EQ(wire.size(), 1u);
        EXPECT_EQ(wire[0].size(), c.size);
        EXPECT_TRUE(FrameIs(AsFrame(wire[0]), c.prefix, c.checksum));
        c.held(Mouse());
        EXPECT_EQ(Contents(), before);
        EXPECT_TRUE(view.Calls().empty());
    }
}

TEST_F(WriteTaskTest, TextThatIsNoNumberGoesOutAsZero) {
    ASSERT_TRUE(store.SetSetting(1, "report_rate", u"fast"));
    ASSERT_TRUE(WriteReportRate(context));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_TRUE(FrameIs(AsFrame(Written()[0]), "00 02 00 01 01 00", 0x00));
}

TEST_F(WriteTaskTest, WritesSendTheCurrentProfile) {
    Set(1, "report_rate", 8);
    Set(3, "report_rate", 4);
    session.Update([](DeviceState& s) { s.currentProfile = 3; });
    ASSERT_TRUE(WriteReportRate(context));
    EXPECT_EQ(Mouse().report_rate, 4);
}

}  // namespace
}  // namespace quillora::write_test
