// Task 6 against the simulated mouse: every kind of assignment as its slot in the
// button table, and the bound macro's stream ahead of the table.

#include <optional>

#include "FrameExpect.h"
#include "WriteTaskFixture.h"

namespace quillora::write_test {
namespace {

using testing_support::FrameIs;

constexpr const char* kDefaultSlots = "10 01 00 10 02 00 10 04 00 10 08 00 10 10 00 40 01 00";

// The SetButtonTable frame with the default slots and `slot` (three hex bytes) at `key`.
std::vector<std::uint8_t> TableWith(int key, const char* slot) {
    std::vector<std::uint8_t> frame = Hex("00 09 00 01 0F");
    for (std::uint8_t b : Hex(kDefaultSlots)) {
        frame.push_back(b);
    }
    frame.resize(32, 0);
    if (slot != nullptr) {
        const std::vector<std::uint8_t> bytes = Hex(slot);
        std::copy(bytes.begin(), bytes.end(), frame.begin() + 5 + 3 * key);
    }
    unsigned sum = 0;
    for (std::size_t i = 5; i < 32; ++i) {
        sum += frame[i];
    }
    frame.push_back(static_cast<std::uint8_t>(sum));
    return frame;
}

TEST_F(WriteTaskTest, NoAssignmentsSendTheDefaultTable) {
    ASSERT_TRUE(WriteButtonAssignments(context));
    const Wire wire = Written();
    ASSERT_EQ(wire.size(), 1u);
    EXPECT_EQ(wire[0].size(), 33u);
    EXPECT_TRUE(FrameIs(AsFrame(wire[0]), std::string("00 09 00 01 0F ") + kDefaultSlots, 0xB0));
    EXPECT_EQ(ToHex(Mouse().button_table.data(), 27), ToHex(wire[0].data() + 5, 27));
}

struct SlotCase {
    const char* name;
    int key;
    int type;
    int value;
    int value2;
    const char* slot;                                 // nullptr: the default slot stays
    std::optional<MacroRecord> macro = std::nullopt;  // created and named by `value`
};

MacroRecord Play(int type, int times) {
    MacroRecord m;
    m.name = u"m";
    m.play_type = type;
    m.play_times = times;
    return m;
}

TEST_F(WriteTaskTest, EveryAssignmentTypeBecomesItsSlot) {
    const SlotCase cases[] = {
        {"left click", 1, 1, 1, 0, "10 01 00"},
        {"right click", 1, 1, 2, 0, "10 04 00"},
        {"double click", 1, 1, 4, 0, "30 32 03"},
        {"wheel down", 1, 1, 8, 0, "20 FF 00"},
        {"tilt right", 1, 1, 10, 0, "10 00 F6"},
        {"unknown mouse value", 1, 1, 99, 0, "10 00 00"},
        {"key A with Ctrl", 1, 2, 0x04, 0x01, "70 01 04"},
        {"lone left Shift", 1, 2, 0xE1, 0, "70 02 00"},
        {"lone right Win", 3, 2, 0xE7, 0, "70 80 00"},
        {"keypad 3 stays a key", 1, 2, 0x5B, 0, "70 00 5B"},
        {"keypad 4 with Shift", 1, 2, 0x5C, 0x02, "70 02 5C"},
        {"media play", 1, 3, 1, 0, "80 83 01"},
        {"media last", 1, 3, 8, 0, "80 E2 00"},
        {"media unknown", 1, 3, 9, 0, "80 00 00"},
        {"macro once per press", 1, 4, 0, 0, "90 11 00", Play(1, 0)},
        {"macro while held", 1, 4, 0, 0, "90 41 00", Play(2, 0)},
        {"macro three times", 4, 4, 0, 0, "90 24 03", Play(0, 3)},
        {"macro count zero", 1, 4, 0, 0, "90 21 00", Play(0, 0)},
        {"macro count low 8 bits", 1, 4, 0, 0, "90 21 2C", Play(7, 300)},
        {"macro that does not exist", 1, 4, 999, 0, nullptr},
        {"DPI up", 1, 5, 1, 0, "40 02 00"},
        {"DPI cycle", 1, 5, 3, 0, "40 01 00"},
        {"DPI unknown", 1, 5, 7, 0, "40 00 00"},
        {"special 1 keeps byte 3", 1, 6, 1, 0, "60 04 00"},
        {"special 2 on the DPI button", 5, 6, 2, 0, "60 01 00"},
        {"special other keeps bytes 2 and 3", 2, 6, 3, 0, "60 04 00"},
        {"fire", 1, 7, 5, 10, "30 05 0A"},
        {"shortcut 3", 1, 8, 3, 0, "80 92 01"},
        {"shortcut 5", 1, 8, 5, 0, "80 23 02"},
        {"shortcut 7 as a key combination", 1, 8, 7, 0, "70 08 07"},
        {"shortcut 11", 1, 8, 11, 0, "70 01 1B"},
        {"shortcut unknown", 1, 8, 12, 0, "80 00 00"},
        {"disabled", 1, 9, 1, 0, "60 00 00"},
        {"unknown type", 1, 12, 1, 0, nullptr},
        {"key 6 beyond the defaults", 6, 1, 2, 0, "10 04 00"},
        {"key 8, the last in the frame", 8, 7, 1, 2, "30 01 02"},
        {"key 9 never reaches the mouse", 9, 1, 2, 0, nullptr},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(store.DeleteKeysOfProfile(1));
        int value = c.value;
        if (c.macro) {
            value = store.CreateMacro(*c.macro);
            ASSERT_NE(value, 0);
        }
        SaveKey(c.key, c.type, value, c.value2);
        bus.ClearWritten();
        const StoreContents before = Contents();

        ASSERT_TRUE(WriteButtonAssignments(context));

        const Wire wire = Written();
        ASSERT_EQ(wire.size(), 1u);
        const std::vector<std::uint8_t> expected = TableWith(c.key, c.slot);
        EXPECT_EQ(ToHex(wire[0].data(), wire[0].size()), ToHex(expected.data(), 33));
        EXPECT_EQ(ToHex(Mouse().button_table.data(), 27), ToHex(expected.data() + 5, 27));
        EXPECT_EQ(Contents(), before);
    }
}

TEST_F(WriteTaskTest, LaterAssignmentsBuildOnTheSlotsBeforeThem) {
    SaveKey(0, 1, 2);
    SaveKey(2, 5, 1);
    SaveKey(4, 9, 1);
    ASSERT_TRUE(WriteButtonAssignments(context));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_TRUE(FrameIs(AsFrame(Written()[0]),
                        "00 09 00 01 0F 10 04 00 10 02 00 40 02 00 10 08 00 60 00 00 40 01 00",
                        0x21));
}

// A macro of `count` events alternating key A down and up, no delays between them.
int MacroOfEvents(DataStore& store, int count, const MacroRecord& header = Play(0, 1)) {
    const int id = store.CreateMacro(header);
    std::vector<MacroEventRecord> events;
    for (int i = 0; i < count; ++i) {
        MacroEventRecord e;
        e.macro_id = id;
        e.type = i % 2 == 0 ? 2 : 3;
        e.record_index = i;
        e.value = 0x41;
        events.push_back(e);
    }
    store.AddMacroEvents(events);
    return id;
}

std::vector<std::uint8_t> StreamOfEvents(int key, int count) {
    std::vector<std::uint8_t> stream{static_cast<std::uint8_t>(key)};
    for (int i = 0; i < count; ++i) {
        for (std::uint8_t b : {std::uint8_t(i % 2 == 0 ? 0x30 : 0xB0), std::uint8_t(0x01),
                               std::uint8_t(0x00), std::uint8_t(0x04)}) {
            stream.push_back(b);
        }
    }
    return stream;
}

struct FramingCase {
    int events;
    std::vector<int> packets;
    std::vector<int> lengths;
};

TEST_F(WriteTaskTest, BoundMacroGoesOutInFramesBeforeTheTable) {
    const FramingCase cases[] = {
        {6, {0x01}, {25}},
        {7, {0x02, 0x12}, {27, 2}},
        {27, {0x05, 0x15, 0x25, 0x35, 0x45}, {27, 27, 27, 27, 1}},
        {101,
         {0x0F, 0x1F, 0x2F, 0x3F, 0x4F, 0x5F, 0x6F, 0x7F, 0x8F, 0x9F, 0xAF, 0xBF, 0xCF, 0xDF, 0xEF},
         std::vector<int>(15, 27)},
    };
    for (const FramingCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.events) + " events");
        ASSERT_TRUE(store.DeleteKeysOfProfile(1));
        const int id = MacroOfEvents(store, c.events);
        SaveKey(2, 4, id);
        session.Update([](DeviceState& s) {
            s.macroPending = true;
            s.pendingMacroKey = 2;
        });
        bus.ClearWritten();
        const StoreContents before = Contents();

