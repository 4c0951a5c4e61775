#include "protocol/WriteFrames.h"

#include <gtest/gtest.h>

#include <functional>

#include "protocol/ButtonSlots.h"
#include "protocol/CommandCatalogue.h"
#include "unit/protocol/FrameExpect.h"

namespace quillora {
namespace {

using testing_support::FrameIs;

struct FrameCase {
    const char* name;
    std::function<ReportFrame()> build;
    const char* prefix;
    std::uint8_t checksum;
};

class WriteFrameVectors : public ::testing::TestWithParam<FrameCase> {};

TEST_P(WriteFrameVectors, MatchesTheWireBytes) {
    const FrameCase& c = GetParam();
    EXPECT_TRUE(FrameIs(c.build(), c.prefix, c.checksum));
}

const SensorInfo kSensor17 = LookUpSensor(17);
const SensorInfo kSensor4 = LookUpSensor(4);

INSTANTIATE_TEST_SUITE_P(
    Commands, WriteFrameVectors,
    ::testing::Values(
        FrameCase{"report_rate_1000", [] { return EncodeReportRate(1); }, "00 02 00 01 01 01",
                  0x01},
        FrameCase{"report_rate_8000", [] { return EncodeReportRate(0x40); }, "00 02 00 01 01 40",
                  0x40},
        // Level 2 of 5 selected gives 0x25; 12000 on sensor 17 is code 220 (0xDC).
        FrameCase{
            "dpi_levels_sensor17",
            [] {
                return EncodeDpiLevels(17, kSensor17, 2, 5, {400, 800, 1600, 3200, 6400, 12000});
            },
            "00 03 00 01 25 25 08 00 08 00 10 00 10 00 20 00 20 00 40 00 40 00 80 00 80 "
            "00 DC 00 DC 00",
            0xCD},
        // 4000 is code 39 and 4500 code 41; 50, 9000 and a missing 0 are clamped first.
        FrameCase{"dpi_levels_sensor4_clamped",
                  [] {
                      return EncodeDpiLevels(4, kSensor4, 0, 4, {4000, 4500, 50, 9000, 8000, 0});
                  },
                  "00 03 00 01 25 04 27 00 27 00 29 00 29 00 00 00 00 00 30 00 30 00 30 00 30 "
                  "00 00 00 00 00",
                  0x64},
        // 0xFF8000 goes out red first: 00 80 FF.
        FrameCase{"dpi_colors",
                  [] {
                      return EncodeDpiColors(
                          {0xFF8000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x030201});
                  },
                  "00 04 00 01 12 00 80 FF 00 00 FF 00 FF 00 FF 00 00 FF FF FF 01 02 03", 0x7F},
        FrameCase{"sensor_options_flags_28", [] { return EncodeSensorOptions(2, 28); },
                  "00 06 00 01 05 02 01 01", 0x04},
        FrameCase{"sensor_options_flag_16_only", [] { return EncodeSensorOptions(1, 16); },
                  "00 06 00 01 05 01 00 00", 0x01},
        FrameCase{"power_options", [] { return EncodePowerOptions(10, 1, 0, 200); },
                  "00 07 00 01 04 0A 01 00 C8", 0xD3},
        FrameCase{"power_options_low_8_bits", [] { return EncodePowerOptions(0x10A, 0, 0, 0); },
                  "00 07 00 01 04 0A", 0x0A},
        FrameCase{"lighting_mode0_off",
                  [] {
                      return EncodeLighting({0, 4, 1, {}});
                  },
                  "00 05 00 01 02 00 41", 0x41},
        FrameCase{"lighting_mode1",
                  [] {
                      return EncodeLighting({1, 2, 1, {0x123456}});
                  },
                  "00 05 00 01 03 01 21 00", 0x22},
        FrameCase{
            "lighting_mode2_seven_colors",
            [] {
                return EncodeLighting(
                    {2, 4, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0, 0x332211, 0x665544, 0x998877}});
            },
            "00 05 00 01 18 02 42 07 FF 00 00 00 FF 00 00 00 FF 00 00 00 11 22 33 44 55 "
            "66 77 88 99",
            0x45},
        // Pure blue is 0xFF0000 in the 0x00BBGGRR layout.
        FrameCase{"lighting_mode3_one_color",
                  [] {
                      return EncodeLighting({3, 4, 3, {0xFF0000}});
                  },
                  "00 05 00 01 05 03 43 00 00 FF", 0x45},
        FrameCase{"lighting_mode4",
                  [] {
                      return EncodeLighting({4, 3, 15, {}});
                  },
                  "00 05 00 01 02 04 3F", 0x43},
        FrameCase{"lighting_mode5",
                  [] {
                      return EncodeLighting({5, 0, 0, {}});
                  },
                  "00 05 00 01 02 05", 0x05},
        FrameCase{"lighting_mode6_empty",
                  [] {
                      return EncodeLighting({6, 4, 4, {0xFFFFFF}});
                  },
                  "00 05 00 01 00", 0x00},
        FrameCase{"reset_lighting", [] { return EncodeResetLighting(); }, "00 0E 00 01 01 01",
                  0x01},
        FrameCase{"restore_defaults", [] { return EncodeRestoreDefaults(); }, "00 0F 00 01 01 FF",
                  0xFF},
        FrameCase{"button_table_defaults",
                  [] { return EncodeButtonTable(BuildSlotTable({}, nullptr)); },
                  "00 09 00 01 0F 10 01 00 10 02 00 10 04 00 10 08 00 10 10 00 40 01 00", 0xB0},
        FrameCase{"query_has_no_packet_byte", [] { return cmd::MakeQuery(cmd::kGetDpiLevels); },
                  "00 13", 0x00}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Checksum, CoversBytes5To31Only) {
    ReportFrame frame;
    // 27 payload bytes summing to 0x1F3.
    for (std::size_t i = 5; i < 31; ++i) {
        frame[i] = 0x13;  // 26 x 0x13 = 0x1EE
    }
    frame[31] = 0x05;
    frame[40] = 0x77;  // past the checksum: must not count
    frame[2] = 0x55;   // header: must not count
    frame[32] = 0xAA;  // overwritten
    StoreChecksum(frame);
    EXPECT_EQ(frame[32], 0xF3);
}

TEST(Catalogue, QueriesReadBackTheirWrites) {
    for (std::uint8_t write = cmd::kSetReportRate; write <= cmd::kSetPowerOptions; ++write) {
        const cmd::CommandInfo* w = cmd::Find(write);
        const cmd::CommandInfo* q = cmd::Find(write + cmd::kQueryOfWrite);
        ASSERT_NE(w, nullptr);
        ASSERT_NE(q, nullptr);
        EXPECT_EQ(w->kind, cmd::Kind::Write);
        EXPECT_EQ(q->kind, cmd::Kind::Query);
        EXPECT_EQ(q->size, FrameSize::Short);
    }
    EXPECT_EQ(cmd::Find(0x01), nullptr);
    EXPECT_EQ(cmd::Find(0xC0), nullptr);
}

TEST(Catalogue, FrameSizesAndLengthsOfTheEncoders) {
    const ReportFrame frames[] = {EncodeReportRate(1),
                                  EncodeDpiLevels(17, kSensor17, 0, 1, {}),
                                  EncodeDpiColors({}),
                                  EncodeSensorOptions(1, 0),
                                  EncodePowerOptions(0, 0, 0, 0),
                                  EncodeButtonTable(BuildSlotTable({}, nullptr)),
                                  EncodeResetLighting(),
                                  EncodeRestoreDefaults()};
    for (const ReportFrame& f : frames) {
        const cmd::CommandInfo* info = cmd::Find(f[request::kCommand]);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(f[request::kLength], info->length) << info->name;
        EXPECT_EQ(f[request::kPacket], kSinglePacket) << info->name;
    }
}

}  // namespace
}  // namespace quillora
