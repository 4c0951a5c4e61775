#include "protocol/MacroStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/protocol/FrameExpect.h"

namespace quillora {
namespace {

using testing_support::Hex;

constexpr int kVkA = 0x41;

MacroEventInput Down(int vk) {
    return {kMacroKeyDown, vk};
}
MacroEventInput Up(int vk) {
    return {kMacroKeyUp, vk};
}
MacroEventInput Delay(int ms) {
    return {kMacroDelay, ms};
}

struct StreamCase {
    const char* name;
    int key_code;
    std::vector<MacroEventInput> records;
    const char* stream;
};

class StreamEncoding : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamEncoding, GivesTheStreamBytes) {
    const StreamCase& c = GetParam();
    MacroStream s = BuildMacroStream(c.key_code, c.records);
    EXPECT_EQ(testing_support::ToHex(s.bytes.data(), s.bytes.size()),
              testing_support::ToHex(Hex(c.stream).data(), Hex(c.stream).size()));
    EXPECT_EQ(static_cast<int>(s.bytes.size()), 1 + 4 * s.events);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, StreamEncoding,
    ::testing::Values(
        StreamCase{"press_a", 2, {Down(kVkA), Delay(50), Up(kVkA)}, "02 30 32 00 04 B0 01 00 04"},
        StreamCase{"no_events", 4, {}, "04"},
        StreamCase{"only_delays", 4, {Delay(10), Delay(20)}, "04"},
        // Delays before the first event add to it.
        StreamCase{"leading_delay",
                   1,
                   {Delay(100), Down(kVkA), Delay(20), Up(kVkA)},
                   "01 30 78 00 04 B0 01 00 04"},
        // The wheel record closes the running delay; the next delay overwrites it.
        StreamCase{"wheel_closes_delay",
                   1,
                   {Down(kVkA), Delay(30), {kMacroWheelUp, 1}, Delay(40), Up(kVkA)},
                   "01 30 28 00 04 B0 01 00 04"},
        StreamCase{"trailing_delay_goes_to_last", 1, {Down(kVkA), Delay(300)}, "01 30 2C 01 04"},
        StreamCase{"consecutive_delays_add",
                   1,
                   {Down(kVkA), Delay(200), Delay(100), Up(kVkA)},
                   "01 30 2C 01 04 B0 01 00 04"},
        StreamCase{"delay_capped_at_65535",
                   1,
                   {Down(kVkA), Delay(60000), Delay(60000), Up(kVkA)},
                   "01 30 FF FF 04 B0 01 00 04"},
        StreamCase{"delay_65535_exact",
                   1,
                   {Down(kVkA), Delay(65535), Up(kVkA)},
                   "01 30 FF FF 04 B0 01 00 04"},
        StreamCase{"negative_sum_waits_1ms",
                   1,
                   {Down(kVkA), Delay(-5), Up(kVkA)},
                   "01 30 01 00 04 B0 01 00 04"},
        // Shift and Ctrl travel as modifier events both ways.
        StreamCase{"left_shift", 0, {Down(0xA0), Up(0xA0)}, "00 20 01 00 02 A0 01 00 02"},
        StreamCase{"right_ctrl", 0, {Down(0xA3), Up(0xA3)}, "00 20 01 00 10 A0 01 00 10"},
        // The Windows keys must come up as modifier events too, or they stay held.
        StreamCase{"left_win", 0, {Down(0x5B), Up(0x5B)}, "00 20 01 00 08 A0 01 00 08"},
        StreamCase{"right_win", 0, {Down(0x5C), Up(0x5C)}, "00 20 01 00 80 A0 01 00 80"},
        StreamCase{"mouse_buttons",
                   3,
                   {{kMacroButtonDown, 0x101}, {kMacroButtonUp, 1}},
                   "03 10 01 00 01 90 01 00 01"},
        StreamCase{"unknown_types_add_nothing",
                   3,
                   {{kMacroWheelDown, 1}, {99, 1}, Down(0x70)},
                   "03 30 01 00 3A"},
        StreamCase{"unmapped_key_is_0", 3, {Down(0x07)}, "03 30 01 00 00"}),
    [](const auto& info) { return std::string(info.param.name); });

// A stream of n key presses, each event with a distinct value so a misplaced chunk shows.
MacroStream PressStream(int events) {
    std::vector<MacroEventInput> records;
    for (int i = 0; i < events; ++i) {
        records.push_back(i % 2 == 0 ? Down(0x41 + (i / 2) % 26) : Up(0x41 + (i / 2) % 26));
    }
    MacroStream s = BuildMacroStream(5, records);
    EXPECT_EQ(s.events, events);
    return s;
}

struct FramingCase {
    int events;
    std::vector<int> packets;
    std::vector<int> lengths;
};

class MacroFraming : public ::testing::TestWithParam<FramingCase> {};

TEST_P(MacroFraming, CutsTheStreamIntoNumberedChunks) {
    const FramingCase& c = GetParam();
    MacroStream stream = PressStream(c.events);
    MacroFrames out = EncodeMacroFrames(stream);
    ASSERT_EQ(out.status, MacroFramingStatus::Ok);
    ASSERT_EQ(out.frames.size(), c.packets.size());
    std::vector<std::uint8_t> joined;
    for (std::size_t i = 0; i < out.frames.size(); ++i) {
        const ReportFrame& f = out.frames[i];
        EXPECT_EQ(f[request::kCommand], 0x08);
        EXPECT_EQ(f[request::kStatus], 0x00);
        EXPECT_EQ(f[request::kPacket], c.packets[i]) << "frame " << i;
        EXPECT_EQ(f[request::kLength], c.lengths[i]) << "frame " << i;
        EXPECT_EQ(f[request::kChecksum], ComputeChecksum(f));
        for (int b = 0; b < f[request::kLength]; ++b) {
            joined.push_back(f[request::kPayload + b]);
        }
        for (std::size_t b = request::kPayload + f[request::kLength]; b < request::kChecksum; ++b) {
            EXPECT_EQ(f[b], 0) << "frame " << i << " byte " << b;
        }
    }
    EXPECT_EQ(joined, stream.bytes);
}

std::vector<int> Repeat(int value, int n) {
    return std::vector<int>(n, value);
}

std::vector<int> Packets(int count) {
    std::vector<int> p;
    for (int i = 0; i < count; ++i) {
        p.push_back(i * 16 + count);
    }
    return p;
}

INSTANTIATE_TEST_SUITE_P(EventCounts, MacroFraming,
                         ::testing::Values(FramingCase{1, {0x01}, {5}},
                                           FramingCase{6, {0x01}, {25}},
                                           FramingCase{7, {0x02, 0x12}, {27, 2}},
                                           FramingCase{20, {0x03, 0x13, 0x23}, {27, 27, 27}},
                                           FramingCase{27, Packets(5), {27, 27, 27, 27, 1}},
                                           FramingCase{101, Packets(15), Repeat(27, 15)}),
                         [](const auto& info) {
                             return std::to_string(info.param.events) + "_events";
                         });

TEST(MacroFraming, EmptyMacroSendsTheKeyCodeAlone) {
    MacroFrames out = EncodeMacroFrames(BuildMacroStream(4, {}));
    ASSERT_EQ(out.frames.size(), 1u);
    EXPECT_TRUE(testing_support::FrameIs(out.frames[0], "00 08 00 01 01 04", 0x04));
}

TEST(MacroFraming, RefusesWhatThePacketByteCannotCount) {
    MacroFrames out = EncodeMacroFrames(PressStream(102));
    EXPECT_EQ(out.status, MacroFramingStatus::TooLong);
    EXPECT_TRUE(out.frames.empty());
    EXPECT_EQ(out.frames_needed, 16);
}

}  // namespace
}  // namespace quillora
