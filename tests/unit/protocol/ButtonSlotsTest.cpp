#include "protocol/ButtonSlots.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quillora {
namespace {

struct SlotCase {
    const char* name;
    ButtonAssignment assignment;
    ButtonSlot expected;
};

// Macros the table can name: 1 plays while held (type 1), 2 toggles (type 2), 3 repeats
// 5 times (type 0), 4 repeats with no count, 5 repeats 300 times.
std::optional<MacroPlayMode> LookUp(int id) {
    static const std::map<int, MacroPlayMode> kMacros = {{1, {1, 0}}, {2, {2, 9}},   {3, {0, 5}},
                                                         {4, {0, 0}}, {5, {7, 300}}, {6, {3, 2}}};
    auto it = kMacros.find(id);
    if (it == kMacros.end()) {
        return std::nullopt;
    }
    return it->second;
}

class SlotEncoding : public ::testing::TestWithParam<SlotCase> {};

TEST_P(SlotEncoding, GivesTheSlotBytes) {
    const SlotCase& c = GetParam();
    ButtonAssignment a = c.assignment;
    ButtonSlotTable table = BuildSlotTable({&a, 1}, LookUp);
    EXPECT_EQ(table[a.key_code], c.expected);
}

// Key code 3 starts from its default slot 10 08 00 (types 4 and 6 keep parts of it).
constexpr int K = 3;

INSTANTIATE_TEST_SUITE_P(
    Types, SlotEncoding,
    ::testing::Values(
        SlotCase{"mouse_left", {K, 1, 1, 0}, {0x10, 0x01, 0x00}},
        SlotCase{"mouse_right", {K, 1, 2, 0}, {0x10, 0x04, 0x00}},
        SlotCase{"mouse_middle", {K, 1, 3, 0}, {0x10, 0x02, 0x00}},
        SlotCase{"mouse_4", {K, 1, 4, 0}, {0x30, 0x32, 0x03}},
        SlotCase{"mouse_5", {K, 1, 5, 0}, {0x10, 0x10, 0x00}},
        SlotCase{"mouse_6", {K, 1, 6, 0}, {0x10, 0x08, 0x00}},
        SlotCase{"mouse_7", {K, 1, 7, 0}, {0x20, 0x01, 0x00}},
        SlotCase{"mouse_8", {K, 1, 8, 0}, {0x20, 0xFF, 0x00}},
        SlotCase{"mouse_9", {K, 1, 9, 0}, {0x10, 0x00, 0xF5}},
        SlotCase{"mouse_10", {K, 1, 10, 0}, {0x10, 0x00, 0xF6}},
        SlotCase{"mouse_other", {K, 1, 11, 0}, {0x10, 0x00, 0x00}},
        SlotCase{"key_a_with_ctrl", {K, 2, 0x04, 0x01}, {0x70, 0x01, 0x04}},
        SlotCase{"key_lone_left_shift", {K, 2, 0xE1, 0}, {0x70, 0x02, 0x00}},
        SlotCase{"key_lone_right_gui", {K, 2, 0xE7, 0}, {0x70, 0x80, 0x00}},
        SlotCase{"key_shift_with_ctrl_bit", {K, 2, 0xE1, 0x01}, {0x70, 0x01, 0xE1}},
        // Keypad 3 and 4 share numbers with the Windows keys' virtual-key codes and must
        // stay usages.
        SlotCase{"keypad_3", {K, 2, 0x5B, 0}, {0x70, 0x00, 0x5B}},
        SlotCase{"keypad_4_with_shift", {K, 2, 0x5C, 0x02}, {0x70, 0x02, 0x5C}},
        SlotCase{"key_low_8_bits", {K, 2, 0x104, 0x101}, {0x70, 0x01, 0x04}},
        SlotCase{"media_1", {K, 3, 1, 0}, {0x80, 0x83, 0x01}},
        SlotCase{"media_2", {K, 3, 2, 0}, {0x80, 0xCD, 0x00}},
        SlotCase{"media_3", {K, 3, 3, 0}, {0x80, 0xB7, 0x00}},
        SlotCase{"media_4", {K, 3, 4, 0}, {0x80, 0xB6, 0x00}},
        SlotCase{"media_5", {K, 3, 5, 0}, {0x80, 0xB5, 0x00}},
        SlotCase{"media_6", {K, 3, 6, 0}, {0x80, 0xE9, 0x00}},
        SlotCase{"media_7", {K, 3, 7, 0}, {0x80, 0xEA, 0x00}},
        SlotCase{"media_8", {K, 3, 8, 0}, {0x80, 0xE2, 0x00}},
        SlotCase{"media_other", {K, 3, 9, 0}, {0x80, 0x00, 0x00}},
        SlotCase{"macro_held", {K, 4, 1, 0}, {0x90, K + 0x10, 0x00}},
        SlotCase{"macro_toggle", {K, 4, 2, 0}, {0x90, K + 0x40, 0x00}},
        SlotCase{"macro_repeat_5", {K, 4, 3, 0}, {0x90, K + 0x20, 0x05}},
        SlotCase{"macro_repeat_no_count", {K, 4, 4, 0}, {0x90, K + 0x20, 0x00}},
        SlotCase{"macro_repeat_count_low_8_bits", {K, 4, 5, 0}, {0x90, K + 0x20, 300 & 0xFF}},
        SlotCase{"macro_play_type_3", {K, 4, 6, 0}, {0x90, K + 0x10, 0x00}},
        SlotCase{"macro_missing_keeps_default", {K, 4, 42, 0}, {0x10, 0x08, 0x00}},
        SlotCase{"dpi_1", {K, 5, 1, 0}, {0x40, 0x02, 0x00}},
        SlotCase{"dpi_2", {K, 5, 2, 0}, {0x40, 0x03, 0x00}},
        SlotCase{"dpi_3", {K, 5, 3, 0}, {0x40, 0x01, 0x00}},
        SlotCase{"dpi_other", {K, 5, 0, 0}, {0x40, 0x00, 0x00}},
        SlotCase{"special_1_keeps_byte3", {K, 6, 1, 0}, {0x60, 0x04, 0x00}},
        SlotCase{"special_2", {K, 6, 2, 0}, {0x60, 0x01, 0x00}},
        SlotCase{"special_other_keeps_both", {K, 6, 3, 0}, {0x60, 0x08, 0x00}},
        SlotCase{"fire", {K, 7, 0x05, 0x64}, {0x30, 0x05, 0x64}},
        SlotCase{"shortcut_1", {K, 8, 1, 0}, {0x80, 0x6F, 0x00}},
        SlotCase{"shortcut_2", {K, 8, 2, 0}, {0x80, 0x70, 0x00}},
        SlotCase{"shortcut_3", {K, 8, 3, 0}, {0x80, 0x92, 0x01}},
        SlotCase{"shortcut_4", {K, 8, 4, 0}, {0x80, 0x94, 0x01}},
        SlotCase{"shortcut_5", {K, 8, 5, 0}, {0x80, 0x23, 0x02}},
        SlotCase{"shortcut_6", {K, 8, 6, 0}, {0x80, 0x8A, 0x01}},
        SlotCase{"shortcut_7", {K, 8, 7, 0}, {0x70, 0x08, 0x07}},
        SlotCase{"shortcut_8", {K, 8, 8, 0}, {0x70, 0x08, 0x2B}},
        SlotCase{"shortcut_9", {K, 8, 9, 0}, {0x70, 0x01, 0x06}},
        SlotCase{"shortcut_10", {K, 8, 10, 0}, {0x70, 0x01, 0x19}},
        SlotCase{"shortcut_11", {K, 8, 11, 0}, {0x70, 0x01, 0x1B}},
        SlotCase{"shortcut_other", {K, 8, 12, 0}, {0x80, 0x00, 0x00}},
        SlotCase{"disabled", {K, 9, 5, 5}, {0x60, 0x00, 0x00}},
        SlotCase{"unknown_type_unchanged", {K, 10, 1, 1}, {0x10, 0x08, 0x00}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SlotTable, DefaultsPerKeyCode) {
    ButtonSlotTable t = BuildSlotTable({}, nullptr);
    EXPECT_EQ(t[0], (ButtonSlot{0x10, 0x01, 0x00}));
    EXPECT_EQ(t[1], (ButtonSlot{0x10, 0x02, 0x00}));
    EXPECT_EQ(t[2], (ButtonSlot{0x10, 0x04, 0x00}));
    EXPECT_EQ(t[3], (ButtonSlot{0x10, 0x08, 0x00}));
    EXPECT_EQ(t[4], (ButtonSlot{0x10, 0x10, 0x00}));
    EXPECT_EQ(t[5], (ButtonSlot{0x40, 0x01, 0x00}));
    for (int k = 6; k < kSlotCount; ++k) {
        EXPECT_EQ(t[k], ButtonSlot{}) << k;
    }
}

TEST(SlotTable, LaterAssignmentWinsAndOutOfRangeIsSkipped) {
    const ButtonAssignment list[] = {
        {1, 9, 0, 0},   // disabled ...
        {1, 5, 1, 0},   // ... then DPI up: the later one counts
        {21, 9, 0, 0},  // no slot for key code 21
        {-1, 9, 0, 0}, {8, 1, 1, 0},
    };
    ButtonSlotTable t = BuildSlotTable(list, nullptr);
    EXPECT_EQ(t[1], (ButtonSlot{0x40, 0x02, 0x00}));
    EXPECT_EQ(t[8], (ButtonSlot{0x10, 0x01, 0x00}));
    EXPECT_EQ(t[20], ButtonSlot{});
}

TEST(SlotTable, SpecialKeepsBytesOfAnEarlierRecord) {
    const ButtonAssignment list[] = {{7, 7, 0x11, 0x22}, {7, 6, 1, 0}};
    EXPECT_EQ(BuildSlotTable(list, nullptr)[7], (ButtonSlot{0x60, 0x04, 0x22}));
}

TEST(SlotTable, FrameCarriesOnlySlotsZeroToEight) {
    const ButtonAssignment list[] = {{8, 9, 0, 0}, {9, 1, 4, 0}};
    ReportFrame f = EncodeButtonTable(BuildSlotTable(list, nullptr));
    EXPECT_EQ(f[5 + 3 * 8], 0x60);
    for (std::size_t i = request::kChecksum + 1; i < ReportFrame::kSize; ++i) {
        EXPECT_EQ(f[i], 0) << i;
    }
}

}  // namespace
}  // namespace quillora
