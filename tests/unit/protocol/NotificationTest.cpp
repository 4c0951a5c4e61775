#include "protocol/Notification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/protocol/FrameExpect.h"

namespace quillora {
namespace {

struct NotifyCase {
    const char* name;
    const char* bytes;
    std::optional<Notification> expected;
};

class NotificationDecoding : public ::testing::TestWithParam<NotifyCase> {};

TEST_P(NotificationDecoding, ParsesOrIgnores) {
    std::vector<std::uint8_t> bytes = testing_support::Hex(GetParam().bytes);
    EXPECT_EQ(DecodeNotification(bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, NotificationDecoding,
    ::testing::Values(
        NotifyCase{"connected_with_battery", "C0 01 50 01 00 00",
                   ConnectionNotification{true, 80, 1}},
        NotifyCase{"disconnected", "C0 00 00 00", ConnectionNotification{false, 0, 0}},
        NotifyCase{"connection_byte1_other_is_offline", "C0 02 10 00",
                   ConnectionNotification{false, 0x10, 0}},
        NotifyCase{"connection_short_report", "C0 01", ConnectionNotification{true, 0, 0}},
        NotifyCase{"dpi_level2_of_5", "C2 25", DpiNotification{5, 2}},
        NotifyCase{"dpi_level1_of_3", "C2 13", DpiNotification{3, 1}},
        NotifyCase{"dpi_level0_of_1", "C2 01", DpiNotification{1, 0}},
        NotifyCase{"dpi_level5_of_6", "C2 56", DpiNotification{6, 5}},
        NotifyCase{"dpi_count_0", "C2 00", std::nullopt},
        NotifyCase{"dpi_count_7", "C2 07", std::nullopt},
        NotifyCase{"dpi_count_15", "C2 0F", std::nullopt},
        NotifyCase{"dpi_level_equals_count", "C2 33", std::nullopt},
        NotifyCase{"dpi_level_above_count", "C2 F6", std::nullopt},
        NotifyCase{"dpi_without_byte1", "C2", std::nullopt},
        NotifyCase{"other_code", "C1 01 02 03", std::nullopt},
        NotifyCase{"reply_shaped", "13 00 00 00 25", std::nullopt},
        NotifyCase{"zero_led", "00 C0 01", std::nullopt}, NotifyCase{"empty", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillora
