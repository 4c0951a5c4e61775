#include <gtest/gtest.h>

#include "exchange/SettingLimits.h"

namespace quillora {
namespace {

TEST(SettingLimitsTest, RangesFollowTheWireFields) {
    const struct {
        const char* key;
        SettingRange range;
    } cases[] = {
        {"dpi_count", {1, 6}},
        {"dpi_index", {0, 5}},
        {"dpi_group0_value", {0, 65535}},
        {"dpi_group5_value", {0, 65535}},
        {"dpi_group0_rgb", {0, 16777215}},
        {"dpi_group5_rgb", {0, 16777215}},
        {"dpi_flag", {0, 255}},
        {"report_rate", {0, 255}},
        {"e-sports_flag", {0, 255}},
        {"move_closelight", {0, 255}},
        // Not level or colour keys, whatever they start or end with.
        {"dpi_group_value", {0, 255}},
        {"dpi_group10_value", {0, 255}},
        {"xdpi_group0_rgb", {0, 255}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SendableRange(c.key), c.range) << c.key;
    }
}

TEST(SettingLimitsTest, OnlyPlainDecimalTextInsideTheRangeIsSendable) {
    const struct {
        const char* key;
        std::u16string text;
        bool sendable;
    } cases[] = {
        {"dpi_count", u"1", true},
        {"dpi_count", u"6", true},
        {"dpi_count", u"0", false},
        {"dpi_count", u"7", false},
        {"dpi_index", u"0", true},
        {"dpi_index", u"5", true},
        {"dpi_index", u"6", false},
        {"dpi_group2_value", u"0", true},
        {"dpi_group2_value", u"65535", true},
        {"dpi_group2_value", u"65536", false},
        {"dpi_group2_rgb", u"16777215", true},
        {"dpi_group2_rgb", u"16777216", false},
        {"sensor_flag", u"53", true},  // stored by default, though no control offers it
        {"sensor_flag", u"255", true},
        {"sensor_flag", u"256", false},
        {"report_rate", u"007", true},
        {"report_rate", u"", false},
        {"report_rate", u"-1", false},
        {"report_rate", u"-0", false},
        {"report_rate", u"+1", false},
        {"report_rate", u" 1", false},
        {"report_rate", u"1 ", false},
        {"report_rate", u"1.0", false},
        {"report_rate", u"0x1", false},
        {"report_rate", u"\uFF11", false},  // a full-width digit
        {"report_rate", u"99999999999999999999999", false},
        {"dpi_group0_rgb", u"0000000000000000000000255", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSendableSettingValue(c.key, c.text), c.sendable)
            << c.key << " = " << std::string(c.text.begin(), c.text.end());
    }
}

}  // namespace
}  // namespace quillora