        ASSERT_TRUE(WriteButtonAssignments(context));

        const Wire wire = Written();
        ASSERT_EQ(wire.size(), c.packets.size() + 1);
        std::vector<std::uint8_t> sent;
        for (std::size_t i = 0; i < c.packets.size(); ++i) {
            SCOPED_TRACE("frame " + std::to_string(i));
            ASSERT_EQ(wire[i].size(), 33u);
            EXPECT_EQ(wire[i][1], 0x08);
            EXPECT_EQ(wire[i][3], c.packets[i]);
            EXPECT_EQ(wire[i][4], c.lengths[i]);
            sent.insert(sent.end(), wire[i].begin() + 5, wire[i].begin() + 5 + c.lengths[i]);
            // Nothing past the chunk, and the checksum over the chunk.
            unsigned sum = 0;
            for (std::size_t b = 5; b < 32; ++b) {
                if (b >= 5u + c.lengths[i]) {
                    EXPECT_EQ(wire[i][b], 0) << "byte " << b;
                }
                sum += wire[i][b];
            }
            EXPECT_EQ(wire[i][32], static_cast<std::uint8_t>(sum));
        }
        const std::vector<std::uint8_t> stream = StreamOfEvents(2, c.events);
        EXPECT_EQ(ToHex(sent.data(), sent.size()), ToHex(stream.data(), stream.size()));
        EXPECT_EQ(Mouse().macro, stream);
        // Played once: 0x20 plus the key code, count 1.
        const std::vector<std::uint8_t> table = TableWith(2, "90 22 01");
        EXPECT_EQ(ToHex(wire.back().data(), 33), ToHex(table.data(), 33));
        const DeviceState after = session.Snapshot();
        EXPECT_FALSE(after.macroPending);
        EXPECT_EQ(after.pendingMacroKey, -1);
        EXPECT_EQ(Contents(), before);
    }
}

