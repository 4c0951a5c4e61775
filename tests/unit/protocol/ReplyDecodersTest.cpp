#include "protocol/ReplyDecoders.h"

#include <gtest/gtest.h>

#include "device/DeviceInfo.h"
#include "unit/protocol/FrameExpect.h"

namespace quillora {
namespace {

using testing_support::Hex;

TEST(ReplyDecoders, DpiLevelsSplitTheLevelByteAndSkipLowValues) {
    // Sensor 16: codes 0 (decodes to 0: not stored), 4, 8, 16, 32, 48; the second copy
    // of each code is ignored.
    auto r = Hex(
        "13 00 00 25 25 00 00 FF FF 04 00 00 00 08 00 00 00 10 00 00 00 20 00 00 00 30 00 00 00");
    auto out = DecodeDpiLevels(r, 16);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->level_count, 5);
    EXPECT_EQ(out->selected_level, 2);
    EXPECT_FALSE(out->dpi[0].has_value());
    EXPECT_EQ(out->dpi[1], 400);
    EXPECT_EQ(out->dpi[5], 4800);
}

TEST(ReplyDecoders, DpiLevelsReadSixteenBitCodes) {
    // Sensor 150, code 0x02BB = 699 reads back as 34950.
    auto r = Hex("13 00 00 25 11 BB 02 BB 02");
    r.resize(4 + 25);
    auto out = DecodeDpiLevels(r, 150);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->dpi[0], 34950);
    EXPECT_FALSE(out->dpi[1].has_value());  // code 0 on sensor 150 is 0
}

TEST(ReplyDecoders, ColorsLightingSensorPowerRate) {
    EXPECT_EQ(
        DecodeDpiColors(Hex("14 00 00 12 00 80 FF 01 02 03 00 00 00 00 00 00 00 00 00 00 00 00")),
        (std::array<int, 6>{0xFF8000, 0x030201, 0, 0, 0, 0}));
    auto light = DecodeLighting(Hex("15 00 00 00 02 5A"));
    ASSERT_TRUE(light);
    EXPECT_EQ(light->mode, 2);
    EXPECT_EQ(light->brightness, 5);
    EXPECT_EQ(light->speed, 10);
    auto sensor = DecodeSensorOptions(Hex("16 00 00 00 02 01 01"));
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->liftoff_height, 2);
    EXPECT_EQ(sensor->sensor_flags, 12);
    EXPECT_EQ(DecodeSensorOptions(Hex("16 00 00 00 01 02 00"))->sensor_flags, 0);
    EXPECT_EQ(DecodeSensorOptions(Hex("16 00 00 00 01 00 01"))->sensor_flags, 4);
    auto power = DecodePowerOptions(Hex("17 00 00 00 0A 01 00 C8"));
    ASSERT_TRUE(power);
    EXPECT_EQ(power->button_respondtime, 200);
    EXPECT_EQ(DecodeReportRate(Hex("12 00 00 00 40")), 0x40);
}

TEST(ReplyDecoders, FirmwareVersionText) {
    EXPECT_EQ(DecodeFirmwareVersion(Hex("20 00 00 00 01 05")), "105");
    EXPECT_EQ(DecodeFirmwareVersion(Hex("20 00 00 00 12 05")), "1205");
    EXPECT_EQ(DecodeFirmwareVersion(Hex("20 00 00 00 FF FF")), "FFFF");
    EXPECT_EQ(DecodeFirmwareVersion(Hex("20 00 00 00 00 00")), "000");
}

TEST(ReplyDecoders, ShortRepliesGiveNothing) {
    EXPECT_FALSE(DecodeReportRate(Hex("12 00 00 00")));
    EXPECT_FALSE(DecodeDpiLevels(Hex("13 00 00 00 25 01 00"), 16));
    EXPECT_FALSE(DecodeDpiColors(Hex("14 00 00 00 01 02")));
    EXPECT_FALSE(DecodeLighting(Hex("15 00 00 00 02")));
    EXPECT_FALSE(DecodeSensorOptions(Hex("16 00 00 00 02 01")));
    EXPECT_FALSE(DecodePowerOptions(Hex("17 00 00 00 01 02 03")));
    EXPECT_FALSE(DecodeFirmwareVersion(Hex("20 00 00 00 01")));
}

TEST(DeviceInfoRecord, ParsesEveryField) {
    auto r = Hex("10 00 00 00 4D 33 35 31 34 12 19 40 50 01 01");
    auto info = ParseDeviceInfo(r);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->model_code, u"M351");
    EXPECT_EQ(info->unknown_word, 0x1234);
    EXPECT_EQ(info->sensor, 25);
    EXPECT_EQ(info->rate_capability, 0x40);
    EXPECT_EQ(info->battery_a, 80);
    EXPECT_EQ(info->battery_b, 1);
    EXPECT_EQ(info->connected, 1);
}

TEST(DeviceInfoRecord, WidensModelBytesAsSignedChars) {
    auto info = ParseDeviceInfo(Hex("10 00 00 00 41 80 FF 00 00 00 00 00 00 00 00"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->model_code, (std::u16string{u'A', u'\xFF80', u'\xFFFF', u'\0'}));
}

TEST(DeviceInfoRecord, RefusesShortOrForeignReplies) {
    EXPECT_FALSE(ParseDeviceInfo(Hex("10 00 00 00 41 42 43 44 00 00 05 10 50 01")));
    EXPECT_FALSE(ParseDeviceInfo(Hex("13 00 00 00 41 42 43 44 00 00 05 10 50 01 01")));
    EXPECT_FALSE(ParseDeviceInfo({}));
}

}  // namespace
}  // namespace quillora
