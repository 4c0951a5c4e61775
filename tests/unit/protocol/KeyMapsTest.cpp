#include "protocol/KeyMaps.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

struct KeyCase {
    int in;
    int out;
};

class VirtualKeyMap : public ::testing::TestWithParam<KeyCase> {};
TEST_P(VirtualKeyMap, GivesTheHidUsage) {
    EXPECT_EQ(MapVirtualKey(GetParam().in), GetParam().out) << std::hex << GetParam().in;
}
INSTANTIATE_TEST_SUITE_P(
    Table, VirtualKeyMap,
    ::testing::Values(
        // Letters, digits and the ends of each range.
        KeyCase{0x41, 0x04}, KeyCase{0x5A, 0x1D}, KeyCase{0x31, 0x1E}, KeyCase{0x39, 0x26},
        KeyCase{0x30, 0x27}, KeyCase{0x0D, 0x28}, KeyCase{0x1B, 0x29}, KeyCase{0x08, 0x2A},
        KeyCase{0x09, 0x2B}, KeyCase{0x20, 0x2C}, KeyCase{0xBD, 0x2D}, KeyCase{0xBB, 0x2E},
        KeyCase{0xDB, 0x2F}, KeyCase{0xDD, 0x30}, KeyCase{0xDC, 0x31}, KeyCase{666, 0x32},
        KeyCase{0xBA, 0x33}, KeyCase{0xDE, 0x34}, KeyCase{0xC0, 0x35}, KeyCase{0xBC, 0x36},
        KeyCase{0xBE, 0x37}, KeyCase{0xBF, 0x38}, KeyCase{0x14, 0x39}, KeyCase{0x70, 0x3A},
        KeyCase{0x7B, 0x45}, KeyCase{0x7C, 0x68}, KeyCase{0x87, 0x73}, KeyCase{0x2C, 0x46},
        KeyCase{0x91, 0x47}, KeyCase{0x13, 0x48}, KeyCase{0x2D, 0x49}, KeyCase{0x24, 0x4A},
        KeyCase{0x21, 0x4B}, KeyCase{0x2E, 0x4C}, KeyCase{0x23, 0x4D}, KeyCase{0x22, 0x4E},
        KeyCase{0x27, 0x4F}, KeyCase{0x25, 0x50}, KeyCase{0x28, 0x51}, KeyCase{0x26, 0x52},
        KeyCase{0x90, 0x53}, KeyCase{0x6F, 0x54}, KeyCase{0x6A, 0x55}, KeyCase{0x6D, 0x56},
        KeyCase{0x6B, 0x57}, KeyCase{0x6C, 0x58}, KeyCase{0x61, 0x59}, KeyCase{0x63, 0x5B},
        KeyCase{0x64, 0x5C}, KeyCase{0x69, 0x61}, KeyCase{0x60, 0x62}, KeyCase{0x6E, 0x63},
        KeyCase{0xE2, 0x64}, KeyCase{0x5D, 0x65}, KeyCase{0xFE, 0xAF}, KeyCase{0xA2, 0xE0},
        KeyCase{0xA0, 0xE1}, KeyCase{0xA4, 0xE2}, KeyCase{0x5B, 0xE3}, KeyCase{0xA3, 0xE4},
        KeyCase{0xA1, 0xE5}, KeyCase{0xA5, 0xE6}, KeyCase{0x5C, 0xE7}, KeyCase{0x88, 0x88},
        KeyCase{0x8B, 0x8B}, KeyCase{301, 0xEC}, KeyCase{302, 0xEB},
        // Unlisted codes, just outside the ranges.
        KeyCase{0x00, 0}, KeyCase{0x40, 0}, KeyCase{0x5E, 0}, KeyCase{0x3A, 0}, KeyCase{0x8C, 0},
        KeyCase{0xA6, 0}, KeyCase{0x10, 0}, KeyCase{-1, 0}, KeyCase{0x141, 0}));

class ModifierMap : public ::testing::TestWithParam<KeyCase> {};
TEST_P(ModifierMap, GivesTheModifierBit) {
    EXPECT_EQ(MapModifier(GetParam().in), GetParam().out) << std::hex << GetParam().in;
}
INSTANTIATE_TEST_SUITE_P(Table, ModifierMap,
                         ::testing::Values(KeyCase{0, 0}, KeyCase{0xA2, 0x01}, KeyCase{0xE0, 0x01},
                                           KeyCase{0xA0, 0x02}, KeyCase{0xE1, 0x02},
                                           KeyCase{0xA4, 0x04}, KeyCase{0xE2, 0x04},
                                           KeyCase{0x5B, 0x08}, KeyCase{0xE3, 0x08},
                                           KeyCase{0xA3, 0x10}, KeyCase{0xE4, 0x10},
                                           KeyCase{0xA1, 0x20}, KeyCase{0xE5, 0x20},
                                           KeyCase{0xA5, 0x40}, KeyCase{0xE6, 0x40},
                                           KeyCase{0x5C, 0x80}, KeyCase{0xE7, 0x80},
                                           // Anything else passes through.
                                           KeyCase{0x04, 0x04}, KeyCase{0xA6, 0xA6},
                                           KeyCase{0xE8, 0xE8}, KeyCase{0x1234, 0x1234}));

// Every modifier's virtual-key code and its HID usage must agree on the bit, or the
// keyboard slot and the macro stream would press different keys for the same modifier.
TEST(KeyMaps, ModifierVirtualKeysAndUsagesAgree) {
    for (int vk : {0xA2, 0xA0, 0xA4, 0x5B, 0xA3, 0xA1, 0xA5, 0x5C}) {
        EXPECT_EQ(MapModifier(vk), MapModifier(MapVirtualKey(vk))) << std::hex << vk;
    }
}

}  // namespace
}  // namespace quillora