TEST_F(WriteTaskTest, MacroTooLongForTheFrameCountIsNotSentAndItsButtonKeepsItsDefault) {
    const int id = MacroOfEvents(store, 102);
    SaveKey(2, 4, id);
    session.Update([](DeviceState& s) {
        s.macroPending = true;
        s.pendingMacroKey = 2;
    });
    const sim::MouseSettings held = Mouse();

    EXPECT_FALSE(WriteButtonAssignments(context));

    const Wire wire = Written();
    ASSERT_EQ(wire.size(), 1u);
    const std::vector<std::uint8_t> table = TableWith(2, nullptr);
    EXPECT_EQ(ToHex(wire[0].data(), 33), ToHex(table.data(), 33));
    EXPECT_EQ(Mouse().macro, held.macro);
    EXPECT_FALSE(session.Snapshot().macroPending);

    // Later table writes keep the default slot as well.
    bus.ClearWritten();
    ASSERT_TRUE(WriteButtonAssignments(context));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(ToHex(Written()[0].data(), 33), ToHex(table.data(), 33));
}

TEST_F(WriteTaskTest, MacroStreamCarriesModifierKeysAndCapsLongDelays) {
    const int id = store.CreateMacro(Play(2, 0));
    std::vector<MacroEventRecord> events;
    auto add = [&](int type, int value) {
        MacroEventRecord e;
        e.macro_id = id;
        e.type = type;
        e.record_index = static_cast<int>(events.size());
        e.value = value;
        events.push_back(e);
    };
    add(2, 0x5B);   // left Win down
    add(1, 70000);  // delay past what the field holds
    add(2, 0x41);   // A down
    add(1, 50);
    add(3, 0x41);  // A up
    add(3, 0x5B);  // left Win up
    add(4, 1);     // button down
    add(5, 1);     // button up
    store.AddMacroEvents(events);
    SaveKey(3, 4, id);
    session.Update([](DeviceState& s) {
        s.macroPending = true;
        s.pendingMacroKey = 3;
    });

    ASSERT_TRUE(WriteButtonAssignments(context));

    const Wire wire = Written();
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_TRUE(FrameIs(AsFrame(wire[0]),
                        "00 08 00 01 19 03 20 FF FF 08 30 32 00 04 B0 01 00 04 A0 01 00 08 10 01 "
                        "00 01 90 01 00 01",
                        0x91));
    const std::vector<std::uint8_t> table = TableWith(3, "90 43 00");
    EXPECT_EQ(ToHex(wire[1].data(), 33), ToHex(table.data(), 33));
}

TEST_F(WriteTaskTest, PendingMacroIsSentOnlyForTheBoundButton) {
    const int id = MacroOfEvents(store, 2);
    SaveKey(2, 4, id);
    struct Case {
        const char* name;
        bool pending;
        int key;
        std::size_t frames;
    };
    const Case cases[] = {
        {"not pending", false, 2, 1},
        {"pending on another button", true, 4, 1},
        {"pending without a button", true, -1, 1},
        {"pending on the bound button", true, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        session.Update([&](DeviceState& s) {
            s.macroPending = c.pending;
            s.pendingMacroKey = c.key;
        });
        bus.ClearWritten();
        ASSERT_TRUE(WriteButtonAssignments(context));
        EXPECT_EQ(Written().size(), c.frames);
        EXPECT_EQ(Written().back()[1], 0x09);
        EXPECT_FALSE(session.Snapshot().macroPending);
        EXPECT_EQ(session.Snapshot().pendingMacroKey, -1);
    }
}

TEST_F(WriteTaskTest, MacroOfABindingWhoseMacroWasDeletedIsNotSent) {
    const int id = MacroOfEvents(store, 2);
    SaveKey(2, 4, id);
    ASSERT_TRUE(store.DeleteMacro(id));
    session.Update([](DeviceState& s) {
        s.macroPending = true;
        s.pendingMacroKey = 2;
    });
    ASSERT_TRUE(WriteButtonAssignments(context));
    EXPECT_EQ(Commands(), std::vector<int>{0x09});
    const std::vector<std::uint8_t> table = TableWith(2, nullptr);
    EXPECT_EQ(ToHex(Written()[0].data(), 33), ToHex(table.data(), 33));
}

TEST_F(WriteTaskTest, MacroWithoutEventsSendsOnlyTheKeyCode) {
    const int id = store.CreateMacro(Play(1, 0));
    SaveKey(1, 4, id);
    session.Update([](DeviceState& s) {
        s.macroPending = true;
        s.pendingMacroKey = 1;
    });
    ASSERT_TRUE(WriteButtonAssignments(context));
    ASSERT_EQ(Written().size(), 2u);
    EXPECT_TRUE(FrameIs(AsFrame(Written()[0]), "00 08 00 01 01 01", 0x01));
}

}  // namespace
}  // namespace quillora::write_test
